#pragma once

// The Qt value types of keyed archives. Inside lists and dictionaries a value must say
// what it is, so each type is an entry of a small value class ("ZQColor", "ZQFont", ...)
// whose fields are written and read through the coder like any object's. Points, sizes
// and rects also have a string form, "{x, y}" and "{{x, y}, {w, h}}".

#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringView>
#include <QVariant>
#include <optional>

namespace platform {
class KeyedArchiver;
class KeyedUnarchiver;
}

namespace platform::archive {

QString pointString(QPointF point);
QString sizeString(QSizeF size);
QString rectString(const QRectF& rect);
std::optional<QPointF> parsePoint(QStringView text);
std::optional<QSizeF> parseSize(QStringView text);
std::optional<QRectF> parseRect(QStringView text);

// Decoded images may hold at most this many bytes of pixels in total, so a small
// archive cannot decompress into gigabytes.
struct ImageBudget {
    qint64 remainingBytes = 0;
};

// The value class of a variant type, or nullptr when the type is not archived as one.
const char* valueClassName(QMetaType type);
bool isValueClassName(QStringView className);
// Writes the fields of `value` into the entry the archiver is filling.
void encodeValueFields(KeyedArchiver& coder, const QVariant& value);
// Reads a value of `className` from the entry the unarchiver is in; nullopt when the
// name is not a value class. Damaged fields give a default value and a log line.
std::optional<QVariant> decodeValueFields(KeyedUnarchiver& coder, QStringView className, ImageBudget& images);

} // namespace platform::archive
