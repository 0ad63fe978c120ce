// In-place editing and the input row, driven by real keys and clicks on a
// shown grid: what opens an editor and with which text, what Enter, Escape
// and the arrows do in it, what is stored and reported, where the editor
// lies, and how the grid survives its columns, its editor or itself going
// while an editor is open.

#include "ColumnClasses.h"
#include "EditControl.h"
#include "EditorTestSupport.h"
#include "Forms.h"
#include "GridControlTestSupport.h"

#include <QApplication>
#include <QPointer>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <tuple>
#include <vector>

namespace {

using TEdit = std::tuple<int, int, QString>;
using TCell = std::pair<int, int>;

// What the grid reported.
struct TGridNotices {
    std::vector<TCell> BeforeEdits;
    std::vector<TEdit> AfterEdits;
    std::vector<TEdit> Edits;
    std::vector<TCell> Changes;
    int InputAccepts = 0;
    std::vector<int> KeysDown;
    bool RefuseBefore = false;
    bool RefuseAfter = false;
    bool RefuseInput = false;

    explicit TGridNotices(TTestDataGrid& grid) {
        grid.OnBeforeEdit = [this](QObject*, int c, int r, bool& accept) {
            BeforeEdits.emplace_back(c, r);
            if (RefuseBefore) accept = false;
        };
        grid.OnAfterEdit = [this](QObject*, int c, int r, const WideString& v, bool& accept) {
            AfterEdits.emplace_back(c, r, v);
            if (RefuseAfter) accept = false;
        };
        grid.OnEdit = [this](QObject*, int c, int r, const WideString& v) {
            Edits.emplace_back(c, r, v);
        };
        grid.OnChange = [this](QObject*, int c, int r) { Changes.emplace_back(c, r); };
        grid.OnInputAccept = [this](QObject*, bool& accept) {
            ++InputAccepts;
            if (RefuseInput) accept = false;
        };
        grid.OnKeyDown = [this](QObject*, int& key, TShiftState) { KeysDown.push_back(key); };
    }
};

class GridEditing : public TEditorTest {
protected:
    void SetUp() override {
        TEditorTest::SetUp();
        Form = std::make_unique<TForm>();
        Form->SetClientWidth(400);
        Form->SetClientHeight(240);
        MakeGrid();
        // Another control after the grid, where a keyboard let go of by a
        // hidden editor would go next.
        Other = new TTextualEditor(Form.get());
        Other->SetParentControl(Form.get());
        Other->SetTop(210);
    }

    // A grid of five rows under two text columns, the first one editable.
    void MakeGrid() {
        Grid = std::make_unique<TTestDataGrid>();
        Grid->SetParentControl(Form.get());
        Grid->SetBounds(0, 0, 400, 200);
        Text = Grid->AddColumn(100, "text");
        Text->SetOptions(Text->Options() | coEditing);
        Plain = Grid->AddColumn(100, "plain");
        Grid->FillRows(5);
    }

    void Show() {
        Form->Show();
        Form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(Form.get()));
        Grid->setFocus();
        ASSERT_TRUE(Grid->hasFocus());
    }

    // A point of the grid's window inside a client rectangle.
    QPoint Inside(const TRect& r) const {
        const TPoint o = Grid->ClientOrigin();
        return {o.X + (r.Left + r.Right) / 2, o.Y + (r.Top + r.Bottom) / 2};
    }
    void ClickCell(int col, int row) {
        QTest::mouseClick(Grid.get(), Qt::LeftButton, {},
                          Inside(Grid->GetCellRect(col, row, TTestDataGrid::gpData)));
    }
    void ClickInput(int col) {
        QTest::mouseClick(Grid.get(), Qt::LeftButton, {},
                          Inside(Grid->GetCellRect(col, 0, TTestDataGrid::gpInput)));
    }
    // Keys go where the keyboard is, as a person's would.
    static void Type(const char* text) {
        for (const char* c = text; *c; ++c) {
            QWidget* focus = QApplication::focusWidget();
            ASSERT_NE(focus, nullptr);
            QTest::keyClick(focus, *c);
        }
    }
    static void Key(Qt::Key key) {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        QTest::keyClick(focus, key);
    }

