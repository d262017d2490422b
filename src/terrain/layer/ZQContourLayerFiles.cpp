// The terrain layer's height files: export to and import from tab-delimited text.

#include "terrain/layer/ZQContourLayer.h"

#include "platform/foundation/RegularFile.h"
#include "platform/foundation/ZQLog.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/ui/Alert.h"
#include "platform/ui/OpenPanel.h"
#include "platform/vantrix/view/VXDrawingView.h"
#include "terrain/layer/ContourComputation.h"

#include <QApplication>
#include <QFutureWatcher>
#include <QSaveFile>
#include <QtConcurrent/QtConcurrentRun>

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
            importHeightMapInBackground(panel.URLs().first().toLocalFile());
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

ZQContourLayer::HeightFileReading ZQContourLayer::readHeightFile(const QString& path)
{
    HeightFileReading reading;
    const std::optional<QByteArray> text = platform::readRegularFile(path, kMaximumHeightFileSize, &reading.problem);
    if (!text) {
        LogEvent(kFileEvent, QStringLiteral("error when opening file: %1").arg(reading.problem));
        return reading;
    }
    // Imported grids are held to the size of new ones, whose contours and sculpting stay quick.
    reading.grid = ZQMatrixArray::matrixArrayWithTabDelimitedData(*text, &reading.problem, {kMaximumGridCount, true});
    if (reading.problem.isEmpty() && reading.grid)
        reading.problem = heightGridProblem(*reading.grid);
    if (!reading.problem.isEmpty()) {
        LogEvent(kFileEvent, QStringLiteral("file wasn't imported, exception = %1").arg(reading.problem));
        reading.grid.reset();
    }
    return reading;
}

bool ZQContourLayer::takeHeightFileReading(const HeightFileReading& reading)
{
    if (!reading.grid) {
        // A file without heights is no failure: there is simply nothing to take.
        if (!reading.problem.isEmpty())
            alertImportFailure(reading.problem);
        return false;
    }
    setHeightMap(reading.grid);
    if (ZQUndoManager* undo = undoManager())
        undo->setActionName(tr("Import Height Map"));
    return true;
}

bool ZQContourLayer::importHeightMap(const QString& path)
{
    return takeHeightFileReading(readHeightFile(path));
}

void ZQContourLayer::importHeightMapInBackground(const QString& path)
{
    // Owned by the layer: a layer that goes first takes its watcher, and the reading's end, along.
    auto* watcher = new QFutureWatcher<HeightFileReading>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher] {
        watcher->deleteLater();
        takeHeightFileReading(watcher->result());
    });
    watcher->setFuture(QtConcurrent::run(&ContourComputation::threadPool(), [path] {
        try {
            return readHeightFile(path);
        } catch (const std::bad_alloc&) {
            return HeightFileReading{nullptr, tr("there is not enough memory to read it")};
        }
    }));
}
