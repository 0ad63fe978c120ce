#pragma once
// The values of the grid: every cell holds one typed value and converts it
// to and from text, integer, floating point, date-time and Boolean. The
// texts are those of the framework's conversions (built and parsed in the
// 8-bit code page). Cells live in their store (TCells), which tells each
// cell its coordinates when it is looked up; a cell reports every change of
// its value or colour to the store with those coordinates.
//
// Cells are many (a column of a million rows is a million cells), so they
// are kept small: the rarely used note and picture live in the store, not
// in the cell, and the store places cells in blocks of its own.

#include "Strings.h"
#include "SysUtils.h"
#include "Types.h"

class TBitmap;
class TCells;

// What a cell carries only when its user gives it a note or a picture.
struct TCellExtra {
    TBitmap* Graphic = nullptr; // not owned
    AnsiString Note;
};

class TCell {
public:
    // The cell belongs to the store from its construction; its colour is
    // not reported until the store has given it its first one.
    explicit TCell(TCells* Cells);
    virtual ~TCell();
    TCell(const TCell&) = delete;
    TCell& operator=(const TCell&) = delete;

    // The colours the grid draws the cell in at this moment: its own
    // background or a selection colour, and the text colour.
    virtual TColor GetDrawColor() const;
    virtual TColor GetDrawFontColor() const;

    virtual bool GetAsBoolean() const = 0;
    virtual TDateTime GetAsDateTime() const = 0;
    virtual double GetAsFloat() const = 0;
    virtual int GetAsInteger() const = 0;
    virtual void GetAsWideString(WideString& Value) const = 0;

    // Each setter of a cell class stores its value and then calls the one
    // here, which reports the change: every set reports exactly once. A
    // value that cannot be converted raises before anything is stored.
    virtual void SetAsBoolean(bool Value);
    virtual void SetAsDateTime(TDateTime Value);
    virtual void SetAsFloat(double Value);
    virtual void SetAsInteger(int Value);
    virtual void SetAsWideString(const WideString& Value);

    TCells* Cells() const { return FCells; }
    TColor Color() const { return FColor; }
    // Stores the background and reports it, once the cell is created.
    void SetColor(TColor Value);
    // The coordinates of the cell's last lookup through its store.
    int Col() const { return FCol; }
    int Row() const { return FRow; }
    bool Creating() const { return FCreating; }

    // The picture a graphic column draws for the cell, and the cell's note
    // (8-bit text; a cell with a note is marked and shows it as a hint).
    // They belong to the grid's user: setting them reports nothing.
    TBitmap* Graphic() const;
    void SetGraphic(TBitmap* Value);
    const AnsiString& Note() const;
    void SetNote(const AnsiString& Value);

private:
    friend class TCells;
    // The size of the most derived object, for the store's blocks.
    virtual std::size_t InstanceSize() const = 0;
    void SetExtra(TBitmap* Graphic, const AnsiString& Note);

    TCells* FCells;
    TColor FColor = 0;
    int FCol = 0;
    int FRow = 0;
    bool FCreating = true;
    bool FHasExtra = false; // the store holds a note or a picture for it
};

class TBooleanCell final : public TCell {
public:
    using TCell::TCell;
    bool GetAsBoolean() const override;
    TDateTime GetAsDateTime() const override;
    double GetAsFloat() const override;
    int GetAsInteger() const override;
    void GetAsWideString(WideString& Value) const override;
    void SetAsBoolean(bool Value) override;
    void SetAsDateTime(TDateTime Value) override;
    void SetAsFloat(double Value) override;
    void SetAsInteger(int Value) override;
    // True exactly for "true" in any letter case; never fails.
    void SetAsWideString(const WideString& Value) override;

private:
    std::size_t InstanceSize() const override { return sizeof(*this); }
    bool FValue = false;
};

class TDateTimeCell final : public TCell {
public:
    using TCell::TCell;
    bool GetAsBoolean() const override;
    TDateTime GetAsDateTime() const override;
    double GetAsFloat() const override;
    int GetAsInteger() const override;
    void GetAsWideString(WideString& Value) const override;
    // Today at midnight, whatever the value.
    void SetAsBoolean(bool Value) override;
    void SetAsDateTime(TDateTime Value) override;
    void SetAsFloat(double Value) override;
    void SetAsInteger(int Value) override;
    void SetAsWideString(const WideString& Value) override;

private:
    std::size_t InstanceSize() const override { return sizeof(*this); }
    TDateTime FValue = 0.0;
};

class TFloatCell final : public TCell {
public:
    using TCell::TCell;
    bool GetAsBoolean() const override;
    TDateTime GetAsDateTime() const override;
    double GetAsFloat() const override;
    int GetAsInteger() const override;
    void GetAsWideString(WideString& Value) const override;
    void SetAsBoolean(bool Value) override;
    void SetAsDateTime(TDateTime Value) override;
    void SetAsFloat(double Value) override;
    void SetAsInteger(int Value) override;
    void SetAsWideString(const WideString& Value) override;

private:
    std::size_t InstanceSize() const override { return sizeof(*this); }
    double FValue = 0.0;
};

class TIntegerCell final : public TCell {
public:
    using TCell::TCell;
    bool GetAsBoolean() const override;
    TDateTime GetAsDateTime() const override;
    double GetAsFloat() const override;
    int GetAsInteger() const override;
    void GetAsWideString(WideString& Value) const override;
    void SetAsBoolean(bool Value) override;
    void SetAsDateTime(TDateTime Value) override;
    // Rounded to the nearest integer, halves to the even one.
    void SetAsFloat(double Value) override;
    void SetAsInteger(int Value) override;
    void SetAsWideString(const WideString& Value) override;

private:
    std::size_t InstanceSize() const override { return sizeof(*this); }
    int FValue = 0;
};

class TStringCell final : public TCell {
public:
    using TCell::TCell;
    // The getters parse the text and raise the conversion error of a text
    // that is not a value of their kind.
    bool GetAsBoolean() const override;
    TDateTime GetAsDateTime() const override;
    double GetAsFloat() const override;
    int GetAsInteger() const override;
    void GetAsWideString(WideString& Value) const override;
    void SetAsBoolean(bool Value) override;
    void SetAsDateTime(TDateTime Value) override;
    void SetAsFloat(double Value) override;
    void SetAsInteger(int Value) override;
    void SetAsWideString(const WideString& Value) override;

private:
    std::size_t InstanceSize() const override { return sizeof(*this); }
    WideString FValue;
};
