#include "Types.h"

#include <QApplication>
#include <QPalette>
#include <array>
#include <utility>

namespace {

QColor SystemColor(int index) {
    const QPalette pal = QApplication::palette();
    switch (index) {
    case 0:
        return pal.color(QPalette::Button); // scroll bar
    case 1:
        return pal.color(QPalette::Window); // desktop
    case 2:
        return pal.color(QPalette::Active, QPalette::Highlight); // active caption
    case 3:
        return pal.color(QPalette::Inactive, QPalette::Button); // inactive caption
    case 4:
        return pal.color(QPalette::Window); // menu
    case 5:
        return pal.color(QPalette::Base); // window
    case 6:
        return pal.color(QPalette::Shadow); // window frame
    case 7:
        return pal.color(QPalette::WindowText); // menu text
    case 8:
        return pal.color(QPalette::Text); // window text
    case 9:
        return pal.color(QPalette::Active, QPalette::HighlightedText); // caption text
    case 10:
    case 11:
        return pal.color(QPalette::Window); // borders
    case 12:
        return pal.color(QPalette::Dark); // app work space
    case 13:
        return pal.color(QPalette::Highlight); // highlight
    case 14:
        return pal.color(QPalette::HighlightedText); // highlight text
    case 15:
        return pal.color(QPalette::Button); // button face
    case 16:
        return pal.color(QPalette::Dark); // button shadow
    case 17:
        return pal.color(QPalette::Disabled, QPalette::Text); // grey text
    case 18:
        return pal.color(QPalette::ButtonText); // button text
    case 19:
        return pal.color(QPalette::Inactive, QPalette::WindowText);
    case 20:
        return pal.color(QPalette::Light); // button highlight
    case 21:
        return pal.color(QPalette::Shadow); // 3D dark shadow
    case 22:
        return pal.color(QPalette::Midlight); // 3D light
    case 23:
        return pal.color(QPalette::ToolTipText); // info text
    case 24:
        return pal.color(QPalette::ToolTipBase); // info background
    case 26:
        return pal.color(QPalette::Link); // hot light
    default:
        return pal.color(QPalette::Window);
    }
}

const std::array<std::pair<const char*, TColor>, 44> kColorNames{{
    {"clBlack", clBlack},
    {"clMaroon", clMaroon},
    {"clGreen", clGreen},
    {"clOlive", clOlive},
    {"clNavy", clNavy},
    {"clPurple", clPurple},
    {"clTeal", clTeal},
    {"clGray", clGray},
    {"clSilver", clSilver},
    {"clRed", clRed},
    {"clLime", clLime},
    {"clYellow", clYellow},
    {"clBlue", clBlue},
    {"clFuchsia", clFuchsia},
    {"clAqua", clAqua},
    {"clWhite", clWhite},
    {"clNone", clNone},
    {"clDefault", clDefault},
    {"clScrollBar", clScrollBar},
    {"clBackground", clBackground},
    {"clActiveCaption", clActiveCaption},
    {"clInactiveCaption", clInactiveCaption},
    {"clMenu", clMenu},
    {"clWindow", clWindow},
    {"clWindowFrame", clWindowFrame},
    {"clMenuText", clMenuText},
    {"clWindowText", clWindowText},
    {"clCaptionText", clCaptionText},
    {"clActiveBorder", clActiveBorder},
    {"clInactiveBorder", clInactiveBorder},
    {"clAppWorkSpace", clAppWorkSpace},
    {"clHighlight", clHighlight},
    {"clHighlightText", clHighlightText},
    {"clBtnFace", clBtnFace},
    {"clBtnShadow", clBtnShadow},
    {"clGrayText", clGrayText},
    {"clBtnText", clBtnText},
    {"clInactiveCaptionText", clInactiveCaptionText},
    {"clBtnHighlight", clBtnHighlight},
    {"cl3DDkShadow", cl3DDkShadow},
    {"cl3DLight", cl3DLight},
    {"clInfoText", clInfoText},
    {"clInfoBk", clInfoBk},
    {"clHotLight", clHotLight},
}};

} // namespace

TColor ColorToRGB(TColor color) {
    if ((color & clSystemColor) == clSystemColor) return FromQColor(SystemColor(color & 0xFF));
    return color & 0x00FFFFFF;
}

QColor ToQColor(TColor color) {
    const TColor rgb = ColorToRGB(color);
    return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

TColor FromQColor(const QColor& color) {
    return RGB(color.red(), color.green(), color.blue());
}

bool IdentToColor(const QString& ident, TColor& color) {
    for (const auto& [name, value] : kColorNames) {
        if (ident.compare(QLatin1String(name), Qt::CaseInsensitive) == 0) {
            color = value;
            return true;
        }
    }
    bool ok = false;
    const qlonglong n = ident.startsWith(QLatin1Char('$')) ? ident.mid(1).toLongLong(&ok, 16)
                                                           : ident.toLongLong(&ok, 10);
    if (!ok || n < INT32_MIN || n > UINT32_MAX) return false;
    color = TColor(static_cast<std::uint32_t>(n));
    return true;
}

QString ColorToIdent(TColor color) {
    for (const auto& [name, value] : kColorNames)
        if (value == color) return QLatin1String(name);
    return QStringLiteral("$%1")
        .arg(static_cast<std::uint32_t>(color), 8, 16, QLatin1Char('0'))
        .toUpper();
}
