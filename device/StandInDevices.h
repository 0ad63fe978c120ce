#pragma once
// The stand-in device control registered under CLASS_Mekal, and the links it
// can be connected to. The link is chosen when the control is started, from
// the environment variable CALLERID_DEVICE:
//
//   simulator, or unset   a simulated four-line device (random calls)
//   simulator:SEED        the same, repeatable: one seed, one run
//   script:FILE           plays a timed device script (DeviceScript.h)
//   none                  no device is ever connected
//
// Everything runs on the thread that created the control: clocks are Qt
// timers, so events reach the host from the event loop, and an exception
// thrown by a host's handler travels up to the application's event loop.
// A handler may free the control while it handles an event: the rest of
// what fell due then is dropped.

#include "DeviceScript.h"
#include "mekalcallerid_TLB.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>
#include <random>
#include <utility>
#include <vector>

// Sends one event of the device, by dispatch id, to the host.
using TDeviceEventFn = std::function<void(int dispId, QVariantList& args)>;

// What the control talks to once started. A link knows whether a device is
// connected (a non-empty model) and sends the device's events.
class TDeviceLink : public QObject {
    Q_OBJECT
public:
    explicit TDeviceLink(TDeviceEventFn sendEvent) : FSendEvent(std::move(sendEvent)) {}
    // Starts the link's clock; events follow from the event loop.
    virtual void Open() = 0;
    virtual WideString Model() const = 0;
    virtual WideString Serial() const = 0;

protected:
    void Emit(int dispId, QVariantList args) {
        if (FSendEvent) FSendEvent(dispId, args);
    }

private:
    TDeviceEventFn FSendEvent;
};

// The simulated device, on a clock of its own that only Advance moves, so
// the same seed and the same steps give the same events. It connects
// ConnectDelay ms after its start, then reports the four lines' levels every
// SignalInterval ms and raises a call every few seconds on a random line,
// which rings (a high level) for RingTime ms before its call.
class TDeviceSimulator {
public:
    static constexpr int ConnectDelay = 1000;
    static constexpr int SignalInterval = 500;
    static constexpr int RingTime = 2000;
    static constexpr int MinCallGap = 3000;
    static constexpr int MaxCallGap = 8000;

    // startTime is the wall-clock time of the clock's zero; the calls' date
    // and time texts count from it.
    TDeviceSimulator(quint32 seed, const QDateTime& startTime, TDeviceEventFn sendEvent);
    ~TDeviceSimulator();
    TDeviceSimulator(const TDeviceSimulator&) = delete;
    TDeviceSimulator& operator=(const TDeviceSimulator&) = delete;

    // Moves the clock on by ms and sends every event that falls due, in
    // time order. If the host throws, the events sent stay sent and the rest
    // follow at the next step; a handler may step the clock again or free
    // the simulator.
    void Advance(qint64 ms);
    qint64 Now() const { return FNow; }

    bool Connected() const { return FConnected; }
    WideString Model() const;
    WideString Serial() const;

private:
    quint32 Random(quint32 n); // 0 .. n-1
    QString Digits(int count, char first = '0');
    QString PhoneNumber();
    int Level(int line, qint64 at);
    void ScheduleCall(qint64 after);

    std::mt19937 FRandom;
    QDateTime FStartTime;
    TDeviceEventFn FSendEvent;
    QString FSerial;
    qint64 FNow = 0;
    bool FConnected = false;
    qint64 FNextSignal = ConnectDelay;
    qint64 FNextCall = 0;
    int FCallLine = 1;
    // Cleared when the simulator is freed; a step in progress holds a share.
    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};

// Drives the simulator by the real clock.
class TSimulatorLink : public TDeviceLink {
    Q_OBJECT
public:
    TSimulatorLink(quint32 seed, TDeviceEventFn sendEvent);
    void Open() override;
    WideString Model() const override;
    WideString Serial() const override;

private:
    void Tick();

    quint32 FSeed;
    std::unique_ptr<TDeviceSimulator> FSimulator;
    QElapsedTimer FClock;
    QTimer FTimer;
};

// Plays a parsed script: each event at its time after Open, in file order.
// plug and unplug change what the link reports; call and signal are sent.
class TScriptLink : public TDeviceLink {
    Q_OBJECT
public:
    TScriptLink(std::vector<ScriptEvent> events, TDeviceEventFn sendEvent);
    void Open() override;
    WideString Model() const override { return FModel; }
    WideString Serial() const override { return FSerial; }
    // Events played so far.
    std::size_t Played() const { return FNext; }
    std::size_t EventCount() const { return FEvents.size(); }

    // Plays the next event now, whatever its time, and stops the script's
    // clock: from then on the script moves only by Step, so a host that
    // keeps its own time (a test, a soak run) decides when each event
    // comes. False, playing nothing, once every event has been played.
    bool Step();
    // Goes back to the first event (the plugged device, if any, stays
    // until the script says otherwise), so a script can be played again:
    // by Step, or on the script's own clock, which then counts its times
    // from the rewind as it did from Open.
    void Rewind();

private:
    void PlayNext();
    void Play(const ScriptEvent& event);
    void Arm();

    std::vector<ScriptEvent> FEvents;
    std::size_t FNext = 0;
    QString FModel;
    QString FSerial;
    QElapsedTimer FClock;
    QTimer FTimer;
    bool FStepped = false;
};

// No device, ever.
class TNoDeviceLink : public TDeviceLink {
    Q_OBJECT
public:
    using TDeviceLink::TDeviceLink;
    void Open() override {}
    WideString Model() const override { return {}; }
    WideString Serial() const override { return {}; }
};

// Makes the link that a CALLERID_DEVICE value names ("" counts as
// "simulator"). A script is read and checked completely here, so a bad one
// is refused before anything of it plays. Raises EOleError otherwise.
std::unique_ptr<TDeviceLink> CreateDeviceLink(const QString& form, TDeviceEventFn sendEvent);

// The stand-in device control. Until Start it answers as an unconnected
// device; Start reads CALLERID_DEVICE and opens the link it names. A second
// Start while the link runs changes nothing, so showing the host window
// again does not restart the device.
class TStandInMekal final : public TOleObject, public IMekal, public IEventSource {
public:
    TStandInMekal() = default;

    void* QueryInterface(const QUuid& iid) override;

    void Start() override;
    // "devicemodel" and "serial"; both empty while no device is connected.
    WideString QueryProperty(const WideString& name) override;
    // Only property 201 exists. The stand-in keeps its value; it does not
    // change how the device behaves.
    void SetBoolProperty(int dispId, bool value) override;
    void Advise(const QUuid& eventIid, IEventSink* sink) override;

    bool Property201() const { return FProperty201; }
    TDeviceLink* Link() const { return FLink.get(); }

private:
    std::unique_ptr<TDeviceLink> FLink;
    IEventSink* FSink = nullptr;
    bool FProperty201 = true;
};
