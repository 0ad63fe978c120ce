#include "DeviceScript.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

std::vector<ScriptEvent> Parse(const QByteArray& text) {
    return ParseDeviceScript(text, QStringLiteral("devices.txt"));
}

QString ErrorOf(const QByteArray& text) {
    try {
        Parse(text);
    } catch (const EDeviceScriptError& e) {
        return e.Message();
    }
    return QStringLiteral("(accepted)");
}

QStringList Eight(QStringList levels) {
    while (levels.size() < 8)
        levels.append(QStringLiteral("0"));
    return levels;
}

} // namespace

TEST(DeviceScript, ReadsEveryEventWithTimesLinesAndDefaults) {
    const QByteArray text = "\xEF\xBB\xBF# a whole-line comment\r\n"
                            "0 plug \"CID-4 USB\" 10234567\r\n"
                            "\n"
                            "  200\tsignal 0 1 0 2   # levels of lines 1-4\n"
                            "200 signal 1 2 3 4 5 6 7 8\n"
                            "1500 call 10234567 2 05321234567 \"09.12.2026 14:03:27\"\n"
                            "1500 call 10234567 3 02125551234 \"09.12.2026 14:03:28\" extra\n"
                            "9000 unplug";
    const std::vector<ScriptEvent> events = Parse(text);
    ASSERT_EQ(events.size(), 6u);

    EXPECT_EQ(events[0].Kind, sePlug);
    EXPECT_EQ(events[0].Time, 0);
    EXPECT_EQ(events[0].Line, 2);
    EXPECT_EQ(events[0].Args, QStringList({"CID-4 USB", "10234567"}));

    EXPECT_EQ(events[1].Kind, seSignal);
    EXPECT_EQ(events[1].Line, 4);
    EXPECT_EQ(events[1].Args, Eight({"0", "1", "0", "2"}));
    EXPECT_EQ(events[2].Args, QStringList({"1", "2", "3", "4", "5", "6", "7", "8"}));

    EXPECT_EQ(events[3].Kind, seCall);
    EXPECT_EQ(events[3].Time, 1500);
    EXPECT_EQ(events[3].Args,
              QStringList({"10234567", "2", "05321234567", "09.12.2026 14:03:27", ""}));
    EXPECT_EQ(events[4].Args.last(), "extra");

    EXPECT_EQ(events[5].Kind, seUnplug);
    EXPECT_EQ(events[5].Time, 9000);
    EXPECT_EQ(events[5].Line, 8);
    EXPECT_TRUE(events[5].Args.isEmpty());
}

TEST(DeviceScript, QuotedTextsKeepBlanksQuotesHashesAndMayBeEmpty) {
    const std::vector<ScriptEvent> events =
        Parse("0 call \"\" \"say \"\"hi\"\"\" \"#31#\" \"\"\"\" a#b # comment\n"
              "0 signal abc -3 \" 5 \" \"\"\n"
              "0 call İzmir Ağrı 0532\tşğü\n");
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].Args, QStringList({"", "say \"hi\"", "#31#", "\"", "a#b"}));
    // Levels are texts: the player passes them on exactly as written.
    EXPECT_EQ(events[1].Args, Eight({"abc", "-3", " 5 ", ""}));
    EXPECT_EQ(events[2].Args, QStringList({"İzmir", "Ağrı", "0532", "şğü", ""}));
}

TEST(DeviceScript, EqualTimesKeepFileOrderAndEmptyScriptsAreValid) {
    const std::vector<ScriptEvent> events =
        Parse("5 signal 1 1 1 1\n5 unplug\n5 plug M S\n2147483647 unplug\n");
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[0].Kind, seSignal);
    EXPECT_EQ(events[1].Kind, seUnplug);
    EXPECT_EQ(events[2].Kind, sePlug);
    EXPECT_EQ(events[3].Time, 2147483647);
    EXPECT_TRUE(Parse("").empty());
    EXPECT_TRUE(Parse("# nothing\n\n   \n\t# still nothing").empty());
}

