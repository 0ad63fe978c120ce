#pragma once
// What assistive tools (screen readers) learn of the framework's controls
// that paint themselves: Qt sees only a bare widget there, so each gets an
// accessible interface with its role, its name (the caption as shown) and,
// for a bar, its value; a change of caption or value is announced.

#include <QAccessible>
#include <functional>

// Installs the framework's accessible-interface factory with Qt, once per
// process; every control's constructor calls it.
void InstallAccessibleFactory();

// Announces that the control's accessible name (its caption) or value
// changed. Costs nothing while no assistive tool listens.
void AccessibleNameChanged(QObject* control);
void AccessibleValueChanged(QObject* control, int value);

// Hears every event the two announcements above make, whether or not Qt
// has an assistive tool to pass it on to (Qt drops events while none is
// connected, as on the offscreen platform the tests run on). An empty
// watcher stops it.
using TAccessibleEventWatcher = std::function<void(QAccessibleEvent& event)>;
void SetAccessibleEventWatcher(TAccessibleEventWatcher watcher);

// For components that bring their own interfaces (the grid): true while an
// announcement has anyone to reach, a tool through Qt or the watcher, so
// that nothing is built while nobody listens; and the announcement itself,
// to the watcher and, while a tool listens, to Qt.
bool AccessibleListening();
void AnnounceAccessibleEvent(QAccessibleEvent& event);
