// One incoming call's work on the user-interface thread: the main window's
// handler (drop the oldest of six rows, append, count, write five cells
// under the update lock, the muted beep, the balloon) and the repaint it
// asks for, at the design size of the tool's own window. Beside it, what a
// Qt user would write: a QStandardItemModel in a QTableView of the same
// size doing the same row shuffle, then the same pass of the event loop.
// The target is below 1 ms a call; the summary says whether it is met.

#include "Application.h"
#include "Startup.h"
#include "Unit1.h"

#include "BenchTiming.h"
#include <QApplication>
#include <QEvent>
#include <QStandardItemModel>
#include <QTableView>

#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <string>

namespace {

constexpr int kBatch = 100;
constexpr double kTargetSeconds = 1e-3;

std::map<std::string, double> gResults;

// Counts the paint passes a widget gets, so the summary shows that every
// call's repaint was paid for.
class TPaintCounter : public QObject {
public:
    explicit TPaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    long Paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++Paints;
        return false;
    }
};

struct TCallTexts {
    QString Device = QStringLiteral("40211837");
    QString Line;
    QString Number;
    QString Time;
    void Make(int n) {
        Line = QString::number(1 + n % 4);
        Number = QStringLiteral("0532%1").arg(n % 10000000, 7, 10, QLatin1Char('0'));
        Time = QStringLiteral("09.12.2026 14:%1:%2")
                   .arg((n / 60) % 60, 2, 10, QLatin1Char('0'))
                   .arg(n % 60, 2, 10, QLatin1Char('0'));
    }
};

void BM_ToolCall(benchmark::State& state) {
    TPaintCounter paints(Form1->GridView1);
    TCallTexts call;
    int n = 0;
    long calls = 0;
    const QString other;
    for (auto _ : state) {
        double handler = 0;
        const double t = BenchTiming::Seconds([&] {
            for (int i = 0; i < kBatch; ++i) {
                call.Make(n++);
                handler += BenchTiming::Seconds([&] {
                    Form1->Mekal1CallerID(Form1->Mekal1, call.Device, call.Line, call.Number,
                                          call.Time, other);
                });
                // The repaint the append asked for, before the next call.
                QApplication::processEvents();
            }
        });
        calls += kBatch;
        state.SetIterationTime(t);
        state.counters["call_us"] = t * 1e6 / kBatch;
        BenchTiming::Best(gResults, "tool", t / kBatch);
        BenchTiming::Best(gResults, "tool handler", handler / kBatch);
    }
    gResults["tool paints per call"] = double(paints.Paints) / double(calls);
    if (Form1->GridView1->GetRowCount() > 6) state.SkipWithError("more than six rows");
}

struct TPeer {
    QStandardItemModel Model;
    QTableView View;
    TPeer() {
        Model.setColumnCount(5);
        View.setModel(&Model);
        // The grid's own size on the main window.
        View.resize(Form1->GridView1->Width(), Form1->GridView1->Height());
        View.show();
        QApplication::processEvents();
    }
    void Call(const TCallTexts& call, int counter) {
        if (Model.rowCount() > 5) Model.removeRow(0);
        QList<QStandardItem*> items{new QStandardItem(call.Time), new QStandardItem(call.Device),
                                    new QStandardItem(QString::number(counter)),
                                    new QStandardItem(call.Line), new QStandardItem(call.Number)};
        Model.appendRow(items);
    }
};

void BM_PeerCall(benchmark::State& state) {
    TPeer peer;
    TPaintCounter paints(peer.View.viewport());
    TCallTexts call;
    int n = 0;
    long calls = 0;
    for (auto _ : state) {
        const double t = BenchTiming::Seconds([&] {
            for (int i = 0; i < kBatch; ++i) {
                call.Make(n);
                peer.Call(call, ++n);
                QApplication::processEvents();
            }
        });
        calls += kBatch;
        state.SetIterationTime(t);
        state.counters["call_us"] = t * 1e6 / kBatch;
        BenchTiming::Best(gResults, "peer", t / kBatch);
    }
    gResults["peer paints per call"] = double(paints.Paints) / double(calls);
}

void PrintSummary() {
    const double tool = gResults["tool"];
    const double peer = gResults["peer"];
    std::printf("\n== one call on the user-interface thread, design size %dx%d ==\n",
                Form1->GridView1->Width(), Form1->GridView1->Height());
    std::printf("(processor time of the working thread, best batch of %d calls)\n", kBatch);
    std::printf("tool: handler + repaint %8.1f us a call (%.2f paints a call), target < %.0f us: "
                "%s\n",
                tool * 1e6, gResults["tool paints per call"], kTargetSeconds * 1e6,
                tool < kTargetSeconds ? "met" : "NOT met");
    std::printf("      of which the handler alone %.1f us\n", gResults["tool handler"] * 1e6);
    std::printf("peer: QStandardItemModel + QTableView %8.1f us a call (%.2f paints a call), "
                "peer / tool = %.2f\n",
                peer * 1e6, gResults["peer paints per call"], peer / tool);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("CALLERID_DEVICE", "none");
    qputenv("CALLERID_MUTE", "1");
    benchmark::Initialize(&argc, argv);
    TQtApplication app(argc, argv);
    CreateToolWindows();
    Form1->Show();
    // The monitor would tick in the middle of the measured calls.
    Form1->Timer1->SetEnabled(false);
    QApplication::processEvents();

    const auto runs = [](benchmark::internal::Benchmark* b) {
        b->Iterations(50)->Repetitions(1)->UseManualTime()->Unit(benchmark::kMicrosecond);
    };
    runs(benchmark::RegisterBenchmark("ToolCall", BM_ToolCall));
    runs(benchmark::RegisterBenchmark("PeerCall", BM_PeerCall));
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    PrintSummary();
    DestroyToolWindows();
    return 0;
}
