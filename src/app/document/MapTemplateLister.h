#pragma once

// The one way template folders are listed: the files (and packages) of a folder whose extension
// is exactly one of the template types. The media library installs its folder enumerator, so
// that the template chooser and the document class list templates alike; until then no folder
// lists anything.

#include <QList>
#include <QStringList>
#include <QUrl>
#include <functional>

struct MapTemplateLister {
    using Function = std::function<QList<QUrl>(const QString& folder, bool includingSubfolders, const QStringList& types)>;
    static Function& installed();
};
