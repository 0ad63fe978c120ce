#include "StandInDevices.h"
#include "Application.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// One event as the host received it.
struct Received {
    qint64 At; // ms on the sender's clock
    int DispId;
    QStringList Args;
    friend bool operator==(const Received&, const Received&) = default;
};

void PrintTo(const Received& r, std::ostream* os) {
    *os << r.At << " ms, " << r.DispId << ": " << r.Args.join(u'|').toStdString();
}

QStringList ToTexts(const QVariantList& args) {
    QStringList texts;
    for (const QVariant& v : args)
        texts.append(v.toString());
    return texts;
}

// Sets CALLERID_DEVICE for one test and puts the old value back.
class DeviceEnvironment {
public:
    DeviceEnvironment()
        : FHad(qEnvironmentVariableIsSet("CALLERID_DEVICE")), FOld(qgetenv("CALLERID_DEVICE")) {}
    ~DeviceEnvironment() {
        if (FHad)
            qputenv("CALLERID_DEVICE", FOld);
        else
            qunsetenv("CALLERID_DEVICE");
    }
    void Set(const QString& value) { qputenv("CALLERID_DEVICE", value.toLocal8Bit()); }
    void Unset() { qunsetenv("CALLERID_DEVICE"); }

private:
    bool FHad;
    QByteArray FOld;
};

