#include "Cells.h"

#include "Exceptions.h"
#include "SysUtils.h"

#include <QStringView>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <new>
#include <string>
#include <sys/mman.h>
#include <utility>

#if defined(__SANITIZE_ADDRESS__)
#define CALLERID_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define CALLERID_ASAN 1
#endif
#endif
#ifndef CALLERID_ASAN
#define CALLERID_ASAN 0
#endif
#if CALLERID_ASAN
#include <sanitizer/asan_interface.h>
#endif

// ---------------------------------------------------------------- TCellPool

// The cells' memory: blocks of equal slots per cell size, so a cell costs
// its own size and no heap block of its own. A freed slot is reused by the
// next cell of its size; when the last cell goes, the blocks go too.
class TCells::TCellPool {
public:
    static constexpr std::size_t Granule = 8;
    static constexpr std::size_t MaxSize = 64;

    ~TCellPool() { FreeBlocks(); }

    void* Allocate(std::size_t Size) {
        TSizeClass& c = FClasses[Index(Size)];
        const std::size_t slotSize = Index(Size) * Granule;
        void* slot = nullptr;
        if (c.Free) {
            slot = c.Free;
            Unpoison(slot, slotSize);
            c.Free = c.Free->Next;
        } else {
            if (c.Next == c.End) NewBlock(c, slotSize);
            slot = c.Next;
            c.Next += slotSize;
            Unpoison(slot, slotSize);
        }
        ++FLive;
        return slot;
    }

    void Release(void* Slot, std::size_t Size) noexcept {
        TSizeClass& c = FClasses[Index(Size)];
        c.Free = ::new (Slot) TFreeSlot{c.Free};
        Poison(Slot, Index(Size) * Granule);
        if (--FLive == 0) {
            FClasses = {};
            FreeBlocks();
        }
    }

private:
    struct TFreeSlot {
        TFreeSlot* Next;
    };
    struct TSizeClass {
        TFreeSlot* Free = nullptr;
        std::byte* Next = nullptr;
        std::byte* End = nullptr;
        std::size_t BlockSlots = 32;
    };
    struct TBlock {
        std::byte* Memory;
        std::size_t Size;
        std::size_t Align;
    };

    static constexpr std::size_t LargePage = 2 << 20;

    static std::size_t Index(std::size_t Size) { return (Size + Granule - 1) / Granule; }

    // Under the address sanitizer a free slot is out of bounds, so a cell
    // used after its row went is caught as it would be on the heap.
    static void Poison(void* Memory, std::size_t Size) noexcept {
#if CALLERID_ASAN
        ASAN_POISON_MEMORY_REGION(Memory, Size);
#else
        (void)Memory;
        (void)Size;
#endif
    }
    static void Unpoison(void* Memory, std::size_t Size) noexcept {
#if CALLERID_ASAN
        ASAN_UNPOISON_MEMORY_REGION(Memory, Size);
#else
        (void)Memory;
        (void)Size;
#endif
    }

    // Blocks double from a few slots up to one large page; a large store
    // then faults its cells in a page at a time instead of 4 KiB at a time.
    void NewBlock(TSizeClass& c, std::size_t SlotSize) {
        std::size_t bytes = c.BlockSlots * SlotSize;
        std::size_t align = alignof(std::max_align_t);
        if (bytes >= LargePage) {
            bytes = LargePage;
            align = LargePage;
        } else {
            c.BlockSlots *= 2;
        }
        FBlocks.reserve(FBlocks.size() + 1);
        auto* memory = static_cast<std::byte*>(::operator new(bytes, std::align_val_t(align)));
        FBlocks.push_back({memory, bytes, align});
#ifdef MADV_HUGEPAGE
        if (align == LargePage) madvise(memory, bytes, MADV_HUGEPAGE);
#endif
        Poison(memory, bytes);
        c.Next = memory;
        c.End = memory + bytes / SlotSize * SlotSize;
    }

    void FreeBlocks() noexcept {
        for (const TBlock& block : FBlocks) {
            Unpoison(block.Memory, block.Size);
            ::operator delete(block.Memory, std::align_val_t(block.Align));
        }
        FBlocks.clear();
    }

    std::array<TSizeClass, MaxSize / Granule + 1> FClasses{};
    std::vector<TBlock> FBlocks;
    std::size_t FLive = 0;
};

