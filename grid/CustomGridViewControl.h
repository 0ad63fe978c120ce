#pragma once
// The grid control: the drawing and layout core of the grid. It divides the
// client area into header, input row, data rows, footer and indicator
// column (or one slide per record), paints them, keeps the scroll ranges,
// invalidates only what changed, keeps one selection flag per row and holds
// the state of the current cell and of the open editor. It keeps no cell
// data: its subclass answers the row count, a cell's text and colour.

#include "Columns.h"
#include "ScrollView.h"
#include "Types.h"

#include "Strings.h"

#include <QFlags>
#include <QPointer>
#include <cstdint>
#include <deque>
#include <memory>

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

class TCellEditor;
class TColumnPartDisplay;

// The grid's events. Values are wide strings; in-out parameters are
// references the handler may change.
using TGridAfterEditEvent = TEvent<QObject*, int, int, const WideString&, bool&>;
using TGridApplyCellEvent = TEvent<QObject*, int, int, WideString&>;
using TGridBeforeEditEvent = TEvent<QObject*, int, int, bool&>;
using TGridCellEvent = TEvent<QObject*, int, int>;
using TGridCellColoringEvent = TEvent<QObject*, int, int, TColor&, TColor&, TCellState>;
using TGridCustomDrawCellEvent = TEvent<QObject*, int, int, TRect&, TCellState>;
using TGridDrawCellBackgroundEvent = TEvent<QObject*, int, int, TRect&, TCellState, bool&>;
using TGridEditEvent = TEvent<QObject*, int, int, const WideString&>;
using TGridHeaderClickEvent = TEvent<QObject*, int>;
using TGridInputAcceptEvent = TEvent<QObject*, bool&>;
using TGridSortColumnEvent = TEvent<QObject*, int, bool>;

class TCustomGridViewControl : public TScrollView {
    Q_OBJECT
    Q_PROPERTY(TWinControl::TBorderStyle BorderStyle READ BorderStyle WRITE SetBorderStyle)
    Q_PROPERTY(QString Caption READ CaptionText WRITE SetCaptionText)
    Q_PROPERTY(
        GridControl::TGridLinesStyle GridLinesStyle READ GridLinesStyle WRITE SetGridLinesStyle)
    Q_PROPERTY(GridControl::TGridStyle GridStyle READ GridStyle WRITE SetGridStyle)
    Q_PROPERTY(int HeaderSize READ HeaderSize WRITE SetHeaderSize)
    Q_PROPERTY(GridControl::THeaderStyle HeaderStyle READ HeaderStyle WRITE SetHeaderStyle)
    Q_PROPERTY(bool HideScrollBar READ HideScrollBar WRITE SetHideScrollBar)
    Q_PROPERTY(int InputSize READ InputSize WRITE SetInputSize)
    Q_PROPERTY(GridControl::TGridOptions Options READ Options WRITE SetOptions)
    Q_PROPERTY(int RowSize READ RowSize WRITE SetRowSize)
    Q_PROPERTY(GridControl::TSelectionMoveDirection SelectionMoveDirection READ
                   SelectionMoveDirection WRITE SetSelectionMoveDirection)
    Q_PROPERTY(int SlideSize READ SlideSize WRITE SetSlideSize)
public:
    // Run-time flags of FState; each lives while its operation lasts.
    enum TGridStateFlag : std::uint16_t {
        ColumnResizing = 1u << 0, // a column edge is dragged: the paint pass draws nothing
        HeaderPressed = 1u << 1,
        ColumnDragging = 1u << 2,
        CellEditing = 1u << 3,     // a data-cell editor is open
        InputRowEditing = 1u << 6, // an input-row editor is open
        MultiRowSelection = 1u << 7,
        UpdateLocked = 1u << 10,
    };
    Q_DECLARE_FLAGS(TGridState, TGridStateFlag)

    // The kinds of RowsChanged, one per row operation of the data grid.
    enum : int {
        rcAdded = 0,
        rcCleared = 1,
        rcDeleted = 2,
        rcInserted = 3,
        rcMoved = 4,
        rcAppended = 5,
    };

    // Band codes of InvalidatePart and InvalidateColumnPart.
    enum : int { gpData = 1, gpFooter = 2, gpHeader = 3, gpIndicator = 4, gpInput = 5 };

    static constexpr int IndicatorWidth = 12;

    explicit TCustomGridViewControl(QObject* owner = nullptr);
    ~TCustomGridViewControl() override;

