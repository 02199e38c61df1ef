#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>

#include "support/UiTestSupport.h"

namespace {
using namespace style;

const DialogTemplate& FormTemplate() {
    static const DialogTemplate tpl{
        501,
        "表单",
        160,
        80,
        "宋体",
        9,
        Caption | SysMenu,
        {
            {10, ControlKind::Edit, "", 5, 5, 80, 14, Border | TabStop},
            {11, ControlKind::Edit, "", 5, 25, 80, 14, Border | TabStop},
            {12, ControlKind::CheckBox, "记住", 5, 45, 60, 10, TabStop},
            {IDOK, ControlKind::DefPushButton, "确定", 100, 60, 50, 14, TabStop},
        }};
    return tpl;
}

class FormDlg : public CDialog {
public:
    FormDlg() : CDialog(FormTemplate()) {}
    std::string m_strName = "初始";
    double m_dAmount = 12.5;
    int m_bRemember = 1;

protected:
    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Text(pDX, 10, m_strName);
        DDX_Text(pDX, 11, m_dAmount);
        DDX_Check(pDX, 12, m_bRemember);
    }
};

TEST(DataExchange, InitialisationShowsTheMembersAndReadingTakesTheControls) {
    FormDlg dlg;
    dlg.Create();
    EXPECT_EQ(dlg.GetDlgItemText(10), "初始");
    EXPECT_EQ(dlg.GetDlgItemText(11), "12.5");
    EXPECT_TRUE(dlg.IsDlgButtonChecked(12));

    TypeInto(dlg, 10, "O'Brien 😀 \"家\"");
    TypeInto(dlg, 11, " -3.25 ");
    Click(dlg, 12);
    ASSERT_TRUE(dlg.UpdateData(true));
    EXPECT_EQ(dlg.m_strName, "O'Brien 😀 \"家\"");
    EXPECT_DOUBLE_EQ(dlg.m_dAmount, -3.25);
    EXPECT_EQ(dlg.m_bRemember, 0);
}

TEST(DataExchange, ANumberThatDoesNotParseStopsTheReadingWithAPrompt) {
    MessageRecorder messages;
    FormDlg dlg;
    dlg.Create();
    dlg.show();
    QApplication::setActiveWindow(&dlg);
    TypeInto(dlg, 10, "改过");
    TypeInto(dlg, 11, "12元");
    EXPECT_FALSE(dlg.UpdateData(true));
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"请输入一个数字。"});
    EXPECT_EQ(dlg.m_strName, "改过");  // controls before the bad one were read
    EXPECT_DOUBLE_EQ(dlg.m_dAmount, 12.5);
    EXPECT_EQ(QApplication::focusWidget(), dlg.GetDlgItem(11));

    // The standard OK handling keeps the dialog open when the reading fails.
    Click(dlg, IDOK);
    EXPECT_EQ(dlg.GetEndCode(), 0);
    TypeInto(dlg, 11, "");
    EXPECT_FALSE(dlg.UpdateData(true));
    // Words the number parser knows are still no amount.
    for (const char* word : {"inf", "-inf", "nan", "1e999"}) {
        TypeInto(dlg, 11, word);
        EXPECT_FALSE(dlg.UpdateData(true)) << word;
    }
    EXPECT_DOUBLE_EQ(dlg.m_dAmount, 12.5);
}
const DialogTemplate& ChoiceTemplate() {
    static const DialogTemplate tpl{
        502,
        "选择",
        160,
        80,
        "宋体",
        9,
        Caption | SysMenu,
        {
            {10, ControlKind::Edit, "", 5, 5, 80, 14, Border | TabStop},
            {11, ControlKind::ComboBox, "", 5, 25, 80, 60, TabStop},
            {12, ControlKind::ComboBox, "", 5, 45, 80, 60, Editable | TabStop},
        }};
    return tpl;
}

class ChoiceDlg : public CDialog {
public:
    ChoiceDlg() : CDialog(ChoiceTemplate()) {}
    int m_nCount = 42;
    std::string m_strMember = "王";
    std::string m_strItem = "工资 😀";

protected:
    bool OnInitDialog() override {
        for (int id : {11, 12}) {
            for (const char* name : {"张三", "王五", "李四"})
                GetDlgItemAs<QComboBox>(id)->addItem(QString::fromUtf8(name));
        }
        return CDialog::OnInitDialog();  // the exchange to the controls comes after the lists
    }
    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Text(pDX, 10, m_nCount);
        DDX_CBString(pDX, 11, m_strMember);
        DDX_CBString(pDX, 12, m_strItem);
    }
};

TEST(DataExchange, AnIntReadsWholeNumbersOnly) {
    MessageRecorder messages;
    ChoiceDlg dlg;
    dlg.Create();
    EXPECT_EQ(dlg.GetDlgItemText(10), "42");
    TypeInto(dlg, 10, " -17 ");
    ASSERT_TRUE(dlg.UpdateData(true));
    EXPECT_EQ(dlg.m_nCount, -17);
    for (const char* bad : {"12.5", "7件", "", "99999999999", "0x10"}) {
        TypeInto(dlg, 10, bad);
        EXPECT_FALSE(dlg.UpdateData(true)) << bad;
        EXPECT_EQ(dlg.m_nCount, -17) << bad;
    }
    EXPECT_EQ(messages.Texts(), std::vector<std::string>(5, "请输入一个整数。"));
    dlg.m_nCount = -2147483647 - 1;
    dlg.UpdateData(false);
    EXPECT_EQ(dlg.GetDlgItemText(10), "-2147483648");
}

TEST(DataExchange, AComboShowsTheFirstItemStartingWithTheTextAndReadsItsText) {
    ChoiceDlg dlg;
    dlg.Create();
    auto* members = dlg.GetDlgItemAs<QComboBox>(11);
    auto* items = dlg.GetDlgItemAs<QComboBox>(12);
    // "王" picks 王五; a text no item starts with stays in an editable box only.
    EXPECT_EQ(members->currentText(), QStringLiteral("王五"));
    EXPECT_EQ(items->currentText(), QStringLiteral("工资 😀"));

    members->setCurrentIndex(2);
    items->setCurrentIndex(0);
    ASSERT_TRUE(dlg.UpdateData(true));
    EXPECT_EQ(dlg.m_strMember, "李四");
    EXPECT_EQ(dlg.m_strItem, "张三");

    dlg.m_strMember = "赵";
    dlg.UpdateData(false);
    EXPECT_EQ(members->currentText(), QStringLiteral("李四"));  // no item: the choice stays
    ASSERT_TRUE(dlg.UpdateData(true));
    EXPECT_EQ(dlg.m_strMember, "李四");
}
}  // namespace
