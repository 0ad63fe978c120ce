// The call list and the connection monitor of the main window, driven
// through the real windows: the scripted device is stepped one event at a
// time and the monitor ticks when the test says so. Balloons land in a
// recording notification area.

#include "AppFixture.h"
#include "ColumnClasses.h"
#include "ShellApi.h"
#include "StandInDevices.h"
#include "Streaming.h"
#include "ThemesSupport.h"
#include "UnitSupport.h"

#include <QImage>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <climits>
#include <set>

namespace {

const QString kStart1 =
    QStringLiteral("Cihaz ile ilgili başka program çalışıyorsa lütfen sonlandırınız.");
const QString kStart2 = QStringLiteral("Aynı anda, 1 uygulama cihazla bağlantı kurabilir.");
const QString kReset2 = QStringLiteral("Aynı anda, 1 uygulama cihaza  bağlantı sağlayabilir.");
const QString kWaiting = QStringLiteral("Bağlantı bekleniyor");
const QString kConnected = QStringLiteral("Cihaz bağlı");

bool IsErrorLine(const QString& line, const QString& message) {
    return QRegularExpression(QStringLiteral("^") + QRegularExpression::escape(message) +
                              QStringLiteral(":\\d\\d:\\d\\d:\\d\\d$"))
        .match(line)
        .hasMatch();
}

class CallList : public ToolWindows {
protected:
    TRecordingShell FShell;
    TShellScope FScope{&FShell};

    static int Rows() { return Form1->GridView1->GetRowCount(); }
    static QString Text(int col, int row) { return Form1->GridView1->GetCellText(col, row); }
    static QStringList RowTexts(int row) {
        QStringList texts;
        for (int c = 0; c < 5; ++c)
            texts << Text(c, row);
        return texts;
    }
    // The balloons asked of the shell, oldest first. Each is the second of
    // two requests with the info flag: the first takes down the balloon
    // that may still be shown.
    std::vector<TNotifyIconDataA> Balloons() const {
        std::vector<TNotifyIconDataA> balloons;
        int info = 0;
        for (const TNotifyIconDataA& d : FShell.RequestsOf(NIM_MODIFY))
            if ((d.uFlags & NIF_INFO) && ++info % 2 == 0) balloons.push_back(d);
        return balloons;
    }
    // The columns back at their stored widths, as the layout gave them.
    static void StoredWidths() {
        TColumns* columns = Form1->GridView1->Columns();
        for (int i = 0; i < columns->Count(); ++i)
            columns->Items(i)->SetWidth(columns->Items(i)->DefaultWidth());
    }
    static QString Title(const TNotifyIconDataA& d) { return AnsiToWide(d.szInfoTitle); }
    static QString Info(const TNotifyIconDataA& d) { return AnsiToWide(d.szInfo); }
};

QByteArray Call(int line, const QByteArray& number) {
    return "call 40211837 " + QByteArray::number(line) + " " + number +
           " \"09.12.2026 14:03:27\" \"other\"";
}

// ---- the grid as the layout makes it

// The property names a layout entry carries, per entry, in document order.
std::vector<std::set<QString>> EntryProperties(const QByteArray& xml, const QString& gridName) {
    std::vector<std::set<QString>> entries;
    QXmlStreamReader reader(xml);
    int depth = 0;
    int gridDepth = -1;
    std::vector<int> open;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement() && reader.name() == u"object") {
            ++depth;
            if (reader.attributes().value("name") == gridName) gridDepth = depth;
            if (gridDepth > 0 && (depth == gridDepth || depth == gridDepth + 1)) {
                entries.emplace_back();
                open.push_back(depth);
            }
        } else if (reader.isEndElement() && reader.name() == u"object") {
            if (depth == gridDepth) gridDepth = -1;
            --depth;
        } else if (reader.isStartElement() && reader.name() == u"property" && gridDepth > 0 &&
                   (depth == gridDepth || depth == gridDepth + 1)) {
            entries.back().insert(reader.attributes().value("name").toString());
        }
    }
    return entries;
}

