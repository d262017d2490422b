#include "platform/vantrix/model/VXUniqueID.h"

#include <QRandomGenerator>
#include <array>

QString VXUniqueID::uniqueKey()
{
    return randomUuid().toString(QUuid::WithoutBraces).toUpper();
}

QUuid VXUniqueID::randomUuid()
{
    std::array<quint32, 4> words;
    QRandomGenerator::global()->fillRange(words.data(), words.size());
    QUuid uuid = QUuid::fromRfc4122(QByteArrayView(reinterpret_cast<const char*>(words.data()), sizeof(words)));
    uuid.data3 = (uuid.data3 & 0x0FFF) | 0x4000;     // version 4: random
    uuid.data4[0] = (uuid.data4[0] & 0x3F) | 0x80; // the RFC 4122 variant
    return uuid;
}
