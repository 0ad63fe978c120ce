#include "StdCtrls.h"

#include "SysUtils.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStyleOptionGroupBox>
#include <QTextBlock>

// ------------------------------------------------------------------- TLabel

TLabel::TLabel(QObject* owner) : TControl(owner) {
    SetParentColor(true);
    SetAutoSize(true);
    // The label paints its own background, and only when it has a colour of
    // its own: with its parent's colour it lets the parent show through, as
    // a group box's panel may be shaded by the style.
    setAutoFillBackground(false);
}

void TLabel::SetAlignment(TAlignment value) {
    FAlignment = value;
    update();
}

void TLabel::SetTransparent(bool value) {
    FTransparent = value;
    update();
}

void TLabel::SetWordWrap(bool value) {
    FWordWrap = value;
    if (AutoSize()) AdjustSize();
    update();
}

void TLabel::AdjustSize() {
    if (!AutoSize()) return;
    const QFontMetrics fm(Font()->ToQFont());
    const QString text = Caption().isEmpty() ? QStringLiteral(" ") : Caption();
    if (FWordWrap) {
        const QRect r =
            fm.boundingRect(QRect(0, 0, std::max(1, FWidth), 100000), Qt::TextWordWrap, text);
        SetBounds(FLeft, FTop, FWidth, r.height());
    } else {
        const QRect r = fm.boundingRect(QRect(0, 0, 100000, 100000), 0, text);
        SetBounds(FLeft, FTop, Caption().isEmpty() ? 0 : r.width(), fm.height());
    }
}

void TLabel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (!FTransparent && !ParentColor()) p.fillRect(rect(), ToQColor(Color()));
    p.setFont(Font()->ToQFont());
    p.setPen(isEnabled() ? ToQColor(Font()->Color()) : ToQColor(clGrayText));
    int flags = Qt::AlignTop;
    flags |= FAlignment == taCenter         ? Qt::AlignHCenter
             : FAlignment == taRightJustify ? Qt::AlignRight
                                            : Qt::AlignLeft;
    if (FWordWrap) flags |= Qt::TextWordWrap;
    p.drawText(rect(), flags, Caption());
}

// -------------------------------------------------------------------- TMemo

TMemo::TMemo(QObject* owner) : TWinControl(owner), FEditor(new QPlainTextEdit(this)) {
    SetColor(clWindow);
    RegisterEvent("OnChange", OnChange);
    FEditor->setFrameShape(QFrame::StyledPanel);
    FEditor->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    FEditor->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QObject::connect(FEditor, &QPlainTextEdit::textChanged, this, [this] {
        if (FSettingText) return;
        // A change typed by the user.
        FText = FEditor->toPlainText();
        if (!IsLoading()) Change();
    });
    ColorChanged();
}

void TMemo::SetBorderStyle(TBorderStyle value) {
    FBorderStyle = value;
    FEditor->setFrameShape(value == bsNone ? QFrame::NoFrame : QFrame::StyledPanel);
}

QStringList TMemo::Lines() const {
    if (FText.isEmpty()) return {};
    QStringList lines = FText.split(QLatin1Char('\n'));
    if (lines.back().isEmpty()) lines.pop_back();
    return lines;
}

void TMemo::SetLines(const QStringList& lines) {
    QString text;
    for (const QString& line : lines) {
        text += line;
        text += QLatin1Char('\n');
    }
    SetText(text);
}

void TMemo::SetReadOnly(bool value) {
    FReadOnly = value;
    FEditor->setReadOnly(value);
}

void TMemo::SetScrollBars(TScrollStyle value) {
    FScrollBars = value;
    const bool vert = value == ssVertical || value == ssBoth;
    const bool horz = value == ssHorizontal || value == ssBoth;
    FEditor->setVerticalScrollBarPolicy(vert ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    FEditor->setHorizontalScrollBarPolicy(horz ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
}

void TMemo::SetWordWrap(bool value) {
    FWordWrap = value;
    FEditor->setLineWrapMode(value ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
}

void TMemo::SetText(const QString& text) {
    QString normalized = text;
    normalized.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    normalized.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (normalized == FText) return;
    FText = normalized;
    FSettingText = true;
    FEditor->setPlainText(FText);
    FSettingText = false;
    if (!IsLoading()) {
        // Keep the last line in view, as the caret of a memo that was just
        // written to does; the empty line after the last break does not
        // count, so two lines in a two-line box both stay visible.
        QTextBlock last = FEditor->document()->lastBlock();
        if (last.text().isEmpty() && last.previous().isValid()) last = last.previous();
        QTextCursor cursor(last);
        cursor.movePosition(QTextCursor::EndOfBlock);
        FEditor->setTextCursor(cursor);
        FEditor->ensureCursorVisible();
    }
    if (!IsLoading()) Change();
}

QString TMemo::Line(int index) const {
    const QStringList lines = Lines();
    if (index < 0 || index >= lines.size()) ListIndexError(index);
    return lines.at(index);
}

void TMemo::AddLine(const QString& line) {
    QStringList lines = Lines();
    lines.append(line);
    SetLines(lines);
}

void TMemo::DeleteLine(int index) {
    QStringList lines = Lines();
    if (index < 0 || index >= lines.size()) ListIndexError(index);
    lines.removeAt(index);
    SetLines(lines);
}

void TMemo::resizeEvent(QResizeEvent* event) {
    TWinControl::resizeEvent(event);
    FEditor->setGeometry(0, 0, width(), height());
}

void TMemo::ColorChanged() {
    QPalette pal = FEditor->palette();
    pal.setColor(QPalette::Base, ToQColor(EffectiveColor()));
    pal.setColor(QPalette::Text, ToQColor(Font()->Color()));
    FEditor->setPalette(pal);
}

void TMemo::FontChanged() {
    TWinControl::FontChanged();
    FEditor->setFont(Font()->ToQFont());
    ColorChanged();
}

// ------------------------------------------------------------------ TButton

TButton::TButton(QObject* owner) : TWinControl(owner), FButton(new QPushButton(this)) {
    SetTabStop(true);
    QObject::connect(FButton, &QPushButton::clicked, this, [this] { Click(); });
}

void TButton::resizeEvent(QResizeEvent* event) {
    TWinControl::resizeEvent(event);
    FButton->setGeometry(0, 0, width(), height());
}

void TButton::CaptionChanged() {
    FButton->setText(Caption());
}

void TButton::FontChanged() {
    TWinControl::FontChanged();
    FButton->setFont(Font()->ToQFont());
}

// ---------------------------------------------------------------- TGroupBox

TGroupBox::TGroupBox(QObject* owner) : TWinControl(owner) {}

void TGroupBox::AdjustClientRect(TRect& rect) const {
    // Room for the caption line on top and the two-pixel frame around.
    const QFontMetrics fm(Font()->ToQFont());
    rect.Top += fm.height();
    rect.Left += 2;
    rect.Top += 2;
    rect.Right -= 2;
    rect.Bottom -= 2;
}

void TGroupBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    QStyleOptionGroupBox opt;
    opt.initFrom(this);
    opt.text = Caption();
    opt.textAlignment = Qt::AlignLeft;
    opt.lineWidth = 1;
    opt.midLineWidth = 0;
    opt.subControls = QStyle::SC_GroupBoxFrame;
    if (!Caption().isEmpty()) opt.subControls |= QStyle::SC_GroupBoxLabel;
    opt.textColor = ToQColor(Font()->Color());
    p.setFont(Font()->ToQFont());
    style()->drawComplexControl(QStyle::CC_GroupBox, &opt, &p, this);
}
