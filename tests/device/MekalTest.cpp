#include "Application.h"
#include "StandInDevices.h"
#include "mekalcallerid_TLB.h"

#include <QFile>
#include <QImage>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// Handlers as a window declares them, bound by name like a stored layout.
class Handlers : public QObject {
    Q_OBJECT
public:
    QStringList Log;
    QObject* LastSender = nullptr;

    Q_INVOKABLE void Mekal1CallerID(QObject* ASender, WideString DeviceID, WideString Line,
                                    WideString PhoneNumber, WideString DateTime,
                                    WideString OtherText) {
        LastSender = ASender;
        Log.append(
            QStringList({"call", DeviceID, Line, PhoneNumber, DateTime, OtherText}).join(u'|'));
    }
    Q_INVOKABLE void Mekal1SignalA(QObject* ASender, WideString Level1, WideString Level2,
                                   WideString Level3, WideString Level4, WideString Level5,
                                   WideString Level6, WideString Level7, WideString Level8) {
        LastSender = ASender;
        Log.append(
            QStringList({"signal", Level1, Level2, Level3, Level4, Level5, Level6, Level7, Level8})
                .join(u'|'));
    }
};

// A control that has events but lacks IMekal.
class NoInterfaceControl : public TOleObject, public IEventSource {
public:
    static inline IEventSink* Sink = nullptr;
    void* QueryInterface(const QUuid& iid) override {
        return iid == IID_IEventSource ? static_cast<IEventSource*>(this) : nullptr;
    }
    void Advise(const QUuid&, IEventSink* sink) override { Sink = sink; }
};

class MekalTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterDeviceClasses();
        FHad = qEnvironmentVariableIsSet("CALLERID_DEVICE");
        FOld = qgetenv("CALLERID_DEVICE");
    }
    void TearDown() override {
        RegisterDeviceClasses();
        if (FHad)
            qputenv("CALLERID_DEVICE", FOld);
        else
            qunsetenv("CALLERID_DEVICE");
    }
    void UseScript(const QByteArray& text) {
        const QString path = FDir.filePath(QStringLiteral("devices.txt"));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
        qputenv("CALLERID_DEVICE", (QStringLiteral("script:") + path).toLocal8Bit());
    }

    QTemporaryDir FDir;
    bool FHad = false;
    QByteArray FOld;
};

} // namespace

TEST_F(MekalTest, IsASmallRegisteredControl) {
    std::unique_ptr<QObject> object(CreateComponent("TMekal", nullptr));
    auto* mekal = qobject_cast<TMekal*>(object.get());
    ASSERT_NE(mekal, nullptr);
    EXPECT_EQ(mekal->Width(), 26);
    EXPECT_EQ(mekal->Height(), 26);
    for (const char* name : {"OnActivate", "OnClick", "OnCreate", "OnDblClick", "OnDestroy",
                             "OnDeactivate", "OnKeyPress", "OnPaint", "OnCallerID", "OnSignalA"})
        EXPECT_TRUE(mekal->HasEvent(name)) << name;

    // The persisted block is kept as it was given, byte for byte.
    const QByteArray block(243, '\xA5');
    EXPECT_TRUE(mekal->setProperty("ControlData", block));
    EXPECT_EQ(mekal->property("ControlData").toByteArray(), block);

    // It paints its glyph over the whole of its area.
    QImage image(26, 26, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    mekal->render(&image);
    EXPECT_EQ(image.pixelColor(0, 0).alpha(), 255);
    EXPECT_NE(image.pixel(13, 16), image.pixel(0, 0)); // the device body
}

TEST_F(MekalTest, RoutesTheDeviceEventsToHandlersBoundByName) {
    UseScript("0 plug \"CID-4 USB\" 10234567\n"
              "5 signal 0 2 30 abc\n"
              // Texts reach the handler exactly as the device sent them.
              "10 call 10234567 3 \" 0532 123 45 67 \" \"09.12.2026 14:03:27\" \"Ağrı İli\"\n");
    TMekal mekal;
    Handlers handlers;
    ASSERT_TRUE(mekal.BindEvent("OnCallerID", &handlers, "Mekal1CallerID"));
    ASSERT_TRUE(mekal.BindEvent("OnSignalA", &handlers, "Mekal1SignalA"));
    EXPECT_FALSE(mekal.BindEvent("OnCallerID", &handlers, "Mekal1SignalA")); // wrong shape
    EXPECT_EQ(mekal.OnCallerID.HandlerName(), "Mekal1CallerID");

    mekal.SetDispatchProperty(DISPID_BoolProperty201, false);
    EXPECT_TRUE(mekal.QueryProperty(QStringLiteral("devicemodel")).isEmpty());
    mekal.Start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return handlers.Log.size() == 2; }, 2000));
    EXPECT_EQ(handlers.Log,
              QStringList({"signal|0|2|30|abc|0|0|0|0",
                           "call|10234567|3| 0532 123 45 67 |09.12.2026 14:03:27|Ağrı İli"}));
    EXPECT_EQ(handlers.LastSender, &mekal);
    EXPECT_EQ(mekal.QueryProperty(QStringLiteral("devicemodel")), "CID-4 USB");
    EXPECT_EQ(mekal.QueryProperty(QStringLiteral("serial")), "10234567");
    auto* standIn = dynamic_cast<TStandInMekal*>(mekal.OleObject());
    ASSERT_NE(standIn, nullptr);
    EXPECT_FALSE(standIn->Property201());
}

