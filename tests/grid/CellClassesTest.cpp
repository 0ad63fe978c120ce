// The cell classes: their conversions to and from every value type, the
// change report of every setter, and a failed conversion leaving the cell
// as it was.

#include "CellClasses.h"
#include "Canvas.h"
#include "CellsTestSupport.h"

#include <cmath>
#include <limits>

namespace {

// One row with a column of every value kind: Boolean, date-time, float,
// integer and text, in that order.
class CellClasses : public CellsFixture {
protected:
    enum { B, D, F, I, S };
    void SetUp() override {
        CellsFixture::SetUp();
        for (TCellKind kind : {ckBoolean, ckDateTime, ckFloat, ckInteger, ckText})
            AddColumn(kind, clYellow);
        FCells.AddRows(1);
    }
    TCell* Cell(int col) { return FCells.GetCell(col, 0); }
    // The change reports since the last call.
    std::vector<std::pair<int, int>> TakeReports() { return std::exchange(FReports, {}); }
    using Reports = std::vector<std::pair<int, int>>;
};

TEST_F(CellClasses, BooleanCell) {
    TCell* c = Cell(B);
    c->SetAsBoolean(true);
    EXPECT_TRUE(c->GetAsBoolean());
    EXPECT_EQ(c->GetAsDateTime(), 0.0);
    EXPECT_EQ(c->GetAsFloat(), 0.0);
    EXPECT_EQ(c->GetAsInteger(), 0);
    EXPECT_EQ(Text(B, 0), "True");
    c->SetAsBoolean(false);
    EXPECT_EQ(Text(B, 0), "False");

    c->SetAsFloat(0.5);
    EXPECT_TRUE(c->GetAsBoolean());
    c->SetAsFloat(-3);
    EXPECT_FALSE(c->GetAsBoolean());
    c->SetAsInteger(1);
    EXPECT_TRUE(c->GetAsBoolean());
    c->SetAsInteger(0);
    EXPECT_FALSE(c->GetAsBoolean());
    c->SetAsBoolean(true);
    c->SetAsDateTime(45000.5);
    EXPECT_FALSE(c->GetAsBoolean());

    // Only the word true reads as true, in any letter case; a number does
    // not, and nothing fails.
    for (const char* text : {"True", "tRUE", "true"}) {
        c->SetAsBoolean(false);
        c->SetAsWideString(text);
        EXPECT_TRUE(c->GetAsBoolean()) << text;
    }
    for (const char* text : {"1", "False", "yes", "", " true"}) {
        c->SetAsBoolean(true);
        c->SetAsWideString(text);
        EXPECT_FALSE(c->GetAsBoolean()) << text;
    }
}

TEST_F(CellClasses, DateTimeCell) {
    TCell* c = Cell(D);
    c->SetAsWideString("09.12.2026 14:03:27");
    EXPECT_DOUBLE_EQ(c->GetAsDateTime(), EncodeDate(2026, 12, 9) + EncodeTime(14, 3, 27, 0));
    EXPECT_EQ(c->GetAsFloat(), c->GetAsDateTime());
    EXPECT_FALSE(c->GetAsBoolean());
    EXPECT_EQ(c->GetAsInteger(), 46366); // past noon rounds up
    EXPECT_EQ(Text(D, 0), "09.12.2026 14:03:27");
    c->SetAsWideString("09.12.2026");
    EXPECT_EQ(Text(D, 0), "09.12.2026"); // midnight shows no time

    c->SetAsFloat(2.5);
    EXPECT_EQ(c->GetAsInteger(), 2);
    c->SetAsInteger(-7);
    EXPECT_EQ(c->GetAsDateTime(), -7.0);
    c->SetAsDateTime(1.25);
    EXPECT_EQ(Text(D, 0), "31.12.1899 06:00:00");

    // A Boolean gives today at midnight, true or false.
    for (bool b : {true, false}) {
        c->SetAsDateTime(1.25);
        const TDateTime before = Date();
        c->SetAsBoolean(b);
        const TDateTime after = Date();
        EXPECT_TRUE(c->GetAsDateTime() == before || c->GetAsDateTime() == after);
        EXPECT_EQ(c->GetAsDateTime(), std::floor(c->GetAsDateTime()));
    }
}

TEST_F(CellClasses, FloatCell) {
    TCell* c = Cell(F);
    c->SetAsWideString("-1,5e3");
    EXPECT_EQ(c->GetAsFloat(), -1500.0);
    EXPECT_EQ(c->GetAsDateTime(), -1500.0);
    EXPECT_FALSE(c->GetAsBoolean());
    c->SetAsFloat(3.5);
    EXPECT_EQ(c->GetAsInteger(), 4);
    c->SetAsFloat(1e20);
    EXPECT_EQ(Text(F, 0), "1E20");
    c->SetAsFloat(0.1);
    EXPECT_EQ(Text(F, 0), "0,1");
    c->SetAsInteger(12);
    EXPECT_EQ(c->GetAsFloat(), 12.0);
    c->SetAsDateTime(2.75);
    EXPECT_EQ(c->GetAsFloat(), 2.75);
    c->SetAsBoolean(true);
    EXPECT_EQ(c->GetAsFloat(), 0.0);
}

TEST_F(CellClasses, IntegerCellRoundsHalvesToEven) {
    TCell* c = Cell(I);
    const std::pair<double, int> cases[] = {{2.5, 2}, {3.5, 4},  {-2.5, -2},
                                            {0.5, 0}, {2.51, 3}, {4294967297.0, 1}};
    for (const auto& [x, n] : cases) {
        c->SetAsFloat(x);
        EXPECT_EQ(c->GetAsInteger(), n) << x;
    }
    c->SetAsInteger(-42);
    EXPECT_EQ(Text(I, 0), "-42");
    EXPECT_EQ(c->GetAsFloat(), -42.0);
    EXPECT_EQ(c->GetAsDateTime(), 0.0);
    EXPECT_FALSE(c->GetAsBoolean());
    c->SetAsWideString("+17");
    EXPECT_EQ(c->GetAsInteger(), 17);
    c->SetAsBoolean(true);
    EXPECT_EQ(c->GetAsInteger(), 0);
    c->SetAsInteger(5);
    c->SetAsDateTime(3.0);
    EXPECT_EQ(c->GetAsInteger(), 0);
}

TEST_F(CellClasses, StringCellKeepsItsTextAndParsesIt) {
    TCell* c = Cell(S);
    for (const QString& text : {QStringLiteral("  Çağrı  "), QString(), QStringLiteral("x")}) {
        TakeReports();
        c->SetAsWideString(text);
        EXPECT_EQ(Text(S, 0), text);
        EXPECT_EQ(TakeReports(), (Reports{{S, 0}}));
    }

    c->SetAsWideString("1");
    EXPECT_TRUE(c->GetAsBoolean());
    EXPECT_EQ(c->GetAsInteger(), 1);
    c->SetAsWideString("0,0");
    EXPECT_FALSE(c->GetAsBoolean());
    c->SetAsWideString("tRUE");
    EXPECT_TRUE(c->GetAsBoolean());
    c->SetAsWideString("word");
    EXPECT_EQ(ErrorOf([&] { c->GetAsBoolean(); }), "'word' is not a valid boolean value");
    EXPECT_EQ(ErrorOf([&] { c->GetAsInteger(); }), "'word' is not a valid integer value");
    EXPECT_EQ(ErrorOf([&] { c->GetAsFloat(); }), "'word' is not a valid floating point value");
    EXPECT_EQ(ErrorOf([&] { c->GetAsDateTime(); }), "'word' is not a valid date and time");
    c->SetAsWideString("nan");
    EXPECT_EQ(ErrorOf([&] { c->GetAsBoolean(); }), "'nan' is not a valid boolean value");

    c->SetAsBoolean(false);
    EXPECT_EQ(Text(S, 0), "False");
    c->SetAsInteger(-5);
    EXPECT_EQ(Text(S, 0), "-5");
    c->SetAsFloat(1.5e-10);
    EXPECT_EQ(Text(S, 0), "1,5E-10");
    EXPECT_DOUBLE_EQ(c->GetAsFloat(), 1.5e-10);
    c->SetAsDateTime(EncodeDate(2026, 12, 9) + EncodeTime(14, 3, 27, 0));
    EXPECT_EQ(Text(S, 0), "09.12.2026 14:03:27");
    EXPECT_DOUBLE_EQ(c->GetAsDateTime(), EncodeDate(2026, 12, 9) + EncodeTime(14, 3, 27, 0));
}

TEST_F(CellClasses, EverySetterReportsOnceWithTheLookedUpCoordinates) {
    for (int col = B; col <= S; ++col) {
        TCell* c = Cell(col);
        TakeReports();
        c->SetAsBoolean(true);
        c->SetAsDateTime(2.0);
        c->SetAsFloat(1.0);
        c->SetAsInteger(1);
        c->SetAsWideString(col == D ? "01.01.2000" : "1");
        EXPECT_EQ(TakeReports(), Reports(5, {col, 0})) << col;
    }
}

TEST_F(CellClasses, AFailedParseStoresAndReportsNothing) {
    struct Case {
        int Col;
        const char* Bad;
        const char* Error;
    } cases[] = {{D, "32.01.2020", "'32.01.2020' is not a valid date and time"},
                 {F, "1.5", "'1.5' is not a valid floating point value"},
                 {F, "INF", "'INF' is not a valid floating point value"},
                 {I, "4,2", "'4,2' is not a valid integer value"},
                 {I, "2147483648", "'2147483648' is not a valid integer value"}};
    for (const Case& k : cases) {
        TCell* c = Cell(k.Col);
        c->SetAsInteger(7);
        TakeReports();
        EXPECT_EQ(ErrorOf([&] { c->SetAsWideString(k.Bad); }), k.Error);
        EXPECT_EQ(c->GetAsInteger(), 7) << k.Bad;
        EXPECT_TRUE(TakeReports().empty()) << k.Bad;
    }
    // Rounding what is not a number fails the same way.
    TCell* c = Cell(I);
    EXPECT_THROW(c->SetAsFloat(std::numeric_limits<double>::quiet_NaN()), EInvalidOp);
    EXPECT_EQ(c->GetAsInteger(), 7);
    EXPECT_TRUE(TakeReports().empty());
}

TEST_F(CellClasses, ColourIsReportedOnceTheCellExists) {
    TCell* c = Cell(S);
    EXPECT_FALSE(c->Creating());
    EXPECT_EQ(c->Color(), clYellow);
    c->SetColor(clRed);
    EXPECT_EQ(c->Color(), clRed);
    EXPECT_EQ(TakeReports(), (Reports{{S, 0}}));

    // A cell that no store has finished keeps its colour to itself.
    TStringCell loose(&FCells);
    EXPECT_TRUE(loose.Creating());
    loose.SetColor(clBlue);
    EXPECT_EQ(loose.Color(), clBlue);
    EXPECT_TRUE(TakeReports().empty());
}

TEST_F(CellClasses, DrawingColoursComeFromTheGridForTheStampedCell) {
    FCells.AddRows(2);
    TCell* c = FCells.GetCell(F, 2);
    EXPECT_EQ(c->GetDrawColor(), TRecordingGrid::CellColor(F, 2));
    EXPECT_EQ(c->GetDrawFontColor(), TRecordingGrid::TextColor(F, 2));
    EXPECT_EQ(FGrid.ColorAsked, (Reports{{F, 2}}));
    EXPECT_EQ(FGrid.TextColorAsked, (Reports{{F, 2}}));

    // Without a grid a cell draws in its own colours.
    TCells bare(nullptr, &FColumns);
    bare.SyncColumns(scAdded, -1, -1);
    bare.AddRows(1);
    EXPECT_EQ(bare.GetCell(0, 0)->GetDrawColor(), clYellow);
    EXPECT_EQ(bare.GetCell(0, 0)->GetDrawFontColor(), clWindowText);
}

TEST_F(CellClasses, NoteAndPictureBelongToTheCellAndReportNothing) {
    TCell* c = Cell(S);
    EXPECT_TRUE(c->Note().isEmpty());
    EXPECT_EQ(c->Graphic(), nullptr);
    TBitmap picture(4, 4);
    c->SetNote("Not: \xE7"); // 8-bit text
    c->SetGraphic(&picture);
    EXPECT_EQ(c->Note(), "Not: \xE7");
    EXPECT_EQ(c->Graphic(), &picture);
    c->SetNote({});
    EXPECT_EQ(c->Graphic(), &picture);
    c->SetGraphic(nullptr);
    EXPECT_TRUE(c->Note().isEmpty());
    EXPECT_EQ(c->Graphic(), nullptr);
    EXPECT_TRUE(TakeReports().empty());

    // The note stays with its cell when the rows move, and goes with it.
    FCells.AddRows(2);
    FCells.GetCell(S, 2)->SetNote("third");
    FCells.DeleteRow(0);
    EXPECT_EQ(FCells.GetCell(S, 1)->Note(), "third");
    FCells.DeleteRow(1);
    FCells.AddRows(1);
    EXPECT_TRUE(FCells.GetCell(S, 1)->Note().isEmpty());
}

} // namespace
