// In-place editing: the grid borrows a column's editor, lays it over a data
// cell or the column's input cell, feeds it the text, stores the value back
// and hides it again. Every event handler it fires may free the grid, the
// columns or the editor, so after each one the grid checks what is left.

#include "CustomGridView.h"

#include <QApplication>
#include <QPointer>

namespace {

// The grid's guard against handlers that free it.
using TGridGuard = QPointer<TCustomGridView>;

} // namespace

TCustomColumn* TCustomGridView::ColumnOf(int Col) const {
    if (Col < 0 || Col >= Columns()->Count()) return nullptr;
    return Columns()->Items(Col);
}

void TCustomGridView::AttachEditor(TCellEditor* Editor) {
    if (Editor->ParentControl() != this) Editor->SetParentControl(this);
}

void TCustomGridView::TakeOverEditor(TCellEditor* Editor, bool WithEdit) {
    FSavedOnEnter = Editor->OnEnter;
    FSavedOnExit = Editor->OnExit;
    FSavedOnKeyDown = Editor->OnKeyDown;
    Editor->OnEnter = [this](QObject*) { EditorFocusChanged(); };
    Editor->OnExit = [this](QObject*) { EditorFocusChanged(); };
    Editor->OnKeyDown = [this, Editor](QObject*, int& Key, TShiftState Shift) {
        EditorKeyDown(Editor, Key, Shift);
    };
    FEditTaken = WithEdit;
    if (WithEdit) {
        FSavedOnEdit = Editor->OnEdit;
        // The editor reports an assigned value (the cell's text when it
        // opens, a choice from its list) in the system code page.
        Editor->OnEdit = [this](QObject*, const AnsiString& Value) {
            if (FState.testFlag(CellEditing)) DoEdit(FEditCol, FEditRow, AnsiToWide(Value));
        };
    }
    FEditorGone = connect(Editor, &QObject::destroyed, this, [this] { EditorDestroyed(); });
}

void TCustomGridView::ReleaseEditor() {
    // Only events the grid took over are given back.
    const bool taken = static_cast<bool>(FEditorGone);
    if (taken) disconnect(FEditorGone);
    if (TCellEditor* editor = FEditor; editor && taken) {
        editor->OnEnter = FSavedOnEnter;
        editor->OnExit = FSavedOnExit;
        editor->OnKeyDown = FSavedOnKeyDown;
        if (FEditTaken) editor->OnEdit = FSavedOnEdit;
    }
    ForgetEditor();
}

void TCustomGridView::ForgetEditor() {
    FEditorGone = {};
    FSavedOnEnter.Clear();
    FSavedOnExit.Clear();
    FSavedOnKeyDown.Clear();
    FSavedOnEdit.Clear();
    FEditTaken = false;
    FEditor = nullptr;
}

void TCustomGridView::EditorDestroyed() {
    // The guarded FEditor is empty already. The columns' lists are emptied
    // before any column goes, so looking a column up finds none that is
    // being freed.
    ForgetEditor();
    if (TCustomColumn* column = ColumnOf(FInputColumn)) column->SetInputEditing(false);
    FState &= ~(TGridState(CellEditing) | InputRowEditing);
    FEditCol = -1;
    FEditRow = -1;
    FInputColumn = -1;
    Invalidate();
    // A freed editor that held the keyboard leaves the window without a
    // focused control; the grid takes it back once whatever freed the
    // editor is over.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (!QApplication::focusWidget() && isVisible() && isActiveWindow()) setFocus();
        },
        Qt::QueuedConnection);
}

void TCustomGridView::EditorFocusChanged() {
    // The selection is drawn in other colours once neither the grid nor its
    // editor holds the keyboard. The keyboard coming back later comes from
    // elsewhere: the grid hears it as an enter.
    if (!GridFocused()) {
        FFocusInEditor = false;
        Invalidate();
    }
}

void TCustomGridView::EditorKeyDown(TCellEditor* Editor, int& Key, TShiftState Shift) {
    if (Editor != FEditor) return;
    const TGridGuard alive(this);
    switch (Key) {
    case VK_RETURN:
        Key = 0;
        if (FState.testFlag(CellEditing)) {
            AcceptEdit();
            if (!alive) return;
            HideEditor();
            if (!alive) return;
            setFocus();
            if (!alive) return;
            // Enter in an editor always moves on, whatever WantReturns says.
            MoveBySelectionDirection();
        } else if (FState.testFlag(InputRowEditing)) {
            const QPointer<TCellEditor> editor(Editor);
            const int inputColumn = FInputColumn;
            AcceptEdit();
            if (!alive || !editor) return;
            const bool appended = InputAccept();
            if (!alive || !editor || FEditor != editor.data()) return;
            // The input editor stays open for the next entry: emptied when
            // the row was taken, keeping the typed value when it was refused.
            if (appended) editor->ClearValue();
            if (!alive || !editor || FEditor != editor.data()) return;
            if (TCustomColumn* column = ColumnOf(inputColumn);
                column && inputColumn == FInputColumn)
                column->SetInputEditing(true);
            editor->SelectAll();
        }
        return;
    case VK_ESCAPE:
        Key = 0;
        HideEditor();
        if (!alive) return;
        setFocus();
        return;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
        // A check box has no use for the arrows: they leave it and move on
        // in the grid. Every other editor keeps them.
        if (!qobject_cast<TCheckBoxEditor*>(Editor)) return;
        {
            int key = Key;
            Key = 0;
            HideEditor();
            if (!alive) return;
            KeyDown(key, Shift);
        }
        return;
    default:
        return;
    }
}

