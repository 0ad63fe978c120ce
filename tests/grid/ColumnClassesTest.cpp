// The column types: value kinds, companions, defaults, the shown text, the
// characters that open the editor, what each type copies into its editor,
// the repaints of their own setters, their copies, and a grid holding one
// column of every type read from a layout, written and read again.

#include "ColumnsTestSupport.h"

#include "CellEditors.h"
#include "Displays.h"

#include <QMetaProperty>
#include <QPointer>
#include <functional>
#include <typeinfo>

namespace {

using ColumnClasses = ColumnsFixture;

struct TTypeFacts {
    std::function<TCustomColumn*()> Make;
    TCellKind Kind;
    const char* Editor; // class name, or null
    const std::type_info& Display;
    bool HasPlay;
    const char* DefaultValue;
    TSortType SortType;
};

template <class T> std::function<TCustomColumn*()> Maker() {
    return [] { return new T(); };
}

TEST_F(ColumnClasses, EveryTypeHasItsValueKindCompanionsAndDefaults) {
    const TTypeFacts facts[] = {
        {Maker<TTextualColumn>(), ckText, "TTextualEditor", typeid(TTextualColumnDisplay), false,
         "", stAlphabetic},
        {Maker<TComboBoxColumn>(), ckText, "TComboBoxEditor", typeid(TTextualColumnDisplay), false,
         "", stAlphabetic},
        {Maker<TNumericColumn>(), ckFloat, "TSpinEditor", typeid(TNumericColumnDisplay), false, "0",
         stNumeric},
        // The date column's default is today's date (null here).
        {Maker<TDateColumn>(), ckDateTime, "TDatePickerEditor", typeid(TDateColumnDisplay), false,
         nullptr, stDate},
        {Maker<TCheckBoxColumn>(), ckBoolean, "TCheckBoxEditor", typeid(TCheckBoxColumnDisplay),
         true, "", stNumeric},
        {Maker<THtmlColumn>(), ckText, nullptr, typeid(THtmlColumnDisplay), false, "",
         stAlphabetic},
        {Maker<TImageColumn>(), ckInteger, nullptr, typeid(TImageColumnDisplay), false, "0",
         stNumeric},
        {Maker<TProgressColumn>(), ckFloat, nullptr, typeid(TProgressColumnDisplay), false, "0",
         stNumeric},
        {Maker<TRateColumn>(), ckInteger, nullptr, typeid(TRateColumnDisplay), false, "0",
         stNumeric},
        {Maker<TIncrementColumn>(), ckIncrement, nullptr, typeid(TIncrementColumnDisplay), false,
         "", stAlphabetic},
        {Maker<TGraphicColumn>(), ckGraphic, nullptr, typeid(TGraphicColumnDisplay), false, "",
         stAlphabetic},
    };
    const QString today = DateToStr(Date());
    for (const TTypeFacts& f : facts) {
        std::unique_ptr<TCustomColumn> c(f.Make());
        const char* name = c->metaObject()->className();
        EXPECT_EQ(c->CellKind(), f.Kind) << name;
        if (f.Editor) {
            ASSERT_NE(c->Editor(), nullptr) << name;
            EXPECT_STREQ(c->Editor()->metaObject()->className(), f.Editor);
            EXPECT_FALSE(c->Editor()->isVisible()) << name;
        } else {
            EXPECT_EQ(c->Editor(), nullptr) << name;
        }
        ASSERT_NE(c->Display(), nullptr) << name;
        EXPECT_EQ(typeid(*c->Display()), f.Display) << name;
        EXPECT_EQ(c->Display()->Column, c.get());
        EXPECT_EQ(c->Play() != nullptr, f.HasPlay) << name;
        EXPECT_EQ(c->DefaultValue(), f.DefaultValue ? QString(f.DefaultValue) : today) << name;
        EXPECT_EQ(c->SortType(), f.SortType) << name;
        // The base's defaults hold for every type.
        EXPECT_EQ(c->Width(), 80) << name;
        EXPECT_EQ(c->Options(), TColumnOptions(coCanClick) | coCanSort | coCanInput |
                                    coEditorAutoSelect | coPublicUsing)
            << name;
    }
    TCheckBoxColumn check;
    EXPECT_NE(dynamic_cast<TCheckBoxColumnPlay*>(check.Play()), nullptr);
    EXPECT_EQ(check.Play()->Column, &check);
}

TEST_F(ColumnClasses, TheTypesOwnSettingsStartAtTheirDefaults) {
    TTextualColumn text;
    EXPECT_FALSE(text.AutoExecute());
    EXPECT_TRUE(text.TextBefore().isEmpty());
    TNumericColumn numeric;
    EXPECT_EQ(numeric.Max(), 0);
    EXPECT_EQ(numeric.Min(), 0);
    TImageColumn image;
    EXPECT_TRUE(image.Transparent());
    EXPECT_FALSE(image.Masked());
    EXPECT_EQ(image.Images(), nullptr);
    TProgressColumn progress;
    EXPECT_EQ(progress.BorderColor(), clGray);
    EXPECT_EQ(progress.Margin(), 2);
    EXPECT_EQ(progress.Max(), 100);
    EXPECT_EQ(progress.ProgressColor(), clHighlight);
    EXPECT_EQ(progress.ProgressStyle(), TProgressColumn::psSolid);
    EXPECT_FALSE(progress.ShowText());
    EXPECT_FALSE(progress.Transparent());
    TRateColumn rate;
    EXPECT_EQ(rate.Max(), 5);
    EXPECT_TRUE(rate.Glyph()->Empty());
    EXPECT_FALSE(rate.Transparent());
    TGraphicColumn graphic;
    EXPECT_EQ(graphic.BorderWidth(), 1);
    EXPECT_EQ(graphic.Margin(), 4);
    EXPECT_FALSE(graphic.Strecht());
}

// ---- Textual

TEST_F(ColumnClasses, ATextualColumnShowsItsTextsBeforeAndAfterTheStoredText) {
    TTextualColumn c;
    EXPECT_EQ(c.GetDisplayText("5"), "5");
    c.SetTextBefore("(");
    c.SetTextAfter(")");
    EXPECT_EQ(c.GetDisplayText("5"), "(5)");
    EXPECT_EQ(c.GetDisplayText(""), "()");
    // The base shows the stored text.
    TCustomColumn base;
    EXPECT_EQ(base.GetDisplayText("5"), "5");
}

TEST_F(ColumnClasses, TypingALetterOpensATextualEditorTypingASpaceDoesNot) {
    TTextualColumn c;
    EXPECT_TRUE(c.IsInputChar(QChar(u'a')));
    EXPECT_TRUE(c.IsInputChar(QChar(u'!')));
    EXPECT_TRUE(c.IsInputChar(QChar(u'ş')));
    EXPECT_FALSE(c.IsInputChar(QChar(u' ')));
    EXPECT_FALSE(c.IsInputChar(QChar(13)));
    EXPECT_FALSE(c.IsInputChar(QChar(8)));
    EXPECT_FALSE(c.IsInputChar(QChar(27)));
    // No character opens the editor of the base.
    TCustomColumn base;
    EXPECT_FALSE(base.IsInputChar(QChar(u'a')));
    // The editor takes the letter it is opened with.
    auto* editor = qobject_cast<TTextualEditor*>(c.Editor());
    ASSERT_NE(editor, nullptr);
    c.PrepareEditor();
    editor->SetValue(QStringLiteral("a"));
    EXPECT_EQ(editor->GetValue(), "a");
}

TEST_F(ColumnClasses, AComboBoxColumnShowsItsTextLikeATextualColumn) {
    TComboBoxColumn c;
    c.SetTextBefore("[");
    c.SetTextAfter("]");
    EXPECT_EQ(c.GetDisplayText("a"), "[a]");
    EXPECT_TRUE(c.IsInputChar(QChar(u'x')));
    EXPECT_FALSE(c.IsInputChar(QChar(u' ')));
}

TEST_F(ColumnClasses, AComboBoxColumnHandsItsChoicesAndStyleToItsEditor) {
    TComboBoxColumn c;
    TImageList images;
    c.SetItems({"bir", "iki", "üç"});
    c.SetImages(&images);
    c.SetShowImages(true);
    c.SetDropDownCount(2);
    c.SetStyle(TComboBoxColumn::cbsDropDownList);
    auto* editor = qobject_cast<TComboBoxEditor*>(c.Editor());
    ASSERT_NE(editor, nullptr);
    c.PrepareEditor();
    EXPECT_EQ(editor->Items(), QStringList({"bir", "iki", "üç"}));
    EXPECT_EQ(editor->Images(), &images);
    EXPECT_TRUE(editor->ShowImages());
    EXPECT_EQ(editor->DropDownCount(), 2);
    EXPECT_EQ(editor->Style(), TTextualEditor::dsDropDownList);
    EXPECT_TRUE(editor->ReadOnly());
    // The editor's list is a copy: the column's stays as it is.
    editor->Items().append("dört");
    EXPECT_EQ(c.Items().size(), 3);
    c.SetStyle(TComboBoxColumn::cbsDropDown);
    c.SetShowImages(false);
    c.PrepareEditor();
    EXPECT_EQ(editor->Style(), TTextualEditor::dsDropDown);
    EXPECT_FALSE(editor->ShowImages());
    EXPECT_EQ(editor->Items().size(), 3);
    // The chosen item becomes the editor's text.
    editor->SetItemIndex(2);
    EXPECT_EQ(editor->GetValue(), "üç");

    TComboBoxColumn copy;
    c.SetTextAfter("!");
    copy.Assign(&c);
    EXPECT_EQ(copy.Items(), c.Items());
    EXPECT_EQ(copy.DropDownCount(), 2);
    EXPECT_EQ(copy.Style(), TComboBoxColumn::cbsDropDown);
    EXPECT_EQ(copy.TextAfter(), "!");
    // Images and ShowImages are not among what a combo-box column copies.
    EXPECT_EQ(copy.Images(), nullptr);
}

// ---- Date

TEST_F(ColumnClasses, ADateColumnsDefaultIsTheDayItWasMade) {
    TDateColumn made;
    const QString day = DateToStr(Date());
    EXPECT_EQ(made.DefaultValue(), day);
    // Written then: later settings do not change it.
    FormatSettings.ShortDateFormat = QStringLiteral("yyyy/mm/dd");
    EXPECT_EQ(made.DefaultValue(), day);
    TDateColumn later;
    EXPECT_EQ(later.DefaultValue(), DateToStr(Date()));
    EXPECT_NE(later.DefaultValue(), made.DefaultValue());
    EXPECT_EQ(later.GetDisplayText("1.2.2020"), "1.2.2020");
}

TEST_F(ColumnClasses, DigitsAndTheDateSeparatorOpenADateEditor) {
    TDateColumn c;
    for (QChar ch : QStringLiteral("0123456789."))
        EXPECT_TRUE(c.IsInputChar(ch)) << int(ch.unicode());
    for (QChar ch : QStringLiteral("/-a +"))
        EXPECT_FALSE(c.IsInputChar(ch)) << int(ch.unicode());
}

TEST_F(ColumnClasses, ADateColumnLetsItsDateBeTyped) {
    TDateColumn c;
    auto* editor = qobject_cast<TDatePickerEditor*>(c.Editor());
    ASSERT_NE(editor, nullptr);
    editor->SetStyle(TTextualEditor::dsDropDownList);
    c.PrepareEditor();
    EXPECT_EQ(editor->Style(), TTextualEditor::dsDropDown);
    EXPECT_FALSE(editor->ReadOnly());
    // The editor reads the column's default as its date.
    editor->SetValue(c.DefaultValue());
    EXPECT_EQ(editor->Date(), Date());
}

// ---- Numeric

TEST_F(ColumnClasses, ANumericColumnFormatsItsTextWithTheMask) {
    TNumericColumn c;
    EXPECT_EQ(c.GetDisplayText("3"), "3");
    c.SetTextAfter(" TL");
    EXPECT_EQ(c.GetDisplayText("3"), "3 TL");
    c.SetFormatMask("0.00");
    EXPECT_EQ(c.GetDisplayText("3"), "3,00 TL");
    EXPECT_EQ(c.GetDisplayText("2,555"), "2,56 TL");
    EXPECT_EQ(ErrorOf([&] { c.GetDisplayText("abc"); }),
              "'abc' is not a valid floating point value");
    // The mask is 8-bit text.
    c.SetFormatMask(QStringLiteral("0 €✓"));
    EXPECT_EQ(c.FormatMask(), QStringLiteral("0 €?"));
}

TEST_F(ColumnClasses, SignsDigitsAndTheLocalesSeparatorOpenANumericEditor) {
    TNumericColumn c;
    for (QChar ch : QStringLiteral("+-0123456789,"))
        EXPECT_TRUE(c.IsInputChar(ch)) << int(ch.unicode());
    for (QChar ch : QStringLiteral(". aE"))
        EXPECT_FALSE(c.IsInputChar(ch)) << int(ch.unicode());
    FormatSettings.DecimalSeparator = u'.';
    EXPECT_TRUE(c.IsInputChar(QChar(u'.')));
    EXPECT_FALSE(c.IsInputChar(QChar(u',')));
}

TEST_F(ColumnClasses, ANumericColumnHandsItsBoundsToItsSpinEditor) {
    TNumericColumn c;
    c.SetMax(10);
    c.SetMin(-3);
    auto* editor = qobject_cast<TSpinEditor*>(c.Editor());
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->Max(), 0.0);
    c.PrepareEditor();
    EXPECT_EQ(editor->Max(), 10.0);
    EXPECT_EQ(editor->Min(), -3.0);
    // The spin editor now keeps to them.
    editor->SetValue(10.0);
    editor->StepUp();
    EXPECT_EQ(editor->Value(), 10.0);
}

