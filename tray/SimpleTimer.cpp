#include "SimpleTimer.h"

#include "Application.h"

#include <QTimerEvent>
#include <algorithm>
#include <climits>

namespace {

TTimerSource* CurrentSource = nullptr;

} // namespace

TTimerSource* SetTimerSource(TTimerSource* source) {
    TTimerSource* previous = CurrentSource;
    CurrentSource = source;
    return previous;
}

// ------------------------------------------------------ TSimpleTimerHandler

TSimpleTimerHandler::~TSimpleTimerHandler() {
    for (const auto& [id, qtId] : FIdToQt)
        QObject::killTimer(qtId);
    if (CurrentSource)
        for (const auto& [id, timer] : FRunning)
            CurrentSource->KillTimer(id);
}

bool TSimpleTimerHandler::SetTimer(TSimpleTimer* timer, unsigned interval) {
    const TTimerId id = timer->TimerId();
    bool ok = false;
    if (CurrentSource) {
        ok = CurrentSource->SetTimer(id, interval);
    } else {
        // A new period replaces the timer of the same id.
        if (const auto it = FIdToQt.find(id); it != FIdToQt.end()) {
            QObject::killTimer(it->second);
            FQtToId.erase(it->second);
            FIdToQt.erase(it);
        }
        const int qtId = interval <= unsigned(INT_MAX) ? startTimer(int(interval)) : 0;
        if (qtId != 0) {
            FQtToId[qtId] = id;
            FIdToQt[id] = qtId;
            ok = true;
        }
    }
    if (ok)
        FRunning[id] = timer;
    else
        FRunning.erase(id);
    return ok;
}

void TSimpleTimerHandler::KillTimer(TSimpleTimer* timer) {
    const TTimerId id = timer->TimerId();
    FRunning.erase(id);
    if (CurrentSource) CurrentSource->KillTimer(id);
    if (const auto it = FIdToQt.find(id); it != FIdToQt.end()) {
        QObject::killTimer(it->second);
        FQtToId.erase(it->second);
        FIdToQt.erase(it);
    }
}

void TSimpleTimerHandler::TimerMessage(TTimerId id) {
    const auto it = FRunning.find(id);
    if (it == FRunning.end()) return;
    it->second->Tick();
}

void TSimpleTimerHandler::timerEvent(QTimerEvent* event) {
    const auto it = FQtToId.find(event->timerId());
    if (it == FQtToId.end()) return;
    const TTimerId id = it->second;
    // The tick runs the timer's callback; its failure must not unwind
    // through Qt's timer delivery.
    Guarded(this, [this, id] { TimerMessage(id); });
}

// ------------------------------------------------------------- TSimpleTimer

TSimpleTimer::TSimpleTimer() : TSimpleTimer(1000, nullptr) {}

TSimpleTimer::TSimpleTimer(unsigned interval, TNotifyEvent::Fn onTimer)
    : FTimerId(reinterpret_cast<TTimerId>(this)), FInterval(interval) {
    SetOnTimer(std::move(onTimer));
    TSimpleTimerHandler::AcquireTimerWindow();
}

TSimpleTimer::~TSimpleTimer() {
    StopTimer(true);
    TSimpleTimerHandler::ReleaseTimerWindow();
}

bool TSimpleTimer::StartTimer() {
    if (FInterval == 0) return false;
    if (FEnabled) StopTimer(true);
    TSimpleTimerHandler* handler = TSimpleTimerHandler::Instance();
    const bool ok = handler && handler->SetTimer(this, FInterval);
    if (ok) FEnabled = true;
    return ok;
}

void TSimpleTimer::StopTimer(bool clearEnabled) {
    if (clearEnabled) FEnabled = false;
    if (TSimpleTimerHandler* handler = TSimpleTimerHandler::Instance()) handler->KillTimer(this);
}

void TSimpleTimer::SetEnabled(bool value) {
    if (value)
        StartTimer();
    else
        StopTimer(true);
}

void TSimpleTimer::SetInterval(unsigned value) {
    if (value == FInterval) return;
    FInterval = value;
    if (!FEnabled) return;
    if (value != 0)
        StartTimer();
    else
        StopTimer(false);
}

void TSimpleTimer::SetOnTimer(TNotifyEvent::Fn onTimer) {
    FOnTimer = std::move(onTimer);
    if (!FOnTimer && FEnabled) StopTimer(false);
}

void TSimpleTimer::Tick() {
    // The callback may free this timer; it runs from a copy.
    const TNotifyEvent handler = FOnTimer;
    handler(this);
}

// ------------------------------------------------------------ TManualTimers

bool TManualTimers::SetTimer(TTimerId id, unsigned interval) {
    if (Refuse) return false;
    KillTimer(id);
    const unsigned period = std::max(1u, interval);
    FTimers.push_back({id, period, FNow + period, FOrder++});
    return true;
}

void TManualTimers::KillTimer(TTimerId id) {
    std::erase_if(FTimers, [id](const TEntry& e) { return e.Id == id; });
}

bool TManualTimers::IsRunning(TTimerId id) const {
    return std::any_of(FTimers.begin(), FTimers.end(),
                       [id](const TEntry& e) { return e.Id == id; });
}

unsigned TManualTimers::Period(TTimerId id) const {
    for (const TEntry& e : FTimers)
        if (e.Id == id) return e.Period;
    return 0;
}

void TManualTimers::Advance(unsigned ms) {
    const std::uint64_t target = FNow + ms;
    for (;;) {
        // Ticks may start, stop or free timers, so the next one is looked
        // for afresh each time.
        const auto next =
            std::min_element(FTimers.begin(), FTimers.end(), [](const TEntry& a, const TEntry& b) {
                return a.Due != b.Due ? a.Due < b.Due : a.Order < b.Order;
            });
        if (next == FTimers.end() || next->Due > target) break;
        FNow = next->Due;
        next->Due += next->Period;
        const TTimerId id = next->Id;
        if (TSimpleTimerHandler* handler = TSimpleTimerHandler::Instance())
            handler->TimerMessage(id);
    }
    FNow = target;
}
