#pragma once
// The grid that windows place on their forms. Its ancestors scroll, lay out,
// paint, select and edit; this class adds the data: it owns the cell store
// that holds every value of the table, answers the data operations its
// ancestors call while they paint, edit and sort, keeps the control's row
// flags, painting and editor in step with every row operation, and shows the
// note of the cell under the pointer. Assistive tools read it as a table
// (GridAccessibility) and hear of every change of its rows and cells.
//
// Cells are addressed by (column index in storage order, row). Operations
// that check their indices (GetCellText, SetCellText, DeleteRow, InsertRow,
// MoveRow) ignore a cell outside the grid without a word; Cell raises the
// list error for a row outside it.
//
// The update lock (BeginUpdate ... EndUpdate) holds back the repaint and
// OnChange of every written cell and the per-row repaint of AddRows; the
// call list appends its row first (which asks for the row's repaint) and
// then writes the row's five cells under the lock.

#include "Cells.h"
#include "CustomGridView.h"
#include "Displays.h"

#include <memory>

class THintWindow;
class TGridAccessibility;

class TGridView : public TCustomGridView {
    Q_OBJECT
public:
    // The widest a cell's note is shown, in pixels.
    static constexpr int NoteMaxWidth = 250;

    explicit TGridView(QObject* owner = nullptr);
    ~TGridView() override;

    // --- the data of the control

    // The cell's text; empty for a cell outside the grid.
    WideString GetCellText(int ACol, int ARow) const override;
    // The cell's own background. Raises the list error for a cell outside
    // the store.
    TColor GetCellBackground(int ACol, int ARow) const override;
    int GetRowCount() const override;
    // The control's own preparation (font and text colour), then the cell's
    // value into the column's display, and the note mark of a cell that has
    // a note. Answers whether the display is to draw the content: true for
    // every kind of value but ckNone.
    bool PrepareCell(int ACol, int ARow) override;
    // Stores the text unless the cell shows it already (so an unchanged
    // text reports nothing); a cell outside the grid is ignored.
    void SetCellText(int ACol, int ARow, const WideString& Text) override;
    // Sorts the rows by the column when it has coCanSort; the open editor
    // closes in every case.
    void Sort(TCustomColumn* Column, bool Ascending) override;

    // --- row operations; each reports its change to the row flags

    // Appends Count rows (with the columns' default values under
    // goUseDefaultValues), repaints them and sets the vertical scroll bar.
    void AddRows(int Count) override;
    // Writes each total column's footer caption: the average, greatest
    // (from 0), least (from 0) or sum of its cells as numbers. A cell that
    // is no number raises its conversion error, and an average of no rows
    // the invalid floating-point operation; the footers after it keep their
    // captions then.
    void RecalcFooters() override;
    // Removes every row (the columns stay); the current cell stays where it
    // was.
    void Clear() override;
    // Removes the row; the later rows move up by one.
    void DeleteRow(int ARow) override;
    // Inserts an empty row at ARow (0 .. RowCount - 1); the current cell
    // moves down with its row.
    void InsertRow(int ARow) override;
    void MoveRow(int FromRow, int ToRow) override;
    // Appends Count empty rows without default values and without touching
    // the scroll bar.
    void AppendRows(int Count);

    // --- the column's play element (a check box that toggles in place)

    // The play's Boolean from its cell, for a Boolean column.
    virtual void LoadPlay(TColumnPlay* Play);
    // The play's Boolean into its cell, for a Boolean column. Sender must be
    // a play element: anything else raises EInvalidCast.
    virtual void StorePlay(QObject* Sender);
    // Points the column's play element at the cell, loads it and has its
    // changes stored back.
    void PreparePlay(int ACol, int ARow) override;

    // Registers the column classes a layout may name; the grid does it as
    // it is made.
    virtual void RegisterColumnClasses();

    // --- the data

    // The cell at (ACol, ARow); raises "List index out of bounds (%d)" for a
    // row (or column) outside the store.
    TCell* Cell(int ACol, int ARow) const;
    TCells* Cells() const { return FCells.get(); }
    THintWindow* NoteWindow() const { return FNoteWindow; }

    // --- selection and assistive tools

