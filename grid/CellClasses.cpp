#include "CellClasses.h"

#include "Cells.h"
#include "CustomGridViewControl.h"

// A column of a million text cells costs the cell, one list entry and the
// text; keep the cells at the size the store's blocks are made for.
static_assert(sizeof(void*) != 8 || sizeof(TCell) <= 32);
static_assert(sizeof(void*) != 8 || sizeof(TBooleanCell) <= 32);
static_assert(sizeof(void*) != 8 || sizeof(TStringCell) <= 56);

// -------------------------------------------------------------------- TCell

TCell::TCell(TCells* Cells) : FCells(Cells) {}

TCell::~TCell() {
    if (FHasExtra) FCells->DropExtra(this);
}

TColor TCell::GetDrawColor() const {
    const TCustomGridViewControl* grid = FCells->Grid();
    return grid ? grid->GetCellColor(FCol, FRow) : FColor;
}

TColor TCell::GetDrawFontColor() const {
    const TCustomGridViewControl* grid = FCells->Grid();
    return grid ? grid->GetCellTextColor(FCol, FRow) : clWindowText;
}

void TCell::SetAsBoolean(bool) {
    FCells->Changed(FCol, FRow);
}

void TCell::SetAsDateTime(TDateTime) {
    FCells->Changed(FCol, FRow);
}

void TCell::SetAsFloat(double) {
    FCells->Changed(FCol, FRow);
}

void TCell::SetAsInteger(int) {
    FCells->Changed(FCol, FRow);
}

void TCell::SetAsWideString(const WideString&) {
    FCells->Changed(FCol, FRow);
}

void TCell::SetColor(TColor Value) {
    FColor = Value;
    if (!FCreating) FCells->Changed(FCol, FRow);
}

TBitmap* TCell::Graphic() const {
    return FHasExtra ? FCells->ExtraOf(this).Graphic : nullptr;
}

void TCell::SetGraphic(TBitmap* Value) {
    SetExtra(Value, Note());
}

const AnsiString& TCell::Note() const {
    static const AnsiString none;
    return FHasExtra ? FCells->ExtraOf(this).Note : none;
}

void TCell::SetNote(const AnsiString& Value) {
    SetExtra(Graphic(), Value);
}

void TCell::SetExtra(TBitmap* Graphic, const AnsiString& Note) {
    if (!Graphic && Note.isEmpty()) {
        if (FHasExtra) FCells->DropExtra(this);
        FHasExtra = false;
        return;
    }
    TCellExtra& extra = FCells->ExtraFor(this);
    extra.Graphic = Graphic;
    extra.Note = Note;
    FHasExtra = true;
}

// ------------------------------------------------------------- TBooleanCell

bool TBooleanCell::GetAsBoolean() const {
    return FValue;
}

TDateTime TBooleanCell::GetAsDateTime() const {
    return 0.0;
}

double TBooleanCell::GetAsFloat() const {
    return 0.0;
}

int TBooleanCell::GetAsInteger() const {
    return 0;
}

void TBooleanCell::GetAsWideString(WideString& Value) const {
    Value = BoolToStr(FValue);
}

void TBooleanCell::SetAsBoolean(bool Value) {
    FValue = Value;
    TCell::SetAsBoolean(Value);
}

void TBooleanCell::SetAsDateTime(TDateTime Value) {
    FValue = false;
    TCell::SetAsDateTime(Value);
}

void TBooleanCell::SetAsFloat(double Value) {
    FValue = Value > 0.0;
    TCell::SetAsFloat(Value);
}

void TBooleanCell::SetAsInteger(int Value) {
    FValue = Value > 0;
    TCell::SetAsInteger(Value);
}

void TBooleanCell::SetAsWideString(const WideString& Value) {
    // Compared in the 8-bit code page, where only the ASCII letters have
    // other cases that spell "true".
    FValue = WideToAnsi(Value).toLower() == "true";
    TCell::SetAsWideString(Value);
}

// ------------------------------------------------------------ TDateTimeCell

bool TDateTimeCell::GetAsBoolean() const {
    return false;
}

TDateTime TDateTimeCell::GetAsDateTime() const {
    return FValue;
}

double TDateTimeCell::GetAsFloat() const {
    return FValue;
}

int TDateTimeCell::GetAsInteger() const {
    return Round(FValue);
}

