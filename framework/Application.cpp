#include "Application.h"

#include "Forms.h"

#include <QWidget>
#include <QtDebug>

TApplication* Application = nullptr;

TQtApplication::TQtApplication(int& argc, char** argv) : QApplication(argc, argv) {
    InitApplication();
}

bool TQtApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const Exception& e) {
        if (Application) Application->HandleException(receiver, e);
    } catch (const std::exception& e) {
        if (Application) Application->HandleStdException(receiver, e);
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
    if (dynamic_cast<const EAbort*>(&e)) return;
    if (QWidget* grabber = QWidget::mouseGrabber()) grabber->releaseMouse();
    if (FExceptionHandlers.empty()) {
        qWarning().noquote() << e.Message();
        return;
    }
    // A handler may add or remove handlers; work on a copy.
    const auto handlers = FExceptionHandlers;
    for (auto it = handlers.rbegin(); it != handlers.rend(); ++it)
        it->second(sender, e);
}

void TApplication::HandleStdException(QObject* sender, const std::exception& e) {
    HandleException(sender, Exception(QString::fromLocal8Bit(e.what())));
}

void TApplication::AddExceptionHandler(QObject* owner, TExceptionEvent handler) {
    FExceptionHandlers.emplace_back(owner, std::move(handler));
}

void TApplication::RemoveExceptionHandlers(QObject* owner) {
    std::erase_if(FExceptionHandlers, [owner](const auto& h) { return h.first == owner; });
}
