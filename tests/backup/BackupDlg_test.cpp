#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QTest>
#include <QTreeWidget>
#include <filesystem>
#include <fstream>

#include "backup/CBackupDlg.h"
#include "data/ADODatabase.h"
#include "data/BookBackup.h"
#include "platform/skin/Skin.h"
#include "platform/ui/QuestionBox.h"
#include "res/ResourceIds.h"
#include "support/TempBook.h"
#include "support/UiTestSupport.h"

namespace {

using Texts = std::vector<std::string>;

void AddIncome(int count) {
    CADODatabase db;
    db.SetConnectionString(TempBook::ConnectionString());
    db.Open();
    std::string sql = "BEGIN;";
    for (int i = 0; i < count; ++i)
        sql +=
            "INSERT INTO normalIncome (收入人员, 收入金额, 收入日期, 收入项目) VALUES "
            "('爸爸', 1, '2026-0" +
            std::to_string(count) + "-01 10:00:00', '工资');";
    db.GetActiveConnection()->Execute((sql + "COMMIT;").c_str());
}

Texts Row(QTreeWidget* list, int row) {
    Texts texts;
    for (int c = 1; c < list->columnCount(); ++c)
        texts.push_back(list->topLevelItem(row)->text(c).toStdString());
    return texts;
}

// Backs up, changes the book, and restores the older backup through the window, by mouse and
// keyboard as a user would, on a real book file.
TEST(BackupDlg, BacksUpNowAndRestoresTheSelectedBackupAfterAskingOnce) {
    TempBook book;
    AddIncome(1);
    dsLoadSkin("ControlSkin", 0);
    CBackupDlg dlg;
    dlg.Create();
    dlg.show();
    auto* list = dlg.GetDlgItemAs<QTreeWidget>(IDC_BACKUP_LIST);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->accessibleName(), QStringLiteral("备份列表（最新的在最上面）"));
    EXPECT_EQ(list->topLevelItemCount(), 0);
    EXPECT_FALSE(dlg.GetDlgItem(IDC_BACKUP_RESTORE)->isEnabled());

    MessageRecorder messages;
    Click(dlg, IDC_BACKUP_NOW);
    AddIncome(4);
    Click(dlg, IDC_BACKUP_NOW);
    ASSERT_EQ(messages.Texts().size(), 2u);
    EXPECT_EQ(messages.Texts()[0].rfind("已备份账本：", 0), 0u) << messages.Texts()[0];
    ASSERT_EQ(list->topLevelItemCount(), 2);
    EXPECT_EQ(Row(list, 0), (Texts{"5", "0", "2026-04-01", "64 KB"}));
    EXPECT_EQ(Row(list, 1), (Texts{"1", "0", "2026-01-01", "64 KB"}));
    SaveScreenshot(&dlg, "backup-window");
    ExpectTextsFit(&dlg);

    AddIncome(2);  // the book now holds 7
    std::vector<std::string> questions;
    auto previous = SetQuestionHook([&questions](QWidget*, const std::string& text) {
        questions.push_back(text);
        return questions.size() > 1;  // no the first time, yes the second
    });
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Down);
    dlg.GetDlgItem(IDC_BACKUP_RESTORE)->setFocus();
    QTest::keyClick(dlg.GetDlgItem(IDC_BACKUP_RESTORE), Qt::Key_Space);
    EXPECT_EQ(list->topLevelItemCount(), 2);  // declined: nothing happened
    Click(dlg, IDC_BACKUP_RESTORE);
    SetQuestionHook(previous);

    ASSERT_EQ(questions.size(), 2u);
    EXPECT_NE(questions[1].find("现在的账本：收入 7 笔，支出 0 笔，2026-01-01 至 2026-04-01"),
              std::string::npos)
        << questions[1];
    EXPECT_NE(questions[1].find("备份中的账本：收入 1 笔，支出 0 笔，2026-01-01 至 2026-01-01"),
              std::string::npos)
        << questions[1];
    ASSERT_EQ(messages.Texts().size(), 3u);
    EXPECT_EQ(messages.Texts()[2].rfind("账本已恢复成 ", 0), 0u);
    EXPECT_NE(messages.Texts()[2].find(
                  "并已重新打开：收入 1 笔，支出 0 笔。\n恢复前的账本已备份为 data-"),
              std::string::npos)
        << messages.Texts()[2];
    EXPECT_EQ(SummarizeBook("data.mdb").income, 1);
    // The book as it was is the newest backup now.
    ASSERT_EQ(list->topLevelItemCount(), 3);
    EXPECT_EQ(Row(list, 0)[0], "7");
    dsExitSkin();
}

TEST(BackupDlg, AFailedBackupSaysWhyAndListsNothing) {
    TempBook book;
    std::ofstream("backups") << "a file where the folder should be";
    CBackupDlg dlg;
    dlg.Create();
    MessageRecorder messages;
    Click(dlg, IDC_BACKUP_NOW);
    ASSERT_EQ(messages.Texts().size(), 1u);
    EXPECT_EQ(messages.Texts()[0].rfind("没有备份成功：没有权限写入备份文件夹", 0), 0u)
        << messages.Texts()[0];
    EXPECT_EQ(dlg.GetDlgItemAs<QTreeWidget>(IDC_BACKUP_LIST)->topLevelItemCount(), 0);
}

// A book on a server: nothing is offered but the way to keep a copy of it.
TEST(BackupDlg, ABookOnAServerIsNotBackedUpHereAndTheWindowSaysHow) {
    setenv("TILLBOOK_BOOK", "postgresql://family@nas/tillbook", 1);
    dsLoadSkin("ControlSkin", 0);
    CBackupDlg dlg;
    dlg.Create();
    dlg.show();
    EXPECT_EQ(dlg.GetDlgItemText(IDC_BACKUP_FOLDER),
              "账本在数据库服务器上：请用服务器的备份，或用 tillbook-db copy 复制成账本文件。");
    EXPECT_FALSE(dlg.GetDlgItem(IDC_BACKUP_NOW)->isEnabled());
    EXPECT_FALSE(dlg.GetDlgItem(IDC_BACKUP_RESTORE)->isEnabled());
    SaveScreenshot(&dlg, "backup-window-server-book");
    dsExitSkin();
    unsetenv("TILLBOOK_BOOK");
}

}  // namespace
