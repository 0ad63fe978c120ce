#include "Columns.h"

#include "CellEditors.h"
#include "CustomGridViewControl.h"
#include "Displays.h"
#include "SysUtils.h"

#include <QBuffer>
#include <QImage>
#include <algorithm>
#include <climits>
#include <cstdint>

void AssignError(const QObject* Source, const QObject* Dest) {
    const QString source =
        Source ? QLatin1String(Source->metaObject()->className()) : QStringLiteral("nil");
    throw EConvertError(QStringLiteral("Cannot assign a %1 to a %2")
                            .arg(source, QLatin1String(Dest->metaObject()->className())));
}

QByteArray BitmapToData(const TBitmap& Bitmap) {
    if (Bitmap.Empty()) return {};
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    Bitmap.Image().save(&buffer, "PNG");
    return bytes;
}

void BitmapFromData(TBitmap& Bitmap, const QByteArray& Data) {
    if (Data.isEmpty()) {
        Bitmap.SetImage(QImage());
        return;
    }
    const QImage image = QImage::fromData(Data);
    if (image.isNull()) throw EConvertError(QStringLiteral("Bitmap image is not valid"));
    Bitmap.SetImage(image);
}

// -------------------------------------------------------------- TColumnPart

TColumnPart::TColumnPart(TCustomColumn* Column) : FColumn(Column) {}

void TColumnPart::SetCaption(const QString& Value) {
    FCaption = Value;
    Changed();
}

void TColumnPart::SetColor(TColor Value) {
    FColor = Value;
    Changed();
}

void TColumnPart::Changed() {
    OnChange(this);
}

void TColumnPart::Assign(const QObject* Source) {
    const auto* part = qobject_cast<const TColumnPart*>(Source);
    if (!part) AssignError(Source, this);
    SetCaption(part->Caption());
    SetColor(part->Color());
}

// ------------------------------------------------------------ TColumnHeader

TColumnHeader::TColumnHeader(TCustomColumn* Column)
    : TColumnPart(Column), FGlyph(std::make_unique<TBitmap>()) {
    SetColor(clBtnFace);
    FGlyph->OnChange = [this] { GlyphChanged(); };
}

void TColumnHeader::SetDisplayMode(TDisplayMode Value) {
    FDisplayMode = Value;
    Changed();
}

void TColumnHeader::SetGlyph(const TBitmap& Value) {
    // The copy fires the glyph's change, which reports the header's.
    *FGlyph = Value;
}

QByteArray TColumnHeader::GlyphData() const {
    return BitmapToData(*FGlyph);
}

void TColumnHeader::SetGlyphData(const QByteArray& Value) {
    BitmapFromData(*FGlyph, Value);
}

void TColumnHeader::GlyphChanged() {
    // The bottom-left pixel is the background the glyph was drawn on.
    FGlyph->SetTransparentColor(FGlyph->Pixel(0, FGlyph->Height() - 1));
    FGlyph->SetTransparent(true);
    Changed();
}

void TColumnHeader::Assign(const QObject* Source) {
    TColumnPart::Assign(Source);
    if (const auto* header = qobject_cast<const TColumnHeader*>(Source)) {
        SetDisplayMode(header->DisplayMode());
        SetGlyph(*header->Glyph());
    }
}

// ------------------------------------------------------------ TColumnFooter

TColumnFooter::TColumnFooter(TCustomColumn* Column) : TColumnPart(Column) {
    SetColor(clWindow);
}

void TColumnFooter::SetFormulaKind(TFormulaKind Value) {
    FFormulaKind = Value;
    Changed();
}

void TColumnFooter::Assign(const QObject* Source) {
    TColumnPart::Assign(Source);
    if (const auto* footer = qobject_cast<const TColumnFooter*>(Source))
        SetFormulaKind(footer->FormulaKind());
}

// ------------------------------------------------------------- TSlideBounds

TSlideBounds::TSlideBounds(TCustomColumn* Column) : FColumn(Column) {}

