#pragma once
// The main window: the call list, the message panel, the connection panel
// with the hosted device control, and the signal meters.
//
// Every caller-ID report of the device becomes the newest of at most six
// rows of GridView1, counts as a call (Label5), beeps and raises a balloon
// at the tray icon. Twice a second the connection monitor asks the device
// for its model and serial number; a connected device that goes away takes
// the call list and the counter with it.

#include "AppEvnts.h"
#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "GridView.h"
#include "Menus.h"
#include "StdCtrls.h"
#include "Strings.h"
#include "TrayIcon.h"
#include "mekalcallerid_TLB.h"

#include <array>

class TForm1 : public TForm {
    Q_OBJECT
public:
    // Reads the window from its stored layout (another layout of the same
    // window may be named, as the tests do).
    explicit TForm1(QObject* owner = nullptr,
                    const QString& layout = QStringLiteral(":/layouts/Unit1.xml"));

    // Components, bound by name once the layout has been read.
    TTimer* Timer1 = nullptr;
    TApplicationEvents* ApplicationEvents1 = nullptr;
    TPopupMenu* PopupMenu1 = nullptr;
    TMenuItem* Listeyisil1 = nullptr;
    TMenuItem* ki1 = nullptr;
    TTimer* Timer2 = nullptr;
    TTrayIcon* TrayIcon1 = nullptr;
    TGroupBox* GroupBox4 = nullptr;
    TGridView* GridView1 = nullptr;
    TMemo* Memo2 = nullptr;
    TGroupBox* GroupBox2 = nullptr;
    TLabel* Label22 = nullptr;
    TLabel* Label5 = nullptr;
    TLabel* Label9 = nullptr;
    TLabel* Label24 = nullptr;
    TLabel* Label25 = nullptr;
    TMekal* Mekal1 = nullptr;
    TGroupBox* tek = nullptr;
    TLabel* Label6 = nullptr;
    TLabel* Label7 = nullptr;
    TLabel* Label8 = nullptr;
    TLabel* Label15 = nullptr;
    TProgressBar* ProgressBar1 = nullptr;
    TProgressBar* ProgressBar2 = nullptr;
    TProgressBar* ProgressBar3 = nullptr;
    TProgressBar* ProgressBar4 = nullptr;
    TLabel* Label1 = nullptr;
    TLabel* Label2 = nullptr;
    TLabel* Label3 = nullptr;
    TLabel* Label4 = nullptr;
    TMemo* tempMemo = nullptr;
    TMainMenu* MainMenu1 = nullptr;
    TMenuItem* BalantKlavuzu1 = nullptr;
    TMenuItem* Ayar1 = nullptr;
    TMenuItem* Yardm1 = nullptr;

    // The columns of the call list, by their index in GridView1.
    enum : int { colDateTime = 0, colDeviceID = 1, colCallNumber = 2, colLine = 3, colPhone = 4 };
    // The call list keeps the newest calls only.
    static constexpr int MaxCallRows = 6;

    // The number of calls since the list was last reset.
    int CallCount() const { return FCallCount; }
    // Puts the counter (and Label5) at a given count, as a run that carries
    // on from an earlier one would find it.
    void SetCallCount(int Value);

    Q_INVOKABLE void FormShow(QObject* Sender);
    Q_INVOKABLE void Timer1Timer(QObject* Sender);
    Q_INVOKABLE void Timer2Timer(QObject* Sender);
    Q_INVOKABLE void ki1Click(QObject* Sender);
    Q_INVOKABLE void Listeyisil1Click(QObject* Sender);
    Q_INVOKABLE void Mekal1CallerID(QObject* ASender, const WideString& DeviceID,
                                    const WideString& Line, const WideString& PhoneNumber,
                                    const WideString& DateTime, const WideString& OtherText);
    Q_INVOKABLE void Mekal1SignalA(QObject* ASender, const WideString& Level1,
                                   const WideString& Level2, const WideString& Level3,
                                   const WideString& Level4, const WideString& Level5,
                                   const WideString& Level6, const WideString& Level7,
                                   const WideString& Level8);
    Q_INVOKABLE void ApplicationEvents1Exception(QObject* Sender, const Exception& E);
    Q_INVOKABLE void Memo2Change(QObject* Sender);
    Q_INVOKABLE void BalantKlavuzu1Click(QObject* Sender);
    Q_INVOKABLE void Ayar1Click(QObject* Sender);
    Q_INVOKABLE void Yardm1Click(QObject* Sender);

    // Empties the call list, restores the message panel's text and sets the
    // counter back to 0.
    void ResetCallList();

    // Fits the call list's columns to the grid's client width, their
    // stored widths being the proportions.
    void FitCallColumns();

private:
    int FCallCount = 0;
};

extern TForm1* Form1;