// ------------------------------------------------------------------ helpers

namespace {

template <class K> struct TSortItem {
    K Key;
    int Row;
};

// Three-way comparisons of the sort keys: negative, zero or positive as the
// first key sorts before, with or after the second.

// Ordinal by UTF-16 code unit, case-sensitive; a proper prefix first.
int CompareTexts(const QString& a, const QString& b) {
    return QStringView(a).compare(QStringView(b), Qt::CaseSensitive);
}

int CompareBooleans(bool a, bool b) {
    return int(a) - int(b);
}

// A value that is not a number sorts before every number and equals every
// other such value, so the order stays total and the partition's scans
// stop at the pivot.
int CompareNumbers(double a, double b) {
    if (a < b) return -1;
    if (a > b) return 1;
    if (a == b) return 0;
    const bool aNaN = std::isnan(a);
    const bool bNaN = std::isnan(b);
    return aNaN == bNaN ? 0 : (aNaN ? -1 : 1);
}

// The fourth group decides first. The order is turned round: an ascending
// sort by address puts the greatest address first.
int CompareAddresses(const std::array<int, 4>& a, const std::array<int, 4>& b) {
    for (int g = 3; g >= 0; --g)
        if (a[g] != b[g]) return a[g] < b[g] ? 1 : -1;
    return 0;
}

// Hoare's partition around a pivot key taken from a row between L + 1 and
// R; the rows from L to the split point minus one hold keys not after it,
// the rest keys not before it. The smaller side is sorted by recursion, the
// larger one by the loop, so the depth stays logarithmic.
template <class Item, class Compare, class Pivot>
void QuickSort(std::vector<Item>& items, int L, int R, const Compare& cmp, const Pivot& pivot) {
    while (L < R) {
        const auto P = items[static_cast<std::size_t>(pivot(L, R))].Key;
        int i = L - 1;
        int j = R + 1;
        do {
            do
                ++i;
            while (cmp(P, items[static_cast<std::size_t>(i)].Key) > 0);
            do
                --j;
            while (cmp(P, items[static_cast<std::size_t>(j)].Key) < 0);
            if (i != j)
                std::swap(items[static_cast<std::size_t>(i)], items[static_cast<std::size_t>(j)]);
        } while (i < j);
        // The last exchange crossed over; take it back.
        if (i != j)
            std::swap(items[static_cast<std::size_t>(i)], items[static_cast<std::size_t>(j)]);
        if (i - L < R - i + 1) {
            QuickSort(items, L, i - 1, cmp, pivot);
            L = i;
        } else {
            QuickSort(items, i, R, cmp, pivot);
            R = i - 1;
        }
    }
}

} // namespace

// ------------------------------------------------------- TCells::TCellList

TCells::TCellList::TCellList(TCellList&& Other) noexcept
    : FData(std::move(Other.FData)), FCapacity(std::exchange(Other.FCapacity, 0)),
      FHead(std::exchange(Other.FHead, 0)), FCount(std::exchange(Other.FCount, 0)) {}

TCells::TCellList& TCells::TCellList::operator=(TCellList&& Other) noexcept {
    if (this != &Other) {
        Clear();
        FData = std::move(Other.FData);
        FCapacity = std::exchange(Other.FCapacity, 0);
        FHead = std::exchange(Other.FHead, 0);
        FCount = std::exchange(Other.FCount, 0);
    }
    return *this;
}

void TCells::TCellList::ReserveBack(std::size_t Extra) {
    const std::size_t needed = FCount + Extra;
    if (needed <= FCapacity - FHead) return;
    if (2 * needed <= FCapacity) {
        // Plenty of room in front (rows deleted there): slide the cells
        // back to the start. At least as many appends follow before the
        // next slide as this one moves.
        std::copy(Begin(), Begin() + FCount, FData.get());
        FHead = 0;
        return;
    }
    const std::size_t capacity = std::max<std::size_t>(2 * needed, 8);
    TBlock block = std::make_unique_for_overwrite<TCell*[]>(capacity);
    std::copy(Begin(), Begin() + FCount, block.get());
    FData = std::move(block);
    FCapacity = capacity;
    FHead = 0;
}

void TCells::TCellList::ReserveOne() {
    if (FHead == 0) ReserveBack(1);
}

void TCells::TCellList::Append(TCellRef Cell) noexcept {
    Begin()[FCount++] = Cell.release();
}