// ---- Setters that repaint the data strip

TEST_F(ColumnClasses, TheSettersThatChangeTheCellsLookRepaintTheDataStrip) {
    auto* progress = Add<TProgressColumn>();
    auto* rate = Add<TRateColumn>();
    auto* image = Add<TImageColumn>();
    auto* graphic = Add<TGraphicColumn>();
    auto* date = Add<TDateColumn>();
    const std::vector<std::pair<const char*, std::function<void()>>> repainting = {
        {"Progress.HideWhenEmpty", [&] { progress->SetHideWhenEmpty(true); }},
        {"Progress.ProgressColor", [&] { progress->SetProgressColor(clRed); }},
        {"Progress.ProgressStyle",
         [&] { progress->SetProgressStyle(TProgressColumn::psCylinder); }},
        {"Rate.HideWhenEmpty", [&] { rate->SetHideWhenEmpty(true); }},
        {"Rate.Masked", [&] { rate->SetMasked(true); }},
        {"Rate.Transparent", [&] { rate->SetTransparent(true); }},
        {"Rate.Max", [&] { rate->SetMax(7); }},
        {"Image.Masked", [&] { image->SetMasked(true); }},
        {"Date.HideWhenEmpty", [&] { date->SetHideWhenEmpty(true); }},
        {"Graphic.BorderWidth", [&] { graphic->SetBorderWidth(2); }},
        {"Graphic.Margin", [&] { graphic->SetMargin(0); }},
        {"Graphic.Strecht", [&] { graphic->SetStrecht(true); }},
    };
    for (const auto& [name, set] : repainting) {
        FGrid.Repaints.clear();
        set();
        ASSERT_EQ(FGrid.Repaints.size(), 1u) << name;
        EXPECT_EQ(FGrid.Repaints[0].second, 1) << name;
    }
    EXPECT_EQ(FGrid.Repaints[0].first, graphic);
    FGrid.Repaints.clear();
    // A rate column's Max repaints only when it changes.
    rate->SetMax(7);
    progress->SetBorderColor(clBlue);
    progress->SetMargin(5);
    progress->SetMax(0);
    progress->SetShowText(true);
    progress->SetTransparent(true);
    image->SetTransparent(false);
    date->SetEmptyCaption("yok");
    EXPECT_TRUE(FGrid.Repaints.empty());
    EXPECT_EQ(rate->Max(), 7);
    EXPECT_EQ(progress->Max(), 0);
    // Any number is kept.
    rate->SetMax(-2);
    EXPECT_EQ(rate->Max(), -2);
    EXPECT_TRUE(FGrid.Changes.empty());
}

