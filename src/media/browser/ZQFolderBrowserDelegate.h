#pragma once

// What a folder browser tells its owner. Each message is sent only when the delegate lists
// it in `folderBrowserMessages`.

#include <QFlags>

class ZQFolderBrowserController;
class ZQFolderInfo;

class ZQFolderBrowserDelegate {
public:
    enum Message {
        DidSelectFolder = 0x1,
        DidDoubleClickFolder = 0x2,
        UserClickedFile = 0x4,
        WasNotifiedOfChangeOnDisk = 0x8,
    };
    Q_DECLARE_FLAGS(Messages, Message)

    virtual ~ZQFolderBrowserDelegate() = default;
    virtual Messages folderBrowserMessages() const = 0;

    // After every change of the selection; the folder is null when nothing is selected.
    virtual void folderBrowserDidSelectFolder(ZQFolderBrowserController*, ZQFolderInfo*) {}
    virtual void folderBrowserDidDoubleClickFolder(ZQFolderBrowserController*, ZQFolderInfo*) {}
    // The user tried to select a file leaf while files cannot be selected.
    virtual void folderBrowserUserClickedFile(ZQFolderBrowserController*, ZQFolderInfo*) {}
    // A root's folder changed on disk and the outline has been reloaded.
    virtual void folderBrowserWasNotifiedOfChangeOnDisk(ZQFolderBrowserController*, ZQFolderInfo*) {}
};

Q_DECLARE_OPERATORS_FOR_FLAGS(ZQFolderBrowserDelegate::Messages)
