#include "app/document/ZQConfinedSavePanel.h"

#include "platform/ui/PackageAwareFileDialog.h"

ZQConfinedSavePanel::ZQConfinedSavePanel(const QString& folder)
{
    setConfiningFolder(folder);
    m_folder = confiningFolder();
}

bool ZQConfinedSavePanel::isInsideFolder(const QString& path) const
{
    return platform::PackageAwareFileDialog::isPathInsideFolder(path, m_folder);
}

void ZQConfinedSavePanel::setAllowedFileType(const QString& extension)
{
    setAllowedFileTypes(extension.isEmpty() ? QStringList() : QStringList{extension});
}

void ZQConfinedSavePanel::beginSheetModalForWindowCompletionHandler(QWidget* window, URLCompletionHandler handler)
{
    // The end handler keeps the shared panel alive through its copy of the handle.
    SavePanel::beginSheetModalForWindowCompletionHandler(window, [panel = *this, handler](int result) {
        if (handler)
            handler(result, panel.URL());
    });
}
