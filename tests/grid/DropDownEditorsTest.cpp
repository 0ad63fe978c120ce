// The editors with a button: where the button sits and how it looks, the
// execute button's click, the drop-down editors' popups dropped by real
// presses, the combo box's items, keys and wheel, and the date editor's text.

// Mouse input goes through the window system, as a person's would: a popup
// that holds the pointer gets the releases and clicks made elsewhere.
#define QTEST_QPA_MOUSE_HANDLING

#include "CellEditors.h"
#include "EditControl.h"
#include "Forms.h"
#include "Grid.h"
#include "GridTestSupport.h"
#include "Streaming.h"
#include "ThemesSupport.h"

#include <QApplication>
#include <QCursor>
#include <QFontMetrics>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

namespace {

class DropDownEditors : public ::testing::Test {
protected:
    void SetUp() override {
        FSaved = FormatSettings;
        FormatSettings = TFormatSettings();
        FThemes = ThemesEnabled();
    }
    void TearDown() override {
        FormatSettings = FSaved;
        SetThemesEnabled(FThemes);
    }

private:
    TFormatSettings FSaved;
    bool FThemes = true;
};

// Records the notices of an editor.
struct TNotices {
    int Changes = 0;
    QList<AnsiString> Edits;
    explicit TNotices(TCellEditor& editor) {
        editor.OnChange = [this](QObject*) { ++Changes; };
        editor.OnEdit = [this](QObject*, const AnsiString& value) { Edits << value; };
    }
};

// A window with one editor on it, as the grid lays an editor over a cell.
template <class E> struct THosted {
    TForm Form;
    E* Editor;
    THosted() : Editor(new E(&Form)) {
        Form.SetBounds(100, 100, 320, 260);
        Editor->SetParentControl(&Form);
        Editor->SetBounds(10, 10, 150, 22);
        Form.Show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&Form));
    }
    QPoint OnText() const { return Editor->EditControl()->rect().center(); }
    QPoint OnButton() { return Editor->Button()->rect().center(); }
    // The screen point the editor drops its popup at.
    QPoint Below() const {
        return Editor->mapToGlobal(QPoint(0, Editor->height() - 1)); // (-1, client height)
    }
};

// Moves the pointer as the platform does, so that windows hear it enter and
// leave.
void PointerTo(QWidget* w, QPoint p) {
    QCursor::setPos(w->mapToGlobal(p));
    QApplication::processEvents();
}

void Click(QWidget* w, QPoint p) {
    QTest::mousePress(w, Qt::LeftButton, {}, p);
    QTest::mouseRelease(w, Qt::LeftButton, {}, p);
}

QImage Render(QWidget* w) {
    QImage img(w->size(), QImage::Format_RGB32);
    img.fill(Qt::magenta);
    w->render(&img);
    return img;
}

// What a control draws itself, over a ground of one colour (render() would
// fill its window background first).
QImage RenderOwn(QWidget* w, QRgb ground) {
    QImage img(w->size(), QImage::Format_RGB32);
    img.fill(ground);
    w->render(&img, QPoint(), QRegion(), QWidget::DrawChildren);
    return img;
}

QPoint InPopup(int x, int y) {
    return {x + 2, y + 2}; // inside the popup's frame
}

QStringList Numbered(int n) {
    QStringList items;
    for (int i = 0; i < n; ++i)
        items << QStringLiteral("item %1").arg(i);
    return items;
}

void Wheel(QWidget* w, int delta, bool* accepted = nullptr) {
    QWheelEvent e(QPointF(5, 5), QPointF(w->mapToGlobal(QPoint(5, 5))), QPoint(), QPoint(0, delta),
                  Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &e);
    if (accepted) *accepted = e.isAccepted();
}

// A combo box whose constructor already dresses its button.
class TRedButtonCombo : public TComboBoxEditor {
public:
    explicit TRedButtonCombo(QObject* owner = nullptr) : TComboBoxEditor(owner) {
        Button()->SetColor(clRed);
    }
};

// One that runs a command instead: its class chooses its button after the
// classes it derives from have chosen (and made) theirs.
class TCommandCombo : public TRedButtonCombo {
public:
    using TRedButtonCombo::TRedButtonCombo;
    TSmallButtonClass GetButtonClass() const override {
        return TSmallButtonClass::Of<TExecuteButton>();
    }
};

// A plain window under an editor, hearing the keys that the editor lets go.
class TKeyWitness : public QWidget {
public:
    QList<int> Keys;

protected:
    void keyPressEvent(QKeyEvent* event) override { Keys << event->key(); }
};

} // namespace

// ------------------------------------------------------------- the buttons

