// The grid control's paint pass side by side with a QTableView over a
// QStandardItemModel holding the same rows, both painted into an image of
// the call list's size (575 x 170: five text columns, a 20-pixel header,
// 20-pixel rows with grid lines) at 10, 1,000, 100,000 and 1,000,000 rows.
// A paint pass must cost the same at every row count (it asks only for the
// rows in view) and no more than the peer's. Then one row of scrolling at
// 1,000,000 rows: the time and the number of cells asked (only the strip
// that scrolled into view is painted).
//
// Times are the processor time of the working thread (the machine is
// shared); the summary at the end prints the ratios.

#include "Cells.h"
#include "ColumnClasses.h"
#include "CustomGridView.h"
#include "Displays.h"

#include "BenchTiming.h"
#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QTableView>
#include <algorithm>

#include <benchmark/benchmark.h>
#include <cstdio>
#include <ctime>
#include <map>
#include <memory>
#include <string>

namespace {

constexpr int kWidth = 575;
constexpr int kHeight = 170;
constexpr int kWidths[] = {140, 90, 70, 60, 120};
constexpr int kColumns = 5;
constexpr int kMillion = 1000000;

std::map<std::string, double> gResults;

using BenchTiming::Seconds;
using BenchTiming::ThreadSeconds;

void Record(const std::string& name, double seconds) {
    BenchTiming::Best(gResults, name, seconds);
}

// The texts of one call: time stamp, serial, counter, line, number.
QString CellText(int Row, int Col) {
    switch (Col) {
    case 0:
        return QStringLiteral("%1.%2.2026 %3:%4:%5")
            .arg(1 + Row % 28, 2, 10, QChar(u'0'))
            .arg(1 + Row % 12, 2, 10, QChar(u'0'))
            .arg(Row % 24, 2, 10, QChar(u'0'))
            .arg(Row % 60, 2, 10, QChar(u'0'))
            .arg((Row * 7) % 60, 2, 10, QChar(u'0'));
    case 1:
        return QStringLiteral("40211837");
    case 2:
        return QString::number(Row + 1);
    case 3:
        return QString::number(1 + Row % 4);
    default:
        return QStringLiteral("0532%1").arg(Row % 10000000, 7, 10, QChar(u'0'));
    }
}

// The data grid's way of holding rows: the real cell store.
class TBenchGrid : public TCustomGridView {
public:
    explicit TBenchGrid(int Rows) : FCells(this, Columns()) {
        Columns()->OnCellsChange = [this](TColumns*, TColumnsChange kind, int a, int b) {
            FCells.SyncColumns(kind, a, b);
        };
        for (int w : kWidths) {
            auto* column = new TTextualColumn();
            column->SetWidth(w);
            Columns()->Add(column);
        }
        SetBorderStyle(bsNone);
        SetOptions(TGridOptions(goHeader) | goGrid | goHighlightTextSelection);
        SetHeaderSize(20);
        SetRowSize(20);
        SetBounds(0, 0, kWidth, kHeight);
        FCells.AddRows(Rows);
        RowsChanged(rcAdded, Rows, 0);
        for (int r = 0; r < Rows; ++r)
            for (int c = 0; c < kColumns; ++c)
                FCells.GetCell(c, r)->SetAsWideString(CellText(r, c));
    }

    mutable long long TextAsked = 0;

