#pragma once

// Which directories the program treats as one file: its own documents and templates, symbol
// libraries and their items, and application bundles, judged by the extension alone.

#include <QString>

class QFileInfo;

// Whether a directory of that name is a package (extension compared case-insensitively).
bool hasPackageExtension(const QString& name);
// A directory, links followed, with a package extension.
bool isFilePackage(const QFileInfo& info);

// The text after the name's last "."; empty without one, or when the dot starts the name
// (".hidden") or ends it.
QString pathExtension(const QString& path);
