#include "Unit3.h"

#include "UnitSupport.h"

TForm3* Form3 = nullptr;

TForm3::TForm3(QObject* owner, const QString& layout) : TForm(owner) {
    EnsureResources();
    ReadLayout(layout);
    StatusBar1 = BindComponent<TStatusBar>(this, "StatusBar1");
    w_ayar = BindComponent<TImage>(this, "w_ayar");
}

void TForm3::w_ayarClick(QObject*) {
    FitPictureWindow(this, false);
}

void TForm3::FormShow(QObject* Sender) {
    w_ayarClick(Sender);
}

void TForm3::FormKeyPress(QObject*, QChar& Key) {
    if (Key == QChar(27)) Close();
}

void TForm3::w_ayarMouseUp(QObject*, TMouseButton, TShiftState, int, int) {
    w_ayar->SetProportional(false);
}
