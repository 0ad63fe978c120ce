#pragma once
// The grid control: layout, painting, selection and editor state over the
// scroll view. So far it carries what a cell asks of its grid (the colours
// the cell is drawn in at this moment) and what the columns ask of it: the
// bands their parts lie in, the repaint of a column's strip, the reports of
// column changes, and the hook that tells the columns the data area's left
// edge moved.

#include "Columns.h"
#include "ScrollView.h"
#include "Types.h"

class TCustomGridViewControl : public TScrollView {
    Q_OBJECT
public:
    explicit TCustomGridViewControl(QObject* owner = nullptr);
    ~TCustomGridViewControl() override;

    // The background and the text colour of the cell at (Col, Row) as it is
    // drawn now: its own colours, or those of a selection.
    virtual TColor GetCellColor(int Col, int Row) const = 0;
    virtual TColor GetCellTextColor(int Col, int Row) const = 0;

    // The bands of the client area. The data area's left edge is where the
    // first column starts; the header, input-row and footer bands are empty
    // until the grid lays them out.
    virtual TRect GetDataRect() const { return ClientRect(); }
    virtual TRect GetHeaderRect() const { return {}; }
    virtual TRect GetInputRect() const { return {}; }
    virtual TRect GetFooterRect() const { return {}; }

    // The current column (its index in storage order), the header cell held
    // down by the mouse and the one under the pointer.
    virtual int Col() const { return 0; }
    virtual TCustomColumn* PressedColumn() const { return nullptr; }
    virtual TCustomColumn* HotColumn() const { return nullptr; }

    // Repaints one column's strip of an area (1 data, 2 footer, 3 header,
    // 4 indicator, 5 input row).
    virtual void InvalidateColumnPart(TCustomColumn* Column, int Part) {
        (void)Column;
        (void)Part;
        update();
    }
    // The collection's reports: one column changed, or the collection's
    // structure did.
    virtual void ColumnChanged(TCustomColumn* Column, TColumnChange Kind) {
        (void)Column;
        (void)Kind;
        update();
    }
    virtual void ColumnsChanged(TColumnsChange Kind) {
        (void)Kind;
        update();
    }

    // Fired when the left edge of the data area moves; the column
    // collection takes it to recompute the columns' offsets.
    TNotifyEvent OnLayoutChange;

protected:
    virtual void LayoutChanged() { OnLayoutChange(this); }
};
