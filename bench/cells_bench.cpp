// The grid's cell store side by side with what a Qt user would reach for:
// a QStandardItemModel with one QStandardItem per cell, shown in a
// QTableView. Five text columns of the call list's kind of data (a
// date-time text, a serial, a counter, a line number, an 11-digit phone
// number):
//   appending 1,000,000 rows (time and resident memory per cell),
//   the call list's step at 1,000,000 rows (delete row 0, append a row),
//   sorting by a text column and by an address column, against std::sort
//   over the same QString keys, and the peer's sort at 20,000 to 100,000
//   rows to show how it grows.
// The ratios are printed at the end, from the processor time of the
// working thread (the machine is shared). Memory is the growth of the
// resident set (/proc/self/statm) while the rows are made, freed memory
// handed back to the system before each measurement.

#include "Cells.h"
#include "Columns.h"

#include "BenchTiming.h"
#include "CallCells.h"
#include <QApplication>
#include <QStandardItemModel>
#include <QTableView>
#include <algorithm>

#include <benchmark/benchmark.h>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <malloc.h>
#include <map>
#include <memory>
#include <numeric>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kColumns = kCallColumns;
constexpr int kMillion = 1000000;
constexpr int kPhoneColumn = 4;
constexpr int kAddressColumn = 1;

std::map<std::string, double> gResults;

using BenchTiming::Seconds;
using BenchTiming::ThreadSeconds;

void Best(const std::string& name, double seconds) {
    BenchTiming::Best(gResults, name, seconds);
}

// ---- measuring