QString WriteScript(const QTemporaryDir& dir, const QByteArray& text) {
    const QString path = dir.filePath(QStringLiteral("devices.txt"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return {};
    file.write(text);
    return path;
}

class Sink : public IEventSink {
public:
    std::vector<Received> Events;
    QElapsedTimer Clock;
    void Invoke(int dispId, QVariantList& args) override {
        Events.push_back({Clock.elapsed(), dispId, ToTexts(args)});
    }
};

// ---- simulator, on its own clock ----------------------------------------------------

const QDateTime SimStart(QDate(2026, 12, 9), QTime(14, 3, 0));

std::vector<Received> RunSimulator(quint32 seed, const std::vector<qint64>& steps,
                                   QString* serial = nullptr) {
    std::vector<Received> events;
    const TDeviceSimulator* clock = nullptr;
    TDeviceSimulator sim(seed, SimStart, [&events, &clock](int dispId, QVariantList& args) {
        events.push_back({clock->Now(), dispId, ToTexts(args)});
    });
    clock = &sim;
    for (const qint64 step : steps)
        sim.Advance(step);
    if (serial) *serial = sim.Serial();
    return events;
}

std::vector<qint64> Steps(qint64 total, qint64 step) {
    std::vector<qint64> steps(std::size_t(total / step), step);
    steps.push_back(total % step);
    return steps;
}

} // namespace

TEST(DeviceSimulator, ConnectsAfterOneSecondAndIsQuietBefore) {
    std::vector<Received> events;
    TDeviceSimulator sim(1, SimStart, [&](int dispId, QVariantList& args) {
        events.push_back({sim.Now(), dispId, ToTexts(args)});
    });
    sim.Advance(999);
    EXPECT_FALSE(sim.Connected());
    EXPECT_TRUE(sim.Model().isEmpty());
    EXPECT_TRUE(sim.Serial().isEmpty());
    EXPECT_TRUE(events.empty());

    sim.Advance(1);
    EXPECT_TRUE(sim.Connected());
    EXPECT_TRUE(sim.Model().contains(QStringLiteral("simulated")));
    EXPECT_FALSE(sim.Serial().isEmpty());
    ASSERT_EQ(events.size(), 1u); // the first level report comes with the connection
    EXPECT_EQ(events[0].DispId, DISPID_OnSignalA);
    EXPECT_EQ(events[0].At, 1000);
}

TEST(DeviceSimulator, SameSeedSameRunWhateverTheSteps) {
    const std::vector<Received> once = RunSimulator(42, {120000});
    const std::vector<Received> small = RunSimulator(42, Steps(120000, 37));
    EXPECT_GT(once.size(), 200u);
    EXPECT_EQ(once, small);
    EXPECT_NE(once, RunSimulator(43, {120000}));
}

TEST(DeviceSimulator, ReportsRealisticLevelsAndCalls) {
    const qint64 total = 10 * 60 * 1000;
    QString serial;
    const std::vector<Received> events = RunSimulator(7, {total}, &serial);

    std::vector<Received> calls;
    std::vector<Received> levels;
    for (const Received& e : events)
        (e.DispId == DISPID_OnCallerID ? calls : levels).push_back(e);
    ASSERT_EQ(levels.size() + calls.size(), events.size());

    // A level report every 500 ms from the connection on.
    ASSERT_EQ(levels.size(), std::size_t((total - 1000) / 500 + 1));
    for (std::size_t i = 0; i < levels.size(); ++i)
        EXPECT_EQ(levels[i].At, 1000 + qint64(i) * 500);

    // A call every 3 to 8 seconds, on lines 1-4, with Turkish numbers.
    ASSERT_GE(calls.size(), std::size_t(total / 8000 - 1));
    const QRegularExpression number(QStringLiteral("^0(5\\d{2}|[2-4]\\d{2})[0-9]{7}$"));
    QSet<QString> lines;
    qint64 previous = 1000;
    for (const Received& c : calls) {
        ASSERT_EQ(c.Args.size(), 5);
        EXPECT_EQ(c.Args[0], serial);
        lines.insert(c.Args[1]);
        EXPECT_TRUE(number.match(c.Args[2]).hasMatch()) << c.Args[2].toStdString();
        EXPECT_EQ(c.Args[3],
                  SimStart.addMSecs(c.At).toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")));
        EXPECT_GE(c.At - previous, TDeviceSimulator::MinCallGap);
        EXPECT_LE(c.At - previous, TDeviceSimulator::MaxCallGap);
        previous = c.At;
    }
    EXPECT_EQ(lines, QSet<QString>({"1", "2", "3", "4"}));

    // The ringing line reads high in the two seconds before its call; every
    // other level is between 0 and 2; lines 5-8 read "0".
    for (const Received& s : levels) {
        ASSERT_EQ(s.Args.size(), 8);
        int ringing = 0;
        for (const Received& c : calls)
            if (s.At >= c.At - TDeviceSimulator::RingTime && s.At < c.At)
                ringing = c.Args[1].toInt();
        for (int line = 1; line <= 4; ++line) {
            bool ok = false;
            const int level = s.Args[line - 1].toInt(&ok);
            ASSERT_TRUE(ok);
            if (line == ringing) {
                EXPECT_GE(level, 15);
                EXPECT_LE(level, 28);
            } else {
                EXPECT_GE(level, 0);
                EXPECT_LE(level, 2);
            }
        }
        for (int i = 4; i < 8; ++i)
            EXPECT_EQ(s.Args[i], "0");
    }
}

TEST(DeviceSimulator, AHandlerThatThrowsLosesAndRepeatsNothing) {
    const std::vector<Received> expected = RunSimulator(99, {30000});
    std::vector<Received> events;
    int throws = 0;
    TDeviceSimulator sim(99, SimStart, [&](int dispId, QVariantList& args) {
        events.push_back({sim.Now(), dispId, ToTexts(args)});
        if (dispId == DISPID_OnCallerID && throws < 3) {
            ++throws;
            throw EOleError(QStringLiteral("handler failed"));
        }
    });
    while (sim.Now() < 30000) {
        try {
            sim.Advance(std::min<qint64>(1000, 30000 - sim.Now()));
        } catch (const EOleError&) {
        }
    }
    EXPECT_EQ(throws, 3);
    EXPECT_EQ(events, expected);
}

TEST(DeviceSimulator, AHandlerMayDeleteItOrStepItAgainMidEvent) {
    // Deleted by the handler of its first event: the rest of the step is
    // dropped and nothing of the dead simulator is touched.
    int sent = 0;
    std::unique_ptr<TDeviceSimulator> doomed;
    doomed = std::make_unique<TDeviceSimulator>(5, SimStart, [&](int, QVariantList&) {
        ++sent;
        doomed.reset();
    });
    doomed->Advance(60000);
    EXPECT_EQ(sent, 1);
    EXPECT_EQ(doomed, nullptr);

    // Stepped again from inside a handler (a nested event loop does that):
    // the clock never goes back and the run is the one a plain step gives.
    std::vector<Received> events;
    bool nested = false;
    TDeviceSimulator sim(5, SimStart, [&](int dispId, QVariantList& args) {
        events.push_back({sim.Now(), dispId, ToTexts(args)});
        if (!nested) {
            nested = true;
            sim.Advance(10000);
        }
    });
    sim.Advance(2000);
    EXPECT_EQ(sim.Now(), 11000);
    sim.Advance(1000);
    EXPECT_EQ(events, RunSimulator(5, {12000}));
}

// ---- script player, on the real clock -------------------------------------------------

TEST(ScriptLink, PlaysEventsInOrderAtTheirTimes) {
    QTemporaryDir dir;
    const QString path = WriteScript(dir, "0 plug \"CID-4 USB\" 10234567\n"
                                          "10 signal 1 2 3 abc\n"
                                          "30 call 10234567 2 05321234567 \"09.12.2026 14:03:27\"\n"
                                          "30 signal 0 0 0 0 1 1 1 1\n"
                                          "50 unplug\n"
                                          "60 plug Other \"\"\n");
    Sink sink;
    std::unique_ptr<TDeviceLink> link =
        CreateDeviceLink(QStringLiteral("script:") + path,
                         [&sink](int dispId, QVariantList& args) { sink.Invoke(dispId, args); });
    auto* script = dynamic_cast<TScriptLink*>(link.get());
    ASSERT_NE(script, nullptr);
    EXPECT_TRUE(link->Model().isEmpty());

    sink.Clock.start();
    link->Open();
    ASSERT_TRUE(QTest::qWaitFor([&] { return script->Played() >= 1; }, 2000));
    EXPECT_EQ(link->Model(), "CID-4 USB");
    EXPECT_EQ(link->Serial(), "10234567");

    ASSERT_TRUE(QTest::qWaitFor([&] { return script->Played() >= 5; }, 2000));
    EXPECT_TRUE(link->Model().isEmpty());
    EXPECT_TRUE(link->Serial().isEmpty());
    ASSERT_TRUE(QTest::qWaitFor([&] { return script->Played() == 6; }, 2000));
    EXPECT_EQ(link->Model(), "Other");
    EXPECT_TRUE(link->Serial().isEmpty());

    ASSERT_EQ(sink.Events.size(), 3u);
    EXPECT_EQ(sink.Events[0].DispId, DISPID_OnSignalA);
    EXPECT_EQ(sink.Events[0].Args, QStringList({"1", "2", "3", "abc", "0", "0", "0", "0"}));
    EXPECT_EQ(sink.Events[1].DispId, DISPID_OnCallerID);
    EXPECT_EQ(sink.Events[1].Args,
              QStringList({"10234567", "2", "05321234567", "09.12.2026 14:03:27", ""}));
    EXPECT_EQ(sink.Events[2].DispId, DISPID_OnSignalA);
    EXPECT_GE(sink.Events[0].At, 10);
    EXPECT_GE(sink.Events[1].At, 30);
}

TEST(ScriptLink, SteppedItPlaysOnlyWhenToldAndCanStartOver) {
    // The first event is due at once: stepping must stop the clock, or the
    // event loop would play it a second time.
    std::vector<ScriptEvent> events =
        ParseDeviceScript("0 plug A 1\n0 call 1 2 333 x\n0 unplug\n", QStringLiteral("s"));
    Sink sink;
    TScriptLink script(std::move(events),
                       [&sink](int dispId, QVariantList& args) { sink.Invoke(dispId, args); });
    script.Open();
    ASSERT_TRUE(script.Step());
    EXPECT_EQ(script.Model(), "A");
    QCoreApplication::processEvents();
    EXPECT_EQ(script.Played(), 1u);
    ASSERT_TRUE(script.Step());
    ASSERT_TRUE(script.Step());
    EXPECT_TRUE(script.Model().isEmpty());
    EXPECT_FALSE(script.Step());
    EXPECT_EQ(script.Played(), 3u);

    script.Rewind();
    EXPECT_EQ(script.Played(), 0u);
    ASSERT_TRUE(script.Step());
    ASSERT_TRUE(script.Step());
    EXPECT_EQ(script.Model(), "A");
    ASSERT_EQ(sink.Events.size(), 2u);
    EXPECT_EQ(sink.Events[0].Args, sink.Events[1].Args);
    QCoreApplication::processEvents();
    EXPECT_EQ(script.Played(), 2u);
}

TEST(ScriptLink, RewoundOnItsOwnClockItPlaysAgainFromTheStart) {
    // Every event is due at once, so the event loop plays them without
    // waiting; a rewound script must be played again the same way, whether
    // it had finished or was still playing.
    std::vector<ScriptEvent> events = ParseDeviceScript(
        "0 call 1 1 111 x\n0 call 1 2 222 x\n0 call 1 3 333 x\n", QStringLiteral("s"));
    Sink sink;
    TScriptLink script(std::move(events),
                       [&sink](int dispId, QVariantList& args) { sink.Invoke(dispId, args); });
    const auto lines = [&sink] {
        QStringList l;
        for (const auto& e : sink.Events)
            l << e.Args.value(1);
        return l;
    };
    const auto run = [] {
        for (int i = 0; i < 20; ++i)
            QCoreApplication::processEvents();
    };
    script.Open();
    run();
    ASSERT_EQ(lines(), QStringList({"1", "2", "3"}));
    script.Rewind();
    run();
    EXPECT_EQ(lines(), QStringList({"1", "2", "3", "1", "2", "3"}));
    EXPECT_EQ(script.Played(), 3u);

    // Rewound by the host while it plays: the rest of the first pass is not
    // played, the script starts over.
    sink.Events.clear();
    bool rewound = false;
    TScriptLink again(ParseDeviceScript("0 call 1 1 111 x\n0 call 1 2 222 x\n0 call 1 3 333 x\n",
                                        QStringLiteral("s")),
                      [&](int dispId, QVariantList& args) {
                          sink.Invoke(dispId, args);
                          if (!rewound && args.value(1).toString() == u"2") {
                              rewound = true;
                              again.Rewind();
                          }
                      });
    again.Open();
    run();
    EXPECT_EQ(lines(), QStringList({"1", "2", "1", "2", "3"}));
}

TEST(ScriptLink, AHandlerExceptionReachesTheApplicationAndPlayGoesOn) {
    QTemporaryDir dir;
    const QString path = WriteScript(dir, "0 call d 1 111 t\n0 call d 2 222 t\n5 call d 3 333 t\n");
    QStringList handled;
    QObject owner;
    Application->AddExceptionHandler(
        &owner, [&handled](QObject*, const Exception& e) { handled.append(e.Message()); });
    QStringList lines;
    std::unique_ptr<TDeviceLink> link =
        CreateDeviceLink(QStringLiteral("script:") + path, [&lines](int, QVariantList& args) {
            lines.append(args.value(1).toString());
            if (lines.size() == 1)
                throw EConvertError(QStringLiteral("'x' is not a valid integer value"));
        });
    link->Open();
    ASSERT_TRUE(QTest::qWaitFor([&] { return lines.size() == 3; }, 2000));
    Application->RemoveExceptionHandlers(&owner);
    EXPECT_EQ(lines, QStringList({"1", "2", "3"}));
    EXPECT_EQ(handled, QStringList({"'x' is not a valid integer value"}));
}

// ---- choosing the link and the stand-in control ------------------------------------------

TEST(StandInControl, AnswersAsUnconnectedBeforeStartAndRejectsUnknownMembers) {
    TStandInMekal control;
    EXPECT_EQ(control.QueryInterface(IID_IMekal), static_cast<IMekal*>(&control));
    EXPECT_EQ(control.QueryInterface(QUuid::createUuid()), nullptr);
    EXPECT_TRUE(control.QueryProperty(QStringLiteral("devicemodel")).isEmpty());
    EXPECT_TRUE(control.QueryProperty(QStringLiteral("serial")).isEmpty());
    try {
        control.QueryProperty(QStringLiteral("firmware"));
        FAIL();
    } catch (const EOleError& e) {
        EXPECT_EQ(e.Message(), "Unknown property 'firmware'");
    }

    control.SetBoolProperty(DISPID_BoolProperty201, false);
    EXPECT_FALSE(control.Property201());
    try {
        control.SetBoolProperty(202, true);
        FAIL();
    } catch (const EOleError& e) {
        EXPECT_EQ(e.Message(), "Member not found");
    }
    EXPECT_THROW(control.Advise(IID_IMekal, nullptr), EOleSysError);
}

TEST(StandInControl, ChoosesItsLinkFromTheEnvironmentAtStart) {
    DeviceEnvironment env;
    const struct {
        const char* Form; // nullptr: unset
        const char* Error;
    } cases[] = {
        {"foo", "CALLERID_DEVICE: unknown device 'foo'; accepted forms: simulator, "
                "simulator:SEED, script:FILE, none"},
        {"Simulator", "CALLERID_DEVICE: unknown device 'Simulator'; accepted forms: simulator, "
                      "simulator:SEED, script:FILE, none"},
        {"simulator:", "CALLERID_DEVICE: '' is not a valid seed; use a number from 0 to "
                       "4294967295"},
        {"simulator:-1", "CALLERID_DEVICE: '-1' is not a valid seed; use a number from 0 to "
                         "4294967295"},
        {"simulator:4294967296", "CALLERID_DEVICE: '4294967296' is not a valid seed; use a "
                                 "number from 0 to 4294967295"},
        {"script:", "CALLERID_DEVICE: script: needs a file name"},
    };
    for (const auto& c : cases) {
        env.Set(QString::fromUtf8(c.Form));
        TStandInMekal control;
        try {
            control.Start();
            ADD_FAILURE() << c.Form << " was accepted";
        } catch (const EOleError& e) {
            EXPECT_EQ(e.Message(), QString::fromUtf8(c.Error));
        }
        EXPECT_EQ(control.Link(), nullptr);
    }

    env.Unset();
    TStandInMekal unset;
    unset.Start();
    EXPECT_NE(dynamic_cast<TSimulatorLink*>(unset.Link()), nullptr);

    env.Set(QStringLiteral("simulator:4294967295"));
    TStandInMekal seeded;
    seeded.Start();
    EXPECT_NE(dynamic_cast<TSimulatorLink*>(seeded.Link()), nullptr);
    EXPECT_TRUE(seeded.QueryProperty(QStringLiteral("devicemodel")).isEmpty());
}

TEST(StandInControl, NoneIsNeverConnectedAndSilent) {
    DeviceEnvironment env;
    env.Set(QStringLiteral("none"));
    TStandInMekal control;
    Sink sink;
    control.Advise(DIID_IMekalEvents, &sink);
    control.Start();
    QTest::qWait(100);
    EXPECT_TRUE(control.QueryProperty(QStringLiteral("devicemodel")).isEmpty());
    EXPECT_TRUE(control.QueryProperty(QStringLiteral("serial")).isEmpty());
    EXPECT_TRUE(sink.Events.empty());
}

TEST(StandInControl, AMalformedScriptIsRefusedAtStartAndNothingOfItPlays) {
    DeviceEnvironment env;
    QTemporaryDir dir;
    const QString path = WriteScript(dir, "0 plug M S\n0 call d 1 111 t\n\n# broken below\n"
                                          "5 signal 1 2 3 4\n\n7 cal d 2 222 t\n");
    env.Set(QStringLiteral("script:") + path);
    TStandInMekal control;
    Sink sink;
    control.Advise(DIID_IMekalEvents, &sink);
    try {
        control.Start();
        FAIL() << "the script was accepted";
    } catch (const EOleError& e) {
        EXPECT_EQ(e.Message(), path + QStringLiteral(":7: unknown event 'cal'"));
    }
    QTest::qWait(50);
    EXPECT_TRUE(sink.Events.empty());
    EXPECT_TRUE(control.QueryProperty(QStringLiteral("devicemodel")).isEmpty());

    // Once the script is mended the same control starts, and a second Start
    // does not play it again.
    WriteScript(dir, "0 plug M S\n0 call d 1 111 t\n");
    control.Start();
    TDeviceLink* const link = control.Link();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !sink.Events.empty(); }, 2000));
    control.Start();
    EXPECT_EQ(control.Link(), link);
    QTest::qWait(30);
    EXPECT_EQ(sink.Events.size(), 1u);
    EXPECT_EQ(control.QueryProperty(QStringLiteral("devicemodel")), "M");
    EXPECT_EQ(control.QueryProperty(QStringLiteral("serial")), "S");

    control.Advise(DIID_IMekalEvents, nullptr);
}
