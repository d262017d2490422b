#pragma once

// The save panel: a QFileDialog (Qt's own, so an accessory widget can sit under the file
// list) that asks for one new file name. A SavePanel is a handle: copies share one panel,
// so an end handler that captures a copy can read the chosen URL after the dialog has gone.
// The end handler receives 1 (OK) or 0 (Cancel). A panel opens in the folder of the last file
// chosen in any panel, else in the user's documents folder, unless given a directory.

#include <QList>
#include <QStringList>
#include <QUrl>
#include <functional>
#include <memory>

class QFileDialog;
class QWidget;

namespace platform {

class SavePanel {
public:
    using CompletionHandler = std::function<void(int result)>;

    SavePanel();
    ~SavePanel();
    SavePanel(const SavePanel&) = default;
    SavePanel& operator=(const SavePanel&) = default;

    QString title() const;
    void setTitle(const QString& title);
    // A line of text above the file list.
    QString message() const;
    void setMessage(const QString& message);
    // The title of the OK button.
    QString prompt() const;
    void setPrompt(const QString& prompt);
    QString nameFieldLabel() const;
    void setNameFieldLabel(const QString& label);
    QString nameFieldStringValue() const;
    void setNameFieldStringValue(const QString& name);
    QUrl directoryURL() const;
    void setDirectoryURL(const QUrl& url);

    // File extensions without dots; empty allows every file. A chosen name without one of
    // them gets the first.
    QStringList allowedFileTypes() const;
    void setAllowedFileTypes(const QStringList& extensions);
    // Filters the user picks among, each named for a kind of file: "Images (*.png *.gif)"; one
    // without extensions shows every file. The first applies at the start. They replace the
    // one unnamed filter of the allowed file types, which still decide a saved name's extension.
    struct FileTypeFilter {
        QString name;
        QStringList extensions;
    };
    void setFileTypeFilters(const QList<FileTypeFilter>& filters);
    // Extensions of packages: folders shown and chosen as documents, never entered. Saving
    // over one asks before it replaces it. Empty by default.
    QStringList packageFileTypes() const;
    void setPackageFileTypes(const QStringList& extensions);
    // The folder the panel saves into, with those beneath it, and no other; empty: anywhere.
    QString confiningFolder() const;
    void setConfiningFolder(const QString& folder);
    bool canCreateDirectories() const;
    void setCanCreateDirectories(bool flag);
    bool showsHiddenFiles() const;
    void setShowsHiddenFiles(bool flag);

    // A widget shown under the file list; the panel takes it over.
    QWidget* accessoryView() const;
    void setAccessoryView(QWidget* view);

    // The chosen file (empty until the panel ended with OK).
    QUrl URL() const;

    int runModal();
    // Opens the panel modal to `window` (to the application without one) and returns.
    void beginSheetModalForWindowCompletionHandler(QWidget* window, CompletionHandler handler);

    // The dialog while it exists (deleted after the panel ends).
    QFileDialog* fileDialog() const;

protected:
    struct State;
    std::shared_ptr<State> d;

private:
    // What the dialog had chosen when it ended; a saved name gets a missing extension.
    QList<QUrl> chosenURLs() const;
    void finish(int result);
};

} // namespace platform
