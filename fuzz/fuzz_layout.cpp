// The window-layout reader on arbitrary bytes: it either reads the layout
// or raises a read error, and never crashes, hangs or leaks, whatever class
// names, properties, references and handler names the bytes hold, grids
// (TGridView, with its cell store following the columns) and their columns
// of every type included.

#include "Application.h"
#include "Exceptions.h"
#include "Forms.h"
#include "Framework.h"
#include "Grid.h"
#include "GridView.h"
#include "ImgList.h"
#include "Streaming.h"

#include <QByteArray>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace {

class TFuzzForm : public TForm {
    Q_OBJECT
public:
    explicit TFuzzForm(QObject* owner = nullptr) : TForm(owner) {}
    Q_INVOKABLE void Handler(QObject*) {}
    Q_INVOKABLE void KeyHandler(QObject*, QChar& key) { key = QChar(); }
};

TQtApplication* App() {
    static TQtApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "fuzz_layout";
        static char* argv[] = {name, nullptr};
        auto* a = new TQtApplication(argc, argv);
        RegisterFrameworkClasses();
        RegisterGridClasses();
        RegisterClass<TImageList>();
        return a;
    }();
    return app;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    App();
    auto form = std::make_unique<TFuzzForm>();
    try {
        ReadComponent(form.get(), QByteArray(reinterpret_cast<const char*>(data), int(size)));
        // What was read can always be written and read again.
        const QByteArray written = WriteComponent(form.get());
        auto again = std::make_unique<TFuzzForm>();
        ReadComponent(again.get(), written);
    } catch (const EReadError&) {
    } catch (const EResNotFound&) {
    }
    return 0;
}

#include "fuzz_layout.moc"