void TCustomGridView::ActivateEditor(TCellEditor* Editor, bool Select) {
    const QPointer<TCellEditor> editor(Editor);
    Editor->Activate();
    if (Select && editor) editor->SelectAll();
}

// ------------------------------------------------------------------ opening

void TCustomGridView::StartEdit(int Col, int Row, const WideString& InitialText) {
    if (FState.testFlag(CellEditing) && Col == FEditCol && Row == FEditRow) return;
    if (Col < 0 || Row < 0 || Row >= RowCount() || Col >= Columns()->Count()) return;
    const TGridGuard alive(this);
    bool accept = true;
    DoBeforeEdit(Col, Row, accept);
    if (!alive || !accept) return;
    TCustomColumn* column = ColumnOf(Col);
    if (!column || !column->Options().testFlag(coEditing) || !column->Editor()) return;

    AcceptEdit();
    if (!alive) return;
    HideEditor();
    if (!alive) return;
    // Storing the other value ran handlers: the cell, its column and its
    // editor must still be there, and no handler may have opened another.
    column = ColumnOf(Col);
    if (FEditor || !column || Row >= RowCount() || !column->Options().testFlag(coEditing)) return;
    TCellEditor* editor = column->Editor();
    if (!editor) return;
    const WideString text = InitialText.isEmpty() ? GetCellText(Col, Row) : InitialText;
    // A typed first character is kept, not selected: the next one typed
    // goes after it instead of replacing it.
    const bool selectAll = InitialText.isEmpty() && column->Options().testFlag(coEditorAutoSelect);

    FEditor = editor;
    FState |= CellEditing;
    editor->SetBorderStyle(TWinControl::bsNone);
    AttachEditor(editor);
    editor->SetAlignment(column->Alignment());
    editor->SetMargin(-1);
    editor->SetVerticalAlignment(column->VerticalAlignment());
    editor->SetBiDiMode(BiDiMode());
    TakeOverEditor(editor, true);
    editor->SetColor(GetCellBackground(Col, Row));
    column->PrepareEditor();
    editor->Font()->SetColor(column->Font()->Color());
    FEditCol = Col;
    FEditRow = Row;

    const QPointer<TCellEditor> open(editor);
    editor->SetValue(text);
    if (!alive || !open || FEditor != editor) return;
    UpdateEditor();
    if (!alive || !open || FEditor != editor) return;
    ActivateEditor(editor, selectAll);
}

void TCustomGridView::StartInputEdit(TCustomColumn* Column, const WideString& InitialText) {
    if (!Column || Columns()->IndexOf(Column) < 0) return;
    const TGridGuard alive(this);
    const QPointer<TCustomColumn> column(Column);
    SetInputActive(true);
    Select(Columns()->IndexOf(Column), FRow, 0);
    if (!alive || !column) return;
    if (!Column->Options().testFlag(coCanInput) || !Column->Editor()) return;

    AcceptEdit();
    if (!alive || !column) return;
    HideEditor();
    if (!alive || !column || FEditor) return;
    const int index = Columns()->IndexOf(Column);
    TCellEditor* editor = Column->Editor();
    if (index < 0 || !editor) return;
    const WideString text = InitialText.isEmpty() ? Column->InputValue() : InitialText;
    const bool selectAll = InitialText.isEmpty() && Column->Options().testFlag(coEditorAutoSelect);

    FEditor = editor;
    FState |= InputRowEditing;
    AttachEditor(editor);
    Column->PrepareEditor();
    editor->SetAlignment(Column->Alignment());
    editor->SetMargin(0);
    editor->SetBorderStyle(TWinControl::bsNone);
    editor->SetColor(Column->Color());
    editor->SetVerticalAlignment(Column->VerticalAlignment());
    TakeOverEditor(editor, false);
    editor->Font()->SetColor(Column->Font()->Color());
    FInputColumn = index;
    Column->SetInputEditing(true);

    const QPointer<TCellEditor> open(editor);
    editor->SetValue(text);
    if (!alive || !open || FEditor != editor) return;
    FEditCol = -1;
    FEditRow = -1;
    UpdateEditor();
    if (!alive || !open || FEditor != editor) return;
    ActivateEditor(editor, selectAll);
}