// ---- Pictures of a rate column

TBitmap Picture(TColor fill, TColor corner) {
    TBitmap b(3, 3, TBitmap::pf24bit);
    b.Canvas()->Brush = TBrush{fill, bsSolid};
    b.Canvas()->FillRect(Rect(0, 0, 3, 3));
    b.SetPixel(0, 2, corner);
    return b;
}

TEST_F(ColumnClasses, ATransparentRateColumnsPicturesTakeTheirBottomLeftPixel) {
    TRateColumn c;
    c.SetGlyph(Picture(clRed, clLime));
    EXPECT_FALSE(c.Glyph()->Transparent());
    c.SetTransparent(true);
    c.SetGlyph(Picture(clRed, clBlue));
    c.SetEmptyGlyphMask(Picture(clWhite, clYellow));
    EXPECT_TRUE(c.Glyph()->Transparent());
    EXPECT_EQ(c.Glyph()->TransparentColor(), clBlue);
    EXPECT_EQ(c.EmptyGlyphMask()->TransparentColor(), clYellow);
    EXPECT_FALSE(c.EmptyGlyph()->Transparent());
    // The pictures are the column's own copies.
    TBitmap outside = Picture(clRed, clBlue);
    c.SetGlyphMask(outside);
    outside.SetPixel(1, 1, clBlack);
    EXPECT_EQ(c.GlyphMask()->Pixel(1, 1), clRed);
}

