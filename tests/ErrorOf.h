#pragma once
// The message of the exception a piece of code raises, for comparing with
// the text the program must show.

#include "Exceptions.h"

#include <QString>
#include <utility>

// The message of the Exception `f` raises, or "no error".
template <typename F> QString ErrorOf(F&& f) {
    try {
        std::forward<F>(f)();
    } catch (const Exception& e) {
        return e.Message();
    }
    return QStringLiteral("no error");
}
