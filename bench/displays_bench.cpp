// One visible cell painted by each column display, the way the grid paints
// it (the column's font given to the canvas, the background filled, the
// display's Paint), into a picture; beside it Qt's own cell painter,
// QStyledItemDelegate::paint of a text cell of the same size from a
// QStandardItemModel. The summary gives the time per cell and the ratio of
// the textual display to the delegate (target: at most 1).

#include "Canvas.h"
#include "ColumnClasses.h"
#include "Displays.h"
#include "ImgList.h"

#include <QApplication>
#include <QPainter>
#include <QStandardItemModel>
#include <QStyleFactory>
#include <QStyleOptionViewItem>
#include <QStyledItemDelegate>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <string>

namespace {

constexpr int kWidth = 150;
constexpr int kHeight = 18;
const TRect kCell = Rect(0, 0, kWidth, kHeight);
const QString kCallText = QStringLiteral("05321234567");

// A picture the cells are painted into, its painter held for the run.
TBitmap& Target() {
    static TBitmap bmp(kWidth, kHeight, TBitmap::pf24bit);
    return bmp;
}

void PaintCells(benchmark::State& state, TCustomColumn& column,
                const std::function<void(TColumnDisplay&)>& load) {
    TCanvas* canvas = Target().Canvas();
    TColumnDisplay* display = column.Display();
    display->Canvas = canvas;
    display->CellRect = kCell;
    load(*display);
    for (auto _ : state) {
        canvas->Font()->Assign(*column.Font());
        display->FillBackground(clWindow, true);
        display->Paint();
    }
    display->Canvas = nullptr;
    benchmark::DoNotOptimize(Target().Pixel(1, 1));
}

void BM_Textual(benchmark::State& state) {
    TTextualColumn column;
    column.SetAlignment(taCenter);
    PaintCells(state, column, [](TColumnDisplay& d) { d.Text = kCallText; });
}

void BM_Numeric(benchmark::State& state) {
    TNumericColumn column;
    column.SetFormatMask(QStringLiteral("#,##0.00"));
    PaintCells(state, column, [](TColumnDisplay& d) { d.FloatValue = 12345.678; });
}

void BM_Date(benchmark::State& state) {
    TDateColumn column;
    PaintCells(state, column, [](TColumnDisplay& d) { d.DateValue = 46000.5; });
}

void BM_Increment(benchmark::State& state) {
    TIncrementColumn column;
    PaintCells(state, column, [](TColumnDisplay& d) { d.IntValue = 41; });
}

void BM_CheckBox(benchmark::State& state) {
    TCheckBoxColumn column;
    column.SetAlignment(taCenter);
    PaintCells(state, column, [](TColumnDisplay& d) { d.BoolValue = true; });
}

void BM_Html(benchmark::State& state) {
    THtmlColumn column;
    PaintCells(state, column, [](TColumnDisplay& d) {
        d.Text = QStringLiteral("<b>Hat 2</b>: <font color=#C00000>05321234567</font>");
    });
}

void BM_Image(benchmark::State& state) {
    static TImageList images;
    if (images.Count() == 0) {
        QImage picture(16, 16, QImage::Format_ARGB32);
        picture.fill(QColor(30, 120, 200, 200));
        images.Add(picture);
    }
    TImageColumn column;
    column.SetImages(&images);
    PaintCells(state, column, [](TColumnDisplay& d) { d.IntValue = 0; });
}

void BM_Progress(benchmark::State& state) {
    TProgressColumn column;
    column.SetShowText(true);
    column.SetProgressStyle(TProgressColumn::TProgressStyle(state.range(0)));
    PaintCells(state, column, [](TColumnDisplay& d) { d.FloatValue = 64; });
}

void BM_Rate(benchmark::State& state) {
    TRateColumn column;
    TBitmap star(12, 12, TBitmap::pf24bit);
    star.Canvas()->Brush.Color = clYellow;
    star.Canvas()->FillRect(Rect(0, 0, 12, 12));
    column.SetGlyph(star);
    column.SetEmptyGlyph(star);
    column.SetTransparent(state.range(0) != 0);
    PaintCells(state, column, [](TColumnDisplay& d) { d.IntValue = 3; });
}

void BM_Graphic(benchmark::State& state) {
    TGraphicColumn column;
    static TBitmap picture(64, 48, TBitmap::pf24bit);
    picture.Canvas()->Brush.Color = clTeal;
    picture.Canvas()->FillRect(Rect(0, 0, 64, 48));
    PaintCells(state, column, [](TColumnDisplay& d) { d.Graphic = &picture; });
}

// Qt's own painter of one text cell, on a picture of the same size.
void BM_StyledItemDelegate(benchmark::State& state) {
    QStandardItemModel model(1, 1);
    model.setItem(0, 0, new QStandardItem(kCallText));
    const QModelIndex index = model.index(0, 0);
    QStyledItemDelegate delegate;
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    QPainter painter(&image);
    QStyleOptionViewItem option;
    option.rect = QRect(0, 0, kWidth, kHeight);
    option.state = QStyle::State_Enabled;
    option.palette = QApplication::palette();
    option.font = TFont().ToQFont();
    option.displayAlignment = Qt::AlignCenter;
    for (auto _ : state) {
        painter.fillRect(option.rect, option.palette.base());
        delegate.paint(&painter, option, index);
    }
    painter.end();
    benchmark::DoNotOptimize(image.pixel(1, 1));
}

// Keeps the processor time per iteration of every run for the summary.
class TSummary : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && run.iterations > 0)
                Times[run.benchmark_name()] = run.GetAdjustedCPUTime();
    }
    std::map<std::string, double> Times; // nanoseconds
};

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    benchmark::Initialize(&argc, argv);

    benchmark::RegisterBenchmark("Textual", BM_Textual);
    benchmark::RegisterBenchmark("StyledItemDelegate", BM_StyledItemDelegate);
    benchmark::RegisterBenchmark("Numeric", BM_Numeric);
    benchmark::RegisterBenchmark("Date", BM_Date);
    benchmark::RegisterBenchmark("Increment", BM_Increment);
    benchmark::RegisterBenchmark("CheckBox", BM_CheckBox);
    benchmark::RegisterBenchmark("Html", BM_Html);
    benchmark::RegisterBenchmark("Image", BM_Image);
    benchmark::RegisterBenchmark("Progress", BM_Progress)->DenseRange(0, 2);
    benchmark::RegisterBenchmark("Rate", BM_Rate)->Arg(0)->Arg(1);
    benchmark::RegisterBenchmark("Graphic", BM_Graphic);

    TSummary summary;
    benchmark::RunSpecifiedBenchmarks(&summary);
    benchmark::Shutdown();

    std::printf("\n== one %d x %d cell, processor time per cell ==\n", kWidth, kHeight);
    for (const auto& [name, ns] : summary.Times)
        std::printf("  %-22s %8.2f us\n", name.c_str(), ns / 1000.0);
    const auto ours = summary.Times.find("Textual");
    const auto peer = summary.Times.find("StyledItemDelegate");
    if (ours != summary.Times.end() && peer != summary.Times.end())
        std::printf("textual display / QStyledItemDelegate::paint = %.2f (target at most 1)\n",
                    ours->second / peer->second);
    return 0;
}
