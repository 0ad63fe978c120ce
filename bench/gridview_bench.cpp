// The published grid on the call list's road, side by side with what a Qt
// user would reach for (a QStandardItemModel shown in a QTableView), both
// shown on the offscreen platform with five text columns of call data:
//   the call list's step (drop row 0, append a row, write its five cells
//   under the update lock) at 6 rows and at 1,000,000 rows, against the
//   peer's removeRow(0) + appendRow of five items;
//   where the step's time goes at 1,000,000 rows: the cell store's row
//   operations against the control's row flags;
//   sorting 1,000,000 rows by a text column through TGridView::Sort,
//   through the cell store alone, and through QStandardItemModel::sort.
// The ratios are printed at the end, from the processor time of the
// working thread (the machine is shared). Each step batch ends with one
// pass of the event loop, so the repaints it asked for are paid too.

#include "Cells.h"
#include "ColumnClasses.h"
#include "GridView.h"

#include "BenchTiming.h"
#include "CallCells.h"
#include <QApplication>
#include <QStandardItemModel>
#include <QTableView>
#include <algorithm>

#include <benchmark/benchmark.h>
#include <cstdio>
#include <ctime>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <string>

namespace {

constexpr int kColumns = kCallColumns;
constexpr int kMillion = 1000000;
constexpr int kPhoneColumn = 4;
constexpr int kCounterColumn = 2;
constexpr int kSteps = 200;

std::map<std::string, double> gResults;

using BenchTiming::Seconds;
using BenchTiming::ThreadSeconds;

void Best(const std::string& name, double seconds) {
    BenchTiming::Best(gResults, name, seconds);
}

// ---- measuring

double Result(const std::string& name) {
    const auto it = gResults.find(name);
    return it == gResults.end() ? 0.0 : it->second;
}

// ---- the grid

struct TCallGrid {
    TGridView Grid;
    TCallMaker Maker;
    TCallGrid() {
        Grid.SetBounds(0, 0, 575, 170);
        Grid.SetOptions(Grid.Options() | goGrid);
        for (int c = 0; c < kColumns; ++c) {
            auto* column = new TTextualColumn();
            column->SetWidth(110);
            Grid.Columns()->Add(column);
        }
        Grid.show();
        QApplication::processEvents();
    }
    // The call list's way: the row is appended (which asks for its repaint),
    // then its five cells are written under the update lock.
    void Call(int Number) {
        QString texts[kColumns];
        Maker.Make(Number, texts);
        Grid.AddRows(1);
        const int row = Grid.RowCount() - 1;
        Grid.BeginUpdate();
        for (int c = 0; c < kColumns; ++c)
            Grid.Cell(c, row)->SetAsWideString(texts[c]);
        Grid.EndUpdate();
    }
    void Fill(int Rows) {
        for (int r = 0; r < Rows; ++r)
            Call(r);
        QApplication::processEvents();
    }
    void Step(int Number) {
        Grid.DeleteRow(0);
        Call(Number);
    }
};

// ---- the peer

struct TPeerGrid {
    QStandardItemModel Model;
    QTableView View;
    TCallMaker Maker;
    TPeerGrid() {
        Model.setColumnCount(kColumns);
        View.setModel(&Model);
        View.resize(575, 170);
        View.show();
        QApplication::processEvents();
    }
    void Call(int Number) {
        QString texts[kColumns];
        Maker.Make(Number, texts);
        QList<QStandardItem*> items;
        items.reserve(kColumns);
        for (const QString& text : texts)
            items.append(new QStandardItem(text));
        Model.appendRow(items);
    }
    void Fill(int Rows) {
        for (int r = 0; r < Rows; ++r)
            Call(r);
        QApplication::processEvents();
    }
    void Step(int Number) {
        Model.removeRow(0);
        Call(Number);
    }
};

// ---- the call list's step

template <class G> void StepRun(benchmark::State& state, const char* who) {
    const int rows = static_cast<int>(state.range(0));
    auto grid = std::make_unique<G>();
    grid->Fill(rows);
    int number = rows;
    const std::string name = std::string("step ") + who + " " + std::to_string(rows);
    for (auto _ : state) {
        const double t = Seconds([&] {
            for (int i = 0; i < kSteps; ++i)
                grid->Step(number++);
            QApplication::processEvents();
        });
        state.SetIterationTime(t);
        state.counters["step_us"] = t * 1e6 / kSteps;
        Best(name, t / kSteps);
    }
}

void BM_GridStep(benchmark::State& state) {
    StepRun<TCallGrid>(state, "grid");
}

void BM_PeerStep(benchmark::State& state) {
    StepRun<TPeerGrid>(state, "peer");
}

// Where a step's row operations go at a million rows: the store's delete of
// row 0 and append of one row, against the control's flags for the same.
void BM_GridStepParts(benchmark::State& state) {
    TCallGrid grid;
    grid.Fill(kMillion);
    TCells* cells = grid.Grid.Cells();
    for (auto _ : state) {
        const double store = Seconds([&] {
            for (int i = 0; i < kSteps; ++i) {
                cells->DeleteRow(0);
                cells->AddRows(1);
            }
        });
        const double flags = Seconds([&] {
            for (int i = 0; i < kSteps; ++i) {
                grid.Grid.RowsChanged(TCustomGridViewControl::rcDeleted, 0, 0);
                grid.Grid.RowsChanged(TCustomGridViewControl::rcAdded, 1, 0);
            }
        });
        state.SetIterationTime(store + flags);
        state.counters["store_us"] = store * 1e6 / kSteps;
        state.counters["flags_us"] = flags * 1e6 / kSteps;
        Best("parts store", store / kSteps);
        Best("parts flags", flags / kSteps);
    }
}

// ---- sorting a million rows by the phone numbers

void BM_GridSort(benchmark::State& state) {
    TCallGrid grid;
    grid.Fill(kMillion);
    TCustomColumn* phone = grid.Grid.Columns()->Items(kPhoneColumn);
    TCustomColumn* counter = grid.Grid.Columns()->Items(kCounterColumn);
    for (auto _ : state) {
        // From an order that has nothing to do with the phone numbers.
        grid.Grid.Sort(counter, true);
        QApplication::processEvents();
        const double t = Seconds([&] {
            grid.Grid.Sort(phone, true);
            QApplication::processEvents();
        });
        state.SetIterationTime(t);
        Best("sort grid", t);
    }
}

void BM_CellsSort(benchmark::State& state) {
    MeasureCellsSort(state, gResults, kMillion, kCounterColumn, kPhoneColumn);
}

void BM_PeerSort(benchmark::State& state) {
    auto grid = std::make_unique<TPeerGrid>();
    grid->Fill(kMillion);
    for (auto _ : state) {
        grid->Model.sort(kCounterColumn);
        QApplication::processEvents();
        const double t = Seconds([&] {
            grid->Model.sort(kPhoneColumn);
            QApplication::processEvents();
        });
        state.SetIterationTime(t);
        Best("sort peer", t);
    }
    // A sorted model finds every item it frees or removes by a search of
    // its row (the rows' hints went stale with the sort): a million rows
    // take hours. The process end takes them instead.
    grid->View.hide();
    (void)grid.release();
}

void PrintRatios() {
    std::printf("\n== the grid against the peer (QStandardItemModel + QTableView) ==\n");
    std::printf("(processor time of the working thread, best run)\n");
    for (int rows : {6, kMillion}) {
        const double g = Result("step grid " + std::to_string(rows));
        const double p = Result("step peer " + std::to_string(rows));
        std::printf("call list step at %7d rows: grid %8.2f us, peer %10.2f us, peer / grid = "
                    "%.1fx\n",
                    rows, g * 1e6, p * 1e6, p / g);
    }
    const double small = Result("step grid 6");
    const double large = Result("step grid " + std::to_string(kMillion));
    std::printf("  the grid's step at 1,000,000 rows / at 6 rows = %.2f (flat: near 1)\n",
                large / small);
    std::printf("  of a step at 1,000,000 rows: store rows %.2f us, control row flags %.2f us\n",
                Result("parts store") * 1e6, Result("parts flags") * 1e6);
    const double g = Result("sort grid");
    const double c = Result("sort cells");
    const double p = Result("sort peer");
    std::printf("sort 1,000,000 rows by text: grid %.3f s, cell store %.3f s (grid / store = "
                "%.2f), peer %.3f s (peer / grid = %.1fx)\n",
                g, c, g / c, p, p / g);
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);

    const auto runs = [](benchmark::internal::Benchmark* b, int n) {
        b->Iterations(n)->UseManualTime()->Unit(benchmark::kMillisecond);
    };
    for (int rows : {6, kMillion}) {
        runs(benchmark::RegisterBenchmark("GridStep", BM_GridStep)->Arg(rows), 5);
        runs(benchmark::RegisterBenchmark("PeerStep", BM_PeerStep)->Arg(rows), 5);
    }
    runs(benchmark::RegisterBenchmark("GridStepParts1M", BM_GridStepParts), 5);
    runs(benchmark::RegisterBenchmark("GridSort1M", BM_GridSort), 3);
    runs(benchmark::RegisterBenchmark("CellsSort1M", BM_CellsSort), 3);
    // The peer's sort of a million rows takes long: once.
    runs(benchmark::RegisterBenchmark("PeerSort1M", BM_PeerSort), 1);

    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    PrintRatios();
    return 0;
}
