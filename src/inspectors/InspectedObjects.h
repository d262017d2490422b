#pragma once

// Small questions the inspector panes ask of any object they show.

#include "platform/foundation/ZQObject.h"

#include <QSet>
#include <typeinfo>

class QLineEdit;

namespace inspectors {

// The object's "locked"; false for an object without one.
bool objectIsLocked(const ZQObject& object);

template <class Pointer> QList<ZQObjectPtr> asObjects(const QList<Pointer>& objects)
{
    return QList<ZQObjectPtr>(objects.begin(), objects.end());
}

// Casts the objects of a selection, one after another, to an interface some classes add: whether
// a class has it is learnt from its first object, as a selection of a million holds few
// classes and a cross-cast of each object would cost more than the rest of the walk.
template <class Interface> class InterfaceCast {
public:
    const Interface* operator()(const ZQObject& object)
    {
        const std::type_info* type = &typeid(object);
        if (type == m_type && !m_implements)
            return nullptr;
        const auto* cast = dynamic_cast<const Interface*>(&object);
        m_type = type;
        m_implements = cast;
        return cast;
    }

private:
    const std::type_info* m_type = nullptr;
    bool m_implements = false;
};

// A tab's name field renames only one unlocked drawable.
bool canRenameObjects(const QList<ZQObjectPtr>& objects);
// Opens the name field for typing (focused, all selected), or closes it and gives the focus back to
// its window so that the drawing's keys work again.
void setNameFieldEditing(QLineEdit& field, bool editing);

// Opens a help page through the application's help.
void showHelpForIdentifier(const QString& identifier);

} // namespace inspectors
