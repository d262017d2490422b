#include "platform/vantrix/VXUniqueID.h"

#include <QUuid>

QString VXUniqueID::uniqueKey()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
}
