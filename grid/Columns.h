#pragma once
// The grid's column collection and the base of every column type.
//
// A grid owns one collection (TColumns), which owns the grid's columns. A
// column carries what the grid needs to lay out, draw, edit, sort and total
// one vertical strip: its width and place, its header and footer parts, its
// place inside a slide, its text layout, its options, and three companions
// its type chooses (an editor, a display that paints its cells, and for
// some types a play element that reacts to keys and clicks in its cells).
//
// Two numbers of a column must not be confused: its Index, its place in
// the order columns were added (cells are addressed by it), and its
// Position, its place from left to right on the screen (the entry of
// DisplayItems it stands at).
//
// Columns come from window layouts: each is an unnamed child of its grid's
// entry, attached to the grid's collection while it is read. Every number,
// Boolean, enumeration and set property is written; the header, the footer
// and the slide bounds as nested parts (Header.Caption, SlideBounds.Left).

#include "Canvas.h"
#include "CellEditors.h"
#include "Classes.h"
#include "Controls.h"
#include "Graphics.h"
#include "SharedClasses.h"
#include "Types.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <cstdint>
#include <memory>
#include <vector>

class TColumnDisplay;
class TColumnPlay;
class TColumns;
class TCustomColumn;
class TCustomGridViewControl;

namespace GridColumns {
Q_NAMESPACE

// The kind of value a column's cells hold; it chooses the cell class.
enum TCellKind : std::uint8_t {
    ckIncrement,
    ckNone,
    ckGraphic,
    ckBoolean,
    ckDateTime,
    ckFloat,
    ckInteger,
    ckText
};
Q_ENUM_NS(TCellKind)

enum TSortType { stAlphabetic, stBoolean, stNumeric, stDate, stIP };
Q_ENUM_NS(TSortType)

enum TSortKind { skAscending, skDescending };
Q_ENUM_NS(TSortKind)

// How a text that does not fit its cell is treated.
enum TWrapKind { wkNone, wkEllipsis, wkWordWrap };
Q_ENUM_NS(TWrapKind)

// Who paints a column's cells: the display (doNormal), the display and then
// the grid's custom-draw event (doCustom), or only the event after the
// background (doBackgroundOnly, doCustomOnly).
enum TDrawingOptions { doNormal, doBackgroundOnly, doCustom, doCustomOnly };
Q_ENUM_NS(TDrawingOptions)

// The total the grid computes into a column's footer.
enum TFormulaKind { fkNone, fkAverage, fkMaximum, fkMinimum, fkSum };
Q_ENUM_NS(TFormulaKind)

// What a header shows: its glyph, its glyph and caption, or its caption.
enum TDisplayMode { dmImageOnly, dmTextAndImage, dmTextOnly };
Q_ENUM_NS(TDisplayMode)

// The column's behaviour switches; bit n is option n.
enum TColumnOption : unsigned {
    coAutoSize = 0x0001,
    coCanClick = 0x0002,
    coCanSort = 0x0004,
    coEditing = 0x0008,
    coCanInput = 0x0010,
    coEditorAutoSelect = 0x0020,
    coFixedSize = 0x0040,
    coImageForIcon = 0x0080,
    coDontHighlight = 0x0100,
    coPublicUsing = 0x0200,
    coSearchColumn = 0x0400,
    coShowTextFitHint = 0x0800,
    coTextForCaption = 0x1000,
};
Q_DECLARE_FLAGS(TColumnOptions, TColumnOption)
Q_FLAG_NS(TColumnOptions)

// What changed of one column, as its collection reports it to the grid.
enum TColumnChange : std::uint8_t {
    ccRepaint,    // not raised by the columns; a receiver repaints everything
    ccInputValue, // the text of the column's input-row cell
    ccPosition,   // the column moved in the display order
    ccSort,       // Sorted, SortKind or SortType
    ccAppearance, // anything that changes how the column looks
    ccVisible,
    ccWidth,
};
Q_ENUM_NS(TColumnChange)

// A change of the collection's structure. The collection itself appends
// columns and removes them all; the other kinds name changes of one column
// that a receiver may be told of.
enum TColumnsChange { scAdded = 0, scDeleted = 1, scCleared = 2, scInserted = 3, scMoved = 4 };
Q_ENUM_NS(TColumnsChange)

} // namespace GridColumns

