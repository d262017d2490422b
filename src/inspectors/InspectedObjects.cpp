#include "inspectors/InspectedObjects.h"

#include "app/VLTMHelpTrampoline.h"


namespace inspectors {

bool objectIsLocked(const ZQObject& object)
{
    if (object.metaObject()->indexOfProperty("locked") < 0)
        return false;
    return object.valueForKey(QStringLiteral("locked")).toBool();
}

QSet<const ZQObject*> identitiesOf(const QList<ZQObjectPtr>& objects)
{
    QSet<const ZQObject*> identities;
    for (const ZQObjectPtr& object : objects)
        identities.insert(object.get());
    return identities;
}

void showHelpForIdentifier(const QString& identifier)
{
    VLTMHelpTrampoline::sharedHelpTrampoline()->showHelpForIdentifier(identifier);
}

} // namespace inspectors
