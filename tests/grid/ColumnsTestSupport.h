#pragma once
// A grid as the columns see it: it answers the bands and the current and
// pressed columns it is told, and records every column report, every repaint
// of a column strip and every structure report it receives. A window that
// holds such grids reads the column layouts; the conversions run with known
// settings (decimal comma, day.month.year).

#include "ColumnClasses.h"
#include "Columns.h"
#include "CustomGridView.h"
#include "ErrorOf.h"
#include "Exceptions.h"
#include "Forms.h"
#include "Framework.h"
#include "Grid.h"
#include "Streaming.h"
#include "SysUtils.h"

#include <QMetaEnum>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>
#include <utility>
#include <vector>

// Texts print as text in test failures.
inline void PrintTo(const QString& Text, std::ostream* os) {
    *os << '"' << Text.toStdString() << '"';
}

namespace GridColumns {
// Change kinds print by name in test failures.
inline void PrintTo(TColumnChange Kind, std::ostream* os) {
    *os << QMetaEnum::fromType<TColumnChange>().valueToKey(Kind);
}
} // namespace GridColumns

class TTestGridView : public TCustomGridView {
    Q_OBJECT
public:
    explicit TTestGridView(QObject* owner = nullptr) : TCustomGridView(owner) {}

    TColor GetCellColor(int, int) const override { return clWindow; }
    TColor GetCellTextColor(int, int) const override { return clWindowText; }

    // The data the columns never ask for: an empty grid.
    WideString GetCellText(int, int) const override { return {}; }
    TColor GetCellBackground(int, int) const override { return clWindow; }
    int GetRowCount() const override { return 0; }
    void SetCellText(int, int, const WideString&) override {}
    void Sort(TCustomColumn*, bool) override {}
    void AddRows(int) override {}
    void RecalcFooters() override {}
    void DeleteRow(int) override {}
    void InsertRow(int) override {}
    void MoveRow(int, int) override {}

    // The data area starts at DataLeft (12 stands for a shown indicator).
    int DataLeft = 0;
    TRect HeaderBand, InputBand, FooterBand;
    int CurrentCol = 0;
    TCustomColumn* Pressed = nullptr;
    TCustomColumn* Hot = nullptr;
    TRect GetDataRect() const override { return {DataLeft, 0, 600, 300}; }
    TRect GetHeaderRect() const override { return HeaderBand; }
    TRect GetInputRect() const override { return InputBand; }
    TRect GetFooterRect() const override { return FooterBand; }
    int Col() const override { return CurrentCol; }
    TCustomColumn* PressedColumn() const override { return Pressed; }
    TCustomColumn* HotColumn() const override { return Hot; }

    // Moves the data area's left edge the way switching the indicator does.
    void MoveDataLeft(int Left) {
        DataLeft = Left;
        LayoutChanged();
    }

    std::vector<std::pair<TCustomColumn*, TColumnChange>> Changes;
    std::vector<TColumnsChange> StructureChanges;
    std::vector<std::pair<TCustomColumn*, int>> Repaints;
    void ColumnChanged(TCustomColumn* Column, TColumnChange Kind) override {
        Changes.emplace_back(Column, Kind);
    }
    void ColumnsChanged(TColumnsChange Kind) override { StructureChanges.push_back(Kind); }
    void InvalidateColumnPart(TCustomColumn* Column, int Part) override {
        Repaints.emplace_back(Column, Part);
    }
    // The kinds reported since the last call, in order.
    std::vector<TColumnChange> TakeKinds() {
        std::vector<TColumnChange> kinds;
        for (const auto& c : Changes)
            kinds.push_back(c.second);
        Changes.clear();
        return kinds;
    }
};

class TColumnsTestForm : public TForm {
    Q_OBJECT
public:
    explicit TColumnsTestForm(QObject* owner = nullptr) : TForm(owner) {}
};

// A window layout of one grid, named Grid, holding the given column entries.
inline QByteArray GridLayout(const QByteArray& columns) {
    return R"(<?xml version="1.0" encoding="UTF-8"?>
<object class="TColumnsTestForm" name="Form">
  <object class="TTestGridView" name="Grid">
)" + columns +
           "  </object>\n</object>\n";
}

class ColumnsFixture : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterFrameworkClasses();
        RegisterGridClasses();
        RegisterClass<TTestGridView>();
        RegisterClass<TImageList>();
        FSaved = FormatSettings;
        FormatSettings = TFormatSettings();
        FormatSettings.DecimalSeparator = u',';
        FormatSettings.ThousandSeparator = u'.';
        FormatSettings.DateSeparator = u'.';
        FormatSettings.ShortDateFormat = QStringLiteral("dd/mm/yyyy");
        FormatSettings.LongTimeFormat = QStringLiteral("hh:nn:ss");
    }
    void TearDown() override { FormatSettings = FSaved; }

    // A column of type T added to the grid with the given width and place.
    template <class T = TTextualColumn> T* Add(int Width = 80, int Position = -1) {
        auto* column = new T();
        column->SetWidth(Width);
        column->SetPosition(Position);
        FGrid.Columns()->Add(column);
        FGrid.Changes.clear();
        FGrid.StructureChanges.clear();
        return column;
    }
    // The columns of the grid: by creation and by display order.
    std::vector<TCustomColumn*> Items() const {
        std::vector<TCustomColumn*> v;
        for (int i = 0; i < FGrid.Columns()->Count(); ++i)
            v.push_back(FGrid.Columns()->Items(i));
        return v;
    }
    std::vector<TCustomColumn*> Shown() const {
        std::vector<TCustomColumn*> v;
        for (int i = 0; i < FGrid.Columns()->Count(); ++i)
            v.push_back(FGrid.Columns()->DisplayItems(i));
        return v;
    }
    std::vector<int> Positions() const {
        std::vector<int> v;
        for (TCustomColumn* c : Items())
            v.push_back(c->Position());
        return v;
    }

    // Reads a window layout; throws what the reader raises.
    static std::unique_ptr<TColumnsTestForm> Read(const QByteArray& layout) {
        auto form = std::make_unique<TColumnsTestForm>();
        ReadComponent(form.get(), layout);
        return form;
    }
    static TTestGridView* GridOf(QObject* form, const char* name = "Grid") {
        return qobject_cast<TTestGridView*>(FindComponent(form, QString::fromLatin1(name)));
    }

    TTestGridView FGrid;

private:
    TFormatSettings FSaved;
};
