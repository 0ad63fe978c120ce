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
#include <array>

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

// The lines of ours among what reached standard error: an error line ends
// in its time (the platform's own warnings do not).
QStringList ErrorLinesOf(const QByteArray& captured) {
    static const QRegularExpression timed(QStringLiteral(":\\d\\d:\\d\\d:\\d\\d$"));
    QStringList lines;
    for (const QString& line : StdErrLines(captured))
        if (timed.match(line).hasMatch()) lines << line;
    return lines;
}

using DeviceInput = ToolWindows;

TEST_F(DeviceInput, EachBadLevelIsOneLineAndTheMetersKeepTheLastGoodReport) {
    const QByteArray megabyte(1 << 20, '1');
    StartStepped("signal 1 2 3 4\n"
                 "signal 9 9 abc 9\n"
                 "signal 9 9 \"\" 9\n"
                 "signal 9 9 " +
                 megabyte + " 9\n");
    Play();
    // The number is far too large for a level; its text is quoted by its
    // first 200 digits.
    const QString bad[] = {QStringLiteral("abc"), QString(),
                           QString(200, QLatin1Char('1')) + QChar(0x2026)};
    for (const QString& text : bad) {
        SCOPED_TRACE(text.left(10).toStdString());
        const QString kept = Form1->Memo2->Line(1);
        StdErrCapture capture;
        Play();
        const QStringList written = ErrorLinesOf(capture.Take());
        ASSERT_EQ(Form1->Memo2->LineCount(), 2);
        EXPECT_EQ(Form1->Memo2->Line(0), kept);
        const QString line = Form1->Memo2->Line(1);
        EXPECT_TRUE(
            IsErrorLine(line, QStringLiteral("'%1' is not a valid integer value").arg(text)))
            << line.left(300).toStdString();
        EXPECT_EQ(written, QStringList({line}));
        const std::array<TLabel*, 4> labels{Form1->Label1, Form1->Label2, Form1->Label3,
                                            Form1->Label4};
        const std::array<TProgressBar*, 4> bars{Form1->ProgressBar1, Form1->ProgressBar2,
                                                Form1->ProgressBar3, Form1->ProgressBar4};
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(labels[i]->Caption(), QString::number(i + 1));
            EXPECT_EQ(bars[i]->Position(), i + 1);
        }
    }
}

TEST_F(DeviceInput, DeviceTextsOfAnyKindAndALostDeviceLeaveNoErrorLine) {
    const QByteArray longModel(10000, 'M');
    StdErrCapture capture;
    StartStepped("plug \"" + longModel +
                 "\" 40211837\n"
                 "call 40211837 2 \"0532中文\" \"09.12.2026 14:03:27\"\n"
                 "plug CID-4 \"\"\n"
                 "call \"\" \"\" \"\" \"\" \"\"\n"
                 "unplug\n"
                 "plug CID-4 40211837\n"
                 "call 40211837 3 05321234567 \"09.12.2026 14:05:00\"\n");
    const int width = Form1->Width();
    TGridView* grid = Form1->GridView1;

    // A model of 10,000 characters is shown whole; the window keeps its size.
    Play();
    Tick();
    EXPECT_EQ(Form1->Label9->Caption(), "Cihaz bağlı");
    EXPECT_EQ(Form1->Label24->Caption(), "Cihaz modeli: " + QString::fromLatin1(longModel));
    EXPECT_EQ(Form1->Label25->Caption(), "Seri no: 40211837");
    EXPECT_EQ(Form1->Width(), width);

    // A number outside the code page is kept as the code page holds it.
    Play();
    ASSERT_EQ(grid->GetRowCount(), 1);
    EXPECT_EQ(grid->GetCellText(TForm1::colPhone, 0), "0532??");

    // A model without a serial counts as connected.
    Play();
    Tick();
    EXPECT_EQ(Form1->Label9->Caption(), "Cihaz bağlı");
    EXPECT_EQ(Form1->Label24->Caption(), "Cihaz modeli: CID-4");
    EXPECT_EQ(Form1->Label25->Caption(), "Seri no: ");

    // A call of empty texts is a call.
    Play();
    ASSERT_EQ(grid->GetRowCount(), 2);
    EXPECT_EQ(grid->GetCellText(TForm1::colCallNumber, 1), "2");
    EXPECT_EQ(grid->GetCellText(TForm1::colPhone, 1), "");
    EXPECT_EQ(Form1->Memo2->Lines(), QStringList({kStart1, kStart2}));

    // Lost between two calls: the list goes, the next call is the first.
    Play();
    Tick();
    EXPECT_EQ(grid->GetRowCount(), 0);
    EXPECT_EQ(Form1->Label5->Caption(), "0");
    EXPECT_EQ(Form1->Label9->Caption(), "Bağlantı bekleniyor");
    EXPECT_EQ(Form1->Label24->Caption(), "");
    EXPECT_EQ(Form1->Label25->Caption(), "");
    EXPECT_EQ(Form1->Memo2->Lines(),
              QStringList({kStart1, "Aynı anda, 1 uygulama cihaza  bağlantı sağlayabilir."}));
    Play();
    Tick();
    Play();
    ASSERT_EQ(grid->GetRowCount(), 1);
    EXPECT_EQ(grid->GetCellText(TForm1::colCallNumber, 0), "1");
    EXPECT_EQ(Form1->Width(), width);

    EXPECT_EQ(ErrorLinesOf(capture.Take()), QStringList());
}

