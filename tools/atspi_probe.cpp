// Reads a running program's windows as a screen reader does, over AT-SPI:
// asks the session bus for the accessibility bus, walks the accessible tree
// from the registry's root and prints every object with its role and name,
// the text of text objects, the value of bars, and for tables their size,
// column headers and every cell by row and column. It asks each object for
// its state and its index in its parent too, as tools do, so that a bridge
// fault on any of them shows. For scripts/e2e-probe.sh and trying by hand.
//
//   atspi_probe [--app NAME] [--depth N]
//
// NAME picks the applications whose name contains it (all when not given).
// Exit code 0 when an application was found and every call was answered, 1
// when a call failed (the program died or answered an error), 2 when no
// application matched.

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QDBusVariant>
#include <QTextStream>
#include <optional>

namespace {

// An accessible object: its owner's bus name and its path.
struct TAccessibleRef {
    QString Service;
    QDBusObjectPath Path;
};

QDBusArgument& operator<<(QDBusArgument& arg, const TAccessibleRef& ref) {
    arg.beginStructure();
    arg << ref.Service << ref.Path;
    arg.endStructure();
    return arg;
}

const QDBusArgument& operator>>(const QDBusArgument& arg, TAccessibleRef& ref) {
    arg.beginStructure();
    arg >> ref.Service >> ref.Path;
    arg.endStructure();
    return arg;
}

} // namespace

Q_DECLARE_METATYPE(TAccessibleRef)
Q_DECLARE_METATYPE(QList<TAccessibleRef>)

namespace {

const QString kAccessible = QStringLiteral("org.a11y.atspi.Accessible");
const QString kText = QStringLiteral("org.a11y.atspi.Text");
const QString kValue = QStringLiteral("org.a11y.atspi.Value");
const QString kTable = QStringLiteral("org.a11y.atspi.Table");
const QString kNullPath = QStringLiteral("/org/a11y/atspi/null");

// AT-SPI state bits the listing shows.
constexpr int kDefunct = 6;
constexpr int kFocused = 12;
constexpr int kSelected = 23;
constexpr int kShowing = 25;

class TProbe {
public:
    TProbe(QDBusConnection bus, int depth) : FBus(std::move(bus)), FDepth(depth) {}

    bool Failed() const { return FFailed; }

    QList<TAccessibleRef> Applications() {
        return Children({QStringLiteral("org.a11y.atspi.Registry"),
                         QDBusObjectPath(QStringLiteral("/org/a11y/atspi/accessible/root"))});
    }

    QString Name(const TAccessibleRef& ref) {
        return Property(ref, kAccessible, QStringLiteral("Name")).toString();
    }

    void Walk(const TAccessibleRef& ref, int level) {
        const QString indent(2 * level, QLatin1Char(' '));
        const QString role = Call(ref, kAccessible, QStringLiteral("GetRoleName")).toString();
        const QString name = Name(ref);
        const QStringList interfaces =
            Call(ref, kAccessible, QStringLiteral("GetInterfaces")).toStringList();
        const QVariant index = Call(ref, kAccessible, QStringLiteral("GetIndexInParent"));
        QString line = indent + QLatin1Char('[') + role + QStringLiteral("] \"") + name +
                       QLatin1Char('"') + States(ref);
        if (level > 0) line += QStringLiteral(" #") + QString::number(index.toInt());
        if (interfaces.contains(kValue))
            line += QStringLiteral(" value=") +
                    Property(ref, kValue, QStringLiteral("CurrentValue")).toString();
        if (interfaces.contains(kText)) {
            const int count = Property(ref, kText, QStringLiteral("CharacterCount")).toInt();
            QString text = Call(ref, kText, QStringLiteral("GetText"), {0, count}).toString();
            text.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
            line += QStringLiteral(" text=\"") + text + QLatin1Char('"');
        }
        Out() << line << Qt::endl;
        if (interfaces.contains(kTable)) PrintTable(ref, indent + QStringLiteral("  "));
        if (level >= FDepth) return;
        const QList<TAccessibleRef> children = Children(ref);
        // The cells of a table are listed above by row and column; only
        // their count is shown as children, after each was asked once.
        if (interfaces.contains(kTable)) {
            int defunct = 0;
            for (const TAccessibleRef& child : children) {
                Name(child);
                if (States(child).contains(QStringLiteral("defunct"))) ++defunct;
            }
            Out() << indent << "  children: " << children.size() << " (" << defunct << " defunct)"
                  << Qt::endl;
            AskTable(ref, int(children.size()), indent + QStringLiteral("  "));
            return;
        }
        for (const TAccessibleRef& child : children)
            if (child.Path.path() != kNullPath) Walk(child, level + 1);
    }

private:
    static QTextStream& Out() {
        static QTextStream out(stdout);
        return out;
    }

