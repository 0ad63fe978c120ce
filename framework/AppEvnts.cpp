#include "AppEvnts.h"

#include <QtDebug>

TApplicationEvents::TApplicationEvents(QObject* owner) : TComponent(owner) {
    RegisterEvent("OnException", OnException);
    if (Application) {
        Application->AddExceptionHandler(this, [this](QObject* sender, const Exception& e) {
            if (OnException)
                OnException(sender, e);
            else
                qWarning().noquote() << e.Message();
        });
    }
}

TApplicationEvents::~TApplicationEvents() {
    if (Application) Application->RemoveExceptionHandlers(this);
}
