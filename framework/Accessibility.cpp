#include "Accessibility.h"

#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "StdCtrls.h"

#include <QAccessibleValueInterface>
#include <QAccessibleWidget>
#include <algorithm>

namespace {

TAccessibleEventWatcher& Watcher() {
    static TAccessibleEventWatcher watcher;
    return watcher;
}

// A self-painted control: its name is the text it shows, unless the program
// gave it an accessible name of its own.
template <class TControlClass> class TAccessibleControl : public QAccessibleWidget {
public:
    TAccessibleControl(TControlClass* control, QAccessible::Role role)
        : QAccessibleWidget(control, role) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty()) return ShownName();
        return QAccessibleWidget::text(t);
    }

protected:
    TControlClass* Control() const { return static_cast<TControlClass*>(widget()); }
    // The text the control shows, without the blanks that pad a caption on
    // screen (group boxes' captions are set off from their frame so).
    virtual QString ShownName() const = 0;
};

class TAccessibleLabel final : public TAccessibleControl<TLabel> {
public:
    explicit TAccessibleLabel(TLabel* label) : TAccessibleControl(label, QAccessible::StaticText) {}

private:
    QString ShownName() const override { return Control()->Caption().trimmed(); }
};

class TAccessibleGroupBox final : public TAccessibleControl<TGroupBox> {
public:
    explicit TAccessibleGroupBox(TGroupBox* box) : TAccessibleControl(box, QAccessible::Grouping) {}

private:
    QString ShownName() const override { return Control()->Caption().trimmed(); }
};

class TAccessibleStatusBar final : public TAccessibleControl<TStatusBar> {
public:
    explicit TAccessibleStatusBar(TStatusBar* bar)
        : TAccessibleControl(bar, QAccessible::StatusBar) {}

private:
    QString ShownName() const override {
        return Control()->SimplePanel() ? Control()->SimpleText().trimmed() : QString();
    }
};

// A picture says what it is through its hint, if it has one.
class TAccessibleImage final : public TAccessibleControl<TImage> {
public:
    explicit TAccessibleImage(TImage* image) : TAccessibleControl(image, QAccessible::Graphic) {}

private:
    QString ShownName() const override { return Control()->Hint(); }
};

// The bar is drawn by a Qt progress bar inside the control; a tool hears
// of one bar, whose value is the position as drawn (clamped to the range).
class TAccessibleProgressBar final : public TAccessibleControl<TProgressBar>,
                                     public QAccessibleValueInterface {
public:
    explicit TAccessibleProgressBar(TProgressBar* bar)
        : TAccessibleControl(bar, QAccessible::ProgressBar) {}

    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }
    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value) return QString::number(Control()->DisplayedPosition());
        return TAccessibleControl::text(t);
    }

    QVariant currentValue() const override { return Control()->DisplayedPosition(); }
    // The bar shows what the program sets; a tool cannot move it.
    void setCurrentValue(const QVariant&) override {}
    QVariant maximumValue() const override { return std::max(Control()->Min(), Control()->Max()); }
    QVariant minimumValue() const override { return std::min(Control()->Min(), Control()->Max()); }
    QVariant minimumStepSize() const override { return 0; }

private:
    QString ShownName() const override { return {}; }
};

// Qt asks with each class name of the object, the most derived first; the
// framework answers only for its own classes by name, so a subclass that
// brings its own interface (the grid) is asked for it first.
QAccessibleInterface* FrameworkAccessible(const QString& className, QObject* object) {
    if (!object || !object->isWidgetType()) return nullptr;
    if (className == u"TLabel") return new TAccessibleLabel(qobject_cast<TLabel*>(object));
    if (className == u"TGroupBox") return new TAccessibleGroupBox(qobject_cast<TGroupBox*>(object));
    if (className == u"TProgressBar")
        return new TAccessibleProgressBar(qobject_cast<TProgressBar*>(object));
    if (className == u"TStatusBar")
        return new TAccessibleStatusBar(qobject_cast<TStatusBar*>(object));
    if (className == u"TImage") return new TAccessibleImage(qobject_cast<TImage*>(object));
    return nullptr;
}

} // namespace

void InstallAccessibleFactory() {
    static const bool installed = [] {
        QAccessible::installFactory(FrameworkAccessible);
        return true;
    }();
    (void)installed;
}

bool AccessibleListening() {
    return Watcher() || QAccessible::isActive();
}

void AnnounceAccessibleEvent(QAccessibleEvent& event) {
    if (const TAccessibleEventWatcher& watcher = Watcher()) watcher(event);
    // Qt asks the control for its interface to pass the event on; while no
    // tool listens there is nobody to tell.
    if (QAccessible::isActive()) QAccessible::updateAccessibility(&event);
}

void AccessibleNameChanged(QObject* control) {
    if (!AccessibleListening()) return;
    QAccessibleEvent event(control, QAccessible::NameChanged);
    AnnounceAccessibleEvent(event);
}

void AccessibleValueChanged(QObject* control, int value) {
    if (!AccessibleListening()) return;
    QAccessibleValueChangeEvent event(control, value);
    AnnounceAccessibleEvent(event);
}

void SetAccessibleEventWatcher(TAccessibleEventWatcher watcher) {
    Watcher() = std::move(watcher);
}
