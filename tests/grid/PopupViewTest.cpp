// The drop-down popups: the capture and close rules of the popup window, the
// item list's scrolling, hot tracking and choice, and the calendar's layout,
// month steps, day choice and buttons.

// Mouse input goes through the window system, as a person's would: a popup
// that holds the pointer gets the clicks made on other windows.
#define QTEST_QPA_MOUSE_HANDLING

#include "PopupView.h"
#include "EditorTestSupport.h"
#include "Exceptions.h"
#include "GridTestSupport.h"
#include "ImgList.h"
#include "SharedClasses.h"
#include "ThemesSupport.h"

#include <QApplication>
#include <QCursor>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QWheelEvent>
#include <functional>
#include <gtest/gtest.h>
#include <vector>

namespace {

using Log = std::vector<QString>;
constexpr int F = 2; // the frame: where the client area's (0, 0) lies in the window

QPoint InWindow(int x, int y) {
    return {x + F, y + F};
}

// The window the popup drops from, standing in for an editor: a press on it
// opens the popup under it, as a drop-down editor's press does.
class TDropper : public QWidget {
public:
    std::function<void()> OnPress;
    int Presses = 0;
    TDropper() {
        setGeometry(100, 100, 180, 24);
        show();
    }
    QPoint Below() const { return mapToGlobal(QPoint(-1, height())); }

protected:
    void mousePressEvent(QMouseEvent*) override {
        ++Presses;
        if (OnPress) OnPress();
    }
};

using EditorTests::Click;
using EditorTests::PointerTo;
using EditorTests::Render;

QRgb Px(TColor c) {
    return Rgb(c) & 0xFFFFFF;
}

QRgb ClientPixel(const QImage& img, int x, int y) {
    return img.pixel(x + F, y + F) & 0xFFFFFF;
}

int Luminance(QRgb c) {
    return (77 * qRed(c) + 151 * qGreen(c) + 28 * qBlue(c)) / 256;
}

// The darkest pixel of a client rectangle: the ink of the text drawn there.
int DarkestIn(const QImage& img, const TRect& r) {
    int darkest = 255;
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x)
            darkest = std::min(darkest, Luminance(ClientPixel(img, x, y)));
    return darkest;
}

// The first and last columns of a client rectangle holding a pixel other than
// `ground`.
std::pair<int, int> InkColumns(const QImage& img, const TRect& r, QRgb ground) {
    int first = INT_MAX, last = INT_MIN;
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x)
            if (ClientPixel(img, x, y) != (ground & 0xFFFFFF)) {
                first = std::min(first, x);
                last = std::max(last, x);
            }
    return {first, last};
}

struct ThemesSwitch {
    bool Was = ThemesEnabled();
    explicit ThemesSwitch(bool on) { SetThemesEnabled(on); }
    ~ThemesSwitch() { SetThemesEnabled(Was); }
};

// English names and the default date format, whatever the machine's locale.
struct PinnedFormats {
    TFormatSettings Was = FormatSettings;
    PinnedFormats() { FormatSettings = TFormatSettings(); }
    ~PinnedFormats() { FormatSettings = Was; }
};

void Attach(TPopupView& p, Log& log) {
    p.OnValue = [&log](QObject*, const QString& v) { log.push_back("value " + v); };
    p.OnCloseUp = [&log](QObject*) { log.push_back("closed"); };
}

// A list that tells which items its last paint pass drew, where, and which
// region each pass covered.
class TRecordingList : public TPopupList {
public:
    using TPopupList::TPopupList;
    std::vector<std::pair<int, TRect>> Drawn;
    std::vector<QRegion> Painted;
    void DrawItem(int Index, const TRect& Rect) override {
        Drawn.emplace_back(Index, Rect);
        TPopupList::DrawItem(Index, Rect);
    }

protected:
    void Paint() override {
        Drawn.clear();
        Painted.push_back(Canvas()->ClipRegion());
        TPopupList::Paint();
    }
};

QStringList Numbered(int n) {
    QStringList items;
    for (int i = 0; i < n; ++i)
        items << QStringLiteral("item %1").arg(i);
    return items;
}

// Drops a popup from the dropper with a press whose release follows on the
// dropper: open and waiting for a choice.
void DropWithAPress(TDropper& dropper, TPopupView& popup) {
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&dropper));
    PointerTo(&dropper, QPoint(10, 10));
    dropper.OnPress = [&] { popup.PopupAt(dropper.Below().x(), dropper.Below().y()); };
    QTest::mousePress(&dropper, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&popup));
    QTest::mouseRelease(&dropper, Qt::LeftButton, {}, QPoint(10, 10));
}

