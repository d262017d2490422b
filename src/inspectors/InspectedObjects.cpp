#include "inspectors/InspectedObjects.h"

#include "app/application/VLTMHelpTrampoline.h"
#include "platform/vantrix/drawables/VXDrawableObject.h"

#include <QLineEdit>


namespace inspectors {

bool objectIsLocked(const ZQObject& object)
{
    if (object.metaObject()->indexOfProperty("locked") < 0)
        return false;
    return object.valueForKey(QStringLiteral("locked")).toBool();
}

bool canRenameObjects(const QList<ZQObjectPtr>& objects)
{
    return objects.size() == 1 && !objectIsLocked(*objects.first())
           && qobject_cast<VXDrawableObject*>(objects.first().get());
}

void setNameFieldEditing(QLineEdit& field, bool editing)
{
    field.setReadOnly(!editing);
    if (editing) {
        field.setFocus();
        field.selectAll();
    } else {
        field.deselect();
        if (QWidget* window = field.window())
            window->setFocus();
    }
}

bool sameObjects(const QList<ZQObjectPtr>& a, const QList<ZQObjectPtr>& b)
{
    if (a.isSharedWith(b))
        return true;
    if (a.size() != b.size())
        return false;
    const auto identitiesOf = [](const QList<ZQObjectPtr>& objects) {
        QSet<const ZQObject*> identities;
        identities.reserve(objects.size());
        for (const ZQObjectPtr& object : objects)
            identities.insert(object.get());
        return identities;
    };
    return identitiesOf(a) == identitiesOf(b);
}

void showHelpForIdentifier(const QString& identifier)
{
    VLTMHelpTrampoline::sharedHelpTrampoline()->showHelpForIdentifier(identifier);
}

} // namespace inspectors
