#include "inspectors/geometry/GeometryPaneRegistry.h"

#include <algorithm>

namespace {

QList<GeometryPaneRegistry::Entry>& registry()
{
    static QList<GeometryPaneRegistry::Entry> entries;
    return entries;
}

} // namespace

void GeometryPaneRegistry::registerPane(const QString& key, Factory factory)
{
    QList<Entry>& entries = registry();
    const auto found = std::find_if(entries.begin(), entries.end(), [&](const Entry& entry) { return entry.key == key; });
    if (found != entries.end())
        found->factory = std::move(factory);
    else
        entries.append({key, std::move(factory)});
}

const QList<GeometryPaneRegistry::Entry>& GeometryPaneRegistry::entries()
{
    return registry();
}

bool GeometryPaneRegistry::hasPaneForKey(const QString& key)
{
    const QList<Entry>& entries = registry();
    return std::any_of(entries.begin(), entries.end(), [&](const Entry& entry) { return entry.key == key; });
}

QString GeometryPaneRegistry::subcontrollerClassForClass(const QMetaObject* modelClass)
{
    if (!modelClass)
        return {};
    const QString name = QString::fromLatin1(modelClass->className());
    return hasPaneForKey(name) ? QStringLiteral("VLTM_%1Controller").arg(name) : QString();
}
