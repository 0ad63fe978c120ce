#pragma once
// Wide strings are UTF-16 (QString); 8-bit strings hold bytes of the system
// code page, which for this Turkish tool is 1254. The one pair of functions
// below is the only way between the two.

#include <QByteArray>
#include <QString>

using WideString = QString;
using AnsiString = QByteArray;

// A character that code page 1254 cannot hold becomes '?'.
AnsiString WideToAnsi(const WideString& text);
WideString AnsiToWide(const AnsiString& text);
