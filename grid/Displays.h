#pragma once
// The painters of a column's cells and the play elements that let a cell
// react to a key or a click without an editor. Every column type names its
// display class (and, for some types, its play class); the column makes its
// own instance through that class, given itself.
//
// One display serves every cell of its column. Before each cell the grid
// writes the cell's rectangle, the canvas to paint on (its font already the
// column's), the selection and focus flags and the one value the column's
// CellKind holds into the display's fields, fills the background and calls
// Paint. A display keeps no canvas and no font of its own between cells,
// and it never raises out of a paint: values it cannot show draw nothing
// (or their column's caption for nothing), settings it cannot use are
// passed over.

#include "Canvas.h"
#include "Controls.h"
#include "SysUtils.h"
#include "Types.h"

#include <QChar>
#include <QImage>
#include <QObject>
#include <QString>
#include <array>
#include <cstdint>

class QWidget;
class TCustomColumn;

// What a display and a play element share: the values of the cell at hand
// and where it lies. The grid writes them before every cell.
class TVirtualColElement : public QObject {
    Q_OBJECT
public:
    explicit TVirtualColElement(TCustomColumn* AColumn) : Column(AColumn) {}

    bool BoolValue = false;
    TDateTime DateValue = 0;
    double FloatValue = 0;
    // Also the row index of an increment column's cell.
    int IntValue = 0;
    QString Text;
    // The grid is laid out from right to left.
    bool RightToLeft = false;
    TCanvas* Canvas = nullptr;  // not owned
    TRect CellRect;             // client coordinates of the grid
    TCustomColumn* Column;      // not owned
    TBitmap* Graphic = nullptr; // a graphic cell's picture; not owned
};

// Paints one cell of its column at a time.
class TColumnDisplay : public TVirtualColElement {
    Q_OBJECT
public:
    using TVirtualColElement::TVirtualColElement;

    // The cell is selected, and the cell is the grid's current cell.
    bool Selected = false;
    bool Focused = false;

    // Where a cell's text goes: the cell less 2 pixels on the left and the
    // right.
    virtual TRect GetTextRect() const;
    // Draws a text in the rectangle by the column's alignments and wrap
    // kind, on the cell's background (the brush is hollow meanwhile). An
    // ampersand is shown as it is.
    virtual void DrawCellText(const QString& Value, const TRect& Rect);
    // The small red triangle in the cell's top-right corner that tells the
    // cell has a note.
    virtual void DrawNoteMark();
    // Paints the cell's content; every display class supplies it.
    virtual void Paint() = 0;

    // The cell's background in the colour: filled, or only its outline
    // (while an editor lies over the cell).
    void FillBackground(TColor Color, bool Fill);

protected:
    // The grid window the column belongs to (themed parts are drawn in its
    // style); null outside a grid.
    QWidget* Window() const;
};

// TextBefore + the text + TextAfter of a textual column.
class TTextualColumnDisplay : public TColumnDisplay {
    Q_OBJECT
public:
    using TColumnDisplay::TColumnDisplay;
    void Paint() override;
};

// The number in its column's format mask (or its shortest text), then the
// column's TextAfter.
class TNumericColumnDisplay : public TColumnDisplay {
    Q_OBJECT
public:
    using TColumnDisplay::TColumnDisplay;
    void Paint() override;
};

// The date and time as the locale writes them; with HideWhenEmpty the
// column's EmptyCaption for 0. A value outside the dates that can be
// written (before the year 1, after 9999, not a number) draws nothing.
class TDateColumnDisplay : public TColumnDisplay {
    Q_OBJECT
public:
    using TColumnDisplay::TColumnDisplay;
    void Paint() override;
};

// The row's number counted from 1.
class TIncrementColumnDisplay : public TColumnDisplay {
    Q_OBJECT
public:
    using TColumnDisplay::TColumnDisplay;
    void Paint() override;
};