    void Fail(const TAccessibleRef& ref, const QString& what, const QString& error) {
        FFailed = true;
        Out() << "!! " << ref.Path.path() << ' ' << what << ": " << error << Qt::endl;
    }

    QVariant Call(const TAccessibleRef& ref, const QString& interface, const QString& method,
                  const QVariantList& args = {}) {
        QDBusMessage message =
            QDBusMessage::createMethodCall(ref.Service, ref.Path.path(), interface, method);
        message.setArguments(args);
        const QDBusMessage reply = FBus.call(message, QDBus::Block, 5000);
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
            Fail(ref, method, reply.errorMessage());
            return {};
        }
        return reply.arguments().constFirst();
    }

    QVariant Property(const TAccessibleRef& ref, const QString& interface, const QString& name) {
        const QVariant answer = Call(ref, QStringLiteral("org.freedesktop.DBus.Properties"),
                                     QStringLiteral("Get"), {interface, name});
        return answer.value<QDBusVariant>().variant();
    }

    QList<TAccessibleRef> Children(const TAccessibleRef& ref) {
        QList<TAccessibleRef> children;
        const QVariant answer = Call(ref, kAccessible, QStringLiteral("GetChildren"));
        if (answer.canConvert<QDBusArgument>()) answer.value<QDBusArgument>() >> children;
        return children;
    }

    std::optional<TAccessibleRef> Reference(const QVariant& answer) {
        if (!answer.canConvert<QDBusArgument>()) return std::nullopt;
        TAccessibleRef ref;
        answer.value<QDBusArgument>() >> ref;
        if (ref.Path.path() == kNullPath) return std::nullopt;
        return ref;
    }

    QString States(const TAccessibleRef& ref) {
        const QVariant answer = Call(ref, kAccessible, QStringLiteral("GetState"));
        QList<uint> words;
        if (answer.canConvert<QDBusArgument>()) answer.value<QDBusArgument>() >> words;
        const auto has = [&](int bit) {
            return words.size() > bit / 32 && (words[bit / 32] >> (bit % 32)) & 1u;
        };
        QString states;
        if (has(kDefunct)) states += QStringLiteral(" defunct");
        if (has(kFocused)) states += QStringLiteral(" focused");
        if (has(kSelected)) states += QStringLiteral(" selected");
        if (!has(kShowing)) states += QStringLiteral(" hidden");
        return states.isEmpty() ? states : QStringLiteral(" {") + states.mid(1) + u'}';
    }

    // What a reader asks of a table besides its cells, at every child
    // index and every row and column, one past each end and -1 included:
    // the bridge passes each request on unchecked, so a fault here takes
    // the program down and the calls after it fail.
    void AskTable(const TAccessibleRef& table, int children, const QString& indent) {
        const int rows = Property(table, kTable, QStringLiteral("NRows")).toInt();
        const int columns = Property(table, kTable, QStringLiteral("NColumns")).toInt();
        QStringList places;
        for (int i = -1; i <= children; ++i) {
            const int row = Call(table, kTable, QStringLiteral("GetRowAtIndex"), {i}).toInt();
            const int column = Call(table, kTable, QStringLiteral("GetColumnAtIndex"), {i}).toInt();
            places << QStringLiteral("%1:%2,%3").arg(i).arg(row).arg(column);
        }
        Out() << indent << "index -> row,column: " << places.join(u' ') << Qt::endl;
        QStringList indexes;
        for (int r = -1; r <= rows; ++r) {
            Call(table, kTable, QStringLiteral("GetRowDescription"), {r});
            Call(table, kTable, QStringLiteral("GetRowExtentAt"), {r, 0});
            Call(table, kTable, QStringLiteral("IsRowSelected"), {r});
            Reference(Call(table, kTable, QStringLiteral("GetRowHeader"), {r}));
            for (int c = -1; c <= columns; ++c) {
                indexes << QString::number(
                    Call(table, kTable, QStringLiteral("GetIndexAt"), {r, c}).toInt());
                Call(table, kTable, QStringLiteral("IsSelected"), {r, c});
            }
        }
        for (int c = -1; c <= columns; ++c) {
            Call(table, kTable, QStringLiteral("GetColumnDescription"), {c});
            Call(table, kTable, QStringLiteral("GetColumnExtentAt"), {0, c});
            Call(table, kTable, QStringLiteral("IsColumnSelected"), {c});
        }
        Call(table, kTable, QStringLiteral("GetSelectedRows"));
        Call(table, kTable, QStringLiteral("GetSelectedColumns"));
        Out() << indent << "row,column -> index: " << indexes.join(u' ') << Qt::endl;
        for (int i = -1; i <= children; ++i)
            Reference(Call(table, kAccessible, QStringLiteral("GetChildAtIndex"), {i}));
    }

