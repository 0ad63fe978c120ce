#include "CellEditors.h"

#include "Application.h"
#include "EditControl.h"
#include "Exceptions.h"
#include "ThemesSupport.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QStyle>
#include <QWheelEvent>
#include <cmath>

// The grid's resources live in a static library; their registration must be
// pulled in by name, outside any namespace.
static void InitCellEditorResources() {
    Q_INIT_RESOURCE(grid);
}

namespace {

// The tip of the reversed arrow: the top right corner of its picture.
constexpr int kReversedArrowHotX = 31;
constexpr int kReversedArrowHotY = 0;

void RegisterReversedArrow() {
    InitCellEditorResources();
    const QPixmap pixmap(QStringLiteral(":/grid/cursors/REVERSEDARROW.png"));
    if (!pixmap.isNull())
        TScreenCursors::Register(crReversedArrow,
                                 QCursor(pixmap, kReversedArrowHotX, kReversedArrowHotY));
}

bool IsAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// Fixed-point text of V with the given number of decimals (at most 18, the
// digits a fixed-point text can carry).
QString FixedText(double V, int Decimals) {
    const int decimals = std::min(Decimals, 18);
    QString format = QStringLiteral("0");
    if (decimals > 0) format += QLatin1Char('.') + QString(decimals, QLatin1Char('0'));
    return FormatFloat(format, V);
}

} // namespace

// --------------------------------------------------------------- TCellEditor

TCellEditor::TCellEditor(QObject* owner) : TCustomControl(owner) {
    RegisterEvent("OnChange", OnChange);
    RegisterEvent("OnEdit", OnEdit);
    SetBounds(FLeft, FTop, 121, 20);
    SetTabStop(true);
    SetColor(clWindow);
    SetParentColor(false);
    RegisterReversedArrow();
}

void TCellEditor::SetAlignment(TAlignment Value) {
    FAlignment = Value;
    RecreateWnd();
}

void TCellEditor::SetMargin(int Value) {
    FMargin = Value;
    RecreateWnd();
}

void TCellEditor::SetVerticalAlignment(TVerticalAlignment Value) {
    FVerticalAlignment = Value;
    RecreateWnd();
}

void TCellEditor::SetBorderStyle(TBorderStyle Value) {
    FBorderStyle = Value;
    // The client area moves with the border: the children go with it.
    for (TControl* child : Controls())
        child->SetBounds(child->Left(), child->Top(), child->Width(), child->Height());
    ClientResized();
    update();
}

TRect TCellEditor::ClientRect() const {
    const int b = BorderWidth();
    return Rect(0, 0, std::max(0, FWidth - 2 * b), std::max(0, FHeight - 2 * b));
}

TPoint TCellEditor::ClientOrigin() const {
    return {BorderWidth(), BorderWidth()};
}

bool TCellEditor::GetBooleanValue() {
    AbstractError();
}

double TCellEditor::GetFloatValue() {
    AbstractError();
}

TDateTime TCellEditor::GetDateValue() {
    AbstractError();
}

WideString TCellEditor::GetValue() {
    AbstractError();
}

void TCellEditor::SetBooleanValue(bool) {
    AbstractError();
}

void TCellEditor::SetDateValue(TDateTime) {
    AbstractError();
}

void TCellEditor::SetFloatValue(double) {
    AbstractError();
}

void TCellEditor::SetValue(const WideString&) {
    AbstractError();
}

void TCellEditor::Change() {
    if (!IsReading()) OnChange(this);
}

void TCellEditor::Edit(const WideString& Value) {
    OnEdit(this, WideToAnsi(Value));
}

void TCellEditor::DoEnter() {
    TCustomControl::DoEnter();
    update();
}

void TCellEditor::DoExit() {
    TCustomControl::DoExit();
    update();
}

void TCellEditor::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseDown(Button, Shift, X, Y);
    setFocus(Qt::MouseFocusReason);
}

void TCellEditor::RecreateWnd() {
    if (FWindowCreated) CreateWnd();
    update();
}

bool TCellEditor::DoMouseWheelDown(TShiftState, const TPoint&) {
    return false;
}

