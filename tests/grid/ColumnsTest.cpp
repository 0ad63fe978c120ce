// The column collection and the column base: display order and positions,
// the layout of offsets and visible indices, the auto-size rule, the single
// sorted and search column, the change reports of the setters, the parts,
// the copy of a column, and columns read from and written to layouts.

#include "ColumnsTestSupport.h"

#include "CellEditors.h"
#include "Displays.h"

#include <QImage>
#include <QPointer>

namespace {

using Columns = ColumnsFixture;

QStringList Captions(const std::vector<TCustomColumn*>& columns) {
    QStringList captions;
    for (const TCustomColumn* c : columns)
        captions << c->Header()->Caption();
    return captions;
}

// The call list of the main window: five text columns as its layout stores
// them, every property written.
QByteArray CallListLayout() {
    struct Column {
        const char* Caption;
        int Position, Width;
        const char* SortKind;
    };
    const Column columns[] = {{"Saat", 2, 148, "skAscending"},
                              {"Cihaz seri no.", 3, 131, "skAscending"},
                              {"Çağrı sıra no", 4, 90, "skAscending"},
                              {"Hat no.", 0, 73, "skDescending"},
                              {"Arayan numara", 1, 100, "skAscending"}};
    QByteArray xml = R"(<?xml version="1.0" encoding="UTF-8"?>
<object class="TColumnsTestForm" name="Form">
  <object class="TTestGridView" name="Grid">
)";
    for (const Column& c : columns) {
        xml += QStringLiteral(R"(    <object class="TTextualColumn">
      <property name="Tag">0</property>
      <property name="Alignment">taCenter</property>
      <property name="Color">clWindow</property>
      <property name="Cursor">crDefault</property>
      <property name="DrawingOptions">doNormal</property>
      <property name="DefaultWidth">%3</property>
      <property name="Font.Charset">1</property>
      <property name="Font.Color">clWindowText</property>
      <property name="Font.Height">-11</property>
      <property name="Font.Name">MS Sans Serif</property>
      <property name="Font.Style">[]</property>
      <property name="Footer.Color">clWindow</property>
      <property name="Footer.FormulaKind">fkNone</property>
      <property name="FormulaKind">fkNone</property>
      <property name="Header.Caption">%1</property>
      <property name="Header.Color">clBtnFace</property>
      <property name="Header.DisplayMode">dmTextOnly</property>
      <property name="Options">[coAutoSize,coCanInput,coDontHighlight,coPublicUsing]</property>
      <property name="Position">%2</property>
      <property name="SlideBounds.Left">0</property>
      <property name="SlideBounds.Top">0</property>
      <property name="SlideBounds.Height">0</property>
      <property name="SlideBounds.Width">0</property>
      <property name="Sorted">False</property>
      <property name="SortKind">%4</property>
      <property name="SortType">stAlphabetic</property>
      <property name="VerticalAlignment">vaMiddle</property>
      <property name="Visible">True</property>
      <property name="Width">%3</property>
      <property name="WrapKind">wkEllipsis</property>
      <property name="AutoExecute">True</property>
    </object>
)")
                   .arg(QString::fromUtf8(c.Caption))
                   .arg(c.Position)
                   .arg(c.Width)
                   .arg(QLatin1String(c.SortKind))
                   .toUtf8();
    }
    xml += "  </object>\n</object>\n";
    return xml;
}

QByteArray ColumnEntry(int Position, int Width = 80) {
    return QStringLiteral(R"(    <object class="TTextualColumn">
      <property name="Position">%1</property>
      <property name="Width">%2</property>
    </object>
)")
        .arg(Position)
        .arg(Width)
        .toUtf8();
}

// ---- Display order and positions

TEST_F(Columns, PositionsReadFromALayoutOrderTheDisplayWhileItemsKeepsReadingOrder) {
    auto form = Read(CallListLayout());
    TTestGridView* grid = GridOf(form.get());
    ASSERT_NE(grid, nullptr);
    TColumns* columns = grid->Columns();
    ASSERT_EQ(columns->Count(), 5);
    std::vector<TCustomColumn*> items, shown;
    for (int i = 0; i < 5; ++i) {
        items.push_back(columns->Items(i));
        shown.push_back(columns->DisplayItems(i));
        EXPECT_EQ(columns->Items(i)->Index(), i);
        EXPECT_EQ(columns->Items(i)->Columns(), columns);
    }
    EXPECT_EQ(Captions(items),
              QStringList({"Saat", "Cihaz seri no.", "Çağrı sıra no", "Hat no.", "Arayan numara"}));
    EXPECT_EQ(Captions(shown),
              QStringList({"Hat no.", "Arayan numara", "Saat", "Cihaz seri no.", "Çağrı sıra no"}));
    // Left to right without gaps, in display order.
    EXPECT_EQ(shown[0]->Left(), 0);
    EXPECT_EQ(shown[1]->Left(), 73);
    EXPECT_EQ(shown[2]->Left(), 173);
    EXPECT_EQ(shown[3]->Left(), 321);
    EXPECT_EQ(shown[4]->Left(), 452);
    EXPECT_EQ(shown[4]->VisibleIndex(), 4);
    EXPECT_EQ(columns->VisibleWidth(), 542);
    // The read settings reach the columns.
    auto* time = qobject_cast<TTextualColumn*>(items[0]);
    ASSERT_NE(time, nullptr);
    EXPECT_EQ(time->Alignment(), taCenter);
    EXPECT_EQ(time->Options(),
              TColumnOptions(coAutoSize) | coCanInput | coDontHighlight | coPublicUsing);
    EXPECT_TRUE(time->AutoExecute());
    EXPECT_EQ(time->Color(), clWindow);
    EXPECT_EQ(items[3]->SortKind(), skDescending);
    EXPECT_EQ(items[1]->DefaultWidth(), 131);
    EXPECT_FALSE(items[2]->IsLoading());
    // The columns are the collection's, not the window's.
    EXPECT_EQ(items[0]->parent(), columns);
}