TEST_F(CallList, TheGridIsReadWithEverySettingOfTheCallList) {
    Start();
    TGridView* grid = Form1->GridView1;
    EXPECT_EQ(grid->ParentControl(), Form1->GroupBox4);
    EXPECT_EQ(grid->Height(), 170);
    EXPECT_EQ(grid->GridStyle(), gsReport);
    EXPECT_EQ(grid->GridLinesStyle(), lsNormal);
    EXPECT_EQ(grid->HeaderSize(), 20);
    EXPECT_EQ(grid->HeaderStyle(), hsAuto);
    EXPECT_EQ(grid->RowSize(), 20);
    EXPECT_EQ(grid->InputSize(), 12);
    EXPECT_EQ(grid->SlideSize(), 60);
    EXPECT_TRUE(grid->HideScrollBar());
    EXPECT_EQ(grid->SelectionMoveDirection(), mdNone);
    EXPECT_EQ(grid->Options(), TGridOptions(goDissableColumnMoving) | goGrid | goHeader);
    EXPECT_EQ(grid->BorderStyle(), TWinControl::bsSingle);
    EXPECT_EQ(grid->Font()->Name(), "Arial");
    EXPECT_EQ(grid->Font()->Height(), -11);
    EXPECT_TRUE(grid->ShowHint());
    EXPECT_FALSE(grid->WantReturns());
    EXPECT_TRUE(grid->TabStop());
    EXPECT_EQ(Rows(), 0);

    struct Expected {
        const char* Caption;
        int Position, Width;
        TSortKind SortKind;
    };
    const Expected expected[] = {{"Saat", 2, 148, skAscending},
                                 {"Cihaz seri no.", 3, 131, skAscending},
                                 {"Çağrı sıra no", 4, 90, skAscending},
                                 {"Hat no.", 0, 73, skDescending},
                                 {"Arayan numara", 1, 100, skAscending}};
    TColumns* columns = grid->Columns();
    ASSERT_EQ(columns->Count(), 5);
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        TCustomColumn* c = columns->Items(i);
        ASSERT_NE(qobject_cast<TTextualColumn*>(c), nullptr);
        EXPECT_EQ(c->Header()->Caption(), expected[i].Caption);
        EXPECT_EQ(c->Position(), expected[i].Position);
        EXPECT_EQ(c->DefaultWidth(), expected[i].Width);
        EXPECT_EQ(c->SortKind(), expected[i].SortKind);
        EXPECT_EQ(c->Alignment(), taCenter);
        EXPECT_EQ(c->VerticalAlignment(), vaMiddle);
        EXPECT_EQ(c->WrapKind(), wkEllipsis);
        EXPECT_EQ(c->DrawingOptions(), doNormal);
        EXPECT_EQ(c->Options(),
                  TColumnOptions(coAutoSize) | coCanInput | coDontHighlight | coPublicUsing);
        EXPECT_FALSE(c->Sorted());
        EXPECT_EQ(c->SortType(), stAlphabetic);
        EXPECT_EQ(c->FormulaKind(), fkNone);
        EXPECT_EQ(c->Footer()->FormulaKind(), fkNone);
        EXPECT_EQ(c->Header()->DisplayMode(), dmTextOnly);
        EXPECT_EQ(c->Header()->Color(), clBtnFace);
        EXPECT_EQ(c->Color(), clWindow);
        EXPECT_EQ(c->Font()->Name(), "MS Sans Serif");
        EXPECT_EQ(c->Font()->Height(), -11);
        EXPECT_TRUE(c->Visible());
        EXPECT_TRUE(qobject_cast<TTextualColumn*>(c)->AutoExecute());
        EXPECT_EQ(c->SlideBounds()->Left() | c->SlideBounds()->Top() | c->SlideBounds()->Width() |
                      c->SlideBounds()->Height(),
                  0);
    }
    QStringList shown;
    for (int p = 0; p < 5; ++p)
        shown << columns->DisplayItems(p)->Header()->Caption();
    EXPECT_EQ(shown,
              QStringList({"Hat no.", "Arayan numara", "Saat", "Cihaz seri no.", "Çağrı sıra no"}));

    // The columns fill the grid's client width whole, in the stored
    // widths' proportions.
    int sum = 0;
    for (int i = 0; i < 5; ++i)
        sum += columns->Items(i)->Width();
    EXPECT_EQ(sum, grid->ClientRect().Width());

    // The stored entry carries every property the writer knows of the grid
    // and of each column: nothing is left to a default.
    QFile stored(QStringLiteral(":/layouts/Unit1.xml"));
    ASSERT_TRUE(stored.open(QIODevice::ReadOnly));
    const auto inFile = EntryProperties(stored.readAll(), "GridView1");
    const auto written = EntryProperties(WriteComponent(Form1), "GridView1");
    ASSERT_EQ(inFile.size(), 6u);
    ASSERT_EQ(written.size(), 6u);
    for (std::size_t e = 0; e < 6; ++e) {
        std::vector<QString> missing;
        std::set_difference(written[e].begin(), written[e].end(), inFile[e].begin(),
                            inFile[e].end(), std::back_inserter(missing));
        EXPECT_TRUE(missing.empty()) << "entry " << e << " lacks " << missing.front().toStdString();
    }
}

