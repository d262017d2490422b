#pragma once

// The widgets of one pane row, bound to its key path: shows the objects' common value (or the
// mixed state) and hands what the user sets to the pane. Typed text that does not read as a
// number in the field's formatter writes nothing, and the field shows the value again.

#include "inspectors/panes/table/GeometryPaneRow.h"
#include "widgets/fields/TableRowControl.h"

#include <QSet>
#include <QVariant>

class GeometryRowControl : public TableRowControl {
    Q_OBJECT

public:
    GeometryRowControl(GeometryPaneRow row, GeometryTablePane& pane);

    const GeometryPaneRow& row() const { return m_row; }

    // A value, the null value (no content), or a marker: mixed values show empty or mixed.
    // `usedTags` marks pop-up items.
    void showValue(const QVariant& value, const QSet<int>& usedTags = {});
    // The field's formatter (numbers and lengths).
    void setFormatter(std::shared_ptr<platform::NumberFormatter> formatter);

    void rowAction(QObject* sender) override;

private:
    void stepperMoved(double value) override;
    void writeNumberFromField();
    void showKnownNumber(const QVariant& value);

    GeometryPaneRow m_row;
    GeometryTablePane& m_pane;
    // The model value on show, to put back after text that does not read.
    QVariant m_shown;
    // The field's text as last shown: text left as it was writes nothing.
    QString m_shownText;
};