    QString Cell(int col, int row) const { return Grid->GetCellText(col, row); }
    TTextualEditor* TextEditor() const { return qobject_cast<TTextualEditor*>(Text->Editor()); }
    bool Editing() const {
        return Grid->State().testFlag(TTestDataGrid::CellEditing) ||
               Grid->State().testFlag(TTestDataGrid::InputRowEditing);
    }

    // The form goes last: the grid is freed first, as a test may do.
    std::unique_ptr<TForm> Form;
    std::unique_ptr<TTestDataGrid> Grid;
    TTextualEditor* Other = nullptr;
    TTextualColumn* Text = nullptr;
    TTextualColumn* Plain = nullptr;
};

} // namespace

// ------------------------------------------------------------------ opening

TEST_F(GridEditing, ATypedCharacterBecomesTheEditorsWholeTextAndTypingGoesOn) {
    Show();
    TGridNotices notices(*Grid);
    Grid->Select(0, 1, 0);
    Type("x");
    ASSERT_EQ(Grid->Editor(), Text->Editor());
    EXPECT_TRUE(Grid->State().testFlag(TTestDataGrid::CellEditing));
    EXPECT_EQ(Grid->EditCol(), 0);
    EXPECT_EQ(Grid->EditRow(), 1);
    EXPECT_EQ(TextEditor()->Text(), "x");
    EXPECT_TRUE(TextEditor()->isVisible());
    EXPECT_TRUE(Grid->EditorFocused());
    // The first character stays when the column selects its editor's text
    // on opening: the next ones go after it.
    ASSERT_TRUE(Text->Options().testFlag(coEditorAutoSelect));
    Type("yz");
    EXPECT_EQ(TextEditor()->Text(), "xyz");
    EXPECT_EQ(Cell(0, 1), "r1c0");
    EXPECT_EQ(notices.BeforeEdits, (std::vector<TCell>{{0, 1}}));
}

TEST_F(GridEditing, AClickOpensTheEditorWithTheCellsTextSetUpForTheCell) {
    Grid->Rows[2][0] = QString::fromUtf8("çığ");
    Grid->CellBackground = [](int c, int r) { return c == 0 && r == 2 ? clInfoBk : clWindow; };
    Text->SetAlignment(taRightJustify);
    Text->Font()->SetColor(clRed);
    Show();
    TGridNotices notices(*Grid);
    ClickCell(0, 2);
    EXPECT_EQ(Grid->Col(), 0);
    EXPECT_EQ(Grid->Row(), 2);
    TTextualEditor* editor = TextEditor();
    ASSERT_EQ(Grid->Editor(), editor);
    EXPECT_EQ(editor->Text(), QString::fromUtf8("çığ"));
    EXPECT_EQ(editor->EditControl()->selectedText(), QString::fromUtf8("çığ"));
    EXPECT_EQ(editor->ParentControl(), Grid.get());
    EXPECT_EQ(editor->BorderStyle(), TWinControl::bsNone);
    EXPECT_EQ(editor->Margin(), -1);
    EXPECT_EQ(editor->Alignment(), taRightJustify);
    EXPECT_EQ(editor->Color(), clInfoBk);
    EXPECT_EQ(editor->Font()->Color(), clRed);
    // Opening with the cell's text is reported once, the 8-bit value of the
    // editor widened again.
    EXPECT_EQ(notices.Edits, (std::vector<TEdit>{{0, 2, QString::fromUtf8("çığ")}}));
}

TEST_F(GridEditing, ARefusedBeforeEditOpensNothing) {
    Show();
    TGridNotices notices(*Grid);
    notices.RefuseBefore = true;
    Type("q");
    ClickCell(0, 3);
    EXPECT_FALSE(Editing());
    EXPECT_EQ(Grid->Editor(), nullptr);
    EXPECT_FALSE(Text->Editor()->isVisible());
    EXPECT_EQ(notices.BeforeEdits, (std::vector<TCell>{{0, 0}, {0, 3}}));
}