Q_DECLARE_OPERATORS_FOR_FLAGS(GridColumns::TColumnOptions)

using GridColumns::ckBoolean;
using GridColumns::ckDateTime;
using GridColumns::ckFloat;
using GridColumns::ckGraphic;
using GridColumns::ckIncrement;
using GridColumns::ckInteger;
using GridColumns::ckNone;
using GridColumns::ckText;
using GridColumns::TCellKind;

using GridColumns::stAlphabetic;
using GridColumns::stBoolean;
using GridColumns::stDate;
using GridColumns::stIP;
using GridColumns::stNumeric;
using GridColumns::TSortType;

using GridColumns::skAscending;
using GridColumns::skDescending;
using GridColumns::TSortKind;

using GridColumns::TWrapKind;
using GridColumns::wkEllipsis;
using GridColumns::wkNone;
using GridColumns::wkWordWrap;

using GridColumns::doBackgroundOnly;
using GridColumns::doCustom;
using GridColumns::doCustomOnly;
using GridColumns::doNormal;
using GridColumns::TDrawingOptions;

using GridColumns::fkAverage;
using GridColumns::fkMaximum;
using GridColumns::fkMinimum;
using GridColumns::fkNone;
using GridColumns::fkSum;
using GridColumns::TFormulaKind;

using GridColumns::dmImageOnly;
using GridColumns::dmTextAndImage;
using GridColumns::dmTextOnly;
using GridColumns::TDisplayMode;

using GridColumns::coAutoSize;
using GridColumns::coCanClick;
using GridColumns::coCanInput;
using GridColumns::coCanSort;
using GridColumns::coDontHighlight;
using GridColumns::coEditing;
using GridColumns::coEditorAutoSelect;
using GridColumns::coFixedSize;
using GridColumns::coImageForIcon;
using GridColumns::coPublicUsing;
using GridColumns::coSearchColumn;
using GridColumns::coShowTextFitHint;
using GridColumns::coTextForCaption;
using GridColumns::TColumnOption;
using GridColumns::TColumnOptions;

using GridColumns::ccAppearance;
using GridColumns::ccInputValue;
using GridColumns::ccPosition;
using GridColumns::ccRepaint;
using GridColumns::ccSort;
using GridColumns::ccVisible;
using GridColumns::ccWidth;
using GridColumns::TColumnChange;

using GridColumns::scAdded;
using GridColumns::scCleared;
using GridColumns::scDeleted;
using GridColumns::scInserted;
using GridColumns::scMoved;
using GridColumns::TColumnsChange;

// The structure notification: the collection, the kind, two column indices.
using TColumnsChangeEvent = TEvent<TColumns*, TColumnsChange, int, int>;
// One column changed: the collection, the column, what changed.
using TColumnChangeEvent = TEvent<TColumns*, TCustomColumn*, TColumnChange>;

// The classes a column type makes its companions of (empty or null: the
// type has none). The editor class is a class reference of the editors
// (TClassRef<TCellEditor>::Of<T>(), made with the column as owner); the
// display and play classes, which are no components, are makers given the
// column (MakeOf<Base, T>).
using TCellEditorClass = TClassRef<TCellEditor>;
using TColumnDisplayClass = TColumnDisplay* (*)(TCustomColumn* Column);
using TColumnPlayClass = TColumnPlay* (*)(TCustomColumn* Column);

template <class Base, class T> Base* MakeOf(TCustomColumn* Column) {
    return new T(Column);
}

// The copy of any other object into a persistent: raises EConvertError
// "Cannot assign a <source class> to a <destination class>" ("nil" for none).
[[noreturn]] void AssignError(const QObject* Source, const QObject* Dest);

// Encodes a picture as a layout stores it (PNG bytes, empty for none) and
// back; bytes that are no picture raise EConvertError "Bitmap image is not
// valid" and leave the picture as it was.
QByteArray BitmapToData(const TBitmap& Bitmap);
void BitmapFromData(TBitmap& Bitmap, const QByteArray& Data);