TEST_F(DropDownEditors, EachEditorHasTheButtonAndPopupOfItsClass) {
    TCustomButtonCellEditor plain;
    EXPECT_TRUE(qobject_cast<TExecuteButton*>(plain.Button()));
    EXPECT_EQ(plain.Popup(), nullptr);
    TPopupEditor popup;
    EXPECT_TRUE(qobject_cast<TDropDownButton*>(popup.Button()));
    EXPECT_EQ(popup.Popup()->metaObject(), &TPopupView::staticMetaObject);
    TComboBoxEditor combo;
    EXPECT_TRUE(qobject_cast<TDropDownButton*>(combo.Button()));
    EXPECT_NE(combo.PopupList(), nullptr);
    TDatePickerEditor date;
    EXPECT_NE(date.Calendar(), nullptr);
    TRedButtonCombo red;
    EXPECT_TRUE(qobject_cast<TDropDownButton*>(red.Button()));
    EXPECT_EQ(red.Button()->Color(), clRed);
    TCommandCombo command;
    EXPECT_TRUE(qobject_cast<TExecuteButton*>(command.Button()));
    EXPECT_EQ(command.findChildren<TSmallButton*>().size(), 1);
    EXPECT_EQ(command.Button()->Width(), 21);
    EXPECT_NE(command.PopupList(), nullptr);

    // The parts belong to the editor: the button is its child control, the
    // popup a window of its own, both hidden until used.
    EXPECT_EQ(combo.Button()->ParentControl(), &combo);
    EXPECT_EQ(combo.Button()->Editor(), &combo);
    EXPECT_EQ(combo.Popup()->parent(), &combo);
    EXPECT_TRUE(combo.Popup()->isWindow());
    EXPECT_FALSE(combo.Popup()->isVisible());
    EXPECT_FALSE(combo.Button()->Pressed() || combo.Button()->Hot());
    EXPECT_EQ(combo.Button()->focusPolicy(), Qt::NoFocus);
}

TEST_F(DropDownEditors, TheButtonSitsAtTheRightEdgeAndTheTextLeavesRoomForIt) {
    TTextualEditor text;
    TCustomButtonCellEditor plain;
    TComboBoxEditor combo;
    for (TTextualEditor* e :
         {&text, static_cast<TTextualEditor*>(&plain), static_cast<TTextualEditor*>(&combo)})
        e->SetBounds(0, 0, 150, 24);
    // Inside the one-pixel border: client 148 x 22.
    EXPECT_EQ(plain.Button()->BoundsRect(), Rect(148 - 21, 0, 148, 22));
    EXPECT_EQ(plain.Button()->geometry(), QRect(1 + 148 - 21, 1, 21, 22));
    EXPECT_EQ(combo.Button()->BoundsRect(), Rect(148 - 16, 0, 148, 22));
    EXPECT_TRUE(combo.Button()->isVisibleTo(&combo));
    TRect base, shorter;
    text.GetEditRect(base);
    for (TCustomButtonCellEditor* e : {&plain, static_cast<TCustomButtonCellEditor*>(&combo)}) {
        e->GetEditRect(shorter);
        EXPECT_EQ(shorter, Rect(base.Left, base.Top, base.Right - 16, base.Bottom));
        EXPECT_EQ(e->EditControl()->geometry().right() + 1, 1 + base.Right - 16);
    }

    // It follows every size and border change, shown or not.
    combo.SetBorderStyle(TCellEditor::bsNone);
    EXPECT_EQ(combo.Button()->geometry(), QRect(150 - 16, 0, 16, 24));
    combo.Show();
    combo.SetBounds(0, 0, 200, 30);
    EXPECT_EQ(combo.Button()->geometry(), QRect(200 - 16, 0, 16, 30));
    combo.Hide();
    combo.SetHeight(18);
    EXPECT_EQ(combo.Button()->geometry(), QRect(200 - 16, 0, 16, 18));
}

TEST_F(DropDownEditors, AClickOnTheExecuteButtonRaisesOnButtonClick) {
    THosted<TCustomButtonCellEditor> host;
    TCustomButtonCellEditor* editor = host.Editor;
    QList<QObject*> clicks;
    editor->OnButtonClick = [&](QObject* sender) { clicks << sender; };
    TSmallButton* button = editor->Button();
    QTest::mousePress(button, Qt::LeftButton, {}, host.OnButton());
    EXPECT_TRUE(button->Pressed());
    EXPECT_TRUE(clicks.isEmpty());
    QTest::mouseRelease(button, Qt::LeftButton, {}, host.OnButton());
    EXPECT_FALSE(button->Pressed());
    EXPECT_EQ(clicks, QList<QObject*>({editor}));
    // The other buttons press nothing.
    QTest::mouseClick(button, Qt::RightButton, {}, host.OnButton());
    EXPECT_FALSE(button->Pressed());
    EXPECT_EQ(clicks.size(), 1);
    // A release on the text after no press on the button clicks nothing.
    QTest::mouseClick(editor->EditControl(), Qt::LeftButton, {}, host.OnText());
    EXPECT_EQ(clicks.size(), 1);
}

