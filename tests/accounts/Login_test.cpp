#include <gtest/gtest.h>

#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "AccountsTestSupport.h"
#include "accounts/CUserDlg.h"
#include "data/ADOException.h"
#include "data/DatabaseFailure.h"
#include "platform/skin/Skin.h"
#include "res/ResourceIds.h"
#include "support/TempBook.h"
#include "support/UiTestSupport.h"

namespace {
class Login : public ::testing::Test {
protected:
    void SetUp() override { dlg.Create(); }

    // Types the two texts and presses "登录"; returns the messages shown.
    std::vector<std::string> Press(const std::string& user, const std::string& password) {
        TypeInto(dlg, IDC_EDIT_USER, user);
        TypeInto(dlg, IDC_EDIT_PASSWORD, password);
        messages.Clear();
        Click(dlg, IDOK);
        return messages.Texts();
    }

    TempBook book;
    DatabaseMessages databaseMessages;
    MessageRecorder messages;
    CUserDlg dlg;
};

using Messages = std::vector<std::string>;

TEST_F(Login, OpensPrefilledWithTheAdministratorAndSucceedsOnAFreshBook) {
    EXPECT_EQ(dlg.GetDlgItemText(IDC_EDIT_USER), "root");
    EXPECT_EQ(dlg.GetDlgItemText(IDC_EDIT_PASSWORD), "kerno482");
    EXPECT_EQ(dlg.GetDlgItemAs<QLineEdit>(IDC_EDIT_PASSWORD)->echoMode(), QLineEdit::Password);
    EXPECT_FALSE(dlg.GetDlgItem(IDC_BTN_ADD_USER)->isEnabled());
    EXPECT_EQ(SkinObjectOf(&dlg), "userLogindialog");
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("用户登录"));
    EXPECT_EQ(dlg.GetDlgItem(IDC_EDIT_USER)->accessibleName(), QStringLiteral("用户："));

    Click(dlg, IDOK);
    EXPECT_EQ(dlg.GetEndCode(), IDOK);
    EXPECT_TRUE(messages.Texts().empty());
    EXPECT_EQ(dlg.m_strUser, "root");
}

TEST_F(Login, RefusesWrongPasswordsAndUnknownUsersAndStaysOpen) {
    EXPECT_EQ(Press("root", "wrong"), Messages{"密码或者用户名错误！"});
    EXPECT_EQ(Press("root", "KERNO482"), Messages{"密码或者用户名错误！"});  // case matters
    EXPECT_EQ(Press("nobody", "kerno482"), Messages{"密码或者用户名错误！"});
    EXPECT_EQ(dlg.GetEndCode(), 0);
    EXPECT_EQ(dlg.GetDlgItemText(IDC_EDIT_USER), "nobody");
    EXPECT_EQ(dlg.GetDlgItemText(IDC_EDIT_PASSWORD), "kerno482");
}

TEST_F(Login, EmptyFieldsAreReportedWithoutTouchingTheBook) {
    std::filesystem::remove(book.BookPath());  // any database access would now fail loudly
    EXPECT_EQ(Press("", ""), Messages{"用户名或者密码不能为空!"});
    EXPECT_EQ(Press("root", ""), Messages{"用户名或者密码不能为空!"});
    EXPECT_EQ(Press("", "kerno482"), Messages{"用户名或者密码不能为空!"});
    EXPECT_EQ(dlg.GetEndCode(), 0);
}

TEST_F(Login, ANameWithQuotesOrEmojiIsLookedUpExactlyAsTyped) {
    ExecuteOnBook("insert into tbUser (user, password) values ('o''brien 😀', 'it''s \"🔑\"')");
    EXPECT_EQ(Press("o'brien", "it's \"🔑\""), Messages{"密码或者用户名错误！"});
    EXPECT_EQ(Press("' or '1'='1", "kerno482"), Messages{"密码或者用户名错误！"});
    EXPECT_EQ(Press("o'brien 😀", "it's \"🔑\""), Messages{});
    EXPECT_EQ(dlg.GetEndCode(), IDOK);
    EXPECT_EQ(dlg.m_strUser, "o'brien 😀");
}

TEST_F(Login, APasswordKeptInPlainTextLogsInOnceAndIsThenHashed) {
    ExecuteOnBook("insert into tbUser (user, password) values ('妈妈', 'm1')");
    EXPECT_EQ(Press("妈妈", "M1"), Messages{"密码或者用户名错误！"});
    EXPECT_EQ(UserRows({"m1"})[1].second, "m1");  // a refusal leaves it as it was
    EXPECT_EQ(Press("妈妈", "m1"), Messages{});
    EXPECT_EQ(dlg.GetEndCode(), IDOK);
    EXPECT_EQ(UserRows({"m1"})[1].second, "hash:m1");

    CUserDlg again;
    again.Create();
    TypeInto(again, IDC_EDIT_USER, "妈妈");
    TypeInto(again, IDC_EDIT_PASSWORD, "m1");
    Click(again, IDOK);
    EXPECT_EQ(again.GetEndCode(), IDOK);
}

TEST_F(Login, ABookThatCannotBeWrittenStillLetsAPlainTextPasswordIn) {
    ExecuteOnBook("insert into tbUser (user, password) values ('妈妈', 'm1')");
    ExecuteOnBook(
        "create trigger readOnly before update on tbUser "
        "begin select raise(abort, 'read-only'); end");
    EXPECT_EQ(Press("妈妈", "m1"), Messages{});
    EXPECT_EQ(dlg.GetEndCode(), IDOK);
    EXPECT_EQ(UserRows()[1].second, "m1");
}