    WideString GetCellText(int Col, int Row) const override {
        ++TextAsked;
        WideString text;
        const_cast<TCells&>(FCells).GetCell(Col, Row)->GetAsWideString(text);
        return text;
    }
    TColor GetCellBackground(int, int) const override { return clWindow; }
    int GetRowCount() const override { return FCells.RowCount(); }
    void SetCellText(int Col, int Row, const WideString& Text) override {
        FCells.GetCell(Col, Row)->SetAsWideString(Text);
    }
    void Sort(TCustomColumn*, bool) override {}
    void AddRows(int Count) override { FCells.AddRows(Count); }
    void RecalcFooters() override {}
    void DeleteRow(int Row) override { FCells.DeleteRow(Row); }
    void InsertRow(int Row) override { FCells.InsertRow(Row); }
    void MoveRow(int From, int To) override { FCells.MoveRow(From, To); }
    // As the data grid does: the cell's value goes to its display.
    bool PrepareCell(int Col, int Row) override {
        TCustomGridView::PrepareCell(Col, Row);
        FValue = GetCellText(Col, Row);
        Columns()->Items(Col)->Display()->Text = FValue;
        return true;
    }

private:
    TCells FCells;
    QString FValue;
};

struct TPeer {
    QStandardItemModel Model;
    QTableView View;
    explicit TPeer(int Rows) : Model(Rows, kColumns) {
        for (int r = 0; r < Rows; ++r)
            for (int c = 0; c < kColumns; ++c)
                Model.setItem(r, c, new QStandardItem(CellText(r, c)));
        View.setModel(&Model);
        View.verticalHeader()->hide();
        View.verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        View.verticalHeader()->setDefaultSectionSize(20);
        View.horizontalHeader()->setFixedHeight(20);
        for (int c = 0; c < kColumns; ++c)
            View.setColumnWidth(c, kWidths[c]);
        View.setFrameShape(QFrame::NoFrame);
        View.resize(kWidth, kHeight);
    }
};

// One pair of grids at a time: the previous row count's are freed first.
struct TPair {
    int Rows = -1;
    std::unique_ptr<TBenchGrid> Ours;
    std::unique_ptr<TPeer> Peer;
};
TPair& PairOf(int Rows) {
    static TPair pair;
    if (pair.Rows != Rows) {
        pair.Ours.reset();
        pair.Peer.reset();
        pair.Ours = std::make_unique<TBenchGrid>(Rows);
        pair.Peer = std::make_unique<TPeer>(Rows);
        pair.Rows = Rows;
    }
    return pair;
}

template <class Paint> void Measure(benchmark::State& state, const std::string& name, Paint paint) {
    paint(); // the first pass settles the scroll bars
    for (auto _ : state) {
        const double start = ThreadSeconds();
        paint();
        const double seconds = ThreadSeconds() - start;
        state.SetIterationTime(seconds);
        Record(name, seconds);
    }
}

void BM_GridPaint(benchmark::State& state) {
    const int rows = int(state.range(0));
    TBenchGrid& grid = *PairOf(rows).Ours;
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    Measure(state, "ours " + std::to_string(rows), [&] { grid.render(&image); });
    grid.TextAsked = 0;
    grid.render(&image);
    state.counters["cells"] = double(grid.TextAsked);
}

void BM_PeerPaint(benchmark::State& state) {
    const int rows = int(state.range(0));
    QTableView& view = PairOf(rows).Peer->View;
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    Measure(state, "peer " + std::to_string(rows), [&] { view.render(&image); });
}

// One row down on the screen: the pixels move, the strip uncovered is
// painted.
void BM_GridScrollRow(benchmark::State& state) {
    TBenchGrid& grid = *PairOf(kMillion).Ours;
    grid.show();
    QApplication::processEvents();
    TControlScrollBar* bar = grid.VertScrollBar();
    bar->SetPosition(400000);
    QApplication::processEvents();
    long long asked = 0;
    long long steps = 0;
    for (auto _ : state) {
        const long long before = grid.TextAsked;
        const double start = ThreadSeconds();
        bar->SetPosition(bar->Position() + 1);
        QApplication::processEvents();
        const double seconds = ThreadSeconds() - start;
        state.SetIterationTime(seconds);
        Record("ours scroll", seconds);
        asked += grid.TextAsked - before;
        ++steps;
    }
    state.counters["cells per step"] = double(asked) / double(std::max(steps, 1LL));
    gResults["ours scroll cells"] = double(asked) / double(std::max(steps, 1LL));
    grid.hide();
}

void BM_PeerScrollRow(benchmark::State& state) {
    QTableView& view = PairOf(kMillion).Peer->View;
    view.show();
    QApplication::processEvents();
    QScrollBar* bar = view.verticalScrollBar();
    bar->setValue(400000);
    QApplication::processEvents();
    for (auto _ : state) {
        const double start = ThreadSeconds();
        bar->setValue(bar->value() + 1);
        QApplication::processEvents();
        const double seconds = ThreadSeconds() - start;
        state.SetIterationTime(seconds);
        Record("peer scroll", seconds);
    }
    view.hide();
}

double Result(const std::string& name) {
    const auto it = gResults.find(name);
    return it == gResults.end() ? 0.0 : it->second;
}

void Summary() {
    std::printf("\nfull viewport (575 x 170), best pass:\n");
    double least = 1e9, most = 0;
    for (int rows : {10, 1000, 100000, kMillion}) {
        const double ours = Result("ours " + std::to_string(rows));
        const double peer = Result("peer " + std::to_string(rows));
        least = std::min(least, ours);
        most = std::max(most, ours);
        std::printf("  %7d rows: ours %.3f ms, peer %.3f ms, ours / peer %.2f (target at most "
                    "1)\n",
                    rows, ours * 1e3, peer * 1e3, ours / peer);
    }
    const double mid = (least + most) / 2;
    std::printf("  spread over the row counts: %.1f %% around the middle (target within 10 %%)\n",
                (most - least) / 2 / mid * 100);
    std::printf("one row down at 1,000,000 rows: ours %.3f ms asking %.1f cells, peer %.3f ms\n",
                Result("ours scroll") * 1e3, Result("ours scroll cells"),
                Result("peer scroll") * 1e3);
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    for (int rows : {10, 1000, 100000, kMillion}) {
        benchmark::RegisterBenchmark("GridPaint", BM_GridPaint)
            ->Arg(rows)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("PeerPaint", BM_PeerPaint)
            ->Arg(rows)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::RegisterBenchmark("GridScrollRow", BM_GridScrollRow)
        ->UseManualTime()
        ->Iterations(2000)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("PeerScrollRow", BM_PeerScrollRow)
        ->UseManualTime()
        ->Iterations(2000)
        ->Unit(benchmark::kMillisecond);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    Summary();
    return 0;
}
