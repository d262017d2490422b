#pragma once

// Where map templates live and which files are templates: the shipped ones (the bundle's
// "Quorvane Templates", used through its copy on disk) and the user's own ("My Templates" in
// the application-support folder).

#include <QList>
#include <QStringList>
#include <QUrl>

class MapTemplates {
public:
    // The file extensions of templates (packages or single files): those of the template type
    // and of both map types.
    static const QStringList& templateFileExtensions();
    // The shipped templates; empty when the copy on disk cannot be made.
    static QUrl documentTemplatesURL();
    // The user's templates folder, created when missing.
    static QUrl userTemplatesURL();
    // The template files in the folder (created when missing), subfolders too when asked, as
    // the installed MapTemplateLister lists them (nothing while none is installed).
    static QList<QUrl> availableTemplatesAtURLIncludingSubfolders(const QUrl& folder, bool includingSubfolders);
    static bool hasTemplatesAvailable();
    // Whether the URL names a file inside the user's templates folder.
    static bool isUserTemplateURL(const QUrl& url);
};
