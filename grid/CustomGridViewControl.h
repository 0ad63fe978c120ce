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

#include <QFlags>
#include <cstdint>

namespace GridControl {
Q_NAMESPACE

// A table of rows under a header, or one slide per record.
enum TGridStyle { gsReport, gsSlides };
Q_ENUM_NS(TGridStyle)

enum TGridLinesStyle { lsNormal, lsFramed, lsHorizontalOnly };
Q_ENUM_NS(TGridLinesStyle)

// How header cells are drawn: by the theme when one is active, as buttons,
// or flat with a hard edge.
enum THeaderStyle { hsAuto, hsDefault, hsOldStyle };
Q_ENUM_NS(THeaderStyle)

// Where the current cell goes after Enter.
enum TSelectionMoveDirection { mdNone, mdUp, mdDown, mdLeft, mdRight };
Q_ENUM_NS(TSelectionMoveDirection)

enum TGridOption : std::uint32_t {
    goAlwaysIndicateSelected = 1u << 0,
    goAlphaBlendedSelection = 1u << 1,
    goAlwaysShowSelection = 1u << 2,
    goBoldTextSelection = 1u << 3,
    goCanHideColumn = 1u << 4,
    goDissableColumnMoving = 1u << 5,
    goFooter = 1u << 6,
    goGrid = 1u << 7,
    goHeader = 1u << 8,
    goHideFocus = 1u << 9,
    goHighlightTextSelection = 1u << 10,
    goIndicateSortedColumn = 1u << 11,
    goIndicator = 1u << 12,
    goInput = 1u << 13,
    goMultiSelect = 1u << 14,
    goSelectFullRow = 1u << 15,
    goUseDefaultValues = 1u << 16,
};
Q_DECLARE_FLAGS(TGridOptions, TGridOption)
Q_FLAG_NS(TGridOptions)

// How one data cell is drawn at this moment.
enum TCellStateFlag : std::uint8_t {
    csBoldTextSelection = 1u << 0,
    csFocused = 1u << 1,
    csSelected = 1u << 2,
    csTextHighlighted = 1u << 3,
};
Q_DECLARE_FLAGS(TCellState, TCellStateFlag)
Q_FLAG_NS(TCellState)

} // namespace GridControl

Q_DECLARE_OPERATORS_FOR_FLAGS(GridControl::TGridOptions)
Q_DECLARE_OPERATORS_FOR_FLAGS(GridControl::TCellState)

using GridControl::gsReport;
using GridControl::gsSlides;
using GridControl::TGridStyle;

using GridControl::lsFramed;
using GridControl::lsHorizontalOnly;
using GridControl::lsNormal;
using GridControl::TGridLinesStyle;

using GridControl::hsAuto;
using GridControl::hsDefault;
using GridControl::hsOldStyle;
using GridControl::THeaderStyle;

using GridControl::mdDown;
using GridControl::mdLeft;
using GridControl::mdNone;
using GridControl::mdRight;
using GridControl::mdUp;
using GridControl::TSelectionMoveDirection;

using GridControl::goAlphaBlendedSelection;
using GridControl::goAlwaysIndicateSelected;
using GridControl::goAlwaysShowSelection;
using GridControl::goBoldTextSelection;
using GridControl::goCanHideColumn;
using GridControl::goDissableColumnMoving;
using GridControl::goFooter;
using GridControl::goGrid;
using GridControl::goHeader;
using GridControl::goHideFocus;
using GridControl::goHighlightTextSelection;
using GridControl::goIndicateSortedColumn;
using GridControl::goIndicator;
using GridControl::goInput;
using GridControl::goMultiSelect;
using GridControl::goSelectFullRow;
using GridControl::goUseDefaultValues;
using GridControl::TGridOption;
using GridControl::TGridOptions;

using GridControl::csBoldTextSelection;
using GridControl::csFocused;
using GridControl::csSelected;
using GridControl::csTextHighlighted;
using GridControl::TCellState;
using GridControl::TCellStateFlag;

class TCustomGridViewControl : public TScrollView {
    Q_OBJECT
public:
    explicit TCustomGridViewControl(QObject* owner = nullptr);
    ~TCustomGridViewControl() override;

    // The grid's own column collection; it reports every change of a column
    // and of its structure to ColumnChanged and ColumnsChanged.
    TColumns* Columns() const { return FColumns; }

    THeaderStyle HeaderStyle() const { return FHeaderStyle; }
    void SetHeaderStyle(THeaderStyle Value);
    TGridOptions Options() const { return FOptions; }
    void SetOptions(TGridOptions Value);

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

private:
    TColumns* FColumns;
    THeaderStyle FHeaderStyle = hsAuto;
    TGridOptions FOptions = TGridOptions(goHeader) | goHighlightTextSelection;
};
