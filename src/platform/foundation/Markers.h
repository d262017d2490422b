#pragma once

// Placeholder values that key-value coding and the inspectors pass around as QVariants:
// an explicit null (a stored "nothing"), the marker for a selection whose values differ,
// and the marker for a key that does not apply to the selection.

#include <QMetaType>
#include <QVariant>

namespace platform {

struct Null {
    friend bool operator==(Null, Null) { return true; }
};
struct MultipleValuesMarker {
    friend bool operator==(MultipleValuesMarker, MultipleValuesMarker) { return true; }
};
struct NotApplicableMarker {
    friend bool operator==(NotApplicableMarker, NotApplicableMarker) { return true; }
};

} // namespace platform

Q_DECLARE_METATYPE(platform::Null)
Q_DECLARE_METATYPE(platform::MultipleValuesMarker)
Q_DECLARE_METATYPE(platform::NotApplicableMarker)

namespace platform {

inline QVariant nullValue() { return QVariant::fromValue(Null{}); }
inline QVariant multipleValuesMarker() { return QVariant::fromValue(MultipleValuesMarker{}); }
inline QVariant notApplicableMarker() { return QVariant::fromValue(NotApplicableMarker{}); }

// True for an invalid QVariant, a null QVariant and the explicit Null marker.
inline bool isNull(const QVariant& v) { return !v.isValid() || v.isNull() || v.metaType() == QMetaType::fromType<Null>(); }
inline bool isMultipleValuesMarker(const QVariant& v) { return v.metaType() == QMetaType::fromType<MultipleValuesMarker>(); }
inline bool isNotApplicableMarker(const QVariant& v) { return v.metaType() == QMetaType::fromType<NotApplicableMarker>(); }

} // namespace platform
