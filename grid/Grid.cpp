#include "Grid.h"

#include "CellEditors.h"
#include "ColumnClasses.h"

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

    // The column types a layout may name; the increment column is made
    // only in code.
    RegisterClass<TGraphicColumn>();
    RegisterClass<TCheckBoxColumn>();
    RegisterClass<TDateColumn>();
    RegisterClass<THtmlColumn>();
    RegisterClass<TImageColumn>();
    RegisterClass<TComboBoxColumn>();
    RegisterClass<TNumericColumn>();
    RegisterClass<TProgressColumn>();
    RegisterClass<TRateColumn>();
    RegisterClass<TTextualColumn>();
}
