// The editors with a button: the button kinds, the button editor, the
// drop-down editor and its list and calendar kinds.

#include "Application.h"
#include "CellEditors.h"

#include "EditControl.h"
#include "ThemesSupport.h"

#include <QHideEvent>
#include <QMoveEvent>
#include <QPainter>
#include <QShowEvent>
#include <QWidget>
#include <algorithm>

// -------------------------------------------------------------- TSmallButton

TSmallButton::TSmallButton(QObject* owner) : TCustomControl(owner) {
    // The keyboard stays in the editor's text while its button is used.
    setFocusPolicy(Qt::NoFocus);
}

void TSmallButton::SetPressed(bool Value) {
    if (Value == FPressed) return;
    FPressed = Value;
    update();
}

void TSmallButton::SetHot(bool Value) {
    if (Value == FHot) return;
    FHot = Value;
    update();
}

void TSmallButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft) return;
    SetPressed(true);
    OnPress(this);
}

void TSmallButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseUp(Button, Shift, X, Y);
    if (Button != mbLeft || !FPressed) return;
    SetPressed(false);
    OnRelease(this);
}

// ------------------------------------------------------------ TExecuteButton

TExecuteButton::TExecuteButton(QObject* owner) : TSmallButton(owner) {
    SetWidth(21);
}

void TExecuteButton::Paint() {
    TCanvas* c = Canvas();
    const TRect r = ClientRect();
    if (ThemesActive()) {
        // The themed face has round corners; the button's colour fills them.
        c->Brush = TBrush{EffectiveColor(), bsSolid};
        c->FillRect(r);
        DrawThemed(this, c, QStringLiteral("button"), Themes::BP_PUSHBUTTON, ThemeState(),
                   TCalcProvider::OffsetEdges(r, -1, -1, 1, 1));
    } else if (Pressed()) {
        c->Brush = TBrush{clBtnFace, bsSolid};
        c->Pen = TPen{clBtnShadow};
        c->Rectangle(r);
    } else {
        c->Brush = TBrush{clBtnFace, bsSolid};
        c->FillRect(r);
        TGraphicsProvider::Frame3D(c, r, cl3DLight, cl3DDkShadow);
        TGraphicsProvider::Frame3D(c, TCalcProvider::OffsetEdges(r, 1, 1, -1, -1), clBtnHighlight,
                                   clBtnShadow);
    }
}

// ----------------------------------------------------------- TDropDownButton

TDropDownButton::TDropDownButton(QObject* owner) : TSmallButton(owner) {
    SetWidth(16);
}

void TDropDownButton::Paint() {
    if (ThemesActive())
        DrawThemed(this, Canvas(), QStringLiteral("combobox"), Themes::CP_DROPDOWNBUTTON,
                   ThemeState(), ClientRect());
    else
        TGraphicsProvider::ScrollArrowButton(Canvas(), ClientRect(), false, Pressed());
}

// --------------------------------------------------- TCustomButtonCellEditor

TCustomButtonCellEditor::TCustomButtonCellEditor(QObject* owner) : TTextualEditor(owner) {
    RegisterEvent("OnButtonClick", OnButtonClick);
    SetStyle(dsDropDown);
    // The edit rectangle leaves room for the button from the start.
    ClientResized();
}

TCustomButtonCellEditor::~TCustomButtonCellEditor() {
    // The parts go with the fields already cleared: a button freed under
    // the pointer tells the editor that the pointer left it.
    std::unique_ptr<TSmallButton> button = std::move(FButton);
    std::unique_ptr<TPopupView> popup = std::move(FPopup);
    if (FPartCalls == 0) return;
    // Freed by a handler that a part called: the part is still handling its
    // event and goes when it is done, without reporting to this editor.
    if (button) {
        button->OnPress.Clear();
        button->OnRelease.Clear();
        button->SetEditor(nullptr);
        button->hide();
        button->setParent(nullptr);
        button.release()->deleteLater();
    }
    if (popup) {
        popup->OnCloseUp.Clear();
        popup->OnValue.Clear();
        popup->setParent(nullptr, popup->windowFlags());
        popup.release()->deleteLater();
    }
}

