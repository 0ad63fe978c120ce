#include "StdCtrls.h"

#include "Accessibility.h"
#include "Application.h"
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

void TLabel::CaptionChanged() {
    update();
    // The label is drawn, not a text Qt knows: a screen reader hears of the
    // new caption only so.
    AccessibleNameChanged(this);
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

namespace {

QString WithLineBreaks(const QString& text) {
    QString normalized = text;
    normalized.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    normalized.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return normalized;
}

// The lines of a memo's text: one per break, and one more for a last line
// without a break of its own.
int CountLines(const QString& text) {
    const int breaks = int(text.count(QLatin1Char('\n')));
    return !text.isEmpty() && !text.endsWith(QLatin1Char('\n')) ? breaks + 1 : breaks;
}

} // namespace

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
        FLineCount = CountLines(FText);
        if (!IsLoading()) Guarded(this, [this] { Change(); });
    });
    ColorChanged();
}

void TMemo::SetBorderStyle(TBorderStyle value) {
    FBorderStyle = value;
    FEditor->setFrameShape(value == bsNone ? QFrame::NoFrame : QFrame::StyledPanel);
}

// The editor mirrors the text character for character: a line break is a
// block separator, so an offset into the text is a position in the editor's
// document. Lines are added and removed there in place, which costs only
// the length of the line: the rest of the document keeps its layout.
class TMemo::TQuietEdit {
public:
    explicit TQuietEdit(TMemo& memo)
        : FMemo(memo), FUndo(memo.FEditor->document()->isUndoRedoEnabled()) {
        FMemo.FSettingText = true;
        // A change made from code is no step to undo (nor a copy of a long
        // line kept for one), as a text set anew leaves none.
        FMemo.FEditor->document()->setUndoRedoEnabled(false);
    }
    ~TQuietEdit() {
        FMemo.FEditor->document()->setUndoRedoEnabled(FUndo);
        FMemo.FSettingText = false;
    }
    TQuietEdit(const TQuietEdit&) = delete;
    TQuietEdit& operator=(const TQuietEdit&) = delete;

private:
    TMemo& FMemo;
    bool FUndo;
};

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
    const QString normalized = WithLineBreaks(text);
    if (normalized == FText) return;
    FText = normalized;
    FLineCount = CountLines(FText);
    {
        const TQuietEdit quiet(*this);
        FEditor->setPlainText(FText);
    }
    TextChanged();
}

void TMemo::TextChanged() {
    if (IsLoading()) return;
    // Keep the last line in view, as the caret of a memo that was just
    // written to does; the empty line after the last break does not count,
    // so two lines in a two-line box both stay visible.
    QTextBlock last = FEditor->document()->lastBlock();
    if (last.text().isEmpty() && last.previous().isValid()) last = last.previous();
    QTextCursor cursor(last);
    cursor.movePosition(QTextCursor::EndOfBlock);
    FEditor->setTextCursor(cursor);
    FEditor->ensureCursorVisible();
    Change();
}

qsizetype TMemo::LineStart(int index) const {
    qsizetype at = 0;
    for (int i = 0; i < index; ++i)
        at = FText.indexOf(QLatin1Char('\n'), at) + 1;
    return at;
}

QString TMemo::Line(int index) const {
    if (index < 0 || index >= FLineCount) ListIndexError(index);
    const qsizetype start = LineStart(index);
    const qsizetype end = FText.indexOf(QLatin1Char('\n'), start);
    return FText.mid(start, end < 0 ? -1 : end - start);
}

void TMemo::AddLine(const QString& line) {
    // A last line without a break gets one first, so the new line stands
    // on its own.
    const bool open = !FText.isEmpty() && !FText.endsWith(QLatin1Char('\n'));
    QString tail;
    if (open) tail += QLatin1Char('\n');
    tail += WithLineBreaks(line);
    tail += QLatin1Char('\n');
    // The text ends with a break now, so its lines are its breaks: counted
    // on the new part alone.
    const int breaksBefore = open ? FLineCount - 1 : FLineCount;
    AppendText(tail);
    FLineCount = breaksBefore + int(tail.count(QLatin1Char('\n')));
    TextChanged();
}

void TMemo::AppendText(const QString& tail) {
    const TQuietEdit quiet(*this);
    QTextCursor cursor(FEditor->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(tail);
    FText += tail;
}

void TMemo::DeleteLine(int index) {
    if (index < 0 || index >= FLineCount) ListIndexError(index);
    const qsizetype start = LineStart(index);
    const qsizetype lineBreak = FText.indexOf(QLatin1Char('\n'), start);
    const qsizetype end = lineBreak < 0 ? FText.size() : lineBreak + 1;
    {
        const TQuietEdit quiet(*this);
        QTextCursor cursor(FEditor->document());
        if (lineBreak >= 0) {
            // The break goes first, joining the line to the next one, and
            // then the line's own text: so the editor lays out again only
            // the line that moved up, never one further down (it would if
            // the whole line went at once and was longer than the next).
            cursor.setPosition(int(lineBreak));
            cursor.deleteChar();
        }
        cursor.setPosition(int(start));
        cursor.setPosition(int(lineBreak >= 0 ? lineBreak : end), QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
        FText.remove(start, end - start);
    }
    // What is left ends with a line break, as a memo's lines do.
    if (!FText.isEmpty() && !FText.endsWith(QLatin1Char('\n'))) AppendText(QStringLiteral("\n"));
    --FLineCount;
    TextChanged();
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
    QObject::connect(FButton, &QPushButton::clicked, this,
                     [this] { Guarded(this, [this] { Click(); }); });
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

void TGroupBox::CaptionChanged() {
    update();
    AccessibleNameChanged(this);
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
