#include "Unit2.h"

#include "UnitSupport.h"

TForm2* Form2 = nullptr;

TForm2::TForm2(QObject* owner, const QString& layout) : TForm(owner) {
    EnsureResources();
    ReadLayout(layout);
    StatusBar1 = BindComponent<TStatusBar>(this, "StatusBar1");
    Image3 = BindComponent<TImage>(this, "Image3");
}

void TForm2::Image3Click(QObject*) {
    FitPictureWindow(this, true);
}

void TForm2::FormShow(QObject* Sender) {
    Image3Click(Sender);
}

void TForm2::FormKeyPress(QObject*, QChar& Key) {
    if (Key == QChar(27)) Close();
}

void TForm2::FormMouseUp(QObject*, TMouseButton, TShiftState, int, int) {
    Image3->SetProportional(false);
}
