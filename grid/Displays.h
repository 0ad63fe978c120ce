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
