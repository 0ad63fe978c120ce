// The grid's mouse input over many rows, through real mouse events on the
// grid's window, side by side with a QStandardItemModel shown in a
// QTableView. Five text columns of call data (the call list's shape):
//   selecting every row with multi-row, full-row selection: a plain click
//   on row 0, then a Shift-click on the last row (scrolled into view), then
//   a plain click that drops the selection again, at 10,000, 100,000 and
//   1,000,000 rows, in ns per row so that a linear cost shows flat;
//   sorting 1,000,000 rows by the phone numbers with a click on the
//   column's header, beside the cell store's own sort of the same data
//   (what the click cannot go below);
//   the same two gestures on the peer: click + Shift-click in the view,
//   and a click on its header (sortByColumn).
// Every gesture is timed with the repaint it asks for (one pass of the
// event loop), in processor time of the working thread (the machine is
// shared). After each gesture its effect is checked (how many rows are
// selected, whether the column is in order); the summary names a gesture
// that did not do its work, since its time then measures nothing.

#include "Cells.h"
#include "ColumnClasses.h"
#include "GridView.h"

#include "BenchTiming.h"
#include "CallCells.h"
#include <QApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>

#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <type_traits>

namespace {

constexpr int kColumns = kCallColumns;
constexpr int kMillion = 1000000;
constexpr int kCounterColumn = 2;
constexpr int kPhoneColumn = 4;
constexpr int kColumnWidth = 100;

std::map<std::string, double> gResults;
// The gestures that did not do their work in some run: in words, and the
// names their times are kept under.
std::set<std::string> gIdle;
std::set<std::string> gIdleResults;

using BenchTiming::Seconds;

void Best(const std::string& name, double seconds) {
    BenchTiming::Best(gResults, name, seconds);
}

double Result(const std::string& name) {
    const auto it = gResults.find(name);
    return it == gResults.end() ? 0.0 : it->second;
}

void Expect(bool done, const std::string& result, const std::string& what) {
    if (done) return;
    gIdle.insert(what);
    gIdleResults.insert(result);
}

// A click with the left button at a point of a widget, through the
// platform's event delivery as a user's click goes.
void Click(QWidget* widget, QPoint at, Qt::KeyboardModifiers modifiers = {}) {
    QTest::mouseClick(widget, Qt::LeftButton, modifiers, at);
}

// ---- the grid

struct TInputGrid {
    TGridView Grid;
    explicit TInputGrid(int Rows) {
        Grid.SetBounds(0, 0, 575, 170);
        Grid.SetOptions(Grid.Options() | goGrid | goMultiSelect | goSelectFullRow);
        for (int c = 0; c < kColumns; ++c) {
            auto* column = new TTextualColumn();
            column->SetWidth(kColumnWidth);
            Grid.Columns()->Add(column);
        }
        Grid.show();
        QApplication::processEvents();
        TCallMaker maker;
        Grid.AddRows(Rows);
        Grid.BeginUpdate();
        for (int r = 0; r < Rows; ++r) {
            QString texts[kColumns];
            maker.Make(r, texts);
            for (int c = 0; c < kColumns; ++c)
                Grid.Cell(c, r)->SetAsWideString(texts[c]);
        }
        Grid.EndUpdate();
        Grid.Invalidate();
        QApplication::processEvents();
    }
    // The middle of a data cell (of the first column) in window
    // coordinates, after the row was scrolled into view.
    QPoint RowPoint(int Row) {
        Grid.VertScrollBar()->SetPosition(Row < Grid.VisibleRowCount() ? 0 : Grid.GetMaxTopRow());
        QApplication::processEvents();
        return WindowPoint(Grid.GetCellRect(0, Row, TCustomGridViewControl::gpData));
    }
    QPoint HeaderPoint(int Col) const {
        return WindowPoint(Grid.Columns()->Items(Col)->GetPartRect(1));
    }
    QPoint WindowPoint(const TRect& r) const {
        const TPoint origin = Grid.ClientOrigin();
        return {origin.X + (r.Left + r.Right) / 2, origin.Y + (r.Top + r.Bottom) / 2};
    }
    int CurrentRow() const { return Grid.Row(); }
    long SelectedRows() const {
        long n = 0;
        for (int r = 0; r < Grid.RowSelectionCount(); ++r)
            n += Grid.GetRowSelected(r) ? 1 : 0;
        return n;
    }
    bool InOrder(int Col) const {
        for (int r = 1; r < Grid.RowCount(); ++r)
            if (Grid.GetCellText(Col, r - 1) > Grid.GetCellText(Col, r)) return false;
        return true;
    }
};

// ---- the peer

struct TPeerGrid {
    QStandardItemModel Model;
    QTableView View;
    explicit TPeerGrid(int Rows) {
        Model.setColumnCount(kColumns);
        View.setModel(&Model);
        View.resize(575, 170);
        View.setSelectionBehavior(QAbstractItemView::SelectRows);
        View.setSelectionMode(QAbstractItemView::ExtendedSelection);
        View.show();
        QApplication::processEvents();
        TCallMaker maker;
        for (int r = 0; r < Rows; ++r) {
            QString texts[kColumns];
            maker.Make(r, texts);
            QList<QStandardItem*> items;
            items.reserve(kColumns);
            for (const QString& text : texts)
                items.append(new QStandardItem(text));
            Model.appendRow(items);
        }
        QApplication::processEvents();
    }
    QPoint RowPoint(int Row) {
        const QModelIndex index = Model.index(Row, 0);
        View.scrollTo(index);
        QApplication::processEvents();
        return View.visualRect(index).center();
    }
    QPoint HeaderPoint(int Col) const {
        const QHeaderView* header = View.horizontalHeader();
        return {header->sectionViewportPosition(Col) + header->sectionSize(Col) / 2,
                header->height() / 2};
    }
    int CurrentRow() const { return View.currentIndex().row(); }
    long SelectedRows() const {
        long n = 0;
        for (const QItemSelectionRange& range : View.selectionModel()->selection())
            n += range.height();
        return n;
    }
    bool InOrder(int Col) const {
        for (int r = 1; r < Model.rowCount(); ++r)
            if (Model.item(r - 1, Col)->text() > Model.item(r, Col)->text()) return false;
        return true;
    }
};

// ---- selecting every row: click row 0, Shift-click the last, click again

template <class G> void SelectRun(benchmark::State& state, const char* who) {
    const int rows = static_cast<int>(state.range(0));
    auto grid = std::make_unique<G>(rows);
    QWidget* target = nullptr;
    if constexpr (std::is_same_v<G, TPeerGrid>)
        target = grid->View.viewport();
    else
        target = &grid->Grid;
    const std::string suffix = std::string(who) + " " + std::to_string(rows);
    for (auto _ : state) {
        Click(target, grid->RowPoint(0));
        QApplication::processEvents();
        const QPoint last = grid->RowPoint(rows - 1);
        const double shift = Seconds([&] {
            Click(target, last, Qt::ShiftModifier);
            QApplication::processEvents();
        });
        const std::string at = std::string("the ") + who + "'s ";
        Expect(grid->CurrentRow() == rows - 1, "shift " + suffix,
               at + "Shift-click did not reach the last row");
        const long selected = grid->SelectedRows();
        Expect(selected == rows, "shift " + suffix,
               at + "Shift-click at " + std::to_string(rows) + " rows selected " +
                   std::to_string(selected) + " rows, not all");
        // A plain click on another row drops the selection of all the rows.
        const QPoint other = grid->RowPoint(rows - 2);
        const double plain = Seconds([&] {
            Click(target, other);
            QApplication::processEvents();
        });
        Expect(grid->CurrentRow() == rows - 2, "plain " + suffix,
               at + "plain click did not reach its row");
        const long left = grid->SelectedRows();
        Expect(left == 1, "plain " + suffix,
               at + "plain click at " + std::to_string(rows) + " rows left " +
                   std::to_string(left) + " rows selected, not 1");
        state.SetIterationTime(shift + plain);
        state.counters["shift_ns_row"] = shift * 1e9 / rows;
        state.counters["plain_ns_row"] = plain * 1e9 / rows;
        Best("shift " + suffix, shift);
        Best("plain " + suffix, plain);
    }
}

void BM_GridSelect(benchmark::State& state) {
    SelectRun<TInputGrid>(state, "grid");
}

void BM_PeerSelect(benchmark::State& state) {
    SelectRun<TPeerGrid>(state, "peer");
}

// ---- sorting a million rows by a click on the phone numbers' header

void BM_GridHeaderSort(benchmark::State& state) {
    TInputGrid grid(kMillion);
    TCustomColumn* counter = grid.Grid.Columns()->Items(kCounterColumn);
    for (auto _ : state) {
        // From an order that has nothing to do with the phone numbers; the
        // phone column is then not the sorted one, and the click sorts it
        // ascending.
        counter->SetSorted(true);
        QApplication::processEvents();
        const QPoint header = grid.HeaderPoint(kPhoneColumn);
        const TPoint origin = grid.Grid.ClientOrigin();
        Expect(grid.Grid.BandAt(header.x() - origin.X, header.y() - origin.Y) ==
                   TCustomGridViewControl::gpHeader,
               "sort grid", "the grid's header click missed the header");
        const double t = Seconds([&] {
            Click(&grid.Grid, header);
            QApplication::processEvents();
        });
        Expect(grid.InOrder(kPhoneColumn), "sort grid",
               "the grid's header click did not sort the column");
        state.SetIterationTime(t);
        Best("sort grid", t);
    }
}

// The cell store's own sort of the same data: the floor of the click.
void BM_CellsSort(benchmark::State& state) {
    MeasureCellsSort(state, gResults, kMillion, kCounterColumn, kPhoneColumn);
}

void BM_PeerHeaderSort(benchmark::State& state) {
    auto grid = std::make_unique<TPeerGrid>(kMillion);
    QHeaderView* header = grid->View.horizontalHeader();
    // The view sorts by the indicator's column as soon as sorting is on:
    // the counters, the order every run starts from.
    header->setSortIndicator(kCounterColumn, Qt::AscendingOrder);
    grid->View.setSortingEnabled(true);
    QApplication::processEvents();
    for (auto _ : state) {
        header->setSortIndicator(kCounterColumn, Qt::AscendingOrder);
        QApplication::processEvents();
        const QPoint at = grid->HeaderPoint(kPhoneColumn);
        const double t = Seconds([&] {
            Click(header->viewport(), at);
            QApplication::processEvents();
        });
        const bool ascending = header->sortIndicatorOrder() == Qt::AscendingOrder;
        Expect(header->sortIndicatorSection() == kPhoneColumn && ascending &&
                   grid->InOrder(kPhoneColumn),
               "sort peer", "the peer's header click did not sort the column");
        state.SetIterationTime(t);
        Best("sort peer", t);
    }
    // A sorted model finds every item it frees by a search of its row (the
    // rows' hints went stale with the sort): a million rows take hours.
    // The process end takes them instead.
    grid->View.hide();
    (void)grid.release();
}

// ---- the summary

// A time, or a dash where the gesture did not do its work.
std::string Time(const std::string& name, double scale, const char* unit) {
    if (gIdleResults.count(name) || Result(name) <= 0) return "–";
    char text[48];
    std::snprintf(text, sizeof text, "%.3f%s%s", Result(name) * scale, *unit ? " " : "", unit);
    return text;
}

// a / b, or a dash where either gesture did not do its work.
std::string Ratio(const std::string& a, const std::string& b, double scale = 1.0) {
    if (gIdleResults.count(a) || gIdleResults.count(b) || Result(a) <= 0 || Result(b) <= 0)
        return "–";
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", Result(a) / Result(b) * scale);
    return text;
}

void PrintRatios() {
    std::printf("\n== mouse input over many rows: the grid against the peer "
                "(QStandardItemModel + QTableView) ==\n");
    std::printf("(processor time of the working thread, best run, repaint included)\n");
    std::printf("select all rows (click row 0, Shift-click the last), then a plain click:\n");
    for (int rows : {10000, 100000, kMillion}) {
        const std::string n = std::to_string(rows);
        const double perRow = 1e9 / rows;
        std::printf(
            "  %7d rows: grid Shift-click %s = %s ns/row, plain click %s = %s ns/row; "
            "peer Shift-click %s, plain click %s; peer / grid = %s, %s\n",
            rows, Time("shift grid " + n, 1e3, "ms").c_str(),
            Time("shift grid " + n, perRow, "").c_str(), Time("plain grid " + n, 1e3, "ms").c_str(),
            Time("plain grid " + n, perRow, "").c_str(), Time("shift peer " + n, 1e3, "ms").c_str(),
            Time("plain peer " + n, 1e3, "ms").c_str(),
            Ratio("shift peer " + n, "shift grid " + n).c_str(),
            Ratio("plain peer " + n, "plain grid " + n).c_str());
    }
    // Per row at a million over per row at ten thousand: 1 for a linear
    // cost, below 1 where a fixed part (the repaint) still dominates.
    std::printf("  the grid's Shift-click per row, at 1,000,000 / at 10,000 rows = %s (linear: "
                "1 or below)\n",
                Ratio("shift grid " + std::to_string(kMillion), "shift grid 10000", 0.01).c_str());
    std::printf("sort 1,000,000 rows by text with a header click: grid %s, the cell store's own "
                "sort %s (grid / store = %s, target within 2); peer %s (peer / grid = %s)\n",
                Time("sort grid", 1, "s").c_str(), Time("sort cells", 1, "s").c_str(),
                Ratio("sort grid", "sort cells").c_str(), Time("sort peer", 1, "s").c_str(),
                Ratio("sort peer", "sort grid").c_str());
    for (const std::string& line : gIdle)
        std::printf("NOT MEASURED: %s\n", line.c_str());
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);

    const auto runs = [](benchmark::internal::Benchmark* b, int n) {
        b->Iterations(n)->UseManualTime()->Unit(benchmark::kMillisecond);
    };
    for (int rows : {10000, 100000, kMillion}) {
        runs(benchmark::RegisterBenchmark("GridSelect", BM_GridSelect)->Arg(rows), 5);
        runs(benchmark::RegisterBenchmark("PeerSelect", BM_PeerSelect)->Arg(rows), 5);
    }
    runs(benchmark::RegisterBenchmark("GridHeaderSort1M", BM_GridHeaderSort), 3);
    runs(benchmark::RegisterBenchmark("CellsSort1M", BM_CellsSort), 3);
    // The peer's sort of a million rows takes long: twice.
    runs(benchmark::RegisterBenchmark("PeerHeaderSort1M", BM_PeerHeaderSort), 2);

    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    PrintRatios();
    return 0;
}
