#include <gtest/gtest.h>

#include <QLineEdit>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "AccountsTestSupport.h"
#include "accounts/CUserAddDlg.h"
#include "accounts/CUserDlg.h"
#include "platform/skin/Skin.h"
#include "res/ResourceIds.h"
#include "support/TempBook.h"
#include "support/UiTestSupport.h"

namespace {
using Messages = std::vector<std::string>;
using Rows = std::vector<std::pair<std::string, std::string>>;

class UserAccounts : public ::testing::Test {
protected:
    void SetUp() override { dlg.Create(); }

    Messages Press(const std::string& name, const std::string& password,
                   const std::string& repeat) {
        TypeInto(dlg, IDC_EDIT_NAME, name);
        TypeInto(dlg, IDC_EDIT_PASSWORD, password);
        TypeInto(dlg, IDC_EDIT_REPEAT, repeat);
        messages.Clear();
        Click(dlg, IDOK);
        EXPECT_EQ(dlg.GetEndCode(), 0) << "the OK button never closes the dialog";
        EXPECT_FALSE(dlg.m_db.IsOpen()) << "every press closes its connection";
        return messages.Texts();
    }

    void ChangeMode() { Click(dlg, IDC_RADIO_CHANGE_PASSWORD); }

    // Logs in through the real login dialog; true when it ends with OK.
    static bool CanLogIn(const std::string& user, const std::string& password) {
        MessageRecorder quiet;
        CUserDlg login;
        login.Create();
        TypeInto(login, IDC_EDIT_USER, user);
        TypeInto(login, IDC_EDIT_PASSWORD, password);
        Click(login, IDOK);
        return login.GetEndCode() == IDOK;
    }

