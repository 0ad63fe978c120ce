#pragma once
// The column types. A type decides which value kind its cells hold (and so
// their cell class), which editor it owns, which display paints its cells
// and which play element, if any, reacts to input in them; it adds its own
// settings, sets its own defaults (DefaultValue, SortType) and may change
// the text shown for a cell, the characters that open its editor and what
// it copies into the editor before the editor opens.
//
//   TTextualColumn     text, with a text before and after it (the call list)
//     TComboBoxColumn  text chosen from a drop-down list
//   TNumericColumn     numbers in a format, edited with a spin editor
//   TDateColumn        dates, edited with a drop-down calendar
//   TCheckBoxColumn    Booleans as check boxes
//   THtmlColumn        text with simple markup
//   TImageColumn       an image of a list by the cell's number
//   TProgressColumn    a bar filled to the cell's value
//   TRateColumn        a row of glyphs, as many reached as the cell's value
//   TIncrementColumn   the row's number
//   TGraphicColumn     the cell's own picture

#include "Columns.h"
#include "ImgList.h"

#include <QPointer>
#include <QStringList>
#include <array>

class TTextualColumn : public TCustomColumn {
    Q_OBJECT
    Q_PROPERTY(bool AutoExecute READ AutoExecute WRITE SetAutoExecute)
    Q_PROPERTY(QString TextAfter READ TextAfter WRITE SetTextAfter)
    Q_PROPERTY(QString TextBefore READ TextBefore WRITE SetTextBefore)
public:
    explicit TTextualColumn(QObject* Owner = nullptr);

    // Kept, read and copied; nothing acts on it.
    bool AutoExecute() const { return FAutoExecute; }
    void SetAutoExecute(bool Value) { FAutoExecute = Value; }
    // Appended to, and put in front of, every shown cell text.
    const QString& TextAfter() const { return FTextAfter; }
    void SetTextAfter(const QString& Value) { FTextAfter = Value; }
    const QString& TextBefore() const { return FTextBefore; }
    void SetTextBefore(const QString& Value) { FTextBefore = Value; }

    TCellEditorClass GetEditorClass() const override;
    TColumnDisplayClass GetDisplayClass() const override;
    QString GetDisplayText(const QString& Value) const override;
    // Every character above the space: letters, digits, punctuation; not
    // the space and no control character.
    bool IsInputChar(QChar Key) const override;
    void Assign(const QObject* Source) override;

private:
    QString FTextAfter;
    QString FTextBefore;
    bool FAutoExecute = false;
};

class TComboBoxColumn : public TTextualColumn {
    Q_OBJECT
    Q_PROPERTY(int DropDownCount READ DropDownCount WRITE SetDropDownCount)
    Q_PROPERTY(TCustomImageList* Images READ Images WRITE SetImages)
    Q_PROPERTY(QStringList Items READ Items WRITE SetItems)
    Q_PROPERTY(bool ShowImages READ ShowImages WRITE SetShowImages)
    Q_PROPERTY(TCompoBoxStyle Style READ Style WRITE SetStyle)
public:
    // Free text (cbsDropDown) or a choice of the items only.
    enum TCompoBoxStyle { cbsDropDown, cbsDropDownList };
    Q_ENUM(TCompoBoxStyle)

    explicit TComboBoxColumn(QObject* Owner = nullptr);

    // The rows of the editor's drop-down list.
    int DropDownCount() const { return FDropDownCount; }
    void SetDropDownCount(int Value) { FDropDownCount = Value; }
    // Shown beside the items; not owned, and let go of when it goes.
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value) { FImages = Value; }
    // The choices of the editor: the column's own list, a copy of the one
    // given.
    const QStringList& Items() const { return FItems; }
    void SetItems(const QStringList& Value) { FItems = Value; }
    bool ShowImages() const { return FShowImages; }
    void SetShowImages(bool Value) { FShowImages = Value; }
    TCompoBoxStyle Style() const { return FStyle; }
    void SetStyle(TCompoBoxStyle Value) { FStyle = Value; }

    TCellEditorClass GetEditorClass() const override;
    // The items, images, their showing, the list's rows and the style.
    void PrepareEditor() override;
    void Assign(const QObject* Source) override;

