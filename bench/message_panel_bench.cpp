// How long a bad signal level takes to reach the main window's message panel
// and be drawn there, for level texts of 256 KB to 2 MB, beside Qt's plain
// QPlainTextEdit::appendPlainText of the same line. The panel must stay
// linear in the length of the line, so the window stays responsive whatever
// the device sends.
//
//   cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DCALLERID_BENCH=ON
//   -DCALLERID_TESTS=OFF cmake --build build-bench --target message_panel_bench
//   ./build-bench/bench/message_panel_bench
//
// Each case times one whole report: the handler refusing the level, the
// failure reaching the panel (one line added, the oldest dropped) and the
// panel painted. The peers time a bare QPlainTextEdit of the panel's size
// and font appending the line the panel received ("same line") and the line
// a panel would receive if it quoted the whole level ("whole level").

#include "Application.h"
#include "Startup.h"
#include "SysUtils.h"
#include "Unit1.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>

namespace {

// A level text of `bytes` characters that is no number: digits with a
// letter among them and no blank, so the panel cannot break it at a word.
QString BadLevel(int bytes) {
    QString text;
    text.reserve(bytes);
    while (text.size() < bytes)
        text += QStringLiteral("0123456789x");
    text.truncate(bytes);
    return text;
}

// The main window's signal handler refusing the level, and the failure
// taken where the message loop takes it.
void ReportBadLevel(const QString& level) {
    const QString ok = QStringLiteral("1");
    try {
        Form1->Mekal1SignalA(Form1->Mekal1, ok, ok, level, ok, ok, ok, ok, ok);
    } catch (const Exception& e) {
        Application->HandleException(Form1->Mekal1, e);
    }
}

// What the window shows of the panel once the line is in: one paint of the
// panel's text area.
void PaintPanel(QPlainTextEdit* editor) {
    editor->viewport()->repaint();
}

void BM_BadLevelReachesThePanel(benchmark::State& state) {
    const QString level = BadLevel(int(state.range(0)));
    for (auto _ : state) {
        ReportBadLevel(level);
        PaintPanel(Form1->Memo2->Editor());
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
    state.counters["panel_chars"] =
        double(Form1->Memo2->Line(Form1->Memo2->LineCount() - 1).size());
}

// A bare QPlainTextEdit shaped like the panel, holding two lines before
// each append and trimmed back outside the timing.
std::unique_ptr<QPlainTextEdit> PeerEditor() {
    auto editor = std::make_unique<QPlainTextEdit>();
    editor->setReadOnly(true);
    editor->setFont(Form1->Memo2->Editor()->font());
    editor->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    editor->resize(Form1->Memo2->Editor()->size());
    editor->show();
    editor->setPlainText(QStringLiteral("bir\niki"));
    return editor;
}

void DropFirstBlock(QPlainTextEdit* editor) {
    QTextCursor cursor(editor->document()->firstBlock());
    cursor.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
}

void RunPeer(benchmark::State& state, const QString& line) {
    const std::unique_ptr<QPlainTextEdit> editor = PeerEditor();
    for (auto _ : state) {
        editor->appendPlainText(line);
        PaintPanel(editor.get());
        state.PauseTiming();
        DropFirstBlock(editor.get());
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

// The line the panel itself received for this level.
void BM_PeerAppendsTheSameLine(benchmark::State& state) {
    ReportBadLevel(BadLevel(int(state.range(0))));
    RunPeer(state, Form1->Memo2->Line(Form1->Memo2->LineCount() - 1));
}

// The line quoting the whole level, as the conversion error names it.
void BM_PeerAppendsTheWholeLevel(benchmark::State& state) {
    const QString line =
        QStringLiteral("'%1' is not a valid integer value:").arg(BadLevel(int(state.range(0)))) +
        TimeToStr(Now());
    RunPeer(state, line);
}

constexpr int KB = 1024;

BENCHMARK(BM_BadLevelReachesThePanel)
    ->Arg(256 * KB)
    ->Arg(512 * KB)
    ->Arg(1024 * KB)
    ->Arg(2048 * KB)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PeerAppendsTheSameLine)
    ->Arg(256 * KB)
    ->Arg(512 * KB)
    ->Arg(1024 * KB)
    ->Arg(2048 * KB)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PeerAppendsTheWholeLevel)
    ->Arg(256 * KB)
    ->Arg(512 * KB)
    ->Arg(1024 * KB)
    ->Arg(2048 * KB)
    ->Unit(benchmark::kMillisecond);

// Prints the usual table, then each size's panel time against its peers'.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration && run.aggregate_name != "mean") continue;
            const std::string name = run.benchmark_name();
            const auto slash = name.find('/');
            if (slash == std::string::npos) continue;
            // The work is on one thread: its processor time is its wall time on
            // an idle machine, and stays put on a busy one.
            FTimes[name.substr(0, slash)][std::stol(name.substr(slash + 1))] =
                run.GetAdjustedCPUTime();
        }
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        const auto& panel = FTimes["BM_BadLevelReachesThePanel"];
        std::printf("\n%-10s %14s %18s %18s\n", "level", "panel cpu ms", "panel/same line",
                    "panel/whole level");
        for (const auto& [size, ms] : panel) {
            const double same = FTimes["BM_PeerAppendsTheSameLine"][size];
            const double whole = FTimes["BM_PeerAppendsTheWholeLevel"][size];
            const std::string kb = std::to_string(size / 1024) + " KB";
            std::printf("%-10s %14.3f %18.3g %18.3g\n", kb.c_str(), ms, same > 0 ? ms / same : 0.0,
                        whole > 0 ? ms / whole : 0.0);
        }
    }

private:
    std::map<std::string, std::map<long, double>> FTimes;
};

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("CALLERID_DEVICE", "none");
    qputenv("CALLERID_MUTE", "1");
    benchmark::Initialize(&argc, argv);
    TQtApplication app(argc, argv);
    CreateToolWindows();
    Form1->Show();
    QCoreApplication::processEvents();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    DestroyToolWindows();
    return 0;
}
