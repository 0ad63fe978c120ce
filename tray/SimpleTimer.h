#pragma once
// A light timer without a window or component of its own: it calls a
// callback every so many milliseconds. All simple timers of the process run
// their system timers on one hidden shared object, which the first timer
// creates and the last one destroys.
//
// A system timer is known by the identity of the timer object that asked for
// it. A tick is delivered only to a timer that is alive and still has its
// system timer, so a tick that was already on its way when the timer was
// stopped or destroyed is dropped.

#include "Classes.h"
#include "SharedWindow.h"

#include <QObject>
#include <cstdint>
#include <map>
#include <vector>

class TSimpleTimer;

// A system timer's id: the address of the timer object that owns it.
using TTimerId = std::uintptr_t;

// Where the system timers come from: Qt's event loop unless a test installs
// a clock it moves by hand (TManualTimers).
class TTimerSource {
public:
    virtual ~TTimerSource() = default;
    // Starts the periodic timer id, replacing one of the same id; false when
    // the system gives none.
    virtual bool SetTimer(TTimerId id, unsigned interval) = 0;
    // Ends the timer id; harmless when it does not run.
    virtual void KillTimer(TTimerId id) = 0;
};

// Installs a timer source (null: back to Qt's) and returns the one before.
// Swap only while no simple timer runs.
TTimerSource* SetTimerSource(TTimerSource* source);

// The hidden shared object of the simple timers; Instance() is null while no
// simple timer lives.
class TSimpleTimerHandler : public QObject, public TSharedWindow<TSimpleTimerHandler> {
    Q_OBJECT
public:
    // Creates the handler on first use and counts a user.
    static void AcquireTimerWindow() { Acquire(); }
    // Removes a user, never below zero; at zero the handler goes.
    static void ReleaseTimerWindow() { Release(); }

    bool SetTimer(TSimpleTimer* timer, unsigned interval);
    void KillTimer(TSimpleTimer* timer);
    bool HasTimer(TTimerId id) const { return FRunning.count(id) != 0; }

    // A tick of the system timer id: the timer's callback runs if the timer
    // still has its system timer; any other id is dropped.
    void TimerMessage(TTimerId id);

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    friend class TSharedWindow<TSimpleTimerHandler>;
    TSimpleTimerHandler() = default;
    ~TSimpleTimerHandler() override;

    // Timers that have a system timer, by their id.
    std::map<TTimerId, TSimpleTimer*> FRunning;
    // Qt's timer ids for the running timers, both ways.
    std::map<int, TTimerId> FQtToId;
    std::map<TTimerId, int> FIdToQt;
};

class TSimpleTimer : public TObject {
    Q_OBJECT
public:
    // Interval 1000 ms, no callback.
    TSimpleTimer();
    TSimpleTimer(unsigned interval, TNotifyEvent::Fn onTimer);
    ~TSimpleTimer() override;

    TTimerId TimerId() const { return FTimerId; }

    // True only while the user wants the timer and a system timer was
    // obtained for it (or it is suspended, see SetInterval).
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool value);
    unsigned Interval() const { return FInterval; }
    // An equal value changes nothing. Otherwise a running timer restarts
    // with the new period, and 0 suspends it: it stays enabled without a
    // system timer until the interval becomes non-zero again.
    void SetInterval(unsigned value);
    // Clearing the callback of an enabled timer suspends it as interval 0 does.
    void SetOnTimer(TNotifyEvent::Fn onTimer);
    const TNotifyEvent& OnTimer() const { return FOnTimer; }

private:
    friend class TSimpleTimerHandler;
    bool StartTimer();
    void StopTimer(bool clearEnabled);
    void Tick();

    TTimerId FTimerId;
    bool FEnabled = false;
    unsigned FInterval;
    TNotifyEvent FOnTimer;
};

// A clock for tests: timers run only when the test moves time on.
class TManualTimers : public TTimerSource {
public:
    bool SetTimer(TTimerId id, unsigned interval) override;
    void KillTimer(TTimerId id) override;

    // Moves time on by ms, delivering every tick that falls due on the way
    // in the order of their times (timers due at the same time in the order
    // they were started).
    void Advance(unsigned ms);
    std::uint64_t Now() const { return FNow; }
    bool IsRunning(TTimerId id) const;
    // The period of a running timer; 0 when it does not run.
    unsigned Period(TTimerId id) const;
    std::size_t RunningCount() const { return FTimers.size(); }
    // Refuse new timers, as a system out of timers does.
    bool Refuse = false;

private:
    struct TEntry {
        TTimerId Id;
        unsigned Period;
        std::uint64_t Due;
        std::uint64_t Order;
    };
    std::vector<TEntry> FTimers;
    std::uint64_t FNow = 0;
    std::uint64_t FOrder = 0;
};

// Installs a timer source for the life of a scope.
class TTimerSourceScope {
public:
    explicit TTimerSourceScope(TTimerSource* source) : FPrevious(SetTimerSource(source)) {}
    ~TTimerSourceScope() { SetTimerSource(FPrevious); }
    TTimerSourceScope(const TTimerSourceScope&) = delete;
    TTimerSourceScope& operator=(const TTimerSourceScope&) = delete;

private:
    TTimerSource* FPrevious;
};
