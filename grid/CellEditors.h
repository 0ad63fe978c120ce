#pragma once
// The grid's in-place editors. Every column owns one editor of the class its
// type names; the grid lays it over a cell, hands it the cell's text
// (SetValue), and reads the text back (GetValue) when the edit is accepted.
//
//   TCellEditor              the base: border, alignment, margin, the value
//                            operations and the change notices
//     TTextualEditor         one line of text on the system edit control
//       TNumericEditor       numbers only, formatted by Precision
//         TSpinEditor        with up and down buttons (TSpinButtons)
//       TCustomButtonCellEditor  with a button at the right edge
//         TPopupEditor       the button drops a popup down
//           TComboBoxEditor  a list of items to choose from (TPopupList)
//           TDatePickerEditor  a month calendar (TDatePopup)
//     TCanvasCellEditor      paints itself
//       TCheckBoxEditor      a check box

#include "CustomControl.h"
#include "ExtCtrls.h"
#include "ImgList.h"
#include "PopupView.h"
#include "SharedClasses.h"
#include "Strings.h"
#include "SysUtils.h"

#include <QPointer>
#include <QStringList>
#include <memory>

class TEditControl;
class TSpinButtons;

// The screen cursor shown over the left edge of a text editor: an arrow
// pointing up and to the right, for selecting the whole text.
constexpr int crReversedArrow = 100;

// The value of an editor changed; it comes as 8-bit text in the system code
// page.
using TEditEvent = TEvent<QObject*, const AnsiString&>;
using TCustomPreviewDrawEvent = TEvent<QObject*, const TRect&>;
// A spin button part (1 up, 2 down) stepped.
using TSpinStepEvent = TEvent<QObject*, int>;

class TCellEditor : public TCustomControl {
    Q_OBJECT
    Q_PROPERTY(TLabel::TAlignment Alignment READ Alignment WRITE SetAlignment)
    Q_PROPERTY(TBorderStyle BorderStyle READ BorderStyle WRITE SetBorderStyle)
    Q_PROPERTY(int Margin READ Margin WRITE SetMargin)
    Q_PROPERTY(SharedClasses::TVerticalAlignment VerticalAlignment READ VerticalAlignment WRITE
                   SetVerticalAlignment)
public:
    explicit TCellEditor(QObject* owner = nullptr);

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    // The inner distance of the content from the client area's edges.
    int Margin() const { return FMargin; }
    void SetMargin(int Value);
    TVerticalAlignment VerticalAlignment() const { return FVerticalAlignment; }
    void SetVerticalAlignment(TVerticalAlignment Value);

    // 1 with bsSingle, 0 with bsNone; the client area lies inside it.
    int BorderWidth() const { return FBorderStyle == bsSingle ? 1 : 0; }
    TRect ClientRect() const override;
    TPoint ClientOrigin() const override;

    // The value operations. The base supplies none of the typed ones: a call
    // on a class that lacks one raises the abstract error.
    virtual bool GetBooleanValue();
    virtual double GetFloatValue();
    virtual TDateTime GetDateValue();
    virtual WideString GetValue();
    // Draws over the editor after every paint.
    virtual void PaintContent() {}
    virtual void SetBooleanValue(bool Value);
    virtual void SetDateValue(TDateTime Value);
    virtual void SetFloatValue(double Value);
    virtual void SetValue(const WideString& Value);
    // Called by the grid after it has shown and focused the editor.
    virtual void Activate() {}
    virtual void ClearValue() {}
    virtual void SelectAll() {}

    TNotifyEvent OnChange;
    TEditEvent OnEdit;
    // OnChange, except while the editor is read from a stored layout.
    virtual void Change();
    // OnEdit with the value in the system code page.
    virtual void Edit(const WideString& Value);

    void DoEnter() override;
    void DoExit() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;

    // An editor's child windows are parts of it, made by the editor itself:
    // a layout neither stores nor gives it any.
    bool ReadChild(QObject*) override { return false; }
    std::vector<QObject*> StreamedChildren() const override { return {}; }

protected:
    // The settings the window is made with changed (alignment, margin,
    // vertical alignment, reading order): the window is made again.
    virtual void RecreateWnd();
    // Runs when the window is made: when the editor is first shown and on
    // every RecreateWnd after that.
    virtual void CreateWnd() {}
    bool WindowCreated() const { return FWindowCreated; }
    // The client area changed size or place (a resize, a border change).
    virtual void ClientResized() {}
    // The wheel, a notch (120) at a time; answer whether it was handled.
    virtual bool DoMouseWheelDown(TShiftState Shift, const TPoint& MousePos);
    virtual bool DoMouseWheelUp(TShiftState Shift, const TPoint& MousePos);

