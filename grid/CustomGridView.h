#pragma once
// The grid with input and in-place editing over the grid control. So far it
// carries its column collection as a layout reads and writes it: the stored
// columns are the grid's unnamed children, appended to the collection in
// the order they stand, and the grid hands them out in that order again.

#include "Columns.h"
#include "CustomGridViewControl.h"

class TCustomGridView : public TCustomGridViewControl {
    Q_OBJECT
    Q_PROPERTY(TColumns* Columns READ Columns WRITE SetColumns)
public:
    explicit TCustomGridView(QObject* owner = nullptr);
    ~TCustomGridView() override;

    // The grid keeps its own collection: the given one's columns are copied
    // into it (each a new column of the same class with the same settings),
    // then the grid repaints. Its own collection or none only repaints.
    void SetColumns(TColumns* Value);

    // A column entry of a layout: before its properties are read the column
    // is given the collection (its setters reach the other columns), and
    // once they are read it is appended. Anything else is no child of a
    // grid.
    bool ReadChild(QObject* child) override;
    void ChildRead(QObject* child, bool complete) override;
    std::vector<QObject*> StreamedChildren() const override;
    void Loaded() override;

private:
    // The columns stored in a layout replace those the grid had: the first
    // column read empties the collection.
    bool FColumnsReadStarted = false;
};
