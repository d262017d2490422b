// The terrain layer's height files: export to and import from tab-delimited text.

#include "terrain/layer/ZQContourLayer.h"

#include "platform/foundation/RegularFile.h"
#include "platform/foundation/ZQLog.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/ui/Alert.h"
#include "platform/ui/OpenPanel.h"
#include "platform/vantrix/view/VXDrawingView.h"

#include <QApplication>
#include <QSaveFile>

namespace {

// A height file larger than this is not a grid anyone drew by hand or exported here.
constexpr qint64 kMaximumHeightFileSize = 256 * 1024 * 1024;
const QString kHeightFileType = QStringLiteral("txt");

QWidget* sheetWindow()
{
    VXDrawingView* view = VXDrawingView::currentView();
    return view ? view->window() : QApplication::activeWindow();
}

void alert(const QString& message, const QString& informative)
{
    QApplication::beep();
    platform::Alert::alertWithMessageTextDefaultButtonAlternateButtonOtherButtonInformativeText(
        message, QObject::tr("Cancel"), {}, {}, informative)
        .beginSheetModalForWindowCompletionHandler(nullptr, {});
}

} // namespace

void ZQContourLayer::alertImportFailure(const QString& reason) const
{
    const QString informative = tr("The file does not contain height data in a format that Quorvane can read.");
    alert(tr("The data could not be imported."),
          reason.isEmpty() ? informative : QStringLiteral("%1 (%2)").arg(informative, reason));
}

void ZQContourLayer::saveHeightMap(QObject*)
{
    platform::SavePanel panel;
    panel.setTitle(tr("Export Height Map"));
    panel.setAllowedFileTypes({kHeightFileType});
    panel.setCanCreateDirectories(true);
    const std::shared_ptr<ZQObject> keeper = weak_from_this().lock();
    panel.beginSheetModalForWindowCompletionHandler(sheetWindow(), [this, keeper, panel](int result) {
        LogEvent(kFileEvent, QStringLiteral("export height map panel ended, return code = %1").arg(result));
        if (result == 1)
            exportHeightMapToFile(panel.URL().toLocalFile());
    });
}

void ZQContourLayer::openHeightMap(QObject*)
{
    platform::OpenPanel panel;
    panel.setTitle(tr("Import Height Map"));
    panel.setAllowedFileTypes({kHeightFileType});
    panel.setCanChooseFiles(true);
    panel.setCanChooseDirectories(false);
    panel.setAllowsMultipleSelection(false);
    const std::shared_ptr<ZQObject> keeper = weak_from_this().lock();
    panel.beginSheetModalForWindowCompletionHandler(sheetWindow(), [this, keeper, panel](int result) {
        LogEvent(kFileEvent, QStringLiteral("import height map panel ended, return code = %1").arg(result));
        if (result == 1 && !panel.URLs().isEmpty())
            importHeightMap(panel.URLs().first().toLocalFile());
    });
}

bool ZQContourLayer::exportHeightMapToFile(const QString& path)
{
    const std::optional<QByteArray> text = m_heightData ? m_heightData->tabDelimitedData() : QByteArray();
    QSaveFile file(path);
    const bool written = text && file.open(QIODevice::WriteOnly) && file.write(*text) == text->size() && file.commit();
    if (!written) {
        const QString reason = file.errorString();
        LogEvent(kFileEvent, QStringLiteral("height map not exported to %1: %2").arg(path, reason));
        alert(tr("The height map could not be exported."), reason);
    }
    return written;
}

bool ZQContourLayer::importHeightMap(const QString& path)
{
    QString reason;
    const std::optional<QByteArray> text = platform::readRegularFile(path, kMaximumHeightFileSize, &reason);
    if (!text) {
        LogEvent(kFileEvent, QStringLiteral("error when opening file: %1").arg(reason));
        alertImportFailure(reason);
        return false;
    }
    QString error;
    // Imported grids are held to the size of new ones, whose contours and sculpting stay quick.
    const std::shared_ptr<ZQMatrixArray> grid =
        ZQMatrixArray::matrixArrayWithTabDelimitedData(*text, &error, {kMaximumGridCount, true});
    if (error.isEmpty())
        error = grid ? heightGridProblem(*grid) : tr("the file holds no heights");
    if (!error.isEmpty()) {
        LogEvent(kFileEvent, QStringLiteral("file wasn't imported, exception = %1").arg(error));
        alertImportFailure(error);
        return false;
    }
    setHeightMap(grid);
    if (ZQUndoManager* undo = undoManager())
        undo->setActionName(tr("Import Height Map"));
    return true;
}
