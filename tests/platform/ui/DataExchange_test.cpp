#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <QApplication>
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
}  // namespace
