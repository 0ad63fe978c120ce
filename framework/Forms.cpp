#include "Forms.h"

#include "Application.h"
#include "Menus.h"
#include "Streaming.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QMenuBar>
#include <QScreen>
#include <QWindow>

#include <utility>

// ------------------------------------------------------------ frame margins

namespace {

// A frame thicker than this is no frame but a broken report; the margins
// also enter the window's geometry sums, which must not overflow.
constexpr int MaxFrameMargin = 4096;

TFrameMarginsReader& FrameMarginsReader() {
    static TFrameMarginsReader reader;
    return reader;
}

int SaneMargin(int value) {
    return std::clamp(value, 0, MaxFrameMargin);
}

} // namespace

QMargins ReadFrameMargins(const QWindow& window) {
    const TFrameMarginsReader& reader = FrameMarginsReader();
    const QMargins m = reader ? reader(window) : window.frameMargins();
    return {SaneMargin(m.left()), SaneMargin(m.top()), SaneMargin(m.right()),
            SaneMargin(m.bottom())};
}

void SetFrameMarginsReader(TFrameMarginsReader reader) {
    FrameMarginsReader() = std::move(reader);
}

// Hears when the platform puts the form's window on screen: by then the
// window manager has framed it and the platform knows the frame.
class TForm::TFrameWatch : public QObject {
public:
    explicit TFrameWatch(TForm& form) : FForm(form) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // Placing the window again lays its controls out, which runs their
        // overridable SetBounds.
        if (event->type() == QEvent::Expose) Guarded(&FForm, [this] { FForm.FrameExposed(); });
        return QObject::eventFilter(watched, event);
    }

private:
    TForm& FForm;
};

// -------------------------------------------------------------------- TForm

TForm::TForm(QObject* owner) : TWinControl(owner), FClient(new TWinControl(this)) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    SetParentFont(false);
    SetVisible(false);
    FClient->setAutoFillBackground(false);
    FClient->setObjectName(QString());
    RegisterEvent("OnShow", OnShow);
    RegisterEvent("OnHide", OnHide);
    if (Application) Application->RegisterForm(this);
}

TForm::~TForm() {
    if (FKeyPreview) qApp->removeEventFilter(this);
    if (Application) Application->UnregisterForm(this);
}

int TForm::MenuHeight() const {
    return FMenuBar ? FMenuBar->sizeHint().height() : 0;
}

void TForm::SetBounds(int left, int top, int width, int height) {
    if (std::max(0, width) != FWidth) FKeepClientWidth = false;
    if (std::max(0, height) != FHeight) FKeepClientHeight = false;
    TWinControl::SetBounds(left, top, width, height);
}

QRect TForm::ClientGeometry() const {
    return {FLeft + FFrame.left(), FTop + FFrame.top(),
            std::max(0, FWidth - FFrame.left() - FFrame.right()),
            std::max(0, FHeight - FFrame.top() - FFrame.bottom())};
}

int TForm::ClientHeight() const {
    return ClientGeometry().height() - MenuHeight();
}
void TForm::SetClientHeight(int value) {
    TWinControl::SetBounds(FLeft, FTop, FWidth,
                           value + MenuHeight() + FFrame.top() + FFrame.bottom());
    FKeepClientHeight = true;
}
int TForm::ClientWidth() const {
    return ClientGeometry().width();
}
void TForm::SetClientWidth(int value) {
    TWinControl::SetBounds(FLeft, FTop, value + FFrame.left() + FFrame.right(), FHeight);
    FKeepClientWidth = true;
}

void TForm::SetIcon(const QString& value) {
    FIcon = value;
    setWindowIcon(value.isEmpty() ? QIcon() : QIcon(value));
}

void TForm::SetKeyPreview(bool value) {
    if (value == FKeyPreview) return;
    FKeyPreview = value;
    if (value)
        qApp->installEventFilter(this);
    else
        qApp->removeEventFilter(this);
}

