#include "CustomGridViewControl.h"

TCustomGridViewControl::TCustomGridViewControl(QObject* owner) : TScrollView(owner) {}

TCustomGridViewControl::~TCustomGridViewControl() = default;
