#pragma once

// The text style new labels on placed symbols start with, a setting of the user's kept as a
// keyed archive of text attributes in the user default "kVXQSymbolLabelDefaultAttributes".
// Without a readable stored value the built-in attributes are stored and answered, so every
// label starts alike from then on.

#include "platform/graphics/AttributedString.h"

#include <QString>
#include <QVariantMap>

inline const QString kVXQSymbolLabelDefaultAttributes = QStringLiteral("kVXQSymbolLabelDefaultAttributes");

class SymbolLabelDefaults {
public:
    static QVariantMap attributes();
    static void setAttributes(const QVariantMap& attributes);
    // The default label text ("%%name") in those attributes.
    static platform::AttributedString text();
    // 11 point Helvetica in black with the default paragraph style.
    static QVariantMap builtInAttributes();
};
