// The marked-up text display on arbitrary cell texts: the bytes are painted
// once read as UTF-8 and once as raw 16-bit units (lone surrogates and all),
// each under every wrap kind, into a cell of a picture. Whatever tags,
// attributes, colours, sizes and font names the text holds, painting never
// crashes, never hangs and never lets an exception out (one that escapes
// ends the run as a fault). The first byte places the cell, so cells partly
// or wholly outside the picture are painted too.

#include "Application.h"
#include "Canvas.h"
#include "ColumnClasses.h"
#include "Displays.h"

#include <QString>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

TQtApplication* App() {
    static TQtApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "fuzz_html_display";
        static char* argv[] = {name, nullptr};
        return new TQtApplication(argc, argv);
    }();
    return app;
}

void PaintAll(THtmlColumn& column, TBitmap& surface, const TRect& cell, const QString& text) {
    TColumnDisplay* display = column.Display();
    for (TWrapKind wrap : {wkNone, wkEllipsis, wkWordWrap}) {
        column.SetWrapKind(wrap);
        surface.Canvas()->Font()->Assign(*column.Font());
        display->Canvas = surface.Canvas();
        display->CellRect = cell;
        display->Text = text;
        display->Paint();
    }
    display->Canvas = nullptr;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    App();
    // A new column each time: the counts of open tags that a display carries
    // from cell to cell stay within one input.
    THtmlColumn column;
    static TBitmap surface(160, 48, TBitmap::pf24bit);
    const std::uint8_t place = size > 0 ? data[0] : 0;
    const int left = (place & 0x0F) * 12 - 40;
    const int top = (place >> 4) * 4 - 16;
    const TRect cell = Bounds(left, top, 20 + (place & 0x07) * 15, 16 + (place >> 5) * 6);
    const char* bytes = reinterpret_cast<const char*>(data);

    PaintAll(column, surface, cell, QString::fromUtf8(bytes, qsizetype(size)));

    QString units(qsizetype(size / 2), Qt::Uninitialized);
    if (!units.isEmpty()) std::memcpy(units.data(), data, units.size() * sizeof(char16_t));
    PaintAll(column, surface, cell, units);
    return 0;
}