    // --- properties

    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    // The text shown in the data area while the grid has no rows, kept in
    // the system code page. Hides the control's wide caption; the layouts
    // read and write it as text.
    const AnsiString& Caption() const { return FCaption; }
    void SetCaption(const AnsiString& Value);
    QString CaptionText() const { return AnsiToWide(FCaption); }
    void SetCaptionText(const QString& Value) { SetCaption(WideToAnsi(Value)); }
    // The grid's own column collection; it reports every change of a column
    // and of its structure to ColumnChanged and ColumnsChanged.
    TColumns* Columns() const { return FColumns; }
    TGridLinesStyle GridLinesStyle() const { return FGridLinesStyle; }
    void SetGridLinesStyle(TGridLinesStyle Value);
    TGridStyle GridStyle() const { return FGridStyle; }
    void SetGridStyle(TGridStyle Value);
    int HeaderSize() const { return FHeaderSize; }
    void SetHeaderSize(int Value);
    THeaderStyle HeaderStyle() const { return FHeaderStyle; }
    void SetHeaderStyle(THeaderStyle Value);
    // Hide the vertical bar, rather than only disable it, when every row
    // is in view. Read at the next scroll-bar update.
    bool HideScrollBar() const { return FHideScrollBar; }
    void SetHideScrollBar(bool Value) { FHideScrollBar = Value; }
    int InputSize() const { return FInputSize; }
    void SetInputSize(int Value);
    TGridOptions Options() const { return FOptions; }
    void SetOptions(TGridOptions Value);
    int RowSize() const { return FRowSize; }
    // Sizes of 0 or below are ignored.
    void SetRowSize(int Value);
    TSelectionMoveDirection SelectionMoveDirection() const { return FSelectionMoveDirection; }
    void SetSelectionMoveDirection(TSelectionMoveDirection Value) {
        FSelectionMoveDirection = Value;
    }
    int SlideSize() const { return FSlideSize; }
    void SetSlideSize(int Value);

    // --- events

    TGridAfterEditEvent OnAfterEdit;
    // Kept with the form; nothing of the grid fires it.
    TGridApplyCellEvent OnApplyCell;
    TGridBeforeEditEvent OnBeforeEdit;
    TGridCellEvent OnCellClick;
    TGridCellColoringEvent OnCellColoring;
    TGridCellEvent OnChange;
    TGridCustomDrawCellEvent OnCustomDrawCell;
    TGridDrawCellBackgroundEvent OnDrawCellBackground;
    TGridEditEvent OnEdit;
    TGridHeaderClickEvent OnHeaderClick;
    TGridInputAcceptEvent OnInputAccept;
    TGridCellEvent OnSelectCell;
    TGridSortColumnEvent OnSortColumn;
    // Fired when the left edge of the data area moves (the indicator comes
    // or goes); the column collection takes it to recompute the offsets.
    TNotifyEvent OnLayoutChange;

    // --- state

    TGridState State() const { return FState; }
    // The current cell: its column's index in storage order and its row.
    virtual int Col() const { return FCol; }
    int Row() const { return FRow; }
    int AnchorRow() const { return FAnchorRow; }
    int EditCol() const { return FEditCol; }
    int EditRow() const { return FEditRow; }
    int InputColumn() const { return FInputColumn; }
    bool InputActive() const { return FInputActive; }
    TCellEditor* Editor() const { return FEditor; }
    // The header cell held down by the mouse and the one under the pointer.
    virtual TCustomColumn* PressedColumn() const { return FPressedColumn; }
    virtual TCustomColumn* HotColumn() const { return FHotColumn; }
    // True when the grid itself or its open editor has the keyboard focus:
    // the selection is drawn in the focused colours then.
    bool GridFocused() const;
    // True when the open editor (or a window inside it) has the focus.
    virtual bool EditorFocused() const;

    // The update lock: a flag, not a counter. While it is set a changed
    // cell is neither repainted nor reported one by one.
    void BeginUpdate() { FState |= UpdateLocked; }
    void EndUpdate() { FState &= ~TGridState(UpdateLocked); }
    bool UpdateLock() const { return FState.testFlag(UpdateLocked); }

    // --- geometry (client coordinates)

    int GridLineWidth() const { return FOptions.testFlag(goGrid) ? 1 : 0; }
    int IndicatorSpace() const { return FOptions.testFlag(goIndicator) ? IndicatorWidth : 0; }
    int HorzPos() const;
    int TopRow() const;
    // The sum of the widths of the visible columns.
    int ColumnsWidth() const;
    virtual TRect GetHeaderRect() const;
    virtual TRect GetInputRect() const;
    virtual TRect GetDataRect() const;
    virtual TRect GetFooterRect() const;
    TRect GetIndicatorRect() const;
    TRect GetRowRect(int Row) const;
    // With 1 the data cell, with 5 the column's input cell.
    virtual TRect GetCellRect(int Col, int Row, int Part) const;
    int VisibleRowCount() const;

