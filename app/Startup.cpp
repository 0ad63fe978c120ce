#include "Startup.h"

#include "Application.h"
#include "Framework.h"
#include "Grid.h"
#include "TrayIcon.h"
#include "Unit1.h"
#include "Unit2.h"
#include "Unit3.h"
#include "Unit4.h"
#include "UnitSupport.h"
#include "mekalcallerid_TLB.h"

#include <QApplication>
#include <QIcon>

void CreateToolWindows() {
    RegisterFrameworkClasses();
    RegisterDeviceClasses();
    RegisterTrayClasses();
    RegisterGridClasses();
    Application->SetTitle(QStringLiteral("Caller ID Test"));
    EnsureResources();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/app.ico")));
    // A window that fails to build takes the ones before it down with it.
    try {
        Form1 = new TForm1(Application);
        Form2 = new TForm2(Application);
        Form3 = new TForm3(Application);
        HelpForm = new THelpForm(Application);
    } catch (...) {
        DestroyToolWindows();
        throw;
    }
}

void DestroyToolWindows() {
    delete HelpForm;
    HelpForm = nullptr;
    delete Form3;
    Form3 = nullptr;
    delete Form2;
    Form2 = nullptr;
    delete Form1;
    Form1 = nullptr;
}
