#pragma once
// Timed device scripts: plain text, one event per line, played back by the
// script stand-in so that a run of the tool can be repeated exactly.
//
//   # comment (a whole line, or after blanks)
//   0     plug "CID-4 USB" 10234567
//   200   signal 0 1 0 2                  4 to 8 levels; missing ones are "0"
//   1500  call 10234567 2 05321234567 "09.12.2026 14:03:27"
//   1500  call 10234567 3 "" "09.12.2026 14:03:28" "optional other text"
//   9000  unplug
//
// The first word is the time in milliseconds after Start; times never go
// backwards. A text holding blanks, a quote or a leading '#' is written in
// double quotes, with "" for a quote inside it; "" alone is the empty text.
// The file is UTF-8. Texts are passed on exactly as written.

#include "Exceptions.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

// A script that cannot be played; the message reads "FILE:LINE: what is
// wrong". Raised where the control is started, so it is the control's error.
class EDeviceScriptError : public EOleError {
public:
    using EOleError::EOleError;
};

enum TScriptEventKind { sePlug, seUnplug, seCall, seSignal };

struct ScriptEvent {
    int Time = 0; // milliseconds after Start
    TScriptEventKind Kind = sePlug;
    // plug: model, serial. unplug: none. call: device id, line, number,
    // date-time, other text (always five). signal: always eight levels.
    QStringList Args;
    int Line = 0; // line of the script, from 1, for messages
};

// The longest script the player accepts; anything larger is not a script
// someone wrote by hand, and reading it whole would only waste memory.
constexpr qsizetype MaxDeviceScriptSize = 4 * 1024 * 1024;

// Parses a whole script. Raises EDeviceScriptError naming fileName and the
// first offending line; on success every event is checked and in time order.
std::vector<ScriptEvent> ParseDeviceScript(const QByteArray& text, const QString& fileName);

// Reads and parses the script file at path; an unreadable or too large file
// raises EDeviceScriptError naming the file.
std::vector<ScriptEvent> LoadDeviceScript(const QString& path);