TEST_F(GridEditing, AColumnWithoutEditingOrWithoutAnEditorOpensNothing) {
    auto* html = new THtmlColumn();
    html->SetOptions(html->Options() | coEditing);
    Grid->Columns()->Add(html);
    ASSERT_EQ(html->Editor(), nullptr);
    Grid->Rows[1].push_back("<b>x</b>");
    Show();
    Grid->Select(1, 1, 0);
    Type("a");
    EXPECT_FALSE(Editing());
    ClickCell(1, 2);
    EXPECT_FALSE(Editing());
    EXPECT_FALSE(Plain->Editor()->isVisible());
    ClickCell(2, 1);
    EXPECT_FALSE(Editing());
    Grid->StartEdit(2, 1, "typed");
    EXPECT_FALSE(Editing());
    // Cells outside the grid are ignored too.
    Grid->StartEdit(0, 5, "x");
    Grid->StartEdit(3, 0, "x");
    Grid->StartEdit(-1, 0, "x");
    EXPECT_FALSE(Editing());
}

// ------------------------------------------------------------------ storing

TEST_F(GridEditing, EnterWithoutAChangeStoresNothingAndMovesOn) {
    Show();
    TGridNotices notices(*Grid);
    ClickCell(0, 1);
    ASSERT_TRUE(Editing());
    Key(Qt::Key_Return);
    EXPECT_FALSE(Editing());
    EXPECT_EQ(Grid->Editor(), nullptr);
    EXPECT_FALSE(TextEditor()->isVisible());
    EXPECT_TRUE(notices.AfterEdits.empty());
    EXPECT_TRUE(notices.Changes.empty());
    EXPECT_TRUE(Grid->hasFocus());
    // Enter in an editor moves on even though the grid does not want
    // returns.
    ASSERT_FALSE(Grid->WantReturns());
    EXPECT_EQ(Grid->Row(), 2);
    EXPECT_EQ(Grid->AcceptEdit(), false);
}

TEST_F(GridEditing, EnterWithAChangeStoresItOnceAndReportsItOnce) {
    Grid->SetSelectionMoveDirection(mdNone);
    Show();
    TGridNotices notices(*Grid);
    ClickCell(0, 3);
    Type("new");
    EXPECT_TRUE(notices.Changes.empty());
    Key(Qt::Key_Return);
    EXPECT_EQ(Cell(0, 3), "new");
    EXPECT_EQ(notices.AfterEdits, (std::vector<TEdit>{{0, 3, "new"}}));
    EXPECT_EQ(notices.Changes, (std::vector<TCell>{{0, 3}}));
    EXPECT_FALSE(Editing());
    EXPECT_EQ(Grid->Row(), 3);
}

TEST_F(GridEditing, ARefusedAfterEditLeavesTheCellAndStillCloses) {
    Show();
    TGridNotices notices(*Grid);
    notices.RefuseAfter = true;
    ClickCell(0, 0);
    Type("refused");
    Key(Qt::Key_Return);
    EXPECT_EQ(Cell(0, 0), "r0c0");
    EXPECT_EQ(notices.AfterEdits.size(), 1u);
    EXPECT_TRUE(notices.Changes.empty());
    EXPECT_FALSE(Editing());
    // Refused is not stored.
    ClickCell(0, 2);
    Type("again");
    EXPECT_FALSE(Grid->AcceptEdit());
    EXPECT_EQ(Cell(0, 2), "r2c0");
}

TEST_F(GridEditing, EscapeDropsTheTypedTextAndGivesTheKeyboardBack) {
    Show();
    TGridNotices notices(*Grid);
    ClickCell(0, 4);
    Type("dropped");
    Key(Qt::Key_Escape);
    EXPECT_FALSE(Editing());
    EXPECT_EQ(Cell(0, 4), "r4c0");
    EXPECT_TRUE(notices.AfterEdits.empty());
    EXPECT_TRUE(Grid->hasFocus());
    EXPECT_EQ(Grid->Row(), 4);
}