void TDateTimeCell::GetAsWideString(WideString& Value) const {
    Value = DateTimeToStr(FValue);
}

void TDateTimeCell::SetAsBoolean(bool Value) {
    FValue = Date();
    TCell::SetAsBoolean(Value);
}

void TDateTimeCell::SetAsDateTime(TDateTime Value) {
    FValue = Value;
    TCell::SetAsDateTime(Value);
}

void TDateTimeCell::SetAsFloat(double Value) {
    FValue = Value;
    TCell::SetAsFloat(Value);
}

void TDateTimeCell::SetAsInteger(int Value) {
    FValue = Value;
    TCell::SetAsInteger(Value);
}

void TDateTimeCell::SetAsWideString(const WideString& Value) {
    FValue = StrToDateTime(Value);
    TCell::SetAsWideString(Value);
}

// --------------------------------------------------------------- TFloatCell

bool TFloatCell::GetAsBoolean() const {
    return false;
}

TDateTime TFloatCell::GetAsDateTime() const {
    return FValue;
}

double TFloatCell::GetAsFloat() const {
    return FValue;
}

int TFloatCell::GetAsInteger() const {
    return Round(FValue);
}

void TFloatCell::GetAsWideString(WideString& Value) const {
    Value = FloatToStr(FValue);
}

void TFloatCell::SetAsBoolean(bool Value) {
    FValue = 0.0;
    TCell::SetAsBoolean(Value);
}

void TFloatCell::SetAsDateTime(TDateTime Value) {
    FValue = Value;
    TCell::SetAsDateTime(Value);
}

void TFloatCell::SetAsFloat(double Value) {
    FValue = Value;
    TCell::SetAsFloat(Value);
}

void TFloatCell::SetAsInteger(int Value) {
    FValue = Value;
    TCell::SetAsInteger(Value);
}

void TFloatCell::SetAsWideString(const WideString& Value) {
    FValue = StrToFloat(Value);
    TCell::SetAsWideString(Value);
}

// ------------------------------------------------------------- TIntegerCell

bool TIntegerCell::GetAsBoolean() const {
    return false;
}

TDateTime TIntegerCell::GetAsDateTime() const {
    return 0.0;
}

double TIntegerCell::GetAsFloat() const {
    return FValue;
}

int TIntegerCell::GetAsInteger() const {
    return FValue;
}

void TIntegerCell::GetAsWideString(WideString& Value) const {
    Value = IntToStr(FValue);
}

void TIntegerCell::SetAsBoolean(bool Value) {
    FValue = 0;
    TCell::SetAsBoolean(Value);
}

void TIntegerCell::SetAsDateTime(TDateTime Value) {
    FValue = 0;
    TCell::SetAsDateTime(Value);
}

void TIntegerCell::SetAsFloat(double Value) {
    FValue = Round(Value);
    TCell::SetAsFloat(Value);
}

void TIntegerCell::SetAsInteger(int Value) {
    FValue = Value;
    TCell::SetAsInteger(Value);
}

void TIntegerCell::SetAsWideString(const WideString& Value) {
    FValue = StrToInt(Value);
    TCell::SetAsWideString(Value);
}

// -------------------------------------------------------------- TStringCell

bool TStringCell::GetAsBoolean() const {
    return StrToBool(FValue);
}

TDateTime TStringCell::GetAsDateTime() const {
    return StrToDateTime(FValue);
}

double TStringCell::GetAsFloat() const {
    return StrToFloat(FValue);
}

int TStringCell::GetAsInteger() const {
    return StrToInt(FValue);
}

void TStringCell::GetAsWideString(WideString& Value) const {
    Value = FValue;
}

void TStringCell::SetAsBoolean(bool Value) {
    FValue = BoolToStr(Value);
    TCell::SetAsBoolean(Value);
}

void TStringCell::SetAsDateTime(TDateTime Value) {
    FValue = DateTimeToStr(Value);
    TCell::SetAsDateTime(Value);
}

void TStringCell::SetAsFloat(double Value) {
    FValue = FloatToStr(Value);
    TCell::SetAsFloat(Value);
}

void TStringCell::SetAsInteger(int Value) {
    FValue = IntToStr(Value);
    TCell::SetAsInteger(Value);
}

void TStringCell::SetAsWideString(const WideString& Value) {
    FValue = Value;
    TCell::SetAsWideString(Value);
}
