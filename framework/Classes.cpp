#include "Classes.h"

#include <QHash>

namespace {
QHash<QByteArray, TComponentFactory>& Registry() {
    static QHash<QByteArray, TComponentFactory> registry;
    return registry;
}
} // namespace

void RegisterClass(const QByteArray& className, TComponentFactory factory) {
    Registry().insert(className, std::move(factory));
}

bool IsClassRegistered(const QByteArray& className) {
    return Registry().contains(className);
}

QObject* CreateComponent(const QByteArray& className, QObject* owner) {
    const auto it = Registry().constFind(className);
    if (it == Registry().constEnd())
        throw EReadError(QStringLiteral("Class %1 not found").arg(QString::fromLatin1(className)));
    return (*it)(owner);
}

QObject* FindComponent(QObject* root, const QString& name) {
    if (!root || name.isEmpty()) return nullptr;
    if (root->objectName() == name) return root;
    return root->findChild<QObject*>(name, Qt::FindChildrenRecursively);
}
