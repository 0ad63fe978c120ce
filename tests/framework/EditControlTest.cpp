// Key and focus routing of the windowed controls, and the edit control a
// windowed control hosts.

#include "EditControl.h"
#include "Forms.h"
#include "Menus.h"
#include "Streaming.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFocusEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// A host whose dispatchers write what they hear into one log.
struct THost {
    TWinControl Control;
    TEditControl* Edit = new TEditControl(&Control);
    QStringList Log;

    THost() {
        Control.SetBounds(0, 0, 120, 20);
        Edit->setGeometry(2, 2, 116, 16);
        Control.OnKeyDown = [this](QObject*, int& key, TShiftState shift) {
            Log << QStringLiteral("down %1%2").arg(key).arg(shift & ssCtrl ? "+ctrl" : "");
        };
        Control.OnKeyUp = [this](QObject*, int& key, TShiftState) {
            Log << QStringLiteral("up %1").arg(key);
        };
        Control.OnKeyPress = [this](QObject*, QChar& key) {
            Log << QStringLiteral("press %1").arg(key.unicode());
        };
        Control.OnEnter = [this](QObject*) { Log << QStringLiteral("enter"); };
        Control.OnExit = [this](QObject*) { Log << QStringLiteral("exit"); };
    }
};

TEST(KeyRouting, APressIsKeyDownThenKeyPressBeforeTheLineEditTypesIt) {
    THost host;
    QString seenByHandler;
    host.Control.OnKeyPress = [&](QObject*, QChar& key) {
        // The host hears the key before the line edit has it.
        seenByHandler = host.Edit->text();
        host.Log << QStringLiteral("press %1").arg(key.unicode());
    };
    QTest::keyClick(host.Edit, Qt::Key_A);
    EXPECT_EQ(host.Log, QStringList({"down 65", "press 97", "up 65"}));
    EXPECT_EQ(seenByHandler, "");
    EXPECT_EQ(host.Edit->text(), "a");

    // Delete carries no character: KeyDown only, and the line edit acts.
    host.Log.clear();
    QTest::keyClick(host.Edit, Qt::Key_Backspace);
    QTest::keyClick(host.Edit, Qt::Key_Delete);
    EXPECT_EQ(host.Log, QStringList({"down 8", "press 8", "up 8", "down 46", "up 46"}));
    EXPECT_EQ(host.Edit->text(), "");

    // Punctuation has no virtual key of its own: '!' must not pass for the
    // Page Up key (33), it is only typed.
    host.Log.clear();
    QTest::keyClick(host.Edit, Qt::Key_Exclam, Qt::ShiftModifier, 0);
    EXPECT_EQ(host.Log.filter("press"), QStringList({"press 33"}));
    EXPECT_TRUE(host.Log.filter("down 33").isEmpty());
    EXPECT_EQ(host.Edit->text(), "!");
}

TEST(KeyRouting, HandlersSwallowOrReplaceKeys) {
    THost host;
    host.Control.OnKeyDown = [](QObject*, int& key, TShiftState) {
        if (key == 'B' || key == VK_LEFT) key = 0;
    };
    host.Control.OnKeyPress = [](QObject*, QChar& key) {
        if (key == u'x') key = QChar();
        if (key == u'a') key = u'z';
    };
    QTest::keyClicks(host.Edit, "abxc");
    EXPECT_EQ(host.Edit->text(), "zc");
    // A swallowed Left leaves the caret where it was.
    QTest::keyClick(host.Edit, Qt::Key_Left);
    EXPECT_EQ(host.Edit->cursorPosition(), 2);
    QTest::keyClick(host.Edit, Qt::Key_Home);
    EXPECT_EQ(host.Edit->cursorPosition(), 0);
}