void TSlideBounds::Assign(const QObject* Source) {
    const auto* bounds = qobject_cast<const TSlideBounds*>(Source);
    if (!bounds) AssignError(Source, this);
    SetHeight(bounds->Height());
    SetLeft(bounds->Left());
    SetTop(bounds->Top());
    SetWidth(bounds->Width());
}

// ------------------------------------------------------------ TCustomColumn

TCustomColumn::TCustomColumn(QObject* Owner) : TComponent(Owner) {
    // The companions come later (CreateCompanions): the classes a type
    // names are not known while its base is being built.
    FFont = std::make_unique<TFont>();
    FFont->OnChange = [this] { PartChanged(); };
    FFooter = std::make_unique<TColumnFooter>(this);
    FFooter->OnChange = [this](QObject*) { PartChanged(); };
    FHeader = std::make_unique<TColumnHeader>(this);
    FHeader->OnChange = [this](QObject*) { PartChanged(); };
    FSlideBounds = std::make_unique<TSlideBounds>(this);
    SetCellKind(ckText);
}

TCustomColumn::~TCustomColumn() {
    // The editor may have been taken over by a grid window that went first.
    delete FEditor.data();
    FFont.reset();
    FFooter.reset();
    FHeader.reset();
    FSlideBounds.reset();
    FDisplay.reset();
    FPlay.reset();
}

void TCustomColumn::CreateCompanions() const {
    if (FCompanionsMade) return;
    FCompanionsMade = true;
    auto* self = const_cast<TCustomColumn*>(this);
    if (const TCellEditorClass editor = GetEditorClass()) {
        FEditor = editor.Create(self);
        FEditor->SetVisible(false);
    }
    if (const TColumnDisplayClass display = GetDisplayClass()) FDisplay.reset(display(self));
    if (const TColumnPlayClass play = GetPlayClass()) FPlay.reset(play(self));
}

TCellEditor* TCustomColumn::Editor() const {
    CreateCompanions();
    return FEditor.data();
}

TColumnDisplay* TCustomColumn::Display() const {
    CreateCompanions();
    return FDisplay.get();
}

TColumnPlay* TCustomColumn::Play() const {
    CreateCompanions();
    return FPlay.get();
}

int TCustomColumn::Index() const {
    return FColumns ? FColumns->IndexOf(this) : -1;
}

bool TCustomColumn::GridLoading() const {
    return FColumns && FColumns->IsLoading();
}

void TCustomColumn::Changed(TColumnChange Kind) {
    if (FColumns) FColumns->OnColumnChange(FColumns, this, Kind);
}

void TCustomColumn::PartChanged() {
    if (!FMutingParts) Changed(ccAppearance);
}

void TCustomColumn::SetCellKind(TCellKind Value) {
    FCellKind = Value;
}

void TCustomColumn::SetAlignment(TAlignment Value) {
    FAlignment = Value;
    Changed(ccAppearance);
}

void TCustomColumn::SetColor(TColor Value) {
    FColor = Value;
    Changed(ccAppearance);
}

void TCustomColumn::SetCursor(TControl::TCursor Value) {
    FCursor = Value;
    Changed(ccAppearance);
}

void TCustomColumn::SetDefaultValue(const QString& Value) {
    FDefaultValue = Value;
}

void TCustomColumn::SetDefaultWidth(int Value) {
    FDefaultWidth = Value;
}

void TCustomColumn::SetDrawingOptions(TDrawingOptions Value) {
    FDrawingOptions = Value;
    Changed(ccAppearance);
}

void TCustomColumn::SetFont(const TFont& Value) {
    FMutingParts = true;
    FFont->Assign(Value);
    FMutingParts = false;
    Changed(ccAppearance);
}

void TCustomColumn::SetFooter(const TColumnFooter& Value) {
    FMutingParts = true;
    try {
        FFooter->Assign(&Value);
    } catch (...) {
        FMutingParts = false;
        throw;
    }
    FMutingParts = false;
    Changed(ccAppearance);
}

