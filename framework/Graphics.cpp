#include "Graphics.h"

#include <QFontDatabase>
#include <cmath>

TFont::TFont(QObject* parent) : QObject(parent) {}

void TFont::Changed() {
    if (OnChange) OnChange();
}

void TFont::SetCharset(int value) {
    FCharset = value;
    Changed();
}

void TFont::SetColor(TColor value) {
    FColor = value;
    Changed();
}

void TFont::SetHeight(int value) {
    FHeight = value;
    Changed();
}

void TFont::SetName(const QString& value) {
    FName = value;
    Changed();
}

void TFont::SetStyle(TFontStyles value) {
    FStyle = value;
    Changed();
}

int TFont::Size() const {
    return -static_cast<int>(std::lround(FHeight * 72.0 / 96.0));
}

void TFont::SetSize(int points) {
    SetHeight(-static_cast<int>(std::lround(points * 96.0 / 72.0)));
}

void TFont::Assign(const TFont& other) {
    FCharset = other.FCharset;
    FColor = other.FColor;
    FHeight = other.FHeight;
    FName = other.FName;
    FStyle = other.FStyle;
    Changed();
}

QString TFont::MapFaceName(const QString& name) {
    const QString lower = name.toLower();
    if (lower == u"arial narrow") return QStringLiteral("Liberation Sans Narrow");
    if (lower == u"ms sans serif" || lower == u"microsoft sans serif" || lower == u"arial" ||
        lower == u"tahoma" || lower == u"default" || lower == u"segoe ui" || lower.isEmpty())
        return QStringLiteral("Liberation Sans");
    if (lower == u"times new roman") return QStringLiteral("Liberation Serif");
    if (lower == u"courier new") return QStringLiteral("Liberation Mono");
    return name;
}

QFont TFont::ToQFont() const {
    QFont font(MapFaceName(FName));
    // A negative height is the em height; a positive one includes the
    // internal leading, which for these faces is about a tenth.
    const int pixels = FHeight < 0 ? -FHeight : std::max(1, FHeight * 9 / 10);
    font.setPixelSize(std::max(1, pixels));
    font.setBold(FStyle.testFlag(fsBold));
    font.setItalic(FStyle.testFlag(fsItalic));
    font.setUnderline(FStyle.testFlag(fsUnderline));
    font.setStrikeOut(FStyle.testFlag(fsStrikeOut));
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}
