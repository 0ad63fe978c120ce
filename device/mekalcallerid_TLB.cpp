#include "mekalcallerid_TLB.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <utility>

// ---- class registry ----------------------------------------------------------

namespace {
QHash<QUuid, TOleObjectFactory>& OleClasses() {
    static QHash<QUuid, TOleObjectFactory> classes;
    return classes;
}
} // namespace

void RegisterStandInClass(const QUuid& classId, TOleObjectFactory factory) {
    OleClasses().insert(classId, std::move(factory));
}

void UnregisterStandInClass(const QUuid& classId) {
    OleClasses().remove(classId);
}

std::unique_ptr<TOleObject> CreateOleObject(const QUuid& classId) {
    const auto it = OleClasses().constFind(classId);
    if (it == OleClasses().constEnd()) throw EOleSysError(QStringLiteral("Class not registered"));
    std::unique_ptr<TOleObject> object = (*it)();
    if (!object) throw EOleSysError(QStringLiteral("Class not registered"));
    return object;
}

// ---- TMekal ------------------------------------------------------------------

TMekal::TMekal(QObject* owner) : TWinControl(owner), FOleObject(CreateOleObject(CLASS_Mekal)) {
    SetBounds(FLeft, FTop, 26, 26);
    RegisterEvent("OnActivate", OnActivate);
    RegisterEvent("OnCreate", OnCreate);
    RegisterEvent("OnDestroy", OnDestroy);
    RegisterEvent("OnDeactivate", OnDeactivate);
    RegisterEvent("OnKeyPress", OnKeyPress);
    RegisterEvent("OnPaint", OnPaint);
    RegisterEvent("OnCallerID", OnCallerID);
    RegisterEvent("OnSignalA", OnSignalA);
    // A control without events is still usable through its interface, so
    // a missing event source is not an error.
    FEventSource = Supports<IEventSource>(FOleObject.get());
    if (FEventSource) FEventSource->Advise(DIID_IMekalEvents, this);
}

TMekal::~TMekal() {
    if (FEventSource) FEventSource->Advise(DIID_IMekalEvents, nullptr);
}

IMekal& TMekal::ControlInterface() {
    if (!FIntf) {
        FIntf = Supports<IMekal>(FOleObject.get());
        if (!FIntf) throw EOleSysError(QStringLiteral("Interface not supported"));
    }
    return *FIntf;
}

void TMekal::Start() {
    ControlInterface().Start();
}

WideString TMekal::QueryProperty(const WideString& Name) {
    return ControlInterface().QueryProperty(Name);
}

void TMekal::SetDispatchProperty(int dispId, bool value) {
    ControlInterface().SetBoolProperty(dispId, value);
}

void TMekal::Invoke(int dispId, QVariantList& args) {
    const auto text = [&args](int i) { return args.value(i).toString(); };
    switch (dispId) {
    case DISPID_OnKeyPress: {
        short key = static_cast<short>(args.value(0).toInt());
        DoKeyPress(key);
        if (args.isEmpty()) args.append(QVariant());
        args[0] = key;
        break;
    }
    case DISPID_OnCallerID:
        DoCallerID(text(0), text(1), text(2), text(3), text(4));
        break;
    case DISPID_OnSignalA:
        DoSignalA(text(0), text(1), text(2), text(3), text(4), text(5), text(6), text(7));
        break;
    default:
        // The events without parameters; DoNotifyEvent drops ids this host
        // does not know, as a sink drops members it does not implement.
        DoNotifyEvent(dispId);
        break;
    }
}

void TMekal::DoNotifyEvent(int dispId) {
    switch (dispId) {
    case DISPID_OnActivate:
        OnActivate(this);
        break;
    case DISPID_OnClick:
        Click();
        break;
    case DISPID_OnCreate:
        OnCreate(this);
        break;
    case DISPID_OnDblClick:
        DblClick();
        break;
    case DISPID_OnDestroy:
        OnDestroy(this);
        break;
    case DISPID_OnDeactivate:
        OnDeactivate(this);
        break;
    case DISPID_OnPaint:
        OnPaint(this);
        break;
    default:
        break;
    }
}

void TMekal::DoKeyPress(short& Key) {
    OnKeyPress(this, Key);
}

void TMekal::DoCallerID(const WideString& DeviceID, const WideString& Line,
                        const WideString& PhoneNumber, const WideString& DateTime,
                        const WideString& OtherText) {
    OnCallerID(this, DeviceID, Line, PhoneNumber, DateTime, OtherText);
}

void TMekal::DoSignalA(const WideString& Level1, const WideString& Level2, const WideString& Level3,
                       const WideString& Level4, const WideString& Level5, const WideString& Level6,
                       const WideString& Level7, const WideString& Level8) {
    OnSignalA(this, Level1, Level2, Level3, Level4, Level5, Level6, Level7, Level8);
}

// A small device glyph: a dark box with four line lamps and a cable, drawn
// to scale in whatever size the control has.
void TMekal::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal w = width();
    const qreal h = height();
    p.fillRect(rect(), ToQColor(EffectiveColor()));

    const QRectF body(w * 0.12, h * 0.34, w * 0.76, h * 0.52);
    p.setPen(QPen(QColor(0x20, 0x2A, 0x33), 1));
    p.setBrush(QColor(0x3C, 0x4A, 0x57));
    p.drawRoundedRect(body, 2.5, 2.5);

    // The cable leaves the box at the top.
    p.setPen(
        QPen(QColor(0x20, 0x2A, 0x33), qMax<qreal>(1.5, w * 0.07), Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(w * 0.5, body.top()), QPointF(w * 0.5, h * 0.1));

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x6C, 0xD2, 0x6C));
    const qreal lamp = qMax<qreal>(1.5, w * 0.09);
    for (int i = 0; i < 4; ++i) {
        const qreal cx = body.left() + body.width() * (i + 1) / 5.0;
        p.drawEllipse(QPointF(cx, body.center().y()), lamp / 2, lamp / 2);
    }
}
