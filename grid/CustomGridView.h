#pragma once
// The grid with input and in-place editing over the grid control. It lays a
// column's own editor over a data cell or over the column's cell in the
// input row, feeds it the cell's text, stores the value back and closes it;
// it takes over the editor's key and focus events while it is open, and
// turns the input row into a new data row.
//
// It also carries its column collection as a layout reads and writes it:
// the stored columns are the grid's unnamed children, appended to the
// collection in the order they stand, and the grid hands them out in that
// order again.

#include "CellEditors.h"
#include "ColumnDragBox.h"
#include "Columns.h"
#include "CustomGridViewControl.h"
#include "ExtCtrls.h"
#include "HintWindow.h"

#include <QImage>
#include <QMetaObject>
#include <memory>

// The grid's own cursors.
constexpr int crHorzSplit = 3000;       // over a column's right edge in the header
constexpr int crColumnNoDrag = 3001;    // a dragged column outside the place it can go
constexpr int crIndicatorSelect = 3006; // over the indicator column

// A wheel notch down or up at a client point; a handler sets Handled when
// it took the notch.
using TMouseWheelUpDownEvent = TEvent<QObject*, TShiftState, const TPoint&, bool&>;

// A cell of the grid: a column index in storage order and a row.
struct TGridCell {
    int Col = -1;
    int Row = -1;
    friend constexpr bool operator==(const TGridCell&, const TGridCell&) = default;
};

class TCustomGridView : public TCustomGridViewControl {
    Q_OBJECT
    Q_PROPERTY(TColumns* Columns READ Columns WRITE SetColumns)
    Q_PROPERTY(bool WantReturns READ WantReturns WRITE SetWantReturns)
public:
    explicit TCustomGridView(QObject* owner = nullptr);
    ~TCustomGridView() override;

    // The grid keeps its own collection: the given one's columns are copied
    // into it (each a new column of the same class with the same settings),
    // then the grid repaints. Its own collection or none only repaints.
    void SetColumns(TColumns* Value);

    // Enter typed on the grid moves the current cell by
    // SelectionMoveDirection; without it the grid swallows Enter.
    bool WantReturns() const { return FWantReturns; }
    void SetWantReturns(bool Value) { FWantReturns = Value; }

    // --- in-place editing

    // Opens the column's editor on the data cell (Col, Row): with
    // InitialText as its whole text when that is not empty, else with the
    // cell's text. Nothing for the cell already edited, a cell outside the
    // grid, a refusal of OnBeforeEdit, or a column without coEditing or
    // without an editor. Any other open editor is stored and closed first.
    void StartEdit(int Col, int Row, const WideString& InitialText);
    // Makes the input row active with Column current, and opens the
    // column's editor on its input cell when it has coCanInput and an
    // editor: with InitialText when not empty, else the column's InputValue.
    void StartInputEdit(TCustomColumn* Column, const WideString& InitialText);
    // Moves the open editor onto its cell and gives it the keyboard. A data
    // cell scrolled above the data area leaves the editor open but
    // invisible; its value is still stored by the next AcceptEdit.
    void UpdateEditor() override;
    // Stores the open editor's value: a data cell's through OnAfterEdit and
    // SetCellText, an input cell's into its column's InputValue. Answers
    // whether a data-cell value was stored or an input value taken; an
    // unchanged or refused value stores nothing and answers False.
    bool AcceptEdit() override;
    // Closes the open editor without storing its value. The editor stays
    // with its column; when it held the keyboard the grid takes it.
    void HideEditor() override;
    // Turns the input row into a new last row, unless OnInputAccept
    // refuses: each column's InputValue (or its DefaultValue when that is
    // empty) is stored into the row, then the InputValue is reset to the
    // DefaultValue. Answers whether the row was appended.
    bool InputAccept();

    // A column entry of a layout: before its properties are read the column
    // is given the collection (its setters reach the other columns), and
    // once they are read it is appended. Anything else is no child of a
    // grid.
    bool ReadChild(QObject* child) override;
    void ChildRead(QObject* child, bool complete) override;
    std::vector<QObject*> StreamedChildren() const override;
    void Loaded() override;

    // --- input