void TCustomColumn::SetHeader(const TColumnHeader& Value) {
    FMutingParts = true;
    try {
        FHeader->Assign(&Value);
    } catch (...) {
        FMutingParts = false;
        throw;
    }
    FMutingParts = false;
    Changed(ccAppearance);
}

void TCustomColumn::SetSlideBounds(const TSlideBounds& Value) {
    FSlideBounds->Assign(&Value);
    Changed(ccAppearance);
}

void TCustomColumn::SetFormulaKind(TFormulaKind Value) {
    FFormulaKind = Value;
    Changed(ccAppearance);
}

void TCustomColumn::SetInputCaption(const QString& Value) {
    FInputCaption = Value;
    Changed(ccAppearance);
}

void TCustomColumn::SetInputValue(const QString& Value) {
    FInputValue = Value;
    Changed(ccInputValue);
}

void TCustomColumn::SetOptions(TColumnOptions Value) {
    if (FColumns && Value.testFlag(coSearchColumn) && !FOptions.testFlag(coSearchColumn)) {
        // One search column at a time. A copy of the list: an options
        // handler may change the collection.
        const std::vector<TCustomColumn*> items = FColumns->FItems;
        for (TCustomColumn* other : items)
            if (other != this)
                other->SetOptions(other->Options() & ~TColumnOptions(coSearchColumn));
    }
    FOptions = Value;
    Changed(ccAppearance);
}

void TCustomColumn::SetPosition(int Value) {
    if (FColumns && !GridLoading()) {
        // Columns read with equal Positions share a number until the first
        // move renumbers them; the column is moved from where it is shown,
        // not from the place its number names for another column.
        int current = FPosition;
        const std::vector<TCustomColumn*>& shown = FColumns->FDisplayItems;
        if (current >= 0 && current < static_cast<int>(shown.size()) &&
            shown[static_cast<std::size_t>(current)] != this) {
            const auto it = std::find(shown.begin(), shown.end(), this);
            if (it != shown.end()) current = static_cast<int>(it - shown.begin());
        }
        FColumns->MoveColumn(current, Value);
        Changed(ccPosition);
    }
    FPosition = Value;
}

void TCustomColumn::SetSorted(bool Value) {
    if (FColumns && Value && Value != FSorted)
        for (TCustomColumn* other : FColumns->FItems)
            other->FSorted = false;
    FSorted = Value;
    Changed(ccSort);
}

void TCustomColumn::SetSortKind(TSortKind Value) {
    FSortKind = Value;
    Changed(ccSort);
}

void TCustomColumn::SetSortType(TSortType Value) {
    FSortType = Value;
    Changed(ccSort);
}

void TCustomColumn::SetVerticalAlignment(TVerticalAlignment Value) {
    FVerticalAlignment = Value;
    Changed(ccAppearance);
}

void TCustomColumn::SetVisible(bool Value) {
    FVisible = Value;
    if (FColumns) FColumns->UpdateLayout(false);
    Changed(ccVisible);
}

void TCustomColumn::SetWidth(int Value) {
    FWidth = std::max(Value, MinWidth);
    if (FColumns && !GridLoading()) FColumns->UpdateLayout(false);
    Changed(ccWidth);
    if (FColumns && FColumns->Grid() && FColumns->Grid()->IsDesigning()) FDefaultWidth = FWidth;
}

void TCustomColumn::SetWrapKind(TWrapKind Value) {
    FWrapKind = Value;
}

TRect TCustomColumn::GetPartRect(int Kind) const {
    const TCustomGridViewControl* grid = FColumns ? FColumns->Grid() : nullptr;
    if (!grid) return {};
    TRect band;
    switch (Kind) {
    case 0:
        band = grid->GetFooterRect();
        band.Top += 4;
        break;
    case 1:
        band = grid->GetHeaderRect();
        break;
    case 4:
        band = grid->GetInputRect();
        band.Bottom -= 6;
        break;
    default:
        return {};
    }
    const int left = FLeft - grid->HorzScrollBar()->Position();
    return {left, band.Top, left + FWidth, band.Bottom};
}

