#pragma once

// Folders of the application and names of files inside them.

#include <QString>
#include <QUrl>

// The application's own folder for data it keeps (QStandardPaths::AppDataLocation),
// created with its parents when missing. Answers an empty URL, with a log line, when the
// system names no such location; a folder that cannot be created is logged and still answered.
QUrl thisApplicationsSupportFolderURL();

// Creates the folder with any missing parents. Answers whether it exists as a folder now;
// a failure is logged with the system's reason.
bool createDirectoryIfNeeded(const QUrl& folder);

// `filename` when nothing of that name is in `directory`, otherwise the first free name of
// "name 1.ext", "name 2.ext", ... ("name 1" when there is no extension). Gives up after 999
// and throws a platform::NamedException named "Too Many Files!".
QString uniqueFilenameForFilenameInDirectory(const QString& filename, const QString& directory);
