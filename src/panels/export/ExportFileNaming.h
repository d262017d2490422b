#pragma once

// File names of exported files. Names are made of text users type (the root, layer, slice and
// object names), so they are made safe before they meet the disk: a name never leaves the
// export folder.

#include <QDir>
#include <QHash>
#include <QString>

#include <functional>

namespace exportnaming {

// `name` with path separators and control characters replaced by "-"; "." and ".." (and an
// empty name) become "_".
QString safeFileName(const QString& name);

// Finds names free in one folder for the files of one export: `base`, or the first of
// "base-1", "base-2"... for which no file or folder "<candidate>.<extension>" exists. Each base
// remembers where its search ended, so N files of one name cost O(N) disk checks, not O(N^2).
class FreeNameFinder {
public:
    using ExistsCheck = std::function<bool(const QString& path)>;

    FreeNameFinder(const QString& folder, QString extension, ExistsCheck exists = {});

    QString freeBaseName(const QString& base);

private:
    bool taken(const QString& candidate) const;

    QDir m_folder;
    QString m_extension;
    ExistsCheck m_exists;
    // Suffix of the last name handed out per base; the names below it were taken. That name is
    // checked again, as the file may not have been written under it.
    QHash<QString, qint64> m_lastSuffix;
};

} // namespace exportnaming