template <class Fn> void TCustomButtonCellEditor::FromPart(Fn&& Call) {
    const QPointer<TCustomButtonCellEditor> alive(this);
    ++FPartCalls;
    const struct Done {
        const QPointer<TCustomButtonCellEditor>& Alive;
        ~Done() {
            if (Alive) --Alive->FPartCalls;
        }
    } done{alive};
    Call();
}

void TCustomButtonCellEditor::SetStyle(TDropDownStyle Value) {
    FDropDownStyle = Value;
    SetReadOnly(Value == dsDropDownList);
    ApplyStyleCursor();
}

void TCustomButtonCellEditor::ApplyStyleCursor() {
    SetCursor(FDropDownStyle == dsDropDownList ? crArrow : crDefault);
}

TSmallButtonClass TCustomButtonCellEditor::GetButtonClass() const {
    return TSmallButtonClass::Of<TExecuteButton>();
}

TPopupViewClass TCustomButtonCellEditor::GetPopupClass() const {
    // Only the drop-down editors drop something down; a plain popup could
    // not choose anything anyway.
    return {};
}

void TCustomButtonCellEditor::CreateParts() {
    const TSmallButtonClass buttonClass = GetButtonClass();
    if (!FButton || FButton->metaObject() != buttonClass.Class) {
        FButton.reset();
        if (buttonClass) {
            FButton.reset(buttonClass.Create(this));
            FButton->SetEditor(this);
            FButton->Hide();
            FButton->SetParentControl(this);
            FButton->OnPress = [this](QObject*) { FromPart([this] { DropDown(); }); };
            FButton->OnRelease = [this](QObject*) { FromPart([this] { ButtonClick(); }); };
            LayoutButton();
        }
    }
    const TPopupViewClass popupClass = GetPopupClass();
    if (!FPopup || FPopup->metaObject() != popupClass.Class) {
        FPopup.reset();
        if (popupClass) {
            FPopup.reset(popupClass.Create(this));
            FPopup->Hide();
            FPopup->OnCloseUp = [this](QObject*) { FromPart([this] { CloseUp(); }); };
            FPopup->OnValue = [this](QObject*, const QString& Value) {
                FromPart([this, &Value] { PopupValueSelected(Value); });
            };
        }
    }
}

TSmallButton* TCustomButtonCellEditor::Button() {
    CreateParts();
    return FButton.get();
}

TPopupView* TCustomButtonCellEditor::Popup() {
    CreateParts();
    return FPopup.get();
}

void TCustomButtonCellEditor::PopupValueSelected(const QString& Value) {
    const QPointer<TCustomButtonCellEditor> alive(this);
    // An assignment of another text reports itself; a choice of the text
    // already there is reported here, so that every choice is reported once.
    if (Value == Text())
        Edit(Text());
    else
        SetText(Value);
    if (!alive) return;
    if (FButton) {
        FButton->SetHot(false);
        FButton->SetPressed(false);
    }
    if (FDropDownStyle == dsDropDownList) {
        TRect r;
        GetEditRect(r);
        const TPoint o = ClientOrigin();
        update(r.ToQRect().translated(o.X, o.Y));
        FEdit->update();
    }
}

void TCustomButtonCellEditor::CloseUp() {
    if (FButton) FButton->SetPressed(false);
}

void TCustomButtonCellEditor::Activate() {
    TTextualEditor::Activate();
    ApplyStyleCursor();
    if (TSmallButton* b = Button()) b->update();
}

void TCustomButtonCellEditor::GetEditRect(TRect& Rect) {
    TTextualEditor::GetEditRect(Rect);
    Rect.Right -= ButtonSpace;
}

void TCustomButtonCellEditor::SetBounds(int left, int top, int width, int height) {
    TTextualEditor::SetBounds(left, top, width, height);
    if (!isVisible()) ClientResized();
}

void TCustomButtonCellEditor::ClientResized() {
    TTextualEditor::ClientResized();
    update();
    LayoutButton();
}

void TCustomButtonCellEditor::LayoutButton() {
    if (!FButton) return;
    const TRect client = ClientRect();
    const int w = FButton->Width();
    FButton->SetBounds(client.Width() - w, 0, w, client.Height());
    FButton->Show();
    FButton->update();
}

