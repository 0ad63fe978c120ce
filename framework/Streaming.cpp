#include "Streaming.h"

#include "Classes.h"
#include "Types.h"

#include <QFile>
#include <QMetaEnum>
#include <QMetaProperty>
#include <QStringList>
#include <QWidget>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>
#include <algorithm>
#include <vector>

namespace {

constexpr int kMaxDepth = 64;

[[noreturn]] void Fail(const QXmlStreamReader& xml, const QString& what) {
    throw EReadError(
        QStringLiteral("Error reading layout (line %1): %2").arg(xml.lineNumber()).arg(what));
}

// The first property of a class that belongs to us rather than to Qt.
int FirstOwnProperty(const QObject* object) {
    if (object->isWidgetType()) return QWidget::staticMetaObject.propertyCount();
    return QObject::staticMetaObject.propertyCount();
}

bool IsColorProperty(const QMetaProperty& p) {
    return QByteArray(p.name()).endsWith("Color");
}

bool IsObjectPointer(const QMetaProperty& p) {
    return p.metaType().flags().testFlag(QMetaType::PointerToQObject);
}

struct Fixup {
    QObject* Object;
    QByteArray Property;
    QString Target;
    qint64 Line;
};

class Reader {
public:
    Reader(QObject* root, const QByteArray& data) : FRoot(root), FXml(data) {}

    void Read() {
        if (!FXml.readNextStartElement())
            Fail(FXml, FXml.hasError() ? FXml.errorString() : QStringLiteral("empty layout"));
        if (FXml.name() != u"object") Fail(FXml, QStringLiteral("expected <object>"));
        const QString cls = FXml.attributes().value(QLatin1String("class")).toString();
        if (cls != QLatin1String(FRoot->metaObject()->className()))
            Fail(FXml, QStringLiteral("the layout is for class %1, not %2")
                           .arg(cls, QLatin1String(FRoot->metaObject()->className())));
        const QString name = FXml.attributes().value(QLatin1String("name")).toString();
        if (!name.isEmpty()) FRoot->setObjectName(name);
        Begin(FRoot);
        ReadBody(FRoot, 0);
        // Anything after the root element must be nothing but the end.
        while (!FXml.atEnd()) {
            FXml.readNext();
            if (FXml.isStartElement()) Fail(FXml, QStringLiteral("more than one root object"));
        }
        if (FXml.hasError()) Fail(FXml, FXml.errorString());
        ResolveFixups();
        for (QObject* o : FLoaded)
            if (TComponentBase* c = AsComponent(o)) c->SetComponentStateFlags(csReading, false);
        for (QObject* o : FLoaded)
            if (TComponentBase* c = AsComponent(o)) c->Loaded();
    }

private:
    void Begin(QObject* object) {
        if (TComponentBase* c = AsComponent(object))
            c->SetComponentStateFlags(csLoading | csReading, true);
        FLoaded.push_back(object);
    }

    // Moves to the next element inside the current one: true at its start,
    // false at the end of the current one. Only blanks may stand between
    // elements; other text means the layout is damaged.
    bool NextElement() {
        while (!FXml.atEnd()) {
            switch (FXml.readNext()) {
            case QXmlStreamReader::StartElement:
                return true;
            case QXmlStreamReader::EndElement:
                return false;
            case QXmlStreamReader::Characters:
                if (!FXml.isWhitespace())
                    Fail(FXml, QStringLiteral("unexpected text '%1'")
                                   .arg(FXml.text().trimmed().left(40).toString()));
                break;
            default:
                break;
            }
        }
        Fail(FXml, FXml.hasError() ? FXml.errorString() : QStringLiteral("unexpected end"));
    }

    void ReadBody(QObject* object, int depth) {
        if (depth > kMaxDepth) Fail(FXml, QStringLiteral("objects nested too deeply"));
        while (NextElement()) {
            if (FXml.name() == u"property")
                ReadProperty(object);
            else if (FXml.name() == u"object")
                ReadChildObject(object, depth);
            else
                Fail(FXml, QStringLiteral("unexpected <%1>").arg(FXml.name()));
        }
    }