TEST_F(ColumnClasses, ARateColumnReadFromALayoutMakesItsPicturesTransparent) {
    TRateColumn source;
    source.SetGlyph(Picture(clRed, clLime));
    const QByteArray layout = GridLayout(QStringLiteral(R"(    <object class="TRateColumn">
      <property name="Glyph">%1</property>
      <property name="Transparent">True</property>
    </object>
)")
                                             .arg(QString::fromLatin1(source.GlyphData().toHex()))
                                             .toUtf8());
    auto form = Read(layout);
    auto* rate = qobject_cast<TRateColumn*>(GridOf(form.get())->Columns()->Items(0));
    ASSERT_NE(rate, nullptr);
    EXPECT_EQ(rate->Glyph()->Pixel(1, 1), clRed);
    EXPECT_TRUE(rate->Glyph()->Transparent());
    EXPECT_EQ(rate->Glyph()->TransparentColor(), clLime);
}

// ---- Image lists are referred to, not owned

TEST_F(ColumnClasses, AnImageColumnLetsGoOfAnImageListThatGoes) {
    TImageColumn c;
    auto list = std::make_unique<TImageList>();
    c.SetImages(list.get());
    c.SetMasks(list.get());
    EXPECT_EQ(c.Images(), list.get());
    list.reset();
    EXPECT_EQ(c.Images(), nullptr);
    EXPECT_EQ(c.Masks(), nullptr);
}

