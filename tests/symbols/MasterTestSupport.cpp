#include "MasterTestSupport.h"

#include "platform/vantrix/drawables/VXDrawableShape.h"

namespace mastertest {

Instance::Instance(QStringList* journal, QString label) : m_journal(journal), m_label(std::move(label)) {}

void Instance::symbolMasterWillChange(VXQSymbolMaster*)
{
    if (m_journal)
        m_journal->append(m_label + QStringLiteral(" will"));
}

void Instance::symbolMasterDidChange(VXQSymbolMaster*)
{
    if (m_journal)
        m_journal->append(m_label + QStringLiteral(" did"));
}

VXQSymbolMasterPtr rectangleMaster(const QString& name)
{
    const auto box = VXDrawableShape::drawableShapeWithRect(QRectF(40, 40, 20, 10),
                                                            VXStyle::styleWithFillColourStrokeColour(Qt::blue, QColor()));
    return VXQSymbolMaster::symbolMasterWithObjectName(*box, name);
}

} // namespace mastertest
