#pragma once
// The tool's four windows, built as the program builds them, with the
// device played from a script written for the test.

#include "Application.h"
#include "StandInDevices.h"
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

    // Starts the tool with a script whose events are far in the future, so
    // its own clock never plays them: each comes when the test steps it.
    // The monitor ticks by hand only.
    void StartStepped(const QByteArray& events) {
        QByteArray script;
        for (const QByteArray& line : events.split('\n'))
            if (!line.trimmed().isEmpty()) script += "3600000 " + line + '\n';
        UseScript(script);
        Start();
        Form1->Timer1->SystemTimer()->stop();
    }
    static TScriptLink* Script() {
        auto* device = dynamic_cast<TStandInMekal*>(Form1->Mekal1->OleObject());
        return device ? dynamic_cast<TScriptLink*>(device->Link()) : nullptr;
    }
    // Plays the script's next count events.
    static void Play(int count = 1) {
        TScriptLink* script = Script();
        ASSERT_NE(script, nullptr);
        for (int i = 0; i < count; ++i)
            ASSERT_TRUE(script->Step());
    }
    // One tick of the monitor, delivered as its timer delivers it.
    static void Tick() {
        Guarded(Form1->Timer1, [] { Form1->Timer1->Timer(); });
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
