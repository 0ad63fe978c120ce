#pragma once
// The caller-ID device control: its identities, its default interface
// IMekal, its events, and TMekal, the windowed control that the main window
// hosts. The control itself lives outside the tool; here it is reached
// through a small object model shaped like the one it was built for: objects
// are created by class id, answer QueryInterface, and send their events to a
// sink by dispatch id. Stand-in controls register under the class id.

#include "Classes.h"
#include "Controls.h"
#include "Strings.h"

#include <QByteArray>
#include <QUuid>
#include <QVariantList>
#include <functional>
#include <memory>

// ---- identities ------------------------------------------------------------

inline const QUuid CLASS_Mekal{QStringLiteral("{EEA18052-171F-4293-8598-AB6E1D7257B2}")};
inline const QUuid IID_IMekal{QStringLiteral("{0A16189E-10E9-4A76-8D2D-0A8F1AD4729A}")};
inline const QUuid DIID_IMekalEvents{QStringLiteral("{B6A36C9A-2DC9-4CEF-AF6E-D6DDD2F91CC4}")};
// The object model's own interface for connecting an event sink.
inline const QUuid IID_IEventSource{QStringLiteral("{13B43B27-A7E1-4628-BA42-8A6FFFAACE01}")};

// Dispatch ids of the events.
constexpr int DISPID_OnActivate = 201;
constexpr int DISPID_OnClick = 202;
constexpr int DISPID_OnCreate = 203;
constexpr int DISPID_OnDblClick = 204;
constexpr int DISPID_OnDestroy = 205;
constexpr int DISPID_OnDeactivate = 206;
constexpr int DISPID_OnKeyPress = 207; // Key: 16-bit, in-out
constexpr int DISPID_OnPaint = 208;
constexpr int DISPID_OnCallerID = 209; // DeviceID, Line, PhoneNumber, DateTime, OtherText
constexpr int DISPID_OnSignalA = 210;  // Level1 .. Level8

// The Boolean property that the host clears before it starts the control.
constexpr int DISPID_BoolProperty201 = 201;

// ---- object model ----------------------------------------------------------

// Every object made by class id. QueryInterface answers a pointer to the
// asked interface, or nullptr when the object does not have it; the pointer
// lives as long as the object.
class TOleObject {
public:
    virtual ~TOleObject() = default;
    virtual void* QueryInterface(const QUuid& iid) = 0;
};

template <class I> I* Supports(TOleObject* object) {
    return object ? static_cast<I*>(object->QueryInterface(I::IID())) : nullptr;
}

// Receives the events of an object by dispatch id. Arguments are passed in
// the order of the event's parameters; an in-out argument is changed in
// place and read back by the object after the call.
class IEventSink {
public:
    virtual void Invoke(int dispId, QVariantList& args) = 0;

protected:
    ~IEventSink() = default;
};

// Connects a sink to the events of one event interface. One sink per
// interface; Advise with nullptr disconnects. An unknown event interface
// raises EOleSysError.
class IEventSource {
public:
    static const QUuid& IID() { return IID_IEventSource; }
    virtual void Advise(const QUuid& eventIid, IEventSink* sink) = 0;

protected:
    ~IEventSource() = default;
};

// The device control's default interface. Every failure raises EOleError
// with the control's own description.
class IMekal {
public:
    static const QUuid& IID() { return IID_IMekal; }
    virtual void Start() = 0;
    virtual WideString QueryProperty(const WideString& name) = 0;
    // A dispatch property put of a Boolean property.
    virtual void SetBoolProperty(int dispId, bool value) = 0;

protected:
    ~IMekal() = default;
};

// The classes that can be created by class id. Registering an id again
// replaces its factory.
using TOleObjectFactory = std::function<std::unique_ptr<TOleObject>()>;
void RegisterStandInClass(const QUuid& classId, TOleObjectFactory factory);
void UnregisterStandInClass(const QUuid& classId);
// Raises EOleSysError "Class not registered" for an unknown class id.
std::unique_ptr<TOleObject> CreateOleObject(const QUuid& classId);

// Registers TMekal with the class registry and the stand-in device control
// under CLASS_Mekal. Called once at start by the program.
void RegisterDeviceClasses();

// ---- the windowed control --------------------------------------------------

using TMekalOnCallerID =
    TEvent<QObject*, WideString, WideString, WideString, WideString, WideString>;
using TMekalOnSignalA = TEvent<QObject*, WideString, WideString, WideString, WideString, WideString,
                               WideString, WideString, WideString>;
using TMekalOnKeyPress = TEvent<QObject*, short&>;

// Hosts one device control: creates it by class id when constructed, routes
// its events to the event properties below and passes calls on to IMekal,
// which is fetched at the first call and kept.
class TMekal : public TWinControl, private IEventSink {
    Q_OBJECT
    // The control's persisted design-time state (243 bytes). The host keeps
    // it with the window and never reads it.
    Q_PROPERTY(QByteArray ControlData READ ControlData WRITE SetControlData)
public:
    // Raises EOleSysError when the control cannot be created.
    explicit TMekal(QObject* owner = nullptr);
    ~TMekal() override;

    void Start();
    WideString QueryProperty(const WideString& Name);
    void SetDispatchProperty(int dispId, bool value);

    // The default interface; "Interface not supported" when the object
    // lacks it.
    IMekal& ControlInterface();
    TOleObject* OleObject() const { return FOleObject.get(); }

    const QByteArray& ControlData() const { return FControlData; }
    void SetControlData(const QByteArray& data) { FControlData = data; }

    // Events by dispatch id; 202 and 204 are the control's own OnClick and
    // OnDblClick.
    TNotifyEvent OnActivate;
    TNotifyEvent OnCreate;
    TNotifyEvent OnDestroy;
    TNotifyEvent OnDeactivate;
    TMekalOnKeyPress OnKeyPress;
    TNotifyEvent OnPaint;
    TMekalOnCallerID OnCallerID;
    TMekalOnSignalA OnSignalA;

protected:
    // Dispatch methods: each calls its handler only when one is assigned.
    // DoNotifyEvent serves the events without parameters.
    virtual void DoNotifyEvent(int dispId);
    virtual void DoKeyPress(short& Key);
    virtual void DoCallerID(const WideString& DeviceID, const WideString& Line,
                            const WideString& PhoneNumber, const WideString& DateTime,
                            const WideString& OtherText);
    virtual void DoSignalA(const WideString& Level1, const WideString& Level2,
                           const WideString& Level3, const WideString& Level4,
                           const WideString& Level5, const WideString& Level6,
                           const WideString& Level7, const WideString& Level8);

    void paintEvent(QPaintEvent* event) override;

private:
    void Invoke(int dispId, QVariantList& args) override;

    std::unique_ptr<TOleObject> FOleObject;
    IEventSource* FEventSource = nullptr;
    IMekal* FIntf = nullptr;
    QByteArray FControlData;
};