TEST_F(DropDownEditors, PressedAndHotLooksOfBothButtonsWithAndWithoutThemes) {
    for (const bool themed : {true, false}) {
        SetThemesEnabled(themed);
        for (const bool execute : {true, false}) {
            SCOPED_TRACE(testing::Message() << "themed " << themed << " execute " << execute);
            std::unique_ptr<TCustomButtonCellEditor> editor;
            if (execute)
                editor = std::make_unique<TCustomButtonCellEditor>();
            else
                editor = std::make_unique<TComboBoxEditor>();
            editor->SetBounds(0, 0, 120, 22);
            editor->Show();
            TSmallButton* button = editor->Button();
            const int w = execute ? 21 : 16;
            ASSERT_EQ(button->size(), QSize(w, 20));
            const QRgb ground = Rgb(clWindow);
            const QImage normal = RenderOwn(button, ground);
            button->SetHot(true);
            const QImage hot = RenderOwn(button, ground);
            button->SetPressed(true);
            const QImage pressed = RenderOwn(button, ground);
            button->SetPressed(false);
            button->SetHot(false);
            EXPECT_EQ(RenderOwn(button, ground), normal);
            EXPECT_NE(pressed, normal);
            EXPECT_NE(pressed, hot);
            // The face covers the button, but for the round corners that a
            // themed arrow button leaves to the editor under it (the execute
            // button fills its colour first).
            const QRgb magenta = qRgb(255, 0, 255);
            for (const bool down : {false, true}) {
                button->SetPressed(down);
                const QImage img = RenderOwn(button, magenta);
                const int uncovered = w * 20 - CountOther(img, img.rect(), magenta);
                if (themed && !execute)
                    EXPECT_LE(uncovered, 8);
                else
                    EXPECT_EQ(uncovered, 0);
            }
            button->SetPressed(false);
            if (!themed) {
                // Raised, or flat and edged in the shadow colour when pressed;
                // the classic buttons have no hot look.
                EXPECT_EQ(hot, normal);
                EXPECT_EQ(normal.pixel(0, 0), Rgb(cl3DLight));
                EXPECT_EQ(normal.pixel(w - 1, 19), Rgb(cl3DDkShadow));
                EXPECT_EQ(normal.pixel(1, 1), Rgb(clBtnHighlight));
                EXPECT_EQ(pressed.pixel(0, 0), Rgb(clBtnShadow));
                EXPECT_EQ(pressed.pixel(w - 1, 19), Rgb(clBtnShadow));
                EXPECT_EQ(pressed.pixel(1, 1), Rgb(clBtnFace));
            }

            // In the editor the button takes the right edge inside the
            // border, and the text area ends before it.
            const QImage whole = Render(editor.get());
            const int left = 1 + 118 - w;
            EXPECT_EQ(whole.copy(left, 1, w, 20), normal);
            EXPECT_EQ(whole.pixel(left - 1, 10), Rgb(clWindow));
        }
    }
}

TEST_F(DropDownEditors, ThePointerOverTheEditorMakesTheButtonHot) {
    THosted<TComboBoxEditor> host;
    TSmallButton* button = host.Editor->Button();
    PointerTo(&host.Form, QPoint(250, 200));
    EXPECT_FALSE(button->Hot());
    PointerTo(host.Editor->EditControl(), host.OnText());
    EXPECT_TRUE(button->Hot());
    PointerTo(button, host.OnButton());
    EXPECT_TRUE(button->Hot());
    // Back over the text from the button the editor still has the pointer.
    PointerTo(host.Editor->EditControl(), host.OnText());
    EXPECT_TRUE(button->Hot());
    PointerTo(&host.Form, QPoint(250, 200));
    EXPECT_FALSE(button->Hot());
}

// --------------------------------------------------------------- the style

TEST_F(DropDownEditors, TheListStyleTakesItsTextOnlyFromThePopup) {
    TComboBoxEditor editor;
    EXPECT_EQ(editor.Style(), TTextualEditor::dsDropDown);
    EXPECT_FALSE(editor.ReadOnly());
    QTest::keyClicks(editor.EditControl(), "ab");
    EXPECT_EQ(editor.Text(), "ab");

    editor.SetStyle(TTextualEditor::dsDropDownList);
    EXPECT_TRUE(editor.ReadOnly());
    EXPECT_TRUE(editor.EditControl()->isReadOnly());
    EXPECT_EQ(editor.Cursor(), TControl::crArrow);
    EXPECT_EQ(editor.cursor().shape(), Qt::ArrowCursor);
    QTest::keyClicks(editor.EditControl(), "cd");
    EXPECT_EQ(editor.Text(), "ab");
    // Activating puts the style's pointer back.
    editor.SetCursor(TControl::crHandPoint);
    editor.Activate();
    EXPECT_EQ(editor.Cursor(), TControl::crArrow);
    EXPECT_EQ(editor.EditControl()->cursorPosition(), 2);

    editor.SetStyle(TTextualEditor::dsDropDown);
    EXPECT_FALSE(editor.ReadOnly());
    EXPECT_EQ(editor.Cursor(), TControl::crDefault);
    EXPECT_EQ(editor.cursor().shape(), Qt::IBeamCursor);
}

// ----------------------------------------------------------------- the list