TEST_F(Columns, EqualPositionsKeepReadingOrderUntilAMoveRenumbersThem) {
    auto form = Read(GridLayout(ColumnEntry(1) + ColumnEntry(1) + ColumnEntry(0)));
    TColumns* columns = GridOf(form.get())->Columns();
    EXPECT_EQ(columns->DisplayItems(0), columns->Items(2));
    EXPECT_EQ(columns->DisplayItems(1), columns->Items(0));
    EXPECT_EQ(columns->DisplayItems(2), columns->Items(1));

    columns->MoveColumn(2, 1);
    EXPECT_EQ(columns->DisplayItems(1), columns->Items(1));
    EXPECT_EQ(columns->DisplayItems(2), columns->Items(0));
    for (int p = 0; p < 3; ++p)
        EXPECT_EQ(columns->DisplayItems(p)->Position(), p);
}

// Of two columns read with the same Position only the first is shown
// there; setting the second one's Position must move that column, not the
// one its stored number happens to name.
TEST_F(Columns, SettingThePositionOfAColumnReadWithAnEqualPositionMovesThatColumn) {
    auto form = Read(GridLayout(ColumnEntry(1) + ColumnEntry(1) + ColumnEntry(0)));
    TColumns* columns = GridOf(form.get())->Columns();
    TCustomColumn* first = columns->Items(0);
    TCustomColumn* second = columns->Items(1);
    TCustomColumn* third = columns->Items(2);
    ASSERT_EQ(columns->DisplayItems(2), second);

    second->SetPosition(0);
    EXPECT_EQ(columns->DisplayItems(0), second);
    EXPECT_EQ(columns->DisplayItems(1), third);
    EXPECT_EQ(columns->DisplayItems(2), first);
    for (int p = 0; p < 3; ++p)
        EXPECT_EQ(columns->DisplayItems(p)->Position(), p);
}

TEST_F(Columns, StoredPositionsThatAreNoDisplayPositionsOrderButCannotBeSet) {
    auto form = Read(GridLayout(ColumnEntry(10) + ColumnEntry(5)));
    TTestGridView* grid = GridOf(form.get());
    TColumns* columns = grid->Columns();
    TCustomColumn* ten = columns->Items(0);
    TCustomColumn* five = columns->Items(1);
    // Shown in the order of the numbers, which are not renumbered.
    EXPECT_EQ(columns->DisplayItems(0), five);
    EXPECT_EQ(columns->DisplayItems(1), ten);
    EXPECT_EQ(five->Position(), 5);
    EXPECT_EQ(ten->Position(), 10);

    grid->Changes.clear();
    EXPECT_EQ(ErrorOf([&] { five->SetPosition(0); }), "List index out of bounds (5)");
    EXPECT_EQ(ErrorOf([&] { ten->SetPosition(1); }), "List index out of bounds (10)");
    // Dropping one dragged header on the other moves by the same numbers.
    EXPECT_EQ(ErrorOf([&] { columns->MoveColumn(five->Position(), ten->Position()); }),
              "List index out of bounds (5)");
    EXPECT_EQ(five->Position(), 5);
    EXPECT_EQ(ten->Position(), 10);
    EXPECT_EQ(columns->DisplayItems(0), five);
    EXPECT_TRUE(grid->Changes.empty());
}

TEST_F(Columns, MovingAColumnShiftsTheOnesBetweenAndRenumbersAll) {
    TCustomColumn* a = Add(80, 0);
    TCustomColumn* b = Add(90, 1);
    TCustomColumn* c = Add(100, 2);
    FGrid.Columns()->MoveColumn(0, 2);
    EXPECT_EQ(Shown(), (std::vector<TCustomColumn*>{b, c, a}));
    EXPECT_EQ(Positions(), (std::vector<int>{2, 0, 1}));
    EXPECT_EQ(b->Left(), 0);
    EXPECT_EQ(c->Left(), 90);
    EXPECT_EQ(a->Left(), 190);
    ASSERT_EQ(FGrid.Changes.size(), 1u);
    EXPECT_EQ(FGrid.Changes[0], std::make_pair(a, ccPosition));
    FGrid.Changes.clear();

    // Setting Position moves the same way and reports the move twice: the
    // collection's report and the column's own.
    c->SetPosition(0);
    EXPECT_EQ(Shown(), (std::vector<TCustomColumn*>{c, b, a}));
    EXPECT_EQ(Positions(), (std::vector<int>{2, 1, 0}));
    EXPECT_EQ(FGrid.TakeKinds(), (std::vector<TColumnChange>{ccPosition, ccPosition}));

    // A move to the place the column holds does nothing but the column's
    // own report.
    c->SetPosition(0);
    EXPECT_EQ(FGrid.TakeKinds(), (std::vector<TColumnChange>{ccPosition}));
    EXPECT_EQ(ErrorOf([&] { FGrid.Columns()->MoveColumn(0, 3); }), "List index out of bounds (3)");
    EXPECT_EQ(ErrorOf([&] { FGrid.Columns()->MoveColumn(-1, 0); }),
              "List index out of bounds (-1)");
    EXPECT_EQ(Shown(), (std::vector<TCustomColumn*>{c, b, a}));
}

TEST_F(Columns, IndexedAccessOutsideTheListsRaisesTheListError) {
    Add();
    EXPECT_EQ(ErrorOf([&] { FGrid.Columns()->Items(1); }), "List index out of bounds (1)");
    EXPECT_EQ(ErrorOf([&] { FGrid.Columns()->DisplayItems(-1); }), "List index out of bounds (-1)");
}

