#pragma once
// Fonts as the stored layouts describe them (face name, height in pixels,
// style, character set, colour), mapped onto the faces this machine has.

#include "Types.h"

#include <QFont>
#include <QObject>
#include <functional>

class TFont : public QObject {
    Q_OBJECT
    Q_PROPERTY(int Charset READ Charset WRITE SetCharset)
    Q_PROPERTY(int Color READ Color WRITE SetColor)
    Q_PROPERTY(int Height READ Height WRITE SetHeight)
    Q_PROPERTY(QString Name READ Name WRITE SetName)
    Q_PROPERTY(TFontStyles Style READ Style WRITE SetStyle)
public:
    enum TFontStyle { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
    Q_DECLARE_FLAGS(TFontStyles, TFontStyle)
    Q_FLAG(TFontStyles)

    // Character sets as layouts store them; only kept, Qt's text is Unicode.
    static constexpr int DEFAULT_CHARSET = 1;
    static constexpr int TURKISH_CHARSET = 162;

    explicit TFont(QObject* parent = nullptr);

    int Charset() const { return FCharset; }
    void SetCharset(int value);
    TColor Color() const { return FColor; }
    void SetColor(TColor value);
    // Negative: the character height in pixels; positive: the cell height.
    int Height() const { return FHeight; }
    void SetHeight(int value);
    const QString& Name() const { return FName; }
    void SetName(const QString& value);
    TFontStyles Style() const { return FStyle; }
    void SetStyle(TFontStyles value);
    // Size in points at the logical 96 pixels per inch.
    int Size() const;
    void SetSize(int points);

    void Assign(const TFont& other);
    QFont ToQFont() const;
    // The installed face that stands in for a face name of the layouts.
    static QString MapFaceName(const QString& name);

    std::function<void()> OnChange;

private:
    void Changed();

    int FCharset = DEFAULT_CHARSET;
    TColor FColor = clWindowText;
    int FHeight = -11;
    QString FName = QStringLiteral("MS Sans Serif");
    TFontStyles FStyle;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(TFont::TFontStyles)
