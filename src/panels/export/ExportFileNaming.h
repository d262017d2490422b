#pragma once

// File names of exported files. Names are made of text users type (the root, layer, slice and
// object names), so they are made safe before they meet the disk: a name never leaves the
// export folder.

#include <QString>

namespace exportnaming {

// `name` with path separators and control characters replaced by "-"; "." and ".." (and an
// empty name) become "_".
QString safeFileName(const QString& name);

// `base`, or the first of "base-1", "base-2"... for which no file or folder called
// "<candidate>.<extension>" exists in `folder`.
QString uniqueBaseNameInFolder(const QString& base, const QString& extension, const QString& folder);

} // namespace exportnaming