// ---------------------------------------------------------------- placing

void TCustomGridView::UpdateEditor() {
    TCellEditor* editor = FEditor;
    if (!editor) return;
    TRect r;
    bool shown = true;
    if (FState.testFlag(CellEditing)) {
        r = GetCellRect(FEditCol, FEditRow, gpData);
        // A row scrolled out at the top keeps its editor open, unseen; so
        // does a column that was hidden meanwhile.
        const TCustomColumn* column = ColumnOf(FEditCol);
        shown = r.Top >= GetDataRect().Top && column && column->Visible();
    } else if (FState.testFlag(InputRowEditing)) {
        r = GetCellRect(FInputColumn, 0, gpInput);
        const TCustomColumn* column = ColumnOf(FInputColumn);
        shown =
            Options().testFlag(goInput) && GridStyle() == gsReport && column && column->Visible();
    } else {
        return;
    }
    const TGridGuard alive(this);
    const QPointer<TCellEditor> open(editor);
    if (!shown) {
        // Qt would hand the keyboard of a hidden editor to whatever comes
        // next; it stays with the grid.
        if (EditorFocused()) {
            setFocus();
            if (!alive || !open || FEditor != editor) return;
        }
        editor->SetVisible(false);
        return;
    }
    r = Rect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
    // Never over the indicator column.
    r.Left = std::max(r.Left, 0);
    r.Left = std::max(r.Left, GetDataRect().Left);
    editor->SetBounds(r.Left, r.Top, std::max(0, r.Width()), std::max(0, r.Height()));
    editor->raise();
    editor->SetVisible(true);
    if (!open || FEditor != editor) return;
    editor->setFocus();
}

// ---------------------------------------------------------------- storing

bool TCustomGridView::AcceptEdit() {
    TCellEditor* editor = FEditor;
    if (!editor) return false;
    if (FState.testFlag(CellEditing)) {
        const int col = FEditCol;
        const int row = FEditRow;
        const WideString value = editor->GetValue();
        if (value == GetCellText(col, row)) return false;
        bool accept = true;
        const TGridGuard alive(this);
        DoAfterEdit(col, row, value, accept);
        if (!alive || !accept) return false;
        // The handler may have taken the row or the column away.
        if (RowCount() == 0 || row >= RowCount() || !ColumnOf(col)) return false;
        SetCellText(col, row, value);
        return true;
    }
    if (FState.testFlag(InputRowEditing)) {
        TCustomColumn* column = ColumnOf(FInputColumn);
        if (!column) return false;
        const WideString value = editor->GetValue();
        column->SetInputEditing(false);
        column->SetInputValue(value);
        return true;
    }
    return false;
}

bool TCustomGridView::InputAccept() {
    bool accept = true;
    const TGridGuard alive(this);
    DoInputAccept(accept);
    if (!alive || !accept) return false;
    AddRows(1);
    if (!alive) return false;
    const int row = RowCount() - 1;
    // Storing a value reports the change: each column is looked up again
    // after it.
    for (int i = 0; i < Columns()->Count(); ++i) {
        const TCustomColumn* column = Columns()->Items(i);
        WideString value = column->InputValue();
        if (value.isEmpty()) value = column->DefaultValue();
        if (!value.isEmpty()) {
            SetCellText(i, row, value);
            if (!alive) return true;
            if (i >= Columns()->Count()) break;
        }
        TCustomColumn* stored = Columns()->Items(i);
        stored->SetInputValue(stored->DefaultValue());
        if (!alive) return true;
    }
    return true;
}

// ----------------------------------------------------------------- closing

void TCustomGridView::HideEditor() {
    if (!FEditor && !(FState & (TGridState(CellEditing) | InputRowEditing))) return;
    const TGridGuard alive(this);
    TCellEditor* editor = FEditor;
    if (editor && EditorFocused()) {
        // The keyboard goes back to the grid, not to the next control.
        setFocus();
        if (!alive || FEditor != editor) return;
    }
    if (editor) editor->SetVisible(false);
    if (FState.testFlag(CellEditing))
        InvalidateCell(FEditCol, FEditRow);
    else if (TCustomColumn* column = ColumnOf(FInputColumn))
        InvalidateColumnPart(column, gpInput);
    FState &= ~(TGridState(CellEditing) | InputRowEditing);
    FEditCol = -1;
    FEditRow = -1;
    if (TCustomColumn* column = ColumnOf(FInputColumn)) column->SetInputEditing(false);
    FInputColumn = -1;
    ReleaseEditor();
}
