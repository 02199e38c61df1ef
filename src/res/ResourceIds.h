#pragma once

// Resource, control and command ids of the program's windows.

// Resources
constexpr int IDD_ABOUTBOX = 100;
constexpr int IDS_ABOUTBOX = 101;
constexpr int IDD_COFFER_DIALOG = 102;
constexpr int IDR_MAINFRAME = 128;
constexpr int IDR_MENU_POPUP = 129;
constexpr int IDD_USER_LOGIN = 130;
constexpr int IDD_USER_ADD = 131;
constexpr int IDD_NORMAL_INCOME = 133;
constexpr int IDD_NORMAL_PAY = 135;
constexpr int IDD_INCOME_INQUIRY = 136;
constexpr int IDD_PAY_INQUIRY = 137;
constexpr int IDD_STATISTICS = 138;
constexpr int IDD_BILL_IMPORT = 139;

// Main window
constexpr int IDC_TREE_NAV = 1000;
constexpr int IDC_BTN_LOGOUT = 1001;
constexpr int IDC_BTN_LOGIN = 1007;
constexpr int IDC_BTN_SETTING = 1010;
constexpr int IDC_BTN_ABOUT = 1011;
constexpr int IDC_BTN_HEADIMG = 1049;
constexpr int IDC_STATIC_STATUS = 1051;

// About box
constexpr int IDC_LINK_SITE = 1060;
constexpr int IDC_STATIC_BOOK = 1061;

// Login dialog
constexpr int IDC_STATIC_USER = 1006;
constexpr int IDC_STATIC_PASSWORD = 1004;
constexpr int IDC_EDIT_USER = 1022;
constexpr int IDC_EDIT_PASSWORD = 1023;
constexpr int IDC_BTN_ADD_USER = 1024;

// User accounts dialog
constexpr int IDC_RADIO_ADD_USER = 1056;
constexpr int IDC_RADIO_CHANGE_PASSWORD = 1057;
constexpr int IDC_STATIC_NAME = 1058;
constexpr int IDC_EDIT_NAME = 1002;
constexpr int IDC_STATIC_REPEAT = 1006;
constexpr int IDC_EDIT_REPEAT = 1005;

// Income and expense entry dialogs
constexpr int IDC_BTN_ENTRY_ADD = 1016;
constexpr int IDC_BTN_ENTRY_CLOSE = 1017;
constexpr int IDC_COMBO_MEMBER = 1018;
constexpr int IDC_COMBO_ITEM = 1019;
constexpr int IDC_EDIT_INCOME_AMOUNT = 1020;
constexpr int IDC_DATE_ENTRY = 1021;
constexpr int IDC_EDIT_REMARK = 1025;
constexpr int IDC_EDIT_PAY_AMOUNT = 1026;

// Income and expense query dialogs
constexpr int IDC_INQ_COMBO_MEMBER = 1018;
constexpr int IDC_INQ_COMBO_ITEM = 1019;
constexpr int IDC_INQ_TODAY = 1032;
constexpr int IDC_INQ_WEEK = 1038;
constexpr int IDC_INQ_MONTH = 1039;
constexpr int IDC_INQ_YEAR = 1040;
constexpr int IDC_INQ_SEARCH = 1042;
constexpr int IDC_INQ_LIST_PAY = 1047;
constexpr int IDC_INQ_LIST_INCOME = 1050;
constexpr int IDC_INQ_CHECK_MEMBER = 1052;
constexpr int IDC_INQ_CHECK_ITEM = 1053;
constexpr int IDC_INQ_DATE_FROM = 1054;
constexpr int IDC_INQ_DATE_TO = 1055;

// Statistics window; the period and filter controls keep the query dialogs' ids.
constexpr int IDC_STATS_MEMBER = 1018;
constexpr int IDC_STATS_ITEM = 1019;
constexpr int IDC_STATS_TODAY = 1032;
constexpr int IDC_STATS_WEEK = 1038;
constexpr int IDC_STATS_MONTH = 1039;
constexpr int IDC_STATS_YEAR = 1040;
constexpr int IDC_STATS_INTERVAL = 1042;
constexpr int IDC_STATS_FILTER_MEMBER = 1052;
constexpr int IDC_STATS_FILTER_ITEM = 1053;
constexpr int IDC_STATS_FROM = 1054;
constexpr int IDC_STATS_TO = 1055;
constexpr int IDC_STATS_INCOME = 1061;
constexpr int IDC_STATS_PAY = 1062;
constexpr int IDC_STATS_BALANCE = 1063;
constexpr int IDC_STATS_COUNT = 1064;
constexpr int IDC_STATS_VIEW_MEMBER = 1065;
constexpr int IDC_STATS_VIEW_ITEM = 1066;
constexpr int IDC_STATS_VIEW_MONTH = 1067;
constexpr int IDC_STATS_TABLE = 1068;
constexpr int IDC_STATS_CHART = 1069;
constexpr int IDC_STATS_EXPORT_IMAGE = 1070;
constexpr int IDC_STATS_EXPORT_CSV = 1071;
constexpr int IDC_STATS_PERIOD = 1072;

// Statement import window
constexpr int IDC_BILL_FILE = 1080;
constexpr int IDC_BILL_BROWSE = 1081;
constexpr int IDC_BILL_MEMBER = 1082;
constexpr int IDC_BILL_CATEGORY = 1083;
constexpr int IDC_BILL_ITEM = 1084;
constexpr int IDC_BILL_LIST = 1085;
constexpr int IDC_BILL_SUMMARY = 1086;
constexpr int IDC_BILL_IMPORT = 1087;

// Commands
constexpr int IDM_ABOUTBOX = 0x0010;
constexpr int ID_MENU_USER = 32792;
constexpr int ID_MENU_SETTING = 32793;
constexpr int ID_MENU_EXIT = 32794;
constexpr int ID_MENU_BACKUP = 32795;
// The query list's context menu.
constexpr int ID_INQ_CHANGE = 32810;
constexpr int ID_INQ_DELETE = 32811;
constexpr int ID_INQ_UNDO = 32812;

// Base data dialog
constexpr int IDD_BASE_DATA = 134;
constexpr int IDC_BTN_BASE_DELETE = 1002;
constexpr int IDC_BTN_BASE_CHANGE = 1003;
constexpr int IDC_BTN_BASE_UP = 1004;
constexpr int IDC_BTN_BASE_DOWN = 1005;
constexpr int IDC_LIST_BASE_ENTRY = 1012;
constexpr int IDC_LIST_BASE_KIND = 1013;
constexpr int IDC_BTN_BASE_ADD = 1016;
constexpr int IDC_BTN_BASE_CLOSE = 1017;
constexpr int IDC_EDIT_BASE_REMARK = 1025;
constexpr int IDC_EDIT_BASE_TYPE = 1046;

// Backup and restore window
constexpr int IDD_BACKUP = 141;
constexpr int IDC_BACKUP_LIST = 1090;
constexpr int IDC_BACKUP_NOW = 1091;
constexpr int IDC_BACKUP_RESTORE = 1092;
constexpr int IDC_BACKUP_FOLDER = 1093;
