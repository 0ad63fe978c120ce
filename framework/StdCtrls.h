#pragma once
// Labels, memos, buttons and group boxes.

#include "Controls.h"

#include <QStringList>

class QPlainTextEdit;
class QPushButton;

class TLabel : public TControl {
    Q_OBJECT
    Q_PROPERTY(TAlignment Alignment READ Alignment WRITE SetAlignment)
    Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent)
    Q_PROPERTY(bool WordWrap READ WordWrap WRITE SetWordWrap)
public:
    enum TAlignment { taLeftJustify, taRightJustify, taCenter };
    Q_ENUM(TAlignment)

    explicit TLabel(QObject* owner = nullptr);

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool value);

protected:
    void paintEvent(QPaintEvent* event) override;
    void AdjustSize() override;
    bool PaintsOwnBackground() const override { return true; }
    void CaptionChanged() override;

private:
    TAlignment FAlignment = taLeftJustify;
    bool FTransparent = false;
    bool FWordWrap = false;
};

// A multi-line text box. Its lines follow the rule of the classic memo: the
// text is the lines each followed by a line break, and an empty line after
// the last line break is not counted.
class TMemo : public TWinControl {
    Q_OBJECT
    Q_PROPERTY(TBorderStyle BorderStyle READ BorderStyle WRITE SetBorderStyle)
    Q_PROPERTY(QStringList Lines READ Lines WRITE SetLines)
    Q_PROPERTY(bool ReadOnly READ ReadOnly WRITE SetReadOnly)
    Q_PROPERTY(TScrollStyle ScrollBars READ ScrollBars WRITE SetScrollBars)
    Q_PROPERTY(bool WordWrap READ WordWrap WRITE SetWordWrap)
public:
    enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
    Q_ENUM(TScrollStyle)

    explicit TMemo(QObject* owner = nullptr);

    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle value);
    QStringList Lines() const;
    void SetLines(const QStringList& lines);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool value);
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool value);

    const QString& Text() const { return FText; }
    void SetText(const QString& text);
    int LineCount() const { return FLineCount; }
    // Raises "List index out of bounds (%d)" for an index outside the lines.
    QString Line(int index) const;
    // Adding and deleting a line cost the length of that line (and of the
    // lines before it, for a deletion), not of the whole text.
    void AddLine(const QString& line);
    // Raises "List index out of bounds (%d)" for an index outside the lines.
    void DeleteLine(int index);
    void Clear() { SetText(QString()); }

    // The text box that shows the text (for tests and painting checks).
    QPlainTextEdit* Editor() const { return FEditor; }

    TNotifyEvent OnChange;
    virtual void Change() { OnChange(this); }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void ColorChanged() override;
    void FontChanged() override;

private:
    class TQuietEdit;
    // Where line `index` starts in the text.
    qsizetype LineStart(int index) const;
    // Adds `tail` at the end of the text and of the editor's document.
    void AppendText(const QString& tail);
    // After a change from code: the last line is brought into view and
    // Change runs.
    void TextChanged();

    QPlainTextEdit* FEditor;
    QString FText;
    int FLineCount = 0;
    TBorderStyle FBorderStyle = bsSingle;
    bool FReadOnly = false;
    TScrollStyle FScrollBars = ssNone;
    bool FWordWrap = true;
    bool FSettingText = false;
};

class TButton : public TWinControl {
    Q_OBJECT
public:
    explicit TButton(QObject* owner = nullptr);
    QPushButton* Button() const { return FButton; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void CaptionChanged() override;
    void FontChanged() override;

private:
    QPushButton* FButton;
};

class TGroupBox : public TWinControl {
    Q_OBJECT
public:
    explicit TGroupBox(QObject* owner = nullptr);
    void AdjustClientRect(TRect& rect) const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void CaptionChanged() override;
};
