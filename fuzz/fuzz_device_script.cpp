// Feeds arbitrary bytes to the device script parser: it must either return
// a well-formed event list or raise its parse error, and never crash.

#include "DeviceScript.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray text(reinterpret_cast<const char*>(data), qsizetype(size));
    const qsizetype lines = text.count('\n') + 1;
    try {
        const std::vector<ScriptEvent> events =
            ParseDeviceScript(text, QStringLiteral("fuzz.script"));
        int previousTime = 0;
        int previousLine = 0;
        for (const ScriptEvent& e : events) {
            // What the player relies on: times in order, lines rising, and
            // the argument counts it indexes without checking.
            if (e.Time < previousTime || e.Line <= previousLine || e.Line > lines) std::abort();
            const qsizetype expected[] = {2, 0, 5, 8};
            if (e.Args.size() != expected[e.Kind]) std::abort();
            if (e.Kind == sePlug && e.Args[0].isEmpty()) std::abort();
            previousTime = e.Time;
            previousLine = e.Line;
        }
    } catch (const EDeviceScriptError& e) {
        // "fuzz.script:LINE: what is wrong", LINE being a line of the text.
        const QString prefix = QStringLiteral("fuzz.script:");
        if (!e.Message().startsWith(prefix)) std::abort();
        const QString rest = e.Message().mid(prefix.size());
        const qsizetype colon = rest.indexOf(u':');
        bool ok = false;
        const int line = rest.left(colon).toInt(&ok);
        if (colon < 0 || !ok || line < 1 || line > lines || !rest.mid(colon).startsWith(u": "))
            std::abort();
    }
    return 0;
}