// ---- Copies

TEST_F(ColumnClasses, EachTypeCopiesItsOwnSettingsFromItsOwnKind) {
    TNumericColumn n1, n2;
    n1.SetFormatMask("0.0");
    n1.SetMax(9);
    n1.SetMin(1);
    n1.SetTextAfter("%");
    n1.SetWidth(33);
    n2.Assign(&n1);
    EXPECT_EQ(n2.FormatMask(), "0.0");
    EXPECT_EQ(n2.Max(), 9);
    EXPECT_EQ(n2.Min(), 1);
    EXPECT_EQ(n2.TextAfter(), "%");
    EXPECT_EQ(n2.Width(), 33);

    TProgressColumn p1, p2;
    p1.SetBorderColor(clRed);
    p1.SetMargin(7);
    p1.SetMax(50);
    p1.SetProgressColor(clLime);
    p1.SetProgressStyle(TProgressColumn::psGradient);
    p1.SetShowText(true);
    p1.SetTransparent(true);
    p1.SetHideWhenEmpty(true);
    p2.Assign(&p1);
    EXPECT_EQ(p2.BorderColor(), clRed);
    EXPECT_EQ(p2.Margin(), 7);
    EXPECT_EQ(p2.Max(), 50);
    EXPECT_EQ(p2.ProgressColor(), clLime);
    EXPECT_EQ(p2.ProgressStyle(), TProgressColumn::psGradient);
    EXPECT_TRUE(p2.ShowText());
    // Not among what a progress column copies.
    EXPECT_FALSE(p2.Transparent());
    EXPECT_FALSE(p2.HideWhenEmpty());

    TRateColumn r1, r2;
    r1.SetGlyph(Picture(clRed, clLime));
    r1.SetEmptyGlyph(Picture(clWhite, clLime));
    r1.SetMasked(true);
    r1.SetMax(3);
    r1.SetTransparent(true);
    r1.SetHideWhenEmpty(true);
    r2.Assign(&r1);
    EXPECT_EQ(r2.Glyph()->Pixel(1, 1), clRed);
    EXPECT_EQ(r2.EmptyGlyph()->Pixel(1, 1), clWhite);
    EXPECT_TRUE(r2.Masked());
    EXPECT_EQ(r2.Max(), 3);
    EXPECT_TRUE(r2.Transparent());
    EXPECT_FALSE(r2.HideWhenEmpty());

    TImageList list;
    TImageColumn i1, i2;
    i1.SetImages(&list);
    i1.SetMasked(true);
    i1.SetTransparent(false);
    i2.Assign(&i1);
    EXPECT_EQ(i2.Images(), &list);
    EXPECT_TRUE(i2.Masked());
    EXPECT_TRUE(i2.Transparent());

    // Across types only the base's settings go.
    TGraphicColumn g;
    g.SetMargin(9);
    TProgressColumn p3;
    p3.Assign(&g);
    EXPECT_EQ(p3.Margin(), 2);
}

