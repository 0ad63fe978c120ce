// The guide, recommended-settings and help windows.

#include "AppFixture.h"
#include "FramingWindowManager.h"

#include <QKeyEvent>
#include <QPushButton>

namespace {

using GuideWindows = ToolWindows;

TEST_F(GuideWindows, TheGuideFitsTheScreenEveryTimeItIsShown) {
    Start();
    ASSERT_EQ(TScreen::Height(), 1080);
    EXPECT_EQ(Form2->Caption(), "Cihaz Bağlantısı");
    EXPECT_EQ(Form2->StatusBar1->SimpleText(), "    Caller ID Cihazı Bağlantı Şekli");
    EXPECT_EQ(Form2->StatusBar1->Height(), 30);
    EXPECT_EQ(Form2->Image3->Image().size(), QSize(1024, 785));

    Form2->SetBounds(300, 200, 400, 300);
    Form1->BalantKlavuzu1->Click();
    EXPECT_TRUE(Form2->isVisible());
    EXPECT_EQ(Form2->BoundsRect(), Bounds(10, 10, 1144, 880));
    // The picture fills the client area above the status bar.
    EXPECT_EQ(Form2->Image3->Height() + Form2->StatusBar1->Height(), Form2->ClientHeight());

    // Shown again while shown: fitted again.
    Form2->SetBounds(50, 60, 200, 100);
    Form1->BalantKlavuzu1->Click();
    EXPECT_EQ(Form2->BoundsRect(), Bounds(10, 10, 1144, 880));
}

TEST_F(GuideWindows, UnderAWindowManagerTheGuidesFrameFitsTheScreenAtEveryFit) {
    // Left 1, title bar 20, right 1, bottom 5.
    FramingWindowManager wm(QMargins(1, 20, 1, 5));
    Start();
    // Fitted as it is shown, before the window manager has framed it.
    Form1->BalantKlavuzu1->Click();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Form2));
    QCoreApplication::processEvents();
    const QRect client(11, 30, 1142, 855);
    EXPECT_EQ(Form2->BoundsRect(), Bounds(10, 10, 1144, 880));
    EXPECT_EQ(Form2->geometry(), client);
    EXPECT_EQ(Form2->Image3->Height() + Form2->StatusBar1->Height(), Form2->ClientHeight());
    EXPECT_EQ(Form2->ClientHeight(), 855);

    // Fitted again by a click on the picture, and by the menu again: the
    // same frame, not one frame further each time.
    for (int i = 0; i < 3; ++i) {
        QTest::mouseClick(Form2->Image3, Qt::LeftButton, {}, QPoint(5, 5));
        QCoreApplication::processEvents();
        EXPECT_EQ(Form2->BoundsRect(), Bounds(10, 10, 1144, 880));
        EXPECT_EQ(Form2->geometry(), client);
    }
    Form2->SetBounds(300, 200, 400, 300);
    Form1->BalantKlavuzu1->Click();
    EXPECT_EQ(Form2->geometry(), client);

    // Hidden by Escape and opened again.
    QTest::keyClick(Form2, Qt::Key_Escape);
    ASSERT_FALSE(Form2->isVisible());
    Form1->BalantKlavuzu1->Click();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Form2));
    QCoreApplication::processEvents();
    EXPECT_EQ(Form2->BoundsRect(), Bounds(10, 10, 1144, 880));
    EXPECT_EQ(Form2->geometry(), client);

    // The settings window keeps its designed client width inside its frame.
    Form1->Ayar1->Click();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Form3));
    QCoreApplication::processEvents();
    EXPECT_EQ(Form3->geometry(), QRect(11, 30, 945, 855));
    EXPECT_EQ(Form3->BoundsRect(), Bounds(10, 10, 947, 880));
}

TEST_F(GuideWindows, WithoutWindowFramesTheClientAreaIsTheWindow) {
    Start();
    Form1->BalantKlavuzu1->Click();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Form2));
    QCoreApplication::processEvents();
    EXPECT_EQ(Form2->FrameMargins(), QMargins());
    EXPECT_EQ(Form2->geometry(), QRect(10, 10, 1144, 880));
    EXPECT_EQ(Form2->frameGeometry(), QRect(10, 10, 1144, 880));
    QTest::mouseClick(Form2->Image3, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(Form2->geometry(), QRect(10, 10, 1144, 880));
}