struct OpenList {
    TDropper Dropper;
    QStringList Items;
    TRecordingList List{&Dropper};
    Log Said;
    OpenList(int count, int rows, const QString& text) : Items(Numbered(count)) {
        List.SetItems(&Items);
        List.SetClientSize(150, rows * List.ItemHeight());
        List.SetText(text);
        Attach(List, Said);
        DropWithAPress(Dropper, List);
    }
    int RowColumn() const { return List.ClientWidth() - 3; } // right of any text
};

// A calendar whose today is a fixed day.
class TFixedDayCalendar : public TDatePopup {
public:
    using TDatePopup::TDatePopup;
    TDateTime FixedToday = EncodeDate(2024, 3, 12);

protected:
    TDateTime Today() const override { return FixedToday; }
};

struct OpenCalendar {
    PinnedFormats Formats;
    TDropper Dropper;
    TFixedDayCalendar Calendar{&Dropper};
    Log Said;
    explicit OpenCalendar(TDateTime date) {
        Calendar.SetDate(date);
        Attach(Calendar, Said);
        DropWithAPress(Dropper, Calendar);
        // The pointer comes over the calendar, which lets it go.
        PointerTo(&Calendar, InWindow(60, 60));
    }
    static QPoint CellCentre(int col, int row) {
        const TRect r = TDatePopup::CellRect(col, row);
        return InWindow(r.Left + 8, r.Top + 7);
    }
};

} // namespace

// ------------------------------------------------------------------ popup

TEST(PopupView, IsAFramedWindowThatLeavesTheFocusAlone) {
    QLineEdit edit;
    edit.show();
    edit.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&edit));
    edit.setFocus();
    TPopupView popup(&edit);
    EXPECT_TRUE(popup.Closed());
    EXPECT_FALSE(popup.FirstUpSeen() || popup.Visible());
    const Qt::WindowFlags f = popup.windowFlags();
    EXPECT_TRUE(f.testFlag(Qt::Tool) && f.testFlag(Qt::WindowDoesNotAcceptFocus) &&
                f.testFlag(Qt::FramelessWindowHint) && f.testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_NE(popup.windowType(), Qt::Popup);
    EXPECT_EQ(popup.FrameWidth(), 2);
    EXPECT_EQ(popup.VertScrollBar()->PageStep(), 10);
    EXPECT_FALSE(popup.WindowScrollBarShown(sbHorizontal));

    popup.VertScrollBar()->SetVisible(false);
    popup.SetClientSize(60, 30);
    popup.PopupAt(300, 200);
    QApplication::processEvents();
    EXPECT_TRUE(popup.isVisible());
    EXPECT_FALSE(popup.Closed());
    EXPECT_EQ(popup.geometry(), QRect(300, 200, 64, 34));
    EXPECT_TRUE(popup.HasMouseCapture());
    EXPECT_EQ(QApplication::focusWidget(), &edit);
    EXPECT_EQ(QApplication::activeWindow(), &edit);

    // Active-caption colour outside, white inside, then the client area.
    const QImage img = Render(&popup);
    EXPECT_EQ(img.pixel(0, 0), Rgb(clActiveCaption));
    EXPECT_EQ(img.pixel(63, 20), Rgb(clActiveCaption));
    EXPECT_EQ(img.pixel(1, 1), Rgb(clWhite));
    EXPECT_EQ(img.pixel(62, 32), Rgb(clWhite));
    EXPECT_EQ(img.pixel(2, 2), Rgb(popup.Color()));

    // A popup of no kind has nothing to choose.
    try {
        popup.SelectAt(5, 5);
        ADD_FAILURE() << "no error";
    } catch (const EAbstractError& e) {
        EXPECT_EQ(e.Message(), "Abstract Error");
    }
    popup.ClosePopup();
    EXPECT_FALSE(popup.isVisible() || popup.HasMouseCapture());
}

TEST(PopupView, AChoiceWhoseNoticeFailsStillClosesThePopup) {
    const auto refusing = [](Log& said) {
        return [&said](QObject*, const QString& v) {
            said.push_back("value " + v);
            throw Exception(QStringLiteral("refused"));
        };
    };
    {
        OpenList open(20, 8, QStringLiteral("item 3"));
        open.List.OnValue = refusing(open.Said);
        PointerTo(&open.List, InWindow(30, 40));
        // Straight to the handler: an exception must not unwind through Qt's
        // own event delivery, which is built without unwinding support.
        EXPECT_THROW(open.List.MouseUp(mbLeft, 0, 30, 40), Exception);
        EXPECT_EQ(open.Said, (Log{"value item 5", "closed"}));
        EXPECT_TRUE(open.List.Closed());
        EXPECT_FALSE(open.List.isVisible() || open.List.HasMouseCapture());
    }
    {
        OpenCalendar open(EncodeDate(2024, 3, 20));
        open.Calendar.OnValue = refusing(open.Said);
        EXPECT_THROW(open.Calendar.NoneButton()->Click(), Exception);
        EXPECT_EQ(open.Said, (Log{"value 0", "closed"}));
        EXPECT_TRUE(open.Calendar.Closed());
        EXPECT_FALSE(open.Calendar.isVisible() || open.Calendar.HasMouseCapture());
    }
}

