#pragma once
// The grid's cell store: one list of cells per column (index = row), with
// the cells of new rows and columns made of the class their column's value
// kind asks for; rows are appended, inserted, deleted, moved, cleared and
// sorted by one column. Every change of a cell's value or colour reaches the
// grid through one callback.
//
// Cells do not know where they stand: a lookup stamps the coordinates into
// the cell, so rows move by moving cell references, one shift per column,
// and nothing is renumbered.

#include "CellClasses.h"
#include "Classes.h"
#include "Columns.h"

#include <array>
#include <memory>
#include <random>
#include <unordered_map>
#include <vector>

class TCustomGridViewControl;

// The change report: the store, then the column and row of the cell.
using TCellsChangeEvent = TEvent<TCells*, int, int>;

class TCells {
public:
    // The most cell columns a store holds.
    static constexpr int MaxColumns = 1025;

    // An empty store of the grid, reading its columns from the collection.
    TCells(TCustomGridViewControl* Grid, TColumns* Columns);
    virtual ~TCells();
    TCells(const TCells&) = delete;
    TCells& operator=(const TCells&) = delete;

    // Set by the grid to its handler of changed cells.
    TCellsChangeEvent OnChange;

    TCustomGridViewControl* Grid() const { return FGrid; }
    TColumns* Columns() const { return FColumns; }
    int ColCount() const { return FColCount; }
    int RowCount() const { return FRowCount; }
    // The recorded sort: while Sorted(), the rows stand in the order of
    // SortCol() compared by SortType(), SortDescending() or not.
    bool Sorted() const { return FSorted; }
    int SortCol() const { return FSortCol; }
    TSortType SortType() const { return FSortType; }
    bool SortDescending() const { return FSortDescending; }

    // The cell at (Col, Row), which from now on reports its changes with
    // these coordinates. Raises "List index out of bounds (%d)" with the
    // column or the row for one outside the store.
    TCell* GetCell(int Col, int Row);

    // The column collection's structure notification: scAdded appends a
    // cell column for the collection's last column, scCleared removes all
    // columns (and so all rows). Other kinds leave the store alone.
    void SyncColumns(TColumnsChange Kind, int Index1, int Index2);

    // Appends Count rows of new cells after the last row.
    void AddRows(int Count);
    // Inserts a row of new cells at Row (0 .. RowCount); the rows from Row
    // on move down by one.
    void InsertRow(int Row);
    // Frees the cells of Row; the later rows move up by one.
    void DeleteRow(int Row);
    // Takes the row out at FromRow and puts it back in at ToRow.
    void MoveRow(int FromRow, int ToRow);
    // Frees every row; the columns stay.
    void ClearRows();
    // The row operations above raise "List index out of bounds (%d)" for a
    // row outside the store and then change nothing.

    // Sorts the rows by one column, ascending or descending in the order of
    // SortType. Repeating the recorded sort changes nothing, asking for its
    // other direction only reverses the rows. A key that cannot be read
    // raises its conversion error before any row has moved.
    void Sort(int Col, TSortType SortType, bool Descending);

    // Called by a cell whose value or colour changed: reports it and drops
    // the recorded sort.
    virtual void Changed(int Col, int Row);

    // The four numbers of an address key, g1 to g4 of "g1.g2.g3.g4": the
    // digits of each dot-separated group (other characters are skipped);
    // an empty text gives four zeros, groups after the fourth are read but
    // not kept. Raises the integer conversion error for a group without
    // digits or too large for 32 bits.
    static std::array<int, 4> ParseAddress(const AnsiString& Text);

protected:
    // Appends a cell column for the collection's column at index ColCount.
    // Raises EListError when the store already holds MaxColumns columns or
    // the collection has no such column.
    void AddColumn();
    void RemoveColumns();
    void SwapRows(int A, int B);
    void ReverseRows();
    // The pivot row of the quicksort between rows L and R (L < R): drawn
    // uniformly from L + 1 to R, never L itself.
    virtual int ChoosePivot(int L, int R);

private:
    friend class TCell;
    class TCellPool;
    struct TCellRelease {
        void operator()(TCell* Cell) const noexcept;
    };
    using TCellRef = std::unique_ptr<TCell, TCellRelease>;
    using TBlock = std::unique_ptr<TCell*[]>;

    // The cells of one column by row, owned: one block of references with
    // free room at both ends, so a row goes or comes at either end without
    // moving the others, and a row in between moves the shorter side.
    // Only the Reserve operations allocate; what follows them cannot fail.
    class TCellList {
    public:
        TCellList() = default;
        ~TCellList() { Clear(); }
        TCellList(TCellList&& Other) noexcept;
        TCellList& operator=(TCellList&& Other) noexcept;

        std::size_t Count() const { return FCount; }
        TCell* operator[](std::size_t Index) const { return FData[FHead + Index]; }

        // Room for Extra more cells at the end.
        void ReserveBack(std::size_t Extra);
        // Room for one more cell anywhere.
        void ReserveOne();
        void Append(TCellRef Cell) noexcept;
        void Insert(std::size_t Index, TCellRef Cell) noexcept;
        void Delete(std::size_t Index) noexcept;
        // Frees the cells from Count on.
        void Truncate(std::size_t Count) noexcept;
        void Move(std::size_t From, std::size_t To) noexcept;
        void Swap(std::size_t A, std::size_t B) noexcept;
        // Entry i becomes the cell now at Order[i] (counted from the end
        // when Reversed), in Block, which holds room for Count() cells.
        void Reorder(TBlock Block, const std::vector<int>& Order, bool Reversed) noexcept;
        // Frees every cell and the block.
        void Clear() noexcept;

    private:
        TCell** Begin() const { return FData.get() + FHead; }

        TBlock FData;
        std::size_t FCapacity = 0;
        std::size_t FHead = 0;
        std::size_t FCount = 0;
    };

    TCellRef CreateCell(TCellKind Kind, TColor Color);
    template <class T> TCellRef NewCell();
    void ReleaseCell(TCell* Cell) noexcept;
    void CheckRow(int Row, int Last) const;
    template <class Key, class Compare>
    void SortBy(std::vector<Key>& Keys, Compare Cmp, bool Descending);

    const TCellExtra& ExtraOf(const TCell* Cell) const;
    TCellExtra& ExtraFor(const TCell* Cell);
    void DropExtra(const TCell* Cell) noexcept;

    // Declared before the cell lists: they outlive every cell.
    std::unique_ptr<TCellPool> FPool;
    std::unordered_map<const TCell*, TCellExtra> FExtras;

    int FColCount = 0;
    TColumns* FColumns;
    std::array<TCellList, MaxColumns> FCols;
    int FRowCount = 0;
    bool FSorted = false;
    int FSortCol = 0;
    bool FSortDescending = false;
    TSortType FSortType = stAlphabetic;
    TCustomGridViewControl* FGrid;
    // The pivots' source, seeded the same in every store: equal rows come
    // out of a sort the same way from one run to the next.
    std::mt19937 FRandom{std::mt19937::default_seed};
};
