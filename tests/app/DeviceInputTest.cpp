// The main window against bad device input and failing handlers: each
// failure is one line of the message panel (and of standard error), nothing
// crashes, and the window tells a screen reader what it shows.

#include "Accessibility.h"
#include "AppFixture.h"
#include "StdErrCapture.h"

#include <QAccessibleValueInterface>
#include <QRegularExpression>
#include <QTimerEvent>
#include <algorithm>

namespace {

const QString kStart1 =
    QStringLiteral("Cihaz ile ilgili başka program çalışıyorsa lütfen sonlandırınız.");
const QString kStart2 = QStringLiteral("Aynı anda, 1 uygulama cihazla bağlantı kurabilir.");

bool IsErrorLine(const QString& line, const QString& message) {
    return QRegularExpression(QStringLiteral("^") + QRegularExpression::escape(message) +
                              QStringLiteral(":\\d\\d:\\d\\d:\\d\\d$"))
        .match(line)
        .hasMatch();
}

QStringList StdErrLines(const QByteArray& captured) {
    return QString::fromUtf8(captured).split(QLatin1Char('\n'));
}

using DeviceInput = ToolWindows;

TEST_F(DeviceInput, AMegabyteLevelIsOneShortLineAndTheMetersKeepTheirReport) {
    const QByteArray level(1 << 20, '1');
    UseScript("0 signal 1 2 3 4\n"
              "20 signal 9 9 " +
              level +
              " 9\n"
              "40 signal 8 8 8 \"\"\n");
    StdErrCapture capture;
    Start();
    ASSERT_TRUE(WaitFor(
        [] { return Form1->Memo2->LineCount() == 2 && Form1->Memo2->Line(0).startsWith(u'\''); }));
    // The number is far too large for a level, and its text is quoted by its
    // first 200 digits.
    const QString quoted = QString(200, QLatin1Char('1')) + QChar(0x2026);
    const QString first = Form1->Memo2->Line(0);
    EXPECT_TRUE(IsErrorLine(first, QStringLiteral("'%1' is not a valid integer value").arg(quoted)))
        << first.left(300).toStdString();
    EXPECT_TRUE(IsErrorLine(Form1->Memo2->Line(1), "'' is not a valid integer value"));
    for (TLabel* label : {Form1->Label1, Form1->Label2})
        EXPECT_NE(label->Caption(), "9");
    EXPECT_EQ(Form1->Label3->Caption(), "3");
    EXPECT_EQ(Form1->ProgressBar4->Position(), 4);

    // Both lines went to standard error as well, as the panel shows them.
    const QStringList written = StdErrLines(capture.Take());
    EXPECT_TRUE(written.contains(first));
    EXPECT_TRUE(written.contains(Form1->Memo2->Line(1)));
}

TEST_F(DeviceInput, CallsAndDeviceTextsOfAnyKindLeaveNoLine) {
    UseScript("0 plug \"" + QByteArray(10000, 'M') +
              "\" 40211837\n"
              "0 call 40211837 2 \"0532中文\" \"09.12.2026 14:03:27\"\n"
              "10 plug CID-4 \"\"\n"
              "10 call \"\" \"\" \"\" \"\" \"\"\n"
              "20 signal 5 5 5 5\n");
    StdErrCapture capture;
    Start();
    ASSERT_TRUE(WaitFor([] { return Form1->Label4->Caption() == "5"; }))
        << Form1->Memo2->Text().toStdString();
    EXPECT_EQ(Form1->Mekal1->QueryProperty("devicemodel"), "CID-4");
    EXPECT_EQ(Form1->Mekal1->QueryProperty("serial"), "");
    EXPECT_EQ(Form1->Memo2->Lines(), QStringList({kStart1, kStart2}));
    // Both calls are in the list, the number as the code page holds it.
    EXPECT_EQ(Form1->Label5->Caption(), "2");
    ASSERT_EQ(Form1->GridView1->GetRowCount(), 2);
    EXPECT_EQ(Form1->GridView1->GetCellText(TForm1::colPhone, 0), "0532??");
    EXPECT_EQ(Form1->GridView1->GetCellText(TForm1::colCallNumber, 1), "2");
    const QByteArray written = capture.Take();
    EXPECT_FALSE(written.contains("valid")) << written.toStdString();
}

TEST_F(DeviceInput, ARefusedDeviceChoiceIsWrittenToStandardErrorToo) {
    qputenv("CALLERID_DEVICE", "script:/nonexistent/device.script");
    StdErrCapture capture;
    Start();
    ASSERT_EQ(Form1->Memo2->LineCount(), 2);
    const QString line = Form1->Memo2->Line(1);
    EXPECT_TRUE(line.contains("/nonexistent/device.script")) << line.toStdString();
    EXPECT_TRUE(StdErrLines(capture.Take()).contains(line));
}

TEST_F(DeviceInput, ControlCharactersOfALevelDoNotReachTheTerminal) {
    // A script cannot hold them, a real device may send them: the report is
    // handed to the window's handler as the device control hands it.
    Start();
    StdErrCapture capture;
    const QString ok = QStringLiteral("1");
    Guarded(Form1->Mekal1, [&] {
        Form1->Mekal1SignalA(Form1->Mekal1, ok, ok, QStringLiteral("\x1b]0;x\x07"), ok, ok, ok, ok,
                             ok);
    });
    const QByteArray written = capture.Take();
    EXPECT_FALSE(written.contains('\x1b'));
    EXPECT_FALSE(written.contains('\x07'));
    EXPECT_TRUE(written.contains("'?]0;x?' is not a valid integer value:"))
        << written.toStdString();
    // The panel shows the line as it came.
    EXPECT_TRUE(Form1->Memo2->Line(1).startsWith(QStringLiteral("'\x1b]0;x\x07'")));

    // A line break in the text stays one line of the panel and of the
    // terminal: the panel keeps the line before it, and nothing of the
    // level reads as a line of its own.
    const QString before = Form1->Memo2->Line(1);
    StdErrCapture breaks;
    for (const QString& level : {QStringLiteral("1\r\n2"), QStringLiteral("3\n4"),
                                 QStringLiteral("5\r6"), QStringLiteral("\n")}) {
        SCOPED_TRACE(level.toStdString());
        const QString kept = Form1->Memo2->Line(1);
        Guarded(Form1->Mekal1,
                [&] { Form1->Mekal1SignalA(Form1->Mekal1, ok, level, ok, ok, ok, ok, ok, ok); });
        ASSERT_EQ(Form1->Memo2->LineCount(), 2);
        EXPECT_EQ(Form1->Memo2->Line(0), kept);
        QString shown = level;
        shown.replace(QRegularExpression(QStringLiteral("[\r\n]")), QStringLiteral("?"));
        EXPECT_TRUE(IsErrorLine(Form1->Memo2->Line(1),
                                QStringLiteral("'%1' is not a valid integer value").arg(shown)))
            << Form1->Memo2->Line(1).toStdString();
    }
    EXPECT_NE(Form1->Memo2->Line(0), before);
    QStringList ours;
    for (const QString& line : StdErrLines(breaks.Take()))
        if (line.contains(QStringLiteral("valid integer"))) ours << line;
    EXPECT_EQ(ours.size(), 4) << ours.join('\n').toStdString();
}

TEST_F(DeviceInput, FailingHandlersOfTheWindowsEventsReachThePanelOnceEach) {
    Start();
    Form1->OnKeyDown = [](QObject*, int&, TShiftState) { throw Exception("tuş"); };
    Form1->Label5->OnClick = [](QObject*) {
        throw EConvertError("'x' is not a valid integer value");
    };
    Form1->Timer1->OnTimer = [](QObject*) { throw EIntOverflow("Integer overflow"); };

    QTest::keyClick(Form1, Qt::Key_A);
    EXPECT_TRUE(IsErrorLine(Form1->Memo2->Line(1), "tuş"));
    QTest::mouseClick(Form1->Label5, Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_TRUE(IsErrorLine(Form1->Memo2->Line(1), "'x' is not a valid integer value"));
    EXPECT_TRUE(IsErrorLine(Form1->Memo2->Line(0), "tuş"));
    QTimer* clock = Form1->Timer1->SystemTimer();
    QTimerEvent tick(clock->timerId());
    QCoreApplication::sendEvent(clock, &tick);
    EXPECT_EQ(Form1->Memo2->LineCount(), 2);
    EXPECT_TRUE(IsErrorLine(Form1->Memo2->Line(0), "'x' is not a valid integer value"));
    EXPECT_TRUE(IsErrorLine(Form1->Memo2->Line(1), "Integer overflow"));
    // The tool goes on: the next tick of the monitor runs as usual.
    int ticks = 0;
    Form1->Timer1->OnTimer = [&](QObject*) { ++ticks; };
    QCoreApplication::sendEvent(clock, &tick);
    EXPECT_EQ(ticks, 1);
    EXPECT_TRUE(Form1->isVisible());
}

TEST_F(DeviceInput, AScreenReaderHearsThePanelsCaptionsAndTheLevels) {
    UseScript("0 signal 3 4 5 31\n");
    Start();
    // The levels arrive from the message loop, after the window is up.
    std::vector<QObject*> renamed;
    SetAccessibleEventWatcher([&](QAccessibleEvent& event) {
        if (event.type() == QAccessible::NameChanged) renamed.push_back(event.object());
    });
    ASSERT_TRUE(WaitFor([] { return Form1->Label4->Caption() == "31"; }));
    SetAccessibleEventWatcher(nullptr);

    const auto name = [](QObject* o) {
        return QAccessible::queryAccessibleInterface(o)->text(QAccessible::Name);
    };
    EXPECT_EQ(name(Form1->GroupBox2), "Cihaz Modeli - Bağlantı Durumu");
    EXPECT_EQ(name(Form1->tek), "Sinyaller");
    EXPECT_EQ(name(Form1->Label22), "Çağrı sayısı :");
    EXPECT_EQ(name(Form1->Label5), "0");
    EXPECT_EQ(name(Form1->Label9), "--");
    EXPECT_EQ(name(Form1->Label6), "Telefon 1");
    EXPECT_EQ(name(Form1->Label4), "31");
    EXPECT_EQ(std::count(renamed.begin(), renamed.end(), Form1->Label4), 1);
    QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(Form1->ProgressBar4);
    EXPECT_EQ(bar->role(), QAccessible::ProgressBar);
    EXPECT_EQ(bar->valueInterface()->currentValue().toInt(), 30);
}

} // namespace
