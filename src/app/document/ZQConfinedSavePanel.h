#pragma once

// A save panel that saves only into one folder or the folders beneath it. Browsing out of
// the folder brings the panel back to it, and a name whose path leads outside (typed as
// "../x" or as an absolute path) is refused with a beep and a line of explanation.
//
// A ZQConfinedSavePanel is a handle: copies share one panel. The completion receives 1 and
// the chosen file, or 0 and an empty URL.

#include "platform/ui/SavePanel.h"

class ZQConfinedSavePanel : public platform::SavePanel {
public:
    using URLCompletionHandler = std::function<void(int result, const QUrl& url)>;

    explicit ZQConfinedSavePanel(const QString& folder);

    // The folder with links resolved.
    QString folder() const { return m_folder; }
    // Whether `path` is the folder or lies beneath it (symbolic links resolved).
    bool isInsideFolder(const QString& path) const;

    // The extension (without dot) that a chosen name gets when it lacks it; empty for none.
    QString allowedFileType() const { return allowedFileTypes().value(0); }
    void setAllowedFileType(const QString& extension);

    using SavePanel::beginSheetModalForWindowCompletionHandler;
    void beginSheetModalForWindowCompletionHandler(QWidget* window, URLCompletionHandler handler);

private:
    QString m_folder;
};