// ---- Layout of offsets

TEST_F(Columns, AHiddenColumnTakesNoRoomAndHasNoVisibleIndex) {
    TCustomColumn* a = Add(50, 0);
    TCustomColumn* b = Add(60, 1);
    TCustomColumn* c = Add(70, 2);
    b->SetVisible(false);
    EXPECT_EQ(FGrid.TakeKinds(), (std::vector<TColumnChange>{ccVisible}));
    EXPECT_EQ(b->VisibleIndex(), -1);
    EXPECT_EQ(c->Left(), 50);
    EXPECT_EQ(c->VisibleIndex(), 1);
    EXPECT_EQ(FGrid.Columns()->VisibleCount(), 2);
    EXPECT_EQ(FGrid.Columns()->VisibleWidth(), 120);
    EXPECT_EQ(a->VisiblePlace(), 1);
    EXPECT_EQ(c->VisiblePlace(), 3);
    EXPECT_EQ(b->VisiblePlace(), 2);

    b->SetVisible(true);
    EXPECT_EQ(c->Left(), 110);
    EXPECT_EQ(b->VisibleIndex(), 1);
    EXPECT_EQ(b->VisiblePlace(), 2);
    a->SetVisible(false);
    c->SetVisible(false);
    EXPECT_TRUE(b->IsOnlyVisible());
    EXPECT_EQ(b->VisiblePlace(), 0);
    EXPECT_EQ(b->Left(), 0);
}

TEST_F(Columns, WidthIsAtLeastEightAndMovesTheColumnsRightOfIt) {
    TCustomColumn* a = Add(50, 0);
    TCustomColumn* b = Add(60, 1);
    a->SetWidth(0);
    EXPECT_EQ(a->Width(), 8);
    EXPECT_EQ(b->Left(), 8);
    EXPECT_EQ(FGrid.Columns()->VisibleWidth(), 68);
    EXPECT_EQ(FGrid.TakeKinds(), (std::vector<TColumnChange>{ccWidth}));
    a->SetWidth(-20);
    EXPECT_EQ(a->Width(), 8);
    // The stored width follows only while the grid is being designed.
    EXPECT_EQ(a->DefaultWidth(), 80);
    FGrid.SetComponentStateFlags(csDesigning, true);
    a->SetWidth(33);
    EXPECT_EQ(a->DefaultWidth(), 33);
}

TEST_F(Columns, TheDataAreasLeftEdgeMovesEveryColumn) {
    TCustomColumn* a = Add(50, 0);
    TCustomColumn* b = Add(60, 1);
    FGrid.MoveDataLeft(12);
    EXPECT_EQ(a->Left(), 12);
    EXPECT_EQ(b->Left(), 62);
    FGrid.MoveDataLeft(0);
    EXPECT_EQ(b->Left(), 50);
}

TEST_F(Columns, TheLayoutHookOfACollectionThatWentDoesNothing) {
    auto grid = std::make_unique<TTestGridView>();
    auto* other = new TColumns(grid.get());
    delete other;
    // The grid's hook now belongs to a freed collection.
    grid->MoveDataLeft(12);
    auto* column = new TTextualColumn();
    grid->Columns()->Add(column);
    EXPECT_EQ(column->Left(), 12);
}

// ---- Auto-size

TEST_F(Columns, AutoSizeShareTheRoomTheFixedColumnsLeave) {
    TCustomColumn* fixed = Add(100, 0);
    fixed->SetOptions(TColumnOptions(coAutoSize) | coFixedSize);
    TCustomColumn* a = Add(50, 1);
    a->SetOptions(coAutoSize);
    TCustomColumn* b = Add(150, 2);
    b->SetOptions(coAutoSize);
    // Neither hidden columns nor columns without coAutoSize change.
    TCustomColumn* hidden = Add(40, 3);
    hidden->SetOptions(coAutoSize);
    hidden->SetVisible(false);
    FGrid.Changes.clear();
    FGrid.Columns()->AutoSizeColumns(500);
    EXPECT_EQ(fixed->Width(), 100);
    EXPECT_EQ(a->Width(), 100);
    EXPECT_EQ(b->Width(), 300);
    EXPECT_EQ(hidden->Width(), 40);
    EXPECT_EQ(b->Left(), 200);
    EXPECT_EQ(FGrid.TakeKinds(), (std::vector<TColumnChange>{ccWidth, ccWidth}));
}

TEST_F(Columns, AutoSizeFitsTheCallListsColumnsToTheClientWidth) {
    auto form = Read(CallListLayout());
    TColumns* columns = GridOf(form.get())->Columns();
    columns->AutoSizeColumns(549);
    std::vector<int> widths;
    for (int i = 0; i < 5; ++i)
        widths.push_back(columns->Items(i)->Width());
    EXPECT_EQ(widths, (std::vector<int>{150, 133, 91, 74, 101}));
    EXPECT_EQ(columns->VisibleWidth(), 549);
    // Shrinking back gives every column at least 8 pixels.
    columns->AutoSizeColumns(20);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(columns->Items(i)->Width(), 8);
}

TEST_F(Columns, AutoSizeRoundsAnExactHalfDownAndCarriesTheRemainder) {
    TCustomColumn* a = Add(10, 0);
    TCustomColumn* b = Add(10, 1);
    a->SetOptions(coAutoSize);
    b->SetOptions(coAutoSize);
    FGrid.Columns()->AutoSizeColumns(25);
    EXPECT_EQ(a->Width(), 12);
    EXPECT_EQ(b->Width(), 13);
    // The indicator's 12 pixels are not the columns' to share.
    FGrid.MoveDataLeft(12);
    FGrid.Columns()->AutoSizeColumns(112);
    EXPECT_EQ(a->Width() + b->Width(), 100);
}