    void KeyDown(int& Key, TShiftState Shift) override;
    void KeyPress(QChar& Key) override;
    // The wheel scrolls the rows, a page of them with Ctrl held, after the
    // wheel events; the current cell stays. While a data-cell editor is
    // open the wheel is not the grid's.
    bool DoMouseWheel(TShiftState Shift, int WheelDelta, const TPoint& MousePos) override;
    // The wheel events' dispatch, one notch each; they answer whether a
    // handler took the notch (the grid scrolls all the same).
    virtual bool DoMouseWheelDown(TShiftState Shift, const TPoint& MousePos);
    virtual bool DoMouseWheelUp(TShiftState Shift, const TPoint& MousePos);
    TMouseWheelUpDownEvent OnMouseWheelDown;
    TMouseWheelUpDownEvent OnMouseWheelUp;

    // OnEnter, then the indicator is repainted.
    void DoEnter() override;
    // An open editor is stored and closed first, then OnExit. The keyboard
    // going into the grid's own editor is no exit (nor its coming back an
    // enter): the grid and its editor still hold it.
    void DoExit() override;
    // A vertical scroll closes an open data-cell editor without storing
    // it; a horizontal one closes any editor and repaints the focus frame
    // at its new place.
    void WMVScroll(int Code) override;
    void WMHScroll(int Code) override;
    // The client area changed size: the footer and the uncovered strips are
    // repainted, the auto-size columns fitted to the new width, the bars
    // set again and an open data-cell editor closed.
    void WMSize() override;

    // Scrolls so that the row is in view when it is not: it becomes the top
    // row.
    void ScrollIntoView(int Row);
    // The columns with coAutoSize share the client width right of the
    // indicator in proportion to their widths.
    virtual void FitColumns();
    // Points the column's play element at the cell before it is handed a
    // key or a click; the data grid also loads the cell's value into it.
    virtual void PreparePlay(int ACol, int ARow);

    // The typed prefix of the incremental search, and the timer that empties
    // it half a second after the last character.
    const WideString& SearchText() const { return FSearchText; }
    TTimer* SearchTimer() const { return FSearchTimer; }

    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

    void MouseMove(TShiftState Shift, int X, int Y) override;
    // Only a double click inside the data area is reported.
    void DblClick() override;
    void MouseLeave() override;

    // Shows the tool-tip with the cell's whole text when the column has
    // coShowTextFitHint and the text does not fit the cell; else hides it.
    void ShowCellHint(int Col, int Row);
    // The application got (True) or lost the activation. Losing it
    // abandons every mouse gesture under way; either way the selection is
    // repainted.
    virtual void WMActivateApp(bool Active);
    // The drag box's reports of a dragged column, in screen coordinates.
    void ColumnDragMove(int X, int Y);
    void ColumnDragDrop(int X, int Y);

    // The column whose right edge lies within 2 pixels of a point of the
    // header (first in display order, visible, without coFixedSize).
    TCustomColumn* ColumnEdgeAt(int X, int Y) const;

    // --- the state of the mouse gestures
    TColumnDragBox* DragBox() const { return FDragBox.get(); }
    TDragArrow* DragArrowTop() const { return FDragArrowTop.get(); }
    TDragArrow* DragArrowBottom() const { return FDragArrowBottom.get(); }
    THintWindow* HintWindow() const { return FHintWindow.get(); }
    TCustomColumn* DownColumn() const { return FDownColumn; }
    TCustomColumn* DropColumn() const { return FDropColumn; }
    TCustomColumn* ResizeColumn() const { return FResizeColumn; }
    TCustomColumn* EdgeColumn() const { return FEdgeColumn; }
    int ResizeDelta() const { return FResizeDelta; }
    TPoint DownPoint() const { return FDownPoint; }
    TGridCell HintCell() const { return FHintCell; }

protected:
    // While a column edge is dragged the grid is not drawn anew: what was
    // on screen stays, with the two inverted lines over it.
    void Paint() override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

public:
    // The band under a client point (the gp… codes), 0 for none.
    int BandAt(int X, int Y) const;
    // The cell under a client point of the data area: the visible column
    // whose extent holds X (-1 beside all columns) and the row.
    TGridCell CellAt(int X, int Y) const;
    // The cell under the last left or right button press, (-1, -1) for none.
    TGridCell MouseCell() const { return FMouseCell; }

