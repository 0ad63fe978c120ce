// The main window's icon in the notification area, against a recording shell.

#include "AppFixture.h"
#include "ShellApi.h"

#include <QElapsedTimer>
#include <QMenu>
#include <QTimer>

namespace {

class Tray : public ToolWindows {
protected:
    TRecordingShell FShell;
    TShellScope FScope{&FShell};

    // Sends a mouse message at the icon as the shell would.
    bool Notify(std::uint32_t event) {
        const TNotifyIconDataA& data = Form1->TrayIcon1->NotifyData();
        return FShell.Notify(data.Wnd, data.uID, event);
    }
    QStringList PopupItems() const {
        QStringList items;
        if (QMenu* menu = Form1->PopupMenu1->ShownMenu())
            for (QAction* a : menu->actions())
                items << a->text();
        return items;
    }
};

TEST_F(Tray, TheIconStandsInTheAreaWithTheWindowsSettings) {
    Start();
    TTrayIcon* tray = Form1->TrayIcon1;
    EXPECT_TRUE(tray->IconVisible());
    EXPECT_EQ(tray->IconIndex(), 0);
    EXPECT_EQ(tray->CycleInterval(), 400u);
    EXPECT_TRUE(tray->WantEnterExitEvents());
    EXPECT_EQ(tray->PopupMenu(), Form1->PopupMenu1);
    EXPECT_FALSE(tray->Icon().isNull());
    EXPECT_EQ(FShell.IconCount(), 1u);
    EXPECT_TRUE(FShell.IsShown(tray->NotifyData().Wnd, tray->NotifyData().uID));
    EXPECT_EQ(tray->NotifyData().uFlags, 7u);
}

TEST_F(Tray, ARightButtonDownPopsUpTheTwoItems) {
    Start();
    ASSERT_TRUE(Notify(WM_RBUTTONDOWN));
    ASSERT_TRUE(WaitFor([&] { return !PopupItems().isEmpty(); }));
    EXPECT_EQ(PopupItems(), QStringList({"Listeyi sil", "Çıkış"}));
}

TEST_F(Tray, ListeyiSilFromTheIconResetsThePanelAndTheCounter) {
    Start();
    Form1->Memo2->AddLine("hata:12:00:00");
    Form1->Label5->SetCaption("4");
    ASSERT_TRUE(Notify(WM_RBUTTONDOWN));
    ASSERT_TRUE(WaitFor([&] { return PopupItems().size() == 2; }));
    Form1->PopupMenu1->ShownMenu()->actions().at(0)->trigger();
    EXPECT_EQ(Form1->Label5->Caption(), "0");
    EXPECT_EQ(Form1->Memo2->Text(), Form1->tempMemo->Text());
}

TEST_F(Tray, CikisFromTheIconEndsTheToolAndTheIconGoesWithIt) {
    Start();
    ASSERT_TRUE(Notify(WM_RBUTTONDOWN));
    ASSERT_TRUE(WaitFor([&] { return PopupItems().size() == 2; }));
    EXPECT_TRUE(EndsTheTool(Form1->PopupMenu1->ShownMenu()->actions().at(1)));
    EXPECT_FALSE(Form1->isVisible());

    DestroyToolWindows();
    EXPECT_EQ(FShell.IconCount(), 0u);
    EXPECT_FALSE(FShell.RequestsOf(NIM_DELETE).empty());
}

TEST_F(Tray, WithoutANotificationAreaTheToolGoesOnQuietly) {
    FShell.Refuse = true;
    Start();
    EXPECT_EQ(FShell.IconCount(), 0u);
    EXPECT_TRUE(Form1->isVisible());
    // Nothing was reported as an error.
    EXPECT_EQ(Form1->Memo2->LineCount(), 2);
    EXPECT_FALSE(Form1->Memo2->Line(1).contains(':'));
}

} // namespace