TEST_F(DeviceInput, ARefusedDeviceChoiceIsOneLineInThePanelAndOnStandardError) {
    struct Case {
        QByteArray Device;
        QByteArray Script; // written to the file when not empty
        QString Starts;    // how the panel's line begins; %1 the script's path
    };
    const QString script = FDir.filePath(QStringLiteral("device.script"));
    const Case cases[] = {
        {"modem", {}, QStringLiteral("CALLERID_DEVICE: unknown device 'modem'")},
        {"simulator:12x", {}, QStringLiteral("CALLERID_DEVICE: '12x' is not a valid seed")},
        {"script:", {}, QStringLiteral("CALLERID_DEVICE: script: needs a file name")},
        {"script:/nonexistent/device.script", {}, QStringLiteral("/nonexistent/device.script: ")},
        {"", "0 plug A 1\n5 cal 1 2 3 4\n", QStringLiteral("%1:2: unknown event 'cal'")},
        {"", "0 plug A 1\n0 call 1 2 0\"53 x\n", QStringLiteral("%1:2: quote inside the word")},
        {"", "10 plug A 1\n5 unplug\n", QStringLiteral("%1:2: time 5 is before the time 10")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Device.isEmpty() ? c.Script.toStdString() : c.Device.toStdString());
        if (c.Script.isEmpty())
            qputenv("CALLERID_DEVICE", c.Device);
        else
            UseScript(c.Script);
        StdErrCapture capture;
        Start();
        const QStringList written = ErrorLinesOf(capture.Take());
        ASSERT_EQ(Form1->Memo2->LineCount(), 2);
        EXPECT_EQ(Form1->Memo2->Line(0), kStart2);
        const QString line = Form1->Memo2->Line(1);
        EXPECT_TRUE(line.startsWith(c.Starts.contains(u"%1") ? c.Starts.arg(script) : c.Starts))
            << line.toStdString();
        EXPECT_EQ(written, QStringList({line}));
        // Nothing of a refused script plays, and the tool goes on waiting.
        Tick();
        EXPECT_EQ(Form1->Label9->Caption(), "Bağlantı bekleniyor");
        EXPECT_EQ(Form1->Label24->Caption(), "");
        EXPECT_EQ(Form1->GridView1->GetRowCount(), 0);
        EXPECT_EQ(Form1->Memo2->Line(1), line);
        EXPECT_TRUE(Form1->isVisible());
        DestroyToolWindows();
    }
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
    StartStepped("signal 3 4 5 31");
    std::vector<QObject*> renamed;
    SetAccessibleEventWatcher([&](QAccessibleEvent& event) {
        if (event.type() == QAccessible::NameChanged) renamed.push_back(event.object());
    });
    Play();
    ASSERT_EQ(Form1->Label4->Caption(), "31");
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
