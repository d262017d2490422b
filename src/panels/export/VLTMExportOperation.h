#pragma once

// The settings of an export and the engine that writes it: the whole drawing, each layer,
// each slice or each selected object becomes one PDF, bitmap or (slices only) map document
// in the export folder. A map document owns one and keeps it in its package as
// {"export_state": keyed archive}; the export sheet edits a copy and adopts it on confirming.
//
// Bitmaps are rendered from their source (no PDF is made on the way) at `dpi` × `scale`,
// carry `dpi` as their resolution and `quality` as the compression factor. Names come from
// `fileNameRoot` and the naming option, made safe and, unless overwriting, unique in the
// folder. Settings that can make nothing (no folder, a resolution, scale or size no bitmap
// holds) fail the export with an error instead of writing nothing.

#include "app/services/MapDocumentServices.h"
#include "panels/export/ExportFileNaming.h"
#include "panels/export/ExportRaster.h"
#include "platform/foundation/QuorvaneError.h"
#include "platform/foundation/ZQObject.h"
#include "platform/ui/FileWrapper.h"
#include "platform/vantrix/model/VXDrawing.h"

#include <QList>
#include <QUrl>
#include <QVariantMap>
#include <optional>

class VLTMExportOperation;
using VLTMExportOperationPtr = std::shared_ptr<VLTMExportOperation>;

// What is exported (`sourceType`).
enum VLTMExportSourceType {
    kVLTMExportDrawing = 0,  // the whole drawing, one file
    kVLTMExportNothing = 1,  // every source yields no data
    kVLTMExportLayers = 2,   // each layer alone on the drawing's area
    kVLTMExportSlices = 3,   // each slice's rectangle of the drawing
    kVLTMExportSelection = 4 // each object alone on its bounds
};

// The output (`format`); 0 to 4 are bitmap file types.
enum VLTMExportFormat : qint64 {
    kVLTMExportNative = -2,
    kVLTMExportPDF = -1,
    kVLTMExportTIFF = 0,
    kVLTMExportBMP = 1,
    kVLTMExportGIF = 2,
    kVLTMExportJPEG = 3,
    kVLTMExportPNG = 4,
};

// How names are formed (`fileNamingOption`).
enum VLTMExportNamingOption {
    kVLTMNameRootOnly = 0,
    kVLTMNameRootAndIndex = 1,
    kVLTMNameRootAndName = 2,
    kVLTMNameIndexToken = 3, // "%%INDEX" in the root takes the number
    kVLTMNameNameToken = 4,  // "%%NAME" in the root takes the source's name
};

class VLTMExportOperation : public ZQObject, public MapExportSettings {
    Q_OBJECT
    Q_PROPERTY(int sourceType READ sourceType WRITE setSourceType)
    Q_PROPERTY(QList<ZQObjectPtr> sources READ sources STORED false)
    Q_PROPERTY(QUrl folderURL READ folderURL WRITE setFolderURL)
    Q_PROPERTY(qint64 format READ format WRITE setFormat)
    Q_PROPERTY(double quality READ quality WRITE setQuality)
    Q_PROPERTY(double dpi READ dpi WRITE setDpi)
    Q_PROPERTY(double scale READ scale WRITE setScale)
    Q_PROPERTY(bool transparent READ transparent WRITE setTransparent)
    Q_PROPERTY(QString colorspace READ colorspace WRITE setColorspace)
    Q_PROPERTY(QString colorspaceName READ colorspaceName STORED false)
    Q_PROPERTY(QString fileNameRoot READ fileNameRoot WRITE setFileNameRoot)
    Q_PROPERTY(int fileNamingOption READ fileNamingOption WRITE setFileNamingOption)
    Q_PROPERTY(quint64 firstIndex READ firstIndex WRITE setFirstIndex)
    Q_PROPERTY(quint64 indexIncrement READ indexIncrement WRITE setIndexIncrement)
    Q_PROPERTY(quint64 indexPadLength READ indexPadLength WRITE setIndexPadLength)
    Q_PROPERTY(bool showInFinder READ showInFinder WRITE setShowInFinder)
    Q_PROPERTY(bool overwriteExisting READ overwriteExisting WRITE setOverwriteExisting)
    Q_PROPERTY(bool groupInFolder READ groupInFolder WRITE setGroupInFolder)
    Q_PROPERTY(bool canExport READ canExport STORED false)

public:
    // Field defaults only; `init` also finds the export folder.
    VLTMExportOperation();
    void init();
    static VLTMExportOperationPtr exportOperation();

