#include "ColumnClasses.h"

#include "CellEditors.h"
#include "Displays.h"
#include "Strings.h"
#include "SysUtils.h"

namespace {

bool IsDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

} // namespace

// ----------------------------------------------------------- TTextualColumn

TTextualColumn::TTextualColumn(QObject* Owner) : TCustomColumn(Owner) {
    SetCellKind(ckText);
}

TCellEditorClass TTextualColumn::GetEditorClass() const {
    return TCellEditorClass::Of<TTextualEditor>();
}

TColumnDisplayClass TTextualColumn::GetDisplayClass() const {
    return &MakeOf<TColumnDisplay, TTextualColumnDisplay>;
}

QString TTextualColumn::GetDisplayText(const QString& Value) const {
    return FTextBefore + Value + FTextAfter;
}

bool TTextualColumn::IsInputChar(QChar Key) const {
    return Key.unicode() > 32;
}

void TTextualColumn::Assign(const QObject* Source) {
    TCustomColumn::Assign(Source);
    if (const auto* c = qobject_cast<const TTextualColumn*>(Source)) {
        SetAutoExecute(c->AutoExecute());
        SetTextAfter(c->TextAfter());
        SetTextBefore(c->TextBefore());
    }
}

// ---------------------------------------------------------- TComboBoxColumn

TComboBoxColumn::TComboBoxColumn(QObject* Owner) : TTextualColumn(Owner) {
    SetCellKind(ckText);
}

TCellEditorClass TComboBoxColumn::GetEditorClass() const {
    return TCellEditorClass::Of<TComboBoxEditor>();
}

void TComboBoxColumn::PrepareEditor() {
    auto* editor = qobject_cast<TComboBoxEditor*>(Editor());
    if (!editor) return;
    editor->SetItems(FItems);
    editor->SetImages(FImages);
    editor->SetShowImages(FShowImages);
    editor->SetDropDownCount(FDropDownCount);
    editor->SetStyle(FStyle == cbsDropDownList ? TTextualEditor::dsDropDownList
                                               : TTextualEditor::dsDropDown);
}

void TComboBoxColumn::Assign(const QObject* Source) {
    TTextualColumn::Assign(Source);
    if (const auto* c = qobject_cast<const TComboBoxColumn*>(Source)) {
        SetDropDownCount(c->DropDownCount());
        SetItems(c->Items());
        SetStyle(c->Style());
    }
}

// ----------------------------------------------------------- TNumericColumn

TNumericColumn::TNumericColumn(QObject* Owner) : TCustomColumn(Owner) {
    SetDefaultValue(QStringLiteral("0"));
    SetSortType(stNumeric);
    SetCellKind(ckFloat);
}

void TNumericColumn::SetFormatMask(const QString& Value) {
    FFormatMask = AnsiToWide(WideToAnsi(Value));
}

TCellEditorClass TNumericColumn::GetEditorClass() const {
    return TCellEditorClass::Of<TSpinEditor>();
}

TColumnDisplayClass TNumericColumn::GetDisplayClass() const {
    return &MakeOf<TColumnDisplay, TNumericColumnDisplay>;
}

QString TNumericColumn::GetDisplayText(const QString& Value) const {
    if (FFormatMask.isEmpty()) return Value + FTextAfter;
    return FormatFloat(FFormatMask, StrToFloat(Value)) + FTextAfter;
}

bool TNumericColumn::IsInputChar(QChar Key) const {
    return Key == u'+' || Key == u'-' || IsDigit(Key) || Key == FormatSettings.DecimalSeparator;
}

void TNumericColumn::PrepareEditor() {
    if (auto* editor = qobject_cast<TNumericEditor*>(Editor())) {
        editor->SetMax(FMax);
        editor->SetMin(FMin);
    }
}

void TNumericColumn::Assign(const QObject* Source) {
    TCustomColumn::Assign(Source);
    if (const auto* c = qobject_cast<const TNumericColumn*>(Source)) {
        SetFormatMask(c->FormatMask());
        SetMax(c->Max());
        SetMin(c->Min());
        SetTextAfter(c->TextAfter());
    }
}

