#include "PopupView.h"

#include "Application.h"
#include "Exceptions.h"
#include "ImgList.h"
#include "SharedClasses.h"
#include "ThemesSupport.h"

#include <QApplication>
#include <QEnterEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <algorithm>
#include <cmath>

namespace {

// The calendar's colours: the selected day's fill and today's frame, with
// and without themes.
constexpr TColor SelectedDayThemed = RGB(251, 230, 148);
constexpr TColor TodayFrameThemed = RGB(128, 0, 0);

// The strip of a client area that the month title covers; a release there
// never closes the calendar.
constexpr int TitleStripHeight = 19;

// The whole day of a date-time value (the fraction is the time of day, also
// for dates before 1900).
TDateTime WholeDay(TDateTime Value) {
    return std::trunc(Value);
}

} // namespace

// ---------------------------------------------------------------- TPopupView

TPopupView::TPopupView(QObject* owner) : TScrollView(owner) {
    // A window of its own above everything, that neither takes the focus nor
    // grabs the keyboard: the editor under it keeps both.
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                   Qt::WindowDoesNotAcceptFocus);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    SetVisible(false);
    SetColor(clWindow);
    SetFrameWidth(2);
    // A popup never scrolls sideways.
    HorzScrollBar()->SetVisible(false);
    VertScrollBar()->SetPageStep(10);
}

TPopupView::~TPopupView() {
    ReleaseMouseCapture();
}

void TPopupView::DrawFrame() {
    TCanvas* c = Canvas();
    const TRect outer = Rect(0, 0, width(), height());
    c->Brush = TBrush{clActiveCaption, bsSolid};
    c->FrameRect(outer);
    c->Brush.Color = clWhite;
    c->FrameRect(TCalcProvider::OffsetEdges(outer, 1, 1, -1, -1));
}

void TPopupView::PaintFrame() {
    TCustomScrollView::PaintFrame();
    DrawFrame();
}

void TPopupView::Paint() {
    Canvas()->FillRect(ClientRect());
}

void TPopupView::SelectAt(int X, int Y) {
    (void)X;
    (void)Y;
    AbstractError();
}

void TPopupView::PopupAt(int X, int Y) {
    if (ComponentState() & csDesigning) return;
    SetBounds(X, Y, Width(), Height());
    FClosed = false;
    FFirstUpSeen = false;
    // Always on top by its window kind.
    Show();
    CaptureMouse();
}

void TPopupView::ClosePopup() {
    if (FClosed) return;
    FClosed = true;
    ReleaseMouseCapture();
    Hide();
    CloseUp();
}

void TPopupView::SetClientSize(int Width, int Height) {
    // The frame on both sides and whichever bars are shown.
    const int barW =
        WindowScrollBarShown(sbVertical)
            ? style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, WindowScrollBar(sbVertical))
            : 0;
    const int barH = WindowScrollBarShown(sbHorizontal)
                         ? style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr,
                                                WindowScrollBar(sbHorizontal))
                         : 0;
    SetBounds(Left(), Top(), std::max(0, Width) + 2 * FrameWidth() + barW,
              std::max(0, Height) + 2 * FrameWidth() + barH);
}

bool TPopupView::HasMouseCapture() const {
    return QWidget::mouseGrabber() == this;
}

void TPopupView::CaptureMouse() {
    if (isVisible() && !HasMouseCapture()) grabMouse();
}

void TPopupView::ReleaseMouseCapture() {
    if (HasMouseCapture()) releaseMouse();
}

void TPopupView::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TScrollView::MouseUp(Button, Shift, X, Y);
    if (!FFirstUpSeen) {
        FFirstUpSeen = true;
        CaptureMouse();
        return;
    }
    if (ClientRect().Contains(Point(X, Y)))
        ChooseAndClose([&] { SelectAt(X, Y); });
    else
        ClosePopup();
}

void TPopupView::ChooseAndClose(const std::function<void()>& Choose) {
    // The value notice may free the editor, and this popup with it; a notice
    // that fails still leaves the popup closed, not open over the editor.
    const QPointer<TPopupView> alive(this);
    try {
        Choose();
    } catch (...) {
        if (alive) ClosePopup();
        throw;
    }
    if (alive) ClosePopup();
}

bool TPopupView::event(QEvent* event) {
    // A platform that activates every window it shows (ignoring the hint)
    // gets the activation handed back to the window that had it.
    if (event->type() == QEvent::Show) {
        FActiveBeforeShow = QApplication::activeWindow();
    } else if (event->type() == QEvent::WindowActivate && FActiveBeforeShow &&
               FActiveBeforeShow != window()) {
        FActiveBeforeShow->activateWindow();
    }
    return TScrollView::event(event);
}

