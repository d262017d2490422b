#pragma once

#include <QVariant>

namespace platform {

// Whether the value holds a whole number from short to long long; characters and booleans are
// not whole numbers here.
inline bool isIntegralVariant(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return true;
    default:
        return false;
    }
}

// Whether the value holds a number of any width; booleans are not numbers here.
inline bool isNumericVariant(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::Float:
    case QMetaType::Double:
        return true;
    default:
        return isIntegralVariant(value);
    }
}

} // namespace platform
