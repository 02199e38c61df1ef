#include "platform/ado/Connection.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>

#include "TempDatabase.h"
#include "platform/ado/Recordset.h"

namespace {

const char* kScript = "CREATE TABLE t (id INTEGER PRIMARY KEY AUTOINCREMENT, a TEXT);";

CComError OpenError(const std::string& connectionString) {
    CConnection c;
    try {
        c.Open(connectionString, "", "", 0);
    } catch (const CComError& e) {
        EXPECT_EQ(c.GetState(), 0);
        return e;
    }
    ADD_FAILURE() << "opened " << connectionString;
    return CComError(S_OK);
}

void WriteFile(const std::string& name, const std::string& bytes) {
    std::ofstream(name, std::ios::binary) << bytes;
}

}  // namespace

TEST(Connection, OpensAnExistingFileRelativeToTheWorkingDirectory) {
    TempDatabase db(kScript);
    CConnection c;
    EXPECT_EQ(c.GetState(), 0);
    EXPECT_EQ(c.Open("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=db.sqlite", "", "", 0), S_OK);
    EXPECT_EQ(c.GetState(), 1);
    EXPECT_EQ(c.FilePath(), (db.Dir() / "db.sqlite").string());
    c.Close();
    EXPECT_EQ(c.GetState(), 0);
}

TEST(Connection, AFileBookLeavesThePostgreSQLClientLibraryUnloaded) {
    TempDatabase db(kScript);
    CConnection c;
    c.Open("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=db.sqlite", "", "", 0);
    std::ifstream maps("/proc/self/maps");
    const std::string mapped((std::istreambuf_iterator<char>(maps)), {});
    EXPECT_EQ(mapped.find("libpq.so"), std::string::npos);
}

TEST(Connection, AnUnreachableServerIsNamedInTheError) {
    CConnection c;
    try {
        c.OpenServer("postgresql://family@127.0.0.1:1/book");
        ADD_FAILURE() << "connected to a closed port";
    } catch (const CComError& e) {
        EXPECT_TRUE(e.Facts().connectionLost);
        EXPECT_EQ(e.Facts().server, "postgresql://family@127.0.0.1:1/book");
        EXPECT_EQ(
            e.Description().rfind("Cannot connect to postgresql://family@127.0.0.1:1/book: ", 0),
            0u)
            << e.Description();
    }
}

TEST(Connection, MissingFileIsReportedWithItsFullPathAndNotCreated) {
    TempDatabase db(kScript);
    const CComError e = OpenError("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=missing.mdb");
    EXPECT_EQ(e.Error(), E_FAIL);
    EXPECT_NE(e.Description().find((db.Dir() / "missing.mdb").string()), std::string::npos)
        << e.Description();
    EXPECT_FALSE(std::filesystem::exists("missing.mdb"));
}

