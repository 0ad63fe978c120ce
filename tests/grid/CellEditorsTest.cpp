// The cell editors: values and notices, the text editor's keys, pointer and
// layout, the numeric key filter and paste rule, the spin buttons, the check
// box, and what they draw.

#include "CellEditors.h"
#include "EditControl.h"
#include "Forms.h"
#include "Grid.h"
#include "GridTestSupport.h"
#include "Streaming.h"
#include "ThemesSupport.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFontMetrics>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <QStyle>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

namespace {

class CellEditors : public ::testing::Test {
protected:
    void SetUp() override {
        FSaved = FormatSettings;
        FormatSettings = TFormatSettings();
        FormatSettings.DecimalSeparator = u'.';
        FormatSettings.ThousandSeparator = u',';
        FormatSettings.ShortDateFormat = QStringLiteral("dd/mm/yyyy");
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

void SendMouse(QWidget* w, QEvent::Type type, QPoint pos, Qt::MouseButton button,
               Qt::MouseButtons buttons) {
    QMouseEvent e(type, QPointF(pos), QPointF(w->mapToGlobal(pos)), button, buttons,
                  Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

void Click(QWidget* w, QPoint pos) {
    SendMouse(w, QEvent::MouseButtonPress, pos, Qt::LeftButton, Qt::LeftButton);
    SendMouse(w, QEvent::MouseButtonRelease, pos, Qt::LeftButton, Qt::NoButton);
}

void Wheel(QWidget* w, int delta) {
    QWheelEvent e(QPointF(5, 5), QPointF(w->mapToGlobal(QPoint(5, 5))), QPoint(), QPoint(0, delta),
                  Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &e);
}

QImage Render(QWidget& w) {
    w.show();
    return w.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// The smallest rectangle holding every pixel of `area` that is not `color`.
QRect BoundsOfOther(const QImage& image, const QRect& area, QRgb color) {
    QRect r;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) != (color & 0xFFFFFF)) r |= QRect(x, y, 1, 1);
    return r;
}

template <class F> void ExpectAbstract(F call) {
    try {
        call();
        ADD_FAILURE() << "no abstract error";
    } catch (const EAbstractError& e) {
        EXPECT_EQ(e.Message(), "Abstract Error");
    }
}

// An editor in the drop-down-list style, as a button editor sets it.
class TListStyleEditor : public TTextualEditor {
public:
    TListStyleEditor() { FDropDownStyle = dsDropDownList; }
};

} // namespace

// ------------------------------------------------------------------- base

TEST_F(CellEditors, TheBaseSuppliesNoTypedValueOperation) {
    TCellEditor base;
    ExpectAbstract([&] { base.GetBooleanValue(); });
    ExpectAbstract([&] { base.GetFloatValue(); });
    ExpectAbstract([&] { base.GetDateValue(); });
    ExpectAbstract([&] { base.GetValue(); });
    ExpectAbstract([&] { base.SetBooleanValue(true); });
    ExpectAbstract([&] { base.SetDateValue(1); });
    ExpectAbstract([&] { base.SetFloatValue(1); });
    ExpectAbstract([&] { base.SetValue("x"); });
    // The ones with a body do nothing.
    base.Activate();
    base.ClearValue();
    base.SelectAll();
    // Each editor supplies only its own kinds.
    TTextualEditor text;
    ExpectAbstract([&] { text.GetFloatValue(); });
    ExpectAbstract([&] { text.SetBooleanValue(false); });
    TCheckBoxEditor box;
    ExpectAbstract([&] { box.GetDateValue(); });
    TNumericEditor number;
    number.SetFloatValue(4.25);
    EXPECT_DOUBLE_EQ(number.GetFloatValue(), 4.25);
}

TEST_F(CellEditors, StartsAsTheGridExpectsAndRegistersTheReversedArrow) {
    TNumericEditor editor;
    EXPECT_EQ(editor.BoundsRect(), Rect(0, 0, 121, 20));
    EXPECT_TRUE(editor.TabStop());
    EXPECT_EQ(editor.Color(), clWindow);
    EXPECT_FALSE(editor.ParentColor());
    EXPECT_EQ(editor.BorderStyle(), TCellEditor::bsSingle);
    EXPECT_EQ(editor.VerticalAlignment(), vaMiddle);
    EXPECT_EQ(editor.Options(), TNumericEditor::TEditOptions(TNumericEditor::eoAllowFloat) |
                                    TNumericEditor::eoAllowSigns);
    EXPECT_EQ(editor.Text(), "0.00");
    TSpinEditor spin;
    EXPECT_EQ(spin.Precision(), 0);
    EXPECT_EQ(spin.Text(), "0");

    ASSERT_TRUE(TScreenCursors::IsRegistered(crReversedArrow));
    const QCursor arrow = TScreenCursors::Get(crReversedArrow);
    EXPECT_EQ(arrow.shape(), Qt::BitmapCursor);
    EXPECT_EQ(arrow.hotSpot(), QPoint(31, 0));
}

TEST_F(CellEditors, ValuesCrossAsWideTextAndTheNoticeAsCodePageText) {
    TTextualEditor editor;
    TNotices notices(editor);
    editor.SetValue("abc");
    EXPECT_EQ(editor.GetValue(), "abc");
    // Characters outside the code page stay in the value; only the notice
    // carries the 8-bit form.
    editor.SetValue(QStringLiteral("Işık 中"));
    EXPECT_EQ(editor.GetValue(), QStringLiteral("Işık 中"));
    EXPECT_EQ(notices.Edits.back(), WideToAnsi(QStringLiteral("Işık ?")));
    EXPECT_EQ(notices.Changes, 2);
    // The same text again is no change.
    editor.SetValue(QStringLiteral("Işık 中"));
    EXPECT_EQ(notices.Changes, 2);
    editor.ClearValue();
    EXPECT_EQ(editor.GetValue(), "");
    EXPECT_EQ(notices.Changes, 3);
    EXPECT_EQ(notices.Edits.back(), "");
}

TEST_F(CellEditors, TypingRaisesNoNoticeAndReadingALayoutNoChange) {
    TTextualEditor editor;
    TNotices notices(editor);
    QTest::keyClicks(editor.EditControl(), "typed");
    EXPECT_EQ(editor.Text(), "typed");
    EXPECT_EQ(notices.Changes, 0);
    EXPECT_TRUE(notices.Edits.isEmpty());

    editor.SetComponentStateFlags(csReading, true);
    editor.SetText("read");
    EXPECT_EQ(notices.Changes, 0);
    EXPECT_EQ(notices.Edits, QList<AnsiString>({"read"}));
    editor.SetComponentStateFlags(csReading, false);
}

// ------------------------------------------------------------ text editor

TEST_F(CellEditors, EnterTypesNoLineBreakAndGoesNoFurther) {
    TWinControl parent;
    int parentKeys = 0;
    parent.OnKeyPress = [&](QObject*, QChar&) { ++parentKeys; };
    auto* editor = new TTextualEditor(&parent);
    editor->SetParentControl(&parent);
    QStringList heard;
    editor->OnKeyDown = [&](QObject*, int& key, TShiftState) {
        if (key == VK_RETURN) heard << "down";
    };
    QTest::keyClicks(editor->EditControl(), "ab");
    QTest::keyClick(editor->EditControl(), Qt::Key_Return);
    QTest::keyClicks(editor->EditControl(), "c");
    EXPECT_EQ(editor->Text(), "abc");
    // The grid hears Enter through KeyDown.
    EXPECT_EQ(heard, QStringList({"down"}));
    EXPECT_EQ(parentKeys, 0);
}

TEST_F(CellEditors, TheDropDownListStyleTypesNothing) {
    TListStyleEditor editor;
    QString heard;
    editor.OnKeyPress = [&](QObject*, QChar& key) { heard += key; };
    editor.SetText("kept");
    QTest::keyClicks(editor.EditControl(), "xy");
    QTest::keyClick(editor.EditControl(), Qt::Key_Backspace);
    EXPECT_EQ(editor.Text(), "kept");
    EXPECT_EQ(heard, QStringLiteral("xy\b"));
}

TEST_F(CellEditors, AutoSelectSelectsAllOnFocusAndActivatePutsTheCaretAtTheEnd) {
    TForm form;
    form.SetClientWidth(200);
    form.SetClientHeight(60);
    auto* plain = new TTextualEditor(&form);
    plain->SetParentControl(&form);
    auto* selecting = new TTextualEditor(&form);
    selecting->SetParentControl(&form);
    selecting->SetTop(30);
    selecting->SetAutoSelect(true);
    plain->SetText("first");
    selecting->SetText("second");
    form.Show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));