TEST_F(DropDownEditors, TheListIsAsHighAsItsItemsAtMostDropDownCountRows) {
    THosted<TComboBoxEditor> host;
    TComboBoxEditor* editor = host.Editor;
    editor->Font()->SetSize(11);
    editor->SetItems({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    editor->SetItemIndex(1);
    ASSERT_EQ(editor->DropDownCount(), 8);
    QTest::mousePress(editor->Button(), Qt::LeftButton, {}, host.OnButton());
    TPopupList* list = editor->PopupList();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(list));
    QTest::mouseRelease(editor->Button(), Qt::LeftButton, {}, host.OnButton());
    // The release of the press that dropped it closed nothing.
    EXPECT_FALSE(list->Closed());
    EXPECT_TRUE(list->isVisible());
    EXPECT_TRUE(editor->Button()->Pressed());

    EXPECT_EQ(list->ClientHeight(), 3 * 16);
    EXPECT_EQ(list->Width(), editor->Width());
    EXPECT_EQ(list->geometry().topLeft(), host.Below());
    EXPECT_EQ(list->Font()->Size(), 11);
    EXPECT_EQ(list->Text(), "b");
    EXPECT_EQ(list->HotIndex(), 1);
    // The list shows the editor's own items.
    EXPECT_EQ(list->Items(), &editor->Items());
    list->ClosePopup();
    EXPECT_FALSE(editor->Button()->Pressed());

    // Twenty items show eight rows, the current one first, or as near the
    // top as the last eight rows allow.
    editor->SetItems(Numbered(20));
    editor->SetItemHeight(18);
    for (const auto& [current, top] : {std::pair{3, 3}, std::pair{17, 12}}) {
        editor->SetItemIndex(current);
        Click(editor->Button(), host.OnButton());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(list));
        EXPECT_EQ(list->ClientHeight(), 8 * 18);
        EXPECT_EQ(list->Width(), editor->Width());
        EXPECT_EQ(list->VertScrollBar()->Position(), top);
        EXPECT_EQ(list->HotIndex(), current);
        list->ClosePopup();
    }
    // No items, no rows.
    editor->Items().clear();
    editor->DropDown();
    EXPECT_EQ(list->ClientHeight(), 0);
    list->ClosePopup();
}

TEST_F(DropDownEditors, AChoiceInTheListBecomesTheTextAndItemIndexAndIsReportedOnce) {
    THosted<TComboBoxEditor> host;
    TComboBoxEditor* editor = host.Editor;
    QStringList items = Numbered(20);
    items[4] = QStringLiteral("Çağrı 4");
    editor->SetItems(items);
    editor->SetItemIndex(3);
    TNotices notices(*editor);
    Click(editor->Button(), host.OnButton());
    TPopupList* list = editor->PopupList();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(list));
    // The list starts at item 3; its second row is item 4.
    PointerTo(list, InPopup(20, 16 + 8));
    Click(list, InPopup(20, 16 + 8));
    EXPECT_TRUE(list->Closed());
    EXPECT_EQ(editor->Text(), QStringLiteral("Çağrı 4"));
    EXPECT_EQ(editor->ItemIndex(), 4);
    EXPECT_EQ(notices.Edits, QList<AnsiString>({WideToAnsi(QStringLiteral("Çağrı 4"))}));
    EXPECT_EQ(notices.Edits.front(), QByteArray("\xC7\x61\xF0r\xFD 4"));
    EXPECT_EQ(notices.Changes, 1);
    EXPECT_FALSE(editor->Button()->Pressed());
    EXPECT_FALSE(editor->Button()->Hot());

    // Choosing the item already shown is still a choice, reported once; the
    // text did not change.
    Click(editor->Button(), host.OnButton());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(list));
    PointerTo(list, InPopup(20, 8));
    Click(list, InPopup(20, 8));
    EXPECT_EQ(notices.Edits.size(), 2);
    EXPECT_EQ(notices.Edits.back(), notices.Edits.front());
    EXPECT_EQ(notices.Changes, 1);
}

TEST_F(DropDownEditors, AClickElsewhereClosesTheListWithoutAChoice) {
    THosted<TComboBoxEditor> host;
    TComboBoxEditor* editor = host.Editor;
    editor->SetItems(Numbered(5));
    editor->SetItemIndex(2);
    TNotices notices(*editor);
    Click(editor->Button(), host.OnButton());
    TPopupList* list = editor->PopupList();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(list));
    EXPECT_TRUE(editor->Button()->Pressed());
    Click(&host.Form, QPoint(250, 200));
    EXPECT_TRUE(list->Closed());
    EXPECT_FALSE(list->isVisible());
    EXPECT_FALSE(editor->Button()->Pressed());
    EXPECT_EQ(editor->Text(), "item 2");
    EXPECT_TRUE(notices.Edits.isEmpty());
}