TEST_F(Columns, AutoSizeOfWideColumnsDoesNotOverflow) {
    TCustomColumn* a = Add(100000, 0);
    TCustomColumn* b = Add(100000, 1);
    a->SetOptions(coAutoSize);
    b->SetOptions(coAutoSize);
    FGrid.Columns()->AutoSizeColumns(300000);
    EXPECT_EQ(a->Width(), 150000);
    EXPECT_EQ(b->Width(), 150000);
}

// ---- One sorted column, one search column

TEST_F(Columns, OnlyOneColumnIsSorted) {
    TCustomColumn* a = Add();
    TCustomColumn* b = Add();
    a->SetSorted(true);
    b->SetSorted(true);
    EXPECT_FALSE(a->Sorted());
    EXPECT_TRUE(b->Sorted());
    // Only the column set reports.
    ASSERT_EQ(FGrid.Changes.size(), 2u);
    EXPECT_EQ(FGrid.Changes[1], std::make_pair(static_cast<TCustomColumn*>(b), ccSort));
    FGrid.Changes.clear();
    b->SetSorted(true);
    EXPECT_TRUE(b->Sorted());
    EXPECT_EQ(FGrid.TakeKinds(), (std::vector<TColumnChange>{ccSort}));
    b->SetSorted(false);
    EXPECT_FALSE(b->Sorted());
    EXPECT_FALSE(a->Sorted());
}

TEST_F(Columns, GivingTheSearchOptionToAColumnTakesItFromTheOthers) {
    TCustomColumn* a = Add();
    TCustomColumn* b = Add();
    TCustomColumn* c = Add();
    a->SetOptions(a->Options() | coSearchColumn);
    FGrid.Changes.clear();
    b->SetOptions(b->Options() | coSearchColumn | coEditing);
    EXPECT_FALSE(a->Options().testFlag(coSearchColumn));
    EXPECT_TRUE(b->Options().testFlag(coSearchColumn));
    EXPECT_TRUE(a->Options().testFlag(coCanSort));
    // Each other column reports its own change, then the column set.
    ASSERT_EQ(FGrid.Changes.size(), 3u);
    EXPECT_EQ(FGrid.Changes[0], std::make_pair(a, ccAppearance));
    EXPECT_EQ(FGrid.Changes[1], std::make_pair(c, ccAppearance));
    EXPECT_EQ(FGrid.Changes[2], std::make_pair(b, ccAppearance));
    // Setting it again on the holder leaves the others alone.
    FGrid.Changes.clear();
    b->SetOptions(b->Options());
    EXPECT_EQ(FGrid.Changes.size(), 1u);
}

TEST_F(Columns, AColumnOutsideACollectionStoresEverythingAndReportsNothing) {
    TTextualColumn loose;
    loose.SetSorted(true);
    loose.SetOptions(coSearchColumn);
    loose.SetPosition(7);
    loose.SetWidth(3);
    loose.SetVisible(false);
    loose.InvalidatePart(1);
    EXPECT_TRUE(loose.Sorted());
    EXPECT_EQ(loose.Options(), TColumnOptions(coSearchColumn));
    EXPECT_EQ(loose.Position(), 7);
    EXPECT_EQ(loose.Width(), 8);
    EXPECT_EQ(loose.Index(), -1);
    EXPECT_EQ(loose.GetPartRect(1), TRect());
    EXPECT_FALSE(loose.IsCurrent());
}

// ---- Structure events

TEST_F(Columns, AddAndClearFireTheCellsEventThenTheStructureEvent) {
    std::vector<std::pair<QString, TColumnsChange>> events;
    TColumns* columns = FGrid.Columns();
    columns->OnCellsChange = [&](TColumns* sender, TColumnsChange kind, int i1, int i2) {
        EXPECT_EQ(sender, columns);
        EXPECT_EQ(i1, -1);
        EXPECT_EQ(i2, -1);
        events.emplace_back("cells", kind);
    };
    columns->OnStructureChange = [&](TColumns*, TColumnsChange kind, int i1, int i2) {
        EXPECT_EQ(i1, -1);
        EXPECT_EQ(i2, -1);
        events.emplace_back("structure", kind);
    };
    columns->Clear();
    columns->Add(new TTextualColumn());
    QPointer<TCustomColumn> added = columns->Items(0);
    columns->Clear();
    EXPECT_EQ(events, (std::vector<std::pair<QString, TColumnsChange>>{{"cells", scCleared},
                                                                       {"structure", scCleared},
                                                                       {"cells", scAdded},
                                                                       {"structure", scAdded},
                                                                       {"cells", scCleared},
                                                                       {"structure", scCleared}}));
    EXPECT_TRUE(added.isNull());
    EXPECT_EQ(columns->Count(), 0);
    EXPECT_EQ(ErrorOf([&] { columns->DisplayItems(0); }), "List index out of bounds (0)");
}

TEST_F(Columns, TheColumnAfterTheLastOneIsRefusedBeforeItIsAdded) {
    for (int i = 0; i < TColumns::MaxColumns; ++i)
        Add(8, i);
    int events = 0;
    FGrid.Columns()->OnCellsChange = [&](TColumns*, TColumnsChange, int, int) { ++events; };
    auto extra = std::make_unique<TTextualColumn>();
    EXPECT_EQ(ErrorOf([&] { FGrid.Columns()->Add(extra.get()); }),
              "A grid holds at most 1025 columns");
    EXPECT_EQ(FGrid.Columns()->Count(), 1025);
    EXPECT_EQ(ErrorOf([&] { FGrid.Columns()->DisplayItems(1025); }),
              "List index out of bounds (1025)");
    EXPECT_EQ(extra->Columns(), nullptr);
    EXPECT_EQ(extra->parent(), nullptr);
    EXPECT_EQ(events, 0);
}

