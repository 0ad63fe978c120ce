// The painter of the header, footer and input-row cells of a grid's columns.

#include "Displays.h"

#include "Canvas.h"
#include "Columns.h"
#include "CustomGridViewControl.h"
#include "SharedClasses.h"
#include "ThemesSupport.h"

#include <QPainter>

namespace {

// Draws a bitmap without the pixels of its transparent colour (the
// bottom-left pixel when none was chosen), which the canvas's own Draw
// copies as they are.
void DrawTransparent(TCanvas* Canvas, int X, int Y, const TBitmap& Bitmap) {
    if (!Bitmap.Transparent()) {
        Canvas->Draw(X, Y, Bitmap);
        return;
    }
    QPainter* p = Canvas->Painter();
    if (!p || Bitmap.Empty()) return;
    const TColor key = Bitmap.TransparentColor() == clDefault
                           ? Bitmap.Pixel(0, Bitmap.Height() - 1)
                           : ColorToRGB(Bitmap.TransparentColor());
    const QRgb keyRgb = qRgb(GetRValue(key), GetGValue(key), GetBValue(key));
    QImage image = Bitmap.Image().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            // A pixel of the glyph keeps no partial alpha: it is shown
            // whole or left out, as a transparent bitmap is.
            line[x] = (line[x] & 0xFFFFFF) == (keyRgb & 0xFFFFFF) ? 0u : (line[x] | 0xFF000000u);
        }
    }
    p->save();
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    p->drawImage(QPoint(X, Y), image);
    p->restore();
}

void SetPen(TCanvas* Canvas, TColor Color) {
    Canvas->Pen = TPen{Color, 1, psSolid, pmCopy};
}

void Line(TCanvas* Canvas, int X0, int Y0, int X1, int Y1) {
    Canvas->MoveTo(X0, Y0);
    Canvas->LineTo(X1, Y1);
}

// What the painter asks of its grid, with the answers of a grid of default
// settings when there is none.
THeaderStyle HeaderStyleOf(const TCustomGridViewControl* Grid) {
    return Grid ? Grid->HeaderStyle() : hsAuto;
}

bool HasOption(const TCustomGridViewControl* Grid, TGridOption Option) {
    return Grid && Grid->Options().testFlag(Option);
}

} // namespace

TColumnPartDisplay::TColumnPartDisplay(QWidget* Grid, TCanvas* Canvas)
    : FCanvas(Canvas), FGrid(Grid) {}

TColumnPartDisplay::~TColumnPartDisplay() = default;

TCustomGridViewControl* TColumnPartDisplay::GridView() const {
    if (FGridView) return FGridView;
    if (auto* grid = qobject_cast<TCustomGridViewControl*>(FGrid)) return grid;
    if (FColumn && FColumn->Columns()) return FColumn->Columns()->Grid();
    return nullptr;
}

void TColumnPartDisplay::PaintPart(int Kind) {
    FPartKind = Kind;
    // A band the grid does not show has an empty rectangle: nothing to do.
    if (!FCanvas || !FColumn || FPartRect.IsEmpty()) return;
    switch (Kind) {
    case pkFooter:
        PaintFooter();
        break;
    case pkHeader:
        if (FShowPressed) PaintHeaderBackground();
        PaintHeaderContent();
        break;
    case pkInput:
        PaintInputCell();
        break;
    default:
        break;
    }
}

void TColumnPartDisplay::PaintHeaderBackground() {
    const TColor color = FColumn->Header()->Color();
    switch (HeaderStyleOf(GridView())) {
    case hsAuto:
        if (ThemesActive())
            DrawThemedHeader(FPartRect);
        else
            DrawDefaultHeader(FPartRect, FColumn->VisiblePlace(), color);
        break;
    case hsOldStyle:
        DrawOldStyleHeader(FPartRect, color);
        break;
    default:
        DrawDefaultHeader(FPartRect, FColumn->VisiblePlace(), color);
        break;
    }
}

int TColumnPartDisplay::GetCaptionIndent() {
    // The themed header item has a wide rounded edge of its own; a caption
    // next to a glyph keeps the narrow gap.
    const bool wide = FShowPressed && HeaderStyleOf(GridView()) == hsAuto && ThemesActive() &&
                      FColumn && FColumn->Header()->DisplayMode() == dmTextOnly;
    return wide ? 11 : 2;
}

