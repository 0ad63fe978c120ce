#include "CustomGridView.h"

#include <QPointer>

TCustomGridView::TCustomGridView(QObject* owner) : TCustomGridViewControl(owner) {
    // A window of its own colour, not its parent's.
    SetParentColor(false);
    SetColor(clWindow);
    SetBounds(Left(), Top(), 250, 150);
}

TCustomGridView::~TCustomGridView() {
    // The editors go with the columns once the grid control below is freed.
    // The open one gets its own events back now, while this part of the
    // grid is still whole, and reports to it no more.
    ReleaseEditor();
    FState &= ~(TGridState(CellEditing) | InputRowEditing);
}

void TCustomGridView::SetColumns(TColumns* Value) {
    if (Value && Value != Columns()) {
        // Everything that may fail comes before the own columns go.
        std::vector<std::unique_ptr<TCustomColumn>> copies;
        for (int i = 0; i < Value->Count(); ++i) {
            const TCustomColumn* source = Value->Items(i);
            std::unique_ptr<QObject> made(
                CreateComponent(source->metaObject()->className(), nullptr));
            auto* column = qobject_cast<TCustomColumn*>(made.get());
            if (!column) continue;
            made.release();
            copies.emplace_back(column);
            column->Assign(source);
        }
        Columns()->Clear();
        for (auto& column : copies)
            Columns()->Add(column.release());
    }
    update();
}

bool TCustomGridView::ReadChild(QObject* child) {
    auto* column = qobject_cast<TCustomColumn*>(child);
    if (!column) return false;
    if (!FColumnsReadStarted) {
        FColumnsReadStarted = true;
        Columns()->Clear();
    }
    column->setParent(Columns());
    column->FColumns = Columns();
    return true;
}

void TCustomGridView::ChildRead(QObject* child, bool complete) {
    auto* column = qobject_cast<TCustomColumn*>(child);
    if (!column) return;
    if (complete) {
        try {
            Columns()->Add(column);
            return;
        } catch (...) {
            column->FColumns = nullptr;
            delete column;
            throw;
        }
    }
    // A column whose entry could not be read joins nothing.
    column->FColumns = nullptr;
    delete column;
}

std::vector<QObject*> TCustomGridView::StreamedChildren() const {
    std::vector<QObject*> children;
    for (int i = 0; i < Columns()->Count(); ++i)
        children.push_back(Columns()->Items(i));
    return children;
}

void TCustomGridView::Loaded() {
    TCustomGridViewControl::Loaded();
    FColumnsReadStarted = false;
}

// -------------------------------------------------------------------- input

void TCustomGridView::SelectRow(int Row) {
    if (Row < 0 || Row >= RowCount()) return;
    const QPointer<TCustomGridView> alive(this);
    const bool leavingInput = FInputActive;
    Select(FCol, Row, 0);
    if (!alive) return;
    // Select drew only the input cells while the input row was active: the
    // input row loses its active look and the new selection is drawn.
    if (leavingInput)
        SetInputActive(false);
    else
        FInputActive = false;
}

void TCustomGridView::MoveLeft() {
    const TCustomColumn* current = ColumnOf(FCol);
    if (!current) return;
    for (int p = 0; p < Columns()->Count(); ++p) {
        if (Columns()->DisplayItems(p) != current) continue;
        for (int q = p - 1; q >= 0; --q) {
            const TCustomColumn* column = Columns()->DisplayItems(q);
            if (column->Visible()) return Select(column->Index(), FRow, 0);
        }
        return;
    }
}

void TCustomGridView::MoveRight() {
    const TCustomColumn* current = ColumnOf(FCol);
    if (!current) return;
    for (int p = 0; p < Columns()->Count(); ++p) {
        if (Columns()->DisplayItems(p) != current) continue;
        for (int q = p + 1; q < Columns()->Count(); ++q) {
            const TCustomColumn* column = Columns()->DisplayItems(q);
            if (column->Visible()) return Select(column->Index(), FRow, 0);
        }
        return;
    }
}

void TCustomGridView::MoveBySelectionDirection() {
    switch (SelectionMoveDirection()) {
    case mdUp:
        SelectRow(FRow - 1);
        break;
    case mdDown:
        SelectRow(FRow + 1);
        break;
    case mdLeft:
        MoveLeft();
        break;
    case mdRight:
        MoveRight();
        break;
    case mdNone:
        break;
    }
}
