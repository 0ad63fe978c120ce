#pragma once
// What the tests of the cell editors and their popups share: a fixture that
// gives every test the default locale settings and puts the settings and the
// theme switch back afterwards, a recorder of an editor's notices, and mouse
// and rendering helpers.

#include "CellEditors.h"
#include "SysUtils.h"
#include "ThemesSupport.h"

#include <QApplication>
#include <QCursor>
#include <QImage>
#include <QList>
#include <QTest>
#include <gtest/gtest.h>

class TEditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        FSavedSettings = FormatSettings;
        FormatSettings = TFormatSettings();
        FSavedThemes = ThemesEnabled();
    }
    void TearDown() override {
        FormatSettings = FSavedSettings;
        SetThemesEnabled(FSavedThemes);
    }

private:
    TFormatSettings FSavedSettings;
    bool FSavedThemes = true;
};

// Records the notices of an editor.
struct TNotices {
    int Changes = 0;
    QList<AnsiString> Edits;
    explicit TNotices(TCellEditor& editor) {
        editor.OnChange = [this](QObject*) { ++Changes; };
        editor.OnEdit = [this](QObject*, const AnsiString& value) { Edits << value; };
    }
};

namespace EditorTests {

// Moves the pointer as the platform does, so that windows hear it enter and
// leave.
inline void PointerTo(QWidget* w, QPoint p) {
    QCursor::setPos(w->mapToGlobal(p));
    QApplication::processEvents();
}

// A click through the window system, so a window holding the mouse hears it.
inline void Click(QWidget* w, QPoint p) {
    QTest::mousePress(w, Qt::LeftButton, {}, p);
    QTest::mouseRelease(w, Qt::LeftButton, {}, p);
}

inline QImage Render(QWidget* w) {
    QImage img(w->size(), QImage::Format_RGB32);
    img.fill(Qt::magenta);
    w->render(&img);
    return img;
}

} // namespace EditorTests