bool TCellEditor::DoMouseWheelUp(TShiftState, const TPoint&) {
    return false;
}

void TCellEditor::PaintBorder() {
    if (FBorderStyle != bsSingle) return;
    TCanvas* c = Canvas();
    const TRect window = Rect(0, 0, width(), height());
    if (ThemesActive()) {
        c->ExcludeClipRect(TCalcProvider::OffsetEdges(window, 1, 1, -1, -1));
        DrawThemed(this, c, QStringLiteral("edit"), Themes::EP_EDITTEXT, 0, window);
    } else {
        c->Brush = TBrush{RGB(128, 128, 128), bsSolid};
        c->FrameRect(window);
    }
}

void TCellEditor::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    // The preview's drawing handler may fail: the rest of the pass goes.
    Guarded(this, [&] { PaintAll(painter, event->region()); });
}

void TCellEditor::PaintAll(QPainter& painter, const QRegion& region) {
    if (BorderWidth() > 0) {
        TCanvas* c = Canvas();
        c->BeginPaint(&painter, region);
        PaintBorder();
        c->EndPaint();
    }
    const TPoint origin = ClientOrigin();
    const QRegion client = region.translated(-origin.X, -origin.Y) & ClientRect().ToQRect();
    if (client.isEmpty()) return;
    painter.translate(origin.X, origin.Y);
    PaintOn(painter, client, [this] {
        Paint();
        PaintContent();
    });
}

void TCellEditor::resizeEvent(QResizeEvent* event) {
    TCustomControl::resizeEvent(event);
    Guarded(this, [this] { ClientResized(); });
}

void TCellEditor::showEvent(QShowEvent* event) {
    TCustomControl::showEvent(event);
    if (!FWindowCreated) {
        FWindowCreated = true;
        Guarded(this, [this] { CreateWnd(); });
    }
}

void TCellEditor::wheelEvent(QWheelEvent* event) {
    const int delta = event->angleDelta().y();
    if (delta == 0) return event->ignore();
    // Notches of 120, the remainder kept for the next turn; a turn the
    // other way starts afresh.
    if ((FWheelRemainder > 0 && delta < 0) || (FWheelRemainder < 0 && delta > 0))
        FWheelRemainder = 0;
    FWheelRemainder += delta;
    const TShiftState shift = ShiftStateFrom(event->modifiers(), event->buttons());
    const TPoint at = TPoint::FromQPoint(event->position().toPoint());
    // A step may report a new value to a handler that frees the editor.
    const QPointer<TCellEditor> alive(this);
    while (std::abs(FWheelRemainder) >= 120) {
        const bool down = FWheelRemainder < 0;
        FWheelRemainder += down ? 120 : -120;
        bool taken = true;
        const bool ran = Guarded(
            this, [&] { taken = down ? DoMouseWheelDown(shift, at) : DoMouseWheelUp(shift, at); });
        if (!alive || !ran) return event->accept();
        FWheelTaken = taken;
    }
    // A part of a notch goes where the last whole notch went, so a fine
    // wheel does not scroll the parent between the steps.
    event->setAccepted(FWheelTaken);
}

bool TCellEditor::InClient(const QPointF& windowPos) const {
    const TPoint o = ClientOrigin();
    return ClientRect().ToQRect().translated(o.X, o.Y).contains(windowPos.toPoint());
}

template <class Fn> void TCellEditor::Translated(QMouseEvent* event, Fn handler) {
    const TPoint o = ClientOrigin();
    if (o.X == 0 && o.Y == 0) {
        handler(event);
        return;
    }
    QMouseEvent moved(event->type(), event->position() - QPointF(o.X, o.Y), event->scenePosition(),
                      event->globalPosition(), event->button(), event->buttons(),
                      event->modifiers(), event->pointingDevice());
    handler(&moved);
    event->setAccepted(moved.isAccepted());
}

// A press on the border is not the client's, but it is the editor's: it
// goes no further.
void TCellEditor::mousePressEvent(QMouseEvent* event) {
    if (!InClient(event->position())) return event->accept();
    Translated(event, [this](QMouseEvent* e) { TCustomControl::mousePressEvent(e); });
}