    TempBook book;
    DatabaseMessages databaseMessages;
    MessageRecorder messages;
    CUserAddDlg dlg;
};

const Rows kFreshRows{{"root", "hash:kerno482"}};

TEST_F(UserAccounts, OpensInAddModeWithItsSkinAndMasks) {
    EXPECT_TRUE(dlg.IsDlgButtonChecked(IDC_RADIO_ADD_USER));
    EXPECT_FALSE(dlg.IsDlgButtonChecked(IDC_RADIO_CHANGE_PASSWORD));
    EXPECT_EQ(dlg.GetDlgItemText(IDC_STATIC_NAME), "用 户  名：");
    EXPECT_EQ(dlg.GetDlgItemAs<QLineEdit>(IDC_EDIT_NAME)->echoMode(), QLineEdit::Normal);
    EXPECT_EQ(dlg.GetDlgItemAs<QLineEdit>(IDC_EDIT_PASSWORD)->echoMode(), QLineEdit::Password);
    EXPECT_EQ(dlg.GetDlgItemAs<QLineEdit>(IDC_EDIT_REPEAT)->echoMode(), QLineEdit::Password);
    EXPECT_EQ(SkinObjectOf(&dlg), "userdialog");
    EXPECT_EQ(SkinObjectOf(dlg.GetDlgItem(IDC_RADIO_ADD_USER)), "checkbtn_state");
    EXPECT_EQ(SkinObjectOf(dlg.GetDlgItem(IDC_RADIO_CHANGE_PASSWORD)), "checkbtn_state");
}

TEST_F(UserAccounts, SwitchingModesChangesOnlyTheFirstLabel) {
    TypeInto(dlg, IDC_EDIT_NAME, "甲");
    TypeInto(dlg, IDC_EDIT_PASSWORD, "乙");
    TypeInto(dlg, IDC_EDIT_REPEAT, "丙");
    ChangeMode();
    EXPECT_EQ(dlg.GetDlgItemText(IDC_STATIC_NAME), "旧 密  码：");
    Click(dlg, IDC_RADIO_ADD_USER);
    EXPECT_EQ(dlg.GetDlgItemText(IDC_STATIC_NAME), "用 户  名：");
    EXPECT_EQ(dlg.GetDlgItemText(IDC_EDIT_NAME), "甲");
    EXPECT_EQ(dlg.GetDlgItemText(IDC_EDIT_PASSWORD), "乙");
    EXPECT_EQ(dlg.GetDlgItemText(IDC_EDIT_REPEAT), "丙");
}

TEST_F(UserAccounts, AddsAUserOnceWithAHashedPasswordAndTheNewUserCanLogIn) {
    EXPECT_EQ(Press("妈妈", "m1", "m1"), Messages{"添加成功！"});
    EXPECT_EQ(UserRows({"kerno482", "m1"}), (Rows{{"root", "hash:kerno482"}, {"妈妈", "hash:m1"}}));
    EXPECT_EQ(Press("妈妈", "m1", "m1"), Messages{"用户名已存在！"});
    EXPECT_EQ(Press("妈妈", "x", "y"), Messages{"用户名已存在！"});  // checked before the passwords
    EXPECT_EQ(UserRows().size(), 2u);
    EXPECT_TRUE(CanLogIn("妈妈", "m1"));
    EXPECT_FALSE(CanLogIn("妈妈", UserRows()[1].second));  // the stored hash is no password

    // The same password twice is stored two different ways.
    EXPECT_EQ(Press("爸爸", "m1", "m1"), Messages{"添加成功！"});
    const Rows rows = UserRows();
    EXPECT_NE(rows[1].second, rows[2].second);
}

TEST_F(UserAccounts, RefusesDifferingAndEmptyTexts) {
    EXPECT_EQ(Press("爸爸", "abc", "abC"), Messages{"两次密码不一致！"});
    EXPECT_EQ(Press("", "", ""), Messages{"用户名或者密码不能为空!"});
    EXPECT_EQ(Press("爸爸", "", ""), Messages{"用户名或者密码不能为空!"});
    EXPECT_EQ(UserRows({"kerno482"}), kFreshRows);
}

TEST_F(UserAccounts, QuotesAndEmojiRoundTripInNamesAndPasswords) {
    EXPECT_EQ(Press("o'brien", "p'w\"😀", "p'w\"😀"), Messages{"添加成功！"});
    EXPECT_EQ(Press("'; delete from tbUser; --", "x", "x"), Messages{"添加成功！"});
    EXPECT_EQ(UserRows({"kerno482", "p'w\"😀", "x"}),
              (Rows{{"root", "hash:kerno482"},
                    {"o'brien", "hash:p'w\"😀"},
                    {"'; delete from tbUser; --", "hash:x"}}));
    EXPECT_EQ(Press("o'brien", "p", "p"), Messages{"用户名已存在！"});
    EXPECT_TRUE(CanLogIn("o'brien", "p'w\"😀"));
}

TEST_F(UserAccounts, ChangesRootsPasswordAfterCheckingTheOldOne) {
    ChangeMode();
    EXPECT_EQ(Press("wrong", "n1", "n2"), Messages{"与旧密码不一致！"});
    EXPECT_EQ(Press("kerno482", "n1", "n2"), Messages{"两次密码不一致！"});
    EXPECT_EQ(Press("kerno482", "", ""), Messages{"用户名或者密码不能为空!"});
    EXPECT_EQ(UserRows({"kerno482"}), kFreshRows);

    EXPECT_EQ(Press("kerno482", "新密码'😀", "新密码'😀"), Messages{"更改成功！"});
    EXPECT_EQ(UserRows({"kerno482", "新密码'😀"}), (Rows{{"root", "hash:新密码'😀"}}));
    EXPECT_TRUE(CanLogIn("root", "新密码'😀"));
    EXPECT_FALSE(CanLogIn("root", "kerno482"));
}

TEST_F(UserAccounts, ChangeAlwaysWorksOnRootWhoeverIsLoggedIn) {
    ExecuteOnBook("insert into tbUser (user, password) values ('妈妈', 'm1')");
    ChangeMode();
    EXPECT_EQ(Press("m1", "n", "n"), Messages{"与旧密码不一致！"});
    EXPECT_EQ(Press("kerno482", "n", "n"), Messages{"更改成功！"});
    EXPECT_EQ(UserRows({"n"}), (Rows{{"root", "hash:n"}, {"妈妈", "m1"}}));
}

TEST_F(UserAccounts, AnOldPasswordKeptInPlainTextIsComparedAsItStands) {
    ExecuteOnBook("update tbUser set password = 'old' where user = 'root'");
    ChangeMode();
    EXPECT_EQ(Press("OLD", "n", "n"), Messages{"与旧密码不一致！"});
    EXPECT_EQ(Press("old", "n", "n"), Messages{"更改成功！"});
    EXPECT_EQ(UserRows({"n"}), (Rows{{"root", "hash:n"}}));
}

TEST_F(UserAccounts, WithoutARootRowTheChangeShowsNothing) {
    ExecuteOnBook("delete from tbUser");
    ChangeMode();
    EXPECT_EQ(Press("kerno482", "n", "n"), Messages{});
    EXPECT_TRUE(UserRows().empty());
}

TEST_F(UserAccounts, ABookFailureIsReportedAndTheNextPressStartsClean) {
    const auto saved = book.Dir() / "saved.mdb";
    std::filesystem::rename(book.BookPath(), saved);
    const Messages failed = Press("妈妈", "m1", "m1");
    ASSERT_EQ(failed.size(), 1u);
    EXPECT_NE(failed[0].find("数据库操作失败"), std::string::npos) << failed[0];
    EXPECT_EQ(dlg.GetDlgItemText(IDC_EDIT_NAME), "妈妈");

    std::filesystem::rename(saved, book.BookPath());
    ExecuteOnBook("drop table tbUser");
    ExecuteOnBook(
        "create table tbUser (编号 INTEGER PRIMARY KEY, user TEXT)");  // no password column
    ExecuteOnBook("insert into tbUser (user) values ('root')");
    ChangeMode();
    EXPECT_EQ(Press("kerno482", "n", "n").size(), 1u);  // a failure half-way through
    Click(dlg, IDC_RADIO_ADD_USER);
    EXPECT_EQ(Press("妈妈", "m1", "m1").size(), 1u);
}

TEST_F(UserAccounts, LooksRight) {
    dsLoadSkin("ControlSkin", 0);
    CUserAddDlg skinned;
    skinned.Create();
    skinned.show();
    SaveScreenshot(&skinned, "user-accounts-dialog");
    ExpectTextsFit(&skinned);
    dsExitSkin();
}
}  // namespace
