#include "Unit1.h"

#include "Application.h"
#include "Beep.h"
#include "SysUtils.h"
#include "Unit2.h"
#include "Unit3.h"
#include "Unit4.h"
#include "UnitSupport.h"

#include <QEvent>

TForm1* Form1 = nullptr;

namespace {

// The text as an 8-bit string of the code page holds it (captions are such
// strings): what the code page cannot hold does not survive.
QString Through8Bit(const WideString& text) {
    return AnsiToWide(WideToAnsi(text));
}

// The monitor's captions of Label9 (before its first tick it reads "--").
const QString kWaiting = QStringLiteral("Bağlantı bekleniyor");
const QString kConnected = QStringLiteral("Cihaz bağlı");

// Holds the grid's update lock for a scope. The lock is a flag that only
// EndUpdate clears: a cell write that fails must not leave the grid
// without repaints and change reports for the rest of the run.
class TUpdateLock {
public:
    explicit TUpdateLock(TGridView* grid) : FGrid(grid) { FGrid->BeginUpdate(); }
    ~TUpdateLock() { FGrid->EndUpdate(); }
    TUpdateLock(const TUpdateLock&) = delete;
    TUpdateLock& operator=(const TUpdateLock&) = delete;

private:
    TGridView* FGrid;
};

} // namespace

TForm1::TForm1(QObject* owner, const QString& layout) : TForm(owner) {
    EnsureResources();
    ReadLayout(layout);
    Timer1 = BindComponent<TTimer>(this, "Timer1");
    ApplicationEvents1 = BindComponent<TApplicationEvents>(this, "ApplicationEvents1");
    PopupMenu1 = BindComponent<TPopupMenu>(this, "PopupMenu1");
    Listeyisil1 = BindComponent<TMenuItem>(this, "Listeyisil1");
    ki1 = BindComponent<TMenuItem>(this, "ki1");
    Timer2 = BindComponent<TTimer>(this, "Timer2");
    TrayIcon1 = BindComponent<TTrayIcon>(this, "TrayIcon1");
    GroupBox4 = BindComponent<TGroupBox>(this, "GroupBox4");
    GridView1 = BindComponent<TGridView>(this, "GridView1");
    Memo2 = BindComponent<TMemo>(this, "Memo2");
    GroupBox2 = BindComponent<TGroupBox>(this, "GroupBox2");
    Label22 = BindComponent<TLabel>(this, "Label22");
    Label5 = BindComponent<TLabel>(this, "Label5");
    Label9 = BindComponent<TLabel>(this, "Label9");
    Label24 = BindComponent<TLabel>(this, "Label24");
    Label25 = BindComponent<TLabel>(this, "Label25");
    Mekal1 = BindComponent<TMekal>(this, "Mekal1");
    tek = BindComponent<TGroupBox>(this, "tek");
    Label6 = BindComponent<TLabel>(this, "Label6");
    Label7 = BindComponent<TLabel>(this, "Label7");
    Label8 = BindComponent<TLabel>(this, "Label8");
    Label15 = BindComponent<TLabel>(this, "Label15");
    ProgressBar1 = BindComponent<TProgressBar>(this, "ProgressBar1");
    ProgressBar2 = BindComponent<TProgressBar>(this, "ProgressBar2");
    ProgressBar3 = BindComponent<TProgressBar>(this, "ProgressBar3");
    ProgressBar4 = BindComponent<TProgressBar>(this, "ProgressBar4");
    Label1 = BindComponent<TLabel>(this, "Label1");
    Label2 = BindComponent<TLabel>(this, "Label2");
    Label3 = BindComponent<TLabel>(this, "Label3");
    Label4 = BindComponent<TLabel>(this, "Label4");
    tempMemo = BindComponent<TMemo>(this, "tempMemo");
    MainMenu1 = BindComponent<TMainMenu>(this, "MainMenu1");
    BalantKlavuzu1 = BindComponent<TMenuItem>(this, "BalantKlavuzu1");
    Ayar1 = BindComponent<TMenuItem>(this, "Ayar1");
    Yardm1 = BindComponent<TMenuItem>(this, "Yardm1");

    // The stored column widths are proportions: the columns share the
    // client width the grid has once its columns are read; the grid refits
    // them itself whenever it is resized.
    FitCallColumns();
}

void TForm1::FitCallColumns() {
    GridView1->Columns()->AutoSizeColumns(GridView1->ClientRect().Width());
}

void TForm1::SetCallCount(int Value) {
    FCallCount = Value;
    Label5->SetCaption(IntToStr(FCallCount));
}

void TForm1::FormShow(QObject*) {
    FCallCount = 0;
    Label5->SetCaption(QStringLiteral("0"));
    Mekal1->SetDispatchProperty(201, false);
    Mekal1->Start();
    SetAutoSize(true);
}

