// The grid suite at work in one window: a TGridView with a column of every
// type, fifty rows of sample orders, the indicator, the input row, footer
// totals, sorting by a header click and editing in place. For trying the
// grid by hand, and for a picture of it:
//   grid_demo                            the window, until it is closed
//   grid_demo --screenshot <picture.png> shows it, saves a picture, ends
//   grid_demo --quit-after-show          shows it and ends (a smoke run)
// The picture is taken on Qt's offscreen platform unless QT_QPA_PLATFORM
// names another one.

#include "Application.h"
#include "Canvas.h"
#include "ColumnClasses.h"
#include "ComCtrls.h"
#include "Forms.h"
#include "Framework.h"
#include "Grid.h"
#include "GridView.h"
#include "ImgList.h"
#include "SharedClasses.h"
#include "StarGlyph.h"
#include "StdCtrls.h"
#include "Strings.h"
#include "SysUtils.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QStringList>
#include <QStyle>
#include <QStyleFactory>
#include <array>
#include <cstdio>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

namespace {

constexpr int kRows = 50;

// The columns by their index in storage order.
enum : int {
    kNumber,
    kCustomer,
    kCity,
    kOrdered,
    kAmount,
    kBalance,
    kPaid,
    kDelivered,
    kRating,
    kLine,
    kStatus,
    kPicture,
    kColumns
};

const char16_t* const kFirstNames[] = {u"Ayşe",  u"Mehmet", u"Zeynep", u"Emre",  u"Elif",
                                       u"Burak", u"Selin",  u"Can",    u"Deniz", u"Gül",
                                       u"Oğuz",  u"İpek",   u"Şule",   u"Çağrı"};
const char16_t* const kLastNames[] = {u"Yılmaz", u"Öztürk", u"Çelik",  u"Şahin", u"Doğan",
                                      u"Kaya",   u"Aydın",  u"Arslan", u"Koç",   u"Erdem"};
const char16_t* const kCities[] = {u"İstanbul", u"Ankara",    u"İzmir", u"Bursa",
                                   u"Antalya",  u"Eskişehir", u"Muğla", u"Çanakkale"};
const char* const kStates[] = {
    "<b>new</b>",
    "<font color=#1060C0>packed</font>",
    "<i>on the road</i>",
    "<font color=#208030><b>delivered</b></font>",
    "<font color=#C00000><u>returned</u></font>",
};

QString Text(const char16_t* text) {
    return QString::fromUtf16(text);
}

// ---- the pictures the columns and cells show

// A round badge with the line's number, one colour per telephone line.
QImage LineBadge(QColor colour, int line) {
    QImage icon(16, 16, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    QPainter p(&icon);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(colour);
    p.setPen(colour.darker(150));
    p.drawEllipse(QRectF(0.5, 0.5, 15, 15));
    p.setPen(Qt::white);
    QFont font = p.font();
    font.setPixelSize(11);
    font.setBold(true);
    p.setFont(font);
    p.drawText(QRect(0, 0, 16, 16), Qt::AlignCenter, QString::number(line));
    return icon;
}

// A small landscape in one of a few moods, for the graphic column's cells.
std::unique_ptr<TBitmap> Landscape(TColor sky, TColor ground, TColor sun) {
    auto picture = std::make_unique<TBitmap>(30, 16, TBitmap::pf24bit);
    TCanvas* c = picture->Canvas();
    TGraphicsProvider::VertGradient(c, Rect(0, 0, 30, 16), sky, RGB(250, 245, 225));
    c->Brush = TBrush{ground, bsSolid};
    c->FillRect(Rect(0, 12, 30, 16));
    c->Brush = TBrush{sun, bsSolid};
    c->Ellipse(21, 2, 28, 9);
    return picture;
}

// ---- the window

class TGridDemo {
public:
    TGridDemo() {
        MakeArt();
        FForm = std::make_unique<TForm>();
        FForm->SetCaption(QStringLiteral("Grid demonstration"));
        FForm->SetClientWidth(1040);
        FForm->SetClientHeight(620);

        auto* help = new TLabel(FForm.get());
        help->SetParentControl(FForm.get());
        help->SetAutoSize(false);
        help->SetWordWrap(true);
        help->SetHeight(34);
        help->SetAlign(TControl::alTop);
        help->SetCaption(QStringLiteral(
            "Header click: sort (again: the other way round). Cell click: edit; Enter stores, "
            "Esc drops. Space or a click toggles a check box. Shift- and Ctrl-click select "
            "rows. Up on the first row: the input row; Down or a click in the data adds it as "
            "a row. Footer: sum of amounts, least balance, average delivery, best rating."));

        FStatus = new TStatusBar(FForm.get());
        FStatus->SetParentControl(FForm.get());
        FStatus->SetSimplePanel(true);

        FGrid = new TGridView(FForm.get());
        FGrid->SetParentControl(FForm.get());
        FGrid->SetAlign(TControl::alClient);
        FGrid->SetOptions(TGridOptions(goHeader) | goGrid | goIndicator | goInput | goFooter |
                          goIndicateSortedColumn | goHighlightTextSelection | goMultiSelect |
                          goSelectFullRow | goUseDefaultValues);
        FGrid->SetRowSize(18);
        FGrid->SetHeaderSize(20);
        MakeColumns();
        Fill();
        Wire();
        FGrid->RecalcFooters();
        Say(QStringLiteral("%1 rows").arg(FGrid->RowCount()));
    }

    // Shows the window, sorted by customer to begin with: the header shows
    // the order and the column its tint. (A column's sort order reaches the
    // grid only once its window exists.)
    void Show() {
        FForm->Show();
        FForm->activateWindow();
        FGrid->setFocus();
        FGrid->Columns()->Items(kCustomer)->SetSorted(true);
        QApplication::processEvents();
    }

    TForm* Form() const { return FForm.get(); }
    // The failures that reached the message loop so far.
    const QStringList& Failures() const { return FFailures; }

private:
    void MakeArt() {
        const std::array<QColor, 4> lines = {QColor(200, 60, 50), QColor(50, 120, 210),
                                             QColor(60, 160, 80), QColor(220, 150, 30)};
        for (int i = 0; i < 4; ++i)
            FLineIcons.Add(LineBadge(lines[static_cast<std::size_t>(i)], i + 1));
        FPictures.push_back(Landscape(RGB(90, 150, 220), RGB(40, 110, 40), RGB(250, 210, 60)));
        FPictures.push_back(Landscape(RGB(230, 120, 60), RGB(120, 80, 40), RGB(255, 240, 120)));
        FPictures.push_back(Landscape(RGB(40, 50, 110), RGB(30, 60, 40), RGB(235, 235, 235)));
    }

    template <class T> T* Add(const QString& caption, int width, TColumnOptions extra = {}) {
        auto* column = new T();
        column->SetWidth(width);
        // A layout always stores the colour; a column made in code starts
        // black.
        column->SetColor(clWindow);
        column->Header()->SetCaption(caption);
        column->SetOptions(TColumnOptions(coCanClick) | coCanSort | coCanInput |
                           coEditorAutoSelect | coShowTextFitHint | extra);
        FGrid->Columns()->Add(column);
        return column;
    }

    void MakeColumns() {
        auto* number = Add<TIncrementColumn>(QStringLiteral("#"), 34);
        number->SetAlignment(taRightJustify);
        number->Footer()->SetCaption(QStringLiteral("Totals"));

        auto* customer = Add<TTextualColumn>(QStringLiteral("Customer"), 120, coEditing);
        customer->SetDefaultValue(QStringLiteral("(new customer)"));
        customer->SetInputCaption(QStringLiteral("new row…"));

        auto* city = Add<TComboBoxColumn>(QStringLiteral("City"), 90, coEditing);
        QStringList cities;
        for (const char16_t* c : kCities)
            cities << Text(c);
        city->SetItems(cities);
        city->SetStyle(TComboBoxColumn::cbsDropDownList);
        city->SetDefaultValue(cities.front());

        auto* ordered = Add<TDateColumn>(QStringLiteral("Ordered"), 82, coEditing);
        ordered->SetAlignment(taCenter);

        auto* amount = Add<TNumericColumn>(QStringLiteral("Amount"), 96, coEditing);
        amount->SetFormatMask(QStringLiteral("#,##0.00"));
        amount->SetTextAfter(QStringLiteral(" TL"));
        amount->SetMax(100000);
        amount->SetAlignment(taRightJustify);
        amount->SetFormulaKind(fkSum);

        auto* balance = Add<TNumericColumn>(QStringLiteral("Balance"), 74, coEditing);
        balance->SetFormatMask(QStringLiteral("0.0"));
        balance->SetMin(-1000);
        balance->SetMax(1000);
        balance->SetAlignment(taRightJustify);
        balance->SetFormulaKind(fkMinimum);

        auto* paid = Add<TCheckBoxColumn>(QStringLiteral("Paid"), 40, coEditing);
        paid->SetAlignment(taCenter);

        auto* delivered = Add<TProgressColumn>(QStringLiteral("Delivered"), 100);
        delivered->SetShowText(true);
        delivered->SetProgressColor(RGB(40, 160, 60));
        delivered->SetFormulaKind(fkAverage);

        auto* rating = Add<TRateColumn>(QStringLiteral("Rating"), 78);
        rating->SetTransparent(true);
        rating->SetGlyph(TBitmap(StarGlyph(QColor(240, 190, 20))));
        rating->SetEmptyGlyph(TBitmap(StarGlyph(QColor(215, 215, 215))));
        rating->SetFormulaKind(fkMaximum);

        auto* line = Add<TImageColumn>(QStringLiteral("Line"), 36);
        line->SetImages(&FLineIcons);
        line->SetAlignment(taCenter);

        auto* status = Add<THtmlColumn>(QStringLiteral("Status"), 110);
        status->SetWrapKind(wkEllipsis);

        auto* picture = Add<TGraphicColumn>(QStringLiteral("Picture"), 50);
        picture->SetMargin(2);
    }

    // Fifty orders, the same on every run.
    void Fill() {
        std::mt19937 random(1899);
        const auto pick = [&random](int n) { return static_cast<int>(random() % unsigned(n)); };
        FGrid->AddRows(kRows);
        FGrid->BeginUpdate();
        for (int r = 0; r < kRows; ++r) {
            const QString name = Text(kFirstNames[pick(int(std::size(kFirstNames)))]) + u' ' +
                                 Text(kLastNames[pick(int(std::size(kLastNames)))]);
            FGrid->Cell(kCustomer, r)->SetAsWideString(name);
            FGrid->Cell(kCity, r)->SetAsWideString(Text(kCities[pick(int(std::size(kCities)))]));
            FGrid->Cell(kOrdered, r)->SetAsDateTime(46000.0 + pick(120));
            const double amount = 25.0 + pick(500000) / 100.0;
            FGrid->Cell(kAmount, r)->SetAsFloat(amount);
            FGrid->Cell(kBalance, r)->SetAsFloat((pick(18000) - 3000) / 10.0);
            FGrid->Cell(kPaid, r)->SetAsBoolean(pick(3) != 0);
            FGrid->Cell(kDelivered, r)->SetAsFloat(pick(101));
            FGrid->Cell(kRating, r)->SetAsInteger(pick(6));
            FGrid->Cell(kLine, r)->SetAsInteger(pick(4));
            FGrid->Cell(kStatus, r)
                ->SetAsWideString(QString::fromLatin1(kStates[pick(int(std::size(kStates)))]));
            FGrid->Cell(kPicture, r)
                ->SetGraphic(
                    FPictures[static_cast<std::size_t>(pick(int(FPictures.size())))].get());
            // Large orders stand out, and some cells carry a note (the red
            // corner; the pointer over the cell shows it).
            if (amount > 4000) FGrid->Cell(kAmount, r)->SetColor(RGB(255, 244, 200));
            if (r % 7 == 3)
                FGrid->Cell(kCustomer, r)
                    ->SetNote(WideToAnsi(QStringLiteral("Call before delivery")));
        }
        FGrid->EndUpdate();
    }

    void Wire() {
        FGrid->OnChange = [this](QObject*, int col, int row) {
            // An edited value changes the totals.
            FGrid->RecalcFooters();
            Say(QStringLiteral("changed: %1, row %2 = %3")
                    .arg(FGrid->Columns()->Items(col)->Header()->Caption())
                    .arg(row + 1)
                    .arg(FGrid->GetCellText(col, row)));
        };
        FGrid->OnSelectCell = [this](QObject*, int col, int row) {
            if (col < 0 || col >= FGrid->Columns()->Count()) return;
            int selected = 0;
            for (int r = 0; r < FGrid->RowSelectionCount(); ++r)
                if (FGrid->GetRowSelected(r)) ++selected;
            Say(QStringLiteral("row %1, %2; %3 row(s) selected")
                    .arg(row + 1)
                    .arg(FGrid->Columns()->Items(col)->Header()->Caption())
                    .arg(selected));
        };
        FGrid->OnSortColumn = [this](QObject*, int col, bool ascending) {
            Say(QStringLiteral("sorted by %1, %2")
                    .arg(FGrid->Columns()->Items(col)->Header()->Caption(),
                         ascending ? QStringLiteral("ascending") : QStringLiteral("descending")));
        };
        FGrid->OnInputAccept = [this](QObject*, bool&) {
            Say(QStringLiteral("the input row becomes row %1").arg(FGrid->RowCount() + 1));
        };
        // A value the cell cannot take (a letter in a number) reaches the
        // message loop as an exception: it is shown here, not in a dialog.
        Application->AddExceptionHandler(FForm.get(), [this](QObject*, const Exception& e) {
            FFailures << e.Message();
            Say(QStringLiteral("refused: ") + e.Message());
        });
    }

    void Say(const QString& text) { FStatus->SetSimpleText(QStringLiteral(" ") + text); }

    // The pictures outlive the grid that shows them: declared first, freed
    // last.
    TImageList FLineIcons;
    std::vector<std::unique_ptr<TBitmap>> FPictures;
    std::unique_ptr<TForm> FForm;
    TGridView* FGrid = nullptr;    // owned by the form
    TStatusBar* FStatus = nullptr; // owned by the form
    QStringList FFailures;
};

// The window as it stands on screen, drawn into a picture. Answers false
// when the picture could not be written.
bool SaveScreenshot(TForm& form, const QString& file) {
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
    const QPixmap shot = form.grab();
    if (shot.isNull()) return false;
    return shot.save(file, "PNG");
}

int Usage() {
    std::fprintf(stderr, "usage: grid_demo [--screenshot <picture.png>] [--quit-after-show]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    const char* screenshot = nullptr;
    bool quitAfterShow = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--screenshot") == 0 && i + 1 < argc)
            screenshot = argv[++i];
        else if (std::strcmp(argv[i], "--quit-after-show") == 0)
            quitAfterShow = true;
        else
            return Usage();
    }
    // A picture comes out the same on every machine: drawn offscreen, in
    // one style.
    if (screenshot && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TQtApplication app(argc, argv);
    if (screenshot) {
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
        QApplication::setPalette(QApplication::style()->standardPalette());
    }
    RegisterFrameworkClasses();
    RegisterGridClasses();
    Application->SetTitle(QStringLiteral("Grid demonstration"));

    int rc = 0;
    {
        TGridDemo demo;
        demo.Show();
        if (screenshot) {
            if (!SaveScreenshot(*demo.Form(), QString::fromLocal8Bit(screenshot))) {
                std::fprintf(stderr, "grid_demo: cannot write %s\n", screenshot);
                rc = 1;
            }
        } else if (!quitAfterShow) {
            rc = Application->Run();
        }
        Application->RemoveExceptionHandlers(demo.Form());
        // A run without a user fails when building, showing or painting the
        // window raised anything (a display that throws while painting is
        // otherwise only a line in the status bar).
        if (screenshot || quitAfterShow) {
            for (const QString& failure : demo.Failures())
                std::fprintf(stderr, "grid_demo: %s\n", qPrintable(failure));
            if (!demo.Failures().isEmpty()) rc = 1;
        }
    }
    return rc;
}
