#pragma once

// What a bin can take from a pasteboard, for pasting and dropping onto the bins table: a
// style (its archive or its key), a colour, an image, a string, a number read from the
// string, or a font.

#include "platform/ui/Pasteboard.h"

#include <QFont>
#include <QVariant>
#include <optional>

namespace binpasteboard {

// Fonts travel as QFont's text form ("Helvetica,14,...") under this private type.
inline const QString kFontPasteboardType = QStringLiteral("font");

// The MIME types the bins table takes drops of.
QStringList acceptedMimeTypes();
// The object of that bin data type on the pasteboard; nothing when it holds none (text that
// does not read as a number gives no value).
std::optional<QVariant> objectForDataType(const platform::Pasteboard& pasteboard, int dataType);
bool writeFont(platform::Pasteboard& pasteboard, const QFont& font);

} // namespace binpasteboard