TEST_F(DropDownEditors, APressOnTheTextDropsTheListInTheListStyleOnly) {
    THosted<TComboBoxEditor> host;
    TComboBoxEditor* editor = host.Editor;
    editor->SetItems(Numbered(5));
    TPopupList* list = editor->PopupList();
    TEditControl* text = editor->EditControl();
    PointerTo(text, host.OnText());
    Click(text, host.OnText());
    QTest::mouseClick(text, Qt::RightButton, {}, host.OnText());
    EXPECT_FALSE(list->isVisible());

    editor->SetStyle(TTextualEditor::dsDropDownList);
    QTest::mouseClick(text, Qt::RightButton, {}, host.OnText());
    EXPECT_FALSE(list->isVisible());
    QTest::mousePress(text, Qt::LeftButton, {}, host.OnText());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(list));
    EXPECT_TRUE(editor->Button()->Pressed());
    EXPECT_TRUE(editor->hasFocus() || text->hasFocus());
    // The release of that press goes to the list, which only notes it.
    QTest::mouseRelease(text, Qt::LeftButton, {}, host.OnText());
    EXPECT_TRUE(list->FirstUpSeen());
    EXPECT_FALSE(list->Closed());
    EXPECT_TRUE(list->isVisible());
    // The next click chooses.
    PointerTo(list, InPopup(20, 3 * 16 + 8));
    Click(list, InPopup(20, 3 * 16 + 8));
    EXPECT_EQ(editor->Text(), "item 3");
    EXPECT_EQ(editor->ItemIndex(), 3);
}

TEST_F(DropDownEditors, HidingTheEditorClosesItsPopup) {
    THosted<TComboBoxEditor> host;
    TComboBoxEditor* editor = host.Editor;
    editor->SetItems(Numbered(5));
    TNotices notices(*editor);
    Click(editor->Button(), host.OnButton());
    TPopupList* list = editor->PopupList();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(list));
    editor->Hide();
    EXPECT_TRUE(list->Closed());
    EXPECT_FALSE(list->isVisible() || list->HasMouseCapture());
    EXPECT_FALSE(editor->Button()->Pressed());
    EXPECT_TRUE(notices.Edits.isEmpty());
}

TEST_F(DropDownEditors, ItemIndexIsClampedToTheItemsAndNeedsSome) {
    TComboBoxEditor editor;
    EXPECT_EQ(editor.ItemIndex(), 0);
    editor.SetText("typed");
    editor.SetItemIndex(2);
    EXPECT_EQ(editor.ItemIndex(), 0);
    EXPECT_EQ(editor.Text(), "typed");
    editor.SetItems({"one", "two", "three"});
    editor.SetItemIndex(10);
    EXPECT_EQ(editor.ItemIndex(), 2);
    EXPECT_EQ(editor.Text(), "three");
    editor.SetItemIndex(-4);
    EXPECT_EQ(editor.ItemIndex(), 0);
    EXPECT_EQ(editor.Text(), "one");
    // The list is the editor's own: changing the given one changes nothing.
    QStringList given{"x"};
    editor.SetItems(given);
    given << "y";
    EXPECT_EQ(editor.Items(), QStringList({"x"}));
}

TEST_F(DropDownEditors, UpDownAndTheWheelStepThroughTheItems) {
    TKeyWitness parent;
    auto* combo = new TComboBoxEditor(&parent);
    TComboBoxEditor& editor = *combo;
    TEditControl* text = editor.EditControl();
    // Without items the keys and the wheel change nothing.
    QTest::keyClick(text, Qt::Key_Down);
    EXPECT_EQ(editor.Text(), "");
    editor.SetItems({"one", "two", "three"});
    editor.SetItemIndex(0);
    QTest::keyClick(text, Qt::Key_Up);
    EXPECT_EQ(editor.ItemIndex(), 0);
    EXPECT_EQ(editor.Text(), "one");
    QTest::keyClick(text, Qt::Key_Down);
    QTest::keyClick(text, Qt::Key_Down);
    QTest::keyClick(text, Qt::Key_Down);
    EXPECT_EQ(editor.ItemIndex(), 2);
    EXPECT_EQ(editor.Text(), "three");
    // The keys went no further than the editor; another one does.
    EXPECT_TRUE(parent.Keys.isEmpty());
    QTest::keyClick(text, Qt::Key_PageDown);
    EXPECT_EQ(parent.Keys, QList<int>({Qt::Key_PageDown}));
    QTest::keyClick(text, Qt::Key_Up);
    EXPECT_EQ(editor.Text(), "two");
    // The wheel: down one item further, up one back; it goes no further.
    bool accepted = false;
    Wheel(&editor, -120, &accepted);
    EXPECT_EQ(editor.ItemIndex(), 2);
    EXPECT_TRUE(accepted);
    Wheel(&editor, 120, &accepted);
    Wheel(&editor, 120, &accepted);
    EXPECT_EQ(editor.ItemIndex(), 0);
    EXPECT_TRUE(accepted);
}