void TForm1::Timer1Timer(QObject*) {
    // Label9's caption is the monitor's only memory: what the last tick saw.
    // A query that fails ends the tick where it stands; the next one starts
    // afresh.
    const AnsiString model = WideToAnsi(Mekal1->QueryProperty(QStringLiteral("devicemodel")));
    if (!model.isEmpty()) {
        Label24->SetCaption(AnsiToWide(WideToAnsi(QStringLiteral("Cihaz modeli: ")) + model));
        Label25->SetCaption(Through8Bit(QStringLiteral("Seri no: ") +
                                        Mekal1->QueryProperty(QStringLiteral("serial"))));
    } else {
        Label24->SetCaption(QString());
        Label25->SetCaption(QString());
    }
    if (Label9->Caption() == kConnected && model.isEmpty()) ResetCallList();
    if (!model.isEmpty()) {
        Label9->SetCaption(kConnected);
    } else {
        Label9->SetCaption(kWaiting);
        Label24->SetCaption(QString());
        Label25->SetCaption(QString());
    }
}

void TForm1::Timer2Timer(QObject*) {
    Timer2->SetEnabled(false);
    Application->BringToFront();
}

void TForm1::ki1Click(QObject*) {
    Close();
}

void TForm1::Listeyisil1Click(QObject*) {
    ResetCallList();
}

void TForm1::Mekal1CallerID(QObject*, const WideString& DeviceID, const WideString& Line,
                            const WideString& PhoneNumber, const WideString& DateTime,
                            const WideString&) {
    // The number passes through the code page once: what it cannot hold is
    // lost alike in the cell and in the balloon.
    const AnsiString number = WideToAnsi(PhoneNumber);
    if (GridView1->GetRowCount() > MaxCallRows - 1) GridView1->DeleteRow(0);
    // Appending asks for the row's repaint; the message loop paints it with
    // the values written below.
    GridView1->AddRows(1);
    const int row = GridView1->GetRowCount() - 1;
    // An overflow stops the call here: the row stays, empty.
    FCallCount = CheckedAdd(FCallCount, 1);
    const QString count = IntToStr(FCallCount);
    Label5->SetCaption(count);
    {
        const TUpdateLock lock(GridView1);
        GridView1->Cell(colLine, row)->SetAsWideString(Line);
        GridView1->Cell(colPhone, row)->SetAsWideString(AnsiToWide(number));
        GridView1->Cell(colDateTime, row)->SetAsWideString(DateTime);
        GridView1->Cell(colDeviceID, row)->SetAsWideString(DeviceID);
        GridView1->Cell(colCallNumber, row)->SetAsWideString(count);
    }
    Beep(1000, 100);
    TrayIcon1->ShowBalloonHint(WideToAnsi(QStringLiteral("Çağrı: ") + count), number, bikInfo, 10);
}

void TForm1::ResetCallList() {
    GridView1->Clear();
    Memo2->SetText(tempMemo->Text());
    FCallCount = 0;
    Label5->SetCaption(QStringLiteral("0"));
}

void TForm1::Mekal1SignalA(QObject*, const WideString& Level1, const WideString& Level2,
                           const WideString& Level3, const WideString& Level4, const WideString&,
                           const WideString&, const WideString&, const WideString&) {
    // Every level is parsed before anything is shown, so a bad report leaves
    // the panel as the last good one drew it.
    const std::array<int, 4> levels{
        StrToInt(Through8Bit(Level1)),
        StrToInt(Through8Bit(Level2)),
        StrToInt(Through8Bit(Level3)),
        StrToInt(Through8Bit(Level4)),
    };
    const std::array<TProgressBar*, 4> bars{ProgressBar1, ProgressBar2, ProgressBar3, ProgressBar4};
    const std::array<TLabel*, 4> labels{Label1, Label2, Label3, Label4};
    for (std::size_t i = 0; i < 4; ++i)
        bars[i]->SetPosition(levels[i]);
    for (std::size_t i = 0; i < 4; ++i)
        labels[i]->SetCaption(IntToStr(levels[i]));
}

void TForm1::ApplicationEvents1Exception(QObject*, const Exception& E) {
    QString line = Through8Bit(E.Message() + QLatin1Char(':') + TimeToStr(Now()));
    // One failure is one line: a message that quotes a device's text may
    // carry line breaks, which would push the other line out of the panel
    // and split the error in two.
    for (QChar& c : line)
        if (c == u'\r' || c == u'\n') c = u'?';
    // Whoever started the tool sees the failures too (a bad device choice,
    // a refused script), also once the panel has dropped them.
    WriteStdErrLines(line);
    Memo2->AddLine(line);
}

void TForm1::Memo2Change(QObject*) {
    // Deleting a line changes the text again and so comes back here, until
    // only the two newest lines are left.
    if (Memo2->LineCount() > 2) Memo2->DeleteLine(0);
}

void TForm1::BalantKlavuzu1Click(QObject*) {
    Form2->Show();
    Form2->BringToFront();
}

void TForm1::Ayar1Click(QObject*) {
    Form3->Show();
    Form3->BringToFront();
}

void TForm1::Yardm1Click(QObject*) {
    HelpForm->Show();
    HelpForm->BringToFront();
}