void TForm::SetMenu(TMainMenu* value) {
    const int clientHeight = ClientHeight();
    FMenu = value;
    if (!value) {
        delete FMenuBar;
        FMenuBar = nullptr;
    } else {
        if (!FMenuBar) {
            FMenuBar = new QMenuBar(this);
            FMenuBar->setNativeMenuBar(false);
        }
        FMenuBar->clear();
        for (TMenuItem* item : value->Items())
            item->AddTo(FMenuBar);
        value->OnItemsChanged = [this] { SetMenu(FMenu); };
        FMenuBar->show();
    }
    // The client area keeps its size; the window grows by the menu.
    TWinControl::SetBounds(FLeft, FTop, FWidth,
                           clientHeight + MenuHeight() + FFrame.top() + FFrame.bottom());
}

QWidget* TForm::ContainerWidget() {
    return FClient;
}

std::vector<QObject*> TForm::StreamedChildren() const {
    std::vector<QObject*> result;
    for (QObject* o : children()) {
        const TComponentBase* c = AsComponent(o);
        if (c && !o->isWidgetType() && !c->HasParentComponent()) result.push_back(o);
    }
    for (QObject* o : TWinControl::StreamedChildren())
        result.push_back(o);
    return result;
}

void TForm::LayoutClient() {
    const int mh = MenuHeight();
    if (FMenuBar) FMenuBar->setGeometry(0, 0, width(), mh);
    FClient->setGeometry(0, mh, width(), std::max(0, height() - mh));
    AlignControls();
}

bool TForm::IsExposed() const {
    const QWindow* window = windowHandle();
    return window && window->isExposed();
}

void TForm::ApplyGeometry() {
    // Qt places a window by its client area; the frame goes round it.
    const QRect client = ClientGeometry();
    if (!IsLoading() && (FPositioned || FPosition == poDesigned)) {
        setGeometry(client);
        FPlacement = plRequest;
    } else {
        resize(client.size());
    }
    // Off screen the frame may not be the one this was worked out with (a
    // window manager frames a window as it maps it), so it is applied again
    // once the window is on screen.
    if (!IsExposed()) FGeometryPending = true;
    LayoutClient();
}

void TForm::CentreOnScreen() {
    if (const QScreen* s = QGuiApplication::primaryScreen()) {
        const QRect g = s->availableGeometry();
        FLeft = g.x() + (g.width() - FWidth) / 2;
        FTop = g.y() + (g.height() - FHeight) / 2;
    }
}

void TForm::WatchFrame() {
    QWindow* window = windowHandle();
    if (!window || window == FWatchedWindow) return;
    if (!FFrameWatch) FFrameWatch = std::make_unique<TFrameWatch>(*this);
    if (FWatchedWindow) FWatchedWindow->removeEventFilter(FFrameWatch.get());
    window->installEventFilter(FFrameWatch.get());
    FWatchedWindow = window;
}

void TForm::FrameExposed() {
    const QWindow* window = windowHandle();
    if (!window || !window->isExposed()) return;
    const QMargins frame = ReadFrameMargins(*window);
    if (!FGeometryPending && frame == FFrame) return;
    const QMargins old = std::exchange(FFrame, frame);
    FGeometryPending = false;
    if (FKeepClientWidth) FWidth += frame.left() + frame.right() - old.left() - old.right();
    if (FKeepClientHeight) FHeight += frame.top() + frame.bottom() - old.top() - old.bottom();
    switch (FPlacement) {
    case plCentre:
        CentreOnScreen();
        break;
    case plPlatform: {
        // Where the platform put the window it keeps; only the frame round
        // it is new.
        const QRect g = geometry();
        FLeft = g.x() - frame.left();
        FTop = g.y() - frame.top();
        break;
    }
    case plRequest:
        break;
    }
    ApplyGeometry();
}

void TForm::ReadLayout(const QString& resourcePath) {
    ReadComponentResource(this, resourcePath);
}

void TForm::Show() {
    if (isVisible()) {
        ShownAgain();
        BringToFront();
        return;
    }
    SetVisible(true);
}

void TForm::Close() {
    close();
}

void TForm::BringToFront() {
    if (isMinimized()) showNormal();
    raise();
    activateWindow();
}

