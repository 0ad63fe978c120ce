#pragma once
// A cell store of call-list rows without a grid around it: what the
// benchmarks that sort a grid measure the grid against.

#include "Cells.h"
#include "ColumnClasses.h"
#include "Columns.h"

#include <QString>

// Rows text columns filled row by row by Maker (Make(row, texts) writes
// Count texts).
template <int Count, class Maker> struct TCallCells {
    TColumns Columns;
    TCells Cells{nullptr, &Columns};

    explicit TCallCells(int Rows) {
        Columns.OnCellsChange = [this](TColumns*, TColumnsChange kind, int a, int b) {
            Cells.SyncColumns(kind, a, b);
        };
        for (int c = 0; c < Count; ++c)
            Columns.Add(new TTextualColumn());
        Maker maker;
        Cells.AddRows(Rows);
        for (int r = 0; r < Rows; ++r) {
            QString texts[Count];
            maker.Make(r, texts);
            for (int c = 0; c < Count; ++c)
                Cells.GetCell(c, r)->SetAsWideString(texts[c]);
        }
    }
};