TEST_F(CallList, AtA549PixelClientTheColumnsTakeTheirShareInIndexOrder) {
    Start();
    TColumns* columns = Form1->GridView1->Columns();
    // At the design size the client is 549 wide.
    ASSERT_EQ(Form1->GridView1->ClientRect().Width(), 549);
    std::vector<int> widths;
    for (int i = 0; i < 5; ++i)
        widths.push_back(columns->Items(i)->Width());
    EXPECT_EQ(widths, (std::vector<int>{150, 133, 91, 74, 101}));
    // Back and forth: the columns always fill the client, whatever its width.
    for (int w : {700, 400, 557}) {
        Form1->SetClientWidth(w);
        int sum = 0;
        for (int i = 0; i < 5; ++i)
            sum += columns->Items(i)->Width();
        EXPECT_EQ(sum, Form1->GridView1->ClientRect().Width()) << w;
    }
}

// ---- calls

TEST_F(CallList, TheFirstCallIsOneRowCountedAndAnnounced) {
    StartStepped(Call(2, "05321234567"));
    Play();
    ASSERT_EQ(Rows(), 1);
    EXPECT_EQ(RowTexts(0),
              QStringList({"09.12.2026 14:03:27", "40211837", "1", "2", "05321234567"}));
    EXPECT_EQ(Form1->CallCount(), 1);
    EXPECT_EQ(Form1->Label5->Caption(), "1");
    const auto balloons = Balloons();
    ASSERT_EQ(balloons.size(), 1u);
    EXPECT_EQ(Title(balloons[0]), "Çağrı: 1");
    EXPECT_EQ(Info(balloons[0]), "05321234567");
    EXPECT_EQ(balloons[0].dwInfoFlags, NIIF_INFO);
    EXPECT_EQ(balloons[0].uTimeout, 10000u);
    // The other text is shown nowhere, and nothing went wrong.
    EXPECT_EQ(Form1->Memo2->Lines(), QStringList({kStart1, kStart2}));
    EXPECT_FALSE(Form1->GridView1->UpdateLock());
}

TEST_F(CallList, TheListKeepsTheNewestSixCallsTheNewestAtTheBottom) {
    QByteArray script;
    for (int i = 1; i <= 13; ++i)
        script += Call(1 + i % 4, "0532000" + QByteArray::number(1000 + i)) + '\n';
    StartStepped(script);
    for (int i = 1; i <= 13; ++i) {
        Play();
        SCOPED_TRACE(i);
        ASSERT_EQ(Rows(), std::min(i, 6));
        // The counter's cell, Label5 and the balloon's title agree on every
        // call.
        const QString n = QString::number(i);
        EXPECT_EQ(Text(Form1->colCallNumber, Rows() - 1), n);
        EXPECT_EQ(Form1->Label5->Caption(), n);
        EXPECT_EQ(Title(Balloons().back()), "Çağrı: " + n);
        EXPECT_EQ(Text(Form1->colPhone, Rows() - 1), "0532000" + QString::number(1000 + i));
        if (i == 7) {
            // The calls numbered 2 to 7, the oldest on top.
            for (int r = 0; r < 6; ++r)
                EXPECT_EQ(Text(Form1->colCallNumber, r), QString::number(r + 2));
            EXPECT_EQ(Text(Form1->colLine, 0), "3");
        }
    }
    EXPECT_EQ(Balloons().size(), 13u);

    // Six rows fit whole in the data area at the design size: no vertical
    // scroll bar, and the last row's bottom grid line inside the data area.
    TGridView* grid = Form1->GridView1;
    QApplication::processEvents();
    EXPECT_FALSE(grid->VertScrollBar()->Visible());
    EXPECT_GE(grid->VisibleRowCount(), 6);
    EXPECT_LE(grid->GetRowRect(5).Bottom, grid->GetDataRect().Bottom);
    EXPECT_EQ(grid->TopRow(), 0);
}