// ---- Change reports of the setters

TEST_F(Columns, EverySetterReportsItsKindOfChange) {
    TTextualColumn* c = Add<TTextualColumn>();
    TFont font;
    font.SetName("Arial");
    TColumnFooter footer(nullptr);
    footer.SetCaption("total");
    TColumnHeader header(nullptr);
    header.SetCaption("Saat");
    TSlideBounds bounds(nullptr);
    bounds.SetLeft(4);
    const std::vector<std::pair<const char*, std::function<void()>>> setters = {
        {"Alignment", [&] { c->SetAlignment(taRightJustify); }},
        {"Color", [&] { c->SetColor(clRed); }},
        {"Cursor", [&] { c->SetCursor(TControl::crHandPoint); }},
        {"DrawingOptions", [&] { c->SetDrawingOptions(doCustom); }},
        {"Font", [&] { c->SetFont(font); }},
        {"Footer", [&] { c->SetFooter(footer); }},
        {"FormulaKind", [&] { c->SetFormulaKind(fkSum); }},
        {"Header",
         [&] {
             c->SetHeader(header);
             EXPECT_EQ(c->Header()->Caption(), "Saat");
         }},
        {"InputCaption", [&] { c->SetInputCaption("yeni"); }},
        {"Options", [&] { c->SetOptions(coEditing); }},
        {"SlideBounds", [&] { c->SetSlideBounds(bounds); }},
        {"VerticalAlignment", [&] { c->SetVerticalAlignment(vaTop); }},
        {"Header.Caption", [&] { c->Header()->SetCaption("x"); }},
        {"Header.DisplayMode", [&] { c->Header()->SetDisplayMode(dmImageOnly); }},
        {"Footer.Color", [&] { c->Footer()->SetColor(clYellow); }},
        {"Footer.FormulaKind", [&] { c->Footer()->SetFormulaKind(fkAverage); }},
        {"Font.Height", [&] { c->Font()->SetHeight(-13); }},
    };
    for (const auto& [name, set] : setters) {
        set();
        EXPECT_EQ(FGrid.TakeKinds(), (std::vector<TColumnChange>{ccAppearance})) << name;
    }
    EXPECT_EQ(c->Font()->Name(), "Arial");
    EXPECT_EQ(c->Footer()->Caption(), "total");
    EXPECT_EQ(c->Header()->Caption(), "x");
    EXPECT_EQ(c->SlideBounds()->Left(), 4);

    c->SetInputValue("12");
    EXPECT_EQ(FGrid.TakeKinds(), (std::vector<TColumnChange>{ccInputValue}));
    c->SetSortKind(skDescending);
    c->SetSortType(stNumeric);
    EXPECT_EQ(FGrid.TakeKinds(), (std::vector<TColumnChange>{ccSort, ccSort}));
    c->SetVisible(false);
    c->SetWidth(40);
    EXPECT_EQ(FGrid.TakeKinds(), (std::vector<TColumnChange>{ccVisible, ccWidth}));
    // Stored only.
    c->SetDefaultValue("a");
    c->SetDefaultWidth(12);
    c->SetWrapKind(wkWordWrap);
    c->SlideBounds()->SetTop(3);
    c->SetTextAfter(")");
    EXPECT_TRUE(FGrid.Changes.empty());
    // Every report names the column.
    c->SetColor(clBlue);
    ASSERT_EQ(FGrid.Changes.size(), 1u);
    EXPECT_EQ(FGrid.Changes[0].first, c);
}

// ---- The parts

TEST_F(Columns, ANewColumnHasItsDefaultsAndItsOwnParts) {
    TCustomColumn c;
    EXPECT_EQ(c.Alignment(), taLeftJustify);
    EXPECT_EQ(c.Color(), clBlack);
    EXPECT_EQ(c.CellKind(), ckText);
    EXPECT_EQ(c.Cursor(), TControl::crDefault);
    EXPECT_EQ(c.DefaultWidth(), 80);
    EXPECT_EQ(c.Width(), 80);
    EXPECT_EQ(c.Position(), -1);
    EXPECT_EQ(c.Options(), TColumnOptions(coCanClick) | coCanSort | coCanInput |
                               coEditorAutoSelect | coPublicUsing);
    EXPECT_EQ(c.VerticalAlignment(), vaMiddle);
    EXPECT_EQ(c.WrapKind(), wkEllipsis);
    EXPECT_TRUE(c.Visible());
    EXPECT_FALSE(c.Sorted());
    EXPECT_EQ(c.SortKind(), skAscending);
    EXPECT_EQ(c.SortType(), stAlphabetic);
    EXPECT_EQ(c.Header()->Color(), clBtnFace);
    EXPECT_EQ(c.Header()->DisplayMode(), dmTextOnly);
    EXPECT_TRUE(c.Header()->Glyph()->Empty());
    EXPECT_EQ(c.Footer()->Color(), clWindow);
    EXPECT_EQ(c.Footer()->FormulaKind(), fkNone);
    EXPECT_EQ(c.Header()->Column(), &c);
    EXPECT_EQ(c.SlideBounds()->Column(), &c);
    // The base names no companions.
    EXPECT_EQ(c.Editor(), nullptr);
    EXPECT_EQ(c.Display(), nullptr);
    EXPECT_EQ(c.Play(), nullptr);
}