    // The table by row and column: the headers, then each row's cells.
    void PrintTable(const TAccessibleRef& table, const QString& indent) {
        const int rows = Property(table, kTable, QStringLiteral("NRows")).toInt();
        const int columns = Property(table, kTable, QStringLiteral("NColumns")).toInt();
        Out() << indent << "table " << rows << " rows x " << columns << " columns" << Qt::endl;
        QStringList headers;
        for (int c = 0; c < columns; ++c) {
            const auto header =
                Reference(Call(table, kTable, QStringLiteral("GetColumnHeader"), {c}));
            headers << (header ? QLatin1Char('"') + Name(*header) + QLatin1Char('"')
                               : QStringLiteral("(none)"));
        }
        Out() << indent << "headers: " << headers.join(QStringLiteral(" | ")) << Qt::endl;
        for (int r = 0; r < rows; ++r) {
            QStringList cells;
            for (int c = 0; c < columns; ++c) {
                const auto cell =
                    Reference(Call(table, kTable, QStringLiteral("GetAccessibleAt"), {r, c}));
                cells << (cell ? QLatin1Char('"') + Name(*cell) + QLatin1Char('"') + States(*cell)
                               : QStringLiteral("(none)"));
            }
            Out() << indent << "row " << r << ": " << cells.join(QStringLiteral(" | ")) << Qt::endl;
        }
    }

    QDBusConnection FBus;
    int FDepth;
    bool FFailed = false;
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    qDBusRegisterMetaType<TAccessibleRef>();
    qDBusRegisterMetaType<QList<TAccessibleRef>>();
    const QStringList args = app.arguments();
    const auto option = [&](const char* name) {
        const qsizetype at = args.indexOf(QLatin1String(name));
        return at >= 0 && at + 1 < args.size() ? args[at + 1] : QString();
    };
    const QString wanted = option("--app");
    const int depth = option("--depth").isEmpty() ? 12 : option("--depth").toInt();

    QDBusInterface launcher(QStringLiteral("org.a11y.Bus"), QStringLiteral("/org/a11y/bus"),
                            QStringLiteral("org.a11y.Bus"), QDBusConnection::sessionBus());
    const QDBusReply<QString> address = launcher.call(QStringLiteral("GetAddress"));
    if (!address.isValid()) {
        QTextStream(stderr) << "atspi_probe: no accessibility bus: " << address.error().message()
                            << Qt::endl;
        return 1;
    }
    const QDBusConnection bus =
        QDBusConnection::connectToBus(address.value(), QStringLiteral("atspi_probe"));
    if (!bus.isConnected()) {
        QTextStream(stderr) << "atspi_probe: cannot connect to " << address.value() << Qt::endl;
        return 1;
    }

    TProbe probe(bus, depth);
    int found = 0;
    QStringList seen;
    for (const TAccessibleRef& application : probe.Applications()) {
        const QString name = probe.Name(application);
        seen << QLatin1Char('"') + name + QLatin1Char('"');
        if (!wanted.isEmpty() && !name.contains(wanted)) continue;
        ++found;
        probe.Walk(application, 0);
    }
    if (found == 0) {
        QTextStream(stderr) << "atspi_probe: no application"
                            << (wanted.isEmpty() ? QString() : QStringLiteral(" named ") + wanted)
                            << "; there are: " << seen.join(QStringLiteral(", ")) << Qt::endl;
        return 2;
    }
    return probe.Failed() ? 1 : 0;
}