void TCustomButtonCellEditor::MouseEnter() {
    TTextualEditor::MouseEnter();
    if (IsDesigning()) return;
    if (TSmallButton* b = Button()) b->SetHot(true);
}

void TCustomButtonCellEditor::MouseLeave() {
    TTextualEditor::MouseLeave();
    if (FButton) FButton->SetHot(false);
}

void TCustomButtonCellEditor::MouseMove(TShiftState Shift, int X, int Y) {
    TTextualEditor::MouseMove(Shift, X, Y);
    // Coming back from the button, which cleared its hot look as the pointer
    // left it, the pointer is still over the editor (Qt tells a window
    // nothing when the pointer moves between it and its children).
    if (!IsDesigning() && FButton && !FButton->Hot() && ClientRect().Contains(Point(X, Y)))
        FButton->SetHot(true);
}

void TCustomButtonCellEditor::showEvent(QShowEvent* event) {
    Guarded(this, [this] { CreateParts(); });
    TTextualEditor::showEvent(event);
}

void TCustomButtonCellEditor::hideEvent(QHideEvent* event) {
    TTextualEditor::hideEvent(event);
    // An open popup goes with its editor: a choice made in it later would
    // reach an editor the grid has already put away.
    if (FPopup && !FPopup->Closed()) Guarded(this, [this] { FPopup->ClosePopup(); });
}

void TCustomButtonCellEditor::moveEvent(QMoveEvent* event) {
    TTextualEditor::moveEvent(event);
    update();
    if (FButton) FButton->update();
}

// -------------------------------------------------------------- TPopupEditor

TPopupEditor::TPopupEditor(QObject* owner) : TCustomButtonCellEditor(owner) {}

TSmallButtonClass TPopupEditor::GetButtonClass() const {
    return TSmallButtonClass::Of<TDropDownButton>();
}

TPopupViewClass TPopupEditor::GetPopupClass() const {
    return TPopupViewClass::Of<TPopupView>();
}

void TPopupEditor::DropDown() {
    TPopupView* popup = Popup();
    if (!popup) return;
    // One pixel left of the client area's bottom-left corner.
    const TPoint o = ClientOrigin();
    const QPoint at = mapToGlobal(QPoint(o.X - 1, o.Y + ClientHeight()));
    popup->SetFont(*Font());
    popup->SetWidth(Width());
    popup->SetText(Text());
    PreparePopup();
    popup->PopupAt(at.x(), at.y());
}

void TPopupEditor::MouseDown(TMouseButton MouseButton, TShiftState Shift, int X, int Y) {
    TCustomButtonCellEditor::MouseDown(MouseButton, Shift, X, Y);
    // The list style's text is chosen, never typed: a press anywhere drops
    // the choice down.
    if (MouseButton != mbLeft || FDropDownStyle != dsDropDownList) return;
    DropDown();
    if (TSmallButton* b = Button()) b->SetPressed(true);
}

// ----------------------------------------------------------- TComboBoxEditor

TComboBoxEditor::TComboBoxEditor(QObject* owner) : TPopupEditor(owner) {}

TComboBoxEditor::~TComboBoxEditor() {
    // A list that outlives the editor (see the button editor's destructor)
    // must not show the items that go with it.
    if (auto* list = qobject_cast<TPopupList*>(MadePopup())) list->SetItems(nullptr);
}

TPopupViewClass TComboBoxEditor::GetPopupClass() const {
    return TPopupViewClass::Of<TPopupList>();
}

void TComboBoxEditor::SetImages(TCustomImageList* Value) {
    FImages = Value;
    UpdateEditControl();
    update();
}

void TComboBoxEditor::SetShowImages(bool Value) {
    FShowImages = Value;
    UpdateEditControl();
    update();
}

void TComboBoxEditor::SetItemIndex(int Value) {
    if (IsLoading()) {
        FItemIndex = Value;
        return;
    }
    if (FItems.isEmpty()) return;
    FItemIndex = std::clamp(Value, 0, int(FItems.size()) - 1);
    const QPointer<TComboBoxEditor> alive(this);
    SetText(FItems.at(FItemIndex));
    if (alive && ImagesShown()) update();
}

