#pragma once
// Top-level windows, built from stored layouts.

#include "Controls.h"
#include "Menus.h"

#include <QMargins>
#include <QPointer>

#include <functional>
#include <memory>

class QMenuBar;
class QWindow;

// How thick the window manager's frame is round a top-level window's client
// area, as the platform reports it: nothing where the platform draws no
// frames or has not framed the window yet. The forms read it only here, so a
// test can stand in for a platform with frames.
using TFrameMarginsReader = std::function<QMargins(const QWindow&)>;
QMargins ReadFrameMargins(const QWindow& window);
// Puts a reader in the platform's place; an empty one gives it back.
void SetFrameMarginsReader(TFrameMarginsReader reader);

class TForm : public TWinControl {
    Q_OBJECT
    Q_MOC_INCLUDE("Menus.h")
    Q_PROPERTY(int ClientHeight READ ClientHeight WRITE SetClientHeight)
    Q_PROPERTY(int ClientWidth READ ClientWidth WRITE SetClientWidth)
    Q_PROPERTY(QString Icon READ Icon WRITE SetIcon)
    Q_PROPERTY(bool KeyPreview READ KeyPreview WRITE SetKeyPreview)
    Q_PROPERTY(TMainMenu* Menu READ Menu WRITE SetMenu)
    Q_PROPERTY(int PixelsPerInch READ PixelsPerInch WRITE SetPixelsPerInch)
    Q_PROPERTY(TPosition Position READ Position WRITE SetPosition)
public:
    enum TPosition { poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter };
    Q_ENUM(TPosition)

    explicit TForm(QObject* owner = nullptr);
    ~TForm() override;

    // Left, Top, Width and Height of a window are those of its outer frame,
    // title bar included, as the stored layouts assume; the client area is
    // what the frame leaves, under the menu.
    void SetBounds(int left, int top, int width, int height) override;
    // The frame round the client area, as the window last learned it.
    QMargins FrameMargins() const { return FFrame; }

    int ClientHeight() const;
    void SetClientHeight(int value);
    int ClientWidth() const;
    void SetClientWidth(int value);
    TRect ClientRect() const override { return Rect(0, 0, ClientWidth(), ClientHeight()); }
    // The window's icon: a resource path of an .ico file.
    const QString& Icon() const { return FIcon; }
    void SetIcon(const QString& value);
    bool KeyPreview() const { return FKeyPreview; }
    void SetKeyPreview(bool value);
    TMainMenu* Menu() const { return FMenu; }
    void SetMenu(TMainMenu* value);
    // The resolution the layout was designed at; sizes are logical pixels and
    // Qt scales them to the screen, so this is only kept.
    int PixelsPerInch() const { return FPixelsPerInch; }
    void SetPixelsPerInch(int value) { FPixelsPerInch = value; }
    TPosition Position() const { return FPosition; }
    void SetPosition(TPosition value) { FPosition = value; }

    QWidget* ContainerWidget() override;
    // The window's components that are not controls come first, then its
    // controls.
    std::vector<QObject*> StreamedChildren() const override;
    QMenuBar* MenuBar() const { return FMenuBar; }

    // Reads the window's stored layout into this form; the form's own class
    // must be the one the layout names.
    void ReadLayout(const QString& resourcePath);

    // Shows the window; a window already shown is brought to the front.
    void Show();
    void Close();
    void BringToFront();

    TNotifyEvent OnShow;
    TNotifyEvent OnHide;

    virtual void DoShow() { OnShow(this); }
    virtual void DoHide() { OnHide(this); }

protected:
    // Runs when Show is asked of a window that is already shown.
    virtual void ShownAgain() {}
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void ApplyGeometry() override;
    void AdjustSize() override;
    // The caption is the window's title.
    void CaptionChanged() override;

private:
    // What a show of the window does once Qt has shown it: it learns that it
    // is visible, takes its place and runs DoShow.
    void Shown();
    int MenuHeight() const;
    void LayoutClient();
    // True for a key event sent to one of this window's controls while the
    // window previews the keys.
    bool PreviewedKey(QObject* receiver) const;

    TWinControl* FClient;
    QMenuBar* FMenuBar = nullptr;
    QPointer<TMainMenu> FMenu;
    QString FIcon;
    bool FKeyPreview = false;
    int FPixelsPerInch = 96;
    TPosition FPosition = poDesigned;
    bool FPositioned = false;

    // Who chose where the window stands: the platform (the window manager's
    // placement, the user dragging it), a handler or the layout, or the
    // centring at show time.
    enum TPlacement { plPlatform, plRequest, plCentre };
    class TFrameWatch;
    // Where the client area goes on the screen inside the frame.
    QRect ClientGeometry() const;
    bool IsExposed() const;
    void CentreOnScreen();
    void WatchFrame();
    // The window is on screen in its frame: a request made before the frame
    // was known is made again with it.
    void FrameExposed();

    std::unique_ptr<TFrameWatch> FFrameWatch;
    QPointer<QWindow> FWatchedWindow;
    QMargins FFrame;
    TPlacement FPlacement = plPlatform;
    // A size asked for the client area (the layouts' designed sizes, the
    // fit to content) stays the client's when the frame becomes known; a
    // size asked for the whole window stays the frame's.
    bool FKeepClientWidth = false;
    bool FKeepClientHeight = false;
    // Geometry applied while the window was not on screen in its frame.
    bool FGeometryPending = false;
};