TEST_F(CallList, ListeyiSilEmptiesTheListAndTheCountStartsAgain) {
    StartStepped(Call(1, "111") + '\n' + Call(2, "222") + '\n' + Call(3, "333") + '\n' +
                 Call(4, "444"));
    Play(3);
    ASSERT_EQ(Rows(), 3);
    Form1->Memo2->AddLine("hata:12:00:00");
    Form1->Listeyisil1->Click();
    EXPECT_EQ(Rows(), 0);
    EXPECT_EQ(Form1->Label5->Caption(), "0");
    EXPECT_EQ(Form1->Memo2->Lines(), QStringList({kStart1, kReset2}));
    Play();
    ASSERT_EQ(Rows(), 1);
    EXPECT_EQ(RowTexts(0), QStringList({"09.12.2026 14:03:27", "40211837", "1", "4", "444"}));
    EXPECT_TRUE(Title(Balloons().back()).endsWith(": 1"));
}

TEST_F(CallList, TheNumberIsStoredAsTheCodePageHoldsIt) {
    StartStepped(Call(1, "\"\"") + '\n' +                       // a caller who hides the number
                 Call(2, "\"0532 ÇĞİ中文€\"") + '\n' +          // outside code page 1254
                 "call \"\" \"\" \"  +90 532  \" \"\" \"\"\n"); // blanks and empty texts
    Play();
    ASSERT_EQ(Rows(), 1);
    EXPECT_EQ(Text(Form1->colPhone, 0), "");
    EXPECT_EQ(Info(Balloons().back()), "");
    EXPECT_EQ(Title(Balloons().back()), "Çağrı: 1");

    Play();
    // The Turkish letters and the euro sign are in the code page, the
    // Chinese ones are not.
    EXPECT_EQ(Text(Form1->colPhone, 1), "0532 ÇĞİ??€");
    EXPECT_EQ(Info(Balloons().back()), "0532 ÇĞİ??€");

    Play();
    // Stored as sent: no trimming, no check.
    EXPECT_EQ(RowTexts(2), QStringList({"", "", "3", "", "  +90 532  "}));
    EXPECT_EQ(Form1->Memo2->Lines(), QStringList({kStart1, kStart2}));
}

TEST_F(CallList, ACounterOverflowStopsTheCallAfterItsRowWasAppended) {
    StartStepped(Call(1, "111") + '\n' + Call(2, "222"));
    Form1->SetCallCount(INT_MAX - 1);
    Play();
    EXPECT_EQ(Text(Form1->colCallNumber, 0), "2147483647");
    EXPECT_EQ(Title(Balloons().back()), "Çağrı: 2147483647");
    const std::size_t balloons = Balloons().size();

    Play();
    // The row stands, empty; the counter and Label5 keep their value; no
    // beep or balloon; one line in the panel.
    ASSERT_EQ(Rows(), 2);
    EXPECT_EQ(RowTexts(1), QStringList({"", "", "", "", ""}));
    EXPECT_EQ(Form1->CallCount(), INT_MAX);
    EXPECT_EQ(Form1->Label5->Caption(), "2147483647");
    EXPECT_EQ(Balloons().size(), balloons);
    EXPECT_EQ(Form1->Memo2->LineCount(), 2);
    EXPECT_TRUE(IsErrorLine(Form1->Memo2->Line(1), "Integer overflow"))
        << Form1->Memo2->Line(1).toStdString();
    // The grid was never locked, so it goes on repainting its cells.
    EXPECT_FALSE(Form1->GridView1->UpdateLock());
}