TEST(PopupView, AValueHandlerMayFreeTheEditorThatOwnsThePopup) {
    PinnedFormats formats;
    QStringList items = Numbered(4);
    // A release on an item, on a day, and a click on "None".
    for (int route = 0; route < 3; ++route) {
        auto* dropper = new TDropper;
        TPopupView* popup = nullptr;
        if (route == 0) {
            auto* list = new TPopupList(dropper);
            list->SetItems(&items);
            list->SetClientSize(100, 64);
            popup = list;
        } else {
            auto* calendar = new TDatePopup(dropper);
            calendar->SetDate(EncodeDate(2024, 3, 20));
            popup = calendar;
        }
        DropWithAPress(*dropper, *popup);
        const QPointer<TPopupView> watch(popup);
        popup->OnValue = [&](QObject*, const QString&) { delete dropper; };
        if (route == 0) {
            popup->MouseUp(mbLeft, 0, 10, 20);
        } else if (route == 1) {
            const TRect day = TDatePopup::CellRect(3, 2);
            popup->MouseUp(mbLeft, 0, day.Left + 5, day.Top + 5);
        } else {
            static_cast<TDatePopup*>(popup)->NoneButton()->Click();
        }
        EXPECT_TRUE(watch.isNull()) << route;
    }
}

// ------------------------------------------------------------------- list

TEST(PopupList, StartStateItemsAndItemHeight) {
    TPopupList list;
    EXPECT_EQ(list.ClientRect(), Rect(0, 0, 80, 50));
    EXPECT_EQ(list.ItemHeight(), 16);
    EXPECT_EQ(list.VertScrollUnit(), 16);
    EXPECT_EQ(list.HotIndex(), 0);
    for (const int h : {0, -7}) {
        list.SetItemHeight(h);
        EXPECT_EQ(list.ItemHeight(), 1);
        EXPECT_EQ(list.VertScrollUnit(), 1);
    }
    list.SetItemHeight(20);
    EXPECT_EQ(list.VertScrollUnit(), 20);
    // The list shows the editor's items themselves, not a copy.
    QStringList items{QStringLiteral("a")};
    list.SetItems(&items);
    items << QStringLiteral("b") << QStringLiteral("c") << QStringLiteral("d");
    EXPECT_EQ(list.ItemCount(), 4);
    EXPECT_EQ(list.MaxTopIndex(), 4 - 50 / 20);
}

TEST(PopupList, ThreeItemsShowThreeRows) {
    OpenList open(3, 3, QStringLiteral("item 1"));
    TRecordingList& list = open.List;
    EXPECT_EQ(list.ClientHeight(), 48);
    EXPECT_EQ(list.HotIndex(), 1);
    EXPECT_EQ(list.VertScrollBar()->Position(), 0);
    EXPECT_EQ(list.VertScrollBar()->Max(), 0);
    // Nothing to scroll: no bar, the rows take the whole width.
    EXPECT_FALSE(list.WindowScrollBarShown(sbVertical));
    EXPECT_EQ(list.ClientWidth(), 150);
    EXPECT_EQ(list.geometry().topLeft(), open.Dropper.Below());

    const QImage img = Render(&list);
    ASSERT_EQ(list.Drawn.size(), 3u);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(list.Drawn[std::size_t(i)], std::make_pair(i, Rect(0, 16 * i, 150, 16 * i + 16)));
    // The current item in the highlight colours, the others in the window's.
    EXPECT_EQ(ClientPixel(img, 140, 8), Px(clWindow));
    EXPECT_EQ(ClientPixel(img, 140, 24), Px(clHighlight));
    EXPECT_EQ(ClientPixel(img, 140, 40), Px(clWindow));
    EXPECT_GT(CountOther(img, QRect(F + 2, F + 16, 60, 16), Rgb(clHighlight)), 0);
}

