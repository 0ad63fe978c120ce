#pragma once
// The windows that the grid's drop-down editors open under themselves: a
// borderless popup that never takes the keyboard focus from its editor and
// closes with the next click, the item list of a combo box and the month
// calendar of a date editor.

#include "ImgList.h"
#include "ScrollView.h"
#include "SysUtils.h"

#include <QPointer>
#include <QStringList>
#include <functional>
#include <memory>

// A popup's answer: the text of what was chosen.
using TPopupValueEvent = TEvent<QObject*, const QString&>;

// Open from PopupAt until the button-up that closes it. While open it holds
// the pointer whenever the pointer is outside it, so that a click anywhere
// else reaches it and closes it; over the popup the pointer is left free, so
// its own scroll bar and buttons work.
class TPopupView : public TScrollView {
    Q_OBJECT
public:
    explicit TPopupView(QObject* owner = nullptr);
    ~TPopupView() override;

    // The two one-pixel rings around the client area.
    virtual void DrawFrame();
    // What a release at a client point chooses; every popup names its own.
    // The base raises "Abstract Error".
    virtual void SelectAt(int X, int Y);
    // Shows the popup with its top-left corner at a screen point, keeping its
    // size, and takes the pointer.
    virtual void PopupAt(int X, int Y);

    // Lets the pointer go, hides the popup and sends the close notice;
    // nothing when it is closed already.
    void ClosePopup();

    // Dispatchers of the close and value notices.
    virtual void CloseUp() { OnCloseUp(this); }
    virtual void SendValue(const QString& Value) { OnValue(this, Value); }

    bool Closed() const { return FClosed; }
    bool FirstUpSeen() const { return FFirstUpSeen; }
    // True while the popup holds the pointer.
    bool HasMouseCapture() const;

    // What the editor hands over before it drops the popup down.
    const QString& Text() const { return Caption(); }
    void SetText(const QString& Value) { SetCaption(Value); }
    void SetFont(const TFont& Value) { Font()->Assign(Value); }
    // Sizes the window so that its client area gets the given size.
    void SetClientSize(int Width, int Height);
    void SetClientWidth(int Value) { SetClientSize(Value, ClientHeight()); }
    void SetClientHeight(int Value) { SetClientSize(ClientWidth(), Value); }

    // The first release after PopupAt belongs to the press that opened the
    // popup and is only noted. Later releases choose what lies under them
    // (inside the client area) and close the popup.
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

    TNotifyEvent OnCloseUp;
    TPopupValueEvent OnValue;

protected:
    void PaintFrame() override;
    void Paint() override;
    bool event(QEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void CaptureMouse();
    void ReleaseMouseCapture();
    // Runs what sends the value notice, then closes the popup.
    void ChooseAndClose(const std::function<void()>& Choose);

    bool FClosed = true;
    bool FFirstUpSeen = false;

private:
    QPointer<QWidget> FActiveBeforeShow;
};

// The item list of a combo box: rows of ItemHeight pixels from the item at
// the vertical position on, the item under the pointer highlighted.
class TPopupList : public TPopupView {
    Q_OBJECT
public:
    explicit TPopupList(QObject* owner = nullptr);

    // The editor's own list, shown as it is (not copied); null shows none.
    const QStringList* Items() const { return FItems; }
    void SetItems(const QStringList* Value);
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    bool ShowImages() const { return FShowImages; }
    void SetShowImages(bool Value);
    int ItemHeight() const { return FItemHeight; }
    // A height of 0 or less is stored as 1; a scroll unit is one row.
    void SetItemHeight(int Value);
    int HotIndex() const { return FHotIndex; }
    // The item of the last release inside the list; -1 when it chose none.
    int ChosenIndex() const { return FChosenIndex; }

    virtual int ItemCount() const;
    // The vertical position that shows the last item in the last row.
    virtual int MaxTopIndex() const;
    virtual void DrawItem(int Index, const TRect& Rect);