void TForm::CaptionChanged() {
    setWindowTitle(Caption());
}

void TForm::AdjustSize() {
    // Fit the client area to the controls placed by position; aligned
    // controls follow the window and so do not size it.
    int right = 0;
    int bottom = 0;
    bool any = false;
    for (TControl* c : Controls()) {
        if (!c->Visible() || c->Align() != alNone) continue;
        right = std::max(right, c->Left() + c->Width());
        bottom = std::max(bottom, c->Top() + c->Height());
        any = true;
    }
    if (!any) return;
    for (const TControl* c : Controls())
        if (c->Visible() && c->Align() != alNone) return;
    TWinControl::SetBounds(FLeft, FTop, right + FFrame.left() + FFrame.right(),
                           bottom + MenuHeight() + FFrame.top() + FFrame.bottom());
    FKeepClientWidth = true;
    FKeepClientHeight = true;
}

void TForm::Shown() {
    SyncVisible(true);
    WatchFrame();
    if (!FPositioned) {
        FPositioned = true;
        if (FPosition == poScreenCenter) {
            CentreOnScreen();
            ApplyGeometry();
            FPlacement = plCentre;
        } else if (FPosition == poDesigned) {
            ApplyGeometry();
        }
    }
    DoShow();
}

void TForm::showEvent(QShowEvent* event) {
    TWinControl::showEvent(event);
    if (event->spontaneous()) return;
    Guarded(this, [this] { Shown(); });
}

void TForm::hideEvent(QHideEvent* event) {
    TWinControl::hideEvent(event);
    if (event->spontaneous()) return;
    SyncVisible(false);
    Guarded(this, [this] { DoHide(); });
}

void TForm::closeEvent(QCloseEvent* event) {
    event->accept();
    if (Application && Application->MainForm() == this) Application->Terminate();
}

bool TForm::PreviewedKey(QObject* receiver) const {
    auto* w = qobject_cast<QWidget*>(receiver);
    return FKeyPreview && w && w != this && w->window() == this;
}

bool TForm::eventFilter(QObject* watched, QEvent* event) {
    // With key preview the window hears every key typed into its controls
    // before the control does, once: not again as Qt passes a key the
    // control ignored on to its parents (the window's own dispatch skips
    // those). Keys sent to the window itself it hears as any control does.
    const bool press = event->type() == QEvent::KeyPress;
    if ((press || event->type() == QEvent::KeyRelease) && PreviewedKey(watched) &&
        IsKeyReceiver(watched)) {
        auto* key = static_cast<QKeyEvent*>(event);
        // A key whose preview failed goes no further, like a swallowed one.
        bool swallowed = true;
        Guarded(this, [&] {
            if (!press) {
                swallowed = !DispatchKeyRelease(key);
                return;
            }
            // A character the window changed is the one the control hears.
            QChar replacement;
            swallowed = !DispatchKeyPress(key, &replacement);
            if (!swallowed && !replacement.isNull())
                TQtApplication::SetPreviewedCharacter(replacement);
        });
        return swallowed;
    }
    return TWinControl::eventFilter(watched, event);
}

void TForm::resizeEvent(QResizeEvent* event) {
    // What the platform does to a request it has not yet framed does not
    // undo the request; later on it is the window's size (the user
    // dragging its border).
    if (!event->spontaneous() || !FGeometryPending) {
        FWidth = width() + FFrame.left() + FFrame.right();
        FHeight = height() + FFrame.top() + FFrame.bottom();
    }
    TControl::resizeEvent(event);
    Guarded(this, [this] { LayoutClient(); });
}

void TForm::moveEvent(QMoveEvent* event) {
    TWinControl::moveEvent(event);
    if (!isWindow() || !FPositioned || (event->spontaneous() && FGeometryPending)) return;
    const int left = geometry().x() - FFrame.left();
    const int top = geometry().y() - FFrame.top();
    if (left == FLeft && top == FTop) return;
    FLeft = left;
    FTop = top;
    FPlacement = event->spontaneous() ? plPlatform : plRequest;
}