// Over the popup the pointer is free; while a button is held the popup keeps
// it, so that the release still comes here.
void TPopupView::enterEvent(QEnterEvent* event) {
    TScrollView::enterEvent(event);
    if (QGuiApplication::mouseButtons() == Qt::NoButton) ReleaseMouseCapture();
}

void TPopupView::leaveEvent(QEvent* event) {
    TScrollView::leaveEvent(event);
    if (!FClosed) CaptureMouse();
}

void TPopupView::mousePressEvent(QMouseEvent* event) {
    // A press after PopupAt means the press that opened the popup is over,
    // even when its release went elsewhere: the next release is a choice.
    if (!FClosed) FFirstUpSeen = true;
    TScrollView::mousePressEvent(event);
}

void TPopupView::mouseMoveEvent(QMouseEvent* event) {
    // The pointer came over the popup while it was held (a platform may send
    // no enter event then).
    if (HasMouseCapture() && event->buttons() == Qt::NoButton &&
        rect().contains(event->position().toPoint()))
        ReleaseMouseCapture();
    TScrollView::mouseMoveEvent(event);
}

// ---------------------------------------------------------------- TPopupList

TPopupList::TPopupList(QObject* owner) : TPopupView(owner) {
    // PopupAt shows the bar when there is something to scroll.
    VertScrollBar()->SetVisible(false);
    SetVertScrollUnit(FItemHeight);
    SetClientSize(80, 50);
}

void TPopupList::SetItems(const QStringList* Value) {
    FItems = Value;
    Invalidate();
}

void TPopupList::SetImages(TCustomImageList* Value) {
    FImages = Value;
    Invalidate();
}

void TPopupList::SetShowImages(bool Value) {
    FShowImages = Value;
    Invalidate();
}

void TPopupList::SetItemHeight(int Value) {
    FItemHeight = Value <= 0 ? 1 : Value;
    SetVertScrollUnit(FItemHeight);
    Invalidate();
}

int TPopupList::ItemCount() const {
    return FItems ? int(FItems->size()) : 0;
}

int TPopupList::MaxTopIndex() const {
    return ItemCount() - ClientHeight() / FItemHeight;
}

TRect TPopupList::ItemRect(int Index) const {
    const long long top =
        (static_cast<long long>(Index) - VertScrollBar()->Position()) * FItemHeight;
    const int t = int(std::clamp<long long>(top, -FItemHeight, ClientHeight()));
    return Rect(0, t, ClientWidth(), t + FItemHeight);
}

int TPopupList::IndexAt(int Y) const {
    return Y / FItemHeight + VertScrollBar()->Position();
}

void TPopupList::PopupAt(int X, int Y) {
    TControlScrollBar* bar = VertScrollBar();
    bar->SetPosition(0);
    bar->SetMax(MaxTopIndex());
    // The bar is there only when some items lie beyond the rows.
    bar->SetVisible(bar->Max() > 0);
    const int found = FItems ? int(FItems->indexOf(Text())) : -1;
    FHotIndex = found >= 0 ? found : 0;
    bar->SetPosition(FHotIndex);
    TPopupView::PopupAt(X, Y);
}

void TPopupList::SelectAt(int X, int Y) {
    (void)X;
    // A release below the last item chooses nothing.
    const int index = IndexAt(Y);
    FChosenIndex = index >= 0 && index < ItemCount() ? index : -1;
    if (FChosenIndex >= 0) SendValue(FItems->at(FChosenIndex));
}

void TPopupList::MouseMove(TShiftState Shift, int X, int Y) {
    TPopupView::MouseMove(Shift, X, Y);
    if (!ClientRect().Contains(Point(X, Y))) return;
    const int index = IndexAt(Y);
    if (index == FHotIndex) return;
    InvalidateRect(ItemRect(FHotIndex));
    FHotIndex = index;
    InvalidateRect(ItemRect(FHotIndex));
}

void TPopupList::WMSize() {
    SetVertScrollRect(ClientRect());
    SetHorzScrollRect(ClientRect());
}

