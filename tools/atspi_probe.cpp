// Reads a running program's windows as a screen reader does, over AT-SPI:
// asks the session bus for the accessibility bus, walks the accessible tree
// from the registry's root and prints every object with its role and name,
// the text of text objects, the value of bars, and for tables their size,
// column headers and every cell by row and column. It asks each object for
// its state and its index in its parent too, as tools do, so that a bridge
// fault on any of them shows. For scripts/e2e-probe.sh and trying by hand.
//
//   atspi_probe [--app NAME] [--depth N]
//   atspi_probe --listen SECONDS
//   atspi_probe --app NAME --keep-cells FILE   (also writes the cells read)
//   atspi_probe --recheck FILE
//
// NAME picks the applications whose name contains it (all when not given).
// --listen registers for every object, focus and window event, as a screen
// reader does (a program's bridge sends its events only while someone is
// registered), and counts the events heard until the time is up.
// --keep-cells writes every table cell read, with its name, to FILE;
// --recheck asks those cells again later: a cell that still answers, is not
// defunct and reads otherwise is a stale one (it stands for another row now).
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
#include <QFile>
#include <QTextStream>
#include <QTimer>
#include <map>
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
const QString kComponent = QStringLiteral("org.a11y.atspi.Component");
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
    // The table cells read so far: their owner, path and name.
    const QStringList& Kept() const { return FKept; }

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
        // Each child on the screen, and what is found at its centre: the
        // child itself, as a reader finds the cell under the pointer.
        int found = 0;
        int elsewhere = 0;
        for (int i = -1; i <= children; ++i) {
            const auto child =
                Reference(Call(table, kAccessible, QStringLiteral("GetChildAtIndex"), {i}));
            if (!child || i < 0 || i >= children) continue;
            const QVariant extents = Call(*child, kComponent, QStringLiteral("GetExtents"), {0u});
            if (!extents.canConvert<QDBusArgument>()) continue;
            int x = 0, y = 0, w = 0, h = 0;
            const QDBusArgument box = extents.value<QDBusArgument>();
            box.beginStructure();
            box >> x >> y >> w >> h;
            box.endStructure();
            if (w <= 0 || h <= 0) continue;
            const auto hit =
                Reference(Call(table, kComponent, QStringLiteral("GetAccessibleAtPoint"),
                               {x + w / 2, y + h / 2, 0u}));
            if (hit && hit->Path.path() == child->Path.path())
                ++found;
            else {
                ++elsewhere;
                Out() << indent << "child " << i << " at " << x << ',' << y << ' ' << w << 'x' << h
                      << " is not what its centre finds: "
                      << (hit ? Name(*hit) : QStringLiteral("(none)")) << Qt::endl;
            }
        }
        Out() << indent << "found at their centres: " << found << ", elsewhere: " << elsewhere
              << Qt::endl;
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
                const QString name = cell ? Name(*cell) : QString();
                if (cell) FKept << cell->Service + u' ' + cell->Path.path() + u' ' + name;
                cells << (cell ? QLatin1Char('"') + name + QLatin1Char('"') + States(*cell)
                               : QStringLiteral("(none)"));
            }
            Out() << indent << "row " << r << ": " << cells.join(QStringLiteral(" | ")) << Qt::endl;
        }
    }

    QDBusConnection FBus;
    int FDepth;
    bool FFailed = false;
    QStringList FKept;
};

// Counts the events heard, by interface, member and detail.
class TListener : public QObject {
    Q_OBJECT
public:
    std::map<QString, int> Heard;

public slots:
    void Event(const QDBusMessage& message) {
        QString detail;
        if (!message.arguments().isEmpty()) detail = message.arguments().constFirst().toString();
        ++Heard[message.interface().section(u'.', -1) + u':' + message.member() +
                (detail.isEmpty() ? QString() : u':' + detail)];
    }
};

// Asks the cells kept by an earlier run again; 1 when one of them is stale.
int Recheck(const QDBusConnection& bus, const QString& file) {
    QFile kept(file);
    if (!kept.open(QIODevice::ReadOnly | QIODevice::Text)) return 2;
    QTextStream out(stdout);
    int stale = 0;
    int gone = 0;
    int defunct = 0;
    while (!kept.atEnd()) {
        const QString line = QString::fromUtf8(kept.readLine()).chopped(1);
        const QString service = line.section(u' ', 0, 0);
        const QString path = line.section(u' ', 1, 1);
        const QString was = line.section(u' ', 2);
        QDBusMessage ask = QDBusMessage::createMethodCall(
            service, path, QStringLiteral("org.freedesktop.DBus.Properties"),
            QStringLiteral("Get"));
        ask.setArguments({kAccessible, QStringLiteral("Name")});
        const QDBusMessage name = bus.call(ask, QDBus::Block, 5000);
        if (name.type() != QDBusMessage::ReplyMessage) {
            ++gone;
            continue;
        }
        const QString now =
            name.arguments().constFirst().value<QDBusVariant>().variant().toString();
        const QDBusMessage state = bus.call(
            QDBusMessage::createMethodCall(service, path, kAccessible, QStringLiteral("GetState")),
            QDBus::Block, 5000);
        QList<uint> words;
        if (state.type() == QDBusMessage::ReplyMessage)
            state.arguments().constFirst().value<QDBusArgument>() >> words;
        if (!words.isEmpty() && (words[0] >> kDefunct) & 1u) {
            ++defunct;
            continue;
        }
        if (now != was) {
            ++stale;
            out << "stale: " << path << " was \"" << was << "\" now \"" << now << '"' << Qt::endl;
        }
    }
    out << "kept cells: " << gone << " gone, " << defunct << " defunct, " << stale << " stale"
        << Qt::endl;
    return stale ? 1 : 0;
}

int Listen(QDBusConnection bus, int seconds) {
    TListener listener;
    for (const char* kind : {"Object", "Focus", "Window"})
        bus.connect(QString(), QString(),
                    QStringLiteral("org.a11y.atspi.Event.") + QLatin1String(kind), QString(),
                    &listener, SLOT(Event(QDBusMessage)));
    QDBusInterface registry(QStringLiteral("org.a11y.atspi.Registry"),
                            QStringLiteral("/org/a11y/atspi/registry"),
                            QStringLiteral("org.a11y.atspi.Registry"), bus);
    for (const char* event : {"object:", "focus:", "window:"}) {
        const QDBusMessage reply = registry.call(QStringLiteral("RegisterEvent"),
                                                 QLatin1String(event), QStringList(), QString());
        if (reply.type() == QDBusMessage::ErrorMessage) {
            QTextStream(stderr) << "atspi_probe: cannot register " << event << ": "
                                << reply.errorMessage() << Qt::endl;
            return 1;
        }
    }
    QTimer::singleShot(seconds * 1000, QCoreApplication::instance(), &QCoreApplication::quit);
    QCoreApplication::exec();
    QTextStream out(stdout);
    for (const auto& [what, count] : listener.Heard)
        out << what << ' ' << count << Qt::endl;
    return listener.Heard.empty() ? 1 : 0;
}

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

    if (const QString listen = option("--listen"); !listen.isEmpty())
        return Listen(bus, listen.toInt());

    if (const QString file = option("--recheck"); !file.isEmpty()) return Recheck(bus, file);

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
    if (const QString file = option("--keep-cells"); !file.isEmpty()) {
        QFile kept(file);
        if (kept.open(QIODevice::WriteOnly | QIODevice::Text))
            kept.write((probe.Kept().join(u'\n') + u'\n').toUtf8());
    }
    return probe.Failed() ? 1 : 0;
}

#include "atspi_probe.moc"
