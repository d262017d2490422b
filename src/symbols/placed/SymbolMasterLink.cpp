#include "symbols/placed/SymbolMasterLink.h"

VXDrawableObjectPtr SymbolMasterLink::mutableCopyOfGraphic() const
{
    const VXDrawableObjectPtr original = m_master ? m_master->objectPtr() : nullptr;
    if (!original)
        return nullptr;
    VXDrawableObjectPtr copy = original->copyDrawable();
    if (const QVariantMap attributes = m_master->attributesTemplate(); !attributes.isEmpty())
        copy->addMetadata(attributes);
    return copy;
}

void SymbolMasterLink::setMaster(const VXQSymbolMasterPtr& master, const QRectF& masterBounds)
{
    leave();
    m_master = master;
    m_masterBounds = masterBounds;
    if (m_master)
        m_master->addSymbolMasterClient(&m_client);
}

void SymbolMasterLink::leave()
{
    if (m_master)
        m_master->removeSymbolMasterClient(&m_client);
    m_master = nullptr;
}

QRectF SymbolMasterLink::masterBounds() const
{
    if (m_masterBounds.isEmpty() && m_master) {
        const VXDrawableObject* shown = graphic();
        const QPointF origin = shown ? shown->location() : QPointF();
        m_masterBounds = m_master->objectBoundsIgnoringLabels().translated(-origin);
    }
    return m_masterBounds;
}