    // Moves the current cell as the control does and tells assistive tools
    // of the new current cell and selection.
    void Select(int Col, int Row, TShiftState Shift) override;
    // Every new layout sets the vertical bar; tools hear of the children
    // it changed.
    void UpdateVertScrollBar() override;
    // How many row flags are set.
    int SelectedRowCount() const { return FSelectedRowCount; }
    // The cell interfaces made for assistive tools and the grid's
    // announcements to them; null only while the grid is destroyed.
    TGridAccessibility* Accessibility() const { return FAccessibility.get(); }

protected:
    // The store's report of a changed value or colour: repaints the cell and
    // fires OnChange, unless the grid is locked for update.
    virtual void CellsChange(TCells* Sender, int ACol, int ARow);
    // The column collection's structure report: a cleared collection closes
    // the editor first (and drops the rows' flags with the rows); the store
    // follows the collection.
    virtual void ColumnsCellsChange(TColumns* Sender, TColumnsChange Kind, int Index1, int Index2);
    // A column moved, was shown or hidden, or changed its header: the table
    // assistive tools read changes with it.
    void ColumnChanged(TCustomColumn* Column, TColumnChange Kind) override;

    // Fits the columns with coAutoSize to the client width again.
    void FitColumns() override;
    // True while the grid's own hint for a clipped cell text is on screen;
    // the note then waits. That hint belongs to the grid's input handling.
    virtual bool CellHintShowing() const { return HintWindow()->HintShowing(); }

    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseLeave() override;
    void ScrollPositionChanged(int Kind) override;
    // The indicator came or went: tools hear of the children it changed.
    void LayoutChanged() override;
    void focusInEvent(QFocusEvent* event) override;

private:
    bool Outside(int ACol, int ARow) const;
    // The cell of the data area under a client point; false beside the
    // cells.
    bool CellAt(int X, int Y, int& ACol, int& ARow) const;
    void ShowNote(int ACol, int ARow);

    // Made first and let go of first: a tool may ask for the grid's table
    // while the note window is being made or freed.
    std::unique_ptr<TGridAccessibility> FAccessibility;
    std::unique_ptr<TCells> FCells;
    THintWindow* FNoteWindow; // owned as the grid's child
};

// ---- handing a cell to its column's display and play element
//
// A display carries the value of the cell at hand in one field per value
// kind (BoolValue, DateValue, FloatValue, IntValue, Text, Graphic); a play
// element also carries its cell (Col, Row), its Column and its OnChange.

template <class E>
concept TCellValueHolder = requires(E& e) {
    e.BoolValue;
    e.DateValue;
    e.FloatValue;
    e.IntValue;
    e.Text;
    e.Graphic;
};

template <class E>
concept TCellPlayElement = TCellValueHolder<E> && requires(E& e) {
    e.Col;
    e.Row;
    e.Column;
    e.OnChange;
};

// Copies what a cell of the kind shows into the element: the row's index for
// an increment column, the cell's picture for a graphic column, the value of
// the kind otherwise, nothing for ckNone. Answers whether something was
// copied. A conversion error of the cell passes through.
template <TCellValueHolder E>
bool LoadCellValue(E& Element, const TCell& Cell, TCellKind Kind, int Row) {
    switch (Kind) {
    case ckIncrement:
        Element.IntValue = Row;
        return true;
    case ckGraphic:
        Element.Graphic = Cell.Graphic();
        return true;
    case ckBoolean:
        Element.BoolValue = Cell.GetAsBoolean();
        return true;
    case ckDateTime:
        Element.DateValue = Cell.GetAsDateTime();
        return true;
    case ckFloat:
        Element.FloatValue = Cell.GetAsFloat();
        return true;
    case ckInteger:
        Element.IntValue = Cell.GetAsInteger();
        return true;
    case ckText:
        Cell.GetAsWideString(Element.Text);
        return true;
    case ckNone:
        break;
    }
    return false;
}

// Loads the display for the cell and, for a cell with a note, draws the
// note mark.
template <TCellValueHolder D>
void LoadDisplay(D& Display, const TCell& Cell, TCellKind Kind, int Row) {
    if (LoadCellValue(Display, Cell, Kind, Row) && !Cell.Note().isEmpty()) Display.DrawNoteMark();
}

// The play's Boolean from (LoadPlayValue) or into (StorePlayValue) the cell
// it points at, for a Boolean column; a cell outside the grid is left alone.
template <TCellPlayElement P> void LoadPlayValue(P& Play, const TGridView& Grid) {
    if (!Play.Column || Play.Column->CellKind() != ckBoolean) return;
    if (Play.Row < 0 || Play.Row >= Grid.GetRowCount() || Play.Col < 0 ||
        Play.Col >= Grid.Cells()->ColCount())
        return;
    Play.BoolValue = Grid.Cell(Play.Col, Play.Row)->GetAsBoolean();
}

template <TCellPlayElement P> void StorePlayValue(P& Play, const TGridView& Grid) {
    if (!Play.Column || Play.Column->CellKind() != ckBoolean) return;
    if (Play.Row < 0 || Play.Row >= Grid.GetRowCount() || Play.Col < 0 ||
        Play.Col >= Grid.Cells()->ColCount())
        return;
    Grid.Cell(Play.Col, Play.Row)->SetAsBoolean(Play.BoolValue);
}
