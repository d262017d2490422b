#include "style_editor/gradient/VXQProxyColourWell.h"

VXQProxyColourWell::VXQProxyColourWell(QWidget* parent)
    : platform::ColourWell(parent)
{
    setFixedSize(0, 0);
    hide();
}

void VXQProxyColourWell::deactivate()
{
    const bool wasActive = isActive();
    platform::ColourWell::deactivate();
    if (wasActive && m_delegate && m_delegate->metaObject()->indexOfMethod("deactivate()") >= 0)
        QMetaObject::invokeMethod(m_delegate, "deactivate");
}
