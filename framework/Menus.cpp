#include "Menus.h"

#include "Application.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

TMenuItem::TMenuItem(QObject* owner) : TComponent(owner) {
    RegisterEvent("OnClick", OnClick);
}

void TMenuItem::SetCaption(const QString& value) {
    FCaption = value;
}
void TMenuItem::SetEnabled(bool value) {
    FEnabled = value;
}
void TMenuItem::SetVisible(bool value) {
    FVisible = value;
}

void TMenuItem::Add(TMenuItem* item) {
    item->FParentItem = this;
    item->FInMenu = true;
    FItems.push_back(item);
}

bool TMenuItem::ReadChild(QObject* child) {
    auto* item = qobject_cast<TMenuItem*>(child);
    if (!item) return false;
    Add(item);
    return true;
}

QAction* TMenuItem::MakeAction(QObject* parent) {
    // Captions use '&' for the accelerator just as Qt does.
    auto* action = new QAction(FCaption, parent);
    action->setEnabled(FEnabled);
    action->setVisible(FVisible);
    action->setObjectName(objectName());
    QPointer<TMenuItem> self(this);
    QObject::connect(action, &QAction::triggered, action, [self] {
        if (self) Guarded(self, [&self] { self->Click(); });
    });
    return action;
}

void TMenuItem::AddTo(QMenu* menu) {
    if (FCaption == QLatin1String("-")) {
        menu->addSeparator();
        return;
    }
    if (FItems.empty()) {
        QAction* action = MakeAction(menu);
        menu->addAction(action);
        if (FDefault) menu->setDefaultAction(action);
        return;
    }
    QMenu* sub = menu->addMenu(FCaption);
    for (TMenuItem* item : FItems)
        item->AddTo(sub);
}

void TMenuItem::AddTo(QMenuBar* bar) {
    if (FItems.empty()) {
        bar->addAction(MakeAction(bar));
        return;
    }
    QMenu* sub = bar->addMenu(FCaption);
    for (TMenuItem* item : FItems)
        item->AddTo(sub);
}

std::vector<QObject*> TMenuItem::StreamedChildren() const {
    return {FItems.begin(), FItems.end()};
}

void TMenu::Add(TMenuItem* item) {
    item->SetInMenu(true);
    FItems.push_back(item);
    if (OnItemsChanged) OnItemsChanged();
}

bool TMenu::ReadChild(QObject* child) {
    auto* item = qobject_cast<TMenuItem*>(child);
    if (!item) return false;
    Add(item);
    return true;
}

TPopupMenu::TPopupMenu(QObject* owner) : TMenu(owner) {
    RegisterEvent("OnPopup", OnPopup);
}

TPopupMenu::~TPopupMenu() {
    delete FMenu;
}

void TPopupMenu::Popup(int x, int y) {
    OnPopup(this);
    // The old menu may be the one whose item is running right now.
    if (FMenu) FMenu->deleteLater();
    FMenu = new QMenu();
    FMenu->setAttribute(Qt::WA_DeleteOnClose, false);
    for (TMenuItem* item : Items())
        item->AddTo(FMenu);
    FMenu->popup(QPoint(x, y));
}