// ------------------------------------------------------------- the parts

// What the header and the footer of a column share: a caption and a colour.
// Every change fires OnChange, which the owning column turns into its
// appearance change.
class TColumnPart : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(int Color READ Color WRITE SetColor)
public:
    explicit TColumnPart(TCustomColumn* Column);

    TCustomColumn* Column() const { return FColumn; }
    const QString& Caption() const { return FCaption; }
    void SetCaption(const QString& Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);

    TNotifyEvent OnChange;
    // Fires OnChange.
    virtual void Changed();

    // From another part: Caption and Color through their setters; from
    // anything else the assignment error.
    virtual void Assign(const QObject* Source);

private:
    TCustomColumn* FColumn;
    QString FCaption;
    TColor FColor = clBlack;
};

class TColumnHeader : public TColumnPart {
    Q_OBJECT
    Q_PROPERTY(GridColumns::TDisplayMode DisplayMode READ DisplayMode WRITE SetDisplayMode)
    // The glyph as a layout stores it: the picture's PNG bytes.
    Q_PROPERTY(QByteArray Glyph READ GlyphData WRITE SetGlyphData)
public:
    explicit TColumnHeader(TCustomColumn* Column);

    TDisplayMode DisplayMode() const { return FDisplayMode; }
    void SetDisplayMode(TDisplayMode Value);
    // The header's own picture. Any change of it (setting, loading,
    // resizing) makes its bottom-left pixel the transparent colour.
    TBitmap* Glyph() const { return FGlyph.get(); }
    // Copies the given picture into the header's own.
    void SetGlyph(const TBitmap& Value);
    QByteArray GlyphData() const;
    // Raises EConvertError "Bitmap image is not valid" for bytes that are no
    // picture; empty bytes empty the glyph.
    void SetGlyphData(const QByteArray& Value);

    // Also DisplayMode and Glyph from another header.
    void Assign(const QObject* Source) override;

protected:
    virtual void GlyphChanged();

private:
    TDisplayMode FDisplayMode = dmTextOnly;
    std::unique_ptr<TBitmap> FGlyph;
};

class TColumnFooter : public TColumnPart {
    Q_OBJECT
    Q_PROPERTY(GridColumns::TFormulaKind FormulaKind READ FormulaKind WRITE SetFormulaKind)
public:
    explicit TColumnFooter(TCustomColumn* Column);

    // Stored and copied with the footer; the total the grid computes
    // follows the column's own FormulaKind.
    TFormulaKind FormulaKind() const { return FFormulaKind; }
    void SetFormulaKind(TFormulaKind Value);

    void Assign(const QObject* Source) override;

private:
    TFormulaKind FFormulaKind = fkNone;
};

// Where the column's cell lies inside a slide (the grid's slide style):
// offsets from the slide's top-left corner and a size. Setting a value only
// stores it.
class TSlideBounds : public QObject {
    Q_OBJECT
    Q_PROPERTY(int Left READ Left WRITE SetLeft)
    Q_PROPERTY(int Top READ Top WRITE SetTop)
    Q_PROPERTY(int Height READ Height WRITE SetHeight)
    Q_PROPERTY(int Width READ Width WRITE SetWidth)
public:
    explicit TSlideBounds(TCustomColumn* Column);

    TCustomColumn* Column() const { return FColumn; }
    int Left() const { return FLeft; }
    void SetLeft(int Value) { FLeft = Value; }
    int Top() const { return FTop; }
    void SetTop(int Value) { FTop = Value; }
    int Height() const { return FHeight; }
    void SetHeight(int Value) { FHeight = Value; }
    int Width() const { return FWidth; }
    void SetWidth(int Value) { FWidth = Value; }
    int Right() const { return FLeft + FWidth; }
    int Bottom() const { return FTop + FHeight; }

    // From other slide bounds: Height, Left, Top and Width.
    virtual void Assign(const QObject* Source);

private:
    TCustomColumn* FColumn;
    int FLeft = 0;
    int FTop = 0;
    int FHeight = 0;
    int FWidth = 0;
};

