#pragma once
// A component that lets a window hear application-wide events; here, the
// exceptions that no handler caught.

#include "Application.h"
#include "Classes.h"

class TApplicationEvents : public TComponent {
    Q_OBJECT
public:
    explicit TApplicationEvents(QObject* owner = nullptr);
    ~TApplicationEvents() override;

    TEvent<QObject*, const Exception&> OnException;
};