void TPopupList::Paint() {
    const TRect client = ClientRect();
    // Scrolling moves the rows inside the whole client area.
    SetVertScrollRect(client);
    SetHorzScrollRect(client);
    TCanvas* c = Canvas();
    const int count = ItemCount();
    int y = 0;
    for (int i = VertScrollBar()->Position(); i < count && y < client.Bottom;
         ++i, y += FItemHeight) {
        const TRect row = Rect(0, y, client.Right, y + FItemHeight);
        const bool hot = i == FHotIndex;
        c->Brush = TBrush{hot ? clHighlight : clWindow, bsSolid};
        c->Font()->SetColor(hot ? clHighlightText : clWindowText);
        c->FillRect(row);
        DrawItem(i, row);
    }
    if (y < client.Bottom) {
        c->Brush = TBrush{clWindow, bsSolid};
        c->FillRect(Rect(0, y, client.Right, client.Bottom));
    }
}

void TPopupList::DrawItem(int Index, const TRect& Rect) {
    if (!FItems || Index < 0 || Index >= ItemCount()) return;
    TCanvas* c = Canvas();
    int textLeft = Rect.Left + 2;
    if (FShowImages && FImages) {
        const int w = FImages->Width();
        const int h = FImages->Height();
        if (Index < FImages->Count() && w > 0 && h > 0) {
            const TPoint p = TCalcProvider::AlignedPoint(w, h, 2, Rect, taLeftJustify, vaMiddle);
            if (QPainter* painter = c->Painter()) {
                painter->save();
                painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
                painter->drawPixmap(p.X, p.Y, FImages->GetIcon(Index).pixmap(w, h));
                painter->restore();
            }
        }
        textLeft = Rect.Left + w + 5;
    }
    TGraphicsProvider::DrawTextIn(c, ::Rect(textLeft, Rect.Top, Rect.Right, Rect.Bottom), false,
                                  FItems->at(Index), 0);
}

// ------------------------------------------------------- PopupView::TSmallButton

namespace PopupView {

TSmallButton::TSmallButton(QObject* owner) : TControl(owner), FCanvas(std::make_unique<TCanvas>()) {
    setAutoFillBackground(false);
    setFocusPolicy(Qt::NoFocus);
}

TSmallButton::~TSmallButton() = default;

void TSmallButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TControl::MouseDown(Button, Shift, X, Y);
    FPressed = true;
    update();
}

void TSmallButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TControl::MouseUp(Button, Shift, X, Y);
    FPressed = false;
    update();
}

void TSmallButton::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    struct EndGuard {
        TCanvas* Canvas;
        ~EndGuard() { Canvas->EndPaint(); }
    } guard{FCanvas.get()};
    FCanvas->Font()->Assign(*Font());
    FCanvas->Brush = TBrush{clBtnFace, bsSolid};
    FCanvas->Pen = TPen{};
    FCanvas->BeginPaint(&painter, event->region());
    Guarded(this, [this] { Paint(); });
}

void TSmallButton::Paint() {
    using namespace Themes;
    TCanvas* c = FCanvas.get();
    const TRect r = ClientRect();
    if (ThemesActive()) {
        DrawThemed(this, c, QStringLiteral("button"), BP_PUSHBUTTON,
                   FPressed ? PBS_PRESSED : PBS_NORMAL, r);
    } else {
        c->Brush = TBrush{clBtnFace, bsSolid};
        c->FillRect(r);
        // A raised edge, two rings deep; sunken while pressed.
        const TRect inner = TCalcProvider::OffsetEdges(r, 1, 1, -1, -1);
        if (FPressed) {
            TGraphicsProvider::Frame3D(c, r, clBtnShadow, clBtnHighlight);
            TGraphicsProvider::Frame3D(c, inner, cl3DDkShadow, cl3DLight);
        } else {
            TGraphicsProvider::Frame3D(c, r, cl3DLight, cl3DDkShadow);
            TGraphicsProvider::Frame3D(c, inner, clBtnHighlight, clBtnShadow);
        }
    }
    c->Font()->SetColor(clBtnText);
    TGraphicsProvider::DrawTextIn(c, r, false, Caption(), 2);
}

} // namespace PopupView

// ---------------------------------------------------------------- TDatePopup

TDatePopup::TDatePopup(QObject* owner) : TPopupView(owner) {
    // Nothing to scroll: without a range the wheel and the roll cannot bring
    // the hidden bar back.
    VertScrollBar()->SetVisible(false);
    VertScrollBar()->SetMax(0);
    SetBounds(Left(), Top(), 151, 163);
    const auto makeButton = [this](const QString& caption, int left) {
        auto* button = new PopupView::TSmallButton(this);
        button->SetParentControl(this);
        button->SetCaption(caption);
        // Client coordinates: the parent adds the frame.
        button->SetBounds(left, 131, 48, 20);
        return button;
    };
    FTodayButton = makeButton(QStringLiteral("Today"), 18);
    FNoneButton = makeButton(QStringLiteral("None"), 79);
    FTodayButton->OnClick = [this](QObject*) {
        ChooseAndClose([this] { SendValue(DateTimeToStr(Today())); });
    };
    FNoneButton->OnClick = [this](QObject*) {
        ChooseAndClose([this] { SendValue(QStringLiteral("0")); });
    };
}