    void ReadChildObject(QObject* parent, int depth) {
        const QByteArray cls = FXml.attributes().value(QLatin1String("class")).toLatin1();
        const QString name = FXml.attributes().value(QLatin1String("name")).toString();
        if (cls.isEmpty()) Fail(FXml, QStringLiteral("an object without a class"));
        if (!name.isEmpty() && FindComponent(FRoot, name))
            Fail(FXml, QStringLiteral("a component named %1 already exists").arg(name));
        QObject* child = nullptr;
        try {
            child = CreateComponent(cls, FRoot);
        } catch (const Exception& e) {
            Fail(FXml, e.Message());
        }
        child->setObjectName(name);
        Begin(child);
        TComponentBase* holder = AsComponent(parent);
        const TComponentBase* childComponent = AsComponent(child);
        const bool taken = holder && holder->ReadChild(child);
        if (!taken && (name.isEmpty() || child->isWidgetType() ||
                       (childComponent && childComponent->NeedsHolder()))) {
            const QString parentName = parent->objectName();
            delete child;
            FLoaded.pop_back();
            Fail(FXml, QStringLiteral("%1 cannot hold a %2")
                           .arg(parentName.isEmpty() ? QStringLiteral("this object") : parentName,
                                QString::fromLatin1(cls)));
        }
        if (!taken) {
            ReadBody(child, depth + 1);
            return;
        }
        try {
            ReadBody(child, depth + 1);
        } catch (...) {
            // The holder may free the child: nothing here uses it any more.
            FLoaded.erase(std::find(FLoaded.begin(), FLoaded.end(), child), FLoaded.end());
            holder->ChildRead(child, false);
            throw;
        }
        try {
            holder->ChildRead(child, true);
        } catch (const Exception& e) {
            // The holder refused the child and has freed it.
            FLoaded.erase(std::find(FLoaded.begin(), FLoaded.end(), child), FLoaded.end());
            Fail(FXml, e.Message());
        }
    }

    void ReadProperty(QObject* object) {
        const QString path = FXml.attributes().value(QLatin1String("name")).toString();
        if (path.isEmpty()) Fail(FXml, QStringLiteral("a property without a name"));
        // Walk nested parts ("Font.Name") down to the object that has it.
        QObject* target = object;
        const QStringList parts = path.split(QLatin1Char('.'));
        for (qsizetype i = 0; i + 1 < parts.size(); ++i) {
            const int index = target->metaObject()->indexOfProperty(parts[i].toLatin1());
            if (index < FirstOwnProperty(target))
                Fail(FXml, QStringLiteral("property %1 does not exist").arg(path));
            const QMetaProperty p = target->metaObject()->property(index);
            if (!IsObjectPointer(p) || p.isWritable())
                Fail(FXml, QStringLiteral("property %1 has no parts").arg(parts[i]));
            target = p.read(target).value<QObject*>();
            if (!target) Fail(FXml, QStringLiteral("property %1 is empty").arg(parts[i]));
        }
        const QByteArray name = parts.back().toLatin1();
        const int index = target->metaObject()->indexOfProperty(name);
        if (index < FirstOwnProperty(target)) {
            TComponentBase* c = AsComponent(target);
            if (c && c->HasEvent(name)) {
                const QByteArray method = FXml.readElementText().toLatin1();
                if (FXml.hasError()) Fail(FXml, FXml.errorString());
                if (!c->BindEvent(name, FRoot, method))
                    Fail(FXml, QStringLiteral("method %1 for %2 not found")
                                   .arg(QString::fromLatin1(method), path));
                return;
            }
            Fail(FXml, QStringLiteral("property %1 does not exist").arg(path));
        }
        const QMetaProperty p = target->metaObject()->property(index);
        if (p.metaType() == QMetaType::fromType<QStringList>()) {
            QStringList items;
            while (NextElement()) {
                if (FXml.name() != u"item")
                    Fail(FXml, QStringLiteral("expected <item> in %1").arg(path));
                items.append(FXml.readElementText());
                if (FXml.hasError()) Fail(FXml, FXml.errorString());
            }
            Write(target, p, QVariant(items), path);
            return;
        }
        const QString text = FXml.readElementText();
        if (FXml.hasError()) Fail(FXml, FXml.errorString());
        if (IsObjectPointer(p)) {
            if (!p.isWritable()) Fail(FXml, QStringLiteral("property %1 is read-only").arg(path));
            FFixups.push_back({target, name, text, FXml.lineNumber()});
            return;
        }
        Write(target, p, Convert(p, text, path), path);
    }

