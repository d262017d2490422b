#pragma once

// The open panel: the save panel's dialog choosing existing files or folders.

#include "platform/ui/SavePanel.h"

namespace platform {

class OpenPanel : public SavePanel {
public:
    OpenPanel();

    bool canChooseFiles() const;
    void setCanChooseFiles(bool flag);
    // With files as well, the panel chooses files (the dialog cannot mix the two).
    bool canChooseDirectories() const;
    void setCanChooseDirectories(bool flag);
    bool allowsMultipleSelection() const;
    void setAllowsMultipleSelection(bool flag);

    // Every chosen file or folder (empty until the panel ended with OK).
    QList<QUrl> URLs() const;

private:
    void updateFileMode();
};

} // namespace platform
