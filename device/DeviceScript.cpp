#include "DeviceScript.h"

#include <QFile>
#include <QStringDecoder>
#include <limits>

namespace {

[[noreturn]] void Fail(const QString& fileName, int line, const QString& what) {
    throw EDeviceScriptError(QStringLiteral("%1:%2: %3").arg(fileName).arg(line).arg(what));
}

bool IsBlank(QChar c) {
    return c == u' ' || c == u'\t';
}

// Splits one line into its words. Quoted words may hold blanks, '#' and
// doubled quotes; a '#' that begins a word starts a comment.
QStringList SplitWords(const QString& line, const QString& fileName, int lineNo) {
    QStringList words;
    const qsizetype n = line.size();
    qsizetype i = 0;
    for (;;) {
        while (i < n && IsBlank(line[i]))
            ++i;
        if (i == n || line[i] == u'#') break;
        QString word;
        if (line[i] == u'"') {
            ++i;
            for (;;) {
                if (i == n) Fail(fileName, lineNo, QStringLiteral("unterminated quoted text"));
                if (line[i] == u'"') {
                    if (i + 1 < n && line[i + 1] == u'"') {
                        word += u'"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                word += line[i++];
            }
            if (i < n && !IsBlank(line[i]))
                Fail(fileName, lineNo, QStringLiteral("a blank must follow the closing quote"));
        } else {
            const qsizetype start = i;
            while (i < n && !IsBlank(line[i]))
                ++i;
            word = line.mid(start, i - start);
            if (word.contains(u'"'))
                Fail(fileName, lineNo,
                     QStringLiteral("quote inside the word '%1': put the whole text in quotes")
                         .arg(word));
        }
        words.append(word);
    }
    return words;
}

// A time is plain decimal digits that fit the player's timer.
bool ParseTime(const QString& word, int& time) {
    if (word.isEmpty() || word.size() > 10) return false;
    qint64 value = 0;
    for (const QChar c : word) {
        if (c < u'0' || c > u'9') return false;
        value = value * 10 + (c.unicode() - u'0');
    }
    if (value > std::numeric_limits<int>::max()) return false;
    time = int(value);
    return true;
}

// Decodes one line of the file; a script is UTF-8 text without control
// characters other than tabs.
QString DecodeLine(QByteArrayView bytes, const QString& fileName, int lineNo) {
    for (const char c : bytes)
        if ((static_cast<unsigned char>(c) < 0x20 && c != '\t') || c == 0x7F)
            Fail(fileName, lineNo, QStringLiteral("control character in the line"));
    QStringDecoder decoder(QStringDecoder::Utf8);
    QString line = decoder.decode(bytes);
    if (decoder.hasError()) Fail(fileName, lineNo, QStringLiteral("the line is not UTF-8 text"));
    return line;
}

} // namespace

std::vector<ScriptEvent> ParseDeviceScript(const QByteArray& text, const QString& fileName) {
    std::vector<ScriptEvent> events;
    QByteArrayView rest(text);
    if (rest.startsWith("\xEF\xBB\xBF")) rest = rest.sliced(3); // a byte order mark
    int lineNo = 0;
    int previousTime = 0;
    while (!rest.isEmpty()) {
        ++lineNo;
        const qsizetype end = rest.indexOf('\n');
        QByteArrayView bytes = end < 0 ? rest : rest.first(end);
        rest = end < 0 ? QByteArrayView() : rest.sliced(end + 1);
        if (bytes.endsWith('\r')) bytes.chop(1);

        const QStringList words = SplitWords(DecodeLine(bytes, fileName, lineNo), fileName, lineNo);
        if (words.isEmpty()) continue;

        ScriptEvent event;
        event.Line = lineNo;
        if (!ParseTime(words[0], event.Time))
            Fail(fileName, lineNo,
                 QStringLiteral("'%1' is not a time in milliseconds").arg(words[0]));
        if (event.Time < previousTime)
            Fail(fileName, lineNo,
                 QStringLiteral("time %1 is before the time %2 of the event above")
                     .arg(event.Time)
                     .arg(previousTime));
        if (words.size() < 2)
            Fail(fileName, lineNo, QStringLiteral("an event must follow the time"));

        const QString& name = words[1];
        event.Args = words.mid(2);
        const qsizetype argc = event.Args.size();
        if (name == u"plug") {
            event.Kind = sePlug;
            if (argc != 2) Fail(fileName, lineNo, QStringLiteral("plug needs MODEL SERIAL"));
            if (event.Args[0].isEmpty())
                Fail(fileName, lineNo, QStringLiteral("plug needs a model that is not empty"));
        } else if (name == u"unplug") {
            event.Kind = seUnplug;
            if (argc != 0) Fail(fileName, lineNo, QStringLiteral("unplug takes nothing after it"));
        } else if (name == u"call") {
            event.Kind = seCall;
            if (argc < 4 || argc > 5)
                Fail(fileName, lineNo,
                     QStringLiteral("call needs DEVICEID LINE NUMBER DATETIME [OTHER]"));
            if (argc == 4) event.Args.append(QString());
        } else if (name == u"signal") {
            event.Kind = seSignal;
            if (argc < 4 || argc > 8)
                Fail(fileName, lineNo, QStringLiteral("signal needs 4 to 8 levels"));
            while (event.Args.size() < 8)
                event.Args.append(QStringLiteral("0"));
        } else {
            Fail(fileName, lineNo, QStringLiteral("unknown event '%1'").arg(name));
        }
        previousTime = event.Time;
        events.push_back(std::move(event));
    }
    return events;
}

std::vector<ScriptEvent> LoadDeviceScript(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw EDeviceScriptError(
            QStringLiteral("%1: cannot be read (%2)").arg(path, file.errorString()));
    // One byte more than allowed tells a file that is too large from one
    // that is exactly at the limit, without reading an endless device whole.
    const QByteArray text = file.read(MaxDeviceScriptSize + 1);
    if (file.error() != QFileDevice::NoError)
        throw EDeviceScriptError(
            QStringLiteral("%1: cannot be read (%2)").arg(path, file.errorString()));
    if (text.size() > MaxDeviceScriptSize)
        throw EDeviceScriptError(QStringLiteral("%1: larger than %2 bytes, not a device script")
                                     .arg(path)
                                     .arg(MaxDeviceScriptSize));
    return ParseDeviceScript(text, path);
}