TEST(Connection, ForeignFilesAreRefusedWithTheirFault) {
    TempDatabase db(kScript);
    WriteFile("text.mdb", "just some text, certainly not a database file at all");
    WriteFile("empty.mdb", "");
    WriteFile("access.mdb", std::string("\x00\x01\x00\x00Standard Jet DB\x00", 20) + "rest");
    WriteFile("ace.accdb", std::string("\x00\x01\x00\x00Standard ACE DB\x00", 20) + "rest");
    std::filesystem::create_directory("folder.mdb");
    ASSERT_EQ(mkfifo("pipe.mdb", 0600), 0);

    const std::pair<const char*, FileFault> cases[] = {
        {"text.mdb", FileFault::NotDatabase}, {"empty.mdb", FileFault::NotDatabase},
        {"access.mdb", FileFault::JetFormat}, {"ace.accdb", FileFault::JetFormat},
        {"folder.mdb", FileFault::Folder},    {"pipe.mdb", FileFault::NotRegular},
        {"missing.mdb", FileFault::Missing},
    };
    for (const auto& [name, fault] : cases) {
        // A pipe nobody writes to would block a plain read for ever.
        const CComError e =
            OpenError(std::string("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + name);
        EXPECT_EQ(e.Error(), E_FAIL) << name;
        EXPECT_EQ(e.Facts().fileFault, fault) << name;
        EXPECT_EQ(e.Facts().path, (db.Dir() / name).string());
        // The layer states facts; the household's words are made elsewhere.
        EXPECT_NE(e.Description().find((db.Dir() / name).string()), std::string::npos);
    }
    EXPECT_FALSE(std::filesystem::exists("missing.mdb"));
}

TEST(Connection, APathLongerThanTheEngineTakesIsSaidToBeTooLong) {
    TempDatabase db(kScript);
    // Four folders of 50 Chinese characters: over 600 bytes, past the engine's limit
    // though the file system takes it.
    std::string folder;
    for (int i = 0; i < 50; ++i)
        folder += "账";
    const std::filesystem::path dir = std::filesystem::path(folder) / folder / folder / folder;
    std::filesystem::create_directories(dir);
    std::filesystem::copy_file("db.sqlite", dir / "data.mdb");
    const CComError e =
        OpenError("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + (dir / "data.mdb").string());
    EXPECT_EQ(e.Facts().fileFault, FileFault::PathTooLong);
    EXPECT_EQ(e.Facts().path, (db.Dir() / dir / "data.mdb").string());
}

TEST(Connection, UnknownProviderIsRefused) {
    TempDatabase db(kScript);
    const CComError e = OpenError("Provider=SQLOLEDB;Data Source=db.sqlite");
    EXPECT_EQ(e.Error(), ADO_E_PROVIDERNOTFOUND);
    EXPECT_NE(e.Description().find("SQLOLEDB"), std::string::npos);
    // Keys and the provider name are not case-sensitive, blanks around them do not matter.
    CConnection c;
    EXPECT_EQ(c.Open(" provider = microsoft.jet.oledb.4.0 ; DATA SOURCE = db.sqlite ", "", "", 0),
              S_OK);
}

TEST(Connection, ReadOnlyFileFailsOnWriteNamingTheFile) {
    TempDatabase db(kScript);
    chmod("db.sqlite", 0444);
    // Permissions do not bind root; an immutable file does.
    const bool immutable = geteuid() == 0 && std::system("chattr +i db.sqlite 2>/dev/null") == 0;
    if (geteuid() == 0 && !immutable)
        GTEST_SKIP() << "file permissions do not bind root";
    struct Undo {
        bool immutable;
        ~Undo() {
            if (immutable)
                std::system("chattr -i db.sqlite");
        }
    } undo{immutable};
    auto c = TempDatabase::Connect();
    EXPECT_TRUE(c->IsReadOnly());
    CRecordset rs;
    rs.Open("t", c, adOpenKeyset, adLockOptimistic, adCmdTable);
    rs.AddNew();
    rs.PutValue(CVariant::FromText("a"), CVariant::FromText("x"));
    try {
        rs.Update();
        FAIL() << "wrote to a read-only file";
    } catch (const CComError& e) {
        EXPECT_EQ(e.Error(), E_ACCESSDENIED);
        EXPECT_EQ(e.Facts().engineCode, EngineCode::ReadOnly);
        EXPECT_EQ(e.Facts().path, (db.Dir() / "db.sqlite").string());
    }
}

TEST(Connection, LockedFileWaitsThenFailsNamingTheFile) {
    TempDatabase db(kScript);
    auto holder = TempDatabase::Connect();
    holder->BeginTrans();
    holder->Execute("INSERT INTO t (a) VALUES ('held')");
    auto c = TempDatabase::Connect();
    CRecordset rs;
    rs.Open("t", c, adOpenKeyset, adLockOptimistic, adCmdTable);
    rs.AddNew();
    rs.PutValue(CVariant::FromText("a"), CVariant::FromText("x"));
    const auto start = std::chrono::steady_clock::now();
    try {
        rs.Update();
        FAIL() << "wrote to a locked file";
    } catch (const CComError& e) {
        EXPECT_EQ(e.Facts().engineCode, EngineCode::Busy);
        EXPECT_EQ(e.Facts().path, (db.Dir() / "db.sqlite").string());
    }
    EXPECT_GE(std::chrono::steady_clock::now() - start,
              std::chrono::milliseconds(kBusyTimeoutMs / 2));
    // Once the other writer is done, the pending row can still be stored.
    holder->CommitTrans();
    EXPECT_EQ(rs.Update(), S_OK);
    EXPECT_EQ(rs.GetRecordCount(), 1);
}

TEST(Connection, RollbackDiscardsEveryWriteOfTheGroup) {
    TempDatabase db(kScript);
    auto c = TempDatabase::Connect();
    c->BeginTrans();
    c->Execute("DELETE FROM t");
    c->Execute("INSERT INTO t (a) VALUES ('x')");
    c->RollbackTrans();
    c->BeginTrans();
    c->Execute("INSERT INTO t (a) VALUES ('y')");
    c->CommitTrans();
    CRecordset rs;
    rs.Open("t", c, adOpenKeyset, adLockOptimistic, adCmdTable);
    ASSERT_EQ(rs.GetRecordCount(), 1);
    EXPECT_EQ(rs.GetValue(CVariant::FromText("a")).TextValue(), "y");
}

TEST(Connection, OpeningAnOpenConnectionSaysItIsOpen) {
    TempDatabase db(kScript);
    CConnection c;
    c.OpenFile("db.sqlite");
    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            if (attempt == 0)
                c.OpenFile("db.sqlite");
            else
                c.Open("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=db.sqlite", "", "", 0);
            FAIL();
        } catch (const CComError& e) {
            EXPECT_EQ(e.Error(), ADO_E_OBJECTOPEN);
        }
    }
    c.Close();
    try {
        c.Close();
        FAIL();
    } catch (const CComError& e) {
        EXPECT_EQ(e.Error(), ADO_E_OBJECTCLOSED);
    }
}