TEST(KeyRouting, CtrlWithALetterCarriesItsControlCode) {
    THost host;
    QTest::keyClick(host.Edit, Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(host.Edit, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(host.Edit, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(host.Log.filter("press"), QStringList({"press 3", "press 22", "press 24"}));
    EXPECT_TRUE(host.Log.contains("down 17+ctrl") || host.Log.contains("down 17"));
    EXPECT_TRUE(host.Log.contains("down 67+ctrl"));
    // Ctrl with a digit types nothing.
    host.Log.clear();
    QTest::keyClick(host.Edit, Qt::Key_1, Qt::ControlModifier);
    EXPECT_TRUE(host.Log.filter("press").isEmpty());
}

TEST(KeyRouting, AKeyIgnoredByTheLineEditIsNotHeardAgainByTheHostsParents) {
    TWinControl outer;
    int outerDowns = 0;
    outer.OnKeyDown = [&](QObject*, int&, TShiftState) { ++outerDowns; };
    auto* hostControl = new TWinControl(&outer);
    hostControl->SetParentControl(&outer);
    auto* edit = new TEditControl(hostControl);
    int hostDowns = 0;
    hostControl->OnKeyDown = [&](QObject*, int&, TShiftState) { ++hostDowns; };
    // The line edit ignores Escape, so Qt passes it to the host and on.
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_EQ(hostDowns, 1);
    EXPECT_EQ(outerDowns, 0);
    // A key sent to a control itself is its own.
    QTest::keyClick(&outer, Qt::Key_Escape);
    EXPECT_EQ(outerDowns, 1);
}

TEST(KeyRouting, KeyPreviewHearsAKeyOfAHostedEditOnceAndMaySwallowIt) {
    TForm form;
    form.SetKeyPreview(true);
    auto* control = new TWinControl(&form);
    control->SetParentControl(&form);
    auto* edit = new TEditControl(control);
    QString formHeard, controlHeard;
    form.OnKeyPress = [&](QObject*, QChar& key) {
        formHeard += key;
        if (key == u'q') key = QChar();
    };
    control->OnKeyPress = [&](QObject*, QChar& key) { controlHeard += key; };
    form.Show();
    QTest::keyClicks(edit, "aq");
    EXPECT_EQ(formHeard, "aq");
    EXPECT_EQ(controlHeard, "a");
    EXPECT_EQ(edit->text(), "a");
}

TEST(KeyRouting, KeyPreviewMayTypeAnotherCharacter) {
    TForm form;
    form.SetKeyPreview(true);
    auto* host = new TWinControl(&form);
    host->SetParentControl(&form);
    auto* edit = new TEditControl(host);
    auto* plain = new TWinControl(&form);
    plain->SetParentControl(&form);
    // The window types the locale's separator for the point.
    form.OnKeyPress = [](QObject*, QChar& key) {
        if (key == u'.') key = u',';
    };
    QString hostHeard, plainHeard;
    host->OnKeyPress = [&](QObject*, QChar& key) { hostHeard += key; };
    plain->OnKeyPress = [&](QObject*, QChar& key) { plainHeard += key; };
    form.Show();
    QTest::keyClicks(edit, "1.5");
    EXPECT_EQ(hostHeard, "1,5");
    EXPECT_EQ(edit->text(), "1,5");
    QTest::keyClicks(plain, ".");
    EXPECT_EQ(plainHeard, ",");
    // The next key is the control's own again.
    hostHeard.clear();
    form.OnKeyPress = nullptr;
    QTest::keyClicks(edit, ".");
    EXPECT_EQ(hostHeard, ".");
}

TEST(KeyRouting, AKeyHandlerMayFreeItsControl) {
    // Freed by KeyDown: the character of the key is heard no more, on the
    // control or on the edit control it hosted.
    for (const bool hosted : {false, true}) {
        QStringList log;
        auto* control = new TWinControl;
        TEditControl* edit = hosted ? new TEditControl(control) : nullptr;
        const QPointer<TWinControl> watch(control);
        control->OnKeyDown = [&](QObject*, int&, TShiftState) {
            log << QStringLiteral("down");
            delete control;
        };
        control->OnKeyPress = [&](QObject*, QChar&) { log << QStringLiteral("press"); };
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QApplication::sendEvent(hosted ? static_cast<QWidget*>(edit) : control, &press);
        EXPECT_TRUE(watch.isNull());
        EXPECT_EQ(log, QStringList({"down"})) << hosted;
    }
    // Freed by KeyPress: the key goes no further on it.
    auto* control = new TWinControl;
    const QPointer<TWinControl> watch(control);
    control->OnKeyPress = [&](QObject*, QChar&) { delete control; };
    QKeyEvent key(QEvent::KeyPress, Qt::Key_B, Qt::NoModifier, QStringLiteral("b"));
    QApplication::sendEvent(control, &key);
    EXPECT_TRUE(watch.isNull());
}

TEST(MouseRouting, AControlFreedByItsMouseUpHandlerIsNotClicked) {
    int clicks = 0;
    auto* control = new TControl;
    control->resize(40, 20);
    const QPointer<TControl> watch(control);
    control->OnMouseUp = [&](QObject*, TMouseButton, TShiftState, int, int) { delete control; };
    control->OnClick = [&](QObject*) { ++clicks; };
    QTest::mousePress(control, Qt::LeftButton, {}, QPoint(5, 5));
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(control, &release);
    EXPECT_TRUE(watch.isNull());
    EXPECT_EQ(clicks, 0);
}

TEST(FocusRouting, TheHostEntersAndExitsWithItsEditButNotWithTheWindowsActivation) {
    TForm form;
    form.SetClientWidth(200);
    form.SetClientHeight(60);
    QStringList log;
    TWinControl* hosts[2];
    TEditControl* edits[2];
    for (int i = 0; i < 2; ++i) {
        hosts[i] = new TWinControl(&form);
        hosts[i]->SetParentControl(&form);
        hosts[i]->SetBounds(0, i * 30, 120, 20);
        edits[i] = new TEditControl(hosts[i]);
        hosts[i]->OnEnter = [&log, i](QObject*) { log << QStringLiteral("enter %1").arg(i); };
        hosts[i]->OnExit = [&log, i](QObject*) { log << QStringLiteral("exit %1").arg(i); };
    }
    form.Show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));

    hosts[0]->setFocus();
    EXPECT_TRUE(edits[0]->hasFocus());
    hosts[1]->setFocus();
    EXPECT_EQ(log, QStringList({"enter 0", "exit 0", "enter 1"}));

    // A menu opening or the window losing the activation leaves the focused
    // control as it is.
    log.clear();
    for (Qt::FocusReason reason : {Qt::PopupFocusReason, Qt::ActiveWindowFocusReason}) {
        QFocusEvent out(QEvent::FocusOut, reason);
        QApplication::sendEvent(edits[1], &out);
        QFocusEvent in(QEvent::FocusIn, reason);
        QApplication::sendEvent(edits[1], &in);
    }
    EXPECT_TRUE(log.isEmpty());
}

TEST(EditControl, EveryRouteOfPastingGoesThroughTheHook) {
    THost host;
    QStringList pasted;
    host.Edit->OnPaste = [&](const QString& text) { pasted << text; };
    QGuiApplication::clipboard()->setText("12ab");
    QTest::keyClick(host.Edit, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(host.Edit, Qt::Key_Insert, Qt::ShiftModifier);
    const std::unique_ptr<QMenu> menu(host.Edit->CreateContextMenu());
    int pasteEntries = 0;
    for (QAction* action : menu->actions()) {
        const QString before = host.Edit->text();
        const qsizetype calls = pasted.size();
        if (action->isSeparator() || !action->isEnabled()) continue;
        action->trigger();
        if (pasted.size() > calls) ++pasteEntries;
        host.Edit->SetTextQuietly(before);
    }
    EXPECT_EQ(pasteEntries, 1);
    EXPECT_EQ(pasted, QStringList({"12ab", "12ab", "12ab"}));
    // The hook does the pasting: nothing reached the text by itself.
    EXPECT_EQ(host.Edit->text(), "");

    // A read-only edit pastes nothing.
    host.Edit->setReadOnly(true);
    QTest::keyClick(host.Edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(pasted.size(), 3);

    // Without a hook the text replaces the selection.
    host.Edit->setReadOnly(false);
    host.Edit->OnPaste = nullptr;
    host.Edit->SetTextQuietly("x-y");
    host.Edit->setSelection(1, 1);
    QTest::keyClick(host.Edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(host.Edit->text(), "x12aby");
}

TEST(EditControl, QuietTextAndTheSelection) {
    THost host;
    QSignalSpy changed(host.Edit, &QLineEdit::textChanged);
    host.Edit->SetTextQuietly("kırmızı");
    EXPECT_EQ(changed.count(), 0);
    EXPECT_EQ(host.Edit->SelStart(), 7);
    host.Edit->SetSelStart(2);
    host.Edit->SetSelLength(3);
    EXPECT_EQ(host.Edit->selectedText(), "rmı");
    EXPECT_EQ(host.Edit->SelStart(), 2);
    EXPECT_EQ(host.Edit->SelLength(), 3);
    // Lengths beyond the end stop at it.
    host.Edit->SetSelLength(50);
    EXPECT_EQ(host.Edit->selectedText(), "rmızı");
    host.Edit->SetSelStart(99);
    EXPECT_EQ(host.Edit->SelStart(), 7);
    EXPECT_EQ(host.Edit->SelLength(), 0);
}

TEST(BiDiMode, MirrorsTheLayoutAndTheAlignmentOnlyWhereTheModeSaysSo) {
    THost host;
    host.Edit->SetTextAlignment(TLabel::taLeftJustify);
    host.Control.SetBiDiMode(TControl::bdRightToLeft);
    EXPECT_EQ(host.Control.layoutDirection(), Qt::RightToLeft);
    EXPECT_TRUE(host.Control.UseRightToLeftAlignment());
    host.Edit->SetTextAlignment(TLabel::taLeftJustify);
    EXPECT_FALSE(host.Edit->alignment() & Qt::AlignAbsolute);

    host.Control.SetBiDiMode(TControl::bdRightToLeftNoAlign);
    EXPECT_EQ(host.Control.layoutDirection(), Qt::RightToLeft);
    host.Edit->SetTextAlignment(TLabel::taLeftJustify);
    EXPECT_TRUE(host.Edit->alignment() & Qt::AlignAbsolute);
    EXPECT_TRUE(host.Control.UseRightToLeftReading());

    host.Control.SetBiDiMode(TControl::bdRightToLeftReadingOnly);
    EXPECT_EQ(host.Control.layoutDirection(), Qt::LeftToRight);
    EXPECT_TRUE(host.Control.UseRightToLeftReading());
    EXPECT_FALSE(host.Control.UseRightToLeftAlignment());

    // Layouts store it by name.
    TForm form;
    ReadComponent(&form, "<object class=\"TForm\"><property name=\"BiDiMode\">"
                         "bdRightToLeft</property></object>");
    EXPECT_EQ(form.BiDiMode(), TControl::bdRightToLeft);
}

TEST(Exceptions, AbstractErrorNamesItself) {
    try {
        AbstractError();
    } catch (const EAbstractError& e) {
        EXPECT_EQ(e.Message(), "Abstract Error");
        return;
    }
    ADD_FAILURE();
}

} // namespace