// ---- Layouts

// Every stored property of an object and of its nested parts, by path.
void CollectProperties(const QObject* object, const QString& prefix,
                       std::vector<std::pair<QString, QVariant>>& out) {
    const QMetaObject* meta = object->metaObject();
    for (int i = QObject::staticMetaObject.propertyCount(); i < meta->propertyCount(); ++i) {
        const QMetaProperty p = meta->property(i);
        const QString name = prefix + QLatin1String(p.name());
        const QVariant value = p.read(object);
        if (p.metaType().flags().testFlag(QMetaType::PointerToQObject)) {
            auto* other = value.value<QObject*>();
            if (!p.isWritable()) {
                if (other) CollectProperties(other, name + QLatin1Char('.'), out);
            } else {
                out.emplace_back(name, other ? other->objectName() : QString());
            }
            continue;
        }
        out.emplace_back(name, p.isEnumType() ? QVariant(value.toInt()) : value);
    }
}

TEST_F(ColumnClasses, AGridWithEveryTypeKeepsEveryValueThroughWriteAndRead) {
    TRateColumn pictures;
    pictures.SetGlyph(Picture(clRed, clLime));
    pictures.SetEmptyGlyphMask(Picture(clBlack, clWhite));
    const QString glyph = QString::fromLatin1(pictures.GlyphData().toHex());
    const QString mask = QString::fromLatin1(pictures.EmptyGlyphMaskData().toHex());
    // Values other than the defaults, so that a property the writer or the
    // reader drops shows.
    const QString common = QStringLiteral(R"(
      <property name="Tag">4</property>
      <property name="Alignment">taRightJustify</property>
      <property name="Color">clInfoBk</property>
      <property name="Cursor">crHandPoint</property>
      <property name="DefaultValue">varsayılan</property>
      <property name="DrawingOptions">doCustom</property>
      <property name="DefaultWidth">61</property>
      <property name="Font.Height">-13</property>
      <property name="Font.Name">Arial</property>
      <property name="Font.Style">[fsBold]</property>
      <property name="Footer.Caption">toplam</property>
      <property name="Footer.Color">clYellow</property>
      <property name="Footer.FormulaKind">fkSum</property>
      <property name="FormulaKind">fkAverage</property>
      <property name="Header.Caption">%1</property>
      <property name="Header.Color">clRed</property>
      <property name="Header.DisplayMode">dmTextAndImage</property>
      <property name="Header.Glyph">%2</property>
      <property name="InputCaption">giriş</property>
      <property name="Options">[coAutoSize,coEditing,coShowTextFitHint,coTextForCaption]</property>
      <property name="Position">%3</property>
      <property name="SlideBounds.Left">1</property>
      <property name="SlideBounds.Top">2</property>
      <property name="SlideBounds.Height">3</property>
      <property name="SlideBounds.Width">4</property>
      <property name="Sorted">%4</property>
      <property name="SortKind">skDescending</property>
      <property name="SortType">stIP</property>
      <property name="VerticalAlignment">vaBottom</property>
      <property name="Visible">%5</property>
      <property name="Width">%6</property>
      <property name="WrapKind">wkWordWrap</property>)");
    const std::vector<std::pair<const char*, QString>> types = {
        {"TTextualColumn", R"(
      <property name="AutoExecute">True</property>
      <property name="TextAfter">)</property>
      <property name="TextBefore">(</property>)"},
        {"TComboBoxColumn", R"(
      <property name="TextBefore">*</property>
      <property name="DropDownCount">3</property>
      <property name="Images">Pictures</property>
      <property name="Items">
        <item>bir</item>
        <item/>
        <item>üç</item>
      </property>
      <property name="ShowImages">True</property>
      <property name="Style">cbsDropDownList</property>)"},
        {"TDateColumn", R"(
      <property name="EmptyCaption">tarih yok</property>
      <property name="HideWhenEmpty">True</property>)"},
        {"TNumericColumn", R"(
      <property name="FormatMask">0.00</property>
      <property name="Max">99</property>
      <property name="Min">-5</property>
      <property name="TextAfter"> kg</property>)"},
        {"TCheckBoxColumn", ""},
        {"THtmlColumn", ""},
        {"TImageColumn", R"(
      <property name="Images">Pictures</property>
      <property name="Masked">True</property>
      <property name="Masks">Pictures</property>
      <property name="Transparent">False</property>)"},
        {"TProgressColumn", R"(
      <property name="BorderColor">clNavy</property>
      <property name="HideWhenEmpty">True</property>
      <property name="Margin">3</property>
      <property name="Max">250</property>
      <property name="ProgressColor">clLime</property>
      <property name="ProgressStyle">psCylinder</property>
      <property name="ShowText">True</property>
      <property name="Transparent">True</property>)"},
        {"TRateColumn", QStringLiteral(R"(
      <property name="EmptyGlyphMask">%1</property>
      <property name="Glyph">%2</property>
      <property name="HideWhenEmpty">True</property>
      <property name="Masked">True</property>
      <property name="Max">10</property>
      <property name="Transparent">True</property>)")
                            .arg(mask, glyph)},
        {"TGraphicColumn", R"(
      <property name="BorderWidth">2</property>
      <property name="Margin">6</property>
      <property name="Strecht">True</property>)"},
    };
    QByteArray xml = R"(<?xml version="1.0" encoding="UTF-8"?>
<object class="TColumnsTestForm" name="Form">
  <object class="TImageList" name="Pictures"/>
  <object class="TTestGridView" name="Grid">
)";
    int position = static_cast<int>(types.size()) - 1;
    for (const auto& [cls, own] : types) {
        xml += QStringLiteral("    <object class=\"%1\">").arg(QLatin1String(cls)).toUtf8();
        xml += common.arg(QLatin1String(cls), position == 3 ? glyph : QString())
                   .arg(position)
                   .arg(position == 2 ? QStringLiteral("True") : QStringLiteral("False"))
                   .arg(position == 5 ? QStringLiteral("False") : QStringLiteral("True"))
                   .arg(40 + position)
                   .toUtf8();
        xml += own.toUtf8();
        xml += "\n    </object>\n";
        --position;
    }
    xml += "  </object>\n</object>\n";

    auto form = Read(xml);
    TColumns* columns = GridOf(form.get())->Columns();
    ASSERT_EQ(columns->Count(), static_cast<int>(types.size()));
    for (int i = 0; i < columns->Count(); ++i) {
        EXPECT_STREQ(columns->Items(i)->metaObject()->className(), types[std::size_t(i)].first);
        EXPECT_EQ(columns->DisplayItems(i), columns->Items(columns->Count() - 1 - i));
    }
    // Spot checks that the values arrived where they belong.
    auto* numeric = qobject_cast<TNumericColumn*>(columns->Items(3));
    ASSERT_NE(numeric, nullptr);
    EXPECT_EQ(numeric->FormatMask(), "0.00");
    EXPECT_EQ(numeric->Min(), -5);
    EXPECT_EQ(numeric->Header()->Caption(), "TNumericColumn");
    EXPECT_EQ(numeric->Footer()->FormulaKind(), fkSum);
    EXPECT_EQ(numeric->FormulaKind(), fkAverage);
    EXPECT_EQ(numeric->SlideBounds()->Bottom(), 5);
    EXPECT_EQ(numeric->Font()->Style(), TFont::fsBold);
    EXPECT_EQ(numeric->Cursor(), TControl::crHandPoint);
    EXPECT_EQ(numeric->DefaultValue(), "varsayılan");
    auto* image = qobject_cast<TImageColumn*>(columns->Items(6));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->Images(), FindComponent(form.get(), "Pictures"));
    EXPECT_FALSE(columns->Items(4)->Visible());
    EXPECT_TRUE(columns->Items(7)->Sorted());
    EXPECT_EQ(qobject_cast<TProgressColumn*>(columns->Items(7))->ProgressStyle(),
              TProgressColumn::psCylinder);
    EXPECT_FALSE(columns->Items(6)->Header()->Glyph()->Empty());
    auto* combo = qobject_cast<TComboBoxColumn*>(columns->Items(1));
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->Items(), QStringList({"bir", "", "üç"}));
    EXPECT_EQ(combo->Style(), TComboBoxColumn::cbsDropDownList);
    EXPECT_EQ(combo->TextBefore(), "*");

    const QByteArray written = WriteComponent(form.get());
    auto again = Read(written);
    TColumns* read = GridOf(again.get())->Columns();
    ASSERT_EQ(read->Count(), columns->Count());
    for (int i = 0; i < columns->Count(); ++i) {
        std::vector<std::pair<QString, QVariant>> before, after;
        CollectProperties(columns->Items(i), QString(), before);
        CollectProperties(read->Items(i), QString(), after);
        ASSERT_EQ(before.size(), after.size());
        for (std::size_t k = 0; k < before.size(); ++k)
            EXPECT_EQ(before[k], after[k]) << types[std::size_t(i)].first;
        // The display order comes back too.
        EXPECT_EQ(read->DisplayItems(i)->Index(), columns->DisplayItems(i)->Index());
    }
    EXPECT_EQ(WriteComponent(again.get()), written);
}

TEST_F(ColumnClasses, AnIncrementColumnIsWrittenAndReadBack) {
    auto form = Read(GridLayout(""));
    GridOf(form.get())->Columns()->Add(new TIncrementColumn());
    const QByteArray written = WriteComponent(form.get());
    EXPECT_TRUE(written.contains("TIncrementColumn"));
    auto again = Read(written);
    TColumns* read = GridOf(again.get())->Columns();
    ASSERT_EQ(read->Count(), 1);
    EXPECT_NE(qobject_cast<TIncrementColumn*>(read->Items(0)), nullptr);
    EXPECT_EQ(read->Items(0)->CellKind(), ckIncrement);
}

} // namespace
