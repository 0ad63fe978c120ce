#include "Grid.h"

#include "CellEditors.h"

void RegisterGridClasses() {
    RegisterClass<TCellEditor>();
    RegisterClass<TTextualEditor>();
    RegisterClass<TNumericEditor>();
    RegisterClass<TSpinEditor>();
    RegisterClass<TCanvasCellEditor>();
    RegisterClass<TCheckBoxEditor>();
}