TEST_F(GridEditing, OpeningAnotherEditorStoresTheOpenOne) {
    Show();
    TGridNotices notices(*Grid);
    ClickCell(0, 0);
    Type("first");
    ClickCell(0, 2);
    EXPECT_EQ(Cell(0, 0), "first");
    EXPECT_EQ(Grid->EditRow(), 2);
    EXPECT_EQ(TextEditor()->Text(), "r2c0");
    // The same cell again changes nothing.
    TextEditor()->SetText("kept");
    Grid->StartEdit(0, 2, "other");
    EXPECT_EQ(TextEditor()->Text(), "kept");
}

// ---------------------------------------------------------------- input row

class GridInputRow : public GridEditing {
protected:
    void SetUp() override {
        GridEditing::SetUp();
        Grid->SetOptions(Grid->Options() | goInput);
        Plain->SetDefaultValue("def");
        Plain->SetInputValue("def");
    }
};

TEST_F(GridInputRow, EnterAppendsARowFromTheInputAndDefaultValuesAndStaysOpen) {
    Show();
    TGridNotices notices(*Grid);
    ClickInput(0);
    ASSERT_TRUE(Grid->State().testFlag(TTestDataGrid::InputRowEditing));
    EXPECT_TRUE(Grid->InputActive());
    EXPECT_EQ(Grid->InputColumn(), 0);
    EXPECT_TRUE(Text->InputEditing());
    EXPECT_EQ(Grid->EditCol(), -1);
    EXPECT_EQ(Grid->Editor(), Text->Editor());
    EXPECT_EQ(TextEditor()->Margin(), 0);
    Type("abc");
    Key(Qt::Key_Return);
    ASSERT_EQ(Grid->RowCount(), 6);
    EXPECT_EQ(Cell(0, 5), "abc");
    EXPECT_EQ(Cell(1, 5), "def");
    EXPECT_EQ(notices.InputAccepts, 1);
    EXPECT_EQ(Text->InputValue(), "");
    EXPECT_EQ(Plain->InputValue(), "def");
    // Open for the next entry, emptied.
    EXPECT_EQ(Grid->Editor(), Text->Editor());
    EXPECT_TRUE(Text->InputEditing());
    EXPECT_EQ(TextEditor()->Text(), "");
    EXPECT_TRUE(Grid->EditorFocused());
    Type("d");
    Key(Qt::Key_Return);
    ASSERT_EQ(Grid->RowCount(), 7);
    EXPECT_EQ(Cell(0, 6), "d");
}

TEST_F(GridInputRow, AnEmptyInputValueTakesTheDefaultAndReopeningShowsTheTypedValue) {
    Plain->SetInputValue("");
    Text->SetDefaultValue("zero");
    Show();
    ClickInput(1);
    Type("typed");
    ClickInput(0);
    // The value typed into the other input cell was kept, not appended.
    EXPECT_EQ(Plain->InputValue(), "typed");
    EXPECT_FALSE(Plain->InputEditing());
    EXPECT_EQ(Grid->RowCount(), 5);
    Key(Qt::Key_Return);
    ASSERT_EQ(Grid->RowCount(), 6);
    EXPECT_EQ(Cell(0, 5), "zero");
    EXPECT_EQ(Cell(1, 5), "typed");
    EXPECT_EQ(Text->InputValue(), "zero");
    EXPECT_EQ(Plain->InputValue(), "def");
    ClickInput(1);
    EXPECT_EQ(qobject_cast<TTextualEditor*>(Plain->Editor())->Text(), "def");
}

TEST_F(GridInputRow, ARefusedInputAcceptAppendsNothingAndKeepsTheValues) {
    Show();
    TGridNotices notices(*Grid);
    notices.RefuseInput = true;
    ClickInput(0);
    Type("kept");
    Key(Qt::Key_Return);
    EXPECT_EQ(Grid->RowCount(), 5);
    EXPECT_EQ(Text->InputValue(), "kept");
    EXPECT_EQ(Plain->InputValue(), "def");
    // The editor still shows what was kept, so the next Enter does not
    // lose it.
    EXPECT_EQ(TextEditor()->Text(), "kept");
    notices.RefuseInput = false;
    Key(Qt::Key_Return);
    ASSERT_EQ(Grid->RowCount(), 6);
    EXPECT_EQ(Cell(0, 5), "kept");
    EXPECT_EQ(notices.InputAccepts, 2);
}