    // --- Settings ---------------------------------------------------------------------------
    const VXDrawingPtr& drawing() const { return m_drawing; }
    void setDrawing(const VXDrawingPtr& drawing) { m_drawing = drawing; }
    int sourceType() const { return m_sourceType; }
    void setSourceType(int type);
    // Drawings, layers, slices or drawable objects, one file each, in order.
    const QList<ZQObjectPtr>& sources() const { return m_sources; }
    void setSources(const QList<ZQObjectPtr>& sources);
    QUrl folderURL() const { return m_folderURL; }
    void setFolderURL(const QUrl& url);
    qint64 format() const { return m_format; }
    void setFormat(qint64 format);
    double quality() const { return m_quality; }
    void setQuality(double quality);
    double dpi() const { return m_dpi; }
    void setDpi(double dpi);
    double scale() const { return m_scale; }
    void setScale(double scale);
    // NO paints the paper colour behind bitmaps.
    bool transparent() const { return m_transparent; }
    void setTransparent(bool transparent);
    // An identifier of ExportColourSpaces.h.
    QString colorspace() const { return m_colorspace; }
    void setColorspace(const QString& identifier);
    QString colorspaceName() const;
    QString fileNameRoot() const { return m_fileNameRoot; }
    void setFileNameRoot(const QString& root);
    int fileNamingOption() const { return m_fileNamingOption; }
    void setFileNamingOption(int option);
    quint64 firstIndex() const { return m_firstIndex; }
    void setFirstIndex(quint64 index);
    quint64 indexIncrement() const { return m_indexIncrement; }
    void setIndexIncrement(quint64 increment);
    // Kept and archived only: numbers always have at least 4 digits.
    quint64 indexPadLength() const { return m_indexPadLength; }
    void setIndexPadLength(quint64 length);
    bool showInFinder() const { return m_showInFinder; }
    void setShowInFinder(bool flag);
    bool overwriteExisting() const { return m_overwriteExisting; }
    void setOverwriteExisting(bool flag);
    // Kept and archived only.
    bool groupInFolder() const { return m_groupInFolder; }
    void setGroupInFolder(bool flag);
    // The files the last writeToFiles wrote, in order.
    const QList<QUrl>& filesWrittenURLs() const { return m_filesWrittenURLs; }
    // Whether any source is visible.
    bool canExport() const;

    // --- Writing ----------------------------------------------------------------------------
    // Writes one file per visible source. A source without data is logged and skipped; the
    // first failure stops the export with NO and the error, keeping what was written.
    bool writeToFiles(QuorvaneError* error = nullptr);
    // The file contents of one source (PDF or bitmap); empty for no data, and with `error` set
    // when the settings or the source's size can make none.
    QByteArray imageDataWithSourceAtIndex(const ZQObject* source, qint64 index, QuorvaneError* error = nullptr) const;
    // The file of one source; for the native format the map-document package of a slice's
    // region. None when there is no data.
    std::optional<platform::FileWrapper> fileWrapperWithSourceAtIndex(const ZQObject* source, qint64 index,
                                                                      QuorvaneError* error = nullptr) const;
    // The bitmap of `region` as `render` paints it, at this operation's settings.
    QByteArray rasterImageDataFromSourceRect(const exportraster::RegionRenderer& render, const QRectF& region,
                                             QuorvaneError* error = nullptr) const;
    // The file name (safe, and unique in the folder unless overwriting) with its extension.
    QString filenameWithSourceAtIndex(const ZQObject* source, qint64 index) const;
    // "pdf", "tiff", "BMP", "gif", "jpg", "png" or "qvnl".
    QString fileExtension() const;
    // The raster settings of this operation (background: the paper's colour unless transparent).
    exportraster::Parameters rasterParameters() const;

    // --- Folder -----------------------------------------------------------------------------
    // Takes the folder the stored value names (YES), or falls back to the default export
    // location and stores it (NO); either way the folder is created.
    bool restoreFolderURLFromBookmarkData(const QVariant& data);

    // --- Archiving --------------------------------------------------------------------------
    // {"export_state": keyed archive of the settings}.
    QVariantMap restorableStateInfo() const override;
    // Null when the dictionary holds no readable settings.
    static VLTMExportOperationPtr exportOperationWithRestorableStateInfo(const QVariantMap& info);

    QString description() const override;
    std::shared_ptr<ZQObject> copy() const override;
    VLTMExportOperationPtr copyOperation() const { return std::static_pointer_cast<VLTMExportOperation>(copy()); }
    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    void initWithCoder(platform::KeyedUnarchiver& coder) override;

private:
    template <class T>
    void changeValueForKey(T& field, const T& value, const char* key);
    // Why these settings cannot make a file; none when they can.
    std::optional<QuorvaneError> settingsProblem() const;
    // The source's name for naming options 2 and 4; null when it has none.
    QString nameOfSource(const ZQObject* source) const;
    // Writes one source's file into the folder: its URL, or none for no data (and with `error`
    // set when it failed).
    std::optional<QUrl> writeSourceAtIndex(const ZQObject* source, qint64 index, QuorvaneError* error);

    VXDrawingPtr m_drawing;
    int m_sourceType = kVLTMExportDrawing;
    QList<ZQObjectPtr> m_sources;
    QUrl m_folderURL;
    qint64 m_format = kVLTMExportPNG;
    double m_quality = 0.75;
    double m_dpi = 72.0;
    double m_scale = 1.0;
    bool m_transparent = true;
    QString m_colorspace;
    QString m_fileNameRoot;
    int m_fileNamingOption = kVLTMNameRootAndIndex;
    quint64 m_firstIndex = 1;
    quint64 m_indexIncrement = 1;
    quint64 m_indexPadLength = 4;
    bool m_showInFinder = true;
    bool m_overwriteExisting = false;
    bool m_groupInFolder = false;
    QList<QUrl> m_filesWrittenURLs;
    // The free names found so far, while writeToFiles runs.
    mutable std::optional<exportnaming::FreeNameFinder> m_freeNames;
};
