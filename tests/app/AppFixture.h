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

#include <QTemporaryDir>
#include <QTest>
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

    static bool WaitFor(const std::function<bool()>& done, int ms = 3000) {
        return QTest::qWaitFor(done, ms);
    }

    QTemporaryDir FDir;
};
