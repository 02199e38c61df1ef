// Deleting 5,000 selected records of a listed year (about 50,000 of a 1,000,000-row book) and
// taking the delete back, through the query dialog (from the key press until the list shows
// the year again) and through the data layer alone, against the bare SQLite C API deleting and
// inserting the same rows by 编号 in one transaction each.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "BenchBook.h"
#include "QtBenchMain.h"
#include "data/ADODatabase.h"
#include "data/BookConnection.h"
#include "data/EntryEdits.h"
#include "platform/ui/QuestionBox.h"
#include "query/CIncomeInquiryDlg.h"
#include "res/ResourceIds.h"

namespace {
const DateTimeValue kNow(2015, 6, 15, 12);
constexpr int kSelected = 5000;

// 5,000 rows spread evenly over the listed year, as picked by hand.
std::vector<int> Spread(int rows) {
    std::vector<int> picked;
    const int step = std::max(1, rows / kSelected);
    for (int row = 0; row < rows && static_cast<int>(picked.size()) < kSelected; row += step)
        picked.push_back(row);
    return picked;
}

struct ListedYear {
    ListedYear() {
        dlg.Create();
        dlg.show();
        dlg.SendCommand(IDC_INQ_YEAR);
        QApplication::processEvents();
    }
    void Select() { dlg.m_listResult.SetSelectedItems(Spread(dlg.m_listResult.GetItemCount())); }
    void Press(int command) {
        dlg.SendCommand(command);
        QApplication::processEvents();
    }
    // The first delete of many records in a visit backs the book up first; this one is that.
    void DeleteAndUndoOnce() {
        Select();
        Press(ID_INQ_DELETE);
        Press(ID_INQ_UNDO);
    }
    CIncomeInquiryDlg dlg;
};

// The first delete of the visit, with the backup of the book it starts with.
void BM_FirstDeleteOfVisit_Dialog(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        ListedYear year;
        year.Select();
        state.ResumeTiming();
        year.Press(ID_INQ_DELETE);
        state.PauseTiming();
        year.Press(ID_INQ_UNDO);
        state.ResumeTiming();
    }
}

// The same when the question is read for 1.5 s before 是: from that press until the list shows
// the year again. The backup runs while the question is on screen.
void BM_FirstDeleteOfVisitAfterReading_Dialog(benchmark::State& state) {
    std::chrono::steady_clock::time_point answered;
    const QuestionHook previous = SetQuestionHook([&](QWidget*, const std::string&) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        answered = std::chrono::steady_clock::now();
        return true;
    });
    for (auto _ : state) {
        ListedYear year;
        year.Select();
        year.Press(ID_INQ_DELETE);
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - answered).count());
        year.Press(ID_INQ_UNDO);
    }
    SetQuestionHook(previous);
}

void BM_DeleteSelected_Dialog(benchmark::State& state) {
    ListedYear year;
    year.DeleteAndUndoOnce();
    for (auto _ : state) {
        state.PauseTiming();
        year.Select();
        state.ResumeTiming();
        year.Press(ID_INQ_DELETE);
        state.PauseTiming();
        year.Press(ID_INQ_UNDO);
        state.ResumeTiming();
    }
    state.counters["listed"] = year.dlg.m_listResult.GetItemCount();
}

void BM_UndoDelete_Dialog(benchmark::State& state) {
    ListedYear year;
    year.DeleteAndUndoOnce();
    for (auto _ : state) {
        state.PauseTiming();
        year.Select();
        year.Press(ID_INQ_DELETE);
        state.ResumeTiming();
        year.Press(ID_INQ_UNDO);
    }
    state.counters["selected_after"] = year.dlg.m_listResult.GetSelectedCount();
}

// The same rows by their listing fingerprints, without the dialog.
std::vector<ListedEntry> ListedOf(ListedYear& year) {
    std::vector<ListedEntry> listed;
    CListCtrl& list = year.dlg.m_listResult;
    for (int row : Spread(list.GetItemCount()))
        listed.push_back({std::stoll(list.GetItemText(row, 0)), list.GetItemData(row)});
    return listed;
}

void BM_DeleteAndRestore_DataLayer(benchmark::State& state) {
    ListedYear year;
    const std::vector<ListedEntry> listed = ListedOf(year);
    CADODatabase db;
    db.SetConnectionString(BookConnectionString());
    db.Open();
    const BookSide& side = kIncomeSide;
    for (auto _ : state) {
        StoredRows removed;
        DeleteEntries(db, side, listed, removed);
        RestoreEntries(db, side, removed,
                       std::vector<std::optional<std::uint32_t>>(removed.rows.size()));
    }
}

// The floor: the bare C API, one prepared statement per kind of write, one transaction each.
void BM_DeleteAndInsert_BareSqlite(benchmark::State& state) {
    ListedYear year;
    const std::vector<ListedEntry> listed = ListedOf(year);
    sqlite3* db = nullptr;
    sqlite3_open("data.mdb", &db);
    sqlite3_stmt *select = nullptr, *remove = nullptr, *insert = nullptr;
    sqlite3_prepare_v2(db, "select * from normalIncome where 编号 = ?", -1, &select, nullptr);
    sqlite3_prepare_v2(db, "delete from normalIncome where 编号 = ?", -1, &remove, nullptr);
    sqlite3_prepare_v2(db, "insert into normalIncome values (?, ?, ?, ?, ?, ?)", -1, &insert,
                       nullptr);
    std::vector<std::vector<sqlite3_value*>> saved;
    for (const ListedEntry& entry : listed) {
        sqlite3_bind_int64(select, 1, entry.number);
        sqlite3_step(select);
        std::vector<sqlite3_value*> row;
        for (int c = 0; c < 6; ++c)
            row.push_back(sqlite3_value_dup(sqlite3_column_value(select, c)));
        saved.push_back(row);
        sqlite3_reset(select);
    }
    for (auto _ : state) {
        sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        for (const ListedEntry& entry : listed) {
            sqlite3_bind_int64(remove, 1, entry.number);
            sqlite3_step(remove);
            sqlite3_reset(remove);
        }
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        for (const auto& row : saved) {
            for (int c = 0; c < 6; ++c)
                sqlite3_bind_value(insert, c + 1, row[static_cast<std::size_t>(c)]);
            sqlite3_step(insert);
            sqlite3_reset(insert);
        }
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    }
    for (auto& row : saved)
        for (sqlite3_value* value : row)
            sqlite3_value_free(value);
    sqlite3_finalize(select);
    sqlite3_finalize(remove);
    sqlite3_finalize(insert);
    sqlite3_close(db);
}
}  // namespace

BENCHMARK(BM_FirstDeleteOfVisit_Dialog)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime();
BENCHMARK(BM_FirstDeleteOfVisitAfterReading_Dialog)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseManualTime();
BENCHMARK(BM_DeleteSelected_Dialog)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_UndoDelete_Dialog)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_DeleteAndRestore_DataLayer)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5)
    ->UseRealTime();
BENCHMARK(BM_DeleteAndInsert_BareSqlite)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5)
    ->UseRealTime();

int main(int argc, char** argv) {
    return RunQtBenchmarks(argc, argv, [] {
        EnterBenchBook(TILLBOOK_BENCH_DIR, EnsureBenchBook);
        SetQueryClock([] { return kNow; });
        SetQuestionHook([](QWidget*, const std::string&) { return true; });
    });
}