private:
    QPointer<TCustomImageList> FImages;
    QStringList FItems;
    int FDropDownCount = 8;
    TCompoBoxStyle FStyle = cbsDropDown;
    bool FShowImages = false;
};

class TNumericColumn : public TCustomColumn {
    Q_OBJECT
    Q_PROPERTY(QString FormatMask READ FormatMask WRITE SetFormatMask)
    Q_PROPERTY(int Max READ Max WRITE SetMax)
    Q_PROPERTY(int Min READ Min WRITE SetMin)
    Q_PROPERTY(QString TextAfter READ TextAfter WRITE SetTextAfter)
public:
    explicit TNumericColumn(QObject* Owner = nullptr);

    // The number format of the shown text (as FormatFloat reads it); empty
    // shows the stored text. An 8-bit text: characters the code page lacks
    // become '?'.
    const QString& FormatMask() const { return FFormatMask; }
    void SetFormatMask(const QString& Value);
    // The bounds handed to the editor.
    int Max() const { return FMax; }
    void SetMax(int Value) { FMax = Value; }
    int Min() const { return FMin; }
    void SetMin(int Value) { FMin = Value; }
    const QString& TextAfter() const { return FTextAfter; }
    void SetTextAfter(const QString& Value) { FTextAfter = Value; }

    TCellEditorClass GetEditorClass() const override;
    TColumnDisplayClass GetDisplayClass() const override;
    // With a mask the stored text is read as a number and formatted; a text
    // that is no number raises the conversion error.
    QString GetDisplayText(const QString& Value) const override;
    // Signs, digits and the locale's decimal separator.
    bool IsInputChar(QChar Key) const override;
    void PrepareEditor() override;
    void Assign(const QObject* Source) override;

private:
    QString FFormatMask;
    int FMin = 0;
    int FMax = 0;
    QString FTextAfter;
};

class TDateColumn : public TCustomColumn {
    Q_OBJECT
    Q_PROPERTY(QString EmptyCaption READ EmptyCaption WRITE SetEmptyCaption)
    Q_PROPERTY(bool HideWhenEmpty READ HideWhenEmpty WRITE SetHideWhenEmpty)
public:
    // DefaultValue is the day the column is made, as the locale writes it.
    explicit TDateColumn(QObject* Owner = nullptr);

    // Shown for an empty date while HideWhenEmpty is set, which repaints the
    // data strip.
    const QString& EmptyCaption() const { return FEmptyCaption; }
    void SetEmptyCaption(const QString& Value) { FEmptyCaption = Value; }
    bool HideWhenEmpty() const { return FHideWhenEmpty; }
    void SetHideWhenEmpty(bool Value);

    TCellEditorClass GetEditorClass() const override;
    TColumnDisplayClass GetDisplayClass() const override;
    // Digits and the locale's date separator.
    bool IsInputChar(QChar Key) const override;
    // The date can be typed as well as chosen.
    void PrepareEditor() override;

private:
    bool FHideWhenEmpty = false;
    QString FEmptyCaption;
};

class TCheckBoxColumn : public TCustomColumn {
    Q_OBJECT
public:
    explicit TCheckBoxColumn(QObject* Owner = nullptr);

    TCellEditorClass GetEditorClass() const override;
    TColumnDisplayClass GetDisplayClass() const override;
    TColumnPlayClass GetPlayClass() const override;
};

class THtmlColumn : public TCustomColumn {
    Q_OBJECT
public:
    explicit THtmlColumn(QObject* Owner = nullptr);

    TColumnDisplayClass GetDisplayClass() const override;
};

class TImageColumn : public TCustomColumn {
    Q_OBJECT
    Q_PROPERTY(TCustomImageList* Images READ Images WRITE SetImages)
    Q_PROPERTY(bool Masked READ Masked WRITE SetMasked)
    Q_PROPERTY(TCustomImageList* Masks READ Masks WRITE SetMasks)
    Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent)
