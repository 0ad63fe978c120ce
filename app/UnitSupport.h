#pragma once
// What the windows share when they bind their components after reading
// their layouts.

#include "Classes.h"

#include <QString>

class TForm;

// Looks a component of the window up by name; a layout that lacks one the
// code relies on cannot run, and says so like any read error.
template <class T> T* BindComponent(QObject* root, const char* name) {
    T* component = qobject_cast<T*>(FindComponent(root, QLatin1String(name)));
    if (!component)
        throw EReadError(
            QStringLiteral("Layout of %1 lacks %2")
                .arg(QLatin1String(root->metaObject()->className()), QLatin1String(name)));
    return component;
}

// Makes the layouts, pictures and icons compiled into this library
// available; every window calls it before reading its layout.
void EnsureResources();

// Fits a picture window to the screen: top-left corner at (10, 10), height
// the screen's less 200 pixels and, for a landscape picture, width 1.3 times
// the height (overflow-checked); then brings the window to the front.
void FitPictureWindow(TForm* form, bool landscape);
