// Moving a column by its header: the floating header box that follows the
// pointer, takes the mouse for the length of the drag and reports moves and
// the drop in screen coordinates, and the red arrows cut to their shape.
// Pointer input goes through the grid's window, as a real pointer's would,
// so the box hears it only because it holds the mouse.

#include "ColumnsTestSupport.h"

#include "ColumnDragBox.h"
#include "Displays.h"
#include "GridTestSupport.h"
#include "PixelTestSupport.h"
#include "SharedClasses.h"
#include "ThemesSupport.h"

#include <QApplication>
#include <QTest>
#include <QWindow>
#include <tuple>

namespace {

void ApplyGridFont(TFont& font) {
    font.SetName(QStringLiteral("Arial"));
    font.SetHeight(-11);
}

// Where a text's ink starts when it is drawn left-aligned at x = 0, and its
// width, in the grid's font.
int InkStart(const QString& text) {
    TBitmap bmp = Surface(220, 20, clWhite);
    ApplyGridFont(*bmp.Canvas()->Font());
    TGraphicsProvider::DrawTextIn(bmp.Canvas(), Rect(0, 0, 200, 20), false, text, 0);
    return DiffBox(bmp.Image(), Surface(220, 20, clWhite).Image()).left();
}

int TextWidthOf(const QString& text) {
    TBitmap bmp = Surface(4, 4);
    ApplyGridFont(*bmp.Canvas()->Font());
    return bmp.Canvas()->TextWidth(text);
}

struct TDragReport {
    QObject* Sender;
    TPoint Point;
    bool BoxVisible;
};

class DragBox : public ColumnsFixture {
protected:
    void SetUp() override {
        ColumnsFixture::SetUp();
        FGrid.SetHeaderStyle(hsDefault);
        FGrid.SetOptions({});
        FGrid.setGeometry(120, 80, 400, 200);
        MakeBox();
    }
    // A new box of the grid, as the grid makes it, recording its reports.
    void MakeBox() {
        FBox = std::make_unique<TColumnDragBox>(&FGrid);
        // The grid hands the box its own font and places it over the
        // header cell before the drag starts.
        ApplyGridFont(*FBox->Font());
        FBox->SetBounds(120, 80, BoxW, BoxH);
        FBox->OnMove = [this](QObject* s, int x, int y) {
            Moves.push_back({s, Point(x, y), FBox && FBox->isVisible()});
        };
        FBox->OnDrop = [this](QObject* s, int x, int y) {
            Drops.push_back({s, Point(x, y), FBox && FBox->isVisible()});
        };
    }
    void TearDown() override {
        FBox.reset();
        if (QWidget* grabber = QWidget::mouseGrabber()) grabber->releaseMouse();
        ColumnsFixture::TearDown();
    }

    TTextualColumn* Column(const QString& caption, int width = 90) {
        auto* c = Add(width);
        c->Header()->SetCaption(caption);
        c->Header()->SetColor(Face);
        return c;
    }

    // The left button goes down on the grid's header, on screen, and the
    // grid hands the drag of the column to the box.
    QWindow* Drag(TCustomColumn* column, bool hide = false) {
        if (!FGrid.isVisible()) {
            FGrid.show();
            EXPECT_TRUE(QTest::qWaitForWindowExposed(&FGrid));
        }
        QWindow* window = FGrid.windowHandle();
        QTest::mousePress(window, Qt::LeftButton, {}, QPoint(30, 10));
        FBox->StartColumnDrag(Global(QPoint(30, 10)), hide, column);
        return window;
    }
    TPoint Global(const QPoint& gridPoint) const {
        return TPoint::FromQPoint(FGrid.mapToGlobal(gridPoint));
    }

    QImage Render() const {
        QImage image(FBox->size(), QImage::Format_RGB32);
        image.fill(Qt::magenta);
        FBox->render(&image);
        return image;
    }

