#pragma once
// A cell store as the grid holds it: a grid that answers the drawing
// colours, a column collection whose structure notification reaches the
// store, and a record of every change report. The conversions run with
// known settings (decimal comma, dd.mm.yyyy hh:nn:ss).

#include "Cells.h"
#include "Columns.h"
#include "CustomGridViewControl.h"
#include "ErrorOf.h"
#include "Exceptions.h"
#include "SysUtils.h"

#include <gtest/gtest.h>
#include <memory>
#include <utility>
#include <vector>

// Answers the drawing colours of a cell from its coordinates and records
// every question.
class TRecordingGrid : public TCustomGridViewControl {
public:
    mutable std::vector<std::pair<int, int>> ColorAsked, TextColorAsked;
    static TColor CellColor(int Col, int Row) { return RGB(Col, Row, 1); }
    static TColor TextColor(int Col, int Row) { return RGB(Col, Row, 2); }
    TColor GetCellColor(int Col, int Row) const override {
        ColorAsked.emplace_back(Col, Row);
        return CellColor(Col, Row);
    }
    TColor GetCellTextColor(int Col, int Row) const override {
        TextColorAsked.emplace_back(Col, Row);
        return TextColor(Col, Row);
    }

    // The store under test holds the data; the grid answers none.
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
};

// Counts the pivots the quicksort takes and may choose them itself.
class TTestCells : public TCells {
public:
    using TCells::TCells;
    std::function<int(int, int)> Pivot;            // empty: the store's own choice
    std::vector<std::tuple<int, int, int>> Pivots; // L, R, chosen row

protected:
    int ChoosePivot(int L, int R) override {
        const int p = Pivot ? Pivot(L, R) : TCells::ChoosePivot(L, R);
        Pivots.emplace_back(L, R, p);
        return p;
    }
};

class CellsFixture : public ::testing::Test {
protected:
    TRecordingGrid FGrid;
    TColumns FColumns{&FGrid};
    TTestCells FCells{&FGrid, &FColumns};
    std::vector<std::pair<int, int>> FReports;

    void SetUp() override {
        FSaved = FormatSettings;
        FormatSettings = TFormatSettings();
        FormatSettings.DecimalSeparator = u',';
        FormatSettings.ThousandSeparator = u'.';
        FormatSettings.DateSeparator = u'.';
        FormatSettings.ShortDateFormat = QStringLiteral("dd/mm/yyyy");
        FormatSettings.LongTimeFormat = QStringLiteral("hh:nn:ss");
        FColumns.OnCellsChange = [this](TColumns*, TColumnsChange kind, int i1, int i2) {
            FCells.SyncColumns(kind, i1, i2);
        };
        FCells.OnChange = [this](TCells* sender, int col, int row) {
            EXPECT_EQ(sender, &FCells);
            FReports.emplace_back(col, row);
        };
    }
    void TearDown() override { FormatSettings = FSaved; }

    TCustomColumn* AddColumn(TCellKind kind = ckText, TColor color = clWindow) {
        auto* column = new TCustomColumn(&FColumns);
        column->SetCellKind(kind);
        column->SetColor(color);
        FColumns.Add(column);
        return column;
    }

    QString Text(int col, int row) {
        QString s;
        FCells.GetCell(col, row)->GetAsWideString(s);
        return s;
    }
    void SetText(int col, int row, const QString& s) {
        FCells.GetCell(col, row)->SetAsWideString(s);
    }
    // The texts of one column from the first row to the last.
    QStringList Column(int col) {
        QStringList texts;
        for (int r = 0; r < FCells.RowCount(); ++r)
            texts << Text(col, r);
        return texts;
    }

private:
    TFormatSettings FSaved;
};
