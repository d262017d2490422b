#include "app/sidebar/TabControllerRegistry.h"

#include <QList>
#include <utility>

namespace {

struct Entry {
    QString identifier;
    TabControllerRegistry::Factory factory;
};

QList<Entry>& entries()
{
    static QList<Entry> registered;
    return registered;
}

} // namespace

void TabControllerRegistry::registerTabControllerForIdentifier(const QString& identifier, Factory factory)
{
    for (Entry& entry : entries()) {
        if (entry.identifier == identifier) {
            entry.factory = std::move(factory);
            return;
        }
    }
    entries().append({identifier, std::move(factory)});
}

TabControllerRegistry::Factory TabControllerRegistry::classForTabControllerWithIdentifier(const QString& identifier)
{
    for (const Entry& entry : entries())
        if (entry.identifier == identifier)
            return entry.factory;
    return {};
}

QStringList TabControllerRegistry::tabIdentifiers()
{
    QStringList identifiers;
    for (const Entry& entry : entries())
        identifiers.append(entry.identifier);
    return identifiers;
}
