#include "CustomGridView.h"

TCustomGridView::TCustomGridView(QObject* owner) : TCustomGridViewControl(owner) {
    // A window of its own colour, not its parent's.
    SetParentColor(false);
    SetColor(clWindow);
    SetBounds(Left(), Top(), 250, 150);
}

TCustomGridView::~TCustomGridView() = default;

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