    // --- the data the subclass supplies

    virtual WideString GetCellText(int Col, int Row) const = 0;
    virtual TColor GetCellBackground(int Col, int Row) const = 0;
    virtual int GetHorzRange() const;
    virtual int GetRowCount() const = 0;
    int RowCount() const { return GetRowCount(); }
    virtual int GetMaxTopRow() const;

    // The collection's reports: one column changed, or its structure did.
    virtual void ColumnChanged(TCustomColumn* Column, TColumnChange Kind);
    virtual void ColumnsChanged(TColumnsChange Kind);

    virtual void DrawCell(int Col, int Row);
    // Sets the cell's font; answers whether the display is to draw the
    // content (it is not here: the data grid loads the value first).
    virtual bool PrepareCell(int Col, int Row);
    virtual void SetCellText(int Col, int Row, const WideString& Text) = 0;
    virtual void Sort(TCustomColumn* Column, bool Ascending) = 0;

    virtual void PaintParts();
    virtual void PaintRows();
    virtual void PaintSlides(const TRect& Rect);

    // Repaints one band (1 data, 2 footer, 3 header, 4 indicator, 5 input
    // row) when it is shown.
    virtual void InvalidatePart(int Part);
    // Repaints one cell with its grid lines.
    virtual void InvalidateCell(int Col, int Row);
    virtual void UpdateHorzScrollBar();
    virtual void UpdateVertScrollBar();

    // Stores the open editor's value; answers whether one was stored.
    virtual bool AcceptEdit();

    // The background and the text colour of the cell at (Col, Row) as it is
    // drawn now: its own colours, or those of a selection.
    virtual TColor GetCellColor(int Col, int Row) const;
    virtual TColor GetCellTextColor(int Col, int Row) const;
    virtual bool CanEditColumn(int Col) const;

    // Row operations of the data grid.
    virtual void AddRows(int Count) = 0;
    virtual void RecalcFooters() = 0;
    // Moves the current cell to (0, 0); the data grid also empties itself.
    virtual void Clear();
    virtual void DeleteRow(int Row) = 0;
    virtual void InsertRow(int Row) = 0;
    virtual void MoveRow(int FromRow, int ToRow) = 0;

    // Repaints one column's strip of a band, shown or not.
    virtual void InvalidateColumnPart(TCustomColumn* Column, int Part);
    // Makes (Col, Row) current: updates the row flags (with goMultiSelect
    // and goSelectFullRow, Ctrl toggles a row and anchors there, Shift flags
    // the rows from the anchor on; otherwise only the new row is flagged),
    // fires OnSelectCell even for the same cell, and repaints what the move
    // changed. No range check and no scrolling.
    virtual void Select(int Col, int Row, TShiftState Shift);

    // --- editing entry points; the grid with editing replaces them

    // Moves the open editor onto its cell.
    virtual void UpdateEditor() {}
    // Closes the open editor without storing its value.
    virtual void HideEditor() {}

    // --- invalidation

    // The full width of the data area between the row's top and bottom;
    // with KeepInterior only the row's outline.
    void InvalidateRow(int Row, bool KeepInterior);
    void InvalidateSelection();
    // The input row becomes (or stops being) the active row.
    void SetInputActive(bool Value);

    // --- row selection flags, one per row

    // Keeps the flags in step with the rows (see the rc… kinds).
    void RowsChanged(int Kind, int Index, int NewIndex);
    // A row outside the list raises the list-index error.
    bool GetRowSelected(int Row) const;
    // Rows outside the list are ignored.
    void SetRowSelected(int Row, bool Value);
    void ClearRowSelection();
    int RowSelectionCount() const { return static_cast<int>(FRowSelection.size()); }

    // Is the cell drawn as selected now?
    bool IsCellSelected(int Col, int Row) const;

protected:
    virtual void LayoutChanged() { OnLayoutChange(this); }

    // --- event dispatch; a subclass overrides these, not the events
    virtual void DoAfterEdit(int ACol, int ARow, const WideString& Value, bool& Accept);
    virtual void DoApplyCell(int ACol, int ARow, WideString& Value);
    virtual void DoBeforeEdit(int ACol, int ARow, bool& Accept);
    virtual void DoCellClick(int ACol, int ARow);
    virtual void DoCellColoring(int ACol, int ARow, TColor& CellColor, TColor& GridColor,
                                TCellState CellState);
    virtual void DoChange(int ACol, int ARow);
    virtual void DoCustomDrawCell(int ACol, int ARow, TRect& CellRect, TCellState CellState);
    virtual void DoDrawCellBackground(int ACol, int ARow, TRect& CellRect, TCellState CellState,
                                      bool& DefaultDrawing);
    virtual void DoEdit(int ACol, int ARow, const WideString& Value);
    virtual void DoHeaderClick(int ACol);
    virtual void DoInputAccept(bool& Accept);
    virtual void DoSelectCell(int ACol, int ARow);
    virtual void DoSortColumn(int ACol, bool Ascending);

