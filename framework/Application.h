#pragma once
// The application object: title, main window, bringing the tool to the front
// and the one place where exceptions that escape a handler end up.

#include "Exceptions.h"

#include <QApplication>
#include <QObject>
#include <QPointer>
#include <functional>
#include <vector>

class TForm;

// The Qt application of the process. Every event handler runs inside
// notify(), so this is where an exception that escaped any handler is caught
// and handed to the application object instead of tearing the process down.
class TQtApplication : public QApplication {
    Q_OBJECT
public:
    TQtApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;

    // The object a key press or release being delivered was sent to, while
    // Qt passes it on to the parents; null when no key event is under way
    // (or when the process runs another kind of application object).
    static QObject* KeyEventReceiver();
    // The character a window's key preview made of the key press being
    // delivered, for the control it was sent to; null when the preview left
    // the character as it was (or no key press is under way).
    static QChar PreviewedCharacter();
    static void SetPreviewedCharacter(QChar value);
};

using TExceptionEvent = std::function<void(QObject* Sender, const Exception& E)>;

class TApplication : public QObject {
    Q_OBJECT
public:
    TApplication();
    ~TApplication() override;

    const QString& Title() const { return FTitle; }
    void SetTitle(const QString& title);

    TForm* MainForm() const { return FMainForm; }
    // The first form created becomes the main form; closing it ends the run.
    void RegisterForm(TForm* form);
    void UnregisterForm(TForm* form);
    const std::vector<TForm*>& Forms() const { return FForms; }

    // Raises the active window (or the main form) above the other programs.
    void BringToFront();
    void Minimize();
    void Restore();
    // Whether Run shows the main form; a component may ask it not to
    // (a tool that starts in the notification area).
    bool ShowMainForm() const { return FShowMainForm; }
    void SetShowMainForm(bool value) { FShowMainForm = value; }
    int Run();
    void Terminate();

    // Routes an exception that no handler caught: any mouse capture is
    // released, the silent abort is dropped, then the exception handlers hear
    // of it. With no handler the message goes to the debug output; never a
    // dialog. A handler that fails itself is reported the same quiet way.
    void HandleException(QObject* sender, const Exception& e);
    void HandleStdException(QObject* sender, const std::exception& e);

    // Application-wide exception handlers (the application events components
    // add theirs); the newest handler is asked first, as with several hooks.
    void AddExceptionHandler(QObject* owner, TExceptionEvent handler);
    void RemoveExceptionHandlers(QObject* owner);

    // Hooks that components (the tray icon) attach to the application.
    std::function<void()> OnMinimize;
    std::function<void()> OnRestore;

private:
    QString FTitle;
    TForm* FMainForm = nullptr;
    bool FShowMainForm = true;
    std::vector<TForm*> FForms;
    struct ExceptionHandler {
        QObject* Owner;
        TExceptionEvent Handler;
        quint64 Id;
    };
    std::vector<ExceptionHandler> FExceptionHandlers;
    quint64 FNextHandlerId = 0;
};

// The one application object, created by InitApplication and alive until
// the process ends.
extern TApplication* Application;
void InitApplication();

// Writes `text` to the process's standard error, UTF-8, each of its lines
// ended by a line break, so a message stays visible to whoever started the
// tool. Control characters become '?': the text may carry what an outside
// party sent, and a terminal would act on its escape sequences.
void WriteStdErrLines(const QString& text);

// Reports the exception being handled (call it only inside a catch block)
// as one that reached the message loop: Application->HandleException, or
// the debug output when there is no application object. Never raises.
void HandleCurrentException(QObject* sender) noexcept;

// Runs `body` and ends there any exception it raises. Every place where Qt
// calls into our code (an event override, a signal's slot, a timer's tick)
// and that code may reach a handler or an overridable dispatch runs it
// through this: Qt delivers events and emits signals without exception
// support, so an exception must not unwind through it. The exception is
// reported as one that reached the message loop, and the rest of the body
// is skipped, just as a failing handler's own steps after the throw are.
// Answers true when the body ran to its end. The body may free `sender`.
template <class F> bool Guarded(QObject* sender, F&& body) noexcept {
    const QPointer<QObject> alive(sender);
    try {
        body();
        return true;
    } catch (...) {
        HandleCurrentException(alive.data());
    }
    return false;
}