// -------------------------------------------------------------- TDateColumn

TDateColumn::TDateColumn(QObject* Owner) : TCustomColumn(Owner) {
    SetDefaultValue(DateTimeToStr(Date()));
    SetSortType(stDate);
    SetCellKind(ckDateTime);
}

void TDateColumn::SetHideWhenEmpty(bool Value) {
    FHideWhenEmpty = Value;
    InvalidatePart(1);
}

TCellEditorClass TDateColumn::GetEditorClass() const {
    return TCellEditorClass::Of<TDatePickerEditor>();
}

TColumnDisplayClass TDateColumn::GetDisplayClass() const {
    return &MakeOf<TColumnDisplay, TDateColumnDisplay>;
}

bool TDateColumn::IsInputChar(QChar Key) const {
    return IsDigit(Key) || Key == FormatSettings.DateSeparator;
}

void TDateColumn::PrepareEditor() {
    if (auto* editor = qobject_cast<TDatePickerEditor*>(Editor()))
        editor->SetStyle(TTextualEditor::dsDropDown);
}

// ---------------------------------------------------------- TCheckBoxColumn

TCheckBoxColumn::TCheckBoxColumn(QObject* Owner) : TCustomColumn(Owner) {
    SetSortType(stNumeric);
    SetCellKind(ckBoolean);
}

TCellEditorClass TCheckBoxColumn::GetEditorClass() const {
    return TCellEditorClass::Of<TCheckBoxEditor>();
}

TColumnDisplayClass TCheckBoxColumn::GetDisplayClass() const {
    return &MakeOf<TColumnDisplay, TCheckBoxColumnDisplay>;
}

TColumnPlayClass TCheckBoxColumn::GetPlayClass() const {
    return &MakeOf<TColumnPlay, TCheckBoxColumnPlay>;
}

// -------------------------------------------------------------- THtmlColumn

THtmlColumn::THtmlColumn(QObject* Owner) : TCustomColumn(Owner) {
    SetCellKind(ckText);
}

TColumnDisplayClass THtmlColumn::GetDisplayClass() const {
    return &MakeOf<TColumnDisplay, THtmlColumnDisplay>;
}

// ------------------------------------------------------------- TImageColumn

TImageColumn::TImageColumn(QObject* Owner) : TCustomColumn(Owner) {
    SetDefaultValue(QStringLiteral("0"));
    SetSortType(stNumeric);
    SetCellKind(ckInteger);
}

void TImageColumn::SetMasked(bool Value) {
    FMasked = Value;
    InvalidatePart(1);
}

TColumnDisplayClass TImageColumn::GetDisplayClass() const {
    return &MakeOf<TColumnDisplay, TImageColumnDisplay>;
}

void TImageColumn::Assign(const QObject* Source) {
    TCustomColumn::Assign(Source);
    if (const auto* c = qobject_cast<const TImageColumn*>(Source)) {
        SetImages(c->Images());
        SetMasked(c->Masked());
        SetMasks(c->Masks());
    }
}

// ---------------------------------------------------------- TProgressColumn

TProgressColumn::TProgressColumn(QObject* Owner) : TCustomColumn(Owner) {
    SetDefaultValue(QStringLiteral("0"));
    SetSortType(stNumeric);
    SetCellKind(ckFloat);
}

void TProgressColumn::SetHideWhenEmpty(bool Value) {
    FHideWhenEmpty = Value;
    InvalidatePart(1);
}

void TProgressColumn::SetProgressColor(TColor Value) {
    FProgressColor = Value;
    InvalidatePart(1);
}

void TProgressColumn::SetProgressStyle(TProgressStyle Value) {
    FProgressStyle = Value;
    InvalidatePart(1);
}

TColumnDisplayClass TProgressColumn::GetDisplayClass() const {
    return &MakeOf<TColumnDisplay, TProgressColumnDisplay>;
}