TEST_F(MekalTest, PassesOnTheControlsOwnFailures) {
    qputenv("CALLERID_DEVICE", "serial-port");
    TMekal mekal;
    try {
        mekal.Start();
        FAIL();
    } catch (const EOleError& e) {
        EXPECT_TRUE(e.Message().startsWith("CALLERID_DEVICE: unknown device 'serial-port'"));
    }
    EXPECT_THROW(mekal.SetDispatchProperty(150, true), EOleError);
    EXPECT_THROW(mekal.QueryProperty(QStringLiteral("DeviceModel")), EOleError);
}

TEST_F(MekalTest, AControlWithoutIMekalFailsAtTheFirstCall) {
    RegisterStandInClass(CLASS_Mekal, [] { return std::make_unique<NoInterfaceControl>(); });
    TMekal mekal; // creating it works: the interface is fetched at first use
    for (const auto& call : std::initializer_list<std::function<void()>>{
             [&] { mekal.Start(); }, [&] { mekal.QueryProperty(QStringLiteral("serial")); },
             [&] { mekal.SetDispatchProperty(DISPID_BoolProperty201, false); }}) {
        try {
            call();
            ADD_FAILURE() << "the call went through";
        } catch (const EOleSysError& e) {
            EXPECT_EQ(e.Message(), "Interface not supported");
        }
    }

    // Its events still arrive, including the ones without parameters and
    // the key press, whose key the handler may change.
    ASSERT_NE(NoInterfaceControl::Sink, nullptr);
    int clicks = 0;
    QStringList seen;
    mekal.OnClick = [&](QObject*) { ++clicks; };
    mekal.OnActivate = [&](QObject*) { seen.append("activate"); };
    mekal.OnPaint = [&](QObject*) { seen.append("paint"); };
    mekal.OnKeyPress = [&](QObject*, short& Key) {
        seen.append(QStringLiteral("key %1").arg(Key));
        Key = 0;
    };
    for (const int id : {DISPID_OnActivate, DISPID_OnClick, DISPID_OnPaint, 999}) {
        QVariantList none;
        NoInterfaceControl::Sink->Invoke(id, none);
    }
    QVariantList key{QVariant::fromValue<short>(65)};
    NoInterfaceControl::Sink->Invoke(DISPID_OnKeyPress, key);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(seen, QStringList({"activate", "paint", "key 65"}));
    EXPECT_EQ(key.value(0).toInt(), 0);

    // Short argument lists are read as empty texts, not past their end.
    QVariantList shortCall{QStringLiteral("dev")};
    mekal.OnCallerID = [&](QObject*, WideString d, WideString l, WideString, WideString,
                           WideString o) { seen.append(d + "/" + l + "/" + o); };
    NoInterfaceControl::Sink->Invoke(DISPID_OnCallerID, shortCall);
    EXPECT_EQ(seen.last(), "dev//");
}