TEST_F(GuideWindows, UnderAWindowManagerTheDesignedClientAreasStay) {
    FramingWindowManager wm(QMargins(1, 20, 1, 5));
    Start();
    Form1->Yardm1->Click();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Form1));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(HelpForm));
    QCoreApplication::processEvents();
    EXPECT_EQ(Form1->ClientWidth(), 557);
    EXPECT_EQ(Form1->ClientHeight(), 400);
    EXPECT_EQ(HelpForm->ClientWidth(), 8 + 617);
    EXPECT_EQ(HelpForm->Width(), 8 + 617 + 2);
    // Centred on the screen by its frame.
    EXPECT_EQ(HelpForm->Left(), (1920 - HelpForm->Width()) / 2);
    EXPECT_EQ(HelpForm->geometry().topLeft(), QPoint(HelpForm->Left() + 1, HelpForm->Top() + 20));
}

TEST_F(GuideWindows, TheSettingsWindowKeepsItsWidth) {
    Start();
    EXPECT_EQ(Form3->Caption(), "Önerilen ayar");
    EXPECT_EQ(Form3->w_ayar->Image().size(), QSize(980, 936));
    const int width = Form3->Width();
    Form1->Ayar1->Click();
    EXPECT_TRUE(Form3->isVisible());
    EXPECT_EQ(Form3->BoundsRect(), Bounds(10, 10, width, 880));
}

TEST_F(GuideWindows, EscapeHidesEitherPictureWindowAndNothingElse) {
    Start();
    Form1->BalantKlavuzu1->Click();
    Form1->Ayar1->Click();
    QTest::keyClick(Form2, Qt::Key_A);
    EXPECT_TRUE(Form2->isVisible());
    QTest::keyClick(Form2, Qt::Key_Escape);
    EXPECT_FALSE(Form2->isVisible());
    QTest::keyClick(Form3, Qt::Key_Escape);
    EXPECT_FALSE(Form3->isVisible());
    EXPECT_TRUE(Form1->isVisible());
    // Hidden, not destroyed: the picture is there for the next show.
    Form1->BalantKlavuzu1->Click();
    EXPECT_FALSE(Form2->Image3->Image().isNull());
}

TEST_F(GuideWindows, AMouseUpOnThePictureStretchesItOverTheWholeArea) {
    Start();
    Form1->BalantKlavuzu1->Click();
    EXPECT_TRUE(Form2->Image3->Proportional());
    QTest::mouseClick(Form2->Image3, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(Form2->Image3->Proportional());
    EXPECT_EQ(Form2->Image3->DestRect(),
              QRect(0, 0, Form2->Image3->Width(), Form2->Image3->Height()));
}

TEST_F(GuideWindows, TheHelpLinkOpensTheGuideAndClosesTheHelp) {
    Start();
    Form1->Yardm1->Click();
    EXPECT_TRUE(HelpForm->isVisible());
    EXPECT_EQ(HelpForm->Caption(), "Yardım");
    EXPECT_EQ(HelpForm->Button1->Caption(), "Kapat");
    EXPECT_EQ(HelpForm->Label1->Caption(), "Bağlantı kılavuzunu göster");
    EXPECT_EQ(HelpForm->Label1->Cursor(), TControl::crHandPoint);
    QTest::mouseClick(HelpForm->Label1, Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_TRUE(Form2->isVisible());
    EXPECT_FALSE(HelpForm->isVisible());

    Form1->Yardm1->Click();
    QTest::mouseClick(HelpForm->Button1->Button(), Qt::LeftButton);
    EXPECT_FALSE(HelpForm->isVisible());
}

TEST_F(GuideWindows, TheHelpTextKeepsItsLinesAndTheirTrailingBlanks) {
    Start();
    const QStringList lines = HelpForm->Memo1->Lines();
    ASSERT_EQ(lines.size(), 13);
    EXPECT_EQ(lines[0], "Cihazın çalışabilmesi için, telefon hattında \"arayan numarayı gösterme "
                        "özelliği\" açık olmalıdır.");
    EXPECT_EQ(lines[2], "\"numara gösterme özelliği\"  açıktır.   ");
    EXPECT_EQ(lines[4], "");
    EXPECT_EQ(lines[5], "Telefon kapalı ve zil çalmıyorsa, sinyal göstergeleri en fazla 0..2 "
                        "civarında olmalı.  ");
    EXPECT_EQ(lines[9], "Sinyal sürekli ve yüksek ise, İnternet hattında, ADSL Siplitter "
                        "kullanılmamış  veya ters ");
    EXPECT_EQ(lines[12], "Lütfen bağlantı kılavuzunu inceleyiniz.");
    // The window sizes itself round its group box.
    EXPECT_EQ(HelpForm->GroupBox1->Width(), 617);
    EXPECT_EQ(HelpForm->ClientWidth(), 8 + 617);
}

} // namespace
