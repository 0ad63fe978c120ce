#include "StandInDevices.h"

#include "Application.h"

#include <QRandomGenerator>
#include <algorithm>
#include <array>

namespace {

const QString SimulatedModel = QStringLiteral("CID-4 Simulator (simulated device)");

// Mobile operators' prefixes and the area codes of some large cities; each
// is followed by a seven-digit subscriber number and dialled with a leading 0.
constexpr std::array MobilePrefixes = {"501", "505", "506", "507", "530", "532", "533", "535",
                                       "536", "537", "538", "539", "541", "542", "543", "544",
                                       "545", "546", "552", "553", "554", "555"};
constexpr std::array AreaCodes = {"212", "216", "224", "232", "242", "262",
                                  "312", "322", "332", "352", "442", "462"};

QVariantList Texts(const QStringList& texts) {
    QVariantList list;
    list.reserve(texts.size());
    for (const QString& t : texts)
        list.append(t);
    return list;
}

} // namespace

// ---- TDeviceSimulator ----------------------------------------------------------

TDeviceSimulator::TDeviceSimulator(quint32 seed, const QDateTime& startTime,
                                   TDeviceEventFn sendEvent)
    : FRandom(seed), FStartTime(startTime), FSendEvent(std::move(sendEvent)) {
    FSerial = QStringLiteral("SIM") + Digits(7, '1');
}

TDeviceSimulator::~TDeviceSimulator() {
    *FAlive = false;
}

// The engine's output is fixed by the standard for a seed; the reduction
// below is ours, so the sequence is the same with every library.
quint32 TDeviceSimulator::Random(quint32 n) {
    return static_cast<quint32>(FRandom() % n);
}

// count digits, the first of them from first to 9.
QString TDeviceSimulator::Digits(int count, char first) {
    QString s;
    s.reserve(count);
    const int lowest = first - '0';
    s += QChar(u'0' + lowest + int(Random(quint32(10 - lowest))));
    for (int i = 1; i < count; ++i)
        s += QChar(u'0' + int(Random(10)));
    return s;
}

QString TDeviceSimulator::PhoneNumber() {
    if (Random(5) < 3)
        return QStringLiteral("0") +
               QLatin1String(MobilePrefixes[Random(quint32(MobilePrefixes.size()))]) + Digits(7);
    return QStringLiteral("0") + QLatin1String(AreaCodes[Random(quint32(AreaCodes.size()))]) +
           Digits(7, '2');
}

// A quiet line hums between 0 and 2, mostly 0; the ringing one reads 15-28.
int TDeviceSimulator::Level(int line, qint64 at) {
    if (line == FCallLine && at >= FNextCall - RingTime && at < FNextCall)
        return 15 + int(Random(14));
    const quint32 r = Random(10);
    return r < 6 ? 0 : r < 9 ? 1 : 2;
}

void TDeviceSimulator::ScheduleCall(qint64 after) {
    FNextCall = after + MinCallGap + Random(MaxCallGap - MinCallGap + 1);
    FCallLine = 1 + int(Random(4));
}

WideString TDeviceSimulator::Model() const {
    return FConnected ? SimulatedModel : WideString();
}

WideString TDeviceSimulator::Serial() const {
    return FConnected ? FSerial : WideString();
}

void TDeviceSimulator::Advance(qint64 ms) {
    const qint64 target = FNow + std::max<qint64>(ms, 0);
    // A handler may free the simulator (its host went away); this step then
    // ends without touching it again.
    const std::shared_ptr<const bool> alive = FAlive;
    for (;;) {
        if (!FConnected) {
            if (ConnectDelay > target) break;
            FNow = ConnectDelay;
            FConnected = true;
            ScheduleCall(FNow);
            continue;
        }
        const qint64 next = std::min(FNextSignal, FNextCall);
        if (next > target) break;
        FNow = next;
        // Each event is taken off the schedule before it is sent, so a
        // handler that throws neither loses nor repeats it.
        QVariantList args;
        int dispId;
        if (FNextSignal <= FNextCall) {
            for (int line = 1; line <= 4; ++line)
                args.append(QString::number(Level(line, FNow)));
            for (int line = 5; line <= 8; ++line)
                args.append(QStringLiteral("0"));
            FNextSignal += SignalInterval;
            dispId = DISPID_OnSignalA;
        } else {
            const QString number = PhoneNumber();
            args = Texts({FSerial, QString::number(FCallLine), number,
                          FStartTime.addMSecs(FNow).toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")),
                          QString()});
            ScheduleCall(FNow);
            dispId = DISPID_OnCallerID;
        }
        if (FSendEvent) FSendEvent(dispId, args);
        if (!*alive) return;
    }
    // A handler that stepped the clock again (from a nested event loop) may
    // have moved it past this step's end already.
    FNow = std::max(FNow, target);
}

// ---- TSimulatorLink --------------------------------------------------------------

TSimulatorLink::TSimulatorLink(quint32 seed, TDeviceEventFn sendEvent)
    : TDeviceLink(std::move(sendEvent)), FSeed(seed) {
    FTimer.setInterval(50);
    connect(&FTimer, &QTimer::timeout, this, &TSimulatorLink::Tick);
}

void TSimulatorLink::Open() {
    FSimulator = std::make_unique<TDeviceSimulator>(
        FSeed, QDateTime::currentDateTime(),
        [this](int dispId, QVariantList& args) { Emit(dispId, args); });
    FClock.start();
    FTimer.start();
}

void TSimulatorLink::Tick() {
    // The host's handlers run inside Advance; a failing one must not unwind
    // through Qt's timer delivery. The events not yet sent follow next tick.
    Guarded(this, [this] { FSimulator->Advance(FClock.elapsed() - FSimulator->Now()); });
}

