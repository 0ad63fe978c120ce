#pragma once
// The painters of a column's cells and the play elements that let a cell
// react to a key or a click without an editor. Every column type names its
// display class (and, for some types, its play class); the column makes its
// own instance through that class, given itself.
//
// So far these are the classes with what the columns need of them: each is
// made for its column and lives as long as it. Their painting comes with
// the grid's paint pass.

#include "Controls.h"

#include <QChar>

class TCustomColumn;

// What a display and a play element share: the column they belong to.
class TVirtualColElement {
public:
    explicit TVirtualColElement(TCustomColumn* Column) : FColumn(Column) {}
    virtual ~TVirtualColElement() = default;
    TVirtualColElement(const TVirtualColElement&) = delete;
    TVirtualColElement& operator=(const TVirtualColElement&) = delete;

    TCustomColumn* Column() const { return FColumn; }
    void SetColumn(TCustomColumn* Value) { FColumn = Value; }

private:
    TCustomColumn* FColumn;
};

// Paints one cell of its column at a time.
class TColumnDisplay : public TVirtualColElement {
public:
    using TVirtualColElement::TVirtualColElement;
    // Paints the cell's content; every display class supplies it.
    virtual void Paint() = 0;
};

// Reacts to a key typed on, or a click in, a cell of its column.
class TColumnPlay : public TVirtualColElement {
public:
    using TVirtualColElement::TVirtualColElement;
    virtual void KeyPress(QChar& Key) = 0;
    // The point is relative to the cell's top-left corner.
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) = 0;
};

#define CALLERID_COLUMN_DISPLAY(Name)                                                              \
    class Name : public TColumnDisplay {                                                           \
    public:                                                                                        \
        using TColumnDisplay::TColumnDisplay;                                                      \
        void Paint() override {}                                                                   \
    };

CALLERID_COLUMN_DISPLAY(TTextualColumnDisplay)
CALLERID_COLUMN_DISPLAY(TNumericColumnDisplay)
CALLERID_COLUMN_DISPLAY(TDateColumnDisplay)
CALLERID_COLUMN_DISPLAY(TIncrementColumnDisplay)
CALLERID_COLUMN_DISPLAY(TCheckBoxColumnDisplay)
CALLERID_COLUMN_DISPLAY(THtmlColumnDisplay)
CALLERID_COLUMN_DISPLAY(TImageColumnDisplay)
CALLERID_COLUMN_DISPLAY(TProgressColumnDisplay)
CALLERID_COLUMN_DISPLAY(TRateColumnDisplay)
CALLERID_COLUMN_DISPLAY(TGraphicColumnDisplay)

#undef CALLERID_COLUMN_DISPLAY

// Toggles a check-box cell by the space bar or a click in its box.
class TCheckBoxColumnPlay : public TColumnPlay {
public:
    using TColumnPlay::TColumnPlay;
    void KeyPress(QChar& Key) override { (void)Key; }
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override {
        (void)Button;
        (void)Shift;
        (void)X;
        (void)Y;
    }
};

// ---- part painter ----

#include <QFlags>
#include <cstdint>

class QWidget;
class TCanvas;
class TCustomColumn;
class TCustomGridViewControl;

// The state of the grid a column part is painted in.
enum TPartStateFlag : std::uint8_t {
    psGridFocused = 0x01, // the grid (or its editor) has the focus
    psInputActive = 0x02, // the grid's input row is the active row
};
Q_DECLARE_FLAGS(TPartState, TPartStateFlag)
Q_DECLARE_OPERATORS_FOR_FLAGS(TPartState)

// Paints the header, footer and input-row cells of a grid's columns, one
// part of one column at a time: the owner sets the reading order, the
// column and the state, then for each part the part's rectangle, and calls
// PaintPart. A grid keeps one painter for all its columns; the column drag
// box keeps its own with ShowPressed cleared, which paints the floating
// header's content only (no background, no pressed look).
//
// The painter asks a grid for its header style, its options, its pressed
// and hot header cells, its current column and whether it is being
// designed. That grid is GridView: the one the owner set, else the owner
// itself when it is a grid, else the grid of the column being painted (so
// a drag box finds the grid through the dragged column and sets nothing).
// Without any grid the painter draws as a grid of default settings would:
// hsAuto, no options, nothing pressed, hot or current.
class TColumnPartDisplay {
public:
    // The kinds of part PaintPart paints.
    static constexpr int pkFooter = 0;
    static constexpr int pkHeader = 1;
    static constexpr int pkInput = 4;