// ------------------------------------------------------------ the column

class TCustomColumn : public TComponent {
    Q_OBJECT
    Q_PROPERTY(TLabel::TAlignment Alignment READ Alignment WRITE SetAlignment)
    Q_PROPERTY(int Color READ Color WRITE SetColor)
    Q_PROPERTY(TControl::TCursor Cursor READ Cursor WRITE SetCursor)
    Q_PROPERTY(QString DefaultValue READ DefaultValue WRITE SetDefaultValue)
    Q_PROPERTY(
        GridColumns::TDrawingOptions DrawingOptions READ DrawingOptions WRITE SetDrawingOptions)
    Q_PROPERTY(int DefaultWidth READ DefaultWidth WRITE SetDefaultWidth)
    Q_PROPERTY(TFont* Font READ Font)
    Q_PROPERTY(TColumnFooter* Footer READ Footer)
    Q_PROPERTY(GridColumns::TFormulaKind FormulaKind READ FormulaKind WRITE SetFormulaKind)
    Q_PROPERTY(TColumnHeader* Header READ Header)
    Q_PROPERTY(QString InputCaption READ InputCaption WRITE SetInputCaption)
    Q_PROPERTY(GridColumns::TColumnOptions Options READ Options WRITE SetOptions)
    Q_PROPERTY(int Position READ Position WRITE SetPosition)
    Q_PROPERTY(TSlideBounds* SlideBounds READ SlideBounds)
    Q_PROPERTY(bool Sorted READ Sorted WRITE SetSorted)
    Q_PROPERTY(GridColumns::TSortKind SortKind READ SortKind WRITE SetSortKind)
    Q_PROPERTY(GridColumns::TSortType SortType READ SortType WRITE SetSortType)
    Q_PROPERTY(SharedClasses::TVerticalAlignment VerticalAlignment READ VerticalAlignment WRITE
                   SetVerticalAlignment)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_PROPERTY(int Width READ Width WRITE SetWidth)
    Q_PROPERTY(GridColumns::TWrapKind WrapKind READ WrapKind WRITE SetWrapKind)
public:
    // The least width a column has.
    static constexpr int MinWidth = 8;

    explicit TCustomColumn(QObject* Owner = nullptr);
    ~TCustomColumn() override;