TEST_F(Columns, AHeaderGlyphTakesItsBottomLeftPixelAsTransparentColour) {
    TCustomColumn* c = Add<TTextualColumn>();
    TBitmap picture(4, 3, TBitmap::pf24bit);
    picture.Canvas()->Brush = TBrush{clRed, bsSolid};
    picture.Canvas()->FillRect(Rect(0, 0, 4, 3));
    picture.SetPixel(0, 2, clLime);
    c->Header()->SetGlyph(picture);
    EXPECT_TRUE(c->Header()->Glyph()->Transparent());
    EXPECT_EQ(c->Header()->Glyph()->TransparentColor(), clLime);
    EXPECT_EQ(FGrid.TakeKinds(), (std::vector<TColumnChange>{ccAppearance}));
    // Loading a picture into the glyph itself counts the same.
    QImage image(2, 2, QImage::Format_RGB32);
    image.fill(qRgb(0, 0, 255));
    image.setPixel(0, 1, qRgb(1, 2, 3));
    c->Header()->Glyph()->SetImage(image);
    EXPECT_EQ(c->Header()->Glyph()->TransparentColor(), RGB(1, 2, 3));
    EXPECT_EQ(FGrid.TakeKinds(), (std::vector<TColumnChange>{ccAppearance}));
    // Stored as picture bytes and read back.
    const QByteArray data = c->Header()->GlyphData();
    TColumnHeader other(nullptr);
    other.SetGlyphData(data);
    EXPECT_EQ(other.Glyph()->Image(), c->Header()->Glyph()->Image());
    EXPECT_EQ(other.Glyph()->TransparentColor(), RGB(1, 2, 3));
    EXPECT_EQ(ErrorOf([&] { other.SetGlyphData("not a picture"); }), "Bitmap image is not valid");
    EXPECT_FALSE(other.Glyph()->Empty());
}

TEST_F(Columns, PartsCopyFromTheirOwnKindOnly) {
    TColumnHeader a(nullptr), b(nullptr);
    a.SetCaption("Saat");
    a.SetColor(clRed);
    a.SetDisplayMode(dmTextAndImage);
    b.Assign(&a);
    EXPECT_EQ(b.Caption(), "Saat");
    EXPECT_EQ(b.Color(), clRed);
    EXPECT_EQ(b.DisplayMode(), dmTextAndImage);
    // A footer takes what parts share.
    TColumnFooter f(nullptr);
    f.SetFormulaKind(fkMaximum);
    f.Assign(&a);
    EXPECT_EQ(f.Caption(), "Saat");
    EXPECT_EQ(f.FormulaKind(), fkMaximum);
    TFont font;
    EXPECT_EQ(ErrorOf([&] { f.Assign(&font); }), "Cannot assign a TFont to a TColumnFooter");
    EXPECT_EQ(ErrorOf([&] { f.Assign(nullptr); }), "Cannot assign a nil to a TColumnFooter");

    TSlideBounds s(nullptr), t(nullptr);
    s.SetLeft(1);
    s.SetTop(2);
    s.SetWidth(30);
    s.SetHeight(40);
    t.Assign(&s);
    EXPECT_EQ(t.Right(), 31);
    EXPECT_EQ(t.Bottom(), 42);
}

TEST_F(Columns, AColumnCopiesTheSettingsOfAnotherButNotItsStoredWidthTotalOrSortType) {
    TTextualColumn source;
    source.SetAlignment(taRightJustify);
    source.SetColor(clYellow);
    source.SetCursor(TControl::crHandPoint);
    source.SetDefaultValue("d");
    source.SetDrawingOptions(doCustomOnly);
    source.Font()->SetName("Arial");
    source.Footer()->SetCaption("f");
    source.Header()->SetCaption("h");
    source.SetInputCaption("ic");
    source.SetInputValue("iv");
    source.SetOptions(coEditing);
    source.SetPosition(3);
    source.SlideBounds()->SetHeight(9);
    source.SetSorted(true);
    source.SetSortKind(skDescending);
    source.SetVerticalAlignment(vaBottom);
    source.SetVisible(false);
    source.SetWidth(55);
    source.SetWrapKind(wkNone);
    source.SetDefaultWidth(11);
    source.SetFormulaKind(fkSum);
    source.SetSortType(stIP);
    source.SetTextBefore("(");
    source.SetTextAfter(")");
    source.SetAutoExecute(true);

    TTextualColumn copy;
    copy.Assign(&source);
    EXPECT_EQ(copy.Alignment(), taRightJustify);
    EXPECT_EQ(copy.Color(), clYellow);
    EXPECT_EQ(copy.Cursor(), TControl::crHandPoint);
    EXPECT_EQ(copy.DefaultValue(), "d");
    EXPECT_EQ(copy.DrawingOptions(), doCustomOnly);
    EXPECT_EQ(copy.Font()->Name(), "Arial");
    EXPECT_EQ(copy.Footer()->Caption(), "f");
    EXPECT_EQ(copy.Header()->Caption(), "h");
    EXPECT_EQ(copy.InputCaption(), "ic");
    EXPECT_EQ(copy.InputValue(), "iv");
    EXPECT_EQ(copy.Options(), TColumnOptions(coEditing));
    EXPECT_EQ(copy.Position(), 3);
    EXPECT_EQ(copy.SlideBounds()->Height(), 9);
    EXPECT_TRUE(copy.Sorted());
    EXPECT_EQ(copy.SortKind(), skDescending);
    EXPECT_EQ(copy.VerticalAlignment(), vaBottom);
    EXPECT_FALSE(copy.Visible());
    EXPECT_EQ(copy.Width(), 55);
    EXPECT_EQ(copy.WrapKind(), wkNone);
    EXPECT_EQ(copy.TextBefore(), "(");
    EXPECT_EQ(copy.TextAfter(), ")");
    EXPECT_TRUE(copy.AutoExecute());
    EXPECT_EQ(copy.DefaultWidth(), 80);
    EXPECT_EQ(copy.FormulaKind(), fkNone);
    EXPECT_EQ(copy.SortType(), stAlphabetic);

    // A column of the base takes only what columns share.
    TNumericColumn numeric;
    numeric.Assign(&source);
    EXPECT_EQ(numeric.Width(), 55);
    EXPECT_EQ(numeric.TextAfter(), "");
    TFont font;
    EXPECT_EQ(ErrorOf([&] { copy.Assign(&font); }), "Cannot assign a TFont to a TTextualColumn");
}

