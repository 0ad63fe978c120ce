// Reading and writing a window layout, side by side with a bare XML pass
// over the same bytes: the difference is what creating the components,
// converting and applying the properties and binding the handlers costs.

#include "Application.h"
#include "Forms.h"
#include "Framework.h"
#include "Streaming.h"

#include <QFile>
#include <QXmlStreamReader>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

// The help window's layout, read into a window class of this program.
class THelpBenchForm : public TForm {
    Q_OBJECT
public:
    explicit THelpBenchForm(QObject* owner = nullptr) : TForm(owner) {}
    Q_INVOKABLE void Label1Click(QObject*) {}
    Q_INVOKABLE void Button1Click(QObject*) {}
};

QByteArray HelpLayout() {
    QFile file(QStringLiteral(CALLERID_SOURCE_DIR "/resources/layouts/Unit4.xml"));
    if (!file.open(QIODevice::ReadOnly)) qFatal("cannot read the layout");
    QByteArray layout = file.readAll();
    layout.replace("class=\"THelpForm\"", "class=\"THelpBenchForm\"");
    layout.replace("<property name=\"Icon\">:/icons/help.ico</property>", "");
    return layout;
}

void BM_XmlPassOnly(benchmark::State& state) {
    const QByteArray layout = HelpLayout();
    for (auto _ : state) {
        QXmlStreamReader xml(layout);
        int tokens = 0;
        while (!xml.atEnd()) {
            xml.readNext();
            ++tokens;
        }
        benchmark::DoNotOptimize(tokens);
    }
    state.SetBytesProcessed(state.iterations() * layout.size());
}
BENCHMARK(BM_XmlPassOnly);

void BM_ReadLayout(benchmark::State& state) {
    const QByteArray layout = HelpLayout();
    for (auto _ : state) {
        auto form = std::make_unique<THelpBenchForm>();
        ReadComponent(form.get(), layout);
        benchmark::DoNotOptimize(form.get());
    }
    state.SetBytesProcessed(state.iterations() * layout.size());
}
BENCHMARK(BM_ReadLayout);

void BM_EmptyFormOnly(benchmark::State& state) {
    // The window alone, without its components: the floor of BM_ReadLayout.
    for (auto _ : state) {
        auto form = std::make_unique<THelpBenchForm>();
        benchmark::DoNotOptimize(form.get());
    }
}
BENCHMARK(BM_EmptyFormOnly);

void BM_WriteLayout(benchmark::State& state) {
    THelpBenchForm form;
    ReadComponent(&form, HelpLayout());
    for (auto _ : state)
        benchmark::DoNotOptimize(WriteComponent(&form));
}
BENCHMARK(BM_WriteLayout);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    TQtApplication app(argc, argv);
    RegisterFrameworkClasses();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

#include "layout_bench.moc"
