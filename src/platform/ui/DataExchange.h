#pragma once

#include <string>

class CDialog;
class CWnd;

// Thrown by CDataExchange::Fail; UpdateData turns it into false.
struct DataExchangeFailed {};

// One transfer between a dialog's controls and its members: to the members when
// m_bSaveAndValidate is true, to the controls otherwise.
class CDataExchange {
public:
    CDataExchange(CDialog* dialog, bool saveAndValidate)
        : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dialog) {}

    // Reports that a control's text cannot be read into its member: focuses the control and
    // ends the transfer, which makes UpdateData return false.
    [[noreturn]] void Fail(int id);

    bool m_bSaveAndValidate;
    CDialog* m_pDlgWnd;
};

void DDX_Control(CDataExchange* pDX, int id, CWnd& control);
void DDX_Text(CDataExchange* pDX, int id, std::string& value);
void DDX_Text(CDataExchange* pDX, int id, int& value);
void DDX_Text(CDataExchange* pDX, int id, double& value);
void DDX_Check(CDataExchange* pDX, int id, int& value);
void DDX_CBString(CDataExchange* pDX, int id, std::string& value);