void TColumnPartDisplay::DrawSortMark(const TPoint& P) {
    const int x = P.X;
    const int y = P.Y;
    const bool ascending = !FColumn || FColumn->SortKind() == skAscending;
    if (ThemesActive()) {
        SetPen(FCanvas, clGrayText);
        FCanvas->Brush = TBrush{clGrayText, bsSolid};
        if (ascending)
            FCanvas->Polygon({{x, y + 4}, {x + 4, y}, {x + 8, y + 4}});
        else
            FCanvas->Polygon({{x, y}, {x + 4, y + 4}, {x + 8, y}});
        return;
    }
    // An engraved triangle: its shadowed side, then its lit side.
    if (ascending) {
        SetPen(FCanvas, clBtnShadow);
        FCanvas->Polyline({{x + 7, y + 6},
                           {x, y + 6},
                           {x, y + 5},
                           {x + 1, y + 5},
                           {x + 1, y + 3},
                           {x + 2, y + 3},
                           {x + 2, y + 1},
                           {x + 3, y + 1},
                           {x + 3, y - 1}});
        SetPen(FCanvas, clBtnHighlight);
        FCanvas->Polyline({{x + 7, y + 5},
                           {x + 6, y + 5},
                           {x + 6, y + 3},
                           {x + 5, y + 3},
                           {x + 5, y + 1},
                           {x + 4, y + 1},
                           {x + 4, y - 1}});
    } else {
        SetPen(FCanvas, clBtnShadow);
        FCanvas->Polyline({{x + 7, y},
                           {x, y},
                           {x, y + 1},
                           {x + 1, y + 1},
                           {x + 1, y + 3},
                           {x + 2, y + 3},
                           {x + 2, y + 5},
                           {x + 3, y + 5},
                           {x + 3, y + 7}});
        SetPen(FCanvas, clBtnHighlight);
        FCanvas->Polyline({{x + 7, y + 1},
                           {x + 6, y + 1},
                           {x + 6, y + 3},
                           {x + 5, y + 3},
                           {x + 5, y + 5},
                           {x + 4, y + 5},
                           {x + 4, y + 7}});
    }
}

void TColumnPartDisplay::DrawHeaderButton(const TRect& R, int Place, TColor Color) {
    FCanvas->Brush = TBrush{Color, bsSolid};
    FCanvas->FillRect(TCalcProvider::OffsetEdges(R, 1, 1, -1, -1));
    if (Place == 0) {
        TGraphicsProvider::Frame3D(FCanvas, R, clBtnHighlight, clBtnShadow);
        return;
    }
    // Where two buttons meet, the corners are rounded off by a pixel in
    // the face colour; the outer ends of the first and last stay square.
    SetPen(FCanvas, clBtnHighlight);
    Line(FCanvas, R.Left, R.Top, R.Right, R.Top);
    if (Place == 1) {
        Line(FCanvas, R.Left, R.Top + 1, R.Left, R.Bottom - 1);
    } else {
        Line(FCanvas, R.Left, R.Top + 2, R.Left, R.Bottom - 2);
        FCanvas->SetPixel(R.Left, R.Top + 1, Color);
        FCanvas->SetPixel(R.Left, R.Bottom - 2, Color);
    }
    SetPen(FCanvas, clBtnShadow);
    Line(FCanvas, R.Left, R.Bottom - 1, R.Right, R.Bottom - 1);
    if (Place == 3) {
        Line(FCanvas, R.Right - 1, R.Top, R.Right - 1, R.Bottom - 1);
    } else {
        Line(FCanvas, R.Right - 1, R.Top + 2, R.Right - 1, R.Bottom - 2);
        FCanvas->SetPixel(R.Right - 1, R.Top + 1, Color);
        FCanvas->SetPixel(R.Right - 1, R.Bottom - 2, Color);
    }
}

void TColumnPartDisplay::DrawDefaultHeader(const TRect& R, int Place, TColor Color) {
    const TRect button = R;
    DrawHeaderButton(button, Place, Color);
}

void TColumnPartDisplay::DrawOldStyleHeader(const TRect& R, TColor Color) {
    FCanvas->Brush = TBrush{Color, bsSolid};
    FCanvas->FillRect(R);
    TGraphicsProvider::Frame3D(FCanvas, R, clBtnHighlight, clWindowFrame);
}

void TColumnPartDisplay::DrawThemedHeader(const TRect& R) {
    using namespace Themes;
    const TCustomGridViewControl* grid = GridView();
    int state = HIS_NORMAL;
    if (grid && FColumn && grid->PressedColumn() == FColumn)
        state = HIS_PRESSED;
    else if (grid && FColumn && grid->HotColumn() == FColumn && !grid->IsDesigning())
        state = HIS_HOT;
    DrawThemed(FGrid, FCanvas, QStringLiteral("header"), HP_HEADERITEM, state, R);
}

void TColumnPartDisplay::DrawCellText(const QString& Text, int Alignment) {
    const TRect r{FPartRect.Left + 2, FPartRect.Top, FPartRect.Right - 1, FPartRect.Bottom - 1};
    TGraphicsProvider::DrawTextIn(FCanvas, r, FRightToLeft, Text, Alignment);
}

void TColumnPartDisplay::DrawCellLines(TColor Color) {
    const TRect& r = FPartRect;
    SetPen(FCanvas, Color);
    Line(FCanvas, r.Left, r.Bottom - 1, r.Right - 1, r.Bottom - 1);
    // The right line runs on one pixel past the cell's bottom row, into the
    // strip below it.
    Line(FCanvas, r.Right - 1, r.Top, r.Right - 1, r.Bottom + 1);
}