    QVariant Convert(const QMetaProperty& p, const QString& text, const QString& path) {
        const QString bad = QStringLiteral("invalid value '%1' for %2").arg(text, path);
        if (p.isEnumType()) {
            const QMetaEnum e = p.enumerator();
            bool ok = false;
            int value = 0;
            if (p.isFlagType()) {
                QString inner = text.trimmed();
                if (!inner.startsWith(QLatin1Char('[')) || !inner.endsWith(QLatin1Char(']')))
                    Fail(FXml, bad);
                inner = inner.mid(1, inner.size() - 2);
                ok = true;
                for (const QString& key : inner.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
                    bool one = false;
                    value |= e.keyToValue(key.trimmed().toLatin1(), &one);
                    ok = ok && one;
                }
            } else {
                value = e.keyToValue(text.trimmed().toLatin1(), &ok);
            }
            if (!ok) Fail(FXml, bad);
            return value;
        }
        switch (p.metaType().id()) {
        case QMetaType::Bool:
            if (text.compare(u"True", Qt::CaseInsensitive) == 0) return true;
            if (text.compare(u"False", Qt::CaseInsensitive) == 0) return false;
            Fail(FXml, bad);
        case QMetaType::Int: {
            if (IsColorProperty(p)) {
                TColor c = 0;
                if (!IdentToColor(text.trimmed(), c)) Fail(FXml, bad);
                return c;
            }
            bool ok = false;
            const int v = text.trimmed().toInt(&ok);
            if (!ok) Fail(FXml, bad);
            return v;
        }
        case QMetaType::Double: {
            bool ok = false;
            const double v = text.trimmed().toDouble(&ok);
            if (!ok) Fail(FXml, bad);
            return v;
        }
        case QMetaType::QString:
            return text;
        case QMetaType::QByteArray: {
            const QByteArray hex = text.trimmed().toLatin1();
            if (hex.size() % 2 != 0) Fail(FXml, bad);
            for (char ch : hex)
                if (!std::isxdigit(static_cast<unsigned char>(ch))) Fail(FXml, bad);
            return QByteArray::fromHex(hex);
        }
        default:
            Fail(FXml, QStringLiteral("property %1 cannot be stored").arg(path));
        }
    }

    void Write(QObject* target, const QMetaProperty& p, const QVariant& value,
               const QString& path) {
        if (!p.isWritable()) Fail(FXml, QStringLiteral("property %1 is read-only").arg(path));
        try {
            if (!p.write(target, value))
                Fail(FXml, QStringLiteral("invalid value for %1").arg(path));
        } catch (const EReadError&) {
            throw;
        } catch (const Exception& e) {
            Fail(FXml, QStringLiteral("%1: %2").arg(path, e.Message()));
        }
    }

    void ResolveFixups() {
        for (const Fixup& f : FFixups) {
            const QMetaProperty p = f.Object->metaObject()->property(
                f.Object->metaObject()->indexOfProperty(f.Property));
            QObject* component = f.Target.isEmpty() ? nullptr : FindComponent(FRoot, f.Target);
            const auto fail = [&](const QString& what) {
                throw EReadError(
                    QStringLiteral("Error reading layout (line %1): %2").arg(f.Line).arg(what));
            };
            if (!f.Target.isEmpty() && !component)
                fail(QStringLiteral("component %1 not found").arg(f.Target));
            const QMetaObject* wanted = p.metaType().metaObject();
            if (component && wanted && !component->metaObject()->inherits(wanted))
                fail(QStringLiteral("%1 is not a %2")
                         .arg(f.Target, QLatin1String(wanted->className())));
            // A pointer to any QObject subclass is stored the same way.
            QVariant v(p.metaType(), &component);
            p.write(f.Object, v);
        }
    }