    virtual ~TColumnPartDisplay();
    TColumnPartDisplay(const TColumnPartDisplay&) = delete;
    TColumnPartDisplay& operator=(const TColumnPartDisplay&) = delete;

    // Set by the owner before each part: right-to-left reading of texts.
    bool RightToLeft() const { return FRightToLeft; }
    void SetRightToLeft(bool Value) { FRightToLeft = Value; }
    // The owner's canvas (not owned).
    TCanvas* Canvas() const { return FCanvas; }
    // The column whose part is painted (not owned).
    TCustomColumn* Column() const { return FColumn; }
    void SetColumn(TCustomColumn* Value) { FColumn = Value; }
    // The part being painted: 0 footer, 1 header, 4 input cell.
    int PartKind() const { return FPartKind; }
    // While set, headers get their background, the pressed look and the
    // themed caption indent; set at creation.
    bool ShowPressed() const { return FShowPressed; }
    void SetShowPressed(bool Value) { FShowPressed = Value; }
    // The part's rectangle in the owner's client coordinates.
    const TRect& PartRect() const { return FPartRect; }
    void SetPartRect(const TRect& Value) { FPartRect = Value; }
    TPartState State() const { return FState; }
    void SetState(TPartState Value) { FState = Value; }
    // The owning control (not owned): the grid, or the drag box. Themed
    // pieces are drawn for this window.
    QWidget* Grid() const { return FGrid; }
    // The grid whose settings the painter follows (see above); may be null.
    TCustomGridViewControl* GridView() const;
    void SetGridView(TCustomGridViewControl* Value) { FGridView = Value; }

    // Paints one part of Column into PartRect: 0 the footer, 1 the header
    // (background, then content), 4 the input cell; other kinds paint
    // nothing. Nothing is painted without a canvas or a column, or into an
    // empty rectangle (a band the grid does not show).
    void PaintPart(int Kind);

protected:
    // The gap left of a header's glyph or caption.
    virtual int GetCaptionIndent();
    // The sort mark, its top-left corner at P.
    virtual void DrawSortMark(const TPoint& P);
    // A header button; Place is the column's place among the visible
    // columns (0 the only one, 1 first, 2 middle, 3 last), which rounds
    // off the corners where two buttons meet.
    virtual void DrawHeaderButton(const TRect& R, int Place, TColor Color);
    virtual void DrawDefaultHeader(const TRect& R, int Place, TColor Color);
    virtual void DrawOldStyleHeader(const TRect& R, TColor Color);
    virtual void DrawThemedHeader(const TRect& R);
    virtual void PaintFooter();
    virtual void PaintHeaderContent();
    virtual void PaintInputCell();
    // Inverts the header cell of a held-down column.
    virtual void DrawPressed();

public:
    // Created with its owning control and that control's canvas, with
    // ShowPressed set and an empty state.
    TColumnPartDisplay(QWidget* Grid, TCanvas* Canvas);

    // Header pieces of no column, drawn by the theme in its normal state:
    // a header item, and the filler right of the last column.
    virtual void DrawThemedHeaderItem(const TRect& R);
    virtual void DrawThemedHeaderFiller(const TRect& R);

private:
    void PaintHeaderBackground();
    // The current column's text into the cell: footer and input cell.
    void DrawCellText(const QString& Text, int Alignment);
    // The grid lines of a footer or input cell in the given colour.
    void DrawCellLines(TColor Color);

    bool FRightToLeft = false;
    TCanvas* FCanvas;
    TCustomColumn* FColumn = nullptr;
    int FPartKind = 0;
    bool FShowPressed = true;
    TRect FPartRect;
    TPartState FState;
    QWidget* FGrid;
    TCustomGridViewControl* FGridView = nullptr;
};