    // The owning collection; null until the column is read into a grid or
    // added to a collection.
    TColumns* Columns() const { return FColumns; }
    // The column's place in its collection's storage order (-1 outside one).
    int Index() const;

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    // The background colour of the column's cells.
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    TCellKind CellKind() const { return FCellKind; }
    virtual void SetCellKind(TCellKind Value);
    TControl::TCursor Cursor() const { return FCursor; }
    void SetCursor(TControl::TCursor Value);
    // The text of the column's new cells when the grid uses default values.
    const QString& DefaultValue() const { return FDefaultValue; }
    void SetDefaultValue(const QString& Value);
    // The stored width; follows Width while the grid is being designed.
    int DefaultWidth() const { return FDefaultWidth; }
    void SetDefaultWidth(int Value);
    TDrawingOptions DrawingOptions() const { return FDrawingOptions; }
    void SetDrawingOptions(TDrawingOptions Value);
    TFont* Font() const { return FFont.get(); }
    void SetFont(const TFont& Value);
    TColumnFooter* Footer() const { return FFooter.get(); }
    void SetFooter(const TColumnFooter& Value);
    TFormulaKind FormulaKind() const { return FFormulaKind; }
    void SetFormulaKind(TFormulaKind Value);
    TColumnHeader* Header() const { return FHeader.get(); }
    void SetHeader(const TColumnHeader& Value);
    // Set by the grid while its editor is open on the column's input cell.
    bool InputEditing() const { return FInputEditing; }
    void SetInputEditing(bool Value) { FInputEditing = Value; }
    const QString& InputCaption() const { return FInputCaption; }
    void SetInputCaption(const QString& Value);
    const QString& InputValue() const { return FInputValue; }
    void SetInputValue(const QString& Value);
    // The x offset of the left edge from the grid's data-area origin,
    // before horizontal scrolling; kept by the collection's layout.
    int Left() const { return FLeft; }
    TColumnOptions Options() const { return FOptions; }
    // Giving coSearchColumn to this column takes it from every other one.
    void SetOptions(TColumnOptions Value);
    int Position() const { return FPosition; }
    // Moves the column in its collection's display order (unless the grid
    // is being read, when the number only orders the columns). Raises
    // "List index out of bounds (%d)" when either the old or the new
    // number is no display position; nothing moves then.
    void SetPosition(int Value);
    TSlideBounds* SlideBounds() const { return FSlideBounds.get(); }
    void SetSlideBounds(const TSlideBounds& Value);
    bool Sorted() const { return FSorted; }
    // Making a column the sorted one clears Sorted on all the others.
    void SetSorted(bool Value);
    TSortKind SortKind() const { return FSortKind; }
    void SetSortKind(TSortKind Value);
    TSortType SortType() const { return FSortType; }
    void SetSortType(TSortType Value);
    TVerticalAlignment VerticalAlignment() const { return FVerticalAlignment; }
    void SetVerticalAlignment(TVerticalAlignment Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    // The index among the visible columns in display order; -1 when hidden.
    int VisibleIndex() const { return FVisibleIndex; }
    int Width() const { return FWidth; }
    // Stores at least MinWidth.
    void SetWidth(int Value);
    TWrapKind WrapKind() const { return FWrapKind; }
    void SetWrapKind(TWrapKind Value);

    // The companions the column made for itself from its type's classes.
    // The editor is hidden until the grid shows it.
    TCellEditor* Editor() const;
    TColumnDisplay* Display() const;
    TColumnPlay* Play() const;

    // Reports a change to the collection's OnColumnChange; nothing outside
    // a collection.
    void Changed(TColumnChange Kind);
    // The column's rectangle in one band of its grid: 0 the footer (without
    // its top separator), 1 the header, 4 the input cell (without its
    // bottom separator); other kinds give an empty rectangle.
    TRect GetPartRect(int Kind) const;
    // Asks the grid to repaint the column's strip of one of its areas (1
    // data, 2 footer, 3 header, 4 indicator, 5 input row).
    void InvalidatePart(int Area) const;

    // What the painters ask of the grid about the column.
    bool IsPressed() const;
    bool IsHot() const;
    bool IsCurrent() const;
    bool IsOnlyVisible() const;
    // The place among the visible columns: 0 the only one, 1 the first,
    // 3 the last, 2 any other (a hidden column too).
    int VisiblePlace() const;

    // Copies the settings of another column through the setters; anything
    // else raises the assignment error.
    virtual void Assign(const QObject* Source);

    // The hooks of a column type, in the order the types override them.
    virtual TCellEditorClass GetEditorClass() const { return {}; }
    virtual TColumnDisplayClass GetDisplayClass() const { return nullptr; }
    virtual TColumnPlayClass GetPlayClass() const { return nullptr; }
    // The text shown for a cell's stored text.
    virtual QString GetDisplayText(const QString& Value) const { return Value; }
    // Whether typing the character on a cell of the column opens its editor
    // with that character.
    virtual bool IsInputChar(QChar Key) const {
        (void)Key;
        return false;
    }
    // Copies the column's settings into its editor before the grid shows it.
    virtual void PrepareEditor() {}

    // A column lives only inside a grid.
    bool NeedsHolder() const override { return true; }
    bool ReadChild(QObject*) override { return false; }

private:
    friend class TColumns;
    friend class TCustomGridView;

    bool InCollection() const { return FColumns != nullptr; }
    bool GridLoading() const;
    // The column-part change handler: the header, footer and font report
    // here.
    void PartChanged();
    // Makes the editor, the display and the play element on first use: the
    // type's classes are known only once the column is fully constructed.
    void CreateCompanions() const;

    TAlignment FAlignment = taLeftJustify;
    TColor FColor = clBlack;
    TCellKind FCellKind = ckText;
    TColumns* FColumns = nullptr;
    TControl::TCursor FCursor = TControl::crDefault;
    QString FDefaultValue;
    int FDefaultWidth = 80;
    TDrawingOptions FDrawingOptions = doNormal;
    mutable QPointer<TCellEditor> FEditor;
    std::unique_ptr<TFont> FFont;
    std::unique_ptr<TColumnFooter> FFooter;
    TFormulaKind FFormulaKind = fkNone;
    std::unique_ptr<TColumnHeader> FHeader;
    bool FInputEditing = false;
    QString FInputCaption;
    QString FInputValue;
    int FLeft = 0;
    TColumnOptions FOptions =
        TColumnOptions(coCanClick) | coCanSort | coCanInput | coEditorAutoSelect | coPublicUsing;
    int FPosition = -1;
    std::unique_ptr<TSlideBounds> FSlideBounds;
    bool FSorted = false;
    TSortKind FSortKind = skAscending;
    TSortType FSortType = stAlphabetic;
    TVerticalAlignment FVerticalAlignment = vaMiddle;
    bool FVisible = true;
    int FWidth = 80;
    TWrapKind FWrapKind = wkEllipsis;
    int FVisibleIndex = 0;

    mutable std::unique_ptr<TColumnDisplay> FDisplay;
    mutable std::unique_ptr<TColumnPlay> FPlay;
    mutable bool FCompanionsMade = false;
    // While a setter copies values into a part, the part's own change
    // reports are held back: the setter reports once.
    bool FMutingParts = false;
};

// ------------------------------------------------------------ collection

// Owns its columns and keeps them twice: in the order they were added
// (Items; cells are addressed by it) and in display order (DisplayItems).
class TColumns : public TComponent {
    Q_OBJECT
public:
    // The most columns a grid holds (the cell store keeps one list each).
    static constexpr int MaxColumns = 1025;