// A check box placed by the column's alignments: the theme's 13 x 13 box,
// or a plain 11 x 11 one.
class TCheckBoxColumnDisplay : public TColumnDisplay {
    Q_OBJECT
public:
    using TColumnDisplay::TColumnDisplay;
    void Paint() override;
};

// Text with a little markup, drawn character by character from the cell's
// top-left corner: <b>, <i>, <u> and <a> (a blue underlined link) switch
// their style on while more of them are open than closed, <br> starts a new
// line below the tallest character of the last one, and <font> takes the
// attributes color=#RRGGBB, name=<face> and size=<points>. Attribute values
// are written without quotes. With an ellipsis wrap the text stops at the
// cell's right edge with "...". The count of open tags of each kind goes on
// from one cell to the next.
class THtmlColumnDisplay : public TColumnDisplay {
    Q_OBJECT
public:
    using TColumnDisplay::TColumnDisplay;
    void Paint() override;

    enum TTagKind { tkA, tkB, tkI, tkU };
    // How many tags of the kind are open now.
    int OpenTags(TTagKind Kind) const { return FOpenTags[Kind]; }

private:
    struct TTag;
    struct TFlow;
    void ApplyTag(TTag& Tag, TFlow& Flow);
    void ApplyFontAttribute(const QString& Name, const QString& Value);
    void UpdateStyle(TTagKind Kind);

    QString FText;
    std::array<int, 4> FOpenTags{};
};

// Image IntValue of the column's image list, placed with a margin of 2.
class TImageColumnDisplay : public TColumnDisplay {
    Q_OBJECT
public:
    using TColumnDisplay::TColumnDisplay;
    void Paint() override;
};

// A bar filled to FloatValue of the column's Max, optionally with the
// percentage as text to its left. A Max of 0 (or a value that is not a
// number) shows 0% and an empty bar.
class TProgressColumnDisplay : public TColumnDisplay {
    Q_OBJECT
public:
    using TColumnDisplay::TColumnDisplay;
    void Paint() override;
};

// A row of the column's Max step pictures, the first IntValue of them
// reached.
class TRateColumnDisplay : public TColumnDisplay {
    Q_OBJECT
public:
    using TColumnDisplay::TColumnDisplay;
    void Paint() override;

private:
    // A glyph drawn without the pixels of its bottom-left pixel's colour:
    // made once per picture and kept until the picture changes.
    struct TKeyed {
        qint64 Key = 0;
        QImage Image;
    };
    const QImage& Keyed(const TBitmap& Glyph, TKeyed& Cache);
    void DrawStep(int X, int Y, const TBitmap& Glyph, const TBitmap& Mask, TKeyed& Cache);

    TKeyed FGlyphKeyed;
    TKeyed FEmptyKeyed;
};

// The cell's picture inside the column's Margin and BorderWidth frames:
// stretched over it, or scaled to fit and centred.
class TGraphicColumnDisplay : public TColumnDisplay {
    Q_OBJECT
public:
    using TColumnDisplay::TColumnDisplay;
    void Paint() override;
};

// Reacts to a key typed on, or a click in, a cell of its column. Before it
// hands one over, the grid sets Col, Row, CellRect and the cell's value,
// and wires OnChange to write the value back.
class TColumnPlay : public TVirtualColElement {
    Q_OBJECT
public:
    using TVirtualColElement::TVirtualColElement;

    // The play element changed the value it holds; the sender is the play
    // element.
    TNotifyEvent OnChange;
    // The cell the element works on.
    int Col = 0;
    int Row = 0;

    virtual void KeyPress(QChar& Key) = 0;
    // The point is relative to the cell's top-left corner.
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) = 0;

protected:
    // Fires OnChange.
    virtual void Change();
};

// Toggles a check-box cell by the space bar or a click in its box.
class TCheckBoxColumnPlay : public TColumnPlay {
    Q_OBJECT
public:
    using TColumnPlay::TColumnPlay;

    void KeyPress(QChar& Key) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    // Where a click toggles, relative to the cell's top-left corner: the
    // check box as the display places it in the cell grown by 1 on every
    // side.
    TRect CheckArea() const;
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
