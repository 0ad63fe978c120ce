// A sample sheet of the column displays: one row per column type, its cells
// painted through the type's display the way the grid paints a data cell
// (the column's font, the cell colour as background, then the display),
// plain, selected, current (with the dotted focus frame), with a note mark,
// and unthemed. Written as a PNG on Qt's offscreen platform:
//   display_sample <picture.png>

#include "Application.h"
#include "Canvas.h"
#include "ColumnClasses.h"
#include "Displays.h"
#include "ImgList.h"
#include "SharedClasses.h"
#include "StarGlyph.h"
#include "SysUtils.h"
#include "ThemesSupport.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <QStyleFactory>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace {

constexpr int kLabelWidth = 120;
constexpr int kCellWidth = 150;
constexpr int kRowHeight = 26;
constexpr int kHeaderHeight = 22;

enum TCellLook { lkPlain, lkSelected, lkCurrent, lkNote, lkUnthemed };
const char* const kLookNames[] = {"plain", "selected", "current", "with note", "unthemed"};
constexpr int kLooks = 5;

struct TSampleRow {
    const char* Name;
    std::unique_ptr<TCustomColumn> Column;
    std::function<void(TColumnDisplay&, int)> Load; // the cell's value by look
};

std::vector<TSampleRow> MakeRows(TImageList& images, TBitmap& picture) {
    std::vector<TSampleRow> rows;
    const auto add = [&rows](const char* name, TCustomColumn* column,
                             std::function<void(TColumnDisplay&, int)> load) {
        column->SetAlignment(taCenter);
        // A layout always stores the colour; a column made in code starts
        // black.
        column->SetColor(clWindow);
        rows.push_back({name, std::unique_ptr<TCustomColumn>(column), std::move(load)});
    };

    auto* textual = new TTextualColumn();
    textual->SetTextBefore(QStringLiteral("Tel: "));
    add("TTextualColumn", textual,
        [](TColumnDisplay& d, int) { d.Text = QStringLiteral("05321234567 & 2"); });
    add("TComboBoxColumn", new TComboBoxColumn(), [](TColumnDisplay& d, int look) {
        d.Text = look % 2 ? QStringLiteral("İzmir") : QStringLiteral("Çanakkale Boğazı kıyısı");
    });
    auto* numeric = new TNumericColumn();
    numeric->SetFormatMask(QStringLiteral("#,##0.00"));
    numeric->SetTextAfter(QStringLiteral(" TL"));
    add("TNumericColumn", numeric,
        [](TColumnDisplay& d, int look) { d.FloatValue = 1234.5 * (look + 1); });
    auto* date = new TDateColumn();
    date->SetHideWhenEmpty(true);
    date->SetEmptyCaption(QStringLiteral("(boş)"));
    add("TDateColumn", date,
        [](TColumnDisplay& d, int look) { d.DateValue = look == lkNote ? 0 : 46000.5 + look; });
    add("TIncrementColumn", new TIncrementColumn(),
        [](TColumnDisplay& d, int look) { d.IntValue = look; });
    add("TCheckBoxColumn", new TCheckBoxColumn(),
        [](TColumnDisplay& d, int look) { d.BoolValue = look % 2 == 0; });
    auto* html = new THtmlColumn();
    html->SetWrapKind(wkEllipsis);
    add("THtmlColumn", html, [](TColumnDisplay& d, int look) {
        d.Text =
            look == lkCurrent
                ? QStringLiteral("<a href=x>bağlantı</a> ve <u>altı çizili</u> uzun metin")
                : QStringLiteral("<b>Hat 2</b> <font color=#C00000>arıyor</font> <i>şimdi</i>");
    });
    auto* image = new TImageColumn();
    image->SetImages(&images);
    add("TImageColumn", image, [](TColumnDisplay& d, int look) { d.IntValue = look % 3; });
    auto* progress = new TProgressColumn();
    progress->SetShowText(true);
    progress->SetProgressColor(RGB(40, 160, 60));
    add("TProgressColumn", progress,
        [](TColumnDisplay& d, int look) { d.FloatValue = 20.0 * (look + 1); });
    // The percentage goes left of the bar: a centred one would lie under it.
    progress->SetAlignment(taLeftJustify);
    auto* rate = new TRateColumn();
    rate->SetTransparent(true);
    rate->SetGlyph(TBitmap(StarGlyph(QColor(240, 190, 20), Qt::white)));
    rate->SetEmptyGlyph(TBitmap(StarGlyph(QColor(215, 215, 215), Qt::white)));
    add("TRateColumn", rate, [](TColumnDisplay& d, int look) { d.IntValue = look + 1; });
    auto* graphic = new TGraphicColumn();
    graphic->SetBorderWidth(2);
    graphic->SetMargin(3);
    add("TGraphicColumn", graphic, [&picture](TColumnDisplay& d, int) { d.Graphic = &picture; });
    return rows;
}