    static constexpr int BoxW = 91;
    static constexpr int BoxH = 22;
    static constexpr TColor Face = RGB(200, 100, 50);
    std::unique_ptr<TColumnDragBox> FBox;
    std::vector<TDragReport> Moves, Drops;
};

TEST_F(DragBox, StartShowsTheBoxAndTakesTheMouse) {
    TTextualColumn* c = Column(QStringLiteral("Saat"));
    EXPECT_FALSE(FBox->isVisible());
    EXPECT_EQ(FBox->Grid(), &FGrid);
    // Its own painter, on its own canvas, that never draws the pressed look.
    TColumnPartDisplay* painter = FBox->PartDisplay();
    ASSERT_NE(painter, nullptr);
    EXPECT_FALSE(painter->ShowPressed());
    EXPECT_EQ(painter->Canvas(), FBox->Canvas());
    EXPECT_EQ(painter->Grid(), FBox.get());
    EXPECT_EQ(painter->GridView(), &FGrid);

    FBox->StartColumnDrag(Global(QPoint(30, 10)), false, c);
    EXPECT_TRUE(FBox->isVisible());
    EXPECT_EQ(FBox->Column(), c);
    EXPECT_EQ(painter->Column(), c);
    EXPECT_EQ(QWidget::mouseGrabber(), FBox.get());
    // Where the grid placed it, until the pointer moves.
    EXPECT_EQ(FBox->BoundsRect(), Bounds(120, 80, BoxW, BoxH));

    // With the hide flag the box stays hidden but still takes the drag.
    FBox->Hide();
    TTextualColumn* other = Column(QStringLiteral("Hat"));
    FBox->StartColumnDrag(Global(QPoint(30, 10)), true, other);
    EXPECT_FALSE(FBox->isVisible());
    EXPECT_EQ(painter->Column(), other);
    EXPECT_TRUE(FBox->HasMouseCapture());
}

TEST_F(DragBox, FollowsThePointerWhereverItGoes) {
    QWindow* window = Drag(Column(QStringLiteral("Saat")));
    // Moves that reach the grid's window go to the box: reported at the
    // pointer's screen point, and the box centred on it horizontally (the
    // odd width rounds down) with its bottom 4 pixels below it.
    for (const QPoint& p : {QPoint(200, 150), QPoint(35, 12), QPoint(-300, 700)}) {
        QTest::mouseMove(window, p);
        const TPoint g = Global(p);
        ASSERT_FALSE(Moves.empty());
        EXPECT_EQ(Moves.back().Point, g) << p.x() << "," << p.y();
        EXPECT_EQ(Moves.back().Sender, FBox.get());
        EXPECT_EQ(FBox->BoundsRect(), Bounds(g.X - 45, g.Y - BoxH + 4, BoxW, BoxH));
    }
    EXPECT_EQ(Moves.size(), 3u);
    // The pointer over the box itself: the same rule from the box's point.
    QTest::mouseMove(FBox.get(), QPoint(10, 3));
    ASSERT_EQ(Moves.size(), 4u);
    const TPoint g = Moves.back().Point;
    EXPECT_EQ(FBox->BoundsRect(), Bounds(g.X - 45, g.Y - 18, BoxW, BoxH));
    EXPECT_TRUE(Drops.empty());
    QTest::mouseRelease(window, Qt::LeftButton, {}, QPoint(200, 150));
}

TEST_F(DragBox, OnlyTheLeftReleaseDrops) {
    TTextualColumn* c = Column(QStringLiteral("Saat"));
    QWindow* window = Drag(c);
    QTest::mouseMove(window, QPoint(150, 40));
    // Another button pressed and released during the drag changes nothing.
    for (Qt::MouseButton b : {Qt::RightButton, Qt::MiddleButton}) {
        QTest::mousePress(window, b, {}, QPoint(150, 40));
        QTest::mouseRelease(window, b, {}, QPoint(150, 40));
        EXPECT_TRUE(FBox->isVisible()) << b;
        EXPECT_TRUE(FBox->HasMouseCapture()) << b;
    }
    EXPECT_TRUE(Drops.empty());

    // The left one hides the box, gives the mouse up and then reports the
    // drop at its screen point; the column stays until the next drag.
    QTest::mouseRelease(window, Qt::LeftButton, {}, QPoint(160, 44));
    ASSERT_EQ(Drops.size(), 1u);
    EXPECT_EQ(Drops[0].Sender, FBox.get());
    EXPECT_EQ(Drops[0].Point, Global(QPoint(160, 44)));
    EXPECT_FALSE(Drops[0].BoxVisible);
    EXPECT_FALSE(FBox->isVisible());
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    EXPECT_EQ(FBox->Column(), c);
    // Later moves are no longer the box's.
    const std::size_t moves = Moves.size();
    QTest::mouseMove(window, QPoint(60, 60));
    EXPECT_EQ(Moves.size(), moves);

    // A drag started hidden ends the same way, and lets the mouse go.
    Drag(c, true);
    QTest::mouseMove(window, QPoint(90, 20));
    ASSERT_EQ(Moves.size(), moves + 1);
    EXPECT_FALSE(Moves.back().BoxVisible);
    QTest::mouseRelease(window, Qt::LeftButton, {}, QPoint(90, 20));
    ASSERT_EQ(Drops.size(), 2u);
    EXPECT_EQ(Drops[1].Point, Global(QPoint(90, 20)));
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
}

TEST_F(DragBox, EndsItsHoldWhenHiddenOrFreed) {
    TTextualColumn* c = Column(QStringLiteral("Saat"));
    // The grid abandons the gesture by hiding the box: the mouse is free
    // and no drop is reported.
    QWindow* window = Drag(c);
    FBox->Hide();
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    QTest::mouseRelease(window, Qt::LeftButton, {}, QPoint(50, 10));
    EXPECT_TRUE(Drops.empty());

    // A box freed while it holds the mouse lets it go.
    Drag(c);
    FBox.reset();
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    QTest::mouseRelease(window, Qt::LeftButton, {}, QPoint(70, 20));

    // The grid's handlers may free the box, on a move or on the drop.
    MakeBox();
    Drag(c);
    FBox->OnMove = [this](QObject*, int, int) { FBox.reset(); };
    QTest::mouseMove(window, QPoint(100, 30));
    EXPECT_EQ(FBox, nullptr);
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    QTest::mouseRelease(window, Qt::LeftButton, {}, QPoint(100, 30));
    MakeBox();
    Drag(c);
    FBox->OnDrop = [this](QObject*, int, int) { FBox.reset(); };
    QTest::mouseRelease(window, Qt::LeftButton, {}, QPoint(100, 30));
    EXPECT_EQ(FBox, nullptr);
}

TEST_F(DragBox, ColumnFreedDuringTheDrag) {
    QWindow* window = Drag(Column(QStringLiteral("Saat")));
    FGrid.Columns()->Clear();
    EXPECT_EQ(FBox->Column(), nullptr);
    EXPECT_EQ(FBox->PartDisplay()->Column(), nullptr);
    // The box still paints (a plain face in its frame) and the drag still
    // ends with a drop, so the grid can finish its gesture.
    ThemesSwitch themes(false);
    const QImage image = Render();
    EXPECT_EQ(CountOther(image, QRect(1, 1, BoxW - 3, BoxH - 3), Rgb(clBtnFace)), 0);
    EXPECT_EQ(At(image, BoxW - 1, BoxH - 1), clBlack);
    QTest::mouseMove(window, QPoint(100, 30));
    QTest::mouseRelease(window, Qt::LeftButton, {}, QPoint(100, 30));
    EXPECT_EQ(Moves.size(), 1u);
    EXPECT_EQ(Drops.size(), 1u);

    // A column freed after the drop, which the box keeps until the next
    // drag, leaves nothing behind either.
    auto loose = std::make_unique<TTextualColumn>();
    Drag(loose.get());
    QTest::mouseRelease(window, Qt::LeftButton, {}, QPoint(100, 30));
    loose.reset();
    EXPECT_EQ(FBox->Column(), nullptr);
    EXPECT_EQ(FBox->PartDisplay()->Column(), nullptr);
}

TEST_F(DragBox, PaintsTheFloatingHeader) {
    TTextualColumn* c = Column(QStringLiteral("Saat"));
    Column(QStringLiteral("Hat"));
    const QString caption = c->Header()->Caption();
    FBox->StartColumnDrag(Global(QPoint(30, 10)), false, c);
    const int w = BoxW, h = BoxH;
    const TColor hi = ColorToRGB(clBtnHighlight), sh = ColorToRGB(clBtnShadow);
    for (bool themesOn : {false, true}) {
        ThemesSwitch themes(themesOn);
        SCOPED_TRACE(testing::Message() << "themes " << themesOn);
        c->Header()->SetCaption(QString());
        const QImage bare = Render();
        c->Header()->SetCaption(caption);
        const QImage image = Render();
        // The frame on (0, 0, W - 1, H - 1), light top and left, dark
        // bottom and right, and the black outer edge along the whole
        // bottom row and right column.
        for (auto [x, y, colour] : {std::tuple{0, 0, hi},
                                    {w - 3, 0, hi},
                                    {0, h - 3, hi},
                                    {w - 2, 0, sh},
                                    {w - 2, h - 3, sh},
                                    {0, h - 2, sh},
                                    {w - 2, h - 2, sh}})
            EXPECT_EQ(At(bare, x, y), colour) << x << "," << y;
        EXPECT_EQ(CountOther(bare, QRect(0, h - 1, w, 1), qRgb(0, 0, 0)), 0);
        EXPECT_EQ(CountOther(bare, QRect(w - 1, 0, 1, h), qRgb(0, 0, 0)), 0);
        // Inside, the header colour and nothing else: the painter draws no
        // header background (no button edges, no themed item).
        EXPECT_EQ(CountOther(bare, QRect(1, 1, w - 3, h - 3), Rgb(Face)), 0);

        // The caption, 3 pixels into the part rectangle (0, 2, W - 2,
        // H - 2), also with themes: the box has no wide themed indent.
        const QRect ink = DiffBox(image, bare);
        EXPECT_EQ(ink.left(), 3 + InkStart(caption));
        EXPECT_TRUE(QRect(3, 2, w - 5, h - 4).contains(ink));
        // Held down in the grid, the header still floats unpressed.
        FGrid.Pressed = c;
        EXPECT_EQ(Render(), image);
        FGrid.Pressed = nullptr;

        // A sorted column shows its mark after the caption.
        c->SetSorted(true);
        const QRect mark = DiffBox(Render(), image);
        c->SetSorted(false);
        const int markX = 2 + TextWidthOf(caption) + 19;
        const int markY = 2 + (h - 4) / 2 - 4 + (themesOn ? 1 : 0);
        EXPECT_EQ(mark, themesOn ? QRect(markX, markY, 9, 5) : QRect(markX, markY, 8, 7));
    }
    // The fill follows the dragged column's header colour.
    c->Header()->SetColor(clAqua);
    EXPECT_EQ(At(Render(), w / 2, 1), clAqua);
}

TEST(DragArrow, ShapeByDirection) {
    TDragArrow arrow;
    EXPECT_FALSE(arrow.Visible());
    EXPECT_EQ(arrow.BoundsRect().Width(), 9);
    EXPECT_EQ(arrow.BoundsRect().Height(), 9);
    EXPECT_EQ(arrow.Direction(), 0);
    const auto shows = [&arrow](const QPoint& p) { return arrow.mask().contains(p); };
    // A new arrow shows nothing until it is given a direction. Qt takes an
    // empty mask for none at all; the window must still show no pixel.
    const auto showsNothing = [&] {
        EXPECT_TRUE(arrow.WindowRegion().isEmpty());
        EXPECT_FALSE(arrow.mask().isEmpty());
        for (int y = 0; y < 9; ++y)
            for (int x = 0; x < 9; ++x)
                EXPECT_FALSE(shows(QPoint(x, y))) << x << "," << y;
    };
    showsNothing();

    struct Case {
        std::uint8_t Direction;
        std::vector<QPoint> In, Out;
    } cases[] = {
        // Up: the head on top, the stem below.
        {1,
         {{4, 0}, {0, 4}, {8, 4}, {4, 3}, {3, 8}, {5, 8}, {4, 6}},
         {{3, 0}, {0, 3}, {8, 3}, {2, 5}, {6, 5}, {0, 8}, {8, 8}, {4, 9}}},
        // Down: the stem on top, the head below.
        {2,
         {{3, 0}, {5, 0}, {4, 2}, {0, 4}, {8, 4}, {4, 7}, {4, 8}},
         {{2, 0}, {6, 0}, {2, 3}, {0, 5}, {8, 5}, {3, 8}, {5, 8}, {4, 9}}},
    };
    for (const Case& k : cases) {
        arrow.SetDirection(k.Direction);
        EXPECT_EQ(arrow.Direction(), k.Direction);
        EXPECT_EQ(arrow.mask(), arrow.WindowRegion());
        for (const QPoint& p : k.In)
            EXPECT_TRUE(shows(p)) << int(k.Direction) << ": " << p.x() << "," << p.y();
        for (const QPoint& p : k.Out)
            EXPECT_FALSE(shows(p)) << int(k.Direction) << ": " << p.x() << "," << p.y();
    }
    // Any other direction hides the arrow again.
    arrow.SetDirection(3);
    showsNothing();
}

TEST(DragArrow, RedInsideItsShape) {
    TDragArrow arrow;
    const auto render = [&arrow] {
        QImage image(9, 9, QImage::Format_RGB32);
        image.fill(Qt::blue);
        // Qt renders a masked window from its mask's top-left corner; put
        // that corner back where it is in the window.
        arrow.render(&image, arrow.WindowRegion().boundingRect().topLeft());
        return image;
    };
    // No direction: nothing of the arrow is drawn.
    EXPECT_EQ(CountOther(render(), QRect(0, 0, 9, 9), qRgb(0, 0, 255)), 0);
    for (std::uint8_t direction : {1, 2}) {
        arrow.SetDirection(direction);
        const QImage image = render();
        for (int y = 0; y < 9; ++y)
            for (int x = 0; x < 9; ++x)
                EXPECT_EQ(At(image, x, y),
                          arrow.WindowRegion().contains(QPoint(x, y)) ? clRed : clBlue)
                    << int(direction) << ": " << x << "," << y;
    }
}

} // namespace
