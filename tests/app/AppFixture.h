#pragma once
// The tool's four windows, built as the program builds them, with the
// device played from a script written for the test.

#include "Application.h"
#include "Startup.h"
#include "SysUtils.h"
#include "Unit1.h"
#include "Unit2.h"
#include "Unit3.h"
#include "Unit4.h"

#include <QAction>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

class ToolWindows : public ::testing::Test {
protected:
    // Writes the script and points the device at it; the device reads the
    // choice when the main window starts it.
    void UseScript(const QByteArray& script) {
        ASSERT_TRUE(FDir.isValid());
        const QString path = FDir.filePath(QStringLiteral("device.script"));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(script);
        file.close();
        qputenv("CALLERID_DEVICE", "script:" + path.toUtf8());
    }

    void SetUp() override {
        FormatSettings.LongTimeFormat = QStringLiteral("hh:nn:ss");
        FormatSettings.TimeSeparator = QLatin1Char(':');
        qputenv("CALLERID_DEVICE", "none");
    }

    void Start() {
        CreateToolWindows();
        Form1->Show();
    }

    void TearDown() override {
        DestroyToolWindows();
        qunsetenv("CALLERID_DEVICE");
    }

    // Triggers the action from the message loop and runs the loop until the
    // tool ends it; false when it had not ended after four seconds.
    static bool EndsTheTool(QAction* action) {
        QTimer::singleShot(0, action, &QAction::trigger);
        QElapsedTimer clock;
        clock.start();
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, qApp, &QCoreApplication::quit);
        guard.start(5000);
        QApplication::exec();
        return clock.elapsed() < 4000;
    }

    static bool WaitFor(const std::function<bool()>& done, int ms = 3000) {
        return QTest::qWaitFor(done, ms);
    }

    QTemporaryDir FDir;
};