    // The border, then Paint and PaintContent on the client area.
    void paintEvent(QPaintEvent* event) override;
    // The border and the client, as one paint pass asks for them.
    void PaintAll(QPainter& painter, const QRegion& region);
    virtual void PaintBorder();
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void BiDiModeChanged() override { RecreateWnd(); }

private:
    bool InClient(const QPointF& windowPos) const;
    template <class Fn> void Translated(QMouseEvent* event, Fn handler);

    TAlignment FAlignment = taLeftJustify;
    TBorderStyle FBorderStyle = bsSingle;
    int FMargin = 0;
    TVerticalAlignment FVerticalAlignment = vaMiddle;
    bool FWindowCreated = false;
    int FWheelRemainder = 0;
    bool FWheelTaken = false;
};

class TTextualEditor : public TCellEditor {
    Q_OBJECT
    Q_PROPERTY(bool AutoSelect READ AutoSelect WRITE SetAutoSelect)
    Q_PROPERTY(bool ReadOnly READ ReadOnly WRITE SetReadOnly)
    Q_PROPERTY(bool ShowPreview READ ShowPreview WRITE SetShowPreview)
    Q_PROPERTY(QString Text READ Text WRITE SetText)
public:
    enum TDropDownStyle { dsDropDown, dsDropDownList };
    Q_ENUM(TDropDownStyle)

    explicit TTextualEditor(QObject* owner = nullptr);

    // Select the whole text whenever the editor gains the focus.
    bool AutoSelect() const { return FAutoSelect; }
    void SetAutoSelect(bool Value) { FAutoSelect = Value; }
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    // A small preview square left of the text, drawn by OnCustomPreviewDraw.
    bool ShowPreview() const { return FShowPreview; }
    void SetShowPreview(bool Value);
    QString Text() const;
    // Assigning a different text runs the text-changed notice (Change, then
    // Edit); typing does not.
    void SetText(const QString& Value);

    TEditControl* EditControl() const { return FEdit; }

    // Where the text goes, in client coordinates.
    virtual void GetEditRect(TRect& Rect);
    virtual void DrawPreview(const TRect& Rect);
    virtual void CustomPreviewDraw(const TRect& Rect) { OnCustomPreviewDraw(this, Rect); }
    TCustomPreviewDrawEvent OnCustomPreviewDraw;

    WideString GetValue() override { return Text(); }
    void SetValue(const WideString& Value) override { SetText(Value); }
    // The caret after the last character, nothing selected.
    void Activate() override;
    void ClearValue() override { SetText(QString()); }
    void SelectAll() override;
    void PaintContent() override;

    void KeyPress(QChar& Key) override;
    void DoEnter() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;

protected:
    // The framework's notice that the text was assigned.
    virtual void TextChanged();
    // Every paste ends here with the text to paste; the text replaces the
    // selection.
    virtual void PasteText(const QString& Value);
    // Puts the edit control on the edit rectangle with the alignment.
    void UpdateEditControl();
    void RecreateWnd() override;
    void ClientResized() override;
    void ApplyCursor() override;
    void ColorChanged() override;
    void FontChanged() override;

    TDropDownStyle FDropDownStyle = dsDropDown;
    TEditControl* FEdit;

private:
    void ApplyColors();

    bool FAutoSelect = false;
    bool FReadOnly = false;
    bool FShowPreview = false;
    // The pointer is over the left edge, where the reversed arrow shows.
    bool FOverLeftEdge = false;
};

class TNumericEditor : public TTextualEditor {
    Q_OBJECT
    Q_PROPERTY(double Max READ Max WRITE SetMax)
    Q_PROPERTY(double Min READ Min WRITE SetMin)
    Q_PROPERTY(QString NullText READ NullText WRITE SetNullText)
    Q_PROPERTY(TEditOptions Options READ Options WRITE SetOptions)
    Q_PROPERTY(int Precision READ Precision WRITE SetPrecision)
    Q_PROPERTY(QString TextAfter READ TextAfter WRITE SetTextAfter)
    Q_PROPERTY(double Value READ Value WRITE SetValue)
public:
    enum TEditOption { eoAllowAll = 1, eoAllowFloat = 2, eoAllowSigns = 4 };
    Q_DECLARE_FLAGS(TEditOptions, TEditOption)
    Q_FLAG(TEditOptions)

