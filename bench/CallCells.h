#pragma once
// The call list's rows for the benchmarks: one maker of call texts, a cell
// store filled with them, and the store's own sort that the grid benchmarks
// measure a grid's sort against.

#include "BenchTiming.h"
#include "Cells.h"
#include "ColumnClasses.h"
#include "Columns.h"

#include <QString>
#include <benchmark/benchmark.h>
#include <map>
#include <random>
#include <string>

// The call list's five columns: time, serial, counter, line, number.
constexpr int kCallColumns = 5;

// One call of the list: fresh strings, as the device hands them over.
class TCallMaker {
public:
    // With addresses, the serial column holds dotted IPv4 addresses (for
    // the address sort).
    explicit TCallMaker(bool Addresses = false) : FAddresses(Addresses) {}

    void Make(int Row, QString (&Texts)[kCallColumns]) {
        char16_t buf[24];
        // "dd.mm.yyyy hh:nn:ss"
        const int seconds = Row * 37;
        const int v[] = {1 + (Row / 2000) % 28, 1 + (Row / 60000) % 12, 2026,
                         (seconds / 3600) % 24, (seconds / 60) % 60,    seconds % 60};
        char16_t* p = buf;
        for (int i = 0; i < 6; ++i) {
            if (i == 2) {
                p = Put(p, v[i], 4);
            } else {
                p = Put(p, v[i], 2);
            }
            if (i < 2) *p++ = u'.';
            if (i == 2) *p++ = u' ';
            if (i > 2 && i < 5) *p++ = u':';
        }
        Texts[0] = Text(buf, p);
        if (FAddresses) {
            p = buf;
            p = PutNumber(p, 10);
            for (int i = 0; i < 3; ++i) {
                *p++ = u'.';
                p = PutNumber(p, static_cast<int>(FRandom() % 256));
            }
            Texts[1] = Text(buf, p);
        } else {
            Texts[1] = Text(u"40211837", 8);
        }
        p = PutNumber(buf, Row + 1);
        Texts[2] = Text(buf, p);
        buf[0] = static_cast<char16_t>(u'1' + Row % 4);
        Texts[3] = Text(buf, buf + 1);
        buf[0] = u'0';
        buf[1] = u'5';
        for (int i = 2; i < 11; ++i)
            buf[i] = static_cast<char16_t>(u'0' + FRandom() % 10);
        Texts[4] = Text(buf, buf + 11);
    }

private:
    static QString Text(const char16_t* from, const char16_t* to) {
        return QString(reinterpret_cast<const QChar*>(from), to - from);
    }
    static QString Text(const char16_t* from, int n) { return Text(from, from + n); }
    static char16_t* Put(char16_t* p, int value, int digits) {
        for (int i = digits - 1; i >= 0; --i, value /= 10)
            p[i] = static_cast<char16_t>(u'0' + value % 10);
        return p + digits;
    }
    static char16_t* PutNumber(char16_t* p, int value) {
        int digits = 1;
        for (int v = value; v >= 10; v /= 10)
            ++digits;
        return Put(p, value, digits);
    }

    bool FAddresses;
    std::mt19937 FRandom{1899};
};

// A cell store of Rows call rows in text columns, without a grid around it.
struct TCallCells {
    TColumns Columns;
    TCells Cells{nullptr, &Columns};

    explicit TCallCells(int Rows) {
        Columns.OnCellsChange = [this](TColumns*, TColumnsChange kind, int a, int b) {
            Cells.SyncColumns(kind, a, b);
        };
        for (int c = 0; c < kCallColumns; ++c)
            Columns.Add(new TTextualColumn());
        TCallMaker maker;
        Cells.AddRows(Rows);
        for (int r = 0; r < Rows; ++r) {
            QString texts[kCallColumns];
            maker.Make(r, texts);
            for (int c = 0; c < kCallColumns; ++c)
                Cells.GetCell(c, r)->SetAsWideString(texts[c]);
        }
    }
};

// The store's own sort of Rows rows by column By, from the order of column
// From each time; the best time is kept in Results under "sort cells".
inline void MeasureCellsSort(benchmark::State& state, std::map<std::string, double>& Results,
                             int Rows, int From, int By) {
    TCallCells store(Rows);
    for (auto _ : state) {
        store.Cells.Sort(From, stAlphabetic, false);
        const double t = BenchTiming::Seconds([&] { store.Cells.Sort(By, stAlphabetic, false); });
        state.SetIterationTime(t);
        BenchTiming::Best(Results, "sort cells", t);
    }
}