TEST_F(CallList, ACellWriteThatFailsLeavesTheGridUnlocked) {
    // A layout of the window whose grid lost its last two columns: the
    // number's cell (column 4) is not there.
    EnsureResources();
    QFile stored(QStringLiteral(":/layouts/Unit1.xml"));
    ASSERT_TRUE(stored.open(QIODevice::ReadOnly));
    QString xml = QString::fromUtf8(stored.readAll());
    for (int i = 0; i < 2; ++i) {
        const qsizetype last = xml.lastIndexOf(QStringLiteral("<object class=\"TTextualColumn\">"));
        const qsizetype end = xml.indexOf(QStringLiteral("</object>"), last) + 9;
        xml.remove(last, end - last);
    }
    Start();
    const QString path = FDir.filePath("Unit1.xml");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(xml.toUtf8());
    file.close();
    TForm1 form(nullptr, path);
    ASSERT_EQ(form.GridView1->Columns()->Count(), 3);

    const bool done = Guarded(form.Mekal1, [&] {
        form.Mekal1CallerID(form.Mekal1, "40211837", "2", "0532", "09.12.2026 14:03:27", "");
    });
    EXPECT_FALSE(done);
    // The steps before the failed write stay done.
    EXPECT_EQ(form.GridView1->GetRowCount(), 1);
    EXPECT_EQ(form.Label5->Caption(), "1");
    EXPECT_EQ(form.GridView1->GetCellText(2, 0), "");
    EXPECT_FALSE(form.GridView1->UpdateLock());
    EXPECT_TRUE(IsErrorLine(form.Memo2->Line(1), "List index out of bounds (3)"))
        << form.Memo2->Line(1).toStdString();
}

TEST_F(CallList, NothingOnTheListClicksSortsMovesOrTakesTyping) {
    StartStepped(Call(4, "444") + '\n' + Call(1, "111") + '\n' + Call(3, "333"));
    Play(3);
    TGridView* grid = Form1->GridView1;
    const auto state = [] {
        QStringList s;
        for (int r = 0; r < Rows(); ++r)
            s << RowTexts(r).join(u'|');
        for (int p = 0; p < 5; ++p)
            s << Form1->GridView1->Columns()->DisplayItems(p)->Header()->Caption();
        return s;
    };
    const QStringList before = state();
    QWidget* surface = grid;
    const int frame = (grid->Width() - grid->ClientRect().Width()) / 2;
    const QPoint header(frame + 30, frame + grid->HeaderSize() / 2);
    const TRect row1 = grid->GetRowRect(1);
    const QPoint cell(frame + 30, frame + (row1.Top + row1.Bottom) / 2);

    // Header clicks (a sort would put line 1 first or last), a header dragged
    // across the list, a double click and typing on a cell.
    QTest::mouseClick(surface, Qt::LeftButton, {}, header);
    QTest::mouseClick(surface, Qt::LeftButton, {}, header);
    QTest::mousePress(surface, Qt::LeftButton, {}, header);
    for (int x = 40; x <= 400; x += 40)
        QTest::mouseMove(surface, QPoint(frame + x, header.y()));
    QTest::mouseRelease(surface, Qt::LeftButton, {}, QPoint(frame + 400, header.y()));
    QTest::mouseDClick(surface, Qt::LeftButton, {}, cell);
    for (int key : {Qt::Key_F2, Qt::Key_5, Qt::Key_Return, Qt::Key_Delete, Qt::Key_Up})
        QTest::keyClick(surface, Qt::Key(key));
    QTest::keyClicks(surface, QStringLiteral("99"));
    QTest::keyClick(surface, Qt::Key_Return);

    EXPECT_EQ(state(), before);
    TColumns* columns = grid->Columns();
    for (int i = 0; i < 5; ++i) {
        EXPECT_FALSE(columns->Items(i)->Sorted()) << i;
        EXPECT_EQ(columns->Items(i)->InputValue(), "") << i;
    }
    EXPECT_TRUE(grid->Editor() == nullptr || !grid->Editor()->isVisible());
    EXPECT_EQ(Form1->Memo2->Lines(), QStringList({kStart1, kStart2}));
}

