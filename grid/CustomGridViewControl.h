#pragma once
// The grid control: layout, painting, selection and editor state over the
// scroll view. So far it carries what a cell asks of its grid: the colours
// the cell is drawn in at this moment.

#include "ScrollView.h"
#include "Types.h"

class TCustomGridViewControl : public TScrollView {
    Q_OBJECT
public:
    explicit TCustomGridViewControl(QObject* owner = nullptr);
    ~TCustomGridViewControl() override;

    // The background and the text colour of the cell at (Col, Row) as it is
    // drawn now: its own colours, or those of a selection.
    virtual TColor GetCellColor(int Col, int Row) const = 0;
    virtual TColor GetCellTextColor(int Col, int Row) const = 0;
};