WideString TSimulatorLink::Model() const {
    return FSimulator ? FSimulator->Model() : WideString();
}

WideString TSimulatorLink::Serial() const {
    return FSimulator ? FSimulator->Serial() : WideString();
}

// ---- TScriptLink -------------------------------------------------------------------

TScriptLink::TScriptLink(std::vector<ScriptEvent> events, TDeviceEventFn sendEvent)
    : TDeviceLink(std::move(sendEvent)), FEvents(std::move(events)) {
    FTimer.setSingleShot(true);
    FTimer.setTimerType(Qt::PreciseTimer);
    connect(&FTimer, &QTimer::timeout, this, &TScriptLink::PlayNext);
}

void TScriptLink::Open() {
    FClock.start();
    Arm();
}

void TScriptLink::Arm() {
    if (FStepped || FNext >= FEvents.size()) return;
    const qint64 wait = FEvents[FNext].Time - FClock.elapsed();
    FTimer.start(int(std::clamp<qint64>(wait, 0, FEvents[FNext].Time)));
}

void TScriptLink::Rewind() {
    FNext = 0;
    if (FStepped || !FClock.isValid()) return;
    FClock.start();
    Arm();
}

void TScriptLink::PlayNext() {
    // The next event is armed before this one is sent, so an exception from
    // the host's handler does not stop the script.
    const ScriptEvent event = FEvents[FNext++];
    Arm();
    // The host's handlers run inside Emit; a failing one must not unwind
    // through Qt's timer delivery.
    Guarded(this, [&] { Play(event); });
}

bool TScriptLink::Step() {
    FStepped = true;
    FTimer.stop();
    if (FNext >= FEvents.size()) return false;
    const ScriptEvent event = FEvents[FNext++];
    Guarded(this, [&] { Play(event); });
    return true;
}

void TScriptLink::Play(const ScriptEvent& event) {
    switch (event.Kind) {
    case sePlug:
        FModel = event.Args[0];
        FSerial = event.Args[1];
        break;
    case seUnplug:
        FModel.clear();
        FSerial.clear();
        break;
    case seCall:
        Emit(DISPID_OnCallerID, Texts(event.Args));
        break;
    case seSignal:
        Emit(DISPID_OnSignalA, Texts(event.Args));
        break;
    }
}

// ---- choosing the link ---------------------------------------------------------------

std::unique_ptr<TDeviceLink> CreateDeviceLink(const QString& form, TDeviceEventFn sendEvent) {
    if (form.isEmpty() || form == u"simulator")
        return std::make_unique<TSimulatorLink>(QRandomGenerator::global()->generate(),
                                                std::move(sendEvent));
    if (form.startsWith(u"simulator:")) {
        bool ok = false;
        const QString seed = form.mid(10);
        const uint value = seed.toUInt(&ok);
        // toUInt would take blanks and a sign; a seed is plain digits.
        if (!ok || seed.isEmpty() ||
            !std::all_of(seed.begin(), seed.end(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
            throw EOleError(QStringLiteral("CALLERID_DEVICE: '%1' is not a valid seed; "
                                           "use a number from 0 to 4294967295")
                                .arg(seed));
        return std::make_unique<TSimulatorLink>(value, std::move(sendEvent));
    }
    if (form.startsWith(u"script:")) {
        const QString path = form.mid(7);
        if (path.isEmpty())
            throw EOleError(QStringLiteral("CALLERID_DEVICE: script: needs a file name"));
        return std::make_unique<TScriptLink>(LoadDeviceScript(path), std::move(sendEvent));
    }
    if (form == u"none") return std::make_unique<TNoDeviceLink>(std::move(sendEvent));
    throw EOleError(QStringLiteral("CALLERID_DEVICE: unknown device '%1'; accepted forms: "
                                   "simulator, simulator:SEED, script:FILE, none")
                        .arg(form));
}

// ---- TStandInMekal ---------------------------------------------------------------------

void* TStandInMekal::QueryInterface(const QUuid& iid) {
    if (iid == IID_IMekal) return static_cast<IMekal*>(this);
    if (iid == IID_IEventSource) return static_cast<IEventSource*>(this);
    return nullptr;
}

void TStandInMekal::Start() {
    if (FLink) return;
    // The link is kept only once it has been made and opened, so a refused
    // Start leaves the control as it was and may be tried again.
    std::unique_ptr<TDeviceLink> link = CreateDeviceLink(qEnvironmentVariable("CALLERID_DEVICE"),
                                                         [this](int dispId, QVariantList& args) {
                                                             if (FSink) FSink->Invoke(dispId, args);
                                                         });
    link->Open();
    FLink = std::move(link);
}

WideString TStandInMekal::QueryProperty(const WideString& name) {
    if (name == u"devicemodel") return FLink ? FLink->Model() : WideString();
    if (name == u"serial") return FLink ? FLink->Serial() : WideString();
    throw EOleError(QStringLiteral("Unknown property '%1'").arg(name));
}

void TStandInMekal::SetBoolProperty(int dispId, bool value) {
    if (dispId != DISPID_BoolProperty201) throw EOleError(QStringLiteral("Member not found"));
    FProperty201 = value;
}

void TStandInMekal::Advise(const QUuid& eventIid, IEventSink* sink) {
    if (eventIid != DIID_IMekalEvents)
        throw EOleSysError(QStringLiteral("Interface not supported"));
    FSink = sink;
}

// ---- registration ----------------------------------------------------------------------

void RegisterDeviceClasses() {
    RegisterClass<TMekal>();
    RegisterStandInClass(CLASS_Mekal, [] { return std::make_unique<TStandInMekal>(); });
}