// ---- the connection monitor

TEST_F(CallList, WithoutADeviceTheMonitorWaitsAndLeavesTheListAlone) {
    StartStepped(Call(1, "111"));
    EXPECT_EQ(Form1->Label9->Caption(), "--");
    Play();
    Tick();
    EXPECT_EQ(Form1->Label9->Caption(), kWaiting);
    EXPECT_EQ(Form1->Label24->Caption(), "");
    EXPECT_EQ(Form1->Label25->Caption(), "");
    EXPECT_EQ(Rows(), 1);
    EXPECT_EQ(Form1->Label5->Caption(), "1");
    // Waiting and still no device: no reset.
    Form1->Memo2->AddLine("hata:12:00:00");
    Tick();
    EXPECT_EQ(Rows(), 1);
    EXPECT_EQ(Form1->Memo2->Line(1), "hata:12:00:00");
}

TEST_F(CallList, ADeviceFromTheStartIsShownConnected) {
    StartStepped("plug \"CID-4 USB\" 40211837\nplug \"CID-8 USB\" 50000001");
    Play();
    Tick();
    EXPECT_EQ(Form1->Label9->Caption(), kConnected);
    EXPECT_EQ(Form1->Label24->Caption(), "Cihaz modeli: CID-4 USB");
    EXPECT_EQ(Form1->Label25->Caption(), "Seri no: 40211837");
    // Connected and still connected: the labels follow the device.
    Play();
    Tick();
    EXPECT_EQ(Form1->Label9->Caption(), kConnected);
    EXPECT_EQ(Form1->Label24->Caption(), "Cihaz modeli: CID-8 USB");
    EXPECT_EQ(Form1->Label25->Caption(), "Seri no: 50000001");
    EXPECT_EQ(Form1->Memo2->Lines(), QStringList({kStart1, kStart2}));
}

TEST_F(CallList, ADeviceRemovedAfterThreeCallsTakesTheListWithIt) {
    StartStepped("plug \"CID-4 USB\" 40211837\n" + Call(1, "111") + '\n' + Call(2, "222") + '\n' +
                 Call(3, "333") + "\nunplug\nplug \"CID-4 USB\" 40211837\n" + Call(4, "444"));
    Play();
    Tick();
    Play(3);
    Tick();
    ASSERT_EQ(Rows(), 3);
    Play(); // unplugged
    ASSERT_EQ(Rows(), 3);
    Tick();
    EXPECT_EQ(Rows(), 0);
    EXPECT_EQ(Form1->CallCount(), 0);
    EXPECT_EQ(Form1->Label5->Caption(), "0");
    EXPECT_EQ(Form1->Memo2->Lines(), QStringList({kStart1, kReset2}));
    EXPECT_EQ(Form1->Label9->Caption(), kWaiting);
    EXPECT_EQ(Form1->Label24->Caption(), "");
    EXPECT_EQ(Form1->Label25->Caption(), "");

    // Plugged in again, the next call is the first.
    Play();
    Tick();
    EXPECT_EQ(Form1->Label9->Caption(), kConnected);
    Play();
    ASSERT_EQ(Rows(), 1);
    EXPECT_EQ(Text(Form1->colCallNumber, 0), "1");
    EXPECT_EQ(Title(Balloons().back()), "Çağrı: 1");
}

TEST_F(CallList, ADeviceLostBetweenTwoTicksIsMissedWhenItIsBackByTheNextOne) {
    // Only what a tick sees counts: a device gone and back between two
    // ticks was never lost.
    StartStepped("plug \"CID-4 USB\" 40211837\n" + Call(1, "111") +
                 "\nunplug\nplug \"CID-4 USB\" 40211837\n" + Call(2, "222"));
    Play();
    Tick();
    Play(3);
    Tick();
    Play();
    EXPECT_EQ(Rows(), 2);
    EXPECT_EQ(Text(Form1->colCallNumber, 1), "2");
}

