#include "CustomGridViewControl.h"

TCustomGridViewControl::TCustomGridViewControl(QObject* owner)
    : TScrollView(owner), FColumns(new TColumns(this)) {
    FColumns->OnColumnChange = [this](TColumns*, TCustomColumn* column, TColumnChange kind) {
        ColumnChanged(column, kind);
    };
    FColumns->OnStructureChange = [this](TColumns*, TColumnsChange kind, int, int) {
        ColumnsChanged(kind);
    };
}

TCustomGridViewControl::~TCustomGridViewControl() {
    // Freed while the grid is still whole: the columns' companions may
    // stand on it.
    delete FColumns;
}

void TCustomGridViewControl::SetHeaderStyle(THeaderStyle Value) {
    FHeaderStyle = Value;
    update();
}

void TCustomGridViewControl::SetOptions(TGridOptions Value) {
    const bool indicatorChanged = (FOptions ^ Value).testFlag(goIndicator);
    FOptions = Value;
    if (indicatorChanged) LayoutChanged();
    update();
}
