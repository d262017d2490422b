#pragma once

#include <QObject>

// A target that counts the actions it receives and answers validation as told.
class ActionRecorder : public QObject {
    Q_OBJECT

public:
    Q_INVOKABLE void changeAction(QObject* sender)
    {
        ++actions;
        lastSender = sender;
    }
    Q_INVOKABLE bool validateUserInterfaceItem(QObject* item)
    {
        validatedItem = item;
        return enables;
    }

    int actions = 0;
    QObject* lastSender = nullptr;
    QObject* validatedItem = nullptr;
    bool enables = true;
};
