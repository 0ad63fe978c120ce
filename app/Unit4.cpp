#include "Unit4.h"

#include "Unit2.h"
#include "UnitSupport.h"

THelpForm* HelpForm = nullptr;

THelpForm::THelpForm(QObject* owner, const QString& layout) : TForm(owner) {
    EnsureResources();
    ReadLayout(layout);
    GroupBox1 = BindComponent<TGroupBox>(this, "GroupBox1");
    Memo1 = BindComponent<TMemo>(this, "Memo1");
    Label1 = BindComponent<TLabel>(this, "Label1");
    Button1 = BindComponent<TButton>(this, "Button1");
}

void THelpForm::Label1Click(QObject*) {
    Form2->Show();
    Form2->BringToFront();
    Hide();
}

void THelpForm::Button1Click(QObject*) {
    Hide();
}