TEST_F(CallList, AModelWithAnEmptySerialCountsAsConnected) {
    StartStepped("plug CID-4 \"\"\n" + Call(1, "111") + "\nunplug");
    Play(2);
    Tick();
    EXPECT_EQ(Form1->Label9->Caption(), kConnected);
    EXPECT_EQ(Form1->Label24->Caption(), "Cihaz modeli: CID-4");
    EXPECT_EQ(Form1->Label25->Caption(), "Seri no: ");
    // ... and so its removal is a loss.
    Play();
    Tick();
    EXPECT_EQ(Rows(), 0);
    EXPECT_EQ(Form1->Memo2->Lines(), QStringList({kStart1, kReset2}));
}

TEST_F(CallList, ALongModelOrOneOutsideTheCodePageIsShownAsTheCodePageHoldsIt) {
    const QByteArray longModel(10000, 'M');
    StartStepped("plug \"" + longModel + "\" 40211837\nplug \"CID-4 中\" \"S€-中\"\n" +
                 Call(1, "111"));
    Play();
    Tick();
    EXPECT_EQ(Form1->Label24->Caption(), "Cihaz modeli: " + QString::fromLatin1(longModel));
    EXPECT_EQ(Form1->Label9->Caption(), kConnected);
    // The window keeps its size and the list its columns.
    EXPECT_LT(Form1->Width(), 2000);
    Play();
    Tick();
    EXPECT_EQ(Form1->Label24->Caption(), "Cihaz modeli: CID-4 ?");
    EXPECT_EQ(Form1->Label25->Caption(), "Seri no: S€-?");
    Play();
    EXPECT_EQ(Rows(), 1);
    EXPECT_EQ(Form1->Memo2->Lines(), QStringList({kStart1, kStart2}));
}

// A device control whose every query fails, as a control that lost its
// device driver does.
class TFailingMekal final : public TOleObject, public IMekal, public IEventSource {
public:
    void* QueryInterface(const QUuid& iid) override {
        if (iid == IID_IMekal) return static_cast<IMekal*>(this);
        if (iid == IID_IEventSource) return static_cast<IEventSource*>(this);
        return nullptr;
    }
    void Start() override {}
    WideString QueryProperty(const WideString& name) override {
        ++Queries;
        if (name == u"serial" || FailModel) throw EOleError(QStringLiteral("Aygıt yanıt vermiyor"));
        return QStringLiteral("CID-4 USB");
    }
    void SetBoolProperty(int, bool) override {}
    void Advise(const QUuid&, IEventSink*) override {}
    inline static bool FailModel = false;
    inline static int Queries = 0;
};

TEST_F(CallList, AFailingQueryEndsTheTickAndLeavesOneLine) {
    Start();
    RegisterStandInClass(CLASS_Mekal, [] { return std::make_unique<TFailingMekal>(); });
    TForm1 form(nullptr);
    RegisterDeviceClasses();
    form.Label24->SetCaption("--");
    form.Label25->SetCaption("--");
    TFailingMekal::Queries = 0;
    TFailingMekal::FailModel = false;
    EXPECT_FALSE(Guarded(form.Timer1, [&] { form.Timer1->Timer(); }));
    // The model was shown, the serial failed: the tick stopped there.
    EXPECT_EQ(TFailingMekal::Queries, 2);
    EXPECT_EQ(form.Label24->Caption(), "Cihaz modeli: CID-4 USB");
    EXPECT_EQ(form.Label25->Caption(), "--");
    EXPECT_EQ(form.Label9->Caption(), "--");
    EXPECT_TRUE(IsErrorLine(form.Memo2->Line(1), "Aygıt yanıt vermiyor"));

    // The next tick starts afresh.
    TFailingMekal::FailModel = true;
    EXPECT_FALSE(Guarded(form.Timer1, [&] { form.Timer1->Timer(); }));
    EXPECT_EQ(TFailingMekal::Queries, 3);
    EXPECT_EQ(form.Memo2->LineCount(), 2);
    EXPECT_TRUE(IsErrorLine(form.Memo2->Line(0), "Aygıt yanıt vermiyor"));
}

