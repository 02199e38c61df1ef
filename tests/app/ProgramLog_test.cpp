#include <gtest/gtest.h>

#include <QFile>
#include <QTest>
#include <QTreeView>

#include "app/ProgramLog.h"
#include "categories/CBaseDataDlg.h"
#include "data/ADODatabase.h"
#include "data/ADORecordset.h"
#include "data/BookConnection.h"
#include "data/DatabaseFailure.h"
#include "platform/ui/ErrorBarrier.h"
#include "res/ResourceIds.h"
#include "support/TempBook.h"
#include "support/UiTestSupport.h"

namespace {

// A write the book refuses, through the real window: the family sees the Chinese message, and
// tillbook.log beside the book holds one line with what is needed to diagnose it.
TEST(ProgramLog, AFailureLeavesOneLineWithItsEngineCodesBesideTheBook) {
    TempBook book;
    {
        CADODatabase db;
        db.SetConnectionString(BookConnectionString());
        db.Open();
        CADORecordset rs(&db);
        rs.Open(db.GetActiveConnection(),
                "create trigger refuse before insert on 家庭成员 begin select raise(abort, "
                "'refused'); end");
    }
    SetFailureDescriber(&DescribeDatabaseFailure);
    InstallProgramLog(QString::fromStdString(book.Dir().string()));
    MessageRecorder messages;

    CBaseDataDlg dlg;
    dlg.Create();
    dlg.show();
    auto* kinds = dlg.GetDlgItemAs<QTreeView>(IDC_LIST_BASE_KIND);
    QTest::mouseClick(kinds->viewport(), Qt::LeftButton, {},
                      kinds->visualRect(kinds->model()->index(0, 0)).center());
    TypeInto(dlg, IDC_EDIT_BASE_TYPE, "奶奶");
    Click(dlg, IDC_BTN_BASE_ADD);
    SetFailureLog(nullptr);
    SetFailureDescriber({});

    ASSERT_EQ(messages.Texts().size(), 1u);
    EXPECT_EQ(messages.Texts()[0].rfind("数据库操作失败。", 0), 0u) << messages.Texts()[0];
    QFile log(QString::fromStdString((book.Dir() / "tillbook.log").string()));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = log.readAll().trimmed().split('\n');
    ASSERT_EQ(lines.size(), 1) << lines.join('\n').toStdString();
    const std::string line = lines[0].toStdString();
    for (const std::string& part :
         {std::string("warning tillbook.data: refused"), std::string("engine code 19"),
          std::string("extended code 1811"), "file " + book.BookPath().string(),
          std::string("statement: INSERT INTO")})
        EXPECT_NE(line.find(part), std::string::npos) << part << " in " << line;
}

}  // namespace