void TCellEditor::mouseDoubleClickEvent(QMouseEvent* event) {
    if (!InClient(event->position())) return event->accept();
    Translated(event, [this](QMouseEvent* e) { TCustomControl::mouseDoubleClickEvent(e); });
}

void TCellEditor::mouseReleaseEvent(QMouseEvent* event) {
    Translated(event, [this](QMouseEvent* e) { TCustomControl::mouseReleaseEvent(e); });
}

void TCellEditor::mouseMoveEvent(QMouseEvent* event) {
    Translated(event, [this](QMouseEvent* e) { TCustomControl::mouseMoveEvent(e); });
}

// ------------------------------------------------------------ TTextualEditor

TTextualEditor::TTextualEditor(QObject* owner) : TCellEditor(owner), FEdit(new TEditControl(this)) {
    RegisterEvent("OnCustomPreviewDraw", OnCustomPreviewDraw);
    // The pointer shape is the editor's, over the text as over its edges.
    FEdit->unsetCursor();
    FEdit->OnPaste = [this](const QString& text) { PasteText(text); };
    ApplyColors();
    ApplyCursor();
    UpdateEditControl();
}

QString TTextualEditor::Text() const {
    return FEdit->text();
}

void TTextualEditor::SetText(const QString& Value) {
    if (Value == FEdit->text()) return;
    FEdit->SetTextQuietly(Value);
    TextChanged();
}

void TTextualEditor::TextChanged() {
    update();
    // A handler of OnChange may free the editor.
    const QPointer<TTextualEditor> alive(this);
    Change();
    if (alive) Edit(Text());
}

void TTextualEditor::SetReadOnly(bool Value) {
    FReadOnly = Value;
    FEdit->setReadOnly(Value);
    // The line edit picks a pointer shape of its own for the state.
    FEdit->unsetCursor();
}

void TTextualEditor::SetShowPreview(bool Value) {
    FShowPreview = Value;
    UpdateEditControl();
    update();
}

void TTextualEditor::GetEditRect(TRect& Rect) {
    const TRect client = ClientRect();
    const int h = QFontMetrics(Font()->ToQFont()).height();
    Rect.Left = Margin() + 2;
    Rect.Right = client.Width() - Margin() - 1;
    switch (VerticalAlignment()) {
    case vaTop:
        Rect.Top = Margin();
        Rect.Bottom = Rect.Top + h;
        break;
    case vaBottom:
        Rect.Bottom = client.Height() - Margin();
        Rect.Top = Rect.Bottom - h;
        break;
    default:
        Rect.Top = (client.Height() - 1) / 2 - h / 2;
        Rect.Bottom = Rect.Top + h;
        break;
    }
    if (FShowPreview) Rect.Left += 27;
}

void TTextualEditor::DrawPreview(const TRect& Rect) {
    CustomPreviewDraw(Rect);
}

void TTextualEditor::PaintContent() {
    if (!FShowPreview) return;
    TCanvas* c = Canvas();
    const TRect frame = Rect(1, 1, 21, ClientHeight() - 1);
    c->Brush = TBrush{clBlack, bsSolid};
    c->FrameRect(frame);
    DrawPreview(TCalcProvider::OffsetEdges(frame, 1, 1, -1, -1));
}

void TTextualEditor::Activate() {
    FEdit->SetSelStart(int(Text().size()));
}

void TTextualEditor::SelectAll() {
    FEdit->setSelection(0, int(Text().size()));
}

void TTextualEditor::KeyPress(QChar& Key) {
    TCellEditor::KeyPress(Key);
    // One line: Enter types nothing. The drop-down list takes its text only
    // from the list.
    if (Key == QChar(13) || FDropDownStyle == dsDropDownList) Key = QChar();
}

void TTextualEditor::DoEnter() {
    TCellEditor::DoEnter();
    if (FAutoSelect) SelectAll();
}

void TTextualEditor::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCellEditor::MouseDown(Button, Shift, X, Y);
    if (X <= 2) SelectAll();
}

