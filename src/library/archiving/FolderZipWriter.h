#pragma once

// Writes a folder as a zip archive whose single top entry is the folder itself ("Roads.symlibrary/"),
// every file deflated at level 9. Links are not followed (nor stored), nor are devices or pipes.
// The archive is written beside the destination and moved into place when complete, so a failure
// leaves no partial file and an earlier archive there intact. Safe to call on any thread.

#include <QString>

namespace FolderZipWriter {

// False, with the reason, when the folder cannot be read or the archive cannot be written.
bool writeArchive(const QString& folder, const QString& destination, QString* reason = nullptr);

// The folder an archive of this kind holds ("Roads.symlibrary"), read from its first entry;
// empty for a file that is no zip archive or does not start with a folder.
QString archivedFolderName(const QString& archive);

} // namespace FolderZipWriter