TEST_F(Login, ADamagedStoredHashRefusesTheLogin) {
    for (const char* damaged : {"$argon2id$v=19$m=65536,t=2,p=1$garbage",
                                "$argon2id$v=19$m=4194304,t=1000,p=1$c2FsdHNhbHRzYWx0c2FsdA$"
                                "aGFzaGhhc2hoYXNoaGFzaGhhc2hoYXNoaGFzaGhhc2g"}) {
        ExecuteOnBook(std::string("update tbUser set password = '") + damaged + "'");
        EXPECT_EQ(Press("root", "kerno482"), Messages{"密码或者用户名错误！"});
        EXPECT_EQ(Press("root", damaged), Messages{"密码或者用户名错误！"});
        EXPECT_EQ(UserRows()[0].second, damaged);  // left as it is
    }
    EXPECT_EQ(dlg.GetEndCode(), 0);
}

TEST_F(Login, AMissingOrForeignBookIsReportedAndTheDialogStaysUsable) {
    const auto saved = book.Dir() / "saved.mdb";
    std::filesystem::rename(book.BookPath(), saved);
    const Messages missing = Press("root", "kerno482");
    ASSERT_EQ(missing.size(), 1u);
    EXPECT_NE(missing[0].find("数据库操作失败"), std::string::npos) << missing[0];
    EXPECT_NE(missing[0].find(book.BookPath().string()), std::string::npos) << missing[0];
    EXPECT_EQ(dlg.GetEndCode(), 0);
    EXPECT_EQ(dlg.GetDlgItemText(IDC_EDIT_USER), "root");

    { std::ofstream(book.BookPath()) << "not a household book"; }
    EXPECT_EQ(Press("root", "kerno482").size(), 1u);
    EXPECT_EQ(dlg.GetEndCode(), 0);

    std::filesystem::remove(book.BookPath());
    std::filesystem::rename(saved, book.BookPath());
    EXPECT_EQ(Press("root", "kerno482"), Messages{});
    EXPECT_EQ(dlg.GetEndCode(), IDOK);
}

TEST_F(Login, TheDialogKeepsRunningWhileThePasswordIsCheckedAndAClosingThenWins) {
    int endCodeSeenMeanwhile = -1;
    QTimer::singleShot(0, &dlg, [&] {
        endCodeSeenMeanwhile = dlg.GetEndCode();
        dlg.SendCommand(IDCANCEL);
    });
    EXPECT_EQ(Press("root", "kerno482"), Messages{});
    EXPECT_EQ(endCodeSeenMeanwhile, 0);  // the timer ran before the answer was in
    EXPECT_EQ(dlg.GetEndCode(), IDCANCEL);
}

TEST_F(Login, LooksRight) {
    dsLoadSkin("ControlSkin", 0);
    CUserDlg skinned;
    skinned.Create();
    skinned.show();
    SaveScreenshot(&skinned, "login-dialog");
    ExpectTextsFit(&skinned);
    dsExitSkin();
}
}  // namespace

TEST_F(Login, ABookLackingTheUserTableOrAColumnSaysSoInChinese) {
    ExecuteOnBook("alter table tbUser rename column password to pw");
    const Messages noColumn = Press("root", "kerno482");
    ASSERT_EQ(noColumn.size(), 1u);
    EXPECT_NE(noColumn[0].find("不是完整的 Tillbook 账本（缺少列“password”）"), std::string::npos)
        << noColumn[0];
    EXPECT_NE(noColumn[0].find("tillbook-db check"), std::string::npos) << noColumn[0];
    EXPECT_EQ(noColumn[0].find("Item cannot be found"), std::string::npos) << noColumn[0];

    ExecuteOnBook("drop table tbUser");
    const Messages noTable = Press("root", "kerno482");
    ASSERT_EQ(noTable.size(), 1u);
    EXPECT_NE(noTable[0].find("缺少表“tbUser”"), std::string::npos) << noTable[0];
    EXPECT_NE(noTable[0].find(book.BookPath().string()), std::string::npos) << noTable[0];
    EXPECT_EQ(noTable[0].find("no such table"), std::string::npos) << noTable[0];
    EXPECT_EQ(dlg.GetEndCode(), 0);
}

TEST_F(Login, AFailureNamingAVeryLongPathStaysReadableInTheMessageBox) {
    std::string path = "/home/mama";
    for (int i = 0; i < 40; ++i)
        path += "/家庭账本文件夹" + std::to_string(i);
    path += "/data.mdb";
    ComErrorFacts facts;
    facts.path = path;
    facts.fileFault = FileFault::PathTooLong;
    const std::string text =
        DescribeDatabaseFailure(std::make_exception_ptr(CADOException(E_FAIL, "", facts)))
            .value_or("");
    QMessageBox box(QMessageBox::NoIcon, "Tillbook", QString::fromStdString(text), QMessageBox::Ok);
    box.show();
    const QImage shot = SaveScreenshot(&box, "message-box-long-path");
    // Shortened in the middle, the box stays narrower than a small screen.
    EXPECT_LE(shot.width(), 800) << text;
    EXPECT_NE(text.find("/data.mdb”"), std::string::npos) << text;
}