void TProgressColumn::Assign(const QObject* Source) {
    TCustomColumn::Assign(Source);
    if (const auto* c = qobject_cast<const TProgressColumn*>(Source)) {
        SetBorderColor(c->BorderColor());
        SetMargin(c->Margin());
        SetMax(c->Max());
        SetProgressColor(c->ProgressColor());
        SetProgressStyle(c->ProgressStyle());
        SetShowText(c->ShowText());
    }
}

// -------------------------------------------------------------- TRateColumn

TRateColumn::TRateColumn(QObject* Owner) : TCustomColumn(Owner) {
    SetDefaultValue(QStringLiteral("0"));
    SetSortType(stNumeric);
    SetCellKind(ckInteger);
    for (int i = 0; i < int(FGlyphs.size()); ++i) {
        FGlyphs[std::size_t(i)] = std::make_unique<TBitmap>();
        FGlyphs[std::size_t(i)]->OnChange = [this, i] { GlyphChanged(i); };
    }
}

TRateColumn::~TRateColumn() = default;

void TRateColumn::GlyphChanged(int Which) {
    if (!FTransparent) return;
    TBitmap& bitmap = *FGlyphs[std::size_t(Which)];
    bitmap.SetTransparentColor(bitmap.Pixel(0, bitmap.Height() - 1));
    bitmap.SetTransparent(true);
}

QByteArray TRateColumn::ImageData(int Which) const {
    return BitmapToData(*FGlyphs[std::size_t(Which)]);
}

void TRateColumn::SetImageData(int Which, const QByteArray& Value) {
    BitmapFromData(*FGlyphs[std::size_t(Which)], Value);
}

void TRateColumn::SetHideWhenEmpty(bool Value) {
    FHideWhenEmpty = Value;
    InvalidatePart(1);
}

void TRateColumn::SetMasked(bool Value) {
    FMasked = Value;
    InvalidatePart(1);
}

void TRateColumn::SetMax(int Value) {
    if (Value == FMax) return;
    FMax = Value;
    InvalidatePart(1);
}

void TRateColumn::SetTransparent(bool Value) {
    FTransparent = Value;
    InvalidatePart(1);
}

void TRateColumn::Loaded() {
    TCustomColumn::Loaded();
    for (int i = 0; i < int(FGlyphs.size()); ++i)
        GlyphChanged(i);
}

TColumnDisplayClass TRateColumn::GetDisplayClass() const {
    return &MakeOf<TColumnDisplay, TRateColumnDisplay>;
}

void TRateColumn::Assign(const QObject* Source) {
    TCustomColumn::Assign(Source);
    if (const auto* c = qobject_cast<const TRateColumn*>(Source)) {
        SetEmptyGlyph(*c->EmptyGlyph());
        SetEmptyGlyphMask(*c->EmptyGlyphMask());
        SetGlyph(*c->Glyph());
        SetGlyphMask(*c->GlyphMask());
        SetMasked(c->Masked());
        SetMax(c->Max());
        SetTransparent(c->Transparent());
    }
}

// --------------------------------------------------------- TIncrementColumn

TIncrementColumn::TIncrementColumn(QObject* Owner) : TCustomColumn(Owner) {
    SetCellKind(ckIncrement);
}

TColumnDisplayClass TIncrementColumn::GetDisplayClass() const {
    return &MakeOf<TColumnDisplay, TIncrementColumnDisplay>;
}

// ----------------------------------------------------------- TGraphicColumn

TGraphicColumn::TGraphicColumn(QObject* Owner) : TCustomColumn(Owner) {
    SetCellKind(ckGraphic);
}

void TGraphicColumn::SetBorderWidth(int Value) {
    FBorderWidth = Value;
    InvalidatePart(1);
}

void TGraphicColumn::SetMargin(int Value) {
    FMargin = Value;
    InvalidatePart(1);
}

void TGraphicColumn::SetStrecht(bool Value) {
    FStrecht = Value;
    InvalidatePart(1);
}

TColumnDisplayClass TGraphicColumn::GetDisplayClass() const {
    return &MakeOf<TColumnDisplay, TGraphicColumnDisplay>;
}