void TCells::TCellList::Insert(std::size_t Index, TCellRef Cell) noexcept {
    const bool backFull = FHead + FCount == FCapacity;
    if (FHead > 0 && (Index < FCount / 2 || backFull)) {
        std::copy(Begin(), Begin() + Index, Begin() - 1);
        --FHead;
    } else {
        std::copy_backward(Begin() + Index, Begin() + FCount, Begin() + FCount + 1);
    }
    Begin()[Index] = Cell.release();
    ++FCount;
}

void TCells::TCellList::Delete(std::size_t Index) noexcept {
    const TCellRef cell(Begin()[Index]);
    if (Index < FCount / 2) {
        std::copy_backward(Begin(), Begin() + Index, Begin() + Index + 1);
        ++FHead;
    } else {
        std::copy(Begin() + Index + 1, Begin() + FCount, Begin() + Index);
    }
    if (--FCount == 0) FHead = 0;
}

void TCells::TCellList::Truncate(std::size_t Count) noexcept {
    while (FCount > Count)
        TCellRef(Begin()[--FCount]).reset();
}

void TCells::TCellList::Move(std::size_t From, std::size_t To) noexcept {
    TCell** cells = Begin();
    if (From < To) {
        std::rotate(cells + From, cells + From + 1, cells + To + 1);
    } else {
        std::rotate(cells + To, cells + From, cells + From + 1);
    }
}

void TCells::TCellList::Swap(std::size_t A, std::size_t B) noexcept {
    std::swap(Begin()[A], Begin()[B]);
}

void TCells::TCellList::Reorder(TBlock Block, const std::vector<int>& Order,
                                bool Reversed) noexcept {
    TCell* const* cells = Begin();
    for (std::size_t i = 0; i < FCount; ++i)
        Block[Reversed ? FCount - 1 - i : i] = cells[Order[i]];
    FData = std::move(Block);
    FCapacity = FCount;
    FHead = 0;
}

void TCells::TCellList::Clear() noexcept {
    Truncate(0);
    FData.reset();
    FCapacity = 0;
    FHead = 0;
}

// ------------------------------------------------------------------- TCells

TCells::TCells(TCustomGridViewControl* Grid, TColumns* Columns)
    : FPool(std::make_unique<TCellPool>()), FColumns(Columns), FGrid(Grid) {}

TCells::~TCells() {
    // The cells go before the pool and the extras they use.
    for (TCellList& list : FCols)
        list.Clear();
}

void TCells::TCellRelease::operator()(TCell* Cell) const noexcept {
    Cell->FCells->ReleaseCell(Cell);
}

template <class T> TCells::TCellRef TCells::NewCell() {
    static_assert(sizeof(T) <= TCellPool::MaxSize && alignof(T) <= TCellPool::Granule);
    void* slot = FPool->Allocate(sizeof(T));
    return TCellRef(::new (slot) T(this));
}

void TCells::ReleaseCell(TCell* Cell) noexcept {
    const std::size_t size = Cell->InstanceSize();
    Cell->~TCell();
    FPool->Release(Cell, size);
}

TCells::TCellRef TCells::CreateCell(TCellKind Kind, TColor Color) {
    TCellRef cell;
    switch (Kind) {
    case ckBoolean:
        cell = NewCell<TBooleanCell>();
        break;
    case ckDateTime:
        cell = NewCell<TDateTimeCell>();
        break;
    case ckFloat:
        cell = NewCell<TFloatCell>();
        break;
    case ckInteger:
        cell = NewCell<TIntegerCell>();
        break;
    default:
        cell = NewCell<TStringCell>();
        break;
    }
    cell->SetColor(Color); // not reported: the cell is still being created
    cell->FCreating = false;
    return cell;
}

void TCells::CheckRow(int Row, int Last) const {
    if (Row < 0 || Row > Last) ListIndexError(Row);
}

TCell* TCells::GetCell(int Col, int Row) {
    CheckRow(Row, FRowCount - 1);
    if (Col < 0 || Col >= FColCount) ListIndexError(Col);
    TCell* cell = FCols[static_cast<std::size_t>(Col)][static_cast<std::size_t>(Row)];
    cell->FCol = Col;
    cell->FRow = Row;
    return cell;
}