void TComboBoxEditor::Loaded() {
    TPopupEditor::Loaded();
    const int stored = FItemIndex;
    FItemIndex = 0;
    SetItemIndex(stored);
}

void TComboBoxEditor::PreparePopup() {
    TPopupList* list = PopupList();
    if (!list) return;
    list->SetItems(&FItems);
    list->SetImages(FImages);
    list->SetItemHeight(FItemHeight);
    list->SetShowImages(FShowImages);
    list->SetWidth(Width());
    // As many rows as there are items, at most DropDownCount; the rows are
    // as high as the list draws them, so a release inside always lies on an
    // item. Far beyond any screen the height stops at what a window can be.
    const qint64 rows = std::clamp<qint64>(FDropDownCount, 0, FItems.size());
    list->SetClientHeight(int(std::min<qint64>(rows * list->ItemHeight(), QWIDGETSIZE_MAX)));
}

void TComboBoxEditor::PopupValueSelected(const QString& Value) {
    const QPointer<TComboBoxEditor> alive(this);
    TPopupEditor::PopupValueSelected(Value);
    if (!alive) return;
    if (const TPopupList* list = PopupList(); list && list->ChosenIndex() >= 0)
        SetItemIndex(list->ChosenIndex());
    if (alive && ImagesShown()) update();
}

void TComboBoxEditor::GetEditRect(TRect& Rect) {
    TPopupEditor::GetEditRect(Rect);
    if (ImagesShown()) Rect.Left += FImages->Width() + 2;
}

void TComboBoxEditor::PaintContent() {
    TPopupEditor::PaintContent();
    if (!ImagesShown()) return;
    const int w = FImages->Width();
    const int h = FImages->Height();
    QPainter* painter = Canvas()->Painter();
    if (!painter || w <= 0 || h <= 0) return;
    int y = 0;
    switch (VerticalAlignment()) {
    case vaTop:
        y = 0;
        break;
    case vaBottom:
        y = ClientHeight() - h;
        break;
    default:
        y = ClientHeight() / 2 - h / 2;
        break;
    }
    painter->save();
    painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter->drawPixmap(2, y, FImages->GetIcon(FItemIndex).pixmap(w, h));
    painter->restore();
}

void TComboBoxEditor::KeyDown(int& Key, TShiftState Shift) {
    TPopupEditor::KeyDown(Key, Shift);
    if (Key == VK_UP || Key == VK_DOWN) {
        SetItemIndex(Key == VK_UP ? FItemIndex - 1 : FItemIndex + 1);
        Key = 0;
    }
}

bool TComboBoxEditor::DoMouseWheelDown(TShiftState, const TPoint&) {
    SetItemIndex(FItemIndex + 1);
    return true;
}

bool TComboBoxEditor::DoMouseWheelUp(TShiftState, const TPoint&) {
    SetItemIndex(FItemIndex - 1);
    return true;
}

// --------------------------------------------------------- TDatePickerEditor

TDatePickerEditor::TDatePickerEditor(QObject* owner) : TPopupEditor(owner) {
    SetDateValue(::Date());
}

TPopupViewClass TDatePickerEditor::GetPopupClass() const {
    return TPopupViewClass::Of<TDatePopup>();
}

TDateTime TDatePickerEditor::GetDateValue() {
    const QString text = Text();
    if (text.isEmpty() || text == u"0") return ::Date();
    return StrToDate(text);
}

void TDatePickerEditor::SetDateValue(TDateTime Value) {
    SetText(DateToStr(Value));
}

void TDatePickerEditor::PreparePopup() {
    TDatePopup* calendar = Calendar();
    if (!calendar) return;
    const TDateTime date = Date();
    int y = 0, m = 0, d = 0;
    DecodeDate(date, y, m, d);
    calendar->SetYear(quint16(y));
    calendar->SetMonth(quint16(m));
    calendar->SetDay(quint16(d));
    calendar->SetSelectedDate(date);
    calendar->SetBounds(calendar->Left(), calendar->Top(), CalendarWidth, CalendarHeight);
}