    QObject* FRoot;
    QXmlStreamReader FXml;
    std::vector<QObject*> FLoaded;
    std::vector<Fixup> FFixups;
};

// ------------------------------------------------------------------ writer

void WriteProperties(QXmlStreamWriter& xml, const QObject* object, const QString& prefix) {
    const QMetaObject* meta = object->metaObject();
    for (int i = FirstOwnProperty(object); i < meta->propertyCount(); ++i) {
        const QMetaProperty p = meta->property(i);
        const QString name = prefix + QLatin1String(p.name());
        const QVariant value = p.read(object);
        if (IsObjectPointer(p)) {
            auto* other = value.value<QObject*>();
            if (!other) continue;
            if (p.isWritable()) {
                if (other->objectName().isEmpty()) continue;
                xml.writeStartElement(QStringLiteral("property"));
                xml.writeAttribute(QStringLiteral("name"), name);
                xml.writeCharacters(other->objectName());
                xml.writeEndElement();
            } else {
                WriteProperties(xml, other, name + QLatin1Char('.'));
            }
            continue;
        }
        if (!p.isWritable()) continue;
        auto open = [&] {
            xml.writeStartElement(QStringLiteral("property"));
            xml.writeAttribute(QStringLiteral("name"), name);
        };
        if (p.isEnumType()) {
            const QMetaEnum e = p.enumerator();
            const int v = value.toInt();
            open();
            if (p.isFlagType()) {
                QByteArray keys = e.valueToKeys(v);
                keys.replace('|', ',');
                xml.writeCharacters(QLatin1Char('[') + QString::fromLatin1(keys) +
                                    QLatin1Char(']'));
            } else {
                xml.writeCharacters(QString::fromLatin1(e.valueToKey(v)));
            }
            xml.writeEndElement();
            continue;
        }
        switch (p.metaType().id()) {
        case QMetaType::Bool:
            open();
            xml.writeCharacters(value.toBool() ? QStringLiteral("True") : QStringLiteral("False"));
            xml.writeEndElement();
            break;
        case QMetaType::Int:
            open();
            xml.writeCharacters(IsColorProperty(p) ? ColorToIdent(value.toInt())
                                                   : QString::number(value.toInt()));
            xml.writeEndElement();
            break;
        case QMetaType::Double:
            open();
            xml.writeCharacters(QString::number(value.toDouble(), 'g', 17));
            xml.writeEndElement();
            break;
        case QMetaType::QString:
            if (value.toString().isEmpty()) break;
            open();
            xml.writeCharacters(value.toString());
            xml.writeEndElement();
            break;
        case QMetaType::QStringList: {
            const QStringList items = value.toStringList();
            if (items.isEmpty()) break;
            open();
            for (const QString& item : items)
                xml.writeTextElement(QStringLiteral("item"), item);
            xml.writeEndElement();
            break;
        }
        case QMetaType::QByteArray:
            if (value.toByteArray().isEmpty()) break;
            open();
            xml.writeCharacters(QString::fromLatin1(value.toByteArray().toHex()));
            xml.writeEndElement();
            break;
        default:
            break;
        }
    }
}

void WriteObject(QXmlStreamWriter& xml, const QObject* object) {
    xml.writeStartElement(QStringLiteral("object"));
    xml.writeAttribute(QStringLiteral("class"), QLatin1String(object->metaObject()->className()));
    if (!object->objectName().isEmpty())
        xml.writeAttribute(QStringLiteral("name"), object->objectName());
    WriteProperties(xml, object, QString());
    if (const TComponentBase* c = dynamic_cast<const TComponentBase*>(object)) {
        for (const TComponentBase::EventEntry& e : c->Events()) {
            const QByteArray handler = e.HandlerName();
            if (handler.isEmpty()) continue;
            xml.writeStartElement(QStringLiteral("property"));
            xml.writeAttribute(QStringLiteral("name"), QString::fromLatin1(e.Name));
            xml.writeCharacters(QString::fromLatin1(handler));
            xml.writeEndElement();
        }
        for (const QObject* child : c->StreamedChildren())
            WriteObject(xml, child);
    }
    xml.writeEndElement();
}

} // namespace

void ReadComponent(QObject* root, const QByteArray& layout) {
    Reader reader(root, layout);
    reader.Read();
}

void ReadComponentResource(QObject* root, const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw EResNotFound(QStringLiteral("Resource %1 not found").arg(path));
    ReadComponent(root, file.readAll());
}

QByteArray WriteComponent(QObject* root) {
    QByteArray out;
    QXmlStreamWriter xml(&out);
    xml.setAutoFormatting(true);
    xml.setAutoFormattingIndent(2);
    xml.writeStartDocument();
    WriteObject(xml, root);
    xml.writeEndDocument();
    return out;
}