TEST_F(GridInputRow, AClickOnTheDataAreaTurnsTheInputRowIntoARow) {
    Show();
    TGridNotices notices(*Grid);
    ClickInput(0);
    Type("clicked");
    ClickCell(1, 2);
    EXPECT_EQ(notices.InputAccepts, 1);
    ASSERT_EQ(Grid->RowCount(), 6);
    EXPECT_EQ(Cell(0, 5), "clicked");
    EXPECT_EQ(Cell(1, 5), "def");
    EXPECT_FALSE(Grid->InputActive());
    EXPECT_FALSE(Editing());
    EXPECT_FALSE(Text->InputEditing());
    EXPECT_EQ(Grid->Row(), 2);
    EXPECT_EQ(Grid->Col(), 1);
    // Refused, the click appends nothing.
    notices.RefuseInput = true;
    ClickInput(0);
    Type("no");
    ClickCell(0, 1);
    EXPECT_EQ(Grid->RowCount(), 6);
    EXPECT_EQ(Text->InputValue(), "no");
}

TEST_F(GridInputRow, TypingWhileTheInputRowIsActiveOpensItsEditor) {
    Show();
    Grid->Select(0, 0, 0);
    Key(Qt::Key_Up);
    ASSERT_TRUE(Grid->InputActive());
    Type("t");
    EXPECT_TRUE(Grid->State().testFlag(TTestDataGrid::InputRowEditing));
    EXPECT_EQ(TextEditor()->Text(), "t");
    Type("w");
    EXPECT_EQ(TextEditor()->Text(), "tw");
    Key(Qt::Key_Escape);
    EXPECT_FALSE(Editing());
    EXPECT_EQ(Text->InputValue(), "");
    EXPECT_FALSE(Text->InputEditing());
}

// ------------------------------------------------------------------ placing

TEST_F(GridEditing, TheEditorLiesInsideItsCellAndNeverOverTheIndicator) {
    Grid->SetOptions(Grid->Options() | goIndicator | goInput);
    Text->SetWidth(200);
    Plain->SetWidth(250);
    Show();
    ClickCell(0, 1);
    const TRect cell = Grid->GetCellRect(0, 1, TTestDataGrid::gpData);
    EXPECT_EQ(cell.Left, 12);
    EXPECT_EQ(Text->Editor()->BoundsRect(),
              Rect(cell.Left + 1, cell.Top + 1, cell.Right - 1, cell.Bottom - 1));
    // A grid line takes the cell's last pixel.
    Grid->SetOptions(Grid->Options() | goGrid);
    const TRect lined = Grid->GetCellRect(0, 1, TTestDataGrid::gpData);
    EXPECT_EQ(Text->Editor()->BoundsRect(),
              Rect(lined.Left + 1, lined.Top + 1, lined.Right - 1, lined.Bottom - 1));
    EXPECT_EQ(lined.Right, cell.Right - 1);
    // Scrolled to the right, the cell starts under the indicator; the
    // editor starts where the data area does.
    Grid->HorzScrollBar()->SetPosition(5);
    ASSERT_EQ(Grid->HorzPos(), 5);
    Grid->UpdateEditor();
    const TRect scrolled = Grid->GetCellRect(0, 1, TTestDataGrid::gpData);
    EXPECT_EQ(scrolled.Left, 7);
    EXPECT_EQ(Text->Editor()->BoundsRect(),
              Rect(12, scrolled.Top + 1, scrolled.Right - 1, scrolled.Bottom - 1));
    // The window lies inside the grid's frame.
    EXPECT_EQ(Text->Editor()->geometry().topLeft(),
              QPoint(12 + Grid->FrameWidth(), scrolled.Top + 1 + Grid->FrameWidth()));

    // An input cell the same way.
    Grid->HorzScrollBar()->SetPosition(0);
    ClickInput(1);
    const TRect input = Grid->GetCellRect(1, 0, TTestDataGrid::gpInput);
    EXPECT_EQ(Plain->Editor()->BoundsRect(),
              Rect(input.Left + 1, input.Top + 1, input.Right - 1, input.Bottom - 1));
    EXPECT_TRUE(Plain->Editor()->isVisible());
}