void TTextualEditor::MouseMove(TShiftState Shift, int X, int Y) {
    TCellEditor::MouseMove(Shift, X, Y);
    const bool over = X <= 2;
    if (over == FOverLeftEdge) return;
    FOverLeftEdge = over;
    ApplyCursor();
}

void TTextualEditor::ApplyCursor() {
    if (FOverLeftEdge)
        QWidget::setCursor(TScreenCursors::Get(crReversedArrow));
    else if (Cursor() == crDefault)
        QWidget::setCursor(Qt::IBeamCursor);
    else
        QWidget::setCursor(CursorShape(Cursor()));
}

void TTextualEditor::PasteText(const QString& Value) {
    FEdit->ReplaceSelection(Value);
}

void TTextualEditor::UpdateEditControl() {
    TRect r;
    GetEditRect(r);
    const TPoint o = ClientOrigin();
    FEdit->setGeometry(r.Left + o.X, r.Top + o.Y, std::max(0, r.Width()), std::max(0, r.Height()));
    FEdit->SetTextAlignment(Alignment());
}

void TTextualEditor::RecreateWnd() {
    UpdateEditControl();
    TCellEditor::RecreateWnd();
}

void TTextualEditor::ClientResized() {
    TCellEditor::ClientResized();
    UpdateEditControl();
}

void TTextualEditor::ApplyColors() {
    FEdit->SetColors(EffectiveColor(), Font()->Color());
}

void TTextualEditor::ColorChanged() {
    TCellEditor::ColorChanged();
    ApplyColors();
}

void TTextualEditor::FontChanged() {
    TCellEditor::FontChanged();
    ApplyColors();
    // The edit rectangle is one line of the font high.
    UpdateEditControl();
}

// ------------------------------------------------------------ TNumericEditor

TNumericEditor::TNumericEditor(QObject* owner) : TTextualEditor(owner) {
    FormatValue(0);
}

void TNumericEditor::SetNullText(const QString& Value) {
    FNullText = Value;
    FormatValue(0);
}

void TNumericEditor::SetPrecision(int Value) {
    FPrecision = Value;
    FormatValue(this->Value());
}

void TNumericEditor::SetTextAfter(const QString& Value) {
    if (FOptions.testFlag(eoAllowAll)) {
        FTextAfter = Value;
        return;
    }
    // The value is read before the unit it is shown with changes.
    const double v = this->Value();
    FTextAfter = Value;
    FormatValue(v);
}

double TNumericEditor::Value() const {
    QString text = Text();
    if (text.isEmpty()) return 0;
    // The editor's own renderings: the null text is 0, and the unit after
    // the number is no part of it.
    if (!FNullText.isEmpty() && text == FNullText) return 0;
    if (!FTextAfter.isEmpty() && text.endsWith(FTextAfter)) text.chop(FTextAfter.size());
    // Very large and very small numbers are shown with an exponent ("1E20",
    // "1E-5"), which cleaning would turn into other digits.
    double exponent = 0;
    if ((text.contains(u'E') || text.contains(u'e')) && TryStrToFloat(text, exponent))
        return exponent;
    QString number = CleanNumber(text, AllowsFloat(), AllowsSigns());
    if (number.isEmpty()) number = QStringLiteral("0");
    return StrToFloat(number);
}

void TNumericEditor::FormatValue(double V) {
    if (V != 0 || FNullText.isEmpty()) {
        const QString number =
            FPrecision > 0 && AllowsFloat() ? FixedText(V, FPrecision) : FloatToStr(V);
        SetText(number + FTextAfter);
    } else {
        SetText(FNullText);
    }
}

QString TNumericEditor::CleanNumber(const QString& S, bool AllowSeparator, bool AllowSign) {
    const QChar separator = FormatSettings.DecimalSeparator;
    QString result;
    bool separatorKept = false;
    for (qsizetype i = 0; i < S.size(); ++i) {
        const QChar c = S[i];
        if (IsAsciiDigit(c)) {
            result += c;
        } else if (c == separator) {
            if (AllowSeparator && !separatorKept) {
                result += c;
                separatorKept = true;
            }
        } else if (c == u'+' || c == u'-') {
            if (AllowSign && i == 0) result += c;
        }
    }
    return result;
}