    // The current cell to an existing row (the input row stops being
    // active); other rows are ignored.
    void SelectRow(int Row);
    // The current cell to the nearest visible column left or right of it
    // in display order; nothing at either end.
    void MoveLeft();
    void MoveRight();
    // Moves the current cell the way Enter does.
    void MoveBySelectionDirection();

private:
    // Hands the open editor's key, focus and (for a data cell) value events
    // to the grid, keeping the editor's own to give back.
    void TakeOverEditor(TCellEditor* Editor, bool WithEdit);
    // Gives the editor its own events back and forgets it.
    void ReleaseEditor();
    // Drops every reference to the editor and its saved events.
    void ForgetEditor();
    // The open editor went with its column (all columns are cleared, or the
    // grid's own collection is replaced): the grid forgets it without
    // touching it.
    void EditorDestroyed();
    // The editor's taken-over events.
    void EditorKeyDown(TCellEditor* Editor, int& Key, TShiftState Shift);
    void EditorFocusChanged();
    // The editor gets the grid as its parent and the settings every open
    // editor shares.
    void AttachEditor(TCellEditor* Editor);
    // Activates the open editor and, when asked, selects its whole text.
    void ActivateEditor(TCellEditor* Editor, bool Select);
    TCustomColumn* ColumnOf(int Col) const;

    // The layouts' columns replace those the grid had: the first column
    // read empties the collection.
    bool FColumnsReadStarted = false;
    bool FWantReturns = false;
    TGridCell FMouseCell;
    int FLastClientHeight = 0;
    int FLastClientWidth = 0;
    WideString FSearchText;
    TTimer* FSearchTimer = SetUpKeyboard(); // owned as the grid's child
    // Wheel turns of less than a notch, kept for the next turn.
    int FWheelRemainder = 0;
    // The grid gave the keyboard to its own editor.
    bool FFocusInEditor = false;

    // Registers the wheel events and makes the search timer.
    TTimer* SetUpKeyboard();
    // The first column (index order) with coSearchColumn, -1 for none.
    int SearchColumn() const;
    // Adds the character to the search text and makes the next row whose
    // search-column text starts with it current.
    void IncrementalSearch(QChar Key);

    // The editor's own events while the grid holds them.
    TEditEvent FSavedOnEdit;
    TNotifyEvent FSavedOnEnter;
    TNotifyEvent FSavedOnExit;
    TKeyEvent FSavedOnKeyDown;
    bool FEditTaken = false;
    QMetaObject::Connection FEditorGone;

    // --- mouse gestures

    std::unique_ptr<TColumnDragBox> MakeDragBox();
    std::unique_ptr<TDragArrow> MakeDragArrow(std::uint8_t Direction);
    std::unique_ptr<QObject> WatchActivation();
    void PressData(TShiftState Shift, int X, int Y);
    void PressHeader(int X, int Y);
    void StartResize(TCustomColumn* Column);
    // The two lines of a column resize: where they stand now.
    void ResizeLines(int& First, int& Second) const;
    void InvalidateResizeLines();
    void StartColumnDrag(int X, int Y);
    void ClearHotColumn();
    void HideCellHint();
    // The pointer shape over the grid: one of the cursor numbers, the
    // grid's own Cursor for crDefault.
    void ShowPointer(int Cursor);
    void HideDragArrows();
    // The visible column under a client x, null beside all columns.
    TCustomColumn* ColumnAtX(int X) const;
    // The column's place in the display order.
    int DisplayPlace(const TCustomColumn* Column) const;

    std::unique_ptr<TColumnDragBox> FDragBox = MakeDragBox();
    std::unique_ptr<TDragArrow> FDragArrowTop = MakeDragArrow(TDragArrow::daDown);
    QPointer<TCustomColumn> FDropColumn;
    QPointer<TCustomColumn> FDownColumn;
    TPoint FDownPoint{-1, -1};
    int FResizeDelta = 0;
    QPointer<TCustomColumn> FResizeColumn;
    QPointer<TCustomColumn> FEdgeColumn;
    std::unique_ptr<TDragArrow> FDragArrowBottom = MakeDragArrow(TDragArrow::daUp);
    TGridCell FHintCell;
    std::unique_ptr<THintWindow> FHintWindow = std::make_unique<THintWindow>(this);
    // What the client area showed when the resize started.
    QImage FResizeBackdrop;
    // The last press (a second one soon after on the same spot is the
    // second press of a double click) and where the double click was.
    quint64 FLastPressTime = 0;
    Qt::MouseButton FLastPressButton = Qt::NoButton;
    QPoint FLastPressPos;
    TPoint FDblClickPoint{-1, -1};
    std::unique_ptr<QObject> FActivationWatch = WatchActivation();
};
