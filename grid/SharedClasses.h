#pragma once
// Geometry, colour and drawing routines that the grid, its column displays,
// its cell editors and its popups share. The providers keep no state: every
// operation is a static member.

#include "Canvas.h"
#include "StdCtrls.h"
#include "Types.h"

#include <QObject>
#include <QString>

class QWidget;

namespace SharedClasses {
Q_NAMESPACE
enum TVerticalAlignment { vaTop, vaMiddle, vaBottom };
Q_ENUM_NS(TVerticalAlignment)
} // namespace SharedClasses

using SharedClasses::TVerticalAlignment;
using SharedClasses::vaBottom;
using SharedClasses::vaMiddle;
using SharedClasses::vaTop;

using TAlignment = TLabel::TAlignment;
inline constexpr TAlignment taLeftJustify = TLabel::taLeftJustify;
inline constexpr TAlignment taRightJustify = TLabel::taRightJustify;
inline constexpr TAlignment taCenter = TLabel::taCenter;

class TCalcProvider {
public:
    TCalcProvider() = delete;

    // Value as a percentage of Max (a progress bar's fill); 0 when Max is 0,
    // where there is nothing to measure against.
    static double Percent(int Max, double Value);
    // Touching edges count as overlapping.
    static bool RectsOverlap(const TRect& A, const TRect& B);
    // Top-left corner of a Width x Height item placed in Rect.
    static TPoint AlignedPoint(int Width, int Height, int Margin, const TRect& Rect,
                               TAlignment Alignment, TVerticalAlignment VertAlignment);
    static TRect OffsetEdges(const TRect& Rect, int DLeft, int DTop, int DRight, int DBottom);
};

class TGraphicsProvider {
public:
    TGraphicsProvider() = delete;

    // Per channel (Alpha * a + (255 - Alpha) * b) div 256; Alpha in 0..255.
    static TColor BlendAlpha(TColor A, TColor B, int Alpha);
    // Per channel round(Fraction * b + (1 - Fraction) * a), halves to even.
    static TColor Blend(TColor A, TColor B, double Fraction);
    static void ClipTo(TCanvas* Canvas, const TRect& Rect);
    // A raised button face: clBtnFace inside, a light top-left edge and a
    // dark bottom-right edge.
    static void ButtonFace(TCanvas* Canvas, const TRect& Rect, bool OldStyle);
    static void FocusFrame(TCanvas* Canvas, const TRect& Rect, bool Solid);
    static void CheckBox(TCanvas* Canvas, QWidget* Window, const TRect& Rect, TAlignment Alignment,
                         TVerticalAlignment VertAlignment, bool Checked, bool Pressed, bool Hot);
    static void VertGradient(TCanvas* Canvas, const TRect& Rect, TColor A, TColor B);
    static void HorzGradient(TCanvas* Canvas, const TRect& Rect, TColor A, TColor B);
    // Alignment 0 left, 1 right, 2 centre; one line, vertically centred,
    // cut with an ellipsis, on a transparent background.
    static void DrawTextIn(TCanvas* Canvas, const TRect& Rect, bool RightToLeft,
                           const QString& Text, int Alignment);
    // The indicator cell of a grid row: an edged button face, an arrow head
    // on the current row, inverted when the row is selected.
    static void IndicatorCell(TCanvas* Canvas, const TRect& Rect, bool OldStyle, bool Selected,
                              bool Current);
    // The one-pixel 3-D frame of a button face.
    static void Frame3D(TCanvas* Canvas, const TRect& Rect, TColor TopColor, TColor BottomColor);
    // The classic scroll-bar arrow button (spin buttons, a combo box's
    // button): raised, or flat with the arrow a pixel lower and to the right
    // while pushed.
    static void ScrollArrowButton(TCanvas* Canvas, const TRect& Rect, bool Up, bool Pushed);
};

class TMaskProvider {
public:
    TMaskProvider() = delete;

    // (77 red + 151 green + 28 blue) div 256.
    static int Luminance(TColor Color);
    static TColor BlendAlpha(TColor A, TColor B, int Alpha);
    static void SplitColor(TColor Color, int& R, int& G, int& B);
    // Draws Image at (X, Y) through Mask: white mask pixels show the image,
    // black ones the background, greys mix. Raises "Image and Mask size
    // differ" when the two pictures are not of one size.
    static void DrawMasked(TCanvas* Canvas, int X, int Y, const TBitmap& Image,
                           const TBitmap& Mask);
};

class TDrawProvider {
public:
    TDrawProvider() = delete;

    // A 32-bit bitmap is blended onto the canvas through its own alpha
    // channel; any other picture is drawn plainly.
    static void DrawGraphic(TCanvas* Canvas, int X, int Y, const TBitmap& Graphic);
};