TEST_F(DropDownEditors, TheCurrentItemsImageStandsLeftOfTheText) {
    SetThemesEnabled(false);
    TImageList images;
    images.SetWidth(10);
    images.SetHeight(8);
    QImage red(10, 8, QImage::Format_ARGB32), blue(10, 8, QImage::Format_ARGB32);
    red.fill(qRgb(255, 0, 0));
    blue.fill(qRgb(0, 0, 255));
    images.Add(red);
    images.Add(blue);
    TComboBoxEditor editor;
    editor.SetBounds(0, 0, 120, 30);
    editor.SetItems({"red", "blue"});
    TRect plain, shifted;
    editor.GetEditRect(plain);
    editor.SetImages(&images);
    ASSERT_TRUE(editor.ShowImages());
    editor.GetEditRect(shifted);
    EXPECT_EQ(shifted, Rect(plain.Left + 12, plain.Top, plain.Right, plain.Bottom));
    EXPECT_EQ(editor.EditControl()->x(), 1 + plain.Left + 12);
    editor.Show();

    // Client (2, 28 div 2 - 8 div 2) is window (3, 11).
    editor.SetItemIndex(1);
    QImage img = Render(&editor);
    EXPECT_EQ(img.pixel(3, 11), qRgb(0, 0, 255));
    EXPECT_EQ(img.pixel(12, 18), qRgb(0, 0, 255));
    EXPECT_EQ(img.pixel(2, 11), Rgb(clWindow));
    EXPECT_EQ(img.pixel(3, 10), Rgb(clWindow));
    EXPECT_EQ(img.pixel(3, 19), Rgb(clWindow));
    editor.SetItemIndex(0);
    editor.SetVerticalAlignment(vaTop);
    img = Render(&editor);
    EXPECT_EQ(img.pixel(3, 1), qRgb(255, 0, 0));
    EXPECT_EQ(img.pixel(3, 9), Rgb(clWindow));
    editor.SetVerticalAlignment(vaBottom);
    img = Render(&editor);
    EXPECT_EQ(img.pixel(3, 28), qRgb(255, 0, 0));
    EXPECT_EQ(img.pixel(3, 20), Rgb(clWindow));

    editor.SetShowImages(false);
    editor.GetEditRect(shifted);
    EXPECT_EQ(shifted.Left, plain.Left);
    EXPECT_EQ(shifted.Right, plain.Right);
    img = Render(&editor);
    EXPECT_EQ(img.pixel(3, 28), Rgb(clWindow));
}

// ----------------------------------------------------------------- the date

TEST_F(DropDownEditors, TheDateIsTheTextInTheShortDateFormat) {
    TDatePickerEditor editor;
    const TDateTime today = ::Date();
    EXPECT_EQ(editor.Text(), DateToStr(today));
    editor.SetDate(EncodeDate(2024, 3, 20));
    EXPECT_EQ(editor.Text(), "20/03/2024");
    EXPECT_EQ(editor.GetDateValue(), EncodeDate(2024, 3, 20));
    FormatSettings.ShortDateFormat = QStringLiteral("yyyy/mm/dd");
    FormatSettings.DateSeparator = u'-';
    editor.SetDateValue(EncodeDate(1999, 12, 31));
    EXPECT_EQ(editor.Text(), "1999-12-31");
    EXPECT_EQ(editor.Date(), EncodeDate(1999, 12, 31));

    // "" and "0" stand for today; any other text must be a date.
    for (const QString& text : {QString(), QStringLiteral("0")}) {
        editor.SetText(text);
        const TDateTime before = ::Date();
        const TDateTime value = editor.Date();
        EXPECT_TRUE(value == before || value == ::Date()) << value;
    }
    for (const QString& text : {QStringLiteral("2024-02-31"), QStringLiteral("soon")}) {
        editor.SetText(text);
        try {
            editor.Date();
            ADD_FAILURE() << "no error for " << text.toStdString();
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), "'" + text + "' is not a valid date");
        }
    }
}

TEST_F(DropDownEditors, TheCalendarOpensOnTheDateAndADayChosenBecomesTheText) {
    THosted<TDatePickerEditor> host;
    TDatePickerEditor* editor = host.Editor;
    editor->SetDate(EncodeDate(2024, 3, 20));
    TNotices notices(*editor);
    Click(editor->Button(), host.OnButton());
    TDatePopup* calendar = editor->Calendar();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(calendar));
    EXPECT_FALSE(calendar->Closed());
    EXPECT_EQ(calendar->Year() * 10000 + calendar->Month() * 100 + calendar->Day(), 20240320);
    EXPECT_EQ(calendar->SelectedDate(), EncodeDate(2024, 3, 20));
    EXPECT_EQ(calendar->size(), QSize(151, 163));
    EXPECT_EQ(calendar->geometry().topLeft(), host.Below());

    // The Monday of the second week is 4 March.
    const TRect cell = TDatePopup::CellRect(1, 1);
    const QPoint at = InPopup(cell.Left + 8, cell.Top + 7);
    PointerTo(calendar, at);
    Click(calendar, at);
    EXPECT_TRUE(calendar->Closed());
    EXPECT_EQ(editor->Text(), "04/03/2024");
    EXPECT_EQ(editor->Date(), EncodeDate(2024, 3, 4));
    EXPECT_EQ(notices.Edits, QList<AnsiString>({"04/03/2024"}));
    EXPECT_FALSE(editor->Button()->Pressed());

    // Dropped again, it shows the new date's month.
    editor->SetDate(EncodeDate(2023, 11, 5));
    Click(editor->Button(), host.OnButton());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(calendar));
    EXPECT_EQ(calendar->Year() * 100 + calendar->Month(), 202311);
    EXPECT_EQ(calendar->SelectedDate(), EncodeDate(2023, 11, 5));
    calendar->ClosePopup();
}

