#pragma once

// Copying template files into a category of the user's templates folder. Packages are copied
// whole: folders and regular files only, links inside them left out (never followed out of
// the package). A template that is itself a link, or larger than 1 GB, is refused. A name
// that already exists is never overwritten: that copy fails, and a failed package copy leaves
// nothing half-written behind.

#include <QString>
#include <QStringList>

namespace TemplateImport {

struct Result {
    QString destination; // the category folder; empty when it could not be made
    QStringList copied;  // the copies made, in the order of the files
    QString failure;     // why the import stopped; empty when every file was copied
};

// The category the files go to: the folder of the user's templates named like the folder
// that holds the last file.
QString destinationFolder(const QStringList& files, const QString& userTemplatesFolder);

// Copies each file into the destination (made with its missing parents) under its own name,
// stopping at the first failure.
Result importFiles(const QStringList& files, const QString& userTemplatesFolder);

// Copies one file or package to `target`, which must not exist. False with `error` on failure.
bool copyTemplate(const QString& source, const QString& target, QString* error);

} // namespace TemplateImport
