#include "widgets/colour/ZQColourTableCellView.h"

#include "platform/foundation/ZQAssert.h"
#include "platform/ui/ColourWell.h"

#include <QColor>

ZQColourTableCellView::ZQColourTableCellView(QWidget* parent)
    : QWidget(parent)
{
}

void ZQColourTableCellView::setObjectValue(const QVariant& value)
{
    if (value.isNull())
        return;
    if (!ZQ_EXPECT(value.metaType() == QMetaType::fromType<QColor>(), QStringLiteral("expected a colour here")))
        return;
    if (m_colourWell)
        m_colourWell->setColor(value.value<QColor>());
}

QVariant ZQColourTableCellView::objectValue() const
{
    return m_colourWell ? QVariant(m_colourWell->color()) : QVariant();
}