void TCells::SyncColumns(TColumnsChange Kind, int Index1, int Index2) {
    (void)Index1;
    (void)Index2;
    if (Kind == scAdded) {
        AddColumn();
    } else if (Kind == scCleared) {
        RemoveColumns();
    }
}

void TCells::AddColumn() {
    if (FColCount >= MaxColumns)
        throw EListError(QStringLiteral("A grid holds at most %1 columns").arg(MaxColumns));
    const TCustomColumn* column = FColumns->Items(FColCount);
    TCellList list;
    list.ReserveBack(static_cast<std::size_t>(FRowCount));
    for (int r = 0; r < FRowCount; ++r)
        list.Append(CreateCell(column->CellKind(), column->Color()));
    FCols[static_cast<std::size_t>(FColCount)] = std::move(list);
    ++FColCount;
}

void TCells::RemoveColumns() {
    if (FColCount == 0) return;
    for (int c = 0; c < FColCount; ++c)
        FCols[static_cast<std::size_t>(c)].Clear();
    FColCount = 0;
    FRowCount = 0;
}

void TCells::AddRows(int Count) {
    FSorted = false;
    if (Count <= 0) return;
    const int rows = CheckedAdd(FRowCount, Count);
    try {
        for (int c = 0; c < FColCount; ++c) {
            TCellList& list = FCols[static_cast<std::size_t>(c)];
            const TCustomColumn* column = FColumns->Items(c);
            list.ReserveBack(static_cast<std::size_t>(Count));
            for (int k = 0; k < Count; ++k)
                list.Append(CreateCell(column->CellKind(), column->Color()));
        }
    } catch (...) {
        // Every list keeps exactly one cell per row.
        for (int c = 0; c < FColCount; ++c)
            FCols[static_cast<std::size_t>(c)].Truncate(static_cast<std::size_t>(FRowCount));
        throw;
    }
    FRowCount = rows;
}

void TCells::InsertRow(int Row) {
    CheckRow(Row, FRowCount);
    const int rows = CheckedAdd(FRowCount, 1);
    // Everything that may fail happens before the first list changes.
    std::vector<TCellRef> cells;
    cells.reserve(static_cast<std::size_t>(FColCount));
    for (int c = 0; c < FColCount; ++c) {
        const TCustomColumn* column = FColumns->Items(c);
        cells.push_back(CreateCell(column->CellKind(), column->Color()));
    }
    for (int c = 0; c < FColCount; ++c)
        FCols[static_cast<std::size_t>(c)].ReserveOne();
    for (int c = 0; c < FColCount; ++c)
        FCols[static_cast<std::size_t>(c)].Insert(static_cast<std::size_t>(Row),
                                                  std::move(cells[static_cast<std::size_t>(c)]));
    FRowCount = rows;
    FSorted = false;
}

void TCells::DeleteRow(int Row) {
    CheckRow(Row, FRowCount - 1);
    for (int c = 0; c < FColCount; ++c)
        FCols[static_cast<std::size_t>(c)].Delete(static_cast<std::size_t>(Row));
    --FRowCount;
}

void TCells::MoveRow(int FromRow, int ToRow) {
    CheckRow(FromRow, FRowCount - 1);
    CheckRow(ToRow, FRowCount - 1);
    for (int c = 0; c < FColCount; ++c)
        FCols[static_cast<std::size_t>(c)].Move(static_cast<std::size_t>(FromRow),
                                                static_cast<std::size_t>(ToRow));
    FSorted = false;
}

void TCells::ClearRows() {
    for (int c = 0; c < FColCount; ++c)
        FCols[static_cast<std::size_t>(c)].Clear();
    FRowCount = 0;
    FSorted = false;
}

void TCells::Changed(int Col, int Row) {
    // Dropped before the report, so a handler that raises cannot leave a
    // changed value inside a recorded order.
    FSorted = false;
    OnChange(this, Col, Row);
}

void TCells::SwapRows(int A, int B) {
    for (int c = 0; c < FColCount; ++c)
        FCols[static_cast<std::size_t>(c)].Swap(static_cast<std::size_t>(A),
                                                static_cast<std::size_t>(B));
}

void TCells::ReverseRows() {
    if (FRowCount < 2) return;
    for (int i = 0; i < FRowCount / 2; ++i)
        SwapRows(i, FRowCount - 1 - i);
}