TDatePopup::~TDatePopup() = default;

TDateTime TDatePopup::Today() const {
    return ::Date();
}

void TDatePopup::SetDate(TDateTime Value) {
    int y = 0, m = 0, d = 0;
    DecodeDate(Value, y, m, d);
    FDate = Value;
    FSelectedDate = Value;
    FYear = quint16(y);
    FMonth = quint16(m);
    FDay = quint16(d);
    Invalidate();
}

void TDatePopup::SetSelectedDate(TDateTime Value) {
    FSelectedDate = Value;
    Invalidate();
}

void TDatePopup::SetDay(quint16 Value) {
    FDay = Value;
    Invalidate();
}

void TDatePopup::SetMonth(quint16 Value) {
    FMonth = Value;
    Invalidate();
}

void TDatePopup::SetYear(quint16 Value) {
    FYear = Value;
    Invalidate();
}

// Month and year as stored may be anything; what is shown is always a month
// the calendar can draw.
TDatePopup::TShownMonth TDatePopup::ShownMonth() const {
    return {std::clamp<int>(FYear, 1, 9999), std::clamp<int>(FMonth, 1, 12)};
}

void TDatePopup::PriorMonth() {
    const TShownMonth s = ShownMonth();
    if (s.Month > 1) {
        FYear = quint16(s.Year);
        FMonth = quint16(s.Month - 1);
    } else if (s.Year > 1) {
        FYear = quint16(s.Year - 1);
        FMonth = 12;
    }
    Invalidate();
}

void TDatePopup::NextMonth() {
    const TShownMonth s = ShownMonth();
    if (s.Month < 12) {
        FYear = quint16(s.Year);
        FMonth = quint16(s.Month + 1);
    } else if (s.Year < 9999) {
        FYear = quint16(s.Year + 1);
        FMonth = 1;
    }
    Invalidate();
}

TRect TDatePopup::CellRect(int Col, int Row) {
    return Bounds(CellsLeft + CellWidth * Col, CellsTop + CellHeight * Row, CellWidth, CellHeight);
}

bool TDatePopup::TryCellDate(int Col, int Row, TDateTime& Value) const {
    const TShownMonth s = ShownMonth();
    const int first = DayOfWeek(EncodeDate(s.Year, s.Month, 1)); // 1 = Sunday
    const int days = DaysInMonth(s.Year, s.Month);
    const int i = Col + Columns * Row;
    int y = s.Year, m = s.Month, d;
    if (i < first - 1) {
        if (--m < 1) {
            m = 12;
            --y;
        }
        d = DaysInMonth(std::max(y, 1), m) - first + i + 2;
    } else if (i + 2 <= first + days) {
        d = i - first + 2;
    } else {
        if (++m > 12) {
            m = 1;
            ++y;
        }
        d = i - first - days + 2;
    }
    return TryEncodeDate(y, m, d, Value);
}

TDateTime TDatePopup::CellDate(int Col, int Row) const {
    TDateTime value = 0;
    if (!TryCellDate(Col, Row, value))
        throw EConvertError(QStringLiteral("Invalid argument to date encode"));
    return value;
}

TRect TDatePopup::DayArea() const {
    return Rect(CellsLeft, 38, ClientWidth() - 14, ClientHeight() - 20);
}

bool TDatePopup::CellAt(int X, int Y, int& Col, int& Row) const {
    if (!DayArea().Contains(Point(X, Y))) return false;
    Col = (X - CellsLeft) / CellWidth;
    Row = (Y - CellsTop) / CellHeight;
    // The area reaches past the six weeks shown; there is no day there.
    return Col < Columns && Row < Rows;
}

void TDatePopup::PressDay(int X, int Y) {
    int col = 0, row = 0;
    TDateTime day = 0;
    if (!CellAt(X, Y, col, row) || !TryCellDate(col, row, day)) return;
    const TRect cell = CellRect(col, row);
    FSelectedDate = day;
    if (cell == FSelectedCell) return;
    InvalidateRect(FSelectedCell);
    InvalidateRect(cell);
    FSelectedCell = cell;
}

