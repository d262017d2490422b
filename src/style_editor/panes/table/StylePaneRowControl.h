#pragma once

// The widgets of one table row, bound to its key path: shows the component's value in them
// and writes what the user sets through the pane's common-value path. Typed text that does
// not read as a finite number writes nothing and the field shows the value again.

#include "style_editor/panes/table/StylePaneRow.h"
#include "widgets/fields/TableRowControl.h"

class StylePaneRowControl : public TableRowControl {
    Q_OBJECT

public:
    StylePaneRowControl(StylePaneRow row, StyleTablePane& pane);

    const StylePaneRow& row() const { return m_row; }

    void showValue(const QVariant& value);

    void rowAction(QObject* sender) override;

private:
    void stepperMoved(double shown) override;
    void write(const QVariant& value);
    void writeNumberFromField();

    StylePaneRow m_row;
    StyleTablePane& m_pane;
    double m_shownNumber = 0;
};