public:
    explicit TImageColumn(QObject* Owner = nullptr);

    // The images, not owned; the cell's number picks one. A list that goes
    // away leaves none.
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value) { FImages = Value; }
    // Drawn through the masks of Masks; repaints the data strip.
    bool Masked() const { return FMasked; }
    void SetMasked(bool Value);
    TCustomImageList* Masks() const { return FMasks; }
    void SetMasks(TCustomImageList* Value) { FMasks = Value; }
    // Kept and read; the display does not use it.
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value) { FTransparent = Value; }

    TColumnDisplayClass GetDisplayClass() const override;
    void Assign(const QObject* Source) override;

private:
    QPointer<TCustomImageList> FImages;
    bool FMasked = false;
    QPointer<TCustomImageList> FMasks;
    bool FTransparent = true;
};

class TProgressColumn : public TCustomColumn {
    Q_OBJECT
    Q_PROPERTY(int BorderColor READ BorderColor WRITE SetBorderColor)
    Q_PROPERTY(bool HideWhenEmpty READ HideWhenEmpty WRITE SetHideWhenEmpty)
    Q_PROPERTY(int Margin READ Margin WRITE SetMargin)
    Q_PROPERTY(int Max READ Max WRITE SetMax)
    Q_PROPERTY(int ProgressColor READ ProgressColor WRITE SetProgressColor)
    Q_PROPERTY(TProgressStyle ProgressStyle READ ProgressStyle WRITE SetProgressStyle)
    Q_PROPERTY(bool ShowText READ ShowText WRITE SetShowText)
    Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent)
public:
    enum TProgressStyle { psSolid, psGradient, psCylinder };
    Q_ENUM(TProgressStyle)

    explicit TProgressColumn(QObject* Owner = nullptr);

    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor Value) { FBorderColor = Value; }
    // Nothing is drawn for the value 0. Repaints the data strip, as do
    // ProgressColor and ProgressStyle.
    bool HideWhenEmpty() const { return FHideWhenEmpty; }
    void SetHideWhenEmpty(bool Value);
    // The gap between the cell's edge and the bar.
    int Margin() const { return FMargin; }
    void SetMargin(int Value) { FMargin = Value; }
    // The value of a full bar; any value is kept.
    int Max() const { return FMax; }
    void SetMax(int Value) { FMax = Value; }
    TColor ProgressColor() const { return FProgressColor; }
    void SetProgressColor(TColor Value);
    TProgressStyle ProgressStyle() const { return FProgressStyle; }
    void SetProgressStyle(TProgressStyle Value);
    // The percentage as text left of the bar.
    bool ShowText() const { return FShowText; }
    void SetShowText(bool Value) { FShowText = Value; }
    // Only the frame of the bar, no background fill.
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value) { FTransparent = Value; }

    TColumnDisplayClass GetDisplayClass() const override;
    void Assign(const QObject* Source) override;

private:
    int FMax = 100;
    int FMargin = 2;
    TColor FProgressColor = clHighlight;
    TColor FBorderColor = clGray;
    bool FShowText = false;
    TProgressStyle FProgressStyle = psSolid;
    bool FTransparent = false;
    bool FHideWhenEmpty = false;
};

class TRateColumn : public TCustomColumn {
    Q_OBJECT
    // The four pictures as a layout stores them: PNG bytes.
    Q_PROPERTY(QByteArray EmptyGlyph READ EmptyGlyphData WRITE SetEmptyGlyphData)
    Q_PROPERTY(QByteArray EmptyGlyphMask READ EmptyGlyphMaskData WRITE SetEmptyGlyphMaskData)
    Q_PROPERTY(QByteArray Glyph READ GlyphData WRITE SetGlyphData)
    Q_PROPERTY(QByteArray GlyphMask READ GlyphMaskData WRITE SetGlyphMaskData)
    Q_PROPERTY(bool HideWhenEmpty READ HideWhenEmpty WRITE SetHideWhenEmpty)
    Q_PROPERTY(bool Masked READ Masked WRITE SetMasked)
    Q_PROPERTY(int Max READ Max WRITE SetMax)
    Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent)
