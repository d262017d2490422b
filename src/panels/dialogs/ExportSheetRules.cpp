#include "panels/dialogs/ExportSheetRules.h"

#include "panels/slices/VLTMSlicesLayer.h"
#include "panels/slices/VXQSlice.h"
#include "platform/vantrix/drawables/VXDrawableObject.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"

#include <QCollator>
#include <QCoreApplication>
#include <algorithm>
#include <cmath>

namespace exportsheet {

namespace {

QString tr(const char* text)
{
    return QCoreApplication::translate("VLTMExportController", text);
}

QSizeF sizeOfSource(const ZQObject* source)
{
    if (const auto* drawing = qobject_cast<const VXDrawing*>(source))
        return drawing->drawingSize();
    if (const auto* layer = qobject_cast<const VXLayer*>(source))
        return layer->drawing() ? layer->drawing()->drawingSize() : QSizeF();
    if (const auto* object = qobject_cast<const VXDrawableObject*>(source))
        return object->bounds().size();
    if (const auto* slice = qobject_cast<const VXQSlice*>(source))
        return slice->bounds().size();
    return QSizeF(0, 0);
}

} // namespace

ControlStates controlStates(int sourceType, qint64 format, int namingOption)
{
    ControlStates states;
    states.bitmapSettingsEnabled = format >= 0;
    states.qualityEnabled = format == kVLTMExportJPEG;
    states.transparencyEnabled = format == kVLTMExportTIFF || format == kVLTMExportPNG;
    states.nativeFormatEnabled = sourceType == kVLTMExportSlices;
    states.namingBySourceEnabled = sourceType != kVLTMExportDrawing;
    states.firstIndexEnabled = sourceType != kVLTMExportDrawing && namingOption == kVLTMNameRootAndIndex;
    // One drawing makes one file, named by the root alone: the sheet says so whatever the
    // naming chosen for several sources.
    if (sourceType == kVLTMExportDrawing)
        namingOption = kVLTMNameRootOnly;
    switch (namingOption) {
    case kVLTMNameRootAndIndex:
    case kVLTMNameRootAndName:
    case kVLTMNameRootOnly: states.checkedNamingButton = namingOption; break;
    default: states.checkedNamingButton = -1; break;
    }
    states.layersMenuShown = sourceType == kVLTMExportSelection;
    return states;
}

qint64 formatForSourceType(int sourceType, qint64 format)
{
    return format == kVLTMExportNative && sourceType != kVLTMExportSlices ? qint64(kVLTMExportPDF) : format;
}

QList<ZQObjectPtr> printableLayers(const VXDrawing& drawing)
{
    QList<ZQObjectPtr> printable;
    for (const VXLayerPtr& layer : drawing.flattenedLayers())
        if (layer->shouldDrawToPrinter() || qobject_cast<const VXObjectDrawingLayer*>(layer.get()))
            printable.append(layer);
    return printable;
}

SourcesChoice sourcesForSourceType(const VXDrawing* drawing, int sourceType)
{
    SourcesChoice choice;
    switch (sourceType) {
    case kVLTMExportDrawing:
    case kVLTMExportLayers:
        choice.changesSources = true;
        choice.sources = drawing ? printableLayers(*drawing) : QList<ZQObjectPtr>();
        choice.nameHeader = tr("Layers");
        break;
    case kVLTMExportSlices:
        choice.changesSources = true;
        if (VLTMSlicesLayer* slices = VLTMSlicesLayer::slicesLayerOfDrawing(drawing)) {
            slices->setVisible(true);
            for (const VXQSlicePtr& slice : slices->slices())
                choice.sources.append(slice);
        }
        choice.nameHeader = tr("Slices");
        break;
    case kVLTMExportSelection: {
        choice.changesSources = true;
        const auto* layer = drawing ? drawing->activeLayerOfClass<VXObjectDrawingLayer>() : nullptr;
        choice.tableEnabled = layer != nullptr;
        if (!layer)
            break;
        QList<VXDrawableObjectPtr> selection = layer->selection();
        QCollator collator;
        collator.setCaseSensitivity(Qt::CaseInsensitive);
        std::stable_sort(selection.begin(), selection.end(), [&](const VXDrawableObjectPtr& a, const VXDrawableObjectPtr& b) {
            return collator.compare(a->name(), b->name()) < 0;
        });
        for (const VXDrawableObjectPtr& object : selection)
            choice.sources.append(object);
        choice.nameHeader = tr("Objects");
        break;
    }
    default: break;
    }
    return choice;
}

QString keyPathForColumnIdentifier(const QString& identifier, int sourceType)
{
    switch (sourceType) {
    case kVLTMExportSlices: return identifier;
    case kVLTMExportDrawing:
    case kVLTMExportLayers:
        if (identifier == kNameColumn)
            return QStringLiteral("layerName");
        return identifier == kSizeColumn ? QStringLiteral("drawing.drawingSize") : identifier;
    case kVLTMExportSelection: return identifier;
    default: return {};
    }
}

QString exportSizeString(const ZQObject* source, double scale)
{
    const QSizeF size = sizeOfSource(source);
    return QStringLiteral("%1 x %2 px")
        .arg(std::ceil(size.width() * scale), 0, 'f', 0)
        .arg(std::ceil(size.height() * scale), 0, 'f', 0);
}

} // namespace exportsheet