TEST_F(GridEditing, TheEditorFollowsItsCellWhenTheInputRowOrGridLinesChangeSize) {
    Grid->SetOptions(Grid->Options() | goInput | goGrid);
    Show();
    ClickCell(0, 1);
    ASSERT_TRUE(Grid->State().testFlag(TTestDataGrid::CellEditing));
    auto inside = [](const TRect& r) {
        return Rect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
    };
    // A taller input row pushes the rows down.
    Grid->SetInputSize(30);
    EXPECT_EQ(Text->Editor()->BoundsRect(), inside(Grid->GetCellRect(0, 1, TTestDataGrid::gpData)));
    // Without vertical lines the cell takes its column's last pixel.
    Grid->SetGridLinesStyle(lsHorizontalOnly);
    EXPECT_EQ(Text->Editor()->BoundsRect(), inside(Grid->GetCellRect(0, 1, TTestDataGrid::gpData)));
    // The input editor grows with its cell.
    ClickInput(1);
    ASSERT_TRUE(Grid->State().testFlag(TTestDataGrid::InputRowEditing));
    Grid->SetInputSize(20);
    EXPECT_EQ(Plain->Editor()->BoundsRect(),
              inside(Grid->GetCellRect(1, 0, TTestDataGrid::gpInput)));
}

TEST_F(GridEditing, AnEditorScrolledAboveTheDataAreaStaysOpenUnseenAndIsStored) {
    Grid->FillRows(25);
    Show();
    TGridNotices notices(*Grid);
    ClickCell(0, 1);
    Type("unseen");
    // The rows move up without the editor being closed; the next layout
    // change leaves its row above the data area.
    Grid->VertScrollBar()->SetPosition(3);
    ASSERT_EQ(Grid->TopRow(), 3);
    Grid->SetHeaderSize(30);
    EXPECT_FALSE(Text->Editor()->isVisible());
    EXPECT_EQ(Grid->Editor(), Text->Editor());
    EXPECT_TRUE(Grid->State().testFlag(TTestDataGrid::CellEditing));
    // The keyboard stays with the grid.
    EXPECT_TRUE(Grid->hasFocus());
    EXPECT_TRUE(Grid->AcceptEdit());
    EXPECT_EQ(Cell(0, 1), "unseen");
    EXPECT_EQ(notices.AfterEdits, (std::vector<TEdit>{{0, 1, "unseen"}}));
    // Back in view, it shows again.
    Grid->VertScrollBar()->SetPosition(0);
    Grid->UpdateEditor();
    EXPECT_TRUE(Text->Editor()->isVisible());
    EXPECT_TRUE(Grid->EditorFocused());
}

// ------------------------------------------------------------------- keys

TEST_F(GridEditing, ArrowKeysLeaveACheckBoxEditorButNotATextEditor) {
    auto* box = new TCheckBoxColumn();
    box->SetOptions(box->Options() | coEditing);
    Grid->Columns()->Add(box);
    for (auto& row : Grid->Rows)
        row.push_back("False");
    Show();
    TGridNotices notices(*Grid);
    // The click on a check-box cell is the cell's own; the editor opens by
    // call.
    Grid->Select(2, 1, 0);
    Grid->StartEdit(2, 1, {});
    auto* editor = qobject_cast<TCheckBoxEditor*>(box->Editor());
    ASSERT_EQ(Grid->Editor(), editor);
    EXPECT_TRUE(editor->hasFocus());
    Key(Qt::Key_Space);
    EXPECT_TRUE(editor->Checked());
    Key(Qt::Key_Down);
    EXPECT_FALSE(Editing());
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(Cell(2, 1), "False");
    EXPECT_TRUE(notices.AfterEdits.empty());
    EXPECT_TRUE(Grid->hasFocus());
    EXPECT_EQ(notices.KeysDown, std::vector<int>{VK_DOWN});
    EXPECT_EQ(Grid->Row(), 2);

    ClickCell(0, 2);
    Key(Qt::Key_Left);
    Key(Qt::Key_Down);
    EXPECT_EQ(Grid->Editor(), Text->Editor());
    EXPECT_EQ(Grid->Row(), 2);
}