    explicit TNumericEditor(QObject* owner = nullptr);

    double Max() const { return FMax; }
    void SetMax(double Value) { FMax = Value; }
    double Min() const { return FMin; }
    void SetMin(double Value) { FMin = Value; }
    // Shown in place of the value 0 when not empty. Setting it makes the
    // value 0.
    const QString& NullText() const { return FNullText; }
    void SetNullText(const QString& Value);
    TEditOptions Options() const { return FOptions; }
    void SetOptions(TEditOptions Value) { FOptions = Value; }
    // Decimals shown when decimals are allowed.
    int Precision() const { return FPrecision; }
    void SetPrecision(int Value);
    // Shown after the number (a unit).
    const QString& TextAfter() const { return FTextAfter; }
    void SetTextAfter(const QString& Value);
    // The number the text reads as: 0 for an empty text or the null text;
    // the unit after it and an exponent as FormatValue writes them are read
    // as such. Raises the conversion error for a text without digits (a
    // lone sign).
    double Value() const;
    using TTextualEditor::SetValue;
    void SetValue(double Value) { FormatValue(Value); }

    // Writes V into Text by the options, Precision, TextAfter and NullText.
    void FormatValue(double V);
    // Keeps digits, '+', '-' and the locale's decimal separator of S: the
    // separator only when allowed and once, a sign only when allowed and
    // first.
    static QString CleanNumber(const QString& S, bool AllowSeparator, bool AllowSign);

    double GetFloatValue() override { return Value(); }
    void SetFloatValue(double Value) override { SetValue(Value); }

    // The key filter: only what can make a number is typed.
    void KeyPress(QChar& Key) override;
    void DoExit() override;
    // Takes Max, Min, NullText, Options, Precision and Value of another
    // numeric editor.
    virtual void Assign(const TNumericEditor& Source);

protected:
    // Pastes only what can make a number at the place of the selection.
    void PasteText(const QString& Value) override;
    void CreateWnd() override;

private:
    bool AllowsFloat() const { return FOptions.testFlag(eoAllowFloat); }
    bool AllowsSigns() const { return FOptions.testFlag(eoAllowSigns); }

    double FMax = 0;
    double FMin = 0;
    QString FNullText;
    TEditOptions FOptions = TEditOptions(eoAllowFloat) | eoAllowSigns;
    int FPrecision = 2;
    QString FTextAfter;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(TNumericEditor::TEditOptions)

class TSpinEditor;

// The up and down buttons at the right edge of a spin editor. Pressing a
// part steps once at once; held for the delay, it steps on every tick of
// the repeat timer until it is released.
class TSpinButtons : public TCustomControl {
    Q_OBJECT
public:
    static constexpr int DelayInterval = 400;
    static constexpr int RepeatInterval = 20;

    explicit TSpinButtons(QObject* owner = nullptr);

    // Bit 1 the upper part, bit 2 the lower one.
    int PressedPart() const { return FPressedPart; }
    int HotPart() const { return FHotPart; }
    void SetHotPart(int Value);
    TTimer* DelayTimer() const { return FDelayTimer; }
    TTimer* RepeatTimer() const { return FRepeatTimer; }
    TSpinEditor* Editor() const { return FEditor; }
    void SetEditor(TSpinEditor* Value) { FEditor = Value; }

    // Presses a part: one step now, then the delay.
    void Press(int Part);
    // Releases the pressed part and stops both timers.
    void Release();
    // The part under a point of the buttons.
    int PartAt(int Y) const { return Y < FHeight / 2 ? 1 : 2; }

    TSpinStepEvent OnStep;
    virtual void Step(int Part) { OnStep(this, Part); }

    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseLeave() override { SetHotPart(0); }

protected:
    void Paint() override;
    bool PaintsOwnBackground() const override { return true; }
    // Hidden, or in a window that lost the activation, the buttons can hear
    // no release: they let go at once.
    void hideEvent(QHideEvent* event) override;
    bool event(QEvent* event) override;
    // One part drawn the classic way: a scroll arrow button.
    virtual void PaintClassicPart(const TRect& Rect, bool Up, bool Pushed);

private:
    void DelayElapsed();
    void RepeatElapsed();

