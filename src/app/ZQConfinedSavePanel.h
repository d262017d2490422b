#pragma once

// A save panel that saves only into one folder or the folders beneath it. Browsing out of
// the folder brings the panel back to it, and a name whose path leads outside (typed as
// "../x" or as an absolute path) is refused with a beep and a line of explanation.
//
// A ZQConfinedSavePanel is a handle: copies share one panel. The completion receives 1 and
// the chosen file, or 0 and an empty URL.

#include <QString>
#include <QUrl>
#include <functional>
#include <memory>

class QFileDialog;
class QWidget;

class ZQConfinedSavePanel {
public:
    using CompletionHandler = std::function<void(int result, const QUrl& url)>;

    explicit ZQConfinedSavePanel(const QString& folder);
    ~ZQConfinedSavePanel();
    ZQConfinedSavePanel(const ZQConfinedSavePanel&) = default;
    ZQConfinedSavePanel& operator=(const ZQConfinedSavePanel&) = default;

    QString folder() const;
    // Whether `path` is the folder or lies beneath it (symbolic links resolved).
    bool isInsideFolder(const QString& path) const;

    void setTitle(const QString& title);
    void setNameFieldStringValue(const QString& name);
    // The extension (without dot) that a chosen name gets when it lacks it; empty for none.
    QString allowedFileType() const;
    void setAllowedFileType(const QString& extension);

    // Opens the panel modal to `window` (to the application without one) and returns.
    void beginSheetModalForWindowCompletionHandler(QWidget* window, CompletionHandler handler);

    // The chosen file once the panel ended with OK.
    QUrl URL() const;
    // The dialog while it exists (deleted after the panel ends).
    QFileDialog* fileDialog() const;

private:
    struct State;
    std::shared_ptr<State> d;
};
