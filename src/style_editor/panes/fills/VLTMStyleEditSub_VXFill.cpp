#include "style_editor/panes/fills/VLTMStyleEditSub_VXFill.h"

#include "platform/vantrix/styles/VXFill.h"
#include "platform/vantrix/styles/VXZigZagFill.h"
#include "style_editor/panes/shadow/ShadowControls.h"
#include "style_editor/panes/strokes/StrokeSubclassPanes.h"

#include <QFormLayout>

const QMetaObject* VLTMStyleEditSub_VXFill::managedObjectClass() const
{
    return &VXFill::staticMetaObject;
}

StylePaneTable VLTMStyleEditSub_VXFill::table() const
{
    return {StylePaneRow::colour(QStringLiteral("colour"), tr("Colour"))};
}

void VLTMStyleEditSub_VXFill::addCustomControls(QFormLayout& form)
{
    m_shadowControls = new ShadowControls(*this);
    form.addRow(QString(), m_shadowControls);
}

void VLTMStyleEditSub_VXFill::setShadow(const QVariant& shadow)
{
    shadowControls()->showShadow(shadow);
}

void VLTMStyleEditSub_VXFill::setCustomStates(bool mayEdit)
{
    m_shadowControls->setControlsEnabled(mayEdit);
}

const QMetaObject* VLTMStyleEditSub_VXZigZagFill::managedObjectClass() const
{
    return &VXZigZagFill::staticMetaObject;
}

StylePaneTable VLTMStyleEditSub_VXZigZagFill::table() const
{
    return VLTMStyleEditSub_VXFill::table() + zigZagRows();
}

const platform::DisplayBindings& VLTMStyleEditSub_VXFill::displayBindings() const
{
    using Self = VLTMStyleEditSub_VXFill;
    static const auto bindings = platform::DisplayBindings(StyleTablePane::displayBindings())
        .bind(QStringLiteral("shadow"), &Self::setShadow);
    return bindings;
}