void TCustomColumn::InvalidatePart(int Area) const {
    if (FColumns && FColumns->Grid())
        FColumns->Grid()->InvalidateColumnPart(const_cast<TCustomColumn*>(this), Area);
}

bool TCustomColumn::IsPressed() const {
    return FColumns && FColumns->Grid() && FColumns->Grid()->PressedColumn() == this;
}

bool TCustomColumn::IsHot() const {
    return FColumns && FColumns->Grid() && FColumns->Grid()->HotColumn() == this;
}

bool TCustomColumn::IsCurrent() const {
    return FColumns && FColumns->Grid() && FColumns->Grid()->Col() == Index();
}

bool TCustomColumn::IsOnlyVisible() const {
    return FVisible && FColumns && FColumns->VisibleCount() == 1;
}

int TCustomColumn::VisiblePlace() const {
    if (IsOnlyVisible()) return 0;
    if (FVisibleIndex < 0 || !FColumns) return 2;
    if (FVisibleIndex == 0) return 1;
    if (FVisibleIndex == FColumns->VisibleCount() - 1) return 3;
    return 2;
}

void TCustomColumn::Assign(const QObject* Source) {
    const auto* c = qobject_cast<const TCustomColumn*>(Source);
    if (!c) AssignError(Source, this);
    SetAlignment(c->Alignment());
    SetColor(c->Color());
    SetCursor(c->Cursor());
    SetDefaultValue(c->DefaultValue());
    SetDrawingOptions(c->DrawingOptions());
    SetFont(*c->Font());
    SetFooter(*c->Footer());
    SetHeader(*c->Header());
    SetInputCaption(c->InputCaption());
    SetInputValue(c->InputValue());
    SetOptions(c->Options());
    SetPosition(c->Position());
    SetSlideBounds(*c->SlideBounds());
    SetSorted(c->Sorted());
    SetSortKind(c->SortKind());
    SetVerticalAlignment(c->VerticalAlignment());
    SetVisible(c->Visible());
    SetWidth(c->Width());
    SetWrapKind(c->WrapKind());
}

// ----------------------------------------------------------------- TColumns

TColumns::TColumns(TCustomGridViewControl* Grid) : TComponent(Grid), FGrid(Grid) {
    if (FGrid) {
        // The hook may outlive the collection (a grid that keeps another
        // one); it then does nothing.
        FGrid->OnLayoutChange = [self = QPointer<TColumns>(this)](QObject*) {
            if (self) self->UpdateLayout(false);
        };
    }
}

TColumns::~TColumns() {
    FreeItems();
}

TCustomColumn* TColumns::Items(int Index) const {
    if (Index < 0 || Index >= Count()) ListIndexError(Index);
    return FItems[static_cast<std::size_t>(Index)];
}

TCustomColumn* TColumns::DisplayItems(int Index) const {
    if (Index < 0 || Index >= static_cast<int>(FDisplayItems.size())) ListIndexError(Index);
    return FDisplayItems[static_cast<std::size_t>(Index)];
}