    // --- painting
    void Paint() override;
    // The frame of a single border, themed with the list view's edge.
    void PaintFrame() override;
    void WMSize() override;
    void ScrollPositionChanged(int Kind) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    // The focus came or went: repaints what is drawn by it.
    virtual void FocusChanged();

    // A raised button face; the dark edge is clWindowFrame in the old
    // header style.
    void PaintButtonFace(const TRect& Rect);
    // The input separator and the footer strip: themed as a rebar when the
    // header follows the theme, else a button face.
    void PaintStrip(const TRect& Rect);
    void PaintEmptyCell(int Col, int Row);
    void PaintIndicatorCell(int Row);
    void PaintGridLines(int Col, int Row, const TRect& Rect, TColor GridColor);
    void PaintFocusRect();
    // The rectangle the focus frame is drawn on; empty when none is drawn.
    TRect FocusRect() const;
    // The column of a storage index; null outside the collection.
    TCustomColumn* ColumnAt(int Col) const;
    // A row's flag; false for a row outside the list.
    bool RowFlag(int Row) const;
    // Flags the rows First to Last (both included, clamped to the list) and
    // clears every other flag.
    void SelectRowRange(int First, int Last);
    // Stores a row's flag and keeps the count; answers whether it changed.
    // Rows outside the list are ignored.
    bool StoreRowFlag(int Row, bool Value);
    // Changes many flags in one walk, repainting (with goSelectFullRow)
    // only the changed rows that are in view when the walk starts.
    class TRowFlagWriter {
    public:
        explicit TRowFlagWriter(TCustomGridViewControl& Grid);
        void Set(int Row, bool Value);

    private:
        TCustomGridViewControl& FGrid;
        bool FRepaint;
        int FFirst;
        int FLast;
    };
    // Themed drawing of the bands: themes active and the header style
    // follows them.
    bool Themed() const;
    // True while an editor is open on the data cell (Col, Row).
    bool EditorOpenOn(int Col, int Row) const;
    // The window exists: it has been shown (or created) once.
    bool WindowCreated() const;
    // The rectangles scrolling moves: horizontally everything right of the
    // indicator, vertically the data rows.
    void UpdateScrollRects();

    // The calls into the column painters, one place each.
    void PaintColumnPart(TCustomColumn* Column, int Kind);
    void PaintThemedHeaderItem(const TRect& Rect);
    void PaintThemedHeaderFiller(const TRect& Rect);
    void FillCellBackground(TCustomColumn* Column, const TRect& Rect, TColor Color, bool FrameOnly);
    void PaintCellContent(TCustomColumn* Column, int Col, int Row, const TRect& Rect, bool Selected,
                          bool Current);

    // --- fields, in declaration order
    std::shared_ptr<TColumnPartDisplay> FPartDisplay; // made with the part painter
    TGridState FState;
    int FAnchorRow = -1;
    int FInputColumn = -1;
    bool FInputActive = false;
    int FCol = 0;
    int FRow = 0;
    QPointer<TCellEditor> FEditor;
    // Guarded: a column may be freed while the mouse is over its header.
    QPointer<TCustomColumn> FPressedColumn;
    QPointer<TCustomColumn> FHotColumn;
    int FEditCol = -1;
    int FEditRow = -1;
    // One flag per row; a deque keeps removing the first row as cheap as
    // appending one.
    std::deque<std::uint8_t> FRowSelection;
    // How many of the flags are set: clearing a selection of none walks no
    // rows.
    int FSelectedRowCount = 0;

private:
    TBorderStyle FBorderStyle = bsSingle;
    AnsiString FCaption;
    TColumns* FColumns;
    TGridLinesStyle FGridLinesStyle = lsNormal;
    TGridStyle FGridStyle = gsReport;
    int FHeaderSize = 18;
    THeaderStyle FHeaderStyle = hsAuto;
    bool FHideScrollBar = true;
    int FInputSize = 16;
    TGridOptions FOptions = TGridOptions(goHeader) | goHighlightTextSelection;
    int FRowSize = 16;
    TSelectionMoveDirection FSelectionMoveDirection = mdDown;
    int FSlideSize = 80;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(TCustomGridViewControl::TGridState)
