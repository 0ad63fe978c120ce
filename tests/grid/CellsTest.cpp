// The cell store: cells of new rows and columns, the coordinate stamp of a
// lookup, the row operations, the change report and the sort with its
// recorded order.

#include "Cells.h"
#include "CellsTestSupport.h"

#include <QStringList>
#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <numeric>
#include <random>
#include <string_view>
#include <typeinfo>

namespace {

using Reports = std::vector<std::pair<int, int>>;

class Cells : public CellsFixture {
protected:
    // A store of text columns holding the given rows.
    void Fill(const std::vector<QStringList>& columns) {
        for (std::size_t c = 0; c < columns.size(); ++c)
            AddColumn();
        FCells.AddRows(static_cast<int>(columns[0].size()));
        for (std::size_t c = 0; c < columns.size(); ++c)
            for (int r = 0; r < columns[c].size(); ++r)
                SetText(static_cast<int>(c), r, columns[c][r]);
        FReports.clear();
    }
};

QStringList Reversed(QStringList list) {
    std::reverse(list.begin(), list.end());
    return list;
}

// ---- Cells of new rows and columns

TEST_F(Cells, AnAppendedRowHoldsEmptyTextCellsInTheColumnsColours) {
    EXPECT_EQ(FCells.ColCount(), 0);
    EXPECT_EQ(FCells.RowCount(), 0);
    EXPECT_FALSE(FCells.Sorted());
    const TColor colours[] = {clRed, clLime, clBlue, clWindow, RGB(1, 2, 3)};
    for (TColor colour : colours)
        AddColumn(ckText, colour);
    FCells.AddRows(1);
    ASSERT_EQ(FCells.ColCount(), 5);
    ASSERT_EQ(FCells.RowCount(), 1);
    for (int c = 0; c < 5; ++c) {
        TCell* cell = FCells.GetCell(c, 0);
        EXPECT_EQ(typeid(*cell), typeid(TStringCell));
        EXPECT_EQ(Text(c, 0), "");
        EXPECT_EQ(cell->Color(), colours[c]);
        EXPECT_FALSE(cell->Creating());
        EXPECT_EQ(cell->Cells(), &FCells);
    }
    EXPECT_TRUE(FReports.empty());
}

TEST_F(Cells, TheColumnsValueKindChoosesTheCellClass) {
    const std::pair<TCellKind, const std::type_info*> kinds[] = {
        {ckIncrement, &typeid(TStringCell)},  {ckNone, &typeid(TStringCell)},
        {ckGraphic, &typeid(TStringCell)},    {ckBoolean, &typeid(TBooleanCell)},
        {ckDateTime, &typeid(TDateTimeCell)}, {ckFloat, &typeid(TFloatCell)},
        {ckInteger, &typeid(TIntegerCell)},   {ckText, &typeid(TStringCell)}};
    for (const auto& k : kinds)
        AddColumn(k.first);
    FCells.AddRows(1);
    for (int c = 0; c < 8; ++c)
        EXPECT_EQ(typeid(*FCells.GetCell(c, 0)), *kinds[c].second) << c;

    // The kind is read when a cell is made: the old cells stay as they are.
    FColumns.Items(0)->SetCellKind(ckFloat);
    FCells.AddRows(1);
    EXPECT_EQ(typeid(*FCells.GetCell(0, 0)), typeid(TStringCell));
    EXPECT_EQ(typeid(*FCells.GetCell(0, 1)), typeid(TFloatCell));
}

TEST_F(Cells, RowsAreAppendedAfterTheLastRow) {
    Fill({{"a", "b"}});
    FCells.AddRows(3);
    EXPECT_EQ(Column(0), QStringList({"a", "b", "", "", ""}));
    FCells.AddRows(0);
    FCells.AddRows(-4);
    EXPECT_EQ(FCells.RowCount(), 5);
    // Appending drops the recorded order, even when it appends nothing.
    FCells.Sort(0, stAlphabetic, false);
    ASSERT_TRUE(FCells.Sorted());
    FCells.AddRows(0);
    EXPECT_FALSE(FCells.Sorted());
}

TEST_F(Cells, AColumnAddedLaterGetsACellForEveryRow) {
    // Rows may come before any column; they are counted all the same.
    FCells.AddRows(2);
    EXPECT_EQ(FCells.RowCount(), 2);
    AddColumn(ckText, clRed);
    SetText(0, 1, "b");
    FCells.Sort(0, stAlphabetic, false);
    AddColumn(ckInteger, clAqua);
    EXPECT_EQ(FCells.ColCount(), 2);
    for (int r = 0; r < 2; ++r) {
        EXPECT_EQ(typeid(*FCells.GetCell(1, r)), typeid(TIntegerCell));
        EXPECT_EQ(FCells.GetCell(1, r)->Color(), clAqua);
        EXPECT_EQ(FCells.GetCell(0, r)->Color(), clRed);
    }
    EXPECT_EQ(Column(0), QStringList({"", "b"}));
    EXPECT_TRUE(FCells.Sorted()); // a new column keeps the order
    EXPECT_EQ(FReports, (Reports{{0, 1}}));
}

TEST_F(Cells, RemovingTheColumnsRemovesTheRows) {
    Fill({{"a", "b"}, {"c", "d"}});
    FCells.Sort(1, stAlphabetic, true);
    FColumns.Clear();
    EXPECT_EQ(FCells.ColCount(), 0);
    EXPECT_EQ(FCells.RowCount(), 0);
    EXPECT_TRUE(FCells.Sorted());
    EXPECT_EQ(ErrorOf([&] { FCells.GetCell(0, 0); }), "List index out of bounds (0)");
    AddColumn();
    FCells.AddRows(1);
    EXPECT_EQ(Column(0), QStringList({""}));
}

TEST_F(Cells, TheColumnAfterTheLastOneTheStoreHoldsIsRefused) {
    for (int c = 0; c < TCells::MaxColumns; ++c)
        AddColumn();
    FCells.AddRows(2);
    EXPECT_EQ(ErrorOf([&] { AddColumn(); }), "A grid holds at most 1025 columns");
    EXPECT_EQ(FCells.ColCount(), 1025);
    EXPECT_EQ(ErrorOf([&] { FCells.GetCell(1025, 0); }), "List index out of bounds (1025)");
    FCells.AddRows(1);
    SetText(1024, 2, "last");
    EXPECT_EQ(Text(1024, 2), "last");
    EXPECT_EQ(FCells.RowCount(), 3);
}

TEST_F(Cells, AStoreWithoutItsColumnInTheCollectionAddsNothing) {
    AddColumn();
    FCells.AddRows(1);
    EXPECT_THROW(FCells.SyncColumns(scAdded, -1, -1), EListError);
    EXPECT_EQ(FCells.ColCount(), 1);
    // Kinds the store does not act on change nothing.
    FCells.SyncColumns(scMoved, 0, 0);
    FCells.SyncColumns(scDeleted, 0, -1);
    EXPECT_EQ(FCells.ColCount(), 1);
    EXPECT_EQ(FCells.RowCount(), 1);
}

// ---- Lookup

TEST_F(Cells, ALookupStampsTheCoordinatesACellReportsWith) {
    Fill({{"a", "b", "c"}, {"d", "e", "f"}});
    TCell* cell = FCells.GetCell(1, 2);
    EXPECT_EQ(cell->Col(), 1);
    EXPECT_EQ(cell->Row(), 2);
    cell->SetAsWideString("x");
    FCells.DeleteRow(0);
    // Until it is looked up again, the cell reports where it was found.
    cell->SetAsWideString("y");
    EXPECT_EQ(FCells.GetCell(1, 1), cell);
    cell->SetAsWideString("z");
    EXPECT_EQ(FReports, (Reports{{1, 2}, {1, 2}, {1, 1}}));
}

TEST_F(Cells, ALookupOutsideTheStoreIsAListError) {
    EXPECT_EQ(ErrorOf([&] { FCells.GetCell(0, 0); }), "List index out of bounds (0)");
    Fill({{"a", "b", "c"}, {"d", "e", "f"}});
    EXPECT_EQ(ErrorOf([&] { FCells.GetCell(0, 3); }), "List index out of bounds (3)");
    EXPECT_EQ(ErrorOf([&] { FCells.GetCell(0, -1); }), "List index out of bounds (-1)");
    EXPECT_EQ(ErrorOf([&] { FCells.GetCell(2, 0); }), "List index out of bounds (2)");
    EXPECT_EQ(ErrorOf([&] { FCells.GetCell(-1, 0); }), "List index out of bounds (-1)");
    EXPECT_EQ(ErrorOf([&] { FCells.GetCell(5, 7); }), "List index out of bounds (7)");
}

// ---- Row operations

TEST_F(Cells, DeletingRowZeroOfThreeMovesTheOthersUp) {
    Fill({{"r0", "r1", "r2"}, {"s0", "s1", "s2"}});
    FCells.Sort(0, stAlphabetic, false);
    FCells.DeleteRow(0);
    EXPECT_EQ(FCells.RowCount(), 2);
    EXPECT_EQ(Column(0), QStringList({"r1", "r2"}));
    EXPECT_EQ(Column(1), QStringList({"s1", "s2"}));
    EXPECT_TRUE(FCells.Sorted());
    FCells.DeleteRow(1);
    EXPECT_EQ(Column(1), QStringList({"s1"}));
    EXPECT_TRUE(FReports.empty());
}

TEST_F(Cells, InsertingARowMovesTheLaterRowsDown) {
    AddColumn(ckText, clRed);
    AddColumn(ckFloat, clBlue);
    FCells.AddRows(2);
    SetText(0, 0, "a");
    SetText(0, 1, "b");
    FCells.GetCell(1, 1)->SetAsFloat(2);
    FCells.Sort(0, stAlphabetic, false);
    FReports.clear();

    FCells.InsertRow(1);
    EXPECT_FALSE(FCells.Sorted());
    EXPECT_EQ(Column(0), QStringList({"a", "", "b"}));
    EXPECT_EQ(Column(1), QStringList({"0", "0", "2"}));
    EXPECT_EQ(FCells.GetCell(0, 1)->Color(), clRed);
    EXPECT_EQ(typeid(*FCells.GetCell(1, 1)), typeid(TFloatCell));
    FCells.InsertRow(0);
    FCells.InsertRow(FCells.RowCount()); // after the last row
    EXPECT_EQ(Column(0), QStringList({"", "a", "", "b", ""}));
    EXPECT_TRUE(FReports.empty());
}

TEST_F(Cells, MovingARowTakesItOutAndPutsItBackIn) {
    Fill({{"0", "1", "2", "3", "4"}, {"a", "b", "c", "d", "e"}});
    FCells.Sort(0, stAlphabetic, false);
    FCells.MoveRow(1, 3);
    EXPECT_EQ(Column(0), QStringList({"0", "2", "3", "1", "4"}));
    EXPECT_FALSE(FCells.Sorted());
    FCells.MoveRow(4, 0);
    EXPECT_EQ(Column(0), QStringList({"4", "0", "2", "3", "1"}));
    EXPECT_EQ(Column(1), QStringList({"e", "a", "c", "d", "b"}));
    FCells.MoveRow(2, 2);
    EXPECT_EQ(Column(0), QStringList({"4", "0", "2", "3", "1"}));
}

TEST_F(Cells, ClearingFreesTheRowsAndKeepsTheColumns) {
    Fill({{"a", "b"}, {"c", "d"}});
    FCells.Sort(0, stAlphabetic, false);
    FCells.ClearRows();
    EXPECT_EQ(FCells.RowCount(), 0);
    EXPECT_EQ(FCells.ColCount(), 2);
    EXPECT_FALSE(FCells.Sorted());
    FCells.AddRows(1);
    EXPECT_EQ(Column(1), QStringList({""}));
}

TEST_F(Cells, ARowOutsideTheStoreIsRefusedAndNothingChanges) {
    Fill({{"a", "b", "c"}});
    const std::pair<std::function<void()>, const char*> cases[] = {
        {[&] { FCells.DeleteRow(3); }, "List index out of bounds (3)"},
        {[&] { FCells.DeleteRow(-1); }, "List index out of bounds (-1)"},
        {[&] { FCells.InsertRow(4); }, "List index out of bounds (4)"},
        {[&] { FCells.InsertRow(-1); }, "List index out of bounds (-1)"},
        {[&] { FCells.MoveRow(0, 3); }, "List index out of bounds (3)"},
        {[&] { FCells.MoveRow(-2, 9); }, "List index out of bounds (-2)"}};
    for (const auto& [operation, error] : cases)
        EXPECT_EQ(ErrorOf(operation), error);
    EXPECT_EQ(Column(0), QStringList({"a", "b", "c"}));
}

TEST_F(Cells, TheCallListsStepKeepsTheNewestRows) {
    Fill({{"0", "1", "2", "3", "4", "5"}, {"a0", "a1", "a2", "a3", "a4", "a5"}});
    for (int call = 6; call < 100; ++call) {
        FCells.DeleteRow(0);
        FCells.AddRows(1);
        SetText(0, 5, QString::number(call));
        SetText(1, 5, QStringLiteral("a%1").arg(call));
    }
    EXPECT_EQ(Column(0), QStringList({"94", "95", "96", "97", "98", "99"}));
    EXPECT_EQ(Column(1), QStringList({"a94", "a95", "a96", "a97", "a98", "a99"}));
}

// Inserting, deleting, moving and appending rows anywhere, against a plain
// list doing the same.
TEST_F(Cells, RowOperationsAnywhereKeepTheColumnsInStep) {
    Fill({{"r"}, {"r"}});
    QStringList model = {"r"};
    std::mt19937 rng(1254);
    int next = 0;
    for (int step = 0; step < 3000; ++step) {
        const int n = FCells.RowCount();
        const int at = n ? static_cast<int>(rng() % static_cast<unsigned>(n)) : 0;
        const QString text = QString::number(next++);
        switch (rng() % 5) {
        case 0:
        case 1:
            FCells.InsertRow(at);
            SetText(0, at, text);
            SetText(1, at, text);
            model.insert(at, text);
            break;
        case 2:
            if (n == 0) break;
            FCells.DeleteRow(at);
            model.removeAt(at);
            break;
        case 3: {
            if (n == 0) break;
            const int to = static_cast<int>(rng() % static_cast<unsigned>(n));
            FCells.MoveRow(at, to);
            model.move(at, to);
            break;
        }
        default:
            FCells.AddRows(1);
            SetText(0, n, text);
            SetText(1, n, text);
            model.append(text);
            break;
        }
        if (step % 97 == 0 || step > 2990) {
            ASSERT_EQ(Column(0), model) << step;
        }
    }
    EXPECT_EQ(Column(1), model);
}

// Rows taken from the front and given at either end: the lists make room
// in front as well as behind, and a row inserted after the last one lands
// there.
TEST_F(Cells, RowsComeAndGoAtBothEnds) {
    Fill({{"r"}, {"r"}});
    QStringList model = {"r"};
    std::mt19937 rng(77);
    for (int step = 0; step < 2000; ++step) {
        const int n = FCells.RowCount();
        const QString text = QString::number(step);
        const unsigned what = rng() % 4;
        if (what == 0 && n > 0) {
            FCells.DeleteRow(0);
            model.removeFirst();
        } else if (what == 1 && n > 0) {
            FCells.DeleteRow(n - 1);
            model.removeLast();
        } else {
            const int at = what == 2 ? 0 : n;
            FCells.InsertRow(at);
            SetText(0, at, text);
            SetText(1, at, text);
            model.insert(at, text);
        }
    }
    EXPECT_EQ(Column(0), model);
    EXPECT_EQ(Column(1), model);
    EXPECT_EQ(ErrorOf([&] { FCells.InsertRow(FCells.RowCount() + 1); }),
              QStringLiteral("List index out of bounds (%1)").arg(model.size() + 1));
}

// ---- Change report

TEST_F(Cells, AChangeDropsTheRecordedSortEvenWhenItsHandlerFails) {
    Fill({{"b", "a"}});
    FCells.Sort(0, stAlphabetic, false);
    FCells.GetCell(0, 1)->SetColor(clRed);
    EXPECT_FALSE(FCells.Sorted());
    EXPECT_EQ(FReports, (Reports{{0, 1}}));

    FCells.Sort(0, stAlphabetic, false);
    FCells.OnChange = [](TCells*, int, int) { throw EConvertError(QStringLiteral("handler")); };
    EXPECT_EQ(ErrorOf([&] { SetText(0, 0, "c"); }), "handler");
    EXPECT_FALSE(FCells.Sorted());
    FCells.Sort(0, stAlphabetic, false);
    EXPECT_EQ(Column(0), QStringList({"b", "c"}));
}

// ---- Sort

TEST_F(Cells, TextSortsByUtf16CodeUnitsCaseSensitively) {
    const QString high = QString::fromUcs4(U"\U00010000"); // a surrogate pair
    const QStringList texts = {"b", "B", "a", "ab", "", "A", u"\uFFFD"_qs, high, u"ä"_qs};
    QStringList ids;
    for (int i = 0; i < texts.size(); ++i)
        ids << QString::number(i);
    Fill({texts, ids});
    FCells.Sort(0, stAlphabetic, false);
    const QStringList ascending = {"", "A", "B", "a", "ab", "b", u"ä"_qs, high, u"\uFFFD"_qs};
    EXPECT_EQ(Column(0), ascending);
    EXPECT_EQ(Column(1), QStringList({"4", "5", "1", "2", "3", "0", "8", "7", "6"}));
    FColumns.Clear();
    Fill({texts, ids});
    FCells.Sort(0, stAlphabetic, true);
    EXPECT_EQ(Column(0), Reversed(ascending));
}

// Random rows of one sort type and their expected order, sorted both ways:
// the rows move whole, the keys end in order, and no pivot is row L.
TEST_F(Cells, TheQuickSortOrdersRandomRowsOfEverySortType) {
    std::mt19937 rng(20261209);
    const auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    struct Kind {
        TSortType Type;
        std::function<QString()> Make;
        // a before b in the ascending order of the sort type
        std::function<bool(const QString&, const QString&)> Before;
    };
    const auto address = [](const QString& s) {
        const QStringList g = s.split(u'.');
        return std::array<int, 4>{g[3].toInt(), g[2].toInt(), g[1].toInt(), g[0].toInt()};
    };
    const auto number = [](const QString& s) { return StrToFloat(s); };
    const Kind kinds[] = {
        {stAlphabetic,
         [&] {
             QString s;
             for (int n = pick(4); n > 0; --n)
                 s += QChar(u"aAbé"[pick(4)]);
             return s;
         },
         [](const QString& a, const QString& b) {
             const auto units = [](const QString& s) {
                 return std::u16string_view(reinterpret_cast<const char16_t*>(s.constData()),
                                            static_cast<std::size_t>(s.size()));
             };
             return units(a) < units(b);
         }},
        {stBoolean,
         [&] {
             return QStringList({"True", "false", "0", "1", "-2,5", "FALSE"})[pick(6)];
         },
         [](const QString& a, const QString& b) { return !StrToBool(a) && StrToBool(b); }},
        {stNumeric, [&] { return FloatToStr((pick(2001) - 1000) / 8.0); },
         [&](const QString& a, const QString& b) { return number(a) < number(b); }},
        {stDate,
         [&] {
             return DateTimeToStr(EncodeDate(1990 + pick(40), 1 + pick(12), 1 + pick(28)) +
                                  pick(4) / 4.0);
         },
         [](const QString& a, const QString& b) { return StrToDateTime(a) < StrToDateTime(b); }},
        {stIP,
         [&] {
             return QStringLiteral("%1.%2.%3.%4")
                 .arg(pick(3))
                 .arg(pick(3))
                 .arg(pick(3))
                 .arg(pick(300));
         },
         // the greatest address (fourth group first) comes first
         [&](const QString& a, const QString& b) { return address(b) < address(a); }}};

    for (const Kind& kind : kinds) {
        for (bool descending : {false, true}) {
            const int n = 400;
            QStringList keys, ids;
            for (int r = 0; r < n; ++r) {
                keys << kind.Make();
                ids << QString::number(r);
            }
            FColumns.Clear();
            Fill({keys, ids});
            FCells.Pivots.clear();
            FCells.Sort(0, kind.Type, descending);
            SCOPED_TRACE(testing::Message()
                         << "type " << int(kind.Type) << " descending " << descending);

            const QStringList sortedKeys = Column(0);
            QStringList sortedIds = Column(1);
            for (int r = 0; r < n; ++r)
                ASSERT_EQ(sortedKeys[r], keys[sortedIds[r].toInt()]) << r;
            std::vector<int> order;
            for (const QString& id : sortedIds)
                order.push_back(id.toInt());
            std::sort(order.begin(), order.end());
            std::vector<int> all(n);
            std::iota(all.begin(), all.end(), 0);
            EXPECT_EQ(order, all);
            for (int r = 1; r < n; ++r) {
                const QString& earlier = sortedKeys[descending ? r : r - 1];
                const QString& later = sortedKeys[descending ? r - 1 : r];
                ASSERT_FALSE(kind.Before(later, earlier)) << r;
            }

            ASSERT_FALSE(FCells.Pivots.empty());
            int atR = 0, nextToL = 0;
            for (const auto& [L, R, p] : FCells.Pivots) {
                ASSERT_GT(p, L);
                ASSERT_LE(p, R);
                atR += p == R;
                nextToL += p == L + 1;
            }
            EXPECT_GT(atR, 0); // both ends of the range are drawn
            EXPECT_GT(nextToL, 0);
        }
    }
}

TEST_F(Cells, TheQuickSortCopesWithTheNearestAndTheFarthestPivot) {
    std::vector<QStringList> inputs(4);
    for (int i = 0; i < 300; ++i) {
        inputs[0] << QString::number(i);
        inputs[1] << QString::number(300 - i);
        inputs[2] << QStringLiteral("7");
        inputs[3] << QString::number(i < 150 ? i : 300 - i);
    }
    for (bool nearest : {true, false}) {
        FCells.Pivot = [nearest](int L, int R) { return nearest ? L + 1 : R; };
        for (const QStringList& input : inputs) {
            FColumns.Clear();
            Fill({input});
            FCells.Sort(0, stNumeric, false);
            const QStringList result = Column(0);
            ASSERT_TRUE(std::is_sorted(
                result.begin(), result.end(),
                [](const QString& a, const QString& b) { return a.toInt() < b.toInt(); }));
            QStringList expected = input;
            std::sort(expected.begin(), expected.end());
            QStringList got = result;
            std::sort(got.begin(), got.end());
            EXPECT_EQ(got, expected);
        }
    }
}

TEST_F(Cells, TheRecordedSortIsKeptOrTurnedRoundWithoutComparing) {
    Fill({{"1,5", "-2", "10", "3,25", "0"}, {"a", "b", "c", "d", "e"}});
    FCells.Sort(0, stNumeric, false);
    const QStringList ascending = {"-2", "0", "1,5", "3,25", "10"};
    EXPECT_EQ(Column(0), ascending);
    EXPECT_EQ(Column(1), QStringList({"b", "e", "a", "d", "c"}));
    EXPECT_FALSE(FCells.Pivots.empty());

    // With a point for the decimal separator "1,5" is no number: reading
    // the keys again would fail.
    FormatSettings.DecimalSeparator = u'.';
    FCells.Pivots.clear();
    FCells.Sort(0, stNumeric, false);
    EXPECT_EQ(Column(0), ascending);
    FCells.Sort(0, stNumeric, true);
    EXPECT_EQ(Column(0), Reversed(ascending));
    EXPECT_TRUE(FCells.SortDescending());
    FCells.Sort(0, stNumeric, true);
    EXPECT_EQ(Column(0), Reversed(ascending));
    FCells.Sort(0, stNumeric, false);
    EXPECT_EQ(Column(0), ascending);
    EXPECT_TRUE(FCells.Pivots.empty());

    // Any value change, here in another column, makes the next sort a full
    // one, which now meets the unreadable key.
    SetText(1, 0, "z");
    EXPECT_EQ(ErrorOf([&] { FCells.Sort(0, stNumeric, true); }),
              "'1,5' is not a valid floating point value");
    EXPECT_EQ(Column(0), ascending); // no row moved
    EXPECT_FALSE(FCells.Sorted());
    FormatSettings.DecimalSeparator = u',';
    FCells.Sort(0, stNumeric, true);
    EXPECT_EQ(Column(0), Reversed(ascending));
    EXPECT_FALSE(FCells.Pivots.empty());
}

TEST_F(Cells, AnotherSortTypeOrColumnSortsAgain) {
    Fill({{"10", "9", "100"}, {"b", "c", "a"}});
    FCells.Sort(0, stAlphabetic, false);
    EXPECT_EQ(Column(0), QStringList({"10", "100", "9"}));
    FCells.Sort(0, stNumeric, false);
    EXPECT_EQ(Column(0), QStringList({"9", "10", "100"}));
    EXPECT_EQ(FCells.SortType(), stNumeric);
    FCells.Sort(1, stAlphabetic, false);
    EXPECT_EQ(Column(1), QStringList({"a", "b", "c"}));
    EXPECT_EQ(FCells.SortCol(), 1);
}

TEST_F(Cells, AFailedSortLeavesTheRowsAndTheRecordAsTheyWere) {
    Fill({{"3", "1", "x", "2"}});
    FCells.Sort(0, stAlphabetic, true);
    const QStringList before = Column(0);
    EXPECT_EQ(before, QStringList({"x", "3", "2", "1"}));
    EXPECT_EQ(ErrorOf([&] { FCells.Sort(0, stNumeric, false); }),
              "'x' is not a valid floating point value");
    EXPECT_EQ(ErrorOf([&] { FCells.Sort(0, stIP, false); }), "'' is not a valid integer value");
    EXPECT_EQ(Column(0), before);
    EXPECT_TRUE(FCells.Sorted());
    EXPECT_EQ(FCells.SortType(), stAlphabetic);
    EXPECT_TRUE(FCells.SortDescending());
}

TEST_F(Cells, ZeroOrOneRowRecordsTheSort) {
    AddColumn();
    FCells.Sort(0, stDate, true);
    EXPECT_TRUE(FCells.Sorted());
    EXPECT_EQ(FCells.SortCol(), 0);
    EXPECT_EQ(FCells.SortType(), stDate);
    EXPECT_TRUE(FCells.SortDescending());
    FCells.AddRows(1);
    SetText(0, 0, "x"); // no key is read for a single row
    FCells.Sort(0, stNumeric, false);
    EXPECT_TRUE(FCells.Sorted());
    EXPECT_FALSE(FCells.SortDescending());
    EXPECT_TRUE(FCells.Pivots.empty());
    EXPECT_EQ(ErrorOf([&] { FCells.Sort(1, stNumeric, false); }), "List index out of bounds (1)");
}

TEST_F(Cells, TypedCellsSortByTheirValues) {
    AddColumn(ckFloat);
    AddColumn(ckBoolean);
    AddColumn(ckDateTime);
    FCells.AddRows(5);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double values[] = {3, nan, -1, nan, 2};
    for (int r = 0; r < 5; ++r) {
        FCells.GetCell(0, r)->SetAsFloat(values[r]);
        FCells.GetCell(1, r)->SetAsBoolean(r % 2 == 0);
        FCells.GetCell(2, r)->SetAsDateTime(values[r]);
    }
    // What is no number comes first and stops no scan.
    FCells.Sort(0, stNumeric, false);
    EXPECT_TRUE(std::isnan(FCells.GetCell(0, 0)->GetAsFloat()));
    EXPECT_TRUE(std::isnan(FCells.GetCell(0, 1)->GetAsFloat()));
    EXPECT_EQ(Column(0).mid(2), QStringList({"-1", "2", "3"}));
    FCells.Sort(2, stDate, true);
    EXPECT_EQ(FCells.GetCell(2, 0)->GetAsFloat(), 3.0);
    EXPECT_TRUE(std::isnan(FCells.GetCell(2, 4)->GetAsFloat()));
    FCells.Sort(1, stBoolean, false);
    EXPECT_EQ(Column(1), QStringList({"False", "False", "True", "True", "True"}));
}

TEST_F(Cells, AddressesCompareFromTheFourthGroupAndSortGreatestFirst) {
    // Of 10.0.0.2 and 9.0.0.3 the first is the smaller key (2 against 3),
    // and an ascending sort puts the greater first.
    Fill({{"10.0.0.2", "9.0.0.3"}});
    FCells.Sort(0, stIP, false);
    EXPECT_EQ(Column(0), QStringList({"9.0.0.3", "10.0.0.2"}));
    FColumns.Clear();
    Fill({{"10.0.0.2", "9.0.0.3", "1.2.3.4", "4.3.2.1", "0.0.1.2"}});
    FCells.Sort(0, stIP, false);
    const QStringList ascending = {"1.2.3.4", "9.0.0.3", "0.0.1.2", "10.0.0.2", "4.3.2.1"};
    EXPECT_EQ(Column(0), ascending);
    FCells.Sort(0, stIP, true);
    EXPECT_EQ(Column(0), Reversed(ascending));
}

TEST(ParseAddress, GroupsOfDigitsBetweenDots) {
    using A = std::array<int, 4>;
    EXPECT_EQ(TCells::ParseAddress("10.0.0.2"), (A{10, 0, 0, 2}));
    EXPECT_EQ(TCells::ParseAddress(""), (A{0, 0, 0, 0}));
    EXPECT_EQ(TCells::ParseAddress("7"), (A{7, 0, 0, 0}));
    EXPECT_EQ(TCells::ParseAddress("1.2."), (A{1, 2, 0, 0}));
    EXPECT_EQ(TCells::ParseAddress(" 1 . 2 x"), (A{1, 2, 0, 0}));
    EXPECT_EQ(TCells::ParseAddress("192.168.001.020"), (A{192, 168, 1, 20}));
    EXPECT_EQ(TCells::ParseAddress("1.2.3.4.5.6"), (A{1, 2, 3, 4}));
    const auto error = [](const char* text) {
        try {
            TCells::ParseAddress(text);
        } catch (const EConvertError& e) {
            return e.Message();
        }
        return QStringLiteral("no error");
    };
    for (const char* empty : {"1..2", ".", "abc", "1.2.3.x", "1.2.3.4.5..", "x."})
        EXPECT_EQ(error(empty), "'' is not a valid integer value") << empty;
    EXPECT_EQ(error("1.99999999999"), "'99999999999' is not a valid integer value");
}

} // namespace