    // Scrolls so that the item equal to the text is the first row, or as
    // near the top as the last rows allow, and highlights it.
    void PopupAt(int X, int Y) override;
    void SelectAt(int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;

    // The client rectangle of an item's row at the current position.
    TRect ItemRect(int Index) const;

protected:
    void Paint() override;
    void WMSize() override;

private:
    int IndexAt(int Y) const;

    const QStringList* FItems = nullptr;
    QPointer<TCustomImageList> FImages;
    bool FShowImages = false;
    int FItemHeight = 16;
    int FHotIndex = 0;
    int FChosenIndex = -1;
};

namespace PopupView {

// The calendar's two buttons: a light button with a pressed look that runs
// its click event. The editors have a heavier button class of the same name.
class TSmallButton : public TControl {
    Q_OBJECT
public:
    explicit TSmallButton(QObject* owner = nullptr);
    ~TSmallButton() override;

    bool Pressed() const { return FPressed; }

    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

protected:
    virtual void Paint();
    void paintEvent(QPaintEvent* event) override;
    // The face covers the button; what a themed face leaves open (its round
    // corners) shows the popup under it.
    bool PaintsOwnBackground() const override { return true; }
    TCanvas* Canvas() const { return FCanvas.get(); }

private:
    std::unique_ptr<TCanvas> FCanvas;
    bool FPressed = false;
};

} // namespace PopupView

// A month calendar: a title with the month and year between two arrows that
// step the month, the weekday letters, six weeks of day numbers from the
// Sunday on or before the 1st, and the buttons "Today" and "None".
class TDatePopup : public TPopupView {
    Q_OBJECT
    Q_PROPERTY(double Date READ Date WRITE SetDate)
    Q_PROPERTY(double SelectedDate READ SelectedDate WRITE SetSelectedDate)
    Q_PROPERTY(quint16 Day READ Day WRITE SetDay)
    Q_PROPERTY(quint16 Month READ Month WRITE SetMonth)
    Q_PROPERTY(quint16 Year READ Year WRITE SetYear)
public:
    // The day cells' grid, in client pixels.
    static constexpr int CellsLeft = 14;
    static constexpr int CellsTop = 36;
    static constexpr int CellWidth = 17;
    static constexpr int CellHeight = 15;
    static constexpr int Columns = 7;
    static constexpr int Rows = 6;

    explicit TDatePopup(QObject* owner = nullptr);
    ~TDatePopup() override;

    TDateTime Date() const { return FDate; }
    // Also selects the date and shows its month.
    void SetDate(TDateTime Value);
    TDateTime SelectedDate() const { return FSelectedDate; }
    void SetSelectedDate(TDateTime Value);
    quint16 Day() const { return FDay; }
    void SetDay(quint16 Value);
    quint16 Month() const { return FMonth; }
    void SetMonth(quint16 Value);
    quint16 Year() const { return FYear; }
    void SetYear(quint16 Value);

    // The month shown before or after the current one; the calendar does not
    // step past the years 1 and 9999.
    void PriorMonth();
    void NextMonth();

    // The date of the day cell in a column (0 = Sunday) and a row of the
    // shown month. Raises EConvertError for a cell before 1 January 0001 or
    // after 31 December 9999.
    TDateTime CellDate(int Col, int Row) const;
    static TRect CellRect(int Col, int Row);
    // The rectangle last painted as the selected day (empty when the selected
    // day was not shown).
    const TRect& SelectedCell() const { return FSelectedCell; }
    bool DayPressed() const { return FDayPressed; }
    PopupView::TSmallButton* TodayButton() const { return FTodayButton; }
    PopupView::TSmallButton* NoneButton() const { return FNoneButton; }

    void SelectAt(int X, int Y) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

protected:
    // Today's date, which the calendar frames and "Today" chooses.
    virtual TDateTime Today() const;
    void Paint() override;
    // Draws the whole calendar on a canvas of the client area's size.
    virtual void DrawCalendar(TCanvas* Canvas, int Width, int Height);

private:
    struct TShownMonth {
        int Year;
        int Month;
    };
    TShownMonth ShownMonth() const;
    bool TryCellDate(int Col, int Row, TDateTime& Value) const;
    // The day cell under a client point, if any.
    bool CellAt(int X, int Y, int& Col, int& Row) const;
    TRect DayArea() const;
    void PressDay(int X, int Y);

    TDateTime FDate = 0;
    TDateTime FSelectedDate = 0;
    quint16 FDay = 1;
    quint16 FMonth = 1;
    quint16 FYear = 1;
    bool FDayPressed = false;
    TRect FSelectedCell;
    PopupView::TSmallButton* FTodayButton = nullptr;
    PopupView::TSmallButton* FNoneButton = nullptr;
};