long ResidentBytes() {
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

long SettledResidentBytes() {
    malloc_trim(0);
    return ResidentBytes();
}

void Report(benchmark::State& state, double seconds) {
    state.SetIterationTime(seconds);
}

// ---- our store

// The grid's columns: five text columns.
struct TCellsGrid {
    TColumns Columns;
    TCells Cells{nullptr, &Columns};
    TCellsGrid() {
        Columns.OnCellsChange = [this](TColumns*, TColumnsChange kind, int a, int b) {
            Cells.SyncColumns(kind, a, b);
        };
        for (int c = 0; c < kColumns; ++c) {
            auto* column = new TCustomColumn(&Columns);
            column->SetColor(clWindow);
            Columns.Add(column);
        }
    }
    // The call list's way: append the row, then write its five cells.
    void Append(TCallMaker& maker, int row) {
        QString texts[kColumns];
        maker.Make(row, texts);
        for (int c = 0; c < kColumns; ++c)
            Cells.GetCell(c, row)->SetAsWideString(texts[c]);
    }
    void Fill(int rows, int step, TCallMaker& maker) {
        for (int first = 0; first < rows; first += step) {
            const int n = std::min(step, rows - first);
            Cells.AddRows(n);
            for (int r = first; r < first + n; ++r)
                Append(maker, r);
        }
    }
};

void BM_CellsAppend(benchmark::State& state) {
    const int step = static_cast<int>(state.range(0));
    for (auto _ : state) {
        const long before = SettledResidentBytes();
        auto grid = std::make_unique<TCellsGrid>();
        TCallMaker maker;
        const double t = Seconds([&] { grid->Fill(kMillion, step, maker); });
        const double perCell = double(ResidentBytes() - before) / (double(kMillion) * kColumns);
        Report(state, t);
        state.counters["us_per_row"] = t * 1e6 / kMillion;
        state.counters["bytes_per_cell"] = perCell;
        Best("append cells step " + std::to_string(step), t);
        gResults["memory cells step " + std::to_string(step)] = perCell;

        // The call list's step at a million rows: the oldest row goes, a
        // new one comes.
        constexpr int steps = 200;
        const double s = Seconds([&] {
            for (int i = 0; i < steps; ++i) {
                grid->Cells.DeleteRow(0);
                grid->Cells.AddRows(1);
                grid->Append(maker, kMillion - 1);
            }
        });
        state.counters["step_us"] = s * 1e6 / steps;
        Best("step cells", s / steps);
        const double freeing = Seconds([&] { grid.reset(); });
        state.counters["free_ms"] = freeing * 1e3;
    }
}

// ---- the floor: the texts alone, one vector of QString per column

void BM_FloorAppend(benchmark::State& state) {
    for (auto _ : state) {
        const long before = SettledResidentBytes();
        auto columns = std::make_unique<std::vector<QString>[]>(kColumns);
        TCallMaker maker;
        const double t = Seconds([&] {
            for (int r = 0; r < kMillion; ++r) {
                QString texts[kColumns];
                maker.Make(r, texts);
                for (int c = 0; c < kColumns; ++c)
                    columns[static_cast<std::size_t>(c)].push_back(std::move(texts[c]));
            }
        });
        const double perCell = double(ResidentBytes() - before) / (double(kMillion) * kColumns);
        Report(state, t);
        state.counters["us_per_row"] = t * 1e6 / kMillion;
        state.counters["bytes_per_cell"] = perCell;
        Best("append floor", t);
        gResults["memory floor"] = perCell;
    }
}

// ---- the peer

struct TPeerGrid {
    QStandardItemModel Model;
    QTableView View;
    TPeerGrid() {
        Model.setColumnCount(kColumns);
        View.setModel(&Model);
        View.resize(575, 170);
        View.show();
    }
    void Append(TCallMaker& maker, int row) {
        QString texts[kColumns];
        maker.Make(row, texts);
        QList<QStandardItem*> items;
        items.reserve(kColumns);
        for (const QString& text : texts)
            items.append(new QStandardItem(text));
        Model.appendRow(items);
    }
    void Fill(int rows, TCallMaker& maker) {
        for (int r = 0; r < rows; ++r)
            Append(maker, r);
        QApplication::processEvents();
    }
};

void BM_PeerAppend(benchmark::State& state) {
    for (auto _ : state) {
        const long before = SettledResidentBytes();
        auto grid = std::make_unique<TPeerGrid>();
        TCallMaker maker;
        const double t = Seconds([&] { grid->Fill(kMillion, maker); });
        const double perCell = double(ResidentBytes() - before) / (double(kMillion) * kColumns);
        Report(state, t);
        state.counters["us_per_row"] = t * 1e6 / kMillion;
        state.counters["bytes_per_cell"] = perCell;
        Best("append peer", t);
        gResults["memory peer"] = perCell;

        constexpr int steps = 200;
        const double s = Seconds([&] {
            for (int i = 0; i < steps; ++i) {
                grid->Model.removeRow(0);
                grid->Append(maker, kMillion - 1);
            }
            QApplication::processEvents();
        });
        state.counters["step_us"] = s * 1e6 / steps;
        Best("step peer", s / steps);
        grid.reset();
    }
}

// ---- sorting

// The texts of one column of a filled store, in row order.
std::vector<QString> ColumnTexts(TCells& cells, int col) {
    std::vector<QString> texts(static_cast<std::size_t>(cells.RowCount()));
    for (int r = 0; r < cells.RowCount(); ++r)
        cells.GetCell(col, r)->GetAsWideString(texts[static_cast<std::size_t>(r)]);
    return texts;
}

bool Ordinal(const QString& a, const QString& b) {
    return QStringView(a).compare(QStringView(b), Qt::CaseSensitive) < 0;
}

void BM_CellsSort(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    const auto type = static_cast<TSortType>(state.range(1));
    const int col = type == stIP ? kAddressColumn : kPhoneColumn;
    TCellsGrid grid;
    TCallMaker maker(true);
    grid.Fill(rows, 1000, maker);
    const std::string name =
        (type == stIP ? "sort cells ip " : "sort cells text ") + std::to_string(rows);
    for (auto _ : state) {
        // From an order that has nothing to do with the keys.
        grid.Cells.Sort(2, stAlphabetic, false);
        const double t = Seconds([&] { grid.Cells.Sort(col, type, false); });
        Report(state, t);
        Best(name, t);
    }
}

// std::sort over the same QString keys, as a plain vector and as row
// indices ordered by the keys (which is what a store of rows must do).
void BM_StdSort(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    const bool indices = state.range(1) != 0;
    const int col = state.range(2) != 0 ? kAddressColumn : kPhoneColumn;
    TCellsGrid grid;
    TCallMaker maker(true);
    grid.Fill(rows, 1000, maker);
    grid.Cells.Sort(2, stAlphabetic, false);
    const std::vector<QString> keys = ColumnTexts(grid.Cells, col);
    const auto once = [&] {
        if (indices) {
            std::vector<int> order(keys.size());
            std::iota(order.begin(), order.end(), 0);
            return Seconds([&] {
                std::sort(order.begin(), order.end(), [&](int a, int b) {
                    return Ordinal(keys[static_cast<std::size_t>(a)],
                                   keys[static_cast<std::size_t>(b)]);
                });
            });
        }
        std::vector<QString> copy = keys;
        return Seconds([&] { std::sort(copy.begin(), copy.end(), Ordinal); });
    };
    for (auto _ : state) {
        const double t = once();
        Report(state, t);
        Best(std::string(indices ? "std::sort indices " : "std::sort keys ") +
                 (col == kAddressColumn ? "ip " : "text ") + std::to_string(rows),
             t);
    }
}

void BM_PeerSort(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    TPeerGrid grid;
    TCallMaker maker(true);
    grid.Fill(rows, maker);
    for (auto _ : state) {
        grid.Model.sort(2); // an order unrelated to the phone numbers
        QApplication::processEvents();
        const double t = Seconds([&] {
            grid.Model.sort(kPhoneColumn);
            QApplication::processEvents();
        });
        Report(state, t);
        Best("sort peer text " + std::to_string(rows), t);
    }
}

double Result(const std::string& name) {
    const auto it = gResults.find(name);
    return it == gResults.end() ? 0.0 : it->second;
}

void PrintRatios() {
    std::printf("\n== cells store against the peer (QStandardItemModel + QTableView) ==\n");
    std::printf("(processor time of the working thread, best of three runs)\n");
    const double ours = Result("append cells step 1");
    const double ours1000 = Result("append cells step 1000");
    const double peer = Result("append peer");
    std::printf("append 1,000,000 rows: cells %.2f s (rows one at a time), %.2f s (1,000 at a "
                "time); peer %.2f s\n",
                ours, ours1000, peer);
    std::printf("  speed: peer / cells = %.1fx (one at a time), %.1fx (1,000 at a time); "
                "target at least 3x\n",
                peer / ours, peer / ours1000);
    std::printf("  the floor (the texts alone in vectors): %.2f s, %.0f B per cell\n",
                Result("append floor"), Result("memory floor"));
    const double mem = Result("memory cells step 1");
    const double memPeer = Result("memory peer");
    std::printf("  memory per cell: cells %.0f B, peer %.0f B; cells / peer = %.2f; target at "
                "most 0.5\n",
                mem, memPeer, mem / memPeer);
    std::printf("call list step at 1,000,000 rows (delete row 0, append one): cells %.0f us, "
                "peer %.0f us\n",
                Result("step cells") * 1e6, Result("step peer") * 1e6);
    for (const char* kind : {"text", "ip"}) {
        const std::string k = kind;
        const double s = Result("sort cells " + k + " 1000000");
        const double keys = Result("std::sort keys " + k + " 1000000");
        const double idx = Result("std::sort indices " + k + " 1000000");
        std::printf("sort 1,000,000 rows by %s: cells %.3f s; std::sort of the QString keys "
                    "%.3f s (%.2fx), of row indices by them %.3f s (%.2fx); target within 2x\n",
                    k == "ip" ? "address (stIP)" : "text (stAlphabetic)", s, keys, s / keys, idx,
                    s / idx);
    }
    std::printf("sort by text, growth:\n");
    for (int rows : {20000, 50000, 100000}) {
        const double c = Result("sort cells text " + std::to_string(rows));
        const double p = Result("sort peer text " + std::to_string(rows));
        std::printf("  %7d rows: cells %.4f s, peer %.3f s (peer / cells = %.0fx)\n", rows, c, p,
                    p / c);
    }
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);

    // Three runs each; the summary takes the best of them.
    const auto once = [](benchmark::internal::Benchmark* b) {
        b->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);
    };
    once(benchmark::RegisterBenchmark("CellsAppend1M", BM_CellsAppend)->Arg(1));
    once(benchmark::RegisterBenchmark("CellsAppend1M", BM_CellsAppend)->Arg(1000));
    once(benchmark::RegisterBenchmark("FloorAppend1M", BM_FloorAppend));
    once(benchmark::RegisterBenchmark("PeerAppend1M", BM_PeerAppend));
    for (int rows : {20000, 50000, 100000, kMillion})
        once(benchmark::RegisterBenchmark("CellsSortText", BM_CellsSort)
                 ->Args({rows, stAlphabetic}));
    once(benchmark::RegisterBenchmark("CellsSortIP", BM_CellsSort)->Args({kMillion, stIP}));
    for (int ip : {0, 1})
        for (int indices : {0, 1})
            once(benchmark::RegisterBenchmark("StdSortQString", BM_StdSort)
                     ->Args({kMillion, indices, ip}));
    for (int rows : {20000, 50000, 100000})
        once(benchmark::RegisterBenchmark("PeerSortText", BM_PeerSort)->Arg(rows));

    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    PrintRatios();
    return 0;
}
