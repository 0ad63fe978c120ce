#pragma once
// The component model: component state seen by property setters, events as
// optional callbacks that a stored layout binds to handlers by name, and the
// class registry that layouts create their objects from.

#include "Exceptions.h"

#include <QByteArray>
#include <QMetaMethod>
#include <QObject>
#include <functional>
#include <memory>
#include <type_traits>
#include <vector>

using TObject = QObject;

enum TComponentStateFlag : unsigned {
    csLoading = 0x01,
    csReading = 0x02,
    csWriting = 0x04,
    csDestroying = 0x08,
    csDesigning = 0x10,
};

// An event property: empty, a callback set from code, or a handler method of
// another object bound by name when a layout is read. The handler's name is
// kept so a layout writer can store it again.
template <class... A> class TEvent {
public:
    using Fn = std::function<void(A...)>;

    TEvent() = default;
    TEvent& operator=(Fn fn) {
        FFn = std::move(fn);
        FHandlerName.clear();
        return *this;
    }
    explicit operator bool() const { return static_cast<bool>(FFn); }
    void operator()(A... args) const {
        if (!FFn) return;
        // Call through a copy: a handler may assign the event it runs from.
        const Fn fn = FFn;
        fn(args...);
    }
    const QByteArray& HandlerName() const { return FHandlerName; }
    void Clear() {
        FFn = nullptr;
        FHandlerName.clear();
    }

    // Binds the invokable method `method` of `target` whose parameter types
    // are exactly A...; false when there is no such method.
    bool Bind(QObject* target, const QByteArray& method) {
        const QMetaObject* meta = target->metaObject();
        for (int i = 0; i < meta->methodCount(); ++i) {
            const QMetaMethod m = meta->method(i);
            if (m.name() != method || m.parameterCount() != int(sizeof...(A))) continue;
            if (!ParametersMatch(m, std::index_sequence_for<A...>{})) continue;
            const int index = i;
            FFn = [target, index](A... args) {
                void* argv[] = {nullptr, const_cast<void*>(static_cast<const void*>(&args))...};
                QMetaObject::metacall(target, QMetaObject::InvokeMetaMethod, index, argv);
            };
            FHandlerName = method;
            return true;
        }
        return false;
    }

private:
    template <class T> static bool ParameterMatches(const QMetaMethod& m, int i) {
        const QMetaType want = QMetaType::fromType<std::remove_cvref_t<T>>();
        const QMetaType have = m.parameterMetaType(i);
        if (have.isValid()) return have == want;
        // A non-const reference (an in-out parameter) has no meta type of its
        // own; its declared name tells.
        return m.parameterTypeName(i) == QByteArray(want.name()) + '&';
    }
    template <std::size_t... I>
    static bool ParametersMatch(const QMetaMethod& m, std::index_sequence<I...>) {
        return (ParameterMatches<A>(m, int(I)) && ...);
    }

    Fn FFn;
    QByteArray FHandlerName;
};

using TNotifyEvent = TEvent<QObject*>;

// What every component shares besides its QObject: the component state and
// the table of its events for the layout reader and writer. Visual controls
// derive from QWidget and non-visual ones from QObject; both mix this in.
class TComponentBase {
public:
    virtual ~TComponentBase() = default;

    unsigned ComponentState() const { return FComponentState; }
    bool IsLoading() const { return FComponentState & csLoading; }
    bool IsReading() const { return FComponentState & csReading; }
    bool IsDesigning() const { return FComponentState & csDesigning; }
    void SetComponentStateFlags(unsigned flags, bool on) {
        FComponentState = on ? (FComponentState | flags) : (FComponentState & ~flags);
    }

    // Runs once after the layout that created the component has been read
    // completely (all properties set, all references resolved).
    virtual void Loaded() { SetComponentStateFlags(csLoading, false); }

    // A child object created from the layout inside this one: controls put
    // it on themselves, collections add it. Returns false when this
    // component does not take children of that kind.
    virtual bool ReadChild(QObject* child) {
        (void)child;
        return false;
    }

    // Runs once the layout reader has read the whole entry of a child that
    // ReadChild took (its properties set): a collection appends the child
    // here, in the order the entries stand, and may raise to refuse it
    // (having freed it), which the reader reports as its error. Complete is
    // false when reading the entry failed and the reader is about to raise
    // its error; a holder that would keep a half-read child frees it here.
    virtual void ChildRead(QObject* child, bool complete) {
        (void)child;
        (void)complete;
    }

    // The components a layout stores inside this one, in order: a window's
    // controls, a menu's items, a grid's columns.
    virtual std::vector<QObject*> StreamedChildren() const { return {}; }
    // True for a component that lives inside another component of the
    // layout (a menu item in its menu) rather than directly in the window.
    virtual bool HasParentComponent() const { return false; }
    // True for a component that exists only inside a holder that takes it
    // (a grid's column): the layout reader refuses it anywhere else, named
    // or not.
    virtual bool NeedsHolder() const { return false; }

    struct EventEntry {
        QByteArray Name;
        std::function<bool(QObject*, const QByteArray&)> Bind;
        std::function<QByteArray()> HandlerName;
    };
    const std::vector<EventEntry>& Events() const { return FEvents; }
    bool BindEvent(const QByteArray& name, QObject* target, const QByteArray& method) {
        for (const EventEntry& e : FEvents)
            if (e.Name == name) return e.Bind(target, method);
        return false;
    }
    bool HasEvent(const QByteArray& name) const {
        for (const EventEntry& e : FEvents)
            if (e.Name == name) return true;
        return false;
    }

protected:
    template <class... A> void RegisterEvent(const char* name, TEvent<A...>& event) {
        FEvents.push_back({QByteArray(name),
                           [&event](QObject* target, const QByteArray& method) {
                               return event.Bind(target, method);
                           },
                           [&event] { return event.HandlerName(); }});
    }

private:
    unsigned FComponentState = 0;
    std::vector<EventEntry> FEvents;
};

inline TComponentBase* AsComponent(QObject* object) {
    return dynamic_cast<TComponentBase*>(object);
}

// A plain non-visual component.
class TComponent : public QObject, public TComponentBase {
    Q_OBJECT
    Q_PROPERTY(int Tag READ Tag WRITE SetTag)
public:
    explicit TComponent(QObject* owner = nullptr) : QObject(owner) {}
    QObject* Owner() const { return parent(); }
    QString Name() const { return objectName(); }
    int Tag() const { return FTag; }
    void SetTag(int tag) { FTag = tag; }

private:
    int FTag = 0;
};

// The class registry: layouts name classes, the registry makes them. Each
// library registers its classes in one explicit function that the program
// calls at start, so nothing depends on static initialisation order.
using TComponentFactory = std::function<QObject*(QObject* owner)>;
void RegisterClass(const QByteArray& className, TComponentFactory factory);
bool IsClassRegistered(const QByteArray& className);
// Raises EReadError "Class %s not found" for an unknown name.
QObject* CreateComponent(const QByteArray& className, QObject* owner);

template <class T> void RegisterClass() {
    RegisterClass(T::staticMetaObject.className(),
                  [](QObject* owner) -> QObject* { return new T(owner); });
}

// Finds a named component anywhere below root (the root included).
QObject* FindComponent(QObject* root, const QString& name);
