// One press of "登录" on a fresh book, through the real login dialog: the hashed password of
// root verified, and a password kept in plain text by an older book verified and replaced by
// its hash. The floor is the same press before passwords were hashed: the lookup alone.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "QtBenchMain.h"
#include "accounts/CUserDlg.h"
#include "data/ADODatabase.h"
#include "data/ADORecordset.h"
#include "data/BookConnection.h"
#include "data/BookFile.h"
#include "data/PasswordHash.h"
#include "platform/ui/MessageBox.h"
#include "res/ResourceIds.h"

namespace {
void Execute(const std::string& statement) {
    CADODatabase db;
    db.SetConnectionString(BookConnectionString());
    db.Open();
    CADORecordset rs(&db);
    rs.Open(db.GetActiveConnection(), statement, CADORecordset::OpenDefault);
}

void PressLogin(benchmark::State& state) {
    CUserDlg dlg;
    dlg.Create();
    dlg.SendCommand(IDOK);
    if (dlg.GetEndCode() != IDOK)
        state.SkipWithError("the login was refused");
}

void BM_Login_HashedPassword(benchmark::State& state) {
    for (auto _ : state)
        PressLogin(state);
}

void BM_Login_PlainPasswordHashedOnTheWay(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        Execute("update tbUser set password = 'kerno482' where user = 'root'");
        state.ResumeTiming();
        PressLogin(state);
    }
}

// What the press costs without the hashing: the dialog, the connection and the lookup.
void BM_Login_Floor_LookupOnly(benchmark::State& state) {
    for (auto _ : state) {
        CUserDlg dlg;
        dlg.Create();
        dlg.UpdateData(true);
        CADODatabase db;
        db.SetConnectionString(BookConnectionString());
        db.Open();
        CADORecordset rs(&db);
        rs.Open(db.GetActiveConnection(), "select * from tbUser where user = 'root'",
                CADORecordset::OpenQuery);
        std::string stored;
        rs.GetFieldValue("password", stored);
        benchmark::DoNotOptimize(stored);
    }
}

// A stored hash asking for 256 MiB, 8 passes and 32768 lanes (9.5 s to verify) is refused as
// damaged: the press costs the lookup.
void BM_Login_HungryStoredHashRefused(benchmark::State& state) {
    const MessageBoxHook quiet = SetMessageBoxHook([](QWidget*, const std::string&) {});
    Execute(
        "update tbUser set password = '$argon2id$v=19$m=262144,t=8,p=32768$"
        "C7eEIktjS2bdeR9A6qinuA$5x+rOCDbYmzDrhvyoBtKpexObq57IaQ6xGcyyaqwDa0' where user = 'root'");
    for (auto _ : state) {
        CUserDlg dlg;
        dlg.Create();
        dlg.SendCommand(IDOK);
        if (dlg.GetEndCode() == IDOK)
            state.SkipWithError("the damaged hash let the login through");
    }
    Execute("update tbUser set password = '" + HashPassword("kerno482") + "' where user = 'root'");
    SetMessageBoxHook(quiet);
}

void BM_HashPassword(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(HashPassword("kerno482"));
}
}  // namespace

BENCHMARK(BM_Login_HashedPassword)->Unit(benchmark::kMillisecond)->Iterations(20)->UseRealTime();
BENCHMARK(BM_Login_PlainPasswordHashedOnTheWay)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20)
    ->UseRealTime();
BENCHMARK(BM_Login_Floor_LookupOnly)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Login_HungryStoredHashRefused)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_HashPassword)->Unit(benchmark::kMillisecond)->Iterations(20)->UseRealTime();

int main(int argc, char** argv) {
    const auto dir = std::filesystem::temp_directory_path() /
                     ("tillbook-login-bench-" + std::to_string(getpid()));
    const int result = RunQtBenchmarks(argc, argv, [&dir] {
        std::filesystem::create_directories(dir);
        std::filesystem::current_path(dir);
        CreateBook("data.mdb");
    });
    std::filesystem::current_path("/");
    std::filesystem::remove_all(dir);
    return result;
}