TEST_F(GridEditing, ANumericColumnOpensOnDigitsAndItsSpinEditorKeepsTheArrows) {
    auto* number = new TNumericColumn();
    number->SetOptions(number->Options() | coEditing);
    Grid->Columns()->Add(number);
    for (auto& row : Grid->Rows)
        row.push_back("2");
    Show();
    TGridNotices notices(*Grid);
    Grid->Select(2, 3, 0);
    Type("a");
    EXPECT_FALSE(Editing());
    Type("7");
    auto* editor = qobject_cast<TSpinEditor*>(number->Editor());
    ASSERT_EQ(Grid->Editor(), editor);
    EXPECT_EQ(editor->Text(), "7");
    Type("5");
    EXPECT_EQ(editor->Text(), "75");
    Key(Qt::Key_Up);
    EXPECT_EQ(Grid->Editor(), editor);
    EXPECT_EQ(editor->Text(), "76");
    Key(Qt::Key_Return);
    EXPECT_EQ(Cell(2, 3), "76");
    EXPECT_EQ(notices.Changes, (std::vector<TCell>{{2, 3}}));
    EXPECT_EQ(Grid->Row(), 4);
}

TEST_F(GridEditing, EnterOnTheGridMovesOnlyWhenItWantsReturns) {
    Show();
    Grid->Select(0, 1, 0);
    Key(Qt::Key_Return);
    EXPECT_EQ(Grid->Row(), 1);
    EXPECT_FALSE(Editing());
    Grid->SetWantReturns(true);
    Key(Qt::Key_Return);
    EXPECT_EQ(Grid->Row(), 2);
    // Right goes by display position, not by index.
    Grid->Columns()->MoveColumn(1, 0);
    Grid->SetSelectionMoveDirection(mdRight);
    Grid->Select(1, 2, 0);
    Key(Qt::Key_Return);
    EXPECT_EQ(Grid->Col(), 0);
    Key(Qt::Key_Return);
    EXPECT_EQ(Grid->Col(), 0);
    Grid->SetSelectionMoveDirection(mdDown);
    Grid->Select(0, 4, 0);
    Key(Qt::Key_Return);
    EXPECT_EQ(Grid->Row(), 4);
}

TEST_F(GridEditing, TheGridRepaintsOnceItAndItsEditorHaveLostTheKeyboard) {
    Show();
    ClickCell(0, 1);
    QApplication::processEvents();
    Grid->Painted.clear();
    // The keyboard goes to the other control: the whole grid is drawn in
    // its unfocused colours.
    Other->setFocus();
    ASSERT_FALSE(Grid->GridFocused());
    QApplication::processEvents();
    QRect painted;
    for (const QRect& r : Grid->Painted)
        painted |= r;
    EXPECT_EQ(painted, Grid->ClientRect().ToQRect());
    // The editor stays open.
    EXPECT_EQ(Grid->Editor(), Text->Editor());
}

// ---------------------------------------------------------------- closing

TEST_F(GridEditing, SwitchingToSlidesClosesTheEditorWithoutStoring) {
    Show();
    TGridNotices notices(*Grid);
    ClickCell(0, 1);
    Type("lost");
    // The next control after the editor is the other one.
    QWidget::setTabOrder(TextEditor(), Other);
    Grid->SetGridStyle(gsSlides);
    EXPECT_FALSE(Editing());
    EXPECT_EQ(Grid->EditCol(), -1);
    EXPECT_FALSE(Text->Editor()->isVisible());
    EXPECT_EQ(Cell(0, 1), "r1c0");
    EXPECT_TRUE(notices.AfterEdits.empty());
    EXPECT_TRUE(Grid->hasFocus());
    EXPECT_FALSE(Grid->AcceptEdit());
}

TEST_F(GridEditing, ClosedEditorsGetTheirOwnEventsBack) {
    int ownKeys = 0;
    Text->Editor()->OnKeyDown = [&](QObject*, int&, TShiftState) { ++ownKeys; };
    Show();
    ClickCell(0, 1);
    Type("ab");
    EXPECT_EQ(ownKeys, 0);
    Key(Qt::Key_Escape);
    QTest::keyClick(TextEditor()->EditControl(), 'c');
    EXPECT_EQ(ownKeys, 1);
}

