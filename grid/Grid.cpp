#include "Grid.h"

#include "CellEditors.h"
#include "ColumnClasses.h"
#include "GridView.h"

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

    // The grid a window places, with every column type its layout may
    // name (the grid registers the same ones as it is made).
    RegisterClass<TGridView>();
    RegisterGridColumnClasses();
}

void RegisterGridColumnClasses() {
    RegisterClass<TIncrementColumn>();
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
