#include "Application.h"

#include "Forms.h"

#include <QRegularExpression>
#include <QWidget>
#include <QtDebug>
#include <algorithm>
#include <cstdio>

TApplication* Application = nullptr;

namespace {
// The key events being delivered, innermost last (a key handler may send
// another key event): their receivers, and what a key preview typed instead.
struct TKeyDelivery {
    QObject* Receiver;
    QChar Previewed;
};
std::vector<TKeyDelivery> gKeyEventReceivers;
} // namespace

TQtApplication::TQtApplication(int& argc, char** argv) : QApplication(argc, argv) {
    InitApplication();
    // The application ends when its main window closes, not when the last
    // visible window does: the guide closed while the main window is hidden
    // must not end the tool.
    setQuitOnLastWindowClosed(false);
}

QObject* TQtApplication::KeyEventReceiver() {
    return gKeyEventReceivers.empty() ? nullptr : gKeyEventReceivers.back().Receiver;
}

QChar TQtApplication::PreviewedCharacter() {
    return gKeyEventReceivers.empty() ? QChar() : gKeyEventReceivers.back().Previewed;
}

void TQtApplication::SetPreviewedCharacter(QChar value) {
    if (!gKeyEventReceivers.empty()) gKeyEventReceivers.back().Previewed = value;
}

bool TQtApplication::notify(QObject* receiver, QEvent* event) {
    const bool keyEvent = event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease;
    if (keyEvent) gKeyEventReceivers.push_back({receiver, QChar()});
    const struct Pop {
        bool On;
        ~Pop() {
            if (On) gKeyEventReceivers.pop_back();
        }
    } pop{keyEvent};
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        // The exception has already unwound through Qt's delivery, which
        // may have left Qt's own state half-done: some override or slot
        // lacks its guard. The tool goes on, but says so. (The receiver may
        // be gone by now, so only the event's kind is named.)
        qWarning("An exception escaped the delivery of an event of type %d", int(event->type()));
        HandleCurrentException(receiver);
    }
    return false;
}

TApplication::TApplication() = default;
TApplication::~TApplication() = default;

void InitApplication() {
    if (!Application) Application = new TApplication();
}

void TApplication::SetTitle(const QString& title) {
    FTitle = title;
    QApplication::setApplicationDisplayName(QString());
    QApplication::setApplicationName(title);
}

void TApplication::RegisterForm(TForm* form) {
    if (!FMainForm) FMainForm = form;
    FForms.push_back(form);
}

void TApplication::UnregisterForm(TForm* form) {
    std::erase(FForms, form);
    if (FMainForm == form) FMainForm = nullptr;
}

void TApplication::BringToFront() {
    QWidget* target = QApplication::activeWindow();
    if (!target && FMainForm) target = FMainForm;
    if (!target) return;
    if (target->isMinimized()) target->showNormal();
    target->raise();
    target->activateWindow();
}

void TApplication::Minimize() {
    if (FMainForm) FMainForm->showMinimized();
    if (OnMinimize) OnMinimize();
}

void TApplication::Restore() {
    if (FMainForm && FMainForm->isMinimized()) FMainForm->showNormal();
    if (OnRestore) OnRestore();
}

int TApplication::Run() {
    if (FMainForm && FShowMainForm) FMainForm->Show();
    return QApplication::exec();
}

void TApplication::Terminate() {
    QApplication::quit();
}

void TApplication::HandleException(QObject* sender, const Exception& e) {
    // Even a silent abort must not leave the mouse captured by a control
    // whose drag it ended.
    if (QWidget* grabber = QWidget::mouseGrabber()) grabber->releaseMouse();
    if (dynamic_cast<const EAbort*>(&e)) return;
    if (FExceptionHandlers.empty()) {
        qWarning().noquote() << e.Message();
        return;
    }
    // A handler may add or remove handlers (or destroy the component that
    // owns one): ask, newest first, those that were there at the start and
    // still are when their turn comes.
    std::vector<quint64> ids;
    for (const ExceptionHandler& h : FExceptionHandlers)
        ids.push_back(h.Id);
    for (auto id = ids.rbegin(); id != ids.rend(); ++id) {
        const auto it = std::find_if(FExceptionHandlers.begin(), FExceptionHandlers.end(),
                                     [&](const ExceptionHandler& h) { return h.Id == *id; });
        if (it == FExceptionHandlers.end()) continue;
        const TExceptionEvent handler = it->Handler;
        // This is the end of the road for failures: one raised while reporting
        // another would tear the event loop down, so it is only noted.
        try {
            handler(sender, e);
        } catch (const Exception& inner) {
            qWarning().noquote() << inner.Message();
        } catch (const std::exception& inner) {
            qWarning().noquote() << QString::fromLocal8Bit(inner.what());
        }
    }
}

void TApplication::HandleStdException(QObject* sender, const std::exception& e) {
    HandleException(sender, Exception(QString::fromLocal8Bit(e.what())));
}

void WriteStdErrLines(const QString& text) {
    static const QRegularExpression lineBreak(QStringLiteral("\\r\\n|\\r|\\n"));
    QString out;
    out.reserve(text.size() + 1);
    for (const QString& line : text.split(lineBreak)) {
        for (const QChar c : line)
            out += c.category() == QChar::Other_Control ? QChar(u'?') : c;
        out += QLatin1Char('\n');
    }
    const QByteArray bytes = out.toUtf8();
    // One write for all, so lines of other writers do not fall in between.
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stderr);
    std::fflush(stderr);
}

void HandleCurrentException(QObject* sender) noexcept {
    try {
        try {
            throw;
        } catch (const Exception& e) {
            if (Application)
                Application->HandleException(sender, e);
            else
                qWarning().noquote() << e.Message();
        } catch (const std::exception& e) {
            if (Application)
                Application->HandleStdException(sender, e);
            else
                qWarning().noquote() << QString::fromLocal8Bit(e.what());
        } catch (...) {
            if (Application)
                Application->HandleException(sender,
                                             Exception(QStringLiteral("Unknown exception")));
            else
                qWarning("Unknown exception");
        }
    } catch (...) {
        // Reporting failed in turn (out of memory): there is nowhere left to
        // tell, and the event loop must go on.
    }
}

void TApplication::AddExceptionHandler(QObject* owner, TExceptionEvent handler) {
    FExceptionHandlers.push_back({owner, std::move(handler), FNextHandlerId++});
}

void TApplication::RemoveExceptionHandlers(QObject* owner) {
    std::erase_if(FExceptionHandlers,
                  [owner](const ExceptionHandler& h) { return h.Owner == owner; });
}
