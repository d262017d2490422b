#include "style_editor/panes/StyleComponentPaneRegistry.h"

#include "platform/foundation/ZQAssert.h"
#include "platform/vantrix/styles/VXRasterizer.h"
#include "style_editor/panes/VLTMStyleComponentPlaceholder.h"

#include <QHash>

namespace {

QHash<QString, StyleComponentPaneRegistry::Factory>& factories()
{
    static QHash<QString, StyleComponentPaneRegistry::Factory> registered;
    return registered;
}

} // namespace

QString StyleComponentPaneRegistry::subcontrollerNibNameForComponentClass(const QString& componentClassName)
{
    return QStringLiteral("VLTMStyleEditSub_%1").arg(componentClassName);
}

void StyleComponentPaneRegistry::registerPaneNamed(const QString& paneName, Factory factory)
{
    factories().insert(paneName, std::move(factory));
}

QStringList StyleComponentPaneRegistry::registeredPaneNames()
{
    return factories().keys();
}

StyleComponentPaneRegistry::Factory StyleComponentPaneRegistry::paneFactoryNamed(const QString& paneName)
{
    return factories().value(paneName);
}

std::shared_ptr<VLTMStyleComponentController>
StyleComponentPaneRegistry::makePaneForComponent(const VXRasterizer& component)
{
    const QString componentClass = QString::fromLatin1(component.metaObject()->className());
    QString name = subcontrollerNibNameForComponentClass(componentClass);
    Factory factory = paneFactoryNamed(name);
    if (!factory) {
        name = QString::fromLatin1(VLTMStyleComponentPlaceholder::staticMetaObject.className());
        factory = paneFactoryNamed(name);
    }
    if (!ZQ_EXPECT(factory, QStringLiteral("unknown class for component type '%1' (%2)").arg(componentClass, component.displayName())))
        return nullptr;
    std::shared_ptr<VLTMStyleComponentController> pane = factory();
    pane->initWithNibName(name);
    return pane;
}
