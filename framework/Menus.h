#pragma once
// Main and popup menus. Items are components of their own so that layouts
// name them and bind their click handlers; the Qt menus are built from them.

#include "Classes.h"

#include <QMenu>
#include <QPointer>
#include <vector>

class QMenuBar;
class QAction;

class TMenuItem : public TComponent {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(bool Default READ Default WRITE SetDefault)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
public:
    explicit TMenuItem(QObject* owner = nullptr);

    const QString& Caption() const { return FCaption; }
    void SetCaption(const QString& value);
    // The item a double-click on the menu's owner chooses; shown in bold.
    bool Default() const { return FDefault; }
    void SetDefault(bool value) { FDefault = value; }
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool value);

    const std::vector<TMenuItem*>& Items() const { return FItems; }
    int Count() const { return int(FItems.size()); }
    TMenuItem* Item(int index) const { return FItems.at(std::size_t(index)); }
    void Add(TMenuItem* item);
    TMenuItem* ParentItem() const { return FParentItem; }

    bool ReadChild(QObject* child) override;
    std::vector<QObject*> StreamedChildren() const override;
    bool HasParentComponent() const override { return FInMenu; }
    void SetInMenu(bool value) { FInMenu = value; }

    TNotifyEvent OnClick;
    virtual void Click() { OnClick(this); }

    // Adds this item (and its sub-items) to a Qt menu or menu bar.
    void AddTo(QMenu* menu);
    void AddTo(QMenuBar* bar);

private:
    QAction* MakeAction(QObject* parent);

    QString FCaption;
    bool FDefault = false;
    bool FEnabled = true;
    bool FVisible = true;
    std::vector<TMenuItem*> FItems;
    TMenuItem* FParentItem = nullptr;
    bool FInMenu = false;
};

class TMenu : public TComponent {
    Q_OBJECT
public:
    explicit TMenu(QObject* owner = nullptr) : TComponent(owner) {}
    const std::vector<TMenuItem*>& Items() const { return FItems; }
    void Add(TMenuItem* item);
    bool ReadChild(QObject* child) override;
    std::vector<QObject*> StreamedChildren() const override {
        return {FItems.begin(), FItems.end()};
    }
    // Tells whoever shows the menu that the items changed.
    std::function<void()> OnItemsChanged;

private:
    std::vector<TMenuItem*> FItems;
};

class TMainMenu : public TMenu {
    Q_OBJECT
public:
    explicit TMainMenu(QObject* owner = nullptr) : TMenu(owner) {}
};

class TPopupMenu : public TMenu {
    Q_OBJECT
    Q_PROPERTY(bool AutoPopup READ AutoPopup WRITE SetAutoPopup)
public:
    explicit TPopupMenu(QObject* owner = nullptr);
    ~TPopupMenu() override;

    bool AutoPopup() const { return FAutoPopup; }
    void SetAutoPopup(bool value) { FAutoPopup = value; }
    // The component whose click popped the menu up.
    QObject* PopupComponent() const { return FPopupComponent; }
    void SetPopupComponent(QObject* value) { FPopupComponent = value; }

    // Shows the menu at a screen position without blocking; the chosen
    // item's click runs from the message loop.
    virtual void Popup(int x, int y);
    // The menu last shown (for tests and for closing it).
    QMenu* ShownMenu() const { return FMenu; }

    TNotifyEvent OnPopup;

private:
    bool FAutoPopup = true;
    QPointer<QObject> FPopupComponent;
    QPointer<QMenu> FMenu;
};
