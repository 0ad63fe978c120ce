#include "CustomGridView.h"

TCustomGridView::TCustomGridView(QObject* owner)
    : TCustomGridViewControl(owner), FColumns(new TColumns(this)) {
    FColumns->OnColumnChange = [this](TColumns*, TCustomColumn* column, TColumnChange kind) {
        ColumnChanged(column, kind);
    };
    FColumns->OnStructureChange = [this](TColumns*, TColumnsChange kind, int, int) {
        ColumnsChanged(kind);
    };
}

TCustomGridView::~TCustomGridView() {
    // Freed while the grid is still whole: the columns' companions may
    // stand on it.
    delete FColumns;
}

void TCustomGridView::SetColumns(TColumns* Value) {
    if (Value && Value != FColumns) {
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
        FColumns->Clear();
        for (auto& column : copies)
            FColumns->Add(column.release());
    }
    update();
}

bool TCustomGridView::ReadChild(QObject* child) {
    auto* column = qobject_cast<TCustomColumn*>(child);
    if (!column) return false;
    if (!FColumnsReadStarted) {
        FColumnsReadStarted = true;
        FColumns->Clear();
    }
    column->setParent(FColumns);
    column->FColumns = FColumns;
    return true;
}

void TCustomGridView::ChildRead(QObject* child, bool complete) {
    auto* column = qobject_cast<TCustomColumn*>(child);
    if (!column) return;
    if (complete) {
        try {
            FColumns->Add(column);
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
    for (int i = 0; i < FColumns->Count(); ++i)
        children.push_back(FColumns->Items(i));
    return children;
}

void TCustomGridView::Loaded() {
    TCustomGridViewControl::Loaded();
    FColumnsReadStarted = false;
}