void TNumericEditor::KeyPress(QChar& Key) {
    if (!FOptions.testFlag(eoAllowAll)) {
        const char16_t c = Key.unicode();
        const QChar separator = FormatSettings.DecimalSeparator;
        // What lies outside the selection stays; what is selected is typed
        // over.
        const QString text = Text();
        const int start = FEdit->SelStart();
        const QString kept = text.left(start) + text.mid(start + FEdit->SelLength());
        if (c == 3 || c == 9 || c == 22 || c == 24) {
            // Copy, Tab, Paste and Cut always pass.
        } else if (Key == separator) {
            if (!AllowsFloat() || kept.contains(separator)) Key = QChar();
        } else if (c == u'+' || c == u'-') {
            if (!AllowsSigns() || start != 0 || kept.contains(u'+') || kept.contains(u'-'))
                Key = QChar();
        } else if (!IsAsciiDigit(Key) && c != 8) {
            Key = QChar();
        }
    }
    if (!Key.isNull()) TTextualEditor::KeyPress(Key);
}

void TNumericEditor::PasteText(const QString& Value) {
    const QString text = Text();
    const int start = FEdit->SelStart();
    const int length = FEdit->SelLength();
    const QString kept = text.left(start) + text.mid(start + length);
    const bool separator = AllowsFloat() && !kept.contains(FormatSettings.DecimalSeparator);
    const bool sign = AllowsSigns() && start == 0;
    FEdit->ReplaceSelection(CleanNumber(Value, separator, sign));
    FEdit->SetSelStart(start);
}

void TNumericEditor::DoExit() {
    TTextualEditor::DoExit();
    if (!FOptions.testFlag(eoAllowAll)) FormatValue(Value());
}

void TNumericEditor::CreateWnd() {
    TTextualEditor::CreateWnd();
    FormatValue(Value());
}

void TNumericEditor::Assign(const TNumericEditor& Source) {
    if (&Source == this) return;
    const double v = Source.Value();
    FMax = Source.FMax;
    FMin = Source.FMin;
    FOptions = Source.FOptions;
    SetNullText(Source.FNullText);
    SetPrecision(Source.FPrecision);
    SetValue(v);
}

// -------------------------------------------------------------- TSpinButtons

TSpinButtons::TSpinButtons(QObject* owner)
    : TCustomControl(owner), FDelayTimer(new TTimer(this)), FRepeatTimer(new TTimer(this)) {
    // The keyboard stays in the editor's text while its buttons are used.
    setFocusPolicy(Qt::NoFocus);
    FDelayTimer->SetEnabled(false);
    FDelayTimer->SetInterval(DelayInterval);
    FDelayTimer->OnTimer = [this](QObject*) { DelayElapsed(); };
    FRepeatTimer->SetEnabled(false);
    FRepeatTimer->SetInterval(RepeatInterval);
    FRepeatTimer->OnTimer = [this](QObject*) { RepeatElapsed(); };
}

void TSpinButtons::SetHotPart(int Value) {
    if (Value == FHotPart) return;
    FHotPart = Value;
    update();
}

void TSpinButtons::Press(int Part) {
    FRepeatTimer->SetEnabled(false);
    FPressedPart = Part;
    update();
    // The step's notices may free the editor, and the buttons with it.
    const QPointer<TSpinButtons> alive(this);
    Step(Part);
    if (alive) FDelayTimer->SetEnabled(true);
}

void TSpinButtons::Release() {
    FDelayTimer->SetEnabled(false);
    FRepeatTimer->SetEnabled(false);
    if (FPressedPart == 0) return;
    FPressedPart = 0;
    update();
}

void TSpinButtons::DelayElapsed() {
    FDelayTimer->SetEnabled(false);
    if (FPressedPart != 0) FRepeatTimer->SetEnabled(true);
}

void TSpinButtons::RepeatElapsed() {
    // A tick already queued when the part was released steps no more.
    if (FPressedPart == 0) {
        FRepeatTimer->SetEnabled(false);
        return;
    }
    Step(FPressedPart);
}

void TSpinButtons::hideEvent(QHideEvent* event) {
    TCustomControl::hideEvent(event);
    Guarded(this, [this] { Release(); });
}