    // Installs into the grid its column-layout hook, which recomputes the
    // columns' offsets when the left edge of the grid's data area moves.
    explicit TColumns(TCustomGridViewControl* Grid = nullptr);
    // Frees every column in storage order.
    ~TColumns() override;

    // Wired by the grid control: a column changed.
    TColumnChangeEvent OnColumnChange;
    // Wired by the data grid, which keeps its cell store in step: a column
    // was appended (scAdded) or all were removed (scCleared); both indices
    // are -1.
    TColumnsChangeEvent OnCellsChange;
    // The same, for the grid control, which re-places its editor and
    // repaints.
    TColumnsChangeEvent OnStructureChange;

    TCustomGridViewControl* Grid() const { return FGrid; }
    int Count() const { return static_cast<int>(FItems.size()); }
    // Raise "List index out of bounds (%d)" outside 0 .. Count - 1.
    TCustomColumn* Items(int Index) const;
    TCustomColumn* DisplayItems(int Index) const;
    int IndexOf(const TCustomColumn* Column) const;
    int VisibleCount() const;
    // The sum of the widths of the visible columns.
    int VisibleWidth() const;
    // True while the owning grid is being read from a layout.
    bool IsLoading() const;

    // Appends the column, takes it over and places it in display order in
    // front of the first column with a greater Position. A column more than
    // MaxColumns is refused with EListError "A grid holds at most 1025
    // columns" before anything changes; the caller keeps it.
    void Add(TCustomColumn* Column);
    // Moves the column at display position CurPos to NewPos; afterwards
    // every Position is the column's display index. Raises "List index out
    // of bounds (%d)" for a position outside 0 .. Count - 1, moving nothing.
    void MoveColumn(int CurPos, int NewPos);
    // Frees every column; both structure events fire, even when there were
    // none.
    void Clear();
    // Recomputes Left and VisibleIndex of every column from the grid's data
    // area; with Renumber every Position becomes its display index.
    void UpdateLayout(bool Renumber);
    // The auto-size rule: the visible columns with coAutoSize and without
    // coFixedSize share what the other visible columns leave of the client
    // width, in proportion to their widths, the rounding remainder carried
    // to the next column.
    void AutoSizeColumns(int ClientWidth);

private:
    friend class TCustomColumn;

    int DataLeft() const;
    void FreeItems();

    TCustomGridViewControl* FGrid;
    std::vector<TCustomColumn*> FItems;
    std::vector<TCustomColumn*> FDisplayItems;
};