    int FPressedPart = 0;
    int FHotPart = 0;
    TTimer* FDelayTimer;
    TTimer* FRepeatTimer;
    TSpinEditor* FEditor = nullptr;
};

class TSpinEditor : public TNumericEditor {
    Q_OBJECT
    Q_PROPERTY(double Increment READ Increment WRITE SetIncrement)
public:
    explicit TSpinEditor(QObject* owner = nullptr);

    double Increment() const { return FIncrement; }
    void SetIncrement(double Value) { FIncrement = Value; }
    TSpinButtons* Buttons() const { return FButtons; }

    // Value up or down by Increment within the bounds: Max (when above 0)
    // above, Min below.
    virtual void StepUp();
    virtual void StepDown();

    void GetEditRect(TRect& Rect) override;
    void KeyDown(int& Key, TShiftState Shift) override;
    void KeyUp(int& Key, TShiftState Shift) override;
    // The release of an arrow key held down here goes to the control the
    // focus moved to: the buttons let go now.
    void DoExit() override;
    void MouseEnter() override;
    void MouseLeave() override;

protected:
    bool DoMouseWheelDown(TShiftState Shift, const TPoint& MousePos) override;
    bool DoMouseWheelUp(TShiftState Shift, const TPoint& MousePos) override;
    void ClientResized() override;
    // Places the buttons at the right edge of the client area.
    void LayoutButtons();

private:
    void Step(int Part);

    TSpinButtons* FButtons;
    double FIncrement = 1;
};

// An editor that draws its content itself on its canvas; the background is
// never erased on its own.
class TCanvasCellEditor : public TCellEditor {
    Q_OBJECT
public:
    explicit TCanvasCellEditor(QObject* owner = nullptr);

protected:
    // Fills the client area with the editor's colour.
    void Paint() override;
    bool PaintsOwnBackground() const override { return true; }
};

class TCheckBoxEditor : public TCanvasCellEditor {
    Q_OBJECT
    Q_PROPERTY(bool Checked READ Checked WRITE SetChecked)
    Q_PROPERTY(bool Grayed READ Grayed WRITE SetGrayed)
public:
    explicit TCheckBoxEditor(QObject* owner = nullptr);

    bool Checked() const { return FChecked; }
    // Runs Change and Edit with the new value.
    void SetChecked(bool Value);
    // Drawn as pressed.
    bool Grayed() const { return FGrayed; }
    void SetGrayed(bool Value);
    // The box is held down (by the mouse or the space bar).
    bool Pressed() const { return FPressed; }
    // The pointer is over the box.
    bool Hot() const { return FHot; }
    // The box, in client coordinates: 13 pixels square with themes, else 11.
    TRect BoxRect() const;

    bool GetBooleanValue() override { return FChecked; }
    void SetBooleanValue(bool Value) override { SetChecked(Value); }
    // "True" or "False".
    WideString GetValue() override;
    // Checked when the text is "true" in any letter case.
    void SetValue(const WideString& Value) override;
    void ClearValue() override { SetChecked(false); }
    void Activate() override { update(); }

    void KeyDown(int& Key, TShiftState Shift) override;
    void KeyUp(int& Key, TShiftState Shift) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseLeave() override;

protected:
    void Paint() override;

private:
    // The client rectangle grown by 1, which the box is placed in.
    TRect BoxArea() const;
    void InvalidateBox();

    bool FChecked = false;
    bool FGrayed = false;
    bool FPressed = false;
    bool FHot = false;
};

// ------------------------------------------------------------ button editors

class TCustomButtonCellEditor;

// A class reference: names a class and makes objects of it. The button
// editors choose the classes of their button and popup with these, so that
// a subclass can name others.
template <class Base> struct TClassRef {
    const QMetaObject* Class = nullptr;
    Base* (*Create)(QObject* Owner) = nullptr;

    explicit operator bool() const { return Class != nullptr; }
    template <class T> static TClassRef Of() {
        return {&T::staticMetaObject, [](QObject* Owner) -> Base* { return new T(Owner); }};
    }
};

// The button at the right edge of a button editor. It has a pressed and a
// hot look and two callbacks: OnPress when a button goes down on it, and
// OnRelease (the click) when the button comes up after such a press. The
// kinds below draw it; this one draws nothing.
class TSmallButton : public TCustomControl {
    Q_OBJECT
public:
    explicit TSmallButton(QObject* owner = nullptr);

