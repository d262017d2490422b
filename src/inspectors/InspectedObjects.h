#pragma once

// Small questions the inspector panes ask of any object they show.

#include "platform/foundation/ZQObject.h"

#include <QSet>

class QLineEdit;

namespace inspectors {

// The object's "locked"; false for an object without one.
bool objectIsLocked(const ZQObject& object);

template <class Pointer> QList<ZQObjectPtr> asObjects(const QList<Pointer>& objects)
{
    return QList<ZQObjectPtr>(objects.begin(), objects.end());
}

// A tab's name field renames only one unlocked drawable.
bool canRenameObjects(const QList<ZQObjectPtr>& objects);
// Opens the name field for typing (focused, all selected), or closes it and gives the focus back to
// its window so that the drawing's keys work again.
void setNameFieldEditing(QLineEdit& field, bool editing);

// Opens a help page through the application's help.
void showHelpForIdentifier(const QString& identifier);

} // namespace inspectors