TEST(DeviceScript, RejectsMalformedLinesNamingFileLineAndFault) {
    const struct {
        QByteArray Text;
        const char* Message;
    } cases[] = {
        {"0 plug M S\n# note\n\n0 signal 1 2 3 4\n100 call a b c d\n\n200 cal a b c d",
         "devices.txt:7: unknown event 'cal'"},
        {"abc plug M S", "devices.txt:1: 'abc' is not a time in milliseconds"},
        {"-5 unplug", "devices.txt:1: '-5' is not a time in milliseconds"},
        {"+5 unplug", "devices.txt:1: '+5' is not a time in milliseconds"},
        {"1.5 unplug", "devices.txt:1: '1.5' is not a time in milliseconds"},
        {"2147483648 unplug", "devices.txt:1: '2147483648' is not a time in milliseconds"},
        {"\"\" unplug", "devices.txt:1: '' is not a time in milliseconds"},
        {"100 unplug\n50 unplug",
         "devices.txt:2: time 50 is before the time 100 of the event above"},
        {"5", "devices.txt:1: an event must follow the time"},
        {"5 # comment", "devices.txt:1: an event must follow the time"},
        {"0 Plug M S", "devices.txt:1: unknown event 'Plug'"},
        {"0 plug M", "devices.txt:1: plug needs MODEL SERIAL"},
        {"0 plug M S T", "devices.txt:1: plug needs MODEL SERIAL"},
        {"0 plug \"\" S", "devices.txt:1: plug needs a model that is not empty"},
        {"0 unplug now", "devices.txt:1: unplug takes nothing after it"},
        {"0 call a b c", "devices.txt:1: call needs DEVICEID LINE NUMBER DATETIME [OTHER]"},
        {"0 call a b c d e f", "devices.txt:1: call needs DEVICEID LINE NUMBER DATETIME [OTHER]"},
        {"0 signal 1 2 3", "devices.txt:1: signal needs 4 to 8 levels"},
        {"0 signal 1 2 3 4 5 6 7 8 9", "devices.txt:1: signal needs 4 to 8 levels"},
        {"0 call \"a b c d", "devices.txt:1: unterminated quoted text"},
        {"0 call \"a\"b c d e", "devices.txt:1: a blank must follow the closing quote"},
        {"0 call a\"b c d e",
         "devices.txt:1: quote inside the word 'a\"b': put the whole text in quotes"},
        {"0 unplug\n0 call a b \xFF\xFE d", "devices.txt:2: the line is not UTF-8 text"},
        {"0 call a b\x01 c d", "devices.txt:1: control character in the line"},
        {QByteArray("0 call a b\0 c d", 15), "devices.txt:1: control character in the line"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ErrorOf(c.Text), QString::fromUtf8(c.Message)) << c.Text.toStdString();
}

TEST(DeviceScript, LoadingNamesTheFileThatCannotBeRead) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString missing = dir.filePath(QStringLiteral("missing.script"));
    try {
        LoadDeviceScript(missing);
        FAIL() << "a missing file was accepted";
    } catch (const EDeviceScriptError& e) {
        EXPECT_TRUE(e.Message().startsWith(missing + QStringLiteral(": cannot be read (")))
            << e.Message().toStdString();
    }

    const QString big = dir.filePath(QStringLiteral("big.script"));
    QFile file(big);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(MaxDeviceScriptSize + 1, '#'));
    file.close();
    try {
        LoadDeviceScript(big);
        FAIL() << "an oversized file was accepted";
    } catch (const EDeviceScriptError& e) {
        EXPECT_EQ(e.Message(), big + QStringLiteral(": larger than 4194304 bytes, not a device "
                                                    "script"));
    }

    const QString good = dir.filePath(QStringLiteral("good.script"));
    QFile goodFile(good);
    ASSERT_TRUE(goodFile.open(QIODevice::WriteOnly));
    goodFile.write("0 plug M S\n10 bogus\n");
    goodFile.close();
    try {
        LoadDeviceScript(good);
        FAIL() << "a malformed file was accepted";
    } catch (const EDeviceScriptError& e) {
        EXPECT_EQ(e.Message(), good + QStringLiteral(":2: unknown event 'bogus'"));
    }
}

TEST(DeviceScript, ShippedScriptsAreValid) {
    const QDir data(
        qEnvironmentVariable("CALLERID_TEST_DATA", QStringLiteral(QT_TESTCASE_SOURCEDIR "/data")));
    const QStringList scripts = {data.filePath(QStringLiteral("calls.script")),
                                 data.filePath(QStringLiteral("../../resources/demo.script"))};
    for (const QString& path : scripts) {
        std::vector<ScriptEvent> events;
        EXPECT_NO_THROW(events = LoadDeviceScript(path)) << path.toStdString();
        EXPECT_FALSE(events.empty()) << path.toStdString();
    }
}