bool TSpinButtons::event(QEvent* event) {
    if (event->type() == QEvent::WindowDeactivate) Guarded(this, [this] { Release(); });
    return TCustomControl::event(event);
}

void TSpinButtons::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseDown(Button, Shift, X, Y);
    if (Button == mbLeft) Press(PartAt(Y));
}

void TSpinButtons::MouseMove(TShiftState Shift, int X, int Y) {
    TCustomControl::MouseMove(Shift, X, Y);
    SetHotPart(ClientRect().Contains(Point(X, Y)) ? PartAt(Y) : 0);
}

void TSpinButtons::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseUp(Button, Shift, X, Y);
    if (Button == mbLeft) Release();
}

void TSpinButtons::Paint() {
    const int half = FHeight / 2;
    const TRect parts[2] = {Rect(0, 0, FWidth, half), Rect(0, half, FWidth, FHeight)};
    for (int i = 0; i < 2; ++i) {
        const int part = i + 1;
        const bool pressed = (FPressedPart & part) != 0;
        if (ThemesActive()) {
            const int state = pressed                  ? Themes::UPS_PRESSED
                              : (FHotPart & part) != 0 ? Themes::UPS_HOT
                                                       : Themes::UPS_NORMAL;
            DrawThemed(this, Canvas(), QStringLiteral("spin"),
                       part == 1 ? Themes::SPNP_UP : Themes::SPNP_DOWN, state, parts[i]);
        } else {
            PaintClassicPart(parts[i], part == 1, pressed);
        }
    }
}

void TSpinButtons::PaintClassicPart(const TRect& R, bool Up, bool Pushed) {
    TGraphicsProvider::ScrollArrowButton(Canvas(), R, Up, Pushed);
}

// --------------------------------------------------------------- TSpinEditor

TSpinEditor::TSpinEditor(QObject* owner) : TNumericEditor(owner), FButtons(new TSpinButtons(this)) {
    FButtons->SetEditor(this);
    FButtons->SetParentControl(this);
    FButtons->OnStep = [this](QObject*, int Part) { Step(Part); };
    FButtons->Show();
    SetPrecision(0);
    SetValue(0.0);
    ClientResized();
}

void TSpinEditor::Step(int Part) {
    if (Part == 1)
        StepUp();
    else if (Part == 2)
        StepDown();
}

void TSpinEditor::StepUp() {
    const double v = Value();
    if (Max() > 0 && v + FIncrement > Max()) return;
    SetValue(v + FIncrement);
}

void TSpinEditor::StepDown() {
    const double v = Value();
    if (v - FIncrement >= Min()) SetValue(v - FIncrement);
}

void TSpinEditor::LayoutButtons() {
    if (!FButtons) return;
    const bool single = BorderStyle() == bsSingle;
    const TRect client = ClientRect();
    const int w = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    const int h = (single ? client.Height() - 2 : client.Height()) + 1;
    FButtons->SetBounds(client.Width() - w, single ? 1 : 0, w, h);
}

void TSpinEditor::ClientResized() {
    LayoutButtons();
    TNumericEditor::ClientResized();
}

void TSpinEditor::GetEditRect(TRect& Rect) {
    TNumericEditor::GetEditRect(Rect);
    if (FButtons) Rect.Right = ClientWidth() - FButtons->Width();
}

void TSpinEditor::KeyDown(int& Key, TShiftState Shift) {
    TNumericEditor::KeyDown(Key, Shift);
    if (Key == VK_UP || Key == VK_DOWN) {
        FButtons->Press(Key == VK_UP ? 1 : 2);
        Key = 0;
    }
}

void TSpinEditor::KeyUp(int& Key, TShiftState Shift) {
    TNumericEditor::KeyUp(Key, Shift);
    FButtons->Release();
}

void TSpinEditor::DoExit() {
    FButtons->Release();
    TNumericEditor::DoExit();
}

bool TSpinEditor::DoMouseWheelDown(TShiftState, const TPoint&) {
    const QPointer<TSpinButtons> buttons(FButtons);
    buttons->Press(2);
    if (buttons) buttons->Release();
    return true;
}