int TCells::ChoosePivot(int L, int R) {
    return L + 1 + std::uniform_int_distribution<int>(0, R - L - 1)(FRandom);
}

std::array<int, 4> TCells::ParseAddress(const AnsiString& Text) {
    std::array<int, 4> groups{};
    std::size_t count = 0;
    std::string digits;
    for (qsizetype i = 0; i < Text.size(); ++i) {
        const char c = Text[i];
        if (c >= '0' && c <= '9') digits += c;
        if (c != '.' && i != Text.size() - 1) continue;
        int value = 0;
        const auto r = std::from_chars(digits.data(), digits.data() + digits.size(), value);
        // No digits, or too many for 32 bits: the integer conversion's own
        // error names the group.
        if (digits.empty() || r.ec != std::errc() || r.ptr != digits.data() + digits.size())
            value = StrToInt(QString::fromLatin1(digits));
        if (count < groups.size()) groups[count] = value;
        ++count;
        digits.clear();
    }
    return groups;
}

template <class Key, class Compare>
void TCells::SortBy(std::vector<Key>& Keys, Compare Cmp, bool Descending) {
    const auto n = Keys.size();
    std::vector<TSortItem<Key>> items;
    items.reserve(n);
    for (std::size_t r = 0; r < n; ++r)
        items.push_back({std::move(Keys[r]), static_cast<int>(r)});
    Keys.clear();
    QuickSort(items, 0, static_cast<int>(n) - 1, Cmp,
              [this](int L, int R) { return ChoosePivot(L, R); });

    std::vector<int> order(n);
    for (std::size_t i = 0; i < n; ++i)
        order[i] = items[i].Row;
    items.clear();
    // Every new block is made before the first list changes, so the rows
    // cannot come apart halfway.
    std::vector<TBlock> blocks;
    blocks.reserve(static_cast<std::size_t>(FColCount));
    for (int c = 0; c < FColCount; ++c)
        blocks.push_back(std::make_unique_for_overwrite<TCell*[]>(n));
    for (int c = 0; c < FColCount; ++c)
        FCols[static_cast<std::size_t>(c)].Reorder(std::move(blocks[static_cast<std::size_t>(c)]),
                                                   order, Descending);
}

void TCells::Sort(int Col, TSortType SortType, bool Descending) {
    if (Col < 0 || Col >= FColCount) ListIndexError(Col);
    if (FSorted && FSortCol == Col && FSortType == SortType) {
        if (Descending != FSortDescending) ReverseRows();
    } else if (FRowCount > 1) {
        // The keys are read once, in row order, before any row moves.
        const TCellList& list = FCols[static_cast<std::size_t>(Col)];
        const auto n = static_cast<std::size_t>(FRowCount);
        switch (SortType) {
        case stBoolean: {
            std::vector<char> keys(n);
            for (std::size_t r = 0; r < n; ++r)
                keys[r] = list[r]->GetAsBoolean();
            SortBy(keys, CompareBooleans, Descending);
            break;
        }
        case stNumeric:
        case stDate: {
            std::vector<double> keys(n);
            for (std::size_t r = 0; r < n; ++r)
                keys[r] = SortType == stNumeric ? list[r]->GetAsFloat() : list[r]->GetAsDateTime();
            SortBy(keys, CompareNumbers, Descending);
            break;
        }
        case stIP: {
            std::vector<std::array<int, 4>> keys(n);
            WideString text;
            for (std::size_t r = 0; r < n; ++r) {
                list[r]->GetAsWideString(text);
                keys[r] = ParseAddress(WideToAnsi(text));
            }
            SortBy(keys, CompareAddresses, Descending);
            break;
        }
        default: {
            std::vector<WideString> keys(n);
            for (std::size_t r = 0; r < n; ++r)
                list[r]->GetAsWideString(keys[r]);
            SortBy(keys, CompareTexts, Descending);
            break;
        }
        }
    }
    FSortCol = Col;
    FSortDescending = Descending;
    FSortType = SortType;
    FSorted = true;
}

// ------------------------------------------------------------------- extras

const TCellExtra& TCells::ExtraOf(const TCell* Cell) const {
    return FExtras.at(Cell);
}

TCellExtra& TCells::ExtraFor(const TCell* Cell) {
    return FExtras[Cell];
}

void TCells::DropExtra(const TCell* Cell) noexcept {
    FExtras.erase(Cell);
}
