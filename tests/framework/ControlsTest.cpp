// The behaviour of the framework's controls that the windows rely on.

#include "AppEvnts.h"
#include "Application.h"
#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "StdCtrls.h"

#include <QAbstractTextDocumentLayout>
#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

namespace {

TEST(Event, AHandlerMayReplaceTheEventItRunsFrom) {
    TNotifyEvent event;
    QString seen;
    const QString captured(100, QLatin1Char('x'));
    event = [&event, &seen, captured](QObject*) {
        event = [](QObject*) {};
        // The running handler's captures must still be alive here.
        seen = captured;
    };
    event(nullptr);
    EXPECT_EQ(seen, captured);
}

TEST(Align, SharesTheClientAreaTopBottomLeftRightThenClient) {
    TForm form;
    form.SetClientWidth(400);
    form.SetClientHeight(300);
    auto* top = new TPanel(&form);
    top->SetParentControl(&form);
    top->SetHeight(50);
    top->SetAlign(TControl::alTop);
    auto* left = new TPanel(&form);
    left->SetParentControl(&form);
    left->SetWidth(100);
    left->SetAlign(TControl::alLeft);
    auto* right = new TPanel(&form);
    right->SetParentControl(&form);
    right->SetWidth(80);
    right->SetAlign(TControl::alRight);
    auto* rest = new TPanel(&form);
    rest->SetParentControl(&form);
    rest->SetAlign(TControl::alClient);

    EXPECT_EQ(top->BoundsRect(), Rect(0, 0, 400, 50));
    EXPECT_EQ(left->BoundsRect(), Rect(0, 50, 100, 300));
    EXPECT_EQ(right->BoundsRect(), Rect(320, 50, 400, 300));
    EXPECT_EQ(rest->BoundsRect(), Rect(100, 50, 320, 300));

    // A hidden control gives its place up; a resize re-lays the rest out.
    top->SetVisible(false);
    form.SetClientWidth(500);
    EXPECT_EQ(left->BoundsRect(), Rect(0, 0, 100, 300));
    EXPECT_EQ(rest->BoundsRect(), Rect(100, 0, 420, 300));
}

TEST(Align, GroupBoxLeavesRoomForItsFrameAndCaption) {
    TForm form;
    form.SetClientWidth(300);
    form.SetClientHeight(200);
    auto* box = new TGroupBox(&form);
    box->SetParentControl(&form);
    box->SetAlign(TControl::alClient);
    auto* inner = new TPanel(&form);
    inner->SetParentControl(box);
    inner->SetAlign(TControl::alClient);
    const TRect r = inner->BoundsRect();
    EXPECT_EQ(r.Left, 2);
    EXPECT_EQ(r.Right, 298);
    EXPECT_EQ(r.Bottom, 198);
    EXPECT_GT(r.Top, 2);
}

TEST(Memo, LinesEndWithABreakAndATrailingEmptyLineDoesNotCount) {
    TMemo memo;
    memo.SetLines({"bir", "iki"});
    EXPECT_EQ(memo.Text(), "bir\niki\n");
    EXPECT_EQ(memo.LineCount(), 2);
    memo.AddLine("üç");
    EXPECT_EQ(memo.Lines(), QStringList({"bir", "iki", "üç"}));
    memo.SetText("a\r\nb\r\n\r\n");
    EXPECT_EQ(memo.Lines(), QStringList({"a", "b", ""}));
    memo.DeleteLine(0);
    EXPECT_EQ(memo.Text(), "b\n\n");
    try {
        memo.DeleteLine(5);
        ADD_FAILURE();
    } catch (const EListError& e) {
        EXPECT_EQ(e.Message(), "List index out of bounds (5)");
    }
}

TEST(Memo, ChangeRunsForEveryChangeIncludingThoseMadeByTheHandler) {
    TMemo memo;
    int changes = 0;
    memo.OnChange = [&](QObject*) {
        ++changes;
        if (memo.LineCount() > 2) memo.DeleteLine(0);
    };
    memo.SetLines({"1", "2"});
    memo.AddLine("3");
    memo.AddLine("4");
    EXPECT_EQ(memo.Lines(), QStringList({"3", "4"}));
    // SetLines, then each AddLine and the deletion it caused.
    EXPECT_EQ(changes, 5);
}

TEST(Memo, TheEditorShowsTheTextExactlyAfterEveryKindOfChange) {
    TMemo memo;
    const auto same = [&memo] { return memo.Editor()->toPlainText() == memo.Text(); };
    memo.SetText("a\nb");
    EXPECT_EQ(memo.LineCount(), 2);
    EXPECT_EQ(memo.Line(1), "b");
    // A last line without a break gets one before the next line.
    memo.AddLine("c\r\nd");
    EXPECT_EQ(memo.Text(), "a\nb\nc\nd\n");
    EXPECT_EQ(memo.LineCount(), 4);
    EXPECT_TRUE(same());
    memo.DeleteLine(3);
    memo.DeleteLine(1);
    EXPECT_EQ(memo.Text(), "a\nc\n");
    EXPECT_TRUE(same());
    memo.SetText("x\n\ny");
    EXPECT_EQ(memo.Line(1), "");
    EXPECT_EQ(memo.Line(2), "y");
    memo.DeleteLine(0);
    EXPECT_EQ(memo.Text(), "\ny\n");
    EXPECT_EQ(memo.Lines(), QStringList({"", "y"}));
    EXPECT_TRUE(same());
    memo.DeleteLine(1);
    memo.DeleteLine(0);
    EXPECT_EQ(memo.Text(), "");
    EXPECT_EQ(memo.LineCount(), 0);
    memo.AddLine("");
    EXPECT_EQ(memo.Text(), "\n");
    EXPECT_EQ(memo.LineCount(), 1);
    EXPECT_TRUE(same());
    EXPECT_THROW(memo.Line(1), EListError);
    EXPECT_THROW(memo.Line(-1), EListError);
}

TEST(Memo, AddingOrDroppingALineLeavesTheOtherLinesAsTheyWereLaidOut) {
    TMemo memo;
    memo.SetBounds(0, 0, 300, 56);
    // The first line is the longer, so dropping it all at once would reach
    // into the lines below it.
    memo.SetLines({"birinci satır", "iki"});
    QTextDocument* doc = memo.Editor()->document();
    const auto laidOut = [doc](int line) {
        return doc->findBlockByNumber(line).layout()->lineCount() > 0;
    };
    doc->documentLayout()->blockBoundingRect(doc->findBlockByNumber(1));
    ASSERT_TRUE(laidOut(1));

    // Only the new line is laid out anew, however long it is.
    memo.AddLine(QString(100000, QLatin1Char('x')));
    EXPECT_TRUE(laidOut(1));
    EXPECT_EQ(doc->findBlockByNumber(1).text(), "iki");
    doc->documentLayout()->blockBoundingRect(doc->findBlockByNumber(2));
    memo.DeleteLine(0);
    EXPECT_TRUE(laidOut(1));
    EXPECT_EQ(doc->findBlockByNumber(1).text().size(), 100000);

    // Lines set from code leave nothing to undo (no copy of a long line is
    // kept for it), but what the user types can still be undone.
    EXPECT_FALSE(doc->isUndoAvailable());
    EXPECT_TRUE(doc->isUndoRedoEnabled());
}

TEST(ProgressBar, KeepsTheValueButDrawsItInsideTheRange) {
    TProgressBar bar;
    bar.SetMax(30);
    bar.SetPosition(31);
    EXPECT_EQ(bar.Position(), 31);
    EXPECT_EQ(bar.DisplayedPosition(), 30);
    bar.SetPosition(-4);
    EXPECT_EQ(bar.DisplayedPosition(), 0);
    bar.SetPosition(2);
    EXPECT_EQ(bar.DisplayedPosition(), 2);
}

TEST(Label, AutoSizeFollowsTheCaptionAndAFixedLabelKeepsItsSize) {
    TLabel label;
    label.SetCaption("kısa");
    const int shortWidth = label.Width();
    label.SetCaption("çok daha uzun bir başlık");
    EXPECT_GT(label.Width(), shortWidth);
    TLabel fixed;
    fixed.SetAutoSize(false);
    fixed.SetBounds(182, 40, 25, 13);
    fixed.SetCaption("12345678");
    EXPECT_EQ(fixed.BoundsRect(), Bounds(182, 40, 25, 13));
}

TEST(Timer, RunsOnlyWhenEnabledWithAnIntervalAndAHandler) {
    TTimer timer;
    timer.SetInterval(5);
    EXPECT_FALSE(timer.Running());
    int ticks = 0;
    timer.OnTimer = [&](QObject*) { ++ticks; };
    timer.SetEnabled(true);
    EXPECT_TRUE(timer.Running());
    EXPECT_TRUE(QTest::qWaitFor([&] { return ticks >= 2; }, 2000));
    timer.SetInterval(0);
    EXPECT_FALSE(timer.Running());
}

TEST(Application, AnExceptionFromAHandlerReachesTheExceptionEventOnce) {
    TApplicationEvents events;
    QStringList seen;
    events.OnException = [&](QObject*, const Exception& e) { seen << e.Message(); };
    TTimer timer;
    timer.SetInterval(1);
    int ticks = 0;
    timer.OnTimer = [&](QObject*) {
        ++ticks;
        if (ticks == 1) throw EConvertError("'abc' is not a valid integer value");
        if (ticks == 2) Abort();
        timer.SetEnabled(false);
    };
    timer.SetEnabled(true);
    EXPECT_TRUE(QTest::qWaitFor([&] { return ticks >= 3; }, 2000));
    // The silent abort leaves no trace; the loop went on after the error.
    EXPECT_EQ(seen, QStringList({"'abc' is not a valid integer value"}));
}

TEST(Application, ReleasesTheMouseCaptureBeforeReportingAnError) {
    TForm form;
    form.SetClientWidth(100);
    form.SetClientHeight(100);
    form.Show();
    form.grabMouse();
    TApplicationEvents events;
    bool grabbedDuringHandler = true;
    events.OnException = [&](QObject*, const Exception&) {
        grabbedDuringHandler = QWidget::mouseGrabber() != nullptr;
    };
    Application->HandleException(nullptr, Exception("x"));
    EXPECT_FALSE(grabbedDuringHandler);

    // A silent abort reports nothing but does not leave the mouse captured.
    form.grabMouse();
    grabbedDuringHandler = false;
    bool reported = false;
    events.OnException = [&](QObject*, const Exception&) { reported = true; };
    Application->HandleException(nullptr, EAbort());
    EXPECT_FALSE(reported);
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
}

TEST(Application, AFailingOrRemovingHandlerDoesNotEndTheRun) {
    // The newest handler runs first: it throws and destroys the older one's
    // component, which must then not be called.
    auto older = std::make_unique<TApplicationEvents>();
    int olderCalls = 0;
    older->OnException = [&](QObject*, const Exception&) { ++olderCalls; };
    TApplicationEvents newer;
    int newerCalls = 0;
    newer.OnException = [&](QObject*, const Exception&) {
        ++newerCalls;
        older.reset();
        throw EConvertError("'x' is not a valid integer value");
    };
    TTimer timer;
    timer.SetInterval(1);
    int ticks = 0;
    timer.OnTimer = [&](QObject*) {
        if (++ticks == 1) throw Exception("first");
        timer.SetEnabled(false);
    };
    timer.SetEnabled(true);
    EXPECT_TRUE(QTest::qWaitFor([&] { return ticks >= 2; }, 2000));
    EXPECT_EQ(newerCalls, 1);
    EXPECT_EQ(olderCalls, 0);
}

TEST(Application, OnlyTheMainWindowClosingEndsTheRun) {
    TForm main;
    ASSERT_EQ(Application->MainForm(), &main);
    TForm guide;
    main.Show();
    guide.Show();
    main.Hide();
    // The guide is now the last visible window; closing it must leave the
    // loop running until the main window closes.
    bool guideClosedAndLoopRan = false;
    QTimer::singleShot(0, &guide, [&] { guide.Close(); });
    QTimer::singleShot(100, &main, [&] {
        guideClosedAndLoopRan = !guide.isVisible();
        main.Close();
    });
    QTimer guard;
    QObject::connect(&guard, &QTimer::timeout, qApp, &QCoreApplication::quit);
    guard.start(5000);
    QApplication::exec();
    EXPECT_TRUE(guideClosedAndLoopRan);
}

class TShowProbe : public TForm {
public:
    int Again = 0;
    int Shows = 0;
    TShowProbe() {
        OnShow = [this](QObject*) { ++Shows; };
    }

protected:
    void ShownAgain() override { ++Again; }
};

TEST(Form, ShowRunsOnShowOnceAndAgainOnlyAfterAHide) {
    TShowProbe form;
    form.Show();
    form.Show();
    EXPECT_EQ(form.Shows, 1);
    EXPECT_EQ(form.Again, 1);
    form.Hide();
    EXPECT_FALSE(form.Visible());
    form.Show();
    EXPECT_EQ(form.Shows, 2);
}

TEST(Form, EscapeWithKeyPreviewReachesTheWindowFromAControlOnce) {
    TForm form;
    form.SetKeyPreview(true);
    auto* button = new TButton(&form);
    button->SetParentControl(&form);
    QString seen;
    form.OnKeyPress = [&](QObject*, QChar& key) { seen += key; };
    form.Show();
    // The button ignores Escape, so Qt passes it on to the window as well.
    QTest::keyClick(button->Button(), Qt::Key_Escape);
    EXPECT_EQ(seen, QString(QChar(27)));
    seen.clear();
    QTest::keyClick(&form, Qt::Key_A);
    EXPECT_EQ(seen, "a");

    // Without key preview the window hears only the keys sent to itself,
    // not those its controls pass on.
    form.SetKeyPreview(false);
    seen.clear();
    QTest::keyClick(button->Button(), Qt::Key_Escape);
    EXPECT_TRUE(seen.isEmpty());
    QTest::keyClick(&form, Qt::Key_Escape);
    EXPECT_EQ(seen, QString(QChar(27)));
}

TEST(Form, TheCaptionIsTheWindowsTitle) {
    TForm form;
    form.SetCaption("Önerilen ayar");
    EXPECT_EQ(form.windowTitle(), "Önerilen ayar");
}

} // namespace