bool TSpinEditor::DoMouseWheelUp(TShiftState, const TPoint&) {
    const QPointer<TSpinButtons> buttons(FButtons);
    buttons->Press(1);
    if (buttons) buttons->Release();
    return true;
}

void TSpinEditor::MouseEnter() {
    TNumericEditor::MouseEnter();
    FButtons->SetHotPart(3);
}

void TSpinEditor::MouseLeave() {
    TNumericEditor::MouseLeave();
    FButtons->SetHotPart(0);
}

// --------------------------------------------------------- TCanvasCellEditor

TCanvasCellEditor::TCanvasCellEditor(QObject* owner) : TCellEditor(owner) {}

void TCanvasCellEditor::Paint() {
    Canvas()->Brush = TBrush{EffectiveColor(), bsSolid};
    Canvas()->FillRect(ClientRect());
}

// ----------------------------------------------------------- TCheckBoxEditor

TCheckBoxEditor::TCheckBoxEditor(QObject* owner) : TCanvasCellEditor(owner) {}

void TCheckBoxEditor::SetChecked(bool Value) {
    FChecked = Value;
    // A handler of the notices may free the editor.
    const QPointer<TCheckBoxEditor> alive(this);
    Change();
    if (alive) Edit(GetValue());
    if (alive) InvalidateBox();
}

void TCheckBoxEditor::SetGrayed(bool Value) {
    FGrayed = Value;
    InvalidateBox();
}

WideString TCheckBoxEditor::GetValue() {
    return BoolToStr(FChecked);
}

void TCheckBoxEditor::SetValue(const WideString& Value) {
    SetChecked(Value.toLower() == u"true");
}

TRect TCheckBoxEditor::BoxArea() const {
    return TCalcProvider::OffsetEdges(ClientRect(), -1, -1, 1, 1);
}

TRect TCheckBoxEditor::BoxRect() const {
    const int size = ThemesActive() ? 13 : 11;
    const TPoint p =
        TCalcProvider::AlignedPoint(size, size, 2, BoxArea(), Alignment(), VerticalAlignment());
    return Bounds(p.X, p.Y, size, size);
}

void TCheckBoxEditor::InvalidateBox() {
    const TPoint o = ClientOrigin();
    update(BoxRect().ToQRect().translated(o.X, o.Y));
}

void TCheckBoxEditor::KeyDown(int& Key, TShiftState Shift) {
    TCanvasCellEditor::KeyDown(Key, Shift);
    if (Key == VK_SPACE) {
        FPressed = true;
        InvalidateBox();
    }
}

void TCheckBoxEditor::KeyUp(int& Key, TShiftState Shift) {
    TCanvasCellEditor::KeyUp(Key, Shift);
    if (Key == VK_SPACE) {
        FPressed = false;
        SetChecked(!FChecked);
    }
}

void TCheckBoxEditor::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCanvasCellEditor::MouseDown(Button, Shift, X, Y);
    if (Button == mbLeft && BoxRect().Contains(Point(X, Y))) {
        FPressed = true;
        InvalidateBox();
    }
}

void TCheckBoxEditor::MouseMove(TShiftState Shift, int X, int Y) {
    TCanvasCellEditor::MouseMove(Shift, X, Y);
    const bool hot = BoxRect().Contains(Point(X, Y));
    if (hot == FHot) return;
    FHot = hot;
    InvalidateBox();
}

void TCheckBoxEditor::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCanvasCellEditor::MouseUp(Button, Shift, X, Y);
    if (Button != mbLeft) return;
    FPressed = false;
    if (BoxRect().Contains(Point(X, Y)))
        SetChecked(!FChecked);
    else
        InvalidateBox();
}

void TCheckBoxEditor::MouseLeave() {
    TCanvasCellEditor::MouseLeave();
    if (!FHot) return;
    FHot = false;
    InvalidateBox();
}

void TCheckBoxEditor::Paint() {
    TCanvasCellEditor::Paint();
    TGraphicsProvider::CheckBox(Canvas(), this, BoxArea(), Alignment(), VerticalAlignment(),
                                FChecked, FGrayed || FPressed, FHot);
}
