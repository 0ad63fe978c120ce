#pragma once
// Records, while it lives, every notice of the application's last-resort
// catch: an exception that escaped into Qt's event delivery.

#include <QString>
#include <QStringList>
#include <QtGlobal>

class EscapeWatch {
public:
    EscapeWatch() {
        Notices().clear();
        FPrevious = qInstallMessageHandler(Record);
    }
    ~EscapeWatch() { qInstallMessageHandler(FPrevious); }
    EscapeWatch(const EscapeWatch&) = delete;
    EscapeWatch& operator=(const EscapeWatch&) = delete;

    static QStringList& Notices() {
        static QStringList notices;
        return notices;
    }

private:
    static void Record(QtMsgType, const QMessageLogContext&, const QString& message) {
        if (message.contains(QLatin1String("escaped"))) Notices() << message;
    }
    QtMessageHandler FPrevious = nullptr;
};