    bool Pressed() const { return FPressed; }
    void SetPressed(bool Value);
    bool Hot() const { return FHot; }
    void SetHot(bool Value);
    TCustomButtonCellEditor* Editor() const { return FEditor; }
    void SetEditor(TCustomButtonCellEditor* Value) { FEditor = Value; }

    TNotifyEvent OnPress;
    TNotifyEvent OnRelease;

    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseEnter() override { SetHot(true); }
    void MouseLeave() override { SetHot(false); }

protected:
    // The state number of a themed button part: 3 pressed, 2 hot, 1 normal.
    int ThemeState() const { return FPressed ? 3 : FHot ? 2 : 1; }
    bool PaintsOwnBackground() const override { return true; }

private:
    bool FPressed = false;
    bool FHot = false;
    TCustomButtonCellEditor* FEditor = nullptr;
};

// The button of an editor that runs a command of its owner (OnButtonClick).
class TExecuteButton : public TSmallButton {
    Q_OBJECT
public:
    explicit TExecuteButton(QObject* owner = nullptr);

protected:
    void Paint() override;
};

// The arrow button of an editor that drops a list or calendar down.
class TDropDownButton : public TSmallButton {
    Q_OBJECT
public:
    explicit TDropDownButton(QObject* owner = nullptr);

protected:
    void Paint() override;
};

using TSmallButtonClass = TClassRef<TSmallButton>;
using TPopupViewClass = TClassRef<TPopupView>;

// A text editor with a button at its right edge. The button and the popup
// are of the classes GetButtonClass and GetPopupClass name; they are made
// the first time they are needed (a constructor cannot ask a subclass for
// its classes) and live as long as the editor. A plain button editor has an
// execute button and no popup: its button only raises OnButtonClick.
class TCustomButtonCellEditor : public TTextualEditor {
    Q_OBJECT
    Q_PROPERTY(TTextualEditor::TDropDownStyle Style READ Style WRITE SetStyle)
public:
    // What the edit rectangle leaves free at the right for the button.
    static constexpr int ButtonSpace = 16;

    explicit TCustomButtonCellEditor(QObject* owner = nullptr);
    ~TCustomButtonCellEditor() override;

    // dsDropDown: the text can be typed; dsDropDownList: it comes only from
    // the popup (read-only, with the arrow pointer).
    TDropDownStyle Style() const { return FDropDownStyle; }
    void SetStyle(TDropDownStyle Value);

    TSmallButton* Button();
    // Null for an editor whose class names no popup.
    TPopupView* Popup();

    virtual TSmallButtonClass GetButtonClass() const;
    virtual TPopupViewClass GetPopupClass() const;
    // Hands the popup what it shows, just before it drops down.
    virtual void PreparePopup() {}
    // The popup's choice: it becomes the text, and the editor reports it
    // once with OnEdit.
    virtual void PopupValueSelected(const QString& Value);

    TNotifyEvent OnButtonClick;
    // The button was clicked.
    virtual void ButtonClick() { OnButtonClick(this); }
    // The button went down.
    virtual void DropDown() {}

    // The text editor's, then the pointer of the style and the button
    // repainted.
    void Activate() override;
    void GetEditRect(TRect& Rect) override;
    // Lays the button out also while the editor is hidden (Qt tells a hidden
    // window of its new size only when it is shown).
    void SetBounds(int left, int top, int width, int height) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void MouseMove(TShiftState Shift, int X, int Y) override;

protected:
    // The popup closed, with a choice or without: the button comes up.
    virtual void CloseUp();
    void ClientResized() override;
    // Places the button at the right edge, the client area's height.
    void LayoutButton();
    // The popup if it has been made; makes none.
    TPopupView* MadePopup() const { return FPopup.get(); }
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    // Makes the button and the popup of the classes named now, replacing
    // parts of other classes.
    void CreateParts();
    void ApplyStyleCursor();
    // Runs a part's callback into the editor. A handler may free the editor
    // meanwhile; the part is then still inside its own event handling, so
    // the editor leaves it to be freed once that is over.
    template <class Fn> void FromPart(Fn&& Call);

