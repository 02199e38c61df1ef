// Several PCs on one server book: tests that need the test server and fail without it.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QLineEdit>
#include <QTest>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "EntryTestSupport.h"
#include "categories/EntryOrder.h"
#include "data/ADODatabase.h"
#include "data/ADOException.h"
#include "data/ADORecordset.h"
#include "data/BookConnection.h"
#include "entry/CNormalIncomeDlg.h"
#include "platform/ado/Connection.h"
#include "platform/ado/Statement.h"
#include "res/ResourceIds.h"
#include "support/TempBook.h"
#include "support/UiTestSupport.h"

namespace {

// Runs `work` in `count` processes at once and waits for them; true when all of them succeeded.
bool InProcesses(int count, const std::function<void(int)>& work) {
    std::vector<pid_t> children;
    for (int i = 0; i < count; ++i) {
        const pid_t pid = fork();
        if (pid == 0) {
            int code = 0;
            try {
                work(i);
            } catch (const CADOException& e) {
                std::fprintf(stderr, "child %d: %s [%s]\n", i, e.m_description.c_str(),
                             e.m_facts.state.c_str());
                code = 1;
            } catch (const CComError& e) {
                std::fprintf(stderr, "child %d: %s\n", i, e.Description().c_str());
                code = 1;
            } catch (const std::exception& e) {
                std::fprintf(stderr, "child %d: %s\n", i, e.what());
                code = 1;
            }
            _exit(code);
        }
        children.push_back(pid);
    }
    bool ok = true;
    for (pid_t pid : children) {
        int status = 0;
        waitpid(pid, &status, 0);
        ok = ok && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    return ok;
}

std::vector<std::string> Column(const std::string& statement, int index) {
    CADODatabase db;
    db.SetConnectionString(BookConnectionString());
    db.Open();
    CADORecordset rs(&db);
    rs.Open(db.GetActiveConnection(), statement);
    std::vector<std::string> values;
    for (std::string value; !rs.IsEOF(); rs.MoveNext()) {
        rs.GetFieldValue(index, value);
        values.push_back(value);
    }
    return values;
}

bool RestartServer() {
    const std::string folder = std::getenv("TILLBOOK_TEST_SERVER");
    const std::string restart = "scripts=" + std::string(TILLBOOK_SOURCE_DIR) +
                                "/scripts; \"$scripts/pg-test-server\" restart " + folder;
    return std::system(restart.c_str()) == 0;
}

class ServerBook : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(TempBook::OnServer())
            << "these tests need the test server (TILLBOOK_TEST_SERVER names its folder)";
        book = std::make_unique<TempBook>();
    }
    std::unique_ptr<TempBook> book;
};

TEST_F(ServerBook, TwoProgramsAddingAtOnceBothLandWithoutADuplicateNumber) {
    constexpr int kAdds = 1000;
    ASSERT_TRUE(InProcesses(2, [](int child) {
        // What the entry dialog does for each press of 添加, on a connection of its own.
        CADODatabase db;
        db.SetConnectionString(BookConnectionString());
        db.Open();
        for (int i = 0; i < kAdds; ++i) {
            CADORecordset rs(&db);
            rs.Open(db.GetActiveConnection(), "normalIncome", CADORecordset::OpenTable);
            rs.AddNew();
            rs.SetFieldValue("收入人员", child == 0 ? std::string("爸爸") : std::string("妈妈"));
            rs.SetFieldValue("收入金额", i + 1.0);
            rs.SetFieldValue("收入日期", DateTimeValue(2026, 12, 6, 9, 0, 0));
            rs.Update();
        }
    }));
    const std::vector<std::string> numbers = Column("select 编号 from normalIncome", 0);
    EXPECT_EQ(numbers.size(), 2u * kAdds);
    EXPECT_EQ(std::set<std::string>(numbers.begin(), numbers.end()).size(), 2u * kAdds);
    EXPECT_EQ(Column("select 收入人员 from normalIncome where 收入人员 = '妈妈'", 0).size(),
              size_t{kAdds});
}

TEST_F(ServerBook, TwoReordersAtOnceEndInOneOfTheTwoOrders) {
    const std::vector<std::vector<std::string>> orders{{"甲", "乙", "丙", "丁"},
                                                       {"丁", "丙", "乙", "甲"}};
    ASSERT_TRUE(InProcesses(2, [&](int child) {
        CADODatabase db;
        db.SetConnectionString(BookConnectionString());
        db.Open();
        std::vector<CategoryEntry> entries;
        for (const std::string& type : orders[static_cast<size_t>(child)])
            entries.push_back({type, "第" + std::to_string(child) + "台"});
        for (int round = 0; round < 25; ++round) {
            StoreEntryOrder(db, "家庭成员", entries);
        }
    }));
    const std::vector<std::string> stored = Column("家庭成员", 1);
    const std::vector<std::string> remarks = Column("家庭成员", 2);
    EXPECT_TRUE(stored == orders[0] || stored == orders[1]) << stored.size() << " rows";
    // The remarks come from the same rewrite as the order: never a mix.
    ASSERT_EQ(remarks.size(), 4u);
    EXPECT_EQ(std::set<std::string>(remarks.begin(), remarks.end()).size(), 1u);
    EXPECT_EQ(remarks[0], stored == orders[0] ? "第0台" : "第1台");
}

TEST_F(ServerBook, ALostConnectionIsReportedNamingTheServerAndTheNextAddReconnects) {
    DatabaseMessages databaseMessages;
    MessageRecorder messages;
    CNormalIncomeDlg dlg;
    dlg.Create();
    const auto add = [&](const char* amount) {
        auto* edit = dlg.GetDlgItemAs<QLineEdit>(IDC_EDIT_INCOME_AMOUNT);
        edit->clear();
        QTest::keyClicks(edit, amount);
        messages.Clear();
        Click(dlg, IDC_BTN_ENTRY_ADD);
        return messages.Texts();
    };
    ASSERT_EQ(add("10"), std::vector<std::string>{"数据添加成功！"});
    // The server goes down and comes back while the dialog stays open.
    ASSERT_TRUE(RestartServer());
    const std::vector<std::string> lost = add("20");
    ASSERT_EQ(lost.size(), 1u);
    EXPECT_NE(lost[0].find("无法连接账本服务器“postgresql://tillbook@"), std::string::npos)
        << lost[0];
    EXPECT_NE(lost[0].find("下一次操作会重新连接"), std::string::npos) << lost[0];
    EXPECT_EQ(add("20"), std::vector<std::string>{"数据添加成功！"});
    std::vector<double> amounts;
    for (const EntryRow& row : EntryRows("normalIncome"))
        amounts.push_back(row.amount);
    EXPECT_EQ(amounts, (std::vector<double>{10, 20}));
    dlg.close();
}

// A statement made before the connection was lost and used after the next one reconnected
// fails as a lost connection does.
TEST_F(ServerBook, AStatementOfALostConnectionFailsAfterTheReconnection) {
    CConnection connection;
    connection.Open(BookConnectionString(), "", "", 0);
    CStatement early(connection, "select count(*) from \"normalIncome\"");
    ASSERT_TRUE(RestartServer());
    EXPECT_THROW(connection.Execute("select 1"), CComError);
    connection.Execute("select 1");  // on a new connection
    EXPECT_THROW(early.Step(), CComError);
}

}  // namespace
