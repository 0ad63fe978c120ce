#include "Columns.h"

#include "SysUtils.h"

#include <algorithm>

// ------------------------------------------------------------ TCustomColumn

TCustomColumn::TCustomColumn(QObject* Owner) : TComponent(Owner) {
    SetCellKind(ckText);
}

TCustomColumn::~TCustomColumn() = default;

int TCustomColumn::Index() const {
    return FColumns ? FColumns->IndexOf(this) : -1;
}

void TCustomColumn::SetCellKind(TCellKind Value) {
    FCellKind = Value;
}

void TCustomColumn::SetColor(TColor Value) {
    FColor = Value;
}

void TCustomColumn::SetSortType(TSortType Value) {
    FSortType = Value;
}

// ----------------------------------------------------------------- TColumns

TColumns::TColumns(QObject* Grid) : TComponent(Grid) {}

TColumns::~TColumns() {
    FreeItems();
}

TCustomColumn* TColumns::Items(int Index) const {
    if (Index < 0 || Index >= Count()) ListIndexError(Index);
    return FItems[static_cast<std::size_t>(Index)];
}

int TColumns::IndexOf(const TCustomColumn* Column) const {
    const auto it = std::find(FItems.begin(), FItems.end(), Column);
    return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

void TColumns::Add(TCustomColumn* Column) {
    Column->setParent(this);
    Column->FColumns = this;
    FItems.push_back(Column);
    OnCellsChange(this, scAdded, -1, -1);
}

void TColumns::Clear() {
    FreeItems();
    OnCellsChange(this, scCleared, -1, -1);
}

void TColumns::FreeItems() {
    // Taken out of the list first, so nothing reaches a column being freed.
    std::vector<TCustomColumn*> items;
    items.swap(FItems);
    for (TCustomColumn* column : items)
        delete column;
}