TEST_F(MekalTest, AnUnregisteredClassFailsAtCreation) {
    UnregisterStandInClass(CLASS_Mekal);
    try {
        TMekal mekal;
        FAIL();
    } catch (const EOleSysError& e) {
        EXPECT_EQ(e.Message(), "Class not registered");
    }
    EXPECT_THROW(CreateOleObject(QUuid::createUuid()), EOleSysError);
}

TEST_F(MekalTest, StopsEventsWhenDestroyed) {
    UseScript("0 plug M S\n20 call d 1 111 t\n");
    Handlers handlers;
    {
        TMekal mekal;
        ASSERT_TRUE(mekal.BindEvent("OnCallerID", &handlers, "Mekal1CallerID"));
        mekal.Start();
    }
    QTest::qWait(50);
    EXPECT_TRUE(handlers.Log.isEmpty());
}

TEST_F(MekalTest, AHandlerMayReplaceItsOwnEvent) {
    UseScript("0 call d 1 111 t\n0 call d 2 222 t\n");
    TMekal mekal;
    QStringList first;
    QStringList second;
    int calls = 0;
    // Enough captures that the handler lives outside the event object, so
    // replacing it while it runs frees what it still reads.
    mekal.OnCallerID = [&first, &second, &calls, &mekal](QObject*, WideString, WideString Line,
                                                         WideString, WideString, WideString) {
        mekal.OnCallerID = [&second](QObject*, WideString, WideString Line, WideString, WideString,
                                     WideString) { second.append(Line); };
        first.append(Line);
        ++calls;
    };
    mekal.Start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return second.size() == 1; }, 2000));
    EXPECT_EQ(first, QStringList({"1"}));
    EXPECT_EQ(second, QStringList({"2"}));
    EXPECT_EQ(calls, 1);
}

// The window that hosts the control may be closed and freed by a handler;
// a failing handler reaches the application and the device goes on.
TEST_F(MekalTest, HandlersMayThrowOrDestroyTheControlWhateverTheLink) {
    QStringList handled;
    QObject owner;
    Application->AddExceptionHandler(
        &owner, [&handled](QObject*, const Exception& e) { handled.append(e.Message()); });

    UseScript("0 plug M S\n0 call d 1 111 t\n0 call d 2 222 t\n0 call d 3 333 t\n");
    QStringList lines;
    auto* scripted = new TMekal;
    QPointer<TMekal> scriptedAlive(scripted);
    scripted->OnCallerID = [&lines, scripted](QObject*, WideString, WideString Line, WideString,
                                              WideString, WideString) {
        lines.append(Line);
        if (lines.size() == 1) throw EConvertError(QStringLiteral("first call refused"));
        delete scripted;
    };
    scripted->Start();

    qputenv("CALLERID_DEVICE", "simulator:3");
    int levels = 0;
    auto* simulated = new TMekal;
    QPointer<TMekal> simulatedAlive(simulated);
    simulated->OnSignalA = [&levels, simulated](QObject*, WideString, WideString, WideString,
                                                WideString, WideString, WideString, WideString,
                                                WideString) {
        if (++levels == 1) throw EConvertError(QStringLiteral("first levels refused"));
        delete simulated;
    };
    simulated->Start();

    const bool gone = QTest::qWaitFor([&] { return !scriptedAlive && !simulatedAlive; }, 4000);
    QTest::qWait(120); // nothing more may arrive
    Application->RemoveExceptionHandlers(&owner);
    delete scriptedAlive.data();
    delete simulatedAlive.data();
    EXPECT_TRUE(gone);
    EXPECT_EQ(lines, QStringList({"1", "2"}));
    EXPECT_EQ(levels, 2);
    EXPECT_EQ(handled, QStringList({"first call refused", "first levels refused"}));
}

#include "MekalTest.moc"
