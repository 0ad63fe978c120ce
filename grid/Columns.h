#pragma once
// The grid's column collection and the base of every column type. So far
// they carry what the cell store reads of a column: its value kind, its
// background colour and how its values compare when the rows are sorted,
// and the collection's columns in the order they were added.

#include "Classes.h"
#include "Types.h"

#include <QObject>
#include <cstdint>
#include <vector>

class TColumns;

namespace GridColumns {
Q_NAMESPACE

// The kind of value a column's cells hold; it chooses the cell class.
enum TCellKind : std::uint8_t {
    ckIncrement,
    ckNone,
    ckGraphic,
    ckBoolean,
    ckDateTime,
    ckFloat,
    ckInteger,
    ckText
};
Q_ENUM_NS(TCellKind)

enum TSortType { stAlphabetic, stBoolean, stNumeric, stDate, stIP };
Q_ENUM_NS(TSortType)

// A change of the collection's structure. The collection itself appends
// columns and removes them all; the other kinds name changes of one column
// that a receiver may be told of.
enum TColumnsChange { scAdded = 0, scDeleted = 1, scCleared = 2, scInserted = 3, scMoved = 4 };
Q_ENUM_NS(TColumnsChange)

} // namespace GridColumns

using GridColumns::ckBoolean;
using GridColumns::ckDateTime;
using GridColumns::ckFloat;
using GridColumns::ckGraphic;
using GridColumns::ckIncrement;
using GridColumns::ckInteger;
using GridColumns::ckNone;
using GridColumns::ckText;
using GridColumns::TCellKind;

using GridColumns::stAlphabetic;
using GridColumns::stBoolean;
using GridColumns::stDate;
using GridColumns::stIP;
using GridColumns::stNumeric;
using GridColumns::TSortType;

using GridColumns::scAdded;
using GridColumns::scCleared;
using GridColumns::scDeleted;
using GridColumns::scInserted;
using GridColumns::scMoved;
using GridColumns::TColumnsChange;

// The structure notification: the collection, the kind, two column indices.
using TColumnsChangeEvent = TEvent<TColumns*, TColumnsChange, int, int>;

class TCustomColumn : public TComponent {
    Q_OBJECT
    Q_PROPERTY(int Color READ Color WRITE SetColor)
    Q_PROPERTY(GridColumns::TSortType SortType READ SortType WRITE SetSortType)
public:
    explicit TCustomColumn(QObject* Owner = nullptr);
    ~TCustomColumn() override;

    // The owning collection; null until the column is added to one.
    TColumns* Columns() const { return FColumns; }
    // The column's place in its collection's storage order (-1 outside one).
    int Index() const;

    TCellKind CellKind() const { return FCellKind; }
    virtual void SetCellKind(TCellKind Value);
    // The background colour of the column's new cells.
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    TSortType SortType() const { return FSortType; }
    void SetSortType(TSortType Value);

private:
    friend class TColumns;

    TColor FColor = clBlack;
    TCellKind FCellKind = ckText;
    TColumns* FColumns = nullptr;
    TSortType FSortType = stAlphabetic;
};

// Owns its columns (as their Qt parent) and keeps them in the order they
// were added; cells are addressed by that order.
class TColumns : public TComponent {
    Q_OBJECT
public:
    explicit TColumns(QObject* Grid = nullptr);
    ~TColumns() override;

    // Fired after a column was appended (scAdded) and after all columns
    // were removed (scCleared), with -1 for both indices.
    TColumnsChangeEvent OnCellsChange;

    int Count() const { return static_cast<int>(FItems.size()); }
    // Raises "List index out of bounds (%d)" outside 0 .. Count - 1.
    TCustomColumn* Items(int Index) const;
    int IndexOf(const TCustomColumn* Column) const;

    // Appends the column and takes it over.
    void Add(TCustomColumn* Column);
    // Frees every column, in storage order.
    void Clear();

private:
    void FreeItems();

    std::vector<TCustomColumn*> FItems;
};