// ---- What the column asks of its grid

TEST_F(Columns, PartRectanglesFollowTheColumnAndTheHorizontalScroll) {
    Add(50, 0);
    TCustomColumn* c = Add(60, 1);
    FGrid.HeaderBand = Rect(0, 0, 400, 20);
    FGrid.InputBand = Rect(0, 20, 400, 38);
    FGrid.FooterBand = Rect(0, 200, 400, 224);
    EXPECT_EQ(c->GetPartRect(1), Rect(50, 0, 110, 20));
    EXPECT_EQ(c->GetPartRect(4), Rect(50, 20, 110, 32));
    EXPECT_EQ(c->GetPartRect(0), Rect(50, 204, 110, 224));
    EXPECT_EQ(c->GetPartRect(2), TRect());
    FGrid.HorzScrollBar()->SetMax(100);
    FGrid.HorzScrollBar()->SetPosition(30);
    EXPECT_EQ(c->GetPartRect(1), Rect(20, 0, 80, 20));
}

TEST_F(Columns, ThePaintersQueriesAreAnsweredFromTheGrid) {
    TCustomColumn* a = Add();
    TCustomColumn* b = Add();
    FGrid.CurrentCol = 1;
    FGrid.Pressed = a;
    FGrid.Hot = b;
    EXPECT_FALSE(a->IsCurrent());
    EXPECT_TRUE(b->IsCurrent());
    EXPECT_TRUE(a->IsPressed());
    EXPECT_FALSE(b->IsPressed());
    EXPECT_TRUE(b->IsHot());
    EXPECT_FALSE(a->IsHot());
    b->InvalidatePart(3);
    EXPECT_EQ(FGrid.Repaints, (std::vector<std::pair<TCustomColumn*, int>>{{b, 3}}));
}

// ---- Companions

TEST_F(Columns, TheEditorIsHiddenAndGoesWithItsColumn) {
    TTextualColumn* c = Add<TTextualColumn>();
    QPointer<TCellEditor> editor = c->Editor();
    ASSERT_FALSE(editor.isNull());
    EXPECT_NE(qobject_cast<TTextualEditor*>(editor.data()), nullptr);
    EXPECT_FALSE(editor->Visible());
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(editor->Owner(), c);
    EXPECT_NE(dynamic_cast<TTextualColumnDisplay*>(c->Display()), nullptr);
    EXPECT_EQ(c->Display()->Column, c);
    EXPECT_EQ(c->Play(), nullptr);
    FGrid.Columns()->Clear();
    EXPECT_TRUE(editor.isNull());
    // An editor that a grid window took over and freed is not freed again.
    auto* other = new TTextualColumn();
    FGrid.Columns()->Add(other);
    delete other->Editor();
    FGrid.Columns()->Clear();
}

// ---- Layouts

TEST_F(Columns, AGridHandsOutItsColumnsInStorageOrderAndReadsThemBackAlike) {
    auto form = Read(CallListLayout());
    const QByteArray written = WriteComponent(form.get());
    // Unnamed children of the grid, every number, Boolean, enumeration and
    // set written, the collection itself not.
    EXPECT_TRUE(written.contains(R"(<object class="TTextualColumn">)"));
    EXPECT_FALSE(written.contains(R"(name="Columns)"));
    EXPECT_TRUE(written.contains(R"(<property name="SlideBounds.Left">0</property>)"));
    EXPECT_TRUE(written.contains(R"(<property name="Sorted">False</property>)"));
    EXPECT_FALSE(written.contains("DefaultValue"));
    const qsizetype first = written.indexOf("Saat");
    const qsizetype last = written.indexOf("Arayan numara");
    EXPECT_LT(first, last);
    auto again = Read(written);
    EXPECT_EQ(WriteComponent(again.get()), written);
    TColumns* columns = GridOf(again.get())->Columns();
    ASSERT_EQ(columns->Count(), 5);
    EXPECT_EQ(columns->DisplayItems(0)->Header()->Caption(), "Hat no.");
    EXPECT_EQ(columns->Items(3)->Position(), 0);
}

TEST_F(Columns, AColumnOutsideAGridIsRefusedWithItsLine) {
    const QByteArray unnamed = R"(<?xml version="1.0" encoding="UTF-8"?>
<object class="TColumnsTestForm" name="Form">
  <object class="TTextualColumn">
    <property name="Width">90</property>
  </object>
</object>
)";
    EXPECT_EQ(ErrorOf([&] { Read(unnamed); }),
              "Error reading layout (line 3): Form cannot hold a TTextualColumn");
    // A name does not make it a component of the window.
    const QByteArray named = R"(<?xml version="1.0" encoding="UTF-8"?>
<object class="TColumnsTestForm" name="Form">
  <object class="TPanel" name="Panel">
    <object class="TNumericColumn" name="Loose"/>
  </object>
</object>
)";
    auto form = std::make_unique<TColumnsTestForm>();
    EXPECT_EQ(ErrorOf([&] { ReadComponent(form.get(), named); }),
              "Error reading layout (line 4): Panel cannot hold a TNumericColumn");
    EXPECT_TRUE(form->findChildren<TCustomColumn*>().isEmpty());
    // Nor does a column hold one.
    const QByteArray nested = GridLayout(R"(    <object class="TTextualColumn">
      <object class="TTextualColumn"/>
    </object>
)");
    EXPECT_EQ(ErrorOf([&] { Read(nested); }),
              "Error reading layout (line 5): this object cannot hold a TTextualColumn");
}