void PaintCell(TCanvas* canvas, TSampleRow& row, const TRect& cell, int look) {
    SetThemesEnabled(look != lkUnthemed);
    TCustomColumn& column = *row.Column;
    TColumnDisplay* d = column.Display();
    const bool selected = look == lkSelected;
    canvas->Font()->Assign(*column.Font());
    if (selected) canvas->Font()->SetColor(clHighlightText);
    d->Canvas = canvas;
    d->CellRect = cell;
    d->RightToLeft = false;
    d->Selected = selected;
    d->FillBackground(selected ? clHighlight : column.Color(), true);
    d->Focused = look == lkCurrent;
    row.Load(*d, look);
    if (look == lkNote) d->DrawNoteMark();
    canvas->SetClipRect(cell);
    d->Paint();
    canvas->ClearClip();
    if (look == lkCurrent) canvas->DrawFocusRect(cell);
    d->Canvas = nullptr;
    // The grid's lines along the cell's right and bottom edges.
    canvas->Pen = TPen{clBtnFace, 1, psSolid, pmCopy};
    canvas->MoveTo(cell.Left, cell.Bottom);
    canvas->LineTo(cell.Right, cell.Bottom);
    canvas->MoveTo(cell.Right, cell.Top);
    canvas->LineTo(cell.Right, cell.Bottom + 1);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: display_sample <picture.png>\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    TQtApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setPalette(QApplication::style()->standardPalette());
    FormatSettings = TFormatSettings();
    FormatSettings.DecimalSeparator = u',';
    FormatSettings.ThousandSeparator = u'.';
    FormatSettings.DateSeparator = u'.';

    TImageList images;
    for (const QColor& c : {QColor(200, 60, 50), QColor(50, 120, 210), QColor(60, 170, 80)}) {
        QImage icon(16, 16, QImage::Format_ARGB32);
        icon.fill(Qt::transparent);
        QPainter p(&icon);
        p.setRenderHint(QPainter::Antialiasing);
        p.setBrush(c);
        p.setPen(c.darker(150));
        p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
        p.end();
        images.Add(icon);
    }
    TBitmap picture(48, 32, TBitmap::pf24bit);
    TGraphicsProvider::VertGradient(picture.Canvas(), Rect(0, 0, 48, 32), RGB(90, 150, 220),
                                    RGB(250, 240, 200));
    picture.Canvas()->Brush = TBrush{RGB(40, 110, 40), bsSolid};
    picture.Canvas()->FillRect(Rect(0, 24, 48, 32));
    picture.Canvas()->Brush = TBrush{RGB(250, 210, 60), bsSolid};
    picture.Canvas()->Ellipse(34, 4, 44, 14);

    std::vector<TSampleRow> rows = MakeRows(images, picture);
    const int width = kLabelWidth + kLooks * kCellWidth + 1;
    const int height = kHeaderHeight + int(rows.size()) * kRowHeight + 1;
    TBitmap sheet(width, height, TBitmap::pf24bit);
    TCanvas* canvas = sheet.Canvas();
    canvas->Brush = TBrush{clWindow, bsSolid};
    canvas->FillRect(Rect(0, 0, width, height));

    // The header: the looks across, the column types down.
    for (int look = -1; look < kLooks; ++look) {
        const int left = look < 0 ? 0 : kLabelWidth + look * kCellWidth;
        const TRect r = Rect(left, 0, left + (look < 0 ? kLabelWidth : kCellWidth), kHeaderHeight);
        TGraphicsProvider::ButtonFace(canvas, r, false);
        canvas->Font()->Assign(TFont());
        canvas->Font()->SetStyle(TFont::fsBold);
        TGraphicsProvider::DrawTextIn(
            canvas, TCalcProvider::OffsetEdges(r, 4, 0, -4, 0), false,
            look < 0 ? QStringLiteral("column type") : QString::fromLatin1(kLookNames[look]), 0);
    }
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const int top = kHeaderHeight + int(i) * kRowHeight;
        const TRect label = Rect(0, top, kLabelWidth, top + kRowHeight);
        TGraphicsProvider::ButtonFace(canvas, label, false);
        canvas->Font()->Assign(TFont());
        TGraphicsProvider::DrawTextIn(canvas, TCalcProvider::OffsetEdges(label, 4, 0, -4, 0), false,
                                      QString::fromLatin1(rows[i].Name), 0);
        for (int look = 0; look < kLooks; ++look) {
            const int left = kLabelWidth + look * kCellWidth;
            PaintCell(canvas, rows[i], Rect(left, top, left + kCellWidth - 1, top + kRowHeight - 1),
                      look);
        }
    }
    SetThemesEnabled(true);
    if (!sheet.Image().save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "display_sample: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
