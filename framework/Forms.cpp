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

int TForm::ClientHeight() const {
    return FHeight - MenuHeight();
}
void TForm::SetClientHeight(int value) {
    SetBounds(FLeft, FTop, FWidth, value + MenuHeight());
}
int TForm::ClientWidth() const {
    return FWidth;
}
void TForm::SetClientWidth(int value) {
    SetBounds(FLeft, FTop, value, FHeight);
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
    SetBounds(FLeft, FTop, FWidth, clientHeight + MenuHeight());
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

void TForm::ApplyGeometry() {
    resize(FWidth, FHeight);
    if (!IsLoading() && (FPositioned || FPosition == poDesigned)) move(FLeft, FTop);
    LayoutClient();
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
    SetBounds(FLeft, FTop, right, bottom + MenuHeight());
}

void TForm::showEvent(QShowEvent* event) {
    TWinControl::showEvent(event);
    if (event->spontaneous()) return;
    SyncVisible(true);
    if (!FPositioned) {
        FPositioned = true;
        if (FPosition == poScreenCenter) {
            if (const QScreen* s = QGuiApplication::primaryScreen()) {
                const QRect g = s->availableGeometry();
                move(g.x() + (g.width() - width()) / 2, g.y() + (g.height() - height()) / 2);
            }
        } else if (FPosition == poDesigned) {
            move(FLeft, FTop);
        }
    }
    DoShow();
}

void TForm::hideEvent(QHideEvent* event) {
    TWinControl::hideEvent(event);
    if (event->spontaneous()) return;
    SyncVisible(false);
    DoHide();
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
        return press ? !DispatchKeyPress(key) : !DispatchKeyRelease(key);
    }
    return TWinControl::eventFilter(watched, event);
}

void TForm::resizeEvent(QResizeEvent* event) {
    FWidth = width();
    FHeight = height();
    TControl::resizeEvent(event);
    LayoutClient();
}

void TForm::moveEvent(QMoveEvent* event) {
    TWinControl::moveEvent(event);
    if (isWindow() && FPositioned) {
        FLeft = x();
        FTop = y();
    }
}
