#pragma once
// A data grid for the grid-control tests: rows of texts in memory, every row
// operation reported to the control as the data grid reports it, and a
// record of what the control asked.

#include "ColumnClasses.h"
#include "CustomGridView.h"
#include "ThemesSupport.h"

#include <QRect>
#include <QRegion>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

class TTestDataGrid : public TCustomGridView {
    Q_OBJECT
public:
    explicit TTestDataGrid(QObject* owner = nullptr) : TCustomGridView(owner) {}

    // Rows of cell texts; a row may be shorter than the column count.
    std::vector<std::vector<QString>> Rows;
    // The background of every cell unless CellBackground answers otherwise.
    TColor Background = clWindow;
    std::function<TColor(int, int)> CellBackground;

    // What was asked.
    mutable long long TextAsked = 0;
    mutable std::vector<std::pair<int, int>> TextCells;
    mutable bool RecordCells = false;
    std::vector<std::pair<TCustomColumn*, bool>> Sorts;
    int FooterRecalcs = 0;

    WideString GetCellText(int Col, int Row) const override {
        ++TextAsked;
        if (RecordCells) TextCells.emplace_back(Col, Row);
        if (Row < 0 || Row >= static_cast<int>(Rows.size()) || Col < 0) return {};
        const auto& row = Rows[static_cast<std::size_t>(Row)];
        return Col < static_cast<int>(row.size()) ? row[static_cast<std::size_t>(Col)]
                                                  : WideString();
    }
    TColor GetCellBackground(int Col, int Row) const override {
        return CellBackground ? CellBackground(Col, Row) : Background;
    }
    int GetRowCount() const override { return static_cast<int>(Rows.size()); }

    void SetCellText(int Col, int Row, const WideString& Text) override {
        if (Row < 0 || Row >= GetRowCount() || Col < 0 || Col >= Columns()->Count()) return;
        auto& row = Rows[static_cast<std::size_t>(Row)];
        if (static_cast<int>(row.size()) <= Col) row.resize(static_cast<std::size_t>(Col) + 1);
        row[static_cast<std::size_t>(Col)] = Text;
        if (UpdateLock()) return;
        InvalidateCell(Col, Row);
        DoChange(Col, Row);
    }
    // Sorts the rows by the column's texts, keeping equal rows in order.
    void Sort(TCustomColumn* Column, bool Ascending) override {
        Sorts.emplace_back(Column, Ascending);
        const auto col = static_cast<std::size_t>(Columns()->IndexOf(Column));
        auto text = [col](const std::vector<QString>& r) {
            return col < r.size() ? r[col] : QString();
        };
        std::stable_sort(Rows.begin(), Rows.end(), [&](const auto& a, const auto& b) {
            return Ascending ? text(a) < text(b) : text(b) < text(a);
        });
        Invalidate();
    }
    void AddRows(int Count) override {
        if (Count <= 0) return;
        const int first = GetRowCount();
        Rows.resize(Rows.size() + static_cast<std::size_t>(Count));
        RowsChanged(rcAdded, Count, 0);
        if (!UpdateLock())
            for (int r = first; r < GetRowCount(); ++r)
                InvalidateRow(r, false);
        UpdateVertScrollBar();
    }
    void RecalcFooters() override { ++FooterRecalcs; }
    void Clear() override {
        Rows.clear();
        RowsChanged(rcCleared, 0, 0);
        TCustomGridView::Clear();
        Invalidate();
        UpdateVertScrollBar();
    }
    void DeleteRow(int Row) override {
        if (Row < 0 || Row >= GetRowCount()) return;
        Rows.erase(Rows.begin() + Row);
        RowsChanged(rcDeleted, Row, 0);
        Invalidate();
        UpdateVertScrollBar();
    }
    void InsertRow(int Row) override {
        if (Row < 0 || Row >= GetRowCount()) return;
        Rows.insert(Rows.begin() + Row, std::vector<QString>());
        RowsChanged(rcInserted, Row, 0);
        Invalidate();
        UpdateVertScrollBar();
    }
    void MoveRow(int FromRow, int ToRow) override {
        const int n = GetRowCount();
        if (FromRow < 0 || FromRow >= n || ToRow < 0 || ToRow >= n || FromRow == ToRow) return;
        auto row = std::move(Rows[static_cast<std::size_t>(FromRow)]);
        Rows.erase(Rows.begin() + FromRow);
        Rows.insert(Rows.begin() + ToRow, std::move(row));
        RowsChanged(rcMoved, FromRow, ToRow);
        Invalidate();
    }

    // Appends rows of texts "r<row>c<col>" for every column.
    void FillRows(int Count) {
        const int first = GetRowCount();
        AddRows(Count);
        for (int r = first; r < GetRowCount(); ++r) {
            auto& row = Rows[static_cast<std::size_t>(r)];
            for (int c = 0; c < Columns()->Count(); ++c)
                row.push_back(QStringLiteral("r%1c%2").arg(r).arg(c));
        }
    }
    // Adds a text column of the given width.
    TTextualColumn* AddColumn(int Width, const QString& Caption = {}) {
        auto* column = new TTextualColumn();
        column->SetWidth(Width);
        column->Header()->SetCaption(Caption);
        Columns()->Add(column);
        return column;
    }

    // Loads the cell's text the way the data grid loads a cell value into
    // its column's display, and lets the display draw.
    mutable std::vector<std::pair<int, int>> Prepared;
    QString LastPrepared;
    bool PrepareCell(int Col, int Row) override {
        TCustomGridView::PrepareCell(Col, Row);
        Prepared.emplace_back(Col, Row);
        LastPrepared = GetCellText(Col, Row);
        return true;
    }

    // The areas the paint passes covered.
    std::vector<QRect> Painted;
    std::vector<QRegion> PaintedRegions;
    int Paints = 0;

    using TCustomGridViewControl::FAnchorRow;
    using TCustomGridViewControl::FEditCol;
    using TCustomGridViewControl::FEditor;
    using TCustomGridViewControl::FEditRow;
    using TCustomGridViewControl::FInputColumn;
    using TCustomGridViewControl::FState;

protected:
    void Paint() override {
        ++Paints;
        Painted.push_back(Canvas()->ClipRect().ToQRect());
        PaintedRegions.push_back(Canvas()->ClipRegion());
        TCustomGridView::Paint();
    }
};

// A grid of the call list's size, unthemed and without a border, for the
// control's tests; the themes switch is put back afterwards.
class TGridControlFixture : public ::testing::Test {
protected:
    void SetUp() override {
        FThemes = ThemesEnabled();
        SetThemesEnabled(false);
        Grid.SetBorderStyle(TWinControl::bsNone);
        Grid.SetBounds(0, 0, 575, 170);
    }
    void TearDown() override { SetThemesEnabled(FThemes); }

    // The call list's shape: five text columns (left edges 0, 40, 160, 310,
    // 430; 530 in all) under a 20-pixel header, rows of 20 pixels plus a
    // grid line, so row k starts at y = 20 + 21 k.
    void CallList(int Rows) {
        for (int w : {40, 120, 150, 120, 100})
            Grid.AddColumn(w);
        Grid.SetOptions(TGridOptions(goHeader) | goGrid);
        Grid.SetHeaderSize(20);
        Grid.SetRowSize(20);
        Grid.FillRows(Rows);
    }

    TTestDataGrid Grid;

private:
    bool FThemes = true;
};