void TColumnPartDisplay::PaintFooter() {
    const TRect& r = FPartRect;
    const int g = HasOption(GridView(), goGrid) ? 1 : 0;
    FCanvas->Font()->Assign(*FColumn->Font());
    FCanvas->Brush = TBrush{FColumn->Footer()->Color(), bsSolid};
    FCanvas->FillRect({r.Left, r.Top, r.Right - g, r.Bottom - g});
    if (g) DrawCellLines(clBtnFace);
    DrawCellText(FColumn->Footer()->Caption(), FColumn->Alignment());
}

void TColumnPartDisplay::PaintHeaderContent() {
    const TRect& r = FPartRect;
    const TColumnHeader* h = FColumn->Header();
    const TDisplayMode mode = h->DisplayMode();
    const bool themes = ThemesActive();
    const TBitmap& glyph = *h->Glyph();

    const int y = r.Top + r.Height() / 2 - 4 + (themes ? 1 : 0);
    int x = r.Left + GetCaptionIndent() + 1;
    if ((mode == dmImageOnly || mode == dmTextAndImage) && glyph.Height() > 0) {
        h->Glyph()->SetTransparent(true);
        DrawTransparent(FCanvas, x, r.Top + r.Height() / 2 - glyph.Height() / 2, glyph);
        x += glyph.Width() + 2;
    }
    if (mode == dmTextAndImage || mode == dmTextOnly) {
        // Headers are always left-aligned; the column's Alignment is for
        // its cells.
        TGraphicsProvider::DrawTextIn(FCanvas, {x, r.Top, r.Right, r.Bottom}, FRightToLeft,
                                      h->Caption(), 0);
    }
    if (FColumn->Sorted()) {
        int markX = r.Left + 2;
        switch (mode) {
        case dmImageOnly:
            markX += glyph.Width() + 19;
            break;
        case dmTextOnly:
            markX += FCanvas->TextWidth(h->Caption()) + 19;
            break;
        default:
            markX += glyph.Width() + FCanvas->TextWidth(h->Caption()) + 21;
            break;
        }
        // A mark that would not fit beside the caption is left out.
        if (markX + 8 < r.Right) DrawSortMark({markX, y});
    }
    const TCustomGridViewControl* grid = GridView();
    if (grid && grid->PressedColumn() == FColumn && FShowPressed &&
        (!themes || HeaderStyleOf(grid) != hsAuto))
        DrawPressed();
}

void TColumnPartDisplay::PaintInputCell() {
    const TRect& r = FPartRect;
    const TCustomGridViewControl* grid = GridView();
    const bool active = FState.testFlag(psInputActive);
    const int g = active && HasOption(grid, goGrid) ? 1 : 0;
    TFont* font = FCanvas->Font();
    font->Assign(*FColumn->Font());
    font->SetStyle({});
    if (active && !FColumn->InputEditing()) {
        const bool current = grid && grid->Col() == FColumn->Index();
        if (current) {
            font->SetColor(clGrayText);
            FCanvas->Brush = TBrush{FColumn->Color(), bsSolid};
        } else {
            font->SetColor(clHighlightText);
            FCanvas->Brush =
                TBrush{FState.testFlag(psGridFocused) ? clHighlight : clBtnFace, bsSolid};
        }
    } else {
        font->SetColor(clGrayText);
        FCanvas->Brush = TBrush{FColumn->Color(), bsSolid};
    }
    const TRect cell{r.Left, r.Top, r.Right - g, r.Bottom - g};
    // While the editor covers the cell only its frame is drawn.
    if (FColumn->InputEditing())
        FCanvas->FrameRect(cell);
    else
        FCanvas->FillRect(cell);
    if (g) DrawCellLines(clHighlight);
    if (!FColumn->InputValue().isEmpty())
        DrawCellText(FColumn->InputValue(), FColumn->Alignment());
    else
        DrawCellText(FColumn->InputCaption(), taCenter);
}

void TColumnPartDisplay::DrawPressed() {
    const TRect& r = FPartRect;
    if (FColumn && FColumn->IsOnlyVisible())
        FCanvas->InvertRect(TCalcProvider::OffsetEdges(r, -1, -1, 0, 0));
    else
        FCanvas->InvertRect(TCalcProvider::OffsetEdges(r, 0, 0, -1, -1));
}

void TColumnPartDisplay::DrawThemedHeaderItem(const TRect& R) {
    if (!FCanvas) return;
    DrawThemed(FGrid, FCanvas, QStringLiteral("header"), Themes::HP_HEADERITEM, Themes::HIS_NORMAL,
               R);
}

void TColumnPartDisplay::DrawThemedHeaderFiller(const TRect& R) {
    if (!FCanvas) return;
    DrawThemed(FGrid, FCanvas, QStringLiteral("header"), Themes::HP_HEADERITEMLEFT,
               Themes::HIS_NORMAL, R);
}
