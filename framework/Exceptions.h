#pragma once
// The exception kinds the toolkit and the components raise. Every failure
// carries its message text exactly as it is shown to the user.

#include <QString>
#include <exception>

class Exception : public std::exception {
public:
    explicit Exception(QString message) : FMessage(std::move(message)), FUtf8(FMessage.toUtf8()) {}
    const QString& Message() const noexcept { return FMessage; }
    const char* what() const noexcept override { return FUtf8.constData(); }

private:
    QString FMessage;
    QByteArray FUtf8;
};

#define CALLERID_EXCEPTION(Name, Base)                                                             \
    class Name : public Base {                                                                     \
    public:                                                                                        \
        using Base::Base;                                                                          \
    };

CALLERID_EXCEPTION(EConvertError, Exception)    // a text that is not a valid value
CALLERID_EXCEPTION(EListError, Exception)       // "List index out of bounds (%d)"
CALLERID_EXCEPTION(EIntOverflow, Exception)     // "Integer overflow"
CALLERID_EXCEPTION(EInvalidOp, Exception)       // "Invalid floating point operation"
CALLERID_EXCEPTION(EAbstractError, Exception)   // an abstract operation was called
CALLERID_EXCEPTION(EInvalidCast, Exception)     // an object of the wrong class
CALLERID_EXCEPTION(EAssertionFailed, Exception) // a broken internal assumption
CALLERID_EXCEPTION(EOleError, Exception)        // failures of the device control
CALLERID_EXCEPTION(EOleSysError, EOleError)     // "Interface not supported" and kin
CALLERID_EXCEPTION(EReadError, Exception)       // a window layout that cannot be read
CALLERID_EXCEPTION(EResNotFound, Exception)     // a resource that is not there
CALLERID_EXCEPTION(EThemeError, Exception)      // "Error in Themes"

// The silent abort: unwinds like any exception but leaves no trace when it
// reaches the message loop.
class EAbort : public Exception {
public:
    EAbort() : Exception(QStringLiteral("Operation aborted")) {}
};

#undef CALLERID_EXCEPTION

// Raises the silent abort.
[[noreturn]] inline void Abort() {
    throw EAbort();
}

// Raised by an operation that a class declares for its descendants to supply
// and that the class of the object at hand does not.
[[noreturn]] inline void AbstractError() {
    throw EAbstractError(QStringLiteral("Abstract Error"));
}