    std::unique_ptr<TSmallButton> FButton;
    std::unique_ptr<TPopupView> FPopup;
    int FPartCalls = 0;
};

// A button editor whose button (and, in dsDropDownList, a press anywhere on
// it) drops its popup down under it.
class TPopupEditor : public TCustomButtonCellEditor {
    Q_OBJECT
public:
    explicit TPopupEditor(QObject* owner = nullptr);

    TSmallButtonClass GetButtonClass() const override;
    TPopupViewClass GetPopupClass() const override;
    // Opens the popup below the editor's left edge with the editor's font,
    // width and text.
    void DropDown() override;

    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
};

// Chooses its text from a list of items, by the drop-down list, the Up and
// Down keys or the wheel; with ShowImages and Images the picture of the
// current item stands left of the text.
class TComboBoxEditor : public TPopupEditor {
    Q_OBJECT
    Q_PROPERTY(int DropDownCount READ DropDownCount WRITE SetDropDownCount)
    Q_PROPERTY(TCustomImageList* Images READ Images WRITE SetImages)
    Q_PROPERTY(int ItemIndex READ ItemIndex WRITE SetItemIndex)
    Q_PROPERTY(int ItemHeight READ ItemHeight WRITE SetItemHeight)
    Q_PROPERTY(QStringList Items READ Items WRITE SetItems)
    Q_PROPERTY(bool ShowImages READ ShowImages WRITE SetShowImages)
public:
    explicit TComboBoxEditor(QObject* owner = nullptr);
    ~TComboBoxEditor() override;

    // The most rows the list shows; more items scroll.
    int DropDownCount() const { return FDropDownCount; }
    void SetDropDownCount(int Value) { FDropDownCount = Value; }
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    int ItemIndex() const { return FItemIndex; }
    // Makes an item the text, the index clamped to the items; nothing while
    // there are none.
    void SetItemIndex(int Value);
    int ItemHeight() const { return FItemHeight; }
    void SetItemHeight(int Value) { FItemHeight = Value; }
    // The editor's own list; the drop-down list shows it, not a copy.
    const QStringList& Items() const { return FItems; }
    QStringList& Items() { return FItems; }
    void SetItems(const QStringList& Value) { FItems = Value; }
    bool ShowImages() const { return FShowImages; }
    void SetShowImages(bool Value);

    TPopupList* PopupList() { return qobject_cast<TPopupList*>(Popup()); }

    TPopupViewClass GetPopupClass() const override;
    void PreparePopup() override;
    // The choice, then ItemIndex the chosen item.
    void PopupValueSelected(const QString& Value) override;
    void GetEditRect(TRect& Rect) override;
    void PaintContent() override;
    void KeyDown(int& Key, TShiftState Shift) override;
    // A stored ItemIndex may come before the stored items: it is applied
    // once both are read.
    void Loaded() override;

protected:
    bool DoMouseWheelDown(TShiftState Shift, const TPoint& MousePos) override;
    bool DoMouseWheelUp(TShiftState Shift, const TPoint& MousePos) override;

private:
    bool ImagesShown() const { return FShowImages && FImages; }

    int FDropDownCount = 8;
    QPointer<TCustomImageList> FImages;
    int FItemIndex = 0;
    int FItemHeight = 16;
    QStringList FItems;
    bool FShowImages = true;
};

// A date as text in the locale's short date format, chosen from a month
// calendar. The texts "" and "0" (the calendar's "None") stand for today.
class TDatePickerEditor : public TPopupEditor {
    Q_OBJECT
    Q_PROPERTY(double Date READ Date WRITE SetDate)
public:
    // The calendar's size.
    static constexpr int CalendarWidth = 151;
    static constexpr int CalendarHeight = 163;

    explicit TDatePickerEditor(QObject* owner = nullptr);

    TDateTime Date() { return GetDateValue(); }
    void SetDate(TDateTime Value) { SetDateValue(Value); }
    TDatePopup* Calendar() { return qobject_cast<TDatePopup*>(Popup()); }

    // Raises EConvertError for a text that is not a date.
    TDateTime GetDateValue() override;
    void SetDateValue(TDateTime Value) override;

    TPopupViewClass GetPopupClass() const override;
    // The calendar shows the month of Date with Date selected.
    void PreparePopup() override;
};
