#pragma once

// A table cell (an index widget) holding a colour well and the row it shows.

#include <QPointer>
#include <QVariant>
#include <QWidget>

namespace platform {
class ColourWell;
}

class ZQColourTableCellView : public QWidget {
    Q_OBJECT

public:
    explicit ZQColourTableCellView(QWidget* parent = nullptr);

    platform::ColourWell* colourWell() const { return m_colourWell; }
    void setColourWell(platform::ColourWell* well) { m_colourWell = well; }
    int rowIndex() const { return m_rowIndex; }
    void setRowIndex(int row) { m_rowIndex = row; }

    // A colour goes into the well; null is ignored; anything else is a programming error.
    void setObjectValue(const QVariant& value);
    // The well's colour (null without a well).
    QVariant objectValue() const;

private:
    QPointer<platform::ColourWell> m_colourWell;
    int m_rowIndex = -1;
};
