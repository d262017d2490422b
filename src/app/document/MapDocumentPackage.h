#pragma once

// The folder a map document is saved as:
//
//   VL_Content.drawing        keyed archive of the drawing
//   VL_Info.plist             the drawing information, with its size and units flattened
//                             into lower-case keys for readers that do not open the drawing
//   VL_Auxiliary_Info.dat     keyed archive of a dictionary: map scale, prescale, print and
//                             document info, the transform that lines shapefile imports up
//   QuickLook/Thumbnail.jpg   a small picture of the drawing
//   QuickLook/Preview.pdf     a page of the drawing's size showing a picture of it
//   _window.plist             the window's restorable state
//   _export_settings.plist    the export operation's settings, when there is one
//
// Any other file of the package (notes a user put there, files of a later version) is the
// map's to keep, not to read: read on demand, it is written back as it was.
//
// Reading trusts nothing: a package whose drawing, information or auxiliary archive is
// missing where required, empty, cut short or of a foreign kind, or whose images would
// decode past a DecodedPixelBudget, is refused with error 101, the reason under
// platform::kReadFailureReasonKey. The window state and export settings are only
// conveniences: damage there is logged and they are left out.

#include "mapscale/VXQMapScale.h"
#include "platform/foundation/QuorvaneError.h"
#include "platform/ui/FileWrapper.h"
#include "platform/vantrix/model/VXDrawing.h"

#include <QPageLayout>
#include <QTransform>
#include <QVariantMap>
#include <functional>
#include <optional>

struct MapDocumentContents {
    VXDrawingPtr drawing;
    VXQMapScalePtr mapScale;              // never null once read
    std::optional<QPageLayout> printInfo; // none when the package has none
    QVariantMap documentInfo;
    QVariantMap windowState;                   // empty: none
    std::optional<QVariantMap> exportSettings; // written only when present
    std::optional<double> prescale;            // none when the package has none (or a bad one)
    std::optional<QTransform> shapefileTransform; // none until a shapefile is imported (or a bad one)
    platform::FileWrapper otherFiles = platform::FileWrapper::directory(); // the package's files the map does not read
};

class MapDocumentPackage {
public:
    static inline const QString kContentFileName = QStringLiteral("VL_Content.drawing");
    static inline const QString kInfoFileName = QStringLiteral("VL_Info.plist");
    static inline const QString kAuxiliaryFileName = QStringLiteral("VL_Auxiliary_Info.dat");
    static inline const QString kQuickLookFolderName = QStringLiteral("QuickLook");
    static inline const QString kThumbnailFileName = QStringLiteral("Thumbnail.jpg");
    static inline const QString kPreviewFileName = QStringLiteral("Preview.pdf");
    static inline const QString kWindowStateFileName = QStringLiteral("_window.plist");
    static inline const QString kExportSettingsFileName = QStringLiteral("_export_settings.plist");

    static inline const QString kMapScaleKey = QStringLiteral("Map_Scale");
    static inline const QString kPrintInfoKey = QStringLiteral("Print_Info");
    static inline const QString kDocumentInfoKey = QStringLiteral("Document_Info");
    static inline const QString kPrescaleKey = QStringLiteral("Prescale");
    static inline const QString kShapefileTransformKey = QStringLiteral("Shapefile_Transform");
    static inline const QString kInfoWidthKey = QStringLiteral("vx_drawing_dimensions.size_width");
    static inline const QString kInfoHeightKey = QStringLiteral("vx_drawing_dimensions.size_height");
    static inline const QString kInfoUnitsKey = QStringLiteral("vx_dimensions_units");

    // The longer sides of the thumbnail and of the preview's picture, in pixels.
    static constexpr int kThumbnailSide = 256;
    static constexpr int kPreviewSide = 512;

    // Told the fraction done at each step; answers false to stop the work.
    using Proceed = std::function<bool(double fraction)>;

    // Nullopt with error 102 when there is no drawing to write, 101 when a part cannot be
    // encoded or `proceed` stopped the work (reason under platform::kWriteFailureReasonKey).
    static std::optional<platform::FileWrapper> write(const MapDocumentContents& contents, QuorvaneError* error,
                                                      const Proceed& proceed = {});
    static std::optional<MapDocumentContents> read(const platform::FileWrapper& package, QuorvaneError* error,
                                                   const Proceed& proceed = {});
    // The map scale in the contents of an auxiliary archive; null when the archive cannot be
    // read or keeps none.
    static VXQMapScalePtr mapScaleInAuxiliaryArchive(const QByteArray& data);

private:
    // The thumbnail and the preview, in the folder kept from the package when there is one; its
    // painting reports to `proceed`.
    static platform::FileWrapper quickLookFolder(const VXDrawing& drawing, const platform::FileWrapper* kept,
                                                 const Proceed& proceed);
    static platform::FileWrapper filesNotRead(const platform::FileWrapper& package);
    static QVariantMap drawingInformation(const VXDrawing& drawing);
    static QByteArray auxiliaryArchive(const MapDocumentContents& contents);
    static bool readAuxiliaryArchive(const QByteArray& data, MapDocumentContents& contents, QString* reason);
    static QVariantMap readWindowState(const platform::FileWrapper* file);
    static std::optional<QVariantMap> readExportSettings(const platform::FileWrapper* file);
};