void TDatePopup::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TPopupView::MouseDown(Button, Shift, X, Y);
    const int w = ClientWidth();
    const TPoint p = Point(X, Y);
    if (Rect(0, 0, 18, 18).Contains(p)) {
        PriorMonth();
    } else if (Rect(w - 18, 0, w, 18).Contains(p)) {
        NextMonth();
    } else if (DayArea().Contains(p)) {
        FDayPressed = true;
        PressDay(X, Y);
    }
}

void TDatePopup::MouseMove(TShiftState Shift, int X, int Y) {
    TPopupView::MouseMove(Shift, X, Y);
    if (FDayPressed && DayArea().Contains(Point(X, Y))) PressDay(X, Y);
}

void TDatePopup::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    FDayPressed = false;
    if (!Rect(0, 0, ClientWidth(), TitleStripHeight).Contains(Point(X, Y)))
        TPopupView::MouseUp(Button, Shift, X, Y);
}

void TDatePopup::SelectAt(int X, int Y) {
    int col = 0, row = 0;
    TDateTime day = 0;
    if (CellAt(X, Y, col, row) && TryCellDate(col, row, day)) SendValue(DateTimeToStr(day));
}

void TDatePopup::Paint() {
    const TRect client = ClientRect();
    if (client.IsEmpty()) return;
    // Drawn off screen first and shown in one piece: no flicker while the
    // month changes or a day is dragged.
    TBitmap buffer(client.Width(), client.Height(), TBitmap::pf24bit);
    TCanvas* c = buffer.Canvas();
    c->Font()->Assign(*Font());
    DrawCalendar(c, client.Width(), client.Height());
    Canvas()->Draw(0, 0, buffer);
}

void TDatePopup::DrawCalendar(TCanvas* Canvas, int Width, int Height) {
    TCanvas* c = Canvas;
    const int w = Width;
    const bool themed = ThemesActive();
    c->Brush = TBrush{clWindow, bsSolid};
    c->FillRect(Rect(0, 0, w, Height));

    // The title band, the month and year, and the two arrows.
    c->Brush.Color = themed ? TGraphicsProvider::Blend(clHighlight, clWindow, 0.75) : clBtnFace;
    c->FillRect(Rect(2, 2, w - 2, 18));
    const TShownMonth shown = ShownMonth();
    c->Font()->SetColor(clWindowText);
    TGraphicsProvider::DrawTextIn(c, Rect(0, 0, w, TitleStripHeight), false,
                                  FormatSettings.LongMonthNames[std::size_t(shown.Month - 1)] +
                                      u' ' + IntToStr(shown.Year),
                                  2);
    c->Pen = TPen{clWindowText};
    c->Brush = TBrush{clWindowText, bsSolid};
    c->Polygon({{12, 5}, {12, 13}, {8, 9}});
    c->Polygon({{w - 13, 5}, {w - 13, 13}, {w - 9, 9}});

    // The weekday letters, Sunday first, between the title and the days.
    for (int k = 0; k < Columns; ++k) {
        const int x = CellsLeft + CellWidth * k;
        TGraphicsProvider::DrawTextIn(c, Rect(x, 20, x + 15, 34), false,
                                      FormatSettings.ShortDayNames[std::size_t(k)].left(1), 1);
    }
    c->Pen = TPen{clBtnShadow};
    for (const int y : {34, 126}) {
        c->MoveTo(CellsLeft, y);
        c->LineTo(w - 15, y);
    }

    // Six weeks of days: the shown month's in the text colour, the others
    // grey; the selected day filled, today framed.
    const TDateTime selected = WholeDay(FSelectedDate);
    const TDateTime today = WholeDay(Today());
    FSelectedCell = TRect();
    for (int j = 0; j < Rows; ++j) {
        for (int k = 0; k < Columns; ++k) {
            TDateTime day = 0;
            if (!TryCellDate(k, j, day)) continue;
            int y = 0, m = 0, d = 0;
            DecodeDate(day, y, m, d);
            const TRect cell = CellRect(k, j);
            if (day == selected) {
                c->Brush = TBrush{themed ? SelectedDayThemed : clSilver, bsSolid};
                c->FillRect(cell);
                FSelectedCell = cell;
            }
            if (day == today) {
                c->Brush = TBrush{themed ? TodayFrameThemed : clHighlight, bsSolid};
                c->FrameRect(cell);
            }
            c->Font()->SetColor(m == shown.Month && y == shown.Year ? clWindowText : clGrayText);
            TGraphicsProvider::DrawTextIn(c, Bounds(cell.Left, cell.Top, 15, 15), false,
                                          IntToStr(d), 1);
        }
    }
}