TEST_F(Columns, ALayoutNamingAnUnknownColumnOrABadValueIsRefusedWithItsLine) {
    EXPECT_EQ(ErrorOf([&] { Read(GridLayout("    <object class=\"TWideColumn\"/>\n")); }),
              "Error reading layout (line 4): Class TWideColumn not found");
    // The increment column is a column type a layout may name like any other.
    EXPECT_EQ(ErrorOf([&] { Read(GridLayout("    <object class=\"TIncrementColumn\"/>\n")); }),
              "no error");
    const QByteArray bad = GridLayout(ColumnEntry(0) + R"(    <object class="TTextualColumn">
      <property name="Width">wide</property>
    </object>
)");
    auto form = std::make_unique<TColumnsTestForm>();
    EXPECT_EQ(ErrorOf([&] { ReadComponent(form.get(), bad); }),
              "Error reading layout (line 9): invalid value 'wide' for Width");
    // The column read before stays; the one that failed joins nothing.
    TTestGridView* grid = GridOf(form.get());
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->Columns()->Count(), 1);
    EXPECT_EQ(form->findChildren<TCustomColumn*>().size(), 1);
    EXPECT_EQ(ErrorOf([&] {
                  Read(GridLayout(R"(    <object class="TTextualColumn">
      <property name="Options">[coAutoSize,coWide]</property>
    </object>
)"));
              }),
              "Error reading layout (line 5): invalid value '[coAutoSize,coWide]' for Options");
    EXPECT_EQ(ErrorOf([&] {
                  Read(GridLayout(R"(    <object class="TTextualColumn">
      <property name="Header.Width">3</property>
    </object>
)"));
              }),
              "Error reading layout (line 5): property Header.Width does not exist");
}

TEST_F(Columns, TheColumnAfterTheLastOneAGridHoldsIsRefusedWithItsLine) {
    QByteArray columns;
    for (int i = 0; i <= TColumns::MaxColumns; ++i)
        columns += "    <object class=\"TTextualColumn\"/>\n";
    auto form = std::make_unique<TColumnsTestForm>();
    EXPECT_EQ(ErrorOf([&] { ReadComponent(form.get(), GridLayout(columns)); }),
              "Error reading layout (line 1029): A grid holds at most 1025 columns");
    EXPECT_EQ(GridOf(form.get())->Columns()->Count(), 1025);
    EXPECT_EQ(form->findChildren<TCustomColumn*>().size(), 1025);
}

TEST_F(Columns, WhileTheGridIsReadPositionsOnlyOrderAndWidthsWaitForTheAdd) {
    // A Position set while reading would move the column if it counted as a
    // move; the same entry read outside a layout refuses the number.
    auto form = Read(GridLayout(ColumnEntry(3, 0) + ColumnEntry(1, 20)));
    TColumns* columns = GridOf(form.get())->Columns();
    EXPECT_EQ(columns->Items(0)->Width(), 8);
    EXPECT_EQ(columns->DisplayItems(0), columns->Items(1));
    EXPECT_EQ(columns->Items(0)->Left(), 20);
}

TEST_F(Columns, ReadingIntoAGridReplacesTheColumnsItHad) {
    TTestGridView grid;
    grid.setObjectName("Grid");
    grid.Columns()->Add(new TTextualColumn());
    grid.Columns()->Add(new TTextualColumn());
    ReadComponent(&grid, R"(<object class="TTestGridView" name="Grid">)" + ColumnEntry(0, 44) +
                             "</object>");
    ASSERT_EQ(grid.Columns()->Count(), 1);
    EXPECT_EQ(grid.Columns()->Items(0)->Width(), 44);
    // A second read starts again.
    ReadComponent(&grid, R"(<object class="TTestGridView" name="Grid">)" + ColumnEntry(0, 55) +
                             "</object>");
    ASSERT_EQ(grid.Columns()->Count(), 1);
    EXPECT_EQ(grid.Columns()->Items(0)->Width(), 55);
}

TEST_F(Columns, SettingAnotherCollectionCopiesItsColumnsIntoTheGridsOwn) {
    TTestGridView other;
    auto* numeric = new TNumericColumn();
    numeric->SetFormatMask("0.0");
    numeric->SetPosition(1);
    other.Columns()->Add(numeric);
    auto* text = new TTextualColumn();
    text->SetPosition(0);
    text->SetTextAfter("!");
    other.Columns()->Add(text);
    Add();
    TColumns* own = FGrid.Columns();
    FGrid.SetColumns(other.Columns());
    EXPECT_EQ(FGrid.Columns(), own);
    ASSERT_EQ(own->Count(), 2);
    auto* copied = qobject_cast<TNumericColumn*>(own->Items(0));
    ASSERT_NE(copied, nullptr);
    EXPECT_NE(copied, numeric);
    EXPECT_EQ(copied->FormatMask(), "0.0");
    EXPECT_EQ(qobject_cast<TTextualColumn*>(own->DisplayItems(0))->TextAfter(), "!");
    // The grid's own collection or none changes nothing.
    FGrid.SetColumns(own);
    FGrid.SetColumns(nullptr);
    EXPECT_EQ(own->Count(), 2);
}

} // namespace