    plain->setFocus();
    EXPECT_TRUE(plain->EditControl()->hasFocus());
    EXPECT_EQ(plain->EditControl()->selectedText(), "");
    selecting->setFocus();
    EXPECT_EQ(selecting->EditControl()->selectedText(), "second");

    selecting->Activate();
    EXPECT_EQ(selecting->EditControl()->selectedText(), "");
    EXPECT_EQ(selecting->EditControl()->cursorPosition(), 6);
    selecting->SelectAll();
    EXPECT_EQ(selecting->EditControl()->selectedText(), "second");
}

TEST_F(CellEditors, TheLeftEdgeShowsTheReversedArrowAndAPressThereSelectsAll) {
    TTextualEditor editor;
    editor.SetText("some text");
    editor.Show();
    TEditControl* edit = editor.EditControl();
    // The edit control starts at client x 2 (window x 3); its first column
    // still belongs to the edge.
    ASSERT_EQ(edit->x(), 3);
    SendMouse(edit, QEvent::MouseMove, QPoint(0, 5), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(edit->cursor().shape(), Qt::BitmapCursor);
    SendMouse(edit, QEvent::MouseMove, QPoint(20, 5), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(edit->cursor().shape(), Qt::IBeamCursor);
    SendMouse(&editor, QEvent::MouseMove, QPoint(1, 10), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(editor.cursor().shape(), Qt::BitmapCursor);

    // The line edit places the caret first; the edge then selects all.
    Click(edit, QPoint(0, 5));
    EXPECT_EQ(edit->selectedText(), "some text");
    Click(edit, QPoint(30, 5));
    EXPECT_EQ(edit->selectedText(), "");
    Click(&editor, QPoint(1, 10));
    EXPECT_EQ(edit->selectedText(), "some text");
}

TEST_F(CellEditors, TheMouseEventsOfTheTextReachTheEditorsHandlers) {
    TTextualEditor editor;
    editor.Show();
    QList<QPoint> downs;
    int clicks = 0;
    editor.OnMouseDown = [&](QObject*, TMouseButton, TShiftState, int x, int y) {
        downs << QPoint(x, y);
    };
    editor.OnClick = [&](QObject*) { ++clicks; };
    Click(editor.EditControl(), QPoint(10, 4));
    // In client coordinates: the edit control's place less the border.
    const QPoint at = editor.EditControl()->pos() - QPoint(1, 1) + QPoint(10, 4);
    EXPECT_EQ(downs, QList<QPoint>({at}));
    EXPECT_EQ(clicks, 1);
}

TEST_F(CellEditors, TheEditRectangleFollowsTheAlignmentMarginAndPreview) {
    TTextualEditor editor;
    editor.SetBounds(0, 0, 100, 40);
    const int h = QFontMetrics(editor.Font()->ToQFont()).height();
    const int cw = 98, ch = 38; // inside the one-pixel border
    TRect r;
    editor.GetEditRect(r);
    EXPECT_EQ(r, Rect(2, (ch - 1) / 2 - h / 2, cw - 1, (ch - 1) / 2 - h / 2 + h));
    editor.SetMargin(3);
    editor.SetVerticalAlignment(vaTop);
    editor.GetEditRect(r);
    EXPECT_EQ(r, Rect(5, 3, cw - 4, 3 + h));
    editor.SetVerticalAlignment(vaBottom);
    editor.SetShowPreview(true);
    editor.GetEditRect(r);
    EXPECT_EQ(r, Rect(5 + 27, ch - 3 - h, cw - 4, ch - 3));
    // The edit control sits there, in window coordinates.
    EXPECT_EQ(editor.EditControl()->geometry(), r.ToQRect().translated(1, 1));
    // Without a border the client area is the window.
    editor.SetBorderStyle(TCellEditor::bsNone);
    EXPECT_EQ(editor.ClientRect(), Rect(0, 0, 100, 40));
    editor.GetEditRect(r);
    EXPECT_EQ(editor.EditControl()->geometry(), r.ToQRect());
}

TEST_F(CellEditors, ThePreviewIsFramedAndDrawnByTheEvent) {
    SetThemesEnabled(false);
    TTextualEditor editor;
    editor.SetBounds(0, 0, 100, 24);
    editor.SetShowPreview(true);
    QList<TRect> drawn;
    editor.OnCustomPreviewDraw = [&](QObject* sender, const TRect& r) {
        drawn << r;
        auto* e = static_cast<TTextualEditor*>(sender);
        e->Canvas()->Brush = TBrush{clRed, bsSolid};
        e->Canvas()->FillRect(r);
    };
    const QImage image = Render(editor);
    ASSERT_FALSE(drawn.isEmpty());
    EXPECT_EQ(drawn.back(), Rect(2, 2, 20, 20));
    // Client (1, 1) is window (2, 2): the black frame, then the red inside.
    EXPECT_EQ(image.pixel(2, 2) & 0xFFFFFF, 0u);
    EXPECT_EQ(image.pixel(21, 21) & 0xFFFFFF, 0u);
    EXPECT_EQ(image.pixel(3, 3), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(20, 20), qRgb(255, 0, 0));
}

TEST_F(CellEditors, TheBorderIsGreyWithoutThemesThemedWithThemAndAbsentWithBsNone) {
    const QRgb window = Rgb(clWindow);
    SetThemesEnabled(false);
    TCheckBoxEditor editor;
    editor.SetBounds(0, 0, 60, 30);
    QImage image = Render(editor);
    const QRgb grey = qRgb(128, 128, 128);
    for (int x = 0; x < 60; ++x) {
        EXPECT_EQ(image.pixel(x, 0), grey) << x;
        EXPECT_EQ(image.pixel(x, 29), grey) << x;
    }
    for (int y = 0; y < 30; ++y) {
        EXPECT_EQ(image.pixel(0, y), grey) << y;
        EXPECT_EQ(image.pixel(59, y), grey) << y;
    }
    EXPECT_EQ(image.pixel(1, 1), window);

    SetThemesEnabled(true);
    image = Render(editor);
    // The themed frame draws on the ring only.
    EXPECT_NE(image.pixel(30, 0), window);
    EXPECT_NE(image.pixel(0, 15), window);
    EXPECT_EQ(image.pixel(1, 1), window);

    editor.SetBorderStyle(TCellEditor::bsNone);
    image = Render(editor);
    EXPECT_EQ(CountOther(image, QRect(0, 0, 60, 1), window), 0);
    EXPECT_EQ(CountOther(image, QRect(0, 0, 1, 30), window), 0);
}

// --------------------------------------------------------- numeric editor

TEST_F(CellEditors, NumbersShowWithPrecisionUnitAndNullText) {
    TNumericEditor editor;
    editor.SetValue(3.5);
    EXPECT_EQ(editor.Text(), "3.50");
    editor.SetTextAfter(" m2");
    EXPECT_EQ(editor.Text(), "3.50 m2");
    // The unit is not part of the number, digits or not.
    EXPECT_DOUBLE_EQ(editor.Value(), 3.5);
    editor.SetPrecision(0);
    EXPECT_EQ(editor.Text(), "3.5 m2");
    editor.SetPrecision(3);
    editor.SetTextAfter(QString());
    EXPECT_EQ(editor.Text(), "3.500");

    editor.SetNullText("-");
    EXPECT_EQ(editor.Text(), "-");
    // The null text reads as the 0 it stands for.
    EXPECT_DOUBLE_EQ(editor.Value(), 0);
    editor.SetValue(-2.25);
    EXPECT_EQ(editor.Text(), "-2.250");

    // The locale's separator, both ways.
    FormatSettings.DecimalSeparator = u',';
    editor.SetValue(1.5);
    EXPECT_EQ(editor.Text(), "1,500");
    EXPECT_DOUBLE_EQ(editor.Value(), 1.5);

    // Without decimals allowed the shortest form is shown.
    editor.SetOptions(TNumericEditor::eoAllowSigns);
    editor.SetValue(12);
    EXPECT_EQ(editor.Text(), "12");
}

TEST_F(CellEditors, ALoneSignIsAConversionError) {
    TNumericEditor editor;
    editor.SetValue(QStringLiteral("-"));
    try {
        editor.Value();
        ADD_FAILURE();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'-' is not a valid floating point value");
    }
    editor.SetValue(QString());
    EXPECT_DOUBLE_EQ(editor.Value(), 0);
    editor.SetValue(QStringLiteral("abc"));
    EXPECT_DOUBLE_EQ(editor.Value(), 0);

    // Taking any text, the editor formats nothing when its unit changes, so
    // it reads nothing either.
    editor.SetOptions(TNumericEditor::TEditOptions(TNumericEditor::eoAllowAll) |
                      TNumericEditor::eoAllowSigns);
    editor.SetValue(QStringLiteral("-"));
    EXPECT_NO_THROW(editor.SetTextAfter(QStringLiteral(" kg")));
    EXPECT_EQ(editor.TextAfter(), " kg");
    EXPECT_EQ(editor.Text(), "-");
}

TEST_F(CellEditors, CleanNumberKeepsOneSeparatorAndALeadingSign) {
    EXPECT_EQ(TNumericEditor::CleanNumber("-1.2.3x", true, true), "-1.23");
    EXPECT_EQ(TNumericEditor::CleanNumber("-1.2", false, true), "-12");
    EXPECT_EQ(TNumericEditor::CleanNumber("-1.2", true, false), "1.2");
    EXPECT_EQ(TNumericEditor::CleanNumber("1-2+3", true, true), "123");
    // A pasted control character is no part of a number.
    EXPECT_EQ(TNumericEditor::CleanNumber(QStringLiteral("1\b2"), true, true), "12");
    EXPECT_EQ(TNumericEditor::CleanNumber(QStringLiteral("٣4"), true, true), "4");
}

TEST_F(CellEditors, TheKeyFilterTypesOnlyWhatMakesANumber) {
    TNumericEditor editor;
    TEditControl* edit = editor.EditControl();
    editor.SetValue(QString());
    QTest::keyClicks(edit, "1.5.2a");
    EXPECT_EQ(editor.Text(), "1.52");
    // A sign only in front, and only one.
    QTest::keyClick(edit, Qt::Key_Minus);
    EXPECT_EQ(editor.Text(), "1.52");
    edit->setCursorPosition(0);
    QTest::keyClick(edit, Qt::Key_Minus);
    QTest::keyClick(edit, Qt::Key_Plus);
    EXPECT_EQ(editor.Text(), "-1.52");
    // Backspace passes.
    edit->end(false);
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(editor.Text(), "-1.5");
    // Typing over a selection that holds the separator may type another.
    edit->setSelection(2, 1);
    QTest::keyClick(edit, Qt::Key_Period);
    EXPECT_EQ(editor.Text(), "-1.5");
    edit->setSelection(0, 1);
    QTest::keyClick(edit, Qt::Key_Plus);
    EXPECT_EQ(editor.Text(), "+1.5");

    editor.SetOptions({});
    editor.SetValue(QString());
    QTest::keyClicks(edit, "-7.5");
    EXPECT_EQ(editor.Text(), "75");
    editor.SetOptions(TNumericEditor::eoAllowAll);
    QTest::keyClicks(edit, "kg");
    EXPECT_EQ(editor.Text(), "75kg");
}

TEST_F(CellEditors, PastingKeepsOnlyWhatMakesANumberByEveryRoute) {
    TNumericEditor editor;
    TEditControl* edit = editor.EditControl();
    editor.SetValue(QString());
    QGuiApplication::clipboard()->setText("a1b2.3.4");
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(editor.Text(), "12.34");
    // The caret goes back to where the pasted text begins.
    EXPECT_EQ(edit->cursorPosition(), 0);

    // With a separator outside the selection, none is pasted; a sign only at
    // the start.
    edit->end(false);
    QGuiApplication::clipboard()->setText("-5.6");
    QTest::keyClick(edit, Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(editor.Text(), "12.3456");
    edit->setSelection(0, 2);
    QGuiApplication::clipboard()->setText(QStringLiteral("-9\b"));
    const std::unique_ptr<QMenu> menu(edit->CreateContextMenu());
    for (QAction* action : menu->actions())
        if (action->text().contains(QLatin1String("Paste"))) action->trigger();
    EXPECT_EQ(editor.Text(), "-9.3456");
    // A paste is typing, not an assignment.
    TNotices notices(editor);
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(notices.Changes, 0);
}

TEST_F(CellEditors, LosingTheFocusFormatsTheTypedNumber) {
    TForm form;
    form.SetClientWidth(200);
    form.SetClientHeight(60);
    auto* number = new TNumericEditor(&form);
    number->SetParentControl(&form);
    auto* other = new TTextualEditor(&form);
    other->SetParentControl(&form);
    other->SetTop(30);
    form.Show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    number->setFocus();
    number->SetValue(QString());
    QTest::keyClicks(number->EditControl(), "3.14159");
    other->setFocus();
    EXPECT_EQ(number->Text(), "3.14");

    number->SetOptions(TNumericEditor::eoAllowAll);
    number->setFocus();
    QTest::keyClicks(number->EditControl(), "9");
    other->setFocus();
    EXPECT_EQ(number->Text(), "3.149");
}

TEST_F(CellEditors, AssignTakesTheNumericSettings) {
    TNumericEditor source;
    source.SetMax(10);
    source.SetMin(-10);
    source.SetOptions(TNumericEditor::eoAllowFloat);
    source.SetPrecision(1);
    source.SetNullText("yok");
    source.SetValue(2.5);
    TNumericEditor target;
    target.Assign(source);
    EXPECT_DOUBLE_EQ(target.Max(), 10);
    EXPECT_DOUBLE_EQ(target.Min(), -10);
    EXPECT_EQ(target.Options(), TNumericEditor::TEditOptions(TNumericEditor::eoAllowFloat));
    EXPECT_EQ(target.NullText(), "yok");
    EXPECT_EQ(target.Text(), "2.5");
}

// ------------------------------------------------------------ spin editor

TEST_F(CellEditors, SpinStepsStopAtTheBounds) {
    TSpinEditor spin;
    spin.StepDown();
    EXPECT_DOUBLE_EQ(spin.Value(), 0);
    spin.SetMax(5);
    spin.SetValue(5);
    spin.StepUp();
    EXPECT_DOUBLE_EQ(spin.Value(), 5);
    // Max 0 is no upper bound; Min always bounds.
    spin.SetMax(0);
    spin.SetIncrement(2);
    spin.StepUp();
    EXPECT_DOUBLE_EQ(spin.Value(), 7);
    spin.SetMin(4);
    spin.StepDown();
    spin.StepDown();
    EXPECT_DOUBLE_EQ(spin.Value(), 5);
    EXPECT_EQ(spin.Text(), "5");

    // Steps too small (or values too large) for plain digits are shown with
    // an exponent and still read back.
    spin.SetMin(0);
    spin.SetValue(0);
    spin.SetIncrement(0.00001);
    spin.StepUp();
    spin.StepUp();
    EXPECT_EQ(spin.Text(), "2E-5");
    EXPECT_DOUBLE_EQ(spin.Value(), 0.00002);
    spin.SetValue(1e20);
    spin.SetIncrement(1e20);
    spin.StepUp();
    EXPECT_DOUBLE_EQ(spin.Value(), 2e20);
}

TEST_F(CellEditors, HoldingASpinButtonStepsOnceThenRepeatsAfterTheDelay) {
    TSpinEditor spin;
    spin.Show();
    TSpinButtons* buttons = spin.Buttons();
    TTimer* delay = buttons->DelayTimer();
    TTimer* repeat = buttons->RepeatTimer();
    EXPECT_EQ(delay->Interval(), 400);
    EXPECT_EQ(repeat->Interval(), 20);
    EXPECT_FALSE(delay->Enabled() || repeat->Enabled());

    const QPoint upper(3, 2);
    SendMouse(buttons, QEvent::MouseButtonPress, upper, Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(buttons->PressedPart(), 1);
    EXPECT_DOUBLE_EQ(spin.Value(), 1);
    EXPECT_TRUE(delay->Enabled());
    EXPECT_FALSE(repeat->Enabled());
    delay->Timer();
    EXPECT_DOUBLE_EQ(spin.Value(), 1);
    EXPECT_FALSE(delay->Enabled());
    EXPECT_TRUE(repeat->Enabled());
    for (int i = 0; i < 3; ++i)
        repeat->Timer();
    EXPECT_DOUBLE_EQ(spin.Value(), 4);
    SendMouse(buttons, QEvent::MouseButtonRelease, upper, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(buttons->PressedPart(), 0);
    EXPECT_FALSE(delay->Enabled() || repeat->Enabled());
    // A tick that was already on its way steps no more.
    repeat->Timer();
    EXPECT_DOUBLE_EQ(spin.Value(), 4);

    // The lower half steps down.
    const QPoint lower(3, buttons->height() - 2);
    SendMouse(buttons, QEvent::MouseButtonPress, lower, Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(buttons->PressedPart(), 2);
    EXPECT_DOUBLE_EQ(spin.Value(), 3);
    SendMouse(buttons, QEvent::MouseButtonRelease, lower, Qt::LeftButton, Qt::NoButton);
}

TEST_F(CellEditors, AHeldSpinButtonLetsGoWhenTheEditorIsHiddenOrLeft) {
    TForm form;
    form.SetClientWidth(200);
    form.SetClientHeight(60);
    auto* spin = new TSpinEditor(&form);
    spin->SetParentControl(&form);
    auto* other = new TTextualEditor(&form);
    other->SetParentControl(&form);
    other->SetTop(30);
    form.Show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    TSpinButtons* buttons = spin->Buttons();
    const auto expectLetGo = [&](double value) {
        EXPECT_EQ(buttons->PressedPart(), 0);
        EXPECT_FALSE(buttons->DelayTimer()->Enabled() || buttons->RepeatTimer()->Enabled());
        // Ticks already on their way step no more.
        buttons->DelayTimer()->Timer();
        buttons->RepeatTimer()->Timer();
        EXPECT_DOUBLE_EQ(spin->Value(), value);
    };

    // Held by the mouse while the grid closes the editor.
    SendMouse(buttons, QEvent::MouseButtonPress, QPoint(3, 2), Qt::LeftButton, Qt::LeftButton);
    EXPECT_DOUBLE_EQ(spin->Value(), 1);
    spin->Hide();
    expectLetGo(1);

    // Held by the Up key while the focus moves on: the key's release goes to
    // the other control.
    spin->Show();
    spin->setFocus();
    QTest::keyPress(spin->EditControl(), Qt::Key_Up);
    EXPECT_DOUBLE_EQ(spin->Value(), 2);
    other->setFocus();
    expectLetGo(2);

    // Held while another window takes the activation.
    spin->setFocus();
    QTest::keyPress(spin->EditControl(), Qt::Key_Up);
    EXPECT_DOUBLE_EQ(spin->Value(), 3);
    TForm second;
    second.SetBounds(300, 300, 100, 50);
    second.Show();
    second.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&second));
    expectLetGo(3);
}

TEST_F(CellEditors, ArrowKeysAndTheWheelPressTheSpinButtons) {
    TSpinEditor spin;
    spin.SetMin(-10);
    TEditControl* edit = spin.EditControl();
    QTest::keyPress(edit, Qt::Key_Up);
    EXPECT_EQ(spin.Buttons()->PressedPart(), 1);
    EXPECT_DOUBLE_EQ(spin.Value(), 1);
    QTest::keyRelease(edit, Qt::Key_Up);
    EXPECT_EQ(spin.Buttons()->PressedPart(), 0);
    QTest::keyClick(edit, Qt::Key_Down);
    QTest::keyClick(edit, Qt::Key_Down);
    EXPECT_DOUBLE_EQ(spin.Value(), -1);

    // The wheel steps a notch at a time.
    Wheel(&spin, 120);
    EXPECT_DOUBLE_EQ(spin.Value(), 0);
    Wheel(&spin, -120);
    EXPECT_DOUBLE_EQ(spin.Value(), -1);
    Wheel(&spin, 60);
    EXPECT_DOUBLE_EQ(spin.Value(), -1);
    Wheel(&spin, 60);
    EXPECT_DOUBLE_EQ(spin.Value(), 0);
    EXPECT_EQ(spin.Buttons()->PressedPart(), 0);
}

TEST_F(CellEditors, TheSpinButtonsSitAtTheRightEdgeOfTheClientArea) {
    SetThemesEnabled(false);
    TSpinEditor spin;
    const int w = spin.style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    // Client area 119 x 18 inside the border; y 1 and height 18 - 2 + 1.
    EXPECT_EQ(spin.Buttons()->BoundsRect(), Rect(119 - w, 1, 119, 18));
    EXPECT_EQ(spin.Buttons()->geometry(), QRect(120 - w, 2, w, 17));
    TRect edit;
    spin.GetEditRect(edit);
    EXPECT_EQ(edit.Right, 119 - w);

    // Shown, the editor formats its value: an empty text only after that.
    spin.Show();
    spin.SetValue(QString());
    const QImage image = Render(spin);
    EXPECT_EQ(BoundsOfOther(image, QRect(1, 1, 119, 18), Rgb(clWindow)), QRect(120 - w, 2, w, 17));

    spin.SetBorderStyle(TCellEditor::bsNone);
    EXPECT_EQ(spin.Buttons()->geometry(), QRect(121 - w, 0, w, 21));
    spin.GetEditRect(edit);
    EXPECT_EQ(edit.Right, 121 - w);
}

TEST_F(CellEditors, ThePointerOverTheEditorMakesTheSpinButtonsHot) {
    TSpinEditor spin;
    QEvent leave(QEvent::Leave);
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(&spin, &enter);
    EXPECT_EQ(spin.Buttons()->HotPart(), 3);
    SendMouse(spin.Buttons(), QEvent::MouseMove, QPoint(2, spin.Buttons()->height() - 1),
              Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(spin.Buttons()->HotPart(), 2);
    QApplication::sendEvent(&spin, &leave);
    EXPECT_EQ(spin.Buttons()->HotPart(), 0);
}

// --------------------------------------------------------------- check box

TEST_F(CellEditors, ACheckBoxReadsTrueInAnyCaseAndNotifiesEveryChange) {
    TCheckBoxEditor box;
    TNotices notices(box);
    box.SetValue("TRUE");
    EXPECT_TRUE(box.Checked());
    EXPECT_EQ(box.GetValue(), "True");
    EXPECT_TRUE(box.GetBooleanValue());
    box.SetValue("yes");
    EXPECT_FALSE(box.Checked());
    EXPECT_EQ(box.GetValue(), "False");
    box.SetBooleanValue(true);
    box.ClearValue();
    EXPECT_FALSE(box.Checked());
    EXPECT_EQ(notices.Changes, 4);
    EXPECT_EQ(notices.Edits, QList<AnsiString>({"True", "False", "True", "False"}));
}

TEST_F(CellEditors, SpaceAndClicksOnTheBoxToggleIt) {
    SetThemesEnabled(false);
    TCheckBoxEditor box;
    box.SetBorderStyle(TCellEditor::bsNone);
    box.SetBounds(0, 0, 60, 30);
    box.SetAlignment(taCenter);
    const TRect r = box.BoxRect();
    ASSERT_EQ(r, Bounds(25, 10, 11, 11));

    QTest::keyPress(&box, Qt::Key_Space);
    EXPECT_TRUE(box.Pressed());
    EXPECT_FALSE(box.Checked());
    QTest::keyRelease(&box, Qt::Key_Space);
    EXPECT_FALSE(box.Pressed());
    EXPECT_TRUE(box.Checked());

    const QPoint inside(30, 15), outside(5, 5);
    SendMouse(&box, QEvent::MouseMove, inside, Qt::NoButton, Qt::NoButton);
    EXPECT_TRUE(box.Hot());
    SendMouse(&box, QEvent::MouseButtonPress, inside, Qt::LeftButton, Qt::LeftButton);
    EXPECT_TRUE(box.Pressed());
    SendMouse(&box, QEvent::MouseButtonRelease, inside, Qt::LeftButton, Qt::NoButton);
    EXPECT_FALSE(box.Checked());
    // Let go outside the box: no toggle.
    SendMouse(&box, QEvent::MouseButtonPress, inside, Qt::LeftButton, Qt::LeftButton);
    SendMouse(&box, QEvent::MouseButtonRelease, outside, Qt::LeftButton, Qt::NoButton);
    EXPECT_FALSE(box.Checked());
    EXPECT_FALSE(box.Pressed());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&box, &leave);
    EXPECT_FALSE(box.Hot());
}

TEST_F(CellEditors, TheCheckBoxIsPlacedInTheGrownClientAreaWithAMarginOf2) {
    const QRgb window = Rgb(clWindow);
    TCheckBoxEditor box;
    box.SetBorderStyle(TCellEditor::bsNone);
    box.SetBounds(0, 0, 60, 30);
    box.SetAlignment(taCenter);
    box.SetChecked(true);

    // Without themes: 11 pixels, centred in (-1, -1)-(61, 31).
    SetThemesEnabled(false);
    EXPECT_EQ(BoundsOfOther(Render(box), QRect(0, 0, 60, 30), window), QRect(25, 10, 11, 11));
    box.SetAlignment(taLeftJustify);
    box.SetVerticalAlignment(vaTop);
    EXPECT_EQ(BoundsOfOther(Render(box), QRect(0, 0, 60, 30), window), QRect(1, 1, 11, 11));

    // With themes: 13 pixels.
    SetThemesEnabled(true);
    EXPECT_EQ(box.BoxRect(), Bounds(1, 1, 13, 13));
    EXPECT_EQ(BoundsOfOther(Render(box), QRect(0, 0, 60, 30), window), QRect(1, 1, 13, 13));
    box.SetAlignment(taCenter);
    box.SetVerticalAlignment(vaMiddle);
    EXPECT_EQ(BoundsOfOther(Render(box), QRect(0, 0, 60, 30), window), QRect(24, 9, 13, 13));

    // Inside a border the client area moves by one pixel.
    box.SetBorderStyle(TCellEditor::bsSingle);
    EXPECT_EQ(BoundsOfOther(Render(box), QRect(1, 1, 58, 28), window), QRect(24, 9, 13, 13));
}

// ------------------------------------------------------------- notices

TEST_F(CellEditors, ANoticeHandlerMayFreeItsEditor) {
    // A step by a spin button, by the Up key and by the wheel.
    for (int route = 0; route < 3; ++route) {
        auto* spin = new TSpinEditor;
        spin->Show();
        const QPointer<TSpinEditor> watch(spin);
        spin->OnEdit = [&](QObject*, const AnsiString&) { delete spin; };
        if (route == 0) {
            SendMouse(spin->Buttons(), QEvent::MouseButtonPress, QPoint(3, 2), Qt::LeftButton,
                      Qt::LeftButton);
        } else if (route == 1) {
            QKeyEvent up(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier);
            QApplication::sendEvent(spin->EditControl(), &up);
        } else {
            Wheel(spin, 120);
        }
        EXPECT_TRUE(watch.isNull()) << route;
    }

    // Freed by OnChange, an editor raises no OnEdit.
    auto* text = new TTextualEditor;
    int edits = 0;
    text->OnChange = [&](QObject*) { delete text; };
    text->OnEdit = [&](QObject*, const AnsiString&) { ++edits; };
    text->SetValue(QStringLiteral("x"));
    EXPECT_EQ(edits, 0);

    // A check box toggled by the space bar.
    auto* box = new TCheckBoxEditor;
    const QPointer<TCheckBoxEditor> watchBox(box);
    box->OnEdit = [&](QObject*, const AnsiString&) { delete box; };
    QKeyEvent space(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    QApplication::sendEvent(box, &space);
    EXPECT_TRUE(watchBox.isNull());
}

// ----------------------------------------------------------------- layouts

TEST_F(CellEditors, EditorsAreReadFromALayoutByClassNameAndWrittenBack) {
    RegisterGridClasses();
    const QByteArray layout = R"(<object class="TForm" name="Host">
  <object class="TNumericEditor" name="Amount">
    <property name="Alignment">taRightJustify</property>
    <property name="BorderStyle">bsNone</property>
    <property name="VerticalAlignment">vaTop</property>
    <property name="Options">[eoAllowFloat]</property>
    <property name="Precision">3</property>
    <property name="TextAfter"> kg</property>
    <property name="Value">2.5</property>
  </object>
  <object class="TCheckBoxEditor" name="Done">
    <property name="Checked">True</property>
  </object>
  <object class="TSpinEditor" name="Count"/>
</object>)";
    TForm form;
    ReadComponent(&form, layout);
    auto* amount = form.findChild<TNumericEditor*>("Amount");
    ASSERT_NE(amount, nullptr);
    EXPECT_EQ(amount->Alignment(), taRightJustify);
    EXPECT_EQ(amount->BorderStyle(), TCellEditor::bsNone);
    EXPECT_EQ(amount->VerticalAlignment(), vaTop);
    EXPECT_EQ(amount->Options(), TNumericEditor::TEditOptions(TNumericEditor::eoAllowFloat));
    EXPECT_EQ(amount->Text(), "2.500 kg");
    auto* done = form.findChild<TCheckBoxEditor*>("Done");
    ASSERT_NE(done, nullptr);
    EXPECT_TRUE(done->Checked());

    // The spin editor's buttons are its own part, not a stored child.
    TForm again;
    ReadComponent(&again, WriteComponent(&form));
    auto* copy = again.findChild<TNumericEditor*>("Amount");
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->Text(), "2.500 kg");
    EXPECT_EQ(copy->VerticalAlignment(), vaTop);
    EXPECT_EQ(again.findChildren<TSpinButtons*>().size(), 1);
}