TEST_F(GridEditing, ClearingTheColumnsWithAnEditorOpenEndsTheEdit) {
    Show();
    ClickCell(0, 1);
    Type("gone");
    const QPointer<TCellEditor> editor(Text->Editor());
    Grid->Columns()->Clear();
    EXPECT_TRUE(editor.isNull());
    EXPECT_EQ(Grid->Editor(), nullptr);
    EXPECT_FALSE(Editing());
    EXPECT_EQ(Grid->EditCol(), -1);
    EXPECT_EQ(Grid->EditRow(), -1);
    EXPECT_FALSE(Grid->AcceptEdit());
    Grid->UpdateEditor();
    Grid->HideEditor();
    // The keyboard that went with the editor comes back to the grid.
    QApplication::processEvents();
    EXPECT_TRUE(Grid->hasFocus());
    Type("x");
    EXPECT_FALSE(Editing());
}

TEST_F(GridEditing, ClearingTheColumnsFromTheInputRowEndsTheEdit) {
    Grid->SetOptions(Grid->Options() | goInput);
    Show();
    ClickInput(0);
    Type("gone");
    Grid->Columns()->Clear();
    EXPECT_FALSE(Editing());
    EXPECT_EQ(Grid->InputColumn(), -1);
    auto* fresh = Grid->AddColumn(80);
    fresh->SetOptions(fresh->Options() | coEditing);
    Grid->StartEdit(0, 0, "y");
    EXPECT_EQ(Grid->Editor(), fresh->Editor());
}

TEST_F(GridEditing, FreeingTheGridWithAnEditorOpenLeavesNothingBehind) {
    Show();
    ClickCell(0, 1);
    Type("open");
    ASSERT_TRUE(Grid->EditorFocused());
    const QPointer<TCellEditor> editor(Text->Editor());
    Grid.reset();
    EXPECT_TRUE(editor.isNull());
    QApplication::processEvents();
}

TEST_F(GridEditing, HandlersMayFreeTheGridOrItsColumns) {
    Show();
    // The value's report frees the grid while the editor's Enter is on.
    ClickCell(0, 1);
    Type("a");
    Grid->OnAfterEdit = [this](QObject*, int, int, const WideString&, bool&) { Grid.reset(); };
    Key(Qt::Key_Return);
    EXPECT_EQ(Grid, nullptr);

    MakeGrid();
    Show();
    ClickCell(0, 1);
    Type("b");
    Grid->OnChange = [this](QObject*, int, int) { Grid.reset(); };
    Key(Qt::Key_Return);
    EXPECT_EQ(Grid, nullptr);

    // The columns go while the value is reported: nothing is stored.
    MakeGrid();
    Show();
    ClickCell(0, 1);
    Type("c");
    Grid->OnAfterEdit = [this](QObject*, int, int, const WideString&, bool&) {
        Grid->Columns()->Clear();
    };
    Key(Qt::Key_Return);
    EXPECT_FALSE(Editing());
    EXPECT_EQ(Cell(0, 1), "r1c0");

    // Opening reports the cell's text; that report frees the grid.
    MakeGrid();
    Show();
    Grid->OnEdit = [this](QObject*, int, int, const WideString&) { Grid.reset(); };
    ClickCell(0, 2);
    EXPECT_EQ(Grid, nullptr);

    MakeGrid();
    Show();
    Grid->OnBeforeEdit = [this](QObject*, int, int, bool&) { Grid->Columns()->Clear(); };
    Type("d");
    EXPECT_FALSE(Editing());

    // The input row's report frees the grid.
    MakeGrid();
    Grid->SetOptions(Grid->Options() | goInput);
    Show();
    ClickInput(0);
    Type("e");
    Grid->OnInputAccept = [this](QObject*, bool&) { Grid.reset(); };
    Key(Qt::Key_Return);
    EXPECT_EQ(Grid, nullptr);
}