TEST_F(DropDownEditors, NoneInTheCalendarLeavesZeroWhichReadsAsToday) {
    THosted<TDatePickerEditor> host;
    TDatePickerEditor* editor = host.Editor;
    editor->SetDate(EncodeDate(2024, 3, 20));
    TNotices notices(*editor);
    Click(editor->Button(), host.OnButton());
    TDatePopup* calendar = editor->Calendar();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(calendar));
    PointerTo(calendar->NoneButton(), QPoint(24, 10));
    Click(calendar->NoneButton(), QPoint(24, 10));
    EXPECT_TRUE(calendar->Closed());
    EXPECT_EQ(editor->Text(), "0");
    EXPECT_EQ(notices.Edits, QList<AnsiString>({"0"}));
    const TDateTime before = ::Date();
    const TDateTime value = editor->Date();
    EXPECT_TRUE(value == before || value == ::Date());
    // Dropped on "0" the calendar shows today.
    Click(editor->Button(), host.OnButton());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(calendar));
    EXPECT_EQ(calendar->SelectedDate(), value);
    calendar->ClosePopup();
}

// ---------------------------------------------------------------- layouts

TEST_F(DropDownEditors, TheEditorsAreReadFromALayoutAndWrittenBack) {
    RegisterGridClasses();
    const QByteArray layout = R"(<object class="TForm" name="Host">
  <object class="TComboBoxEditor" name="Kind">
    <property name="Style">dsDropDownList</property>
    <property name="DropDownCount">5</property>
    <property name="ItemHeight">18</property>
    <property name="Items">
      <item>first</item>
      <item>second</item>
    </property>
    <property name="ShowImages">False</property>
    <property name="ItemIndex">1</property>
  </object>
  <object class="TDatePickerEditor" name="When">
    <property name="Date">45371</property>
  </object>
  <object class="TCustomButtonCellEditor" name="Pick"/>
  <object class="TPopupEditor" name="Drop"/>
</object>)";
    TForm form;
    ReadComponent(&form, layout);
    auto* kind = form.findChild<TComboBoxEditor*>("Kind");
    ASSERT_NE(kind, nullptr);
    EXPECT_EQ(kind->Style(), TTextualEditor::dsDropDownList);
    EXPECT_TRUE(kind->ReadOnly());
    EXPECT_EQ(kind->DropDownCount(), 5);
    EXPECT_EQ(kind->ItemHeight(), 18);
    EXPECT_EQ(kind->Items(), QStringList({"first", "second"}));
    EXPECT_FALSE(kind->ShowImages());
    EXPECT_EQ(kind->Text(), "second");
    auto* when = form.findChild<TDatePickerEditor*>("When");
    ASSERT_NE(when, nullptr);
    EXPECT_EQ(when->Date(), EncodeDate(2024, 3, 20));
    EXPECT_NE(form.findChild<TCustomButtonCellEditor*>("Pick"), nullptr);
    EXPECT_NE(form.findChild<TPopupEditor*>("Drop"), nullptr);

    // The buttons and popups are the editors' own parts, not stored children.
    TForm again;
    ReadComponent(&again, WriteComponent(&form));
    auto* copy = again.findChild<TComboBoxEditor*>("Kind");
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->Style(), TTextualEditor::dsDropDownList);
    EXPECT_EQ(copy->Items(), QStringList({"first", "second"}));
    EXPECT_EQ(copy->Text(), "second");
    EXPECT_EQ(again.findChild<TDatePickerEditor*>("When")->Date(), EncodeDate(2024, 3, 20));
    EXPECT_EQ(again.findChildren<TComboBoxEditor*>().size(), 1);
    EXPECT_EQ(again.findChildren<TSmallButton*>(Qt::FindDirectChildrenOnly).size(), 0);
}

TEST_F(DropDownEditors, AStoredItemIndexIsKeptWhateverTheOrderOfItsProperties) {
    RegisterGridClasses();
    // The index may be read before the items it points into: the writer puts
    // the properties in their declared order, ItemIndex before Items.
    const QByteArray layout = R"(<object class="TForm" name="Host">
  <object class="TComboBoxEditor" name="Kind">
    <property name="ItemIndex">2</property>
    <property name="Items">
      <item>first</item>
      <item>second</item>
      <item>third</item>
    </property>
  </object>
</object>)";
    TForm form;
    ReadComponent(&form, layout);
    auto* kind = form.findChild<TComboBoxEditor*>("Kind");
    ASSERT_NE(kind, nullptr);
    EXPECT_EQ(kind->ItemIndex(), 2);
    EXPECT_EQ(kind->Text(), "third");
    QTest::keyClick(kind->EditControl(), Qt::Key_Up);
    EXPECT_EQ(kind->Text(), "second");

    TForm again;
    ReadComponent(&again, WriteComponent(&form));
    auto* copy = again.findChild<TComboBoxEditor*>("Kind");
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->ItemIndex(), 1);
    EXPECT_EQ(copy->Text(), "second");
}