TEST(PopupList, TwentyItemsScrollTheCurrentOneToTheTop) {
    {
        OpenList open(20, 8, QStringLiteral("item 3"));
        TRecordingList& list = open.List;
        EXPECT_TRUE(list.WindowScrollBarShown(sbVertical));
        EXPECT_EQ(list.VertScrollBar()->Max(), 12);
        EXPECT_EQ(list.VertScrollBar()->Position(), 3);
        EXPECT_EQ(list.HotIndex(), 3);
        const QImage img = Render(&list);
        ASSERT_EQ(list.Drawn.size(), 8u);
        EXPECT_EQ(list.Drawn.front(), std::make_pair(3, Rect(0, 0, list.ClientWidth(), 16)));
        EXPECT_EQ(list.Drawn.back().first, 10);
        EXPECT_EQ(ClientPixel(img, open.RowColumn(), 8), Px(clHighlight));
    }
    {
        // Near the end the last eight rows show, the current one among them.
        OpenList open(20, 8, QStringLiteral("item 17"));
        TRecordingList& list = open.List;
        EXPECT_EQ(list.VertScrollBar()->Position(), 12);
        EXPECT_EQ(list.HotIndex(), 17);
        const QImage img = Render(&list);
        ASSERT_EQ(list.Drawn.size(), 8u);
        EXPECT_EQ(list.Drawn.front().first, 12);
        EXPECT_EQ(list.Drawn.back(), std::make_pair(19, Rect(0, 112, list.ClientWidth(), 128)));
        EXPECT_EQ(ClientPixel(img, open.RowColumn(), 5 * 16 + 8), Px(clHighlight));
        EXPECT_EQ(ClientPixel(img, open.RowColumn(), 8), Px(clWindow));
    }
    {
        // The comparison is exact: another letter case is no match.
        OpenList open(20, 8, QStringLiteral("Item 5"));
        EXPECT_EQ(open.List.HotIndex(), 0);
        EXPECT_EQ(open.List.VertScrollBar()->Position(), 0);
    }
}

TEST(PopupList, HotTrackingRepaintsTheOldAndTheNewRow) {
    OpenList open(20, 8, QStringLiteral("item 3"));
    TRecordingList& list = open.List;
    QApplication::processEvents();
    list.Painted.clear();
    QTest::mouseMove(&list, InWindow(30, 4 * 16 + 5));
    EXPECT_EQ(list.HotIndex(), 7);
    QApplication::processEvents();
    ASSERT_EQ(list.Painted.size(), 1u);
    EXPECT_EQ(list.ItemRect(3), Rect(0, 0, list.ClientWidth(), 16));
    EXPECT_EQ(list.Painted[0], QRegion(list.ItemRect(3).ToQRect()) | list.ItemRect(7).ToQRect());
    const QImage img = Render(&list);
    EXPECT_EQ(ClientPixel(img, open.RowColumn(), 8), Px(clWindow));
    EXPECT_EQ(ClientPixel(img, open.RowColumn(), 4 * 16 + 8), Px(clHighlight));
    // A move within the same row repaints nothing.
    list.Painted.clear();
    QTest::mouseMove(&list, InWindow(60, 4 * 16 + 12));
    QApplication::processEvents();
    EXPECT_TRUE(list.Painted.empty());
}

TEST(PopupList, TheOpeningReleaseIsOnlyNotedAndAReleaseInsideChooses) {
    OpenList open(20, 8, QStringLiteral("item 3"));
    TRecordingList& list = open.List;
    // The release of the press that opened the list reached the list.
    EXPECT_TRUE(list.FirstUpSeen());
    EXPECT_FALSE(list.Closed());
    EXPECT_TRUE(list.isVisible() && list.HasMouseCapture());
    EXPECT_TRUE(open.Said.empty());
    // Over the list the pointer is free; the release on row 2 chooses item 5.
    PointerTo(&list, InWindow(30, 40));
    EXPECT_FALSE(list.HasMouseCapture());
    Click(&list, InWindow(30, 40));
    EXPECT_EQ(list.ChosenIndex(), 5);
    EXPECT_EQ(open.Said, (Log{"value item 5", "closed"}));
    EXPECT_TRUE(list.Closed());
    EXPECT_FALSE(list.isVisible() || list.HasMouseCapture());
}

TEST(PopupList, AClickElsewhereClosesWithoutAValue) {
    OpenList open(20, 8, QStringLiteral("item 3"));
    TRecordingList& list = open.List;
    // Entering frees the pointer, leaving takes it again.
    PointerTo(&list, InWindow(30, 40));
    EXPECT_FALSE(list.HasMouseCapture());
    PointerTo(&open.Dropper, QPoint(50, 10));
    EXPECT_TRUE(list.HasMouseCapture());
    // The click on the other window reaches the list, not that window.
    Click(&open.Dropper, QPoint(50, 10));
    EXPECT_EQ(open.Dropper.Presses, 1);
    EXPECT_EQ(open.Said, Log{"closed"});
    EXPECT_TRUE(list.Closed());
    EXPECT_FALSE(list.isVisible() || list.HasMouseCapture());
    EXPECT_EQ(list.ChosenIndex(), -1);
    // Closed, it stays closed: no second notice.
    list.ClosePopup();
    EXPECT_EQ(open.Said.size(), 1u);
}

