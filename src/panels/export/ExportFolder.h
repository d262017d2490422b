#pragma once

// Where exports go. The folder is remembered for the whole application in the user default
// "kVLTMExportOptionsFolderURL" as an absolute path; when that names no folder, exports
// fall back to "~/Documents/<product>/Exported Files".

#include <QString>
#include <QVariant>

inline const QString kVLTMExportOptionsFolderURL = QStringLiteral("kVLTMExportOptionsFolderURL");

namespace exportfolder {

// The user's Documents folder + the product name + "Exported Files", created with the folders
// above it; empty (logged) when it cannot be made.
QString defaultExportLocation();

// The folder a stored value names: an absolute path (text or UTF-8 bytes) of an existing
// folder; empty for anything else.
QString folderForStoredValue(const QVariant& value);

// Creates the folder and the folders above it; logs a failure.
bool createFolder(const QString& folder);

} // namespace exportfolder