// ---- on screen

// The x of every pixel column of the image, in rows y0..y1, whose pixels
// all have the colour.
std::vector<int> FullColumnsOf(const QImage& image, int y0, int y1, QRgb colour) {
    std::vector<int> xs;
    for (int x = 0; x < image.width(); ++x) {
        bool all = true;
        for (int y = y0; y <= y1 && all; ++y)
            all = image.pixel(x, y) == colour;
        if (all) xs.push_back(x);
    }
    return xs;
}

// The leftmost and rightmost x in [x0, x1) of a pixel darker than mid-grey
// in rows y0..y1; (-1, -1) for none.
std::pair<int, int> InkSpan(const QImage& image, int x0, int x1, int y0, int y1) {
    int left = -1;
    int right = -1;
    for (int x = x0; x < x1; ++x)
        for (int y = y0; y <= y1; ++y)
            if (qGray(image.pixel(x, y)) < 100) {
                if (left < 0) left = x;
                right = x;
            }
    return {left, right};
}

TEST_F(CallList, OnScreenTheColumnsStandInOrderWithTheirWidthsAndAlignment) {
    StartStepped(Call(1, "05321234567") + '\n' + Call(2, "02125551234"));
    ASSERT_EQ(Form1->GridView1->ClientRect().Width(), 549);
    Play(2);
    TGridView* grid = Form1->GridView1;
    const QImage image = grid->grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(image.width(), grid->Width());

    // The vertical grid lines of the data rows, in the grid lines' colour:
    // pixel columns of one colour from the first row's top to the second
    // row's bottom that are not the cells' white.
    const TRect row0 = grid->GetRowRect(0);
    const int frame = (grid->Width() - grid->ClientRect().Width()) / 2;
    const int y0 = frame + row0.Top;
    const int y1 = frame + grid->GetRowRect(1).Bottom - 2;
    const QRgb lineColour = image.pixel(frame + 73, y0); // inside the first column's right edge
    std::vector<int> lines;
    for (int x : FullColumnsOf(image, y0, y1, lineColour))
        if (x >= frame && x < frame + 549) lines.push_back(x - frame);
    ASSERT_NE(lineColour, qRgb(255, 255, 255));
    ASSERT_EQ(lines.size(), 5u) << ::testing::PrintToString(lines);
    std::vector<int> widths{lines[0] + 1};
    for (std::size_t i = 1; i < lines.size(); ++i)
        widths.push_back(lines[i] - lines[i - 1]);
    EXPECT_EQ(widths, (std::vector<int>{74, 101, 150, 133, 91}));

    // The header captions begin at the same small distance from their
    // column's left edge, whatever its width (12 pixels with the theme's
    // header, 3 without); the cells' texts are centred in their columns.
    const int captionGap = ThemesActive() ? 12 : 3;
    const int headerY0 = frame + 3;
    const int headerY1 = frame + grid->HeaderSize() - 4;
    const int rowY0 = frame + row0.Top + 3;
    const int rowY1 = frame + row0.Bottom - 4;
    int left = 0;
    for (std::size_t p = 0; p < 5; ++p) {
        SCOPED_TRACE(p);
        const int right = lines[p];
        const auto [hl, hr] = InkSpan(image, frame + left, frame + right, headerY0, headerY1);
        ASSERT_GE(hl, 0);
        EXPECT_GE(hl - frame - left, captionGap);
        EXPECT_LE(hl - frame - left, captionGap + 2);
        EXPECT_LT(hr, frame + right);
        const auto [cl, cr] = InkSpan(image, frame + left, frame + right, rowY0, rowY1);
        ASSERT_GE(cl, 0);
        const int gapLeft = cl - frame - left;
        const int gapRight = frame + right - 1 - cr;
        EXPECT_LE(std::abs(gapLeft - gapRight), 2) << gapLeft << " " << gapRight;
        left = right + 1;
    }
}

} // namespace
