#pragma once

// Takes the font manager's messages for plain text that a drawing view edits in place (a key
// table's). That editor answers neither changeFont nor changeAttributes, so while it is open
// the Text tab makes this the font manager's target: each message converts the whole text of
// the objects being edited (their text adornments). Locked objects are left alone.

#include "platform/foundation/ZQObject.h"

#include <QList>
#include <QObject>

class VXTextAdornment;

class TextEditingFontTarget : public QObject {
    Q_OBJECT

public:
    // The objects whose text is being edited; those without a text adornment are ignored.
    explicit TextEditingFontTarget(const QList<ZQObjectPtr>& objects);

    // The adornments edited, in the objects' order; locked objects' are left out.
    QList<VXTextAdornment*> textAdornments() const;

    // `sender` is the font manager that converts.
    Q_INVOKABLE void changeFont(QObject* sender);
    Q_INVOKABLE void changeAttributes(QObject* sender);

private:
    QList<ZQObjectPtr> m_objects;
};
