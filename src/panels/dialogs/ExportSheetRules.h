#pragma once

// What the export sheet shows for a set of export settings, without widgets: which controls
// are enabled or checked, which sources the table lists, how its columns read them and the
// size each source comes out at.

#include "panels/export/VLTMExportOperation.h"

namespace exportsheet {

// The controls that depend on the source type, the format and the naming option.
struct ControlStates {
    bool bitmapSettingsEnabled = false; // resolution, colour space, scale
    bool qualityEnabled = false;        // JPEG only
    bool transparencyEnabled = false;   // TIFF and PNG only
    bool nativeFormatEnabled = false;   // slices only
    bool namingBySourceEnabled = true;  // the index and source-name buttons; not for one drawing
    bool firstIndexEnabled = false;     // numbering by index, and not for one drawing
    int checkedNamingButton = -1;       // 1 index, 2 source name, 0 none (one drawing); -1 for the tokens
    bool layersMenuShown = false;       // selected objects pick their layer
    friend bool operator==(const ControlStates&, const ControlStates&) = default;
};

ControlStates controlStates(int sourceType, qint64 format, int namingOption);
inline ControlStates controlStates(const VLTMExportOperation& operation)
{
    return controlStates(operation.sourceType(), operation.format(), operation.fileNamingOption());
}

// The format a source type can keep: the native format only for slices, PDF instead.
qint64 formatForSourceType(int sourceType, qint64 format);

// In the drawing's flattened order, the layers that print and every object layer.
QList<ZQObjectPtr> printableLayers(const VXDrawing& drawing);

// What the table lists for a source type. Types without sources of their own (1, others)
// leave the table as it is.
struct SourcesChoice {
    bool changesSources = false;
    QList<ZQObjectPtr> sources;
    bool tableEnabled = true;
    QString nameHeader;
};
// Slices make the slices layer visible; selected objects come from the active object layer,
// sorted by name.
SourcesChoice sourcesForSourceType(const VXDrawing* drawing, int sourceType);

// The column identifiers of the sources table.
inline const QString kCheckColumn = QStringLiteral("visible");
inline const QString kNameColumn = QStringLiteral("name");
inline const QString kSizeColumn = QStringLiteral("size");

// The key path a column reads on a source of the type; empty where the type has none.
QString keyPathForColumnIdentifier(const QString& identifier, int sourceType);

// "W x H px": the source's size times the scale, each rounded up (the resolution does not
// enter). Drawings and layers give the drawing's size, objects and slices their bounds.
QString exportSizeString(const ZQObject* source, double scale);

} // namespace exportsheet
