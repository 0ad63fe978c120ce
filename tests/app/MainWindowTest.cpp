// The main window: start-up, the signal meters, the message panel and the
// menus, driven through the real windows and a scripted device.

#include "AppFixture.h"

#include <QContextMenuEvent>
#include <QElapsedTimer>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QTimer>

namespace {

const QString kStart1 =
    QStringLiteral("Cihaz ile ilgili başka program çalışıyorsa lütfen sonlandırınız.");
const QString kStart2 = QStringLiteral("Aynı anda, 1 uygulama cihazla bağlantı kurabilir.");
const QString kReset2 = QStringLiteral("Aynı anda, 1 uygulama cihaza  bağlantı sağlayabilir.");

// "message:hh:nn:ss", the form of an error line.
QRegularExpression ErrorLine(const QString& message) {
    return QRegularExpression(QStringLiteral("^") + QRegularExpression::escape(message) +
                              QStringLiteral(":\\d\\d:\\d\\d:\\d\\d$"));
}

using MainWindow = ToolWindows;

TEST_F(MainWindow, StartsWithItsTitleWindowsAndPanels) {
    Start();
    EXPECT_EQ(Application->Title(), "Caller ID Test");
    ASSERT_EQ(Application->Forms().size(), 4u);
    EXPECT_EQ(Application->Forms()[0], Form1);
    EXPECT_EQ(Application->MainForm(), Form1);
    EXPECT_EQ(Application->Forms()[3], HelpForm);
    EXPECT_TRUE(Form1->isVisible());
    EXPECT_FALSE(Form2->isVisible());
    EXPECT_FALSE(Form3->isVisible());
    EXPECT_FALSE(HelpForm->isVisible());

    // Every window's caption is its title bar's text.
    EXPECT_EQ(Form1->windowTitle(), "Cihaz Test");
    EXPECT_EQ(Form2->windowTitle(), "Cihaz Bağlantısı");
    EXPECT_EQ(Form3->windowTitle(), "Önerilen ayar");
    EXPECT_EQ(HelpForm->windowTitle(), "Yardım");
    EXPECT_EQ(Form1->GroupBox2->Caption(), "     Cihaz Modeli - Bağlantı Durumu   ");
    EXPECT_EQ(Form1->tek->Caption(), "  Sinyaller   ");
    EXPECT_EQ(Form1->Label22->Caption(), "Çağrı sayısı : ");
    EXPECT_EQ(Form1->Label9->Caption(), "--");
    EXPECT_EQ(Form1->Label15->Caption(), "Telefon 4");
    for (TLabel* l : {Form1->Label1, Form1->Label2, Form1->Label3, Form1->Label4}) {
        EXPECT_EQ(l->Caption(), "-");
        EXPECT_EQ(l->Width(), 25);
    }
    EXPECT_EQ(Form1->ProgressBar3->BoundsRect(), Bounds(86, 88, 91, 13));
    EXPECT_EQ(Form1->ProgressBar3->Max(), 30);
    EXPECT_EQ(Form1->Mekal1->BoundsRect(), Bounds(280, 80, 26, 26));
    EXPECT_EQ(Form1->Mekal1->ParentControl(), Form1->GroupBox2);
    EXPECT_EQ(Form1->Label22->Font()->Name(), "Arial Narrow");
    EXPECT_EQ(Form1->Label22->Font()->Height(), -24);
    EXPECT_TRUE(Form1->Label5->Font()->Style().testFlag(TFont::fsItalic));
    EXPECT_EQ(Form1->Label9->PopupMenu(), Form1->PopupMenu1);
    EXPECT_EQ(Form1->Timer1->Interval(), 500);
    EXPECT_EQ(Form1->Timer2->Interval(), 50);

    // The panels stack as designed: the grid's strip, the message panel,
    // then connection on the left and signals on the right.
    EXPECT_EQ(Form1->GridView1->Height(), 170);
    EXPECT_EQ(Form1->Memo2->Top(), Form1->GridView1->Top() + 170);
    EXPECT_EQ(Form1->Memo2->Height(), 56);
    EXPECT_EQ(Form1->GroupBox2->Left(), Form1->Memo2->Left());
    EXPECT_EQ(Form1->GroupBox2->Width(), 319);
    EXPECT_EQ(Form1->tek->Width(), 224);
    EXPECT_EQ(Form1->tek->Left() + 224, Form1->Memo2->Left() + Form1->Memo2->Width());
    EXPECT_EQ(Form1->Memo2->Lines(), QStringList({kStart1, kStart2}));
    EXPECT_EQ(Form1->tempMemo->Lines(), QStringList({kStart1, kReset2}));
    EXPECT_FALSE(Form1->tempMemo->isVisible());

    ASSERT_NE(Form1->MenuBar(), nullptr);
    QStringList menu;
    for (QAction* a : Form1->MenuBar()->actions())
        menu << a->text();
    EXPECT_EQ(menu, QStringList({"Bağlantı Kılavuzu", "Ayar", "Yardım"}));
}

TEST_F(MainWindow, ShowResetsTheCounterAndStartsTheDevice) {
    StartStepped("plug \"CID-4 USB\" 10234567\n"
                 "signal 3 4 5 6\n");
    EXPECT_EQ(Form1->Label5->Caption(), "0");
    Play(2);
    EXPECT_EQ(Form1->Label4->Caption(), "6");
    EXPECT_EQ(Form1->Mekal1->QueryProperty("devicemodel"), "CID-4 USB");

    // Timer2 fires once, 50 ms after creation, and switches itself off.
    EXPECT_TRUE(Form1->Timer2->Enabled());
    EXPECT_EQ(Form1->Timer2->Interval(), 50);
    Guarded(Form1->Timer2, [] { Form1->Timer2->Timer(); });
    EXPECT_FALSE(Form1->Timer2->Enabled());

    // Hiding and showing the window again runs FormShow again.
    Form1->Label5->SetCaption("5");
    Form1->Hide();
    Form1->Show();
    EXPECT_EQ(Form1->Label5->Caption(), "0");
}

TEST_F(MainWindow, SignalMetersShowTheFourLevels) {
    StartStepped("signal 0 2 30 31 99 99 99 99\n");
    Play();
    EXPECT_EQ(Form1->Label4->Caption(), "31");
    const std::array<TProgressBar*, 4> bars{Form1->ProgressBar1, Form1->ProgressBar2,
                                            Form1->ProgressBar3, Form1->ProgressBar4};
    EXPECT_EQ(bars[0]->DisplayedPosition(), 0);
    EXPECT_EQ(bars[1]->DisplayedPosition(), 2);
    EXPECT_EQ(bars[2]->DisplayedPosition(), 30);
    EXPECT_EQ(bars[3]->DisplayedPosition(), 30);
    EXPECT_EQ(Form1->Label1->Caption(), "0");
    EXPECT_EQ(Form1->Label2->Caption(), "2");
    EXPECT_EQ(Form1->Label3->Caption(), "30");
    // Nothing was wrong, so the message panel is as it started.
    EXPECT_EQ(Form1->Memo2->Lines(), QStringList({kStart1, kStart2}));
}

TEST_F(MainWindow, ABadLevelChangesNothingAndLeavesOneErrorLine) {
    StartStepped("signal 1 2 3 4\n"
                 "signal 7 8 abc 9\n"
                 "signal 5 5 \"\" 5\n"
                 "signal 6 6 xΩ 6\n");
    Play(2);
    ASSERT_EQ(Form1->Memo2->LineCount(), 2);
    EXPECT_TRUE(Form1->Memo2->Line(1).startsWith("'abc'"));
    EXPECT_EQ(Form1->Label1->Caption(), "1");
    EXPECT_EQ(Form1->ProgressBar1->Position(), 1);
    EXPECT_EQ(Form1->Label3->Caption(), "3");
    // The second start-up line and the error stay.
    EXPECT_EQ(Form1->Memo2->Line(0), kStart2);
    EXPECT_TRUE(
        ErrorLine("'abc' is not a valid integer value").match(Form1->Memo2->Line(1)).hasMatch())
        << Form1->Memo2->Line(1).toStdString();

    // Three errors in a row leave exactly the last two.
    // A level is read as an 8-bit text: what the code page lacks becomes '?'.
    Play(2);
    EXPECT_TRUE(Form1->Memo2->Line(1).startsWith("'x?'"));
    EXPECT_EQ(Form1->Memo2->LineCount(), 2);
    EXPECT_TRUE(
        ErrorLine("'' is not a valid integer value").match(Form1->Memo2->Line(0)).hasMatch());
    EXPECT_TRUE(
        ErrorLine("'x?' is not a valid integer value").match(Form1->Memo2->Line(1)).hasMatch());
    EXPECT_EQ(Form1->Label4->Caption(), "4");
}

TEST_F(MainWindow, ADeviceThatCannotStartLeavesOneLineAndTheToolGoesOn) {
    qputenv("CALLERID_DEVICE", "modem");
    Start();
    EXPECT_TRUE(Form1->isVisible());
    EXPECT_EQ(Form1->Label5->Caption(), "0");
    ASSERT_EQ(Form1->Memo2->LineCount(), 2);
    EXPECT_EQ(Form1->Memo2->Line(0), kStart2);
    EXPECT_TRUE(Form1->Memo2->Line(1).startsWith("CALLERID_DEVICE: unknown device 'modem'"));
    EXPECT_TRUE(
        QRegularExpression(":\\d\\d:\\d\\d:\\d\\d$").match(Form1->Memo2->Line(1)).hasMatch());
}

TEST_F(MainWindow, ListeyiSilRestoresTheMessagePanelAndTheCounter) {
    Start();
    Form1->Memo2->AddLine("hata:12:00:00");
    Form1->Label5->SetCaption("3");
    Form1->Listeyisil1->Click();
    EXPECT_EQ(Form1->Memo2->Lines(), QStringList({kStart1, kReset2}));
    EXPECT_EQ(Form1->Label5->Caption(), "0");
    EXPECT_EQ(Form1->CallCount(), 0);
}

TEST_F(MainWindow, CikisFromTheLabelsPopupMenuEndsTheTool) {
    Start();
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(2, 2),
                            Form1->Label9->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(Form1->Label9, &event);
    QMenu* menu = Form1->PopupMenu1->ShownMenu();
    ASSERT_NE(menu, nullptr);
    QStringList items;
    for (QAction* a : menu->actions())
        items << a->text();
    ASSERT_EQ(items, QStringList({"Listeyi sil", "Çıkış"}));

    // Choosing "Çıkış" closes the main window, which ends the message loop.
    EXPECT_TRUE(EndsTheTool(menu->actions().at(1)));
    EXPECT_FALSE(Form1->isVisible());
}

} // namespace