public:
    explicit TRateColumn(QObject* Owner = nullptr);
    ~TRateColumn() override;

    // The pictures of an unreached and a reached step, and their masks;
    // owned. Setting one copies the given picture. While Transparent is
    // set, every change of a picture makes its bottom-left pixel its
    // transparent colour.
    TBitmap* EmptyGlyph() const { return FGlyphs[kEmptyGlyph].get(); }
    void SetEmptyGlyph(const TBitmap& Value) { *FGlyphs[kEmptyGlyph] = Value; }
    TBitmap* EmptyGlyphMask() const { return FGlyphs[kEmptyGlyphMask].get(); }
    void SetEmptyGlyphMask(const TBitmap& Value) { *FGlyphs[kEmptyGlyphMask] = Value; }
    TBitmap* Glyph() const { return FGlyphs[kGlyph].get(); }
    void SetGlyph(const TBitmap& Value) { *FGlyphs[kGlyph] = Value; }
    TBitmap* GlyphMask() const { return FGlyphs[kGlyphMask].get(); }
    void SetGlyphMask(const TBitmap& Value) { *FGlyphs[kGlyphMask] = Value; }

    // Repaint the data strip when set.
    bool HideWhenEmpty() const { return FHideWhenEmpty; }
    void SetHideWhenEmpty(bool Value);
    bool Masked() const { return FMasked; }
    void SetMasked(bool Value);
    // The number of steps drawn; only a different value is stored and
    // repainted.
    int Max() const { return FMax; }
    void SetMax(int Value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);

    QByteArray EmptyGlyphData() const { return ImageData(kEmptyGlyph); }
    void SetEmptyGlyphData(const QByteArray& Value) { SetImageData(kEmptyGlyph, Value); }
    QByteArray EmptyGlyphMaskData() const { return ImageData(kEmptyGlyphMask); }
    void SetEmptyGlyphMaskData(const QByteArray& Value) { SetImageData(kEmptyGlyphMask, Value); }
    QByteArray GlyphData() const { return ImageData(kGlyph); }
    void SetGlyphData(const QByteArray& Value) { SetImageData(kGlyph, Value); }
    QByteArray GlyphMaskData() const { return ImageData(kGlyphMask); }
    void SetGlyphMaskData(const QByteArray& Value) { SetImageData(kGlyphMask, Value); }

    TColumnDisplayClass GetDisplayClass() const override;
    void Assign(const QObject* Source) override;
    // A layout stores the pictures before Transparent: once it is read, a
    // transparent column's pictures take their transparent colour.
    void Loaded() override;

private:
    enum { kEmptyGlyph, kEmptyGlyphMask, kGlyph, kGlyphMask };
    QByteArray ImageData(int Which) const;
    void SetImageData(int Which, const QByteArray& Value);
    void GlyphChanged(int Which);

    std::array<std::unique_ptr<TBitmap>, 4> FGlyphs;
    bool FMasked = false;
    int FMax = 5;
    bool FTransparent = false;
    bool FHideWhenEmpty = false;
};

// The row's number; a layout cannot name it.
class TIncrementColumn : public TCustomColumn {
    Q_OBJECT
public:
    explicit TIncrementColumn(QObject* Owner = nullptr);

    TColumnDisplayClass GetDisplayClass() const override;
};

class TGraphicColumn : public TCustomColumn {
    Q_OBJECT
    Q_PROPERTY(int BorderWidth READ BorderWidth WRITE SetBorderWidth)
    Q_PROPERTY(int Margin READ Margin WRITE SetMargin)
    Q_PROPERTY(bool Strecht READ Strecht WRITE SetStrecht)
public:
    explicit TGraphicColumn(QObject* Owner = nullptr);

    // Each repaints the data strip: they change how the picture sits.
    // The width of the frame round the picture.
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int Value);
    // The gap between the cell's edge and the picture.
    int Margin() const { return FMargin; }
    void SetMargin(int Value);
    // Stretch the picture to the cell.
    bool Strecht() const { return FStrecht; }
    void SetStrecht(bool Value);

    TColumnDisplayClass GetDisplayClass() const override;

private:
    int FMargin = 4;
    bool FStrecht = false;
    int FBorderWidth = 1;
};