// A handler may put the editor away while the part that reported to it is
// still handling its event: the editor goes at once, the part when its
// event is done, and nothing is left holding the pointer.

// Frees an editor from a handler, as a grid that drops its column would;
// the keyboard has gone back to the grid before.
template <class E> void FreeFromHandler(QPointer<E>& editor) {
    editor->EditControl()->clearFocus();
    delete editor.data();
}
TEST_F(DropDownEditors, AHandlerMayFreeTheEditorWhenAChoiceIsReported) {
    {
        auto host = std::make_unique<THosted<TComboBoxEditor>>();
        QPointer<TComboBoxEditor> editor = host->Editor;
        editor->SetItems(Numbered(5));
        editor->OnEdit = [&](QObject*, const AnsiString&) { FreeFromHandler(editor); };
        Click(editor->Button(), host->OnButton());
        QPointer<TPopupList> list = editor->PopupList();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(list));
        PointerTo(list, InPopup(20, 16 + 8));
        Click(list, InPopup(20, 16 + 8));
        EXPECT_TRUE(editor.isNull());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(list.isNull());
        EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    }
    {
        // The calendar's "None" reports from a button of its own.
        auto host = std::make_unique<THosted<TDatePickerEditor>>();
        QPointer<TDatePickerEditor> editor = host->Editor;
        editor->OnEdit = [&](QObject*, const AnsiString&) { FreeFromHandler(editor); };
        Click(editor->Button(), host->OnButton());
        QPointer<TDatePopup> calendar = editor->Calendar();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(calendar));
        PointerTo(calendar->NoneButton(), QPoint(24, 10));
        Click(calendar->NoneButton(), QPoint(24, 10));
        EXPECT_TRUE(editor.isNull());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(calendar.isNull());
        EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    }
}

TEST_F(DropDownEditors, AHandlerMayFreeTheEditorFromOnButtonClick) {
    THosted<TCustomButtonCellEditor> host;
    QPointer<TCustomButtonCellEditor> editor = host.Editor;
    int clicks = 0;
    editor->OnButtonClick = [&](QObject*) {
        ++clicks;
        FreeFromHandler(editor);
    };
    QPointer<TSmallButton> button = editor->Button();
    const QPoint at = host.OnButton();
    Click(button, at);
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(editor.isNull());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(button.isNull());
}

TEST_F(DropDownEditors, AHandlerMayFreeTheEditorWhenAKeyStepsTheItems) {
    TImageList images;
    images.SetWidth(8);
    images.SetHeight(8);
    TForm form;
    QPointer<TComboBoxEditor> editor = new TComboBoxEditor(&form);
    editor->SetParentControl(&form);
    editor->SetItems({"one", "two"});
    editor->SetImages(&images);
    editor->OnEdit = [&](QObject*, const AnsiString&) { FreeFromHandler(editor); };
    QTest::keyClick(editor->EditControl(), Qt::Key_Down);
    EXPECT_TRUE(editor.isNull());
}

TEST_F(DropDownEditors, AHandlerMayFreeTheEditorWhenTheWheelStepsTheItems) {
    TForm form;
    QPointer<TComboBoxEditor> editor = new TComboBoxEditor(&form);
    editor->SetParentControl(&form);
    editor->SetItems({"one", "two", "three"});
    editor->OnEdit = [&](QObject*, const AnsiString&) { FreeFromHandler(editor); };
    // Two notches in one turn: the editor goes with the first.
    Wheel(editor, -240);
    EXPECT_TRUE(editor.isNull());
}

TEST_F(DropDownEditors, TheListSurvivesItsItemsChangingAndItsEditorGoingWhileOpen) {
    auto host = std::make_unique<THosted<TComboBoxEditor>>();
    TComboBoxEditor* editor = host->Editor;
    editor->SetItems(Numbered(12));
    editor->SetItemIndex(10);
    TNotices notices(*editor);
    Click(editor->Button(), host->OnButton());
    QPointer<TPopupList> list = editor->PopupList();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(list));
    ASSERT_EQ(list->VertScrollBar()->Position(), 4);
    // The list shows the editor's items as they are now: fewer rows than it
    // was opened with, and a click where a row was chooses nothing.
    editor->Items() = Numbered(3);
    list->repaint();
    PointerTo(list, InPopup(20, 5 * 16 + 8));
    Click(list, InPopup(20, 5 * 16 + 8));
    EXPECT_TRUE(list->Closed());
    EXPECT_TRUE(notices.Edits.isEmpty());
    EXPECT_EQ(editor->Text(), "item 10");

    // The editor freed while its list is open takes the list along and
    // leaves the pointer free.
    Click(editor->Button(), host->OnButton());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(list));
    editor->EditControl()->clearFocus();
    delete editor;
    EXPECT_TRUE(list.isNull());
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
}
