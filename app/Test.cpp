// The caller-ID test tool: creates the application and its four windows
// and runs until the main window closes.

#include "Application.h"
#include "Startup.h"

#include <QTextStream>

int main(int argc, char** argv) {
    TQtApplication app(argc, argv);
    try {
        CreateToolWindows();
    } catch (const Exception& e) {
        // Without its windows the tool has nothing to run.
        QTextStream(stderr) << e.Message() << Qt::endl;
        return 1;
    }
    const int rc = Application->Run();
    DestroyToolWindows();
    return rc;
}
