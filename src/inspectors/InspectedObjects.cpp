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

void showHelpForIdentifier(const QString& identifier)
{
    VLTMHelpTrampoline::sharedHelpTrampoline()->showHelpForIdentifier(identifier);
}

} // namespace inspectors
