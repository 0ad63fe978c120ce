// A soak run of the main window: 1,000,000 calls from the script device as
// fast as it can hand them over, a signal report between every two calls,
// the device pulled out and plugged in again every 10,000 calls, the
// connection monitor ticking at every plug and unplug. It checks as it goes
// that the list never holds more than six rows, that the newest row, Label5
// and the counter agree, that the counter stands at exactly 10,000 when the
// monitor resets it and at 0 after, and that nothing reached the message
// panel; and it prints the resident memory at the start, its peak and at
// the end. Exit status 1 on the first broken check.
//
//   build-bench/bench/soak [CALLS]      (default 1,000,000; a multiple of 10,000)

#include "Application.h"
#include "StandInDevices.h"
#include "Startup.h"
#include "Unit1.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int kCallsPerPlug = 10000;

// Resident memory now and at its peak, in kB, from the process's status.
long StatusKb(const char* field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(int(std::strlen(field))).trimmed().split(' ')[0].toLong();
    return -1;
}

[[noreturn]] void Fail(const char* what, long call) {
    std::fprintf(stderr, "soak: %s at call %ld\n", what, call);
    std::exit(1);
}

// One plug-to-unplug stretch of the device. The events are due an hour
// after start, so the script's own clock never plays them: the soak steps
// them.
QByteArray CycleScript() {
    QByteArray script = "3600000 plug \"CID-4 USB\" 40211837\n";
    for (int i = 0; i < kCallsPerPlug; ++i) {
        script += "3600000 signal " + QByteArray::number(i % 3) + " 1 " +
                  QByteArray::number(i % 31) + " 0\n";
        script += "3600000 call 40211837 " + QByteArray::number(1 + i % 4) + " 0532" +
                  QByteArray::number(1000000 + i) + " \"09.12.2026 14:03:27\"\n";
    }
    script += "3600000 unplug\n";
    return script;
}

struct TSoakResult {
    long Calls = 0;
    long Resets = 0;
    long RssStartKb = 0;
    long RssPeakKb = 0;
    long RssEndKb = 0;
    double Seconds = 0;
};
TSoakResult gResult;
long gWanted = 1000000;

void Tick() {
    Guarded(Form1->Timer1, [] { Form1->Timer1->Timer(); });
}

void BM_Soak(benchmark::State& state) {
    auto* device = dynamic_cast<TStandInMekal*>(Form1->Mekal1->OleObject());
    auto* script = device ? dynamic_cast<TScriptLink*>(device->Link()) : nullptr;
    if (!script) {
        state.SkipWithError("the device is not the script device");
        return;
    }
    TGridView* grid = Form1->GridView1;
    const int panelLines = Form1->Memo2->LineCount();
    // What the panel shows while nothing goes wrong: the start-up text, and
    // after the first reset the reset text.
    QString panelText = Form1->Memo2->Text();
    for (auto _ : state) {
        TSoakResult& r = gResult;
        r.RssStartKb = StatusKb("VmRSS:");
        QElapsedTimer clock;
        clock.start();
        while (r.Calls < gWanted) {
            script->Rewind();
            script->Step(); // plugged in
            Tick();
            if (Form1->Label9->Caption() != QStringLiteral("Cihaz bağlı"))
                Fail("the monitor did not see the device", r.Calls);
            for (int i = 0; i < kCallsPerPlug; ++i) {
                script->Step(); // a signal report
                script->Step(); // a call
                ++r.Calls;
                const int rows = grid->GetRowCount();
                if (rows > 6) Fail("more than six rows", r.Calls);
                const QString count = QString::number(i + 1);
                if (Form1->CallCount() != i + 1 || Form1->Label5->Caption() != count ||
                    grid->GetCellText(TForm1::colCallNumber, rows - 1) != count)
                    Fail("the counter, Label5 and the newest row disagree", r.Calls);
                // Now and then the event loop paints what the calls asked for.
                if (i % 100 == 99) QApplication::processEvents();
            }
            // The reset below replaces the panel's text, so an error line
            // of this stretch is looked for before it.
            if (Form1->Memo2->Text() != panelText)
                Fail("a line reached the message panel", r.Calls);
            script->Step(); // pulled out
            if (Form1->CallCount() != kCallsPerPlug)
                Fail("the counter is not exact before the reset", r.Calls);
            Tick();
            ++r.Resets;
            if (Form1->CallCount() != 0 || Form1->Label5->Caption() != QStringLiteral("0") ||
                grid->GetRowCount() != 0)
                Fail("the monitor's reset left something behind", r.Calls);
            if (Form1->Memo2->LineCount() != panelLines ||
                Form1->Memo2->Text() != Form1->tempMemo->Text())
                Fail("the message panel is not the reset text", r.Calls);
            panelText = Form1->Memo2->Text();
            r.RssPeakKb = std::max(r.RssPeakKb, StatusKb("VmRSS:"));
        }
        QApplication::processEvents();
        r.Seconds = double(clock.nsecsElapsed()) / 1e9;
        r.RssEndKb = StatusKb("VmRSS:");
        state.SetIterationTime(r.Seconds);
        state.counters["calls"] = double(r.Calls);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("CALLERID_MUTE", "1");
    benchmark::Initialize(&argc, argv);
    if (argc > 1) gWanted = std::max(1L, std::atol(argv[1]) / kCallsPerPlug) * kCallsPerPlug;

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("soak.script"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return 1;
    file.write(CycleScript());
    file.close();
    qputenv("CALLERID_DEVICE", "script:" + path.toUtf8());

    TQtApplication app(argc, argv);
    CreateToolWindows();
    Form1->Show();
    // The monitor ticks when the soak says so.
    Form1->Timer1->SetEnabled(false);
    QApplication::processEvents();

    benchmark::RegisterBenchmark("Soak", BM_Soak)
        ->Iterations(1)
        ->UseManualTime()
        ->Unit(benchmark::kSecond);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    const TSoakResult& r = gResult;
    std::printf("\n== soak: %ld calls, %ld unplug/plug resets, %.1f s (%.1f us a call with its "
                "signal report) ==\n",
                r.Calls, r.Resets, r.Seconds, r.Seconds * 1e6 / double(std::max(1L, r.Calls)));
    std::printf("at most 6 rows, counter exact at every reset: yes\n");
    std::printf("resident memory: start %ld kB, peak %ld kB (process high-water mark %ld kB), "
                "end %ld kB\n",
                r.RssStartKb, r.RssPeakKb, StatusKb("VmHWM:"), r.RssEndKb);
    DestroyToolWindows();
    return r.Calls == gWanted ? 0 : 1;
}