int TColumns::IndexOf(const TCustomColumn* Column) const {
    const auto it = std::find(FItems.begin(), FItems.end(), Column);
    return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

int TColumns::VisibleCount() const {
    return static_cast<int>(std::count_if(FItems.begin(), FItems.end(),
                                          [](const TCustomColumn* c) { return c->Visible(); }));
}

int TColumns::VisibleWidth() const {
    // Widths are at least 8 each and a grid holds at most 1025 columns, but
    // a width may be anything up to the largest integer: the sum saturates.
    std::int64_t sum = 0;
    for (const TCustomColumn* c : FItems)
        if (c->Visible()) sum += c->Width();
    return static_cast<int>(std::min<std::int64_t>(sum, INT_MAX));
}

bool TColumns::IsLoading() const {
    return FGrid && FGrid->IsLoading();
}

int TColumns::DataLeft() const {
    return FGrid ? FGrid->GetDataRect().Left : 0;
}

void TColumns::Add(TCustomColumn* Column) {
    // A column stands in the lists once: the collection frees it once.
    if (IndexOf(Column) >= 0) return;
    if (Count() >= MaxColumns)
        throw EListError(QStringLiteral("A grid holds at most %1 columns").arg(MaxColumns));
    Column->setParent(this);
    Column->FColumns = this;
    FItems.push_back(Column);
    const auto place =
        std::find_if(FDisplayItems.begin(), FDisplayItems.end(),
                     [&](const TCustomColumn* c) { return c->Position() > Column->Position(); });
    FDisplayItems.insert(place, Column);
    UpdateLayout(false);
    OnCellsChange(this, scAdded, -1, -1);
    OnStructureChange(this, scAdded, -1, -1);
}

void TColumns::MoveColumn(int CurPos, int NewPos) {
    if (CurPos == NewPos) return;
    const int count = static_cast<int>(FDisplayItems.size());
    if (CurPos < 0 || CurPos >= count) ListIndexError(CurPos);
    if (NewPos < 0 || NewPos >= count) ListIndexError(NewPos);
    TCustomColumn* column = FDisplayItems[static_cast<std::size_t>(CurPos)];
    FDisplayItems.erase(FDisplayItems.begin() + CurPos);
    FDisplayItems.insert(FDisplayItems.begin() + NewPos, column);
    UpdateLayout(true);
    OnColumnChange(this, FDisplayItems[static_cast<std::size_t>(NewPos)], ccPosition);
}

void TColumns::Clear() {
    FreeItems();
    OnCellsChange(this, scCleared, -1, -1);
    OnStructureChange(this, scCleared, -1, -1);
}

void TColumns::UpdateLayout(bool Renumber) {
    std::int64_t x = DataLeft();
    int v = 0;
    for (std::size_t i = 0; i < FDisplayItems.size(); ++i) {
        TCustomColumn* c = FDisplayItems[i];
        if (c->Visible()) {
            c->FLeft = static_cast<int>(std::min<std::int64_t>(x, INT_MAX));
            c->FVisibleIndex = v;
            x += c->Width();
            ++v;
        } else {
            c->FVisibleIndex = -1;
        }
        if (Renumber) c->FPosition = static_cast<int>(i);
    }
}

void TColumns::AutoSizeColumns(int ClientWidth) {
    const auto sized = [](const TCustomColumn* c) {
        return c->Visible() && c->Options().testFlag(coAutoSize) &&
               !c->Options().testFlag(coFixedSize);
    };
    // 64-bit throughout: width times room overflows 32 bits for wide grids.
    std::int64_t fixed = 0;
    std::int64_t all = 0;
    for (const TCustomColumn* c : FItems) {
        if (!c->Visible()) continue;
        all += c->Width();
        if (!sized(c)) fixed += c->Width();
    }
    std::int64_t room = std::int64_t(ClientWidth) - DataLeft() - fixed;
    std::int64_t rest = all - fixed;
    if (rest < 0) rest = 1;
    // A copy: a width handler may change the collection.
    const std::vector<TCustomColumn*> items = FItems;
    for (TCustomColumn* c : items) {
        if (!sized(c) || rest <= 0) continue;
        const std::int64_t w = c->Width();
        const std::int64_t n = w * room;
        std::int64_t q = n / rest;
        if (n % rest > rest / 2) ++q;
        c->SetWidth(static_cast<int>(std::clamp<std::int64_t>(q, INT_MIN, INT_MAX)));
        room -= q;
        rest -= w;
    }
}

void TColumns::FreeItems() {
    // Taken out of the lists first, so nothing reaches a column being freed.
    std::vector<TCustomColumn*> items;
    items.swap(FItems);
    FDisplayItems.clear();
    for (TCustomColumn* column : items)
        delete column;
}
