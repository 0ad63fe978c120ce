#include "Grid.h"

#include "CellEditors.h"

void RegisterGridClasses() {
    RegisterClass<TCellEditor>();
    RegisterClass<TTextualEditor>();
    RegisterClass<TNumericEditor>();
    RegisterClass<TSpinEditor>();
    RegisterClass<TCustomButtonCellEditor>();
    RegisterClass<TPopupEditor>();
    RegisterClass<TComboBoxEditor>();
    RegisterClass<TDatePickerEditor>();
    RegisterClass<TCanvasCellEditor>();
    RegisterClass<TCheckBoxEditor>();
}