TEST(PopupList, AReleaseBelowTheLastItemChoosesNothing) {
    OpenList open(2, 2, QString());
    // Taller than its items, as a list sized by hand may be.
    open.List.SetClientHeight(50);
    PointerTo(&open.List, InWindow(20, 40));
    Click(&open.List, InWindow(20, 40));
    EXPECT_EQ(open.List.ChosenIndex(), -1);
    EXPECT_EQ(open.Said, Log{"closed"});
}

TEST(PopupList, OpenedWithNoButtonHeldTheFirstClickChooses) {
    TDropper dropper;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dropper));
    PointerTo(&dropper, QPoint(10, 10));
    QStringList items = Numbered(4);
    TPopupList list(&dropper);
    Log said;
    Attach(list, said);
    list.SetItems(&items);
    list.SetClientSize(100, 64);
    list.PopupAt(dropper.Below().x(), dropper.Below().y());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
    PointerTo(&list, InWindow(10, 20));
    Click(&list, InWindow(10, 20));
    EXPECT_EQ(said, (Log{"value item 1", "closed"}));
}

TEST(PopupList, ImagesStandBeforeTheText) {
    QStringList items{QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three")};
    TImageList images;
    images.SetWidth(12);
    images.SetHeight(12);
    QImage red(12, 12, QImage::Format_ARGB32);
    red.fill(qRgb(255, 0, 0));
    images.Add(red);
    images.Add(red); // none for the third item
    TPopupList list;
    list.SetItems(&items);
    list.SetImages(&images);
    list.SetClientSize(100, 48);
    list.SetShowImages(true);
    QImage img = Render(&list);
    // Two pixels in, centred in the second row: (2, 18) to (14, 30).
    EXPECT_EQ(ClientPixel(img, 2, 16 + 2), qRgb(255, 0, 0) & 0xFFFFFF);
    EXPECT_EQ(ClientPixel(img, 13, 16 + 13), qRgb(255, 0, 0) & 0xFFFFFF);
    EXPECT_EQ(ClientPixel(img, 1, 16 + 8), Px(clWindow));
    EXPECT_EQ(ClientPixel(img, 8, 16 + 1), Px(clWindow));
    EXPECT_EQ(ClientPixel(img, 8, 32 + 8), Px(clWindow));
    // The text starts after the image's width and 5 pixels, also where the
    // item has no image.
    EXPECT_GE(InkColumns(img, Rect(14, 16, 100, 32), Rgb(clWindow)).first, 12 + 5);
    EXPECT_GE(InkColumns(img, Rect(0, 32, 100, 48), Rgb(clWindow)).first, 12 + 5);

    list.SetShowImages(false);
    img = Render(&list);
    EXPECT_EQ(ClientPixel(img, 2, 16 + 2), Px(clWindow));
    const int textLeft = InkColumns(img, Rect(0, 32, 100, 48), Rgb(clWindow)).first;
    EXPECT_GE(textLeft, 2);
    EXPECT_LT(textLeft, 12);
}

// --------------------------------------------------------------- calendar

TEST(DatePopup, StartStateButtonsAndDate) {
    TDatePopup cal;
    EXPECT_EQ(cal.Day() * 10000 + cal.Month() * 100 + cal.Year(), 10101);
    EXPECT_FALSE(cal.DayPressed());
    EXPECT_FALSE(cal.WindowScrollBarShown(sbVertical));
    EXPECT_EQ(cal.ClientRect(), Rect(0, 0, 147, 159));
    EXPECT_EQ(cal.TodayButton()->Caption(), "Today");
    EXPECT_EQ(cal.NoneButton()->Caption(), "None");
    EXPECT_EQ(cal.TodayButton()->geometry(), QRect(InWindow(18, 131), QSize(48, 20)));
    EXPECT_EQ(cal.NoneButton()->geometry(), QRect(InWindow(79, 131), QSize(48, 20)));
    EXPECT_EQ(cal.TodayButton()->parentWidget(), &cal);

    cal.SetDate(EncodeDate(2024, 3, 15) + 0.5);
    EXPECT_EQ(cal.Day() * 10000 + cal.Month() * 100 + cal.Year(), 150000 + 300 + 2024);
    EXPECT_DOUBLE_EQ(cal.SelectedDate(), EncodeDate(2024, 3, 15) + 0.5);
    // The parts are plain values: they move the shown month, not the date.
    cal.SetMonth(7);
    EXPECT_EQ(cal.Month(), 7);
    EXPECT_DOUBLE_EQ(cal.Date(), EncodeDate(2024, 3, 15) + 0.5);
}

TEST(DatePopup, March2024StartsOnAFriday) {
    PinnedFormats formats;
    ThemesSwitch themes(true);
    TFixedDayCalendar cal;
    cal.FixedToday = EncodeDate(2000, 1, 1);
    cal.SetDate(EncodeDate(2024, 3, 20));
    for (int k = 0; k < 5; ++k)
        EXPECT_EQ(cal.CellDate(k, 0), EncodeDate(2024, 2, 25 + k)) << k;
    EXPECT_EQ(cal.CellDate(5, 0), EncodeDate(2024, 3, 1));
    EXPECT_EQ(cal.CellDate(6, 0), EncodeDate(2024, 3, 2));
    EXPECT_EQ(cal.CellDate(0, 5), EncodeDate(2024, 3, 31));
    EXPECT_EQ(cal.CellDate(1, 5), EncodeDate(2024, 4, 1));
    EXPECT_EQ(cal.CellDate(6, 5), EncodeDate(2024, 4, 6));

    // February's and April's days grey, March's in the text colour.
    const QImage img = Render(&cal);
    const int grey = Luminance(Rgb(clGrayText));
    const auto number = [](int k, int j) {
        const TRect c = TDatePopup::CellRect(k, j);
        return Bounds(c.Left, c.Top, 15, 15);
    };
    const std::pair<int, int> others[] = {{0, 0}, {4, 0}, {1, 5}, {6, 5}};
    for (const auto& [k, j] : others) {
        EXPECT_GT(CountOther(img, number(k, j).ToQRect().translated(F, F), Rgb(clWindow)), 0);
        EXPECT_GE(DarkestIn(img, number(k, j)), grey - 8) << k << "," << j;
    }
    const std::pair<int, int> march[] = {{5, 0}, {6, 0}, {3, 2}, {0, 5}};
    for (const auto& [k, j] : march)
        EXPECT_LT(DarkestIn(img, number(k, j)), grey / 2) << k << "," << j;

    // A month whose 1st is a Sunday starts with it.
    cal.SetDate(EncodeDate(2024, 9, 10));
    EXPECT_EQ(cal.CellDate(0, 0), EncodeDate(2024, 9, 1));
    EXPECT_EQ(cal.CellDate(1, 4), EncodeDate(2024, 9, 30));
    EXPECT_EQ(cal.CellDate(2, 4), EncodeDate(2024, 10, 1));
}

TEST(DatePopup, Layout) {
    PinnedFormats formats;
    for (const bool themed : {true, false}) {
        ThemesSwitch themes(themed);
        TFixedDayCalendar cal;
        cal.FixedToday = EncodeDate(2000, 1, 1);
        cal.SetDate(EncodeDate(2024, 3, 20));
        cal.SetSelectedDate(EncodeDate(1999, 1, 1));
        const QImage img = Render(&cal);
        const int w = cal.ClientWidth();
        const QRgb band =
            themed ? Px(TGraphicsProvider::Blend(clHighlight, clWindow, 0.75)) : Px(clBtnFace);
        EXPECT_EQ(ClientPixel(img, 2, 2), band);
        EXPECT_EQ(ClientPixel(img, w - 3, 17), band);
        EXPECT_NE(ClientPixel(img, w - 2, 10), band);
        EXPECT_NE(ClientPixel(img, 30, 18), band);
        // The arrows, and the title centred between them.
        EXPECT_EQ(ClientPixel(img, 11, 9), Px(clWindowText));
        EXPECT_EQ(ClientPixel(img, w - 12, 9), Px(clWindowText));
        EXPECT_EQ(ClientPixel(img, 14, 9), band);
        const auto [left, right] = InkColumns(img, Rect(20, 2, w - 20, 18), band);
        EXPECT_LE(std::abs(left - (w - 1 - right)), 2) << left << " " << right;
        // The two lines.
        for (const int y : {34, 126}) {
            EXPECT_EQ(ClientPixel(img, 14, y), Px(clBtnShadow));
            EXPECT_EQ(ClientPixel(img, w - 16, y), Px(clBtnShadow));
            EXPECT_EQ(ClientPixel(img, w - 15, y), Px(clWindow));
            EXPECT_EQ(ClientPixel(img, 13, y), Px(clWindow));
        }
        // Weekday letters and day numbers right-aligned in 15-pixel cells
        // every 17 pixels.
        for (int k = 0; k < 7; ++k) {
            const int x = 14 + 17 * k;
            for (const auto& [top, bottom] : {std::pair{20, 34}, std::pair{36, 51}}) {
                const auto [l, r] = InkColumns(img, Rect(x, top, x + 17, bottom), Rgb(clWindow));
                EXPECT_GE(l, x);
                EXPECT_LE(r, x + 14);
                EXPECT_GE(r, x + 11);
            }
        }
        EXPECT_TRUE(cal.SelectedCell().IsEmpty()); // the selected day lies elsewhere
    }
}

TEST(DatePopup, SelectedDayFilledAndTodayFramed) {
    PinnedFormats formats;
    for (const bool themed : {true, false}) {
        ThemesSwitch themes(themed);
        TFixedDayCalendar cal; // today 12 March 2024
        cal.SetDate(EncodeDate(2024, 3, 15));
        const QImage img = Render(&cal);
        // 15 March is the Friday of the third row, filled 17 x 15.
        const TRect sel = TDatePopup::CellRect(5, 2);
        EXPECT_EQ(sel, Bounds(14 + 17 * 5, 36 + 15 * 2, 17, 15));
        EXPECT_EQ(cal.SelectedCell(), sel);
        const QRgb fill = themed ? Px(RGB(251, 230, 148)) : Px(clSilver);
        for (int y = sel.Top; y < sel.Bottom; ++y) {
            EXPECT_EQ(ClientPixel(img, sel.Left, y), fill);
            EXPECT_EQ(ClientPixel(img, sel.Right - 1, y), fill);
            EXPECT_NE(ClientPixel(img, sel.Left - 1, y), fill);
            EXPECT_NE(ClientPixel(img, sel.Right, y), fill);
        }
        for (int x = sel.Left; x < sel.Right; ++x) {
            EXPECT_EQ(ClientPixel(img, x, sel.Top), fill);
            EXPECT_EQ(ClientPixel(img, x, sel.Bottom - 1), fill);
            EXPECT_NE(ClientPixel(img, x, sel.Top - 1), fill);
            EXPECT_NE(ClientPixel(img, x, sel.Bottom), fill);
        }
        // Today, the Tuesday of the same row, framed.
        const TRect t = TDatePopup::CellRect(2, 2);
        const QRgb frame = themed ? Px(RGB(128, 0, 0)) : Px(clHighlight);
        const std::pair<int, int> edges[] = {{t.Left, t.Top},        {t.Right - 1, t.Top},
                                             {t.Left, t.Bottom - 1}, {t.Right - 1, t.Bottom - 1},
                                             {t.Left + 8, t.Top},    {t.Left, t.Top + 7}};
        for (const auto& [x, y] : edges)
            EXPECT_EQ(ClientPixel(img, x, y), frame) << x << "," << y;
        EXPECT_EQ(ClientPixel(img, t.Left + 1, t.Top + 1), Px(clWindow));
        EXPECT_NE(ClientPixel(img, t.Left - 1, t.Top), frame);
    }
}

TEST(DatePopup, ArrowsStepTheMonthAcrossTheYearAndKeepItOpen) {
    OpenCalendar open(EncodeDate(2024, 1, 10));
    TDatePopup& cal = open.Calendar;
    const QPoint back = InWindow(10, 9), forward = InWindow(cal.ClientWidth() - 10, 9);
    Click(&cal, back);
    EXPECT_EQ(cal.Month(), 12);
    EXPECT_EQ(cal.Year(), 2023);
    EXPECT_EQ(cal.CellDate(5, 0), EncodeDate(2023, 12, 1));
    // The release over the title closed nothing.
    EXPECT_FALSE(cal.Closed());
    EXPECT_TRUE(cal.isVisible());
    Click(&cal, forward);
    Click(&cal, forward);
    EXPECT_EQ(cal.Month(), 2);
    EXPECT_EQ(cal.Year(), 2024);
    cal.SetMonth(12);
    Click(&cal, forward);
    EXPECT_EQ(cal.Month(), 1);
    EXPECT_EQ(cal.Year(), 2025);
    // A release on the title between the arrows keeps it open too.
    Click(&cal, InWindow(70, 10));
    EXPECT_FALSE(cal.Closed());
    EXPECT_TRUE(open.Said.empty());
    // The date itself stays until a day is chosen.
    EXPECT_EQ(cal.Date(), EncodeDate(2024, 1, 10));
    // The wheel scrolls nothing and brings up no bar.
    QWheelEvent wheel(QPointF(InWindow(60, 60)), QPointF(cal.mapToGlobal(InWindow(60, 60))),
                      QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                      false);
    QApplication::sendEvent(&cal, &wheel);
    EXPECT_FALSE(cal.WindowScrollBarShown(sbVertical));
    EXPECT_EQ(cal.ClientRect(), Rect(0, 0, 147, 159));
}

TEST(DatePopup, NoStepPastTheYears1And9999) {
    PinnedFormats formats;
    TDatePopup cal;
    cal.SetDate(EncodeDate(1, 1, 5));
    cal.PriorMonth();
    EXPECT_EQ(cal.Month() * 10000 + cal.Year(), 10001);
    EXPECT_NO_THROW(Render(&cal));
    cal.SetDate(EncodeDate(9999, 12, 5));
    cal.NextMonth();
    EXPECT_EQ(cal.Month() * 10000 + cal.Year(), 129999);
    EXPECT_NO_THROW(Render(&cal));
    EXPECT_THROW(cal.CellDate(6, 5), EConvertError); // in January 10000
    // A month stored out of range shows as the nearest one.
    const TDateTime december = cal.CellDate(0, 0);
    cal.SetMonth(13);
    EXPECT_EQ(cal.CellDate(0, 0), december);
    EXPECT_NO_THROW(Render(&cal));
}

TEST(DatePopup, PressAndDragSelectsThenTheReleaseChooses) {
    OpenCalendar open(EncodeDate(2024, 3, 20));
    TDatePopup& cal = open.Calendar;
    QTest::mousePress(&cal, Qt::LeftButton, {}, open.CellCentre(1, 1));
    EXPECT_TRUE(cal.DayPressed());
    EXPECT_EQ(cal.SelectedDate(), EncodeDate(2024, 3, 4));
    QApplication::processEvents();
    EXPECT_EQ(cal.SelectedCell(), TDatePopup::CellRect(1, 1));
    QTest::mouseMove(&cal, open.CellCentre(3, 2));
    EXPECT_EQ(cal.SelectedDate(), EncodeDate(2024, 3, 13));
    QApplication::processEvents();
    EXPECT_EQ(cal.SelectedCell(), TDatePopup::CellRect(3, 2));
    // Dragging onto a day of the next month selects it; the month stays.
    QTest::mouseMove(&cal, open.CellCentre(2, 5));
    EXPECT_EQ(cal.SelectedDate(), EncodeDate(2024, 4, 2));
    EXPECT_EQ(cal.Month(), 3);
    QTest::mouseRelease(&cal, Qt::LeftButton, {}, open.CellCentre(2, 5));
    EXPECT_FALSE(cal.DayPressed());
    EXPECT_EQ(open.Said, (Log{"value 02/04/2024", "closed"}));
}

TEST(DatePopup, BelowTheSixthWeekThereIsNoDay) {
    OpenCalendar open(EncodeDate(2024, 3, 20));
    Click(&open.Calendar, InWindow(40, 128));
    EXPECT_EQ(open.Calendar.SelectedDate(), EncodeDate(2024, 3, 20));
    EXPECT_EQ(open.Said, Log{"closed"});
}

TEST(DatePopup, TodayAndNone) {
    {
        OpenCalendar open(EncodeDate(2024, 3, 20));
        Click(open.Calendar.NoneButton(), QPoint(24, 10));
        EXPECT_EQ(open.Said, (Log{"value 0", "closed"}));
        EXPECT_FALSE(open.Calendar.isVisible());
    }
    {
        OpenCalendar open(EncodeDate(2024, 3, 20));
        open.Calendar.FixedToday = EncodeDate(2031, 7, 4);
        Click(open.Calendar.TodayButton(), QPoint(24, 10));
        EXPECT_EQ(open.Said, (Log{"value 04/07/2031", "closed"}));
        EXPECT_TRUE(open.Calendar.Closed());
    }
}

TEST(DatePopup, ButtonsLookPressedWhileHeld) {
    for (const bool themed : {true, false}) {
        ThemesSwitch themes(themed);
        TDatePopup cal;
        cal.SetBounds(200, 200, cal.Width(), cal.Height());
        cal.Show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&cal));
        PopupView::TSmallButton* b = cal.NoneButton();
        const QImage up = Render(b);
        QTest::mousePress(b, Qt::LeftButton, {}, QPoint(24, 10));
        EXPECT_TRUE(b->Pressed());
        const QImage down = Render(b);
        QTest::mouseRelease(b, Qt::LeftButton, {}, QPoint(24, 10));
        EXPECT_FALSE(b->Pressed());
        EXPECT_NE(up, down);
        EXPECT_EQ(Render(b), up);
        // The caption's dark ink in the middle.
        int first = INT_MAX, last = INT_MIN;
        for (int y = 4; y < 16; ++y)
            for (int x = 3; x < 45; ++x)
                if (Luminance(up.pixel(x, y)) < 100) {
                    first = std::min(first, x);
                    last = std::max(last, x);
                }
        ASSERT_LE(first, last);
        EXPECT_LE(std::abs(first - (47 - last)), 2) << first << " " << last;
        if (!themed) {
            EXPECT_EQ(up.pixel(0, 0), Rgb(cl3DLight));
            EXPECT_EQ(up.pixel(47, 19), Rgb(cl3DDkShadow));
            EXPECT_EQ(down.pixel(0, 0), Rgb(clBtnShadow));
        }
    }
}
