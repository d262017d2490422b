#include "style_editor/panes/fills/ImagePanes.h"

#include "platform/foundation/ZQUndoManager.h"
#include "platform/vantrix/styles/VXClipping.h"
#include "platform/vantrix/styles/VXFillPattern.h"
#include "platform/vantrix/styles/VXImageAdornment.h"
#include "platform/vantrix/styles/VXPathDecorator.h"
#include "platform/vantrix/styles/VXTilingFill.h"
#include "style_editor/panes/fills/ImageSourceControls.h"
#include "style_editor/panes/strokes/StrokeLineRows.h"

#include <QBuffer>
#include <QFormLayout>
#include <QPainter>
#include <QPushButton>

using Control = StylePaneRow::Control;

namespace {

const QString kImageKey = QStringLiteral("image");

} // namespace

// --- Image controls ------------------------------------------------------------------------------

void StyleImagePane::addCustomControls(QFormLayout& form)
{
    m_imageControls = new ImageSourceControls({
        .fileChosen = [this](const QByteArray& data) { takeImageFileData(data); },
        .pasted = [this](const QImage& image) { takePastedImage(image); },
    });
    form.insertRow(0, tr("Image"), m_imageControls);
}

void StyleImagePane::setImage(const QImage& image)
{
    imageControls()->showImage(image);
}

void StyleImagePane::newObjectWasAssigned()
{
    m_pasteboardHasImage = ImageSourceControls::pasteboardCanMakeImage();
    StyleTablePane::newObjectWasAssigned();
}

void StyleImagePane::setCustomStates(bool mayEdit)
{
    m_imageControls->fileButton()->setEnabled(mayEdit);
    m_imageControls->pasteButton()->setEnabled(mayEdit && (!pasteNeedsPasteboardImage() || m_pasteboardHasImage));
}

void StyleImagePane::takeImageFileData(const QByteArray& data)
{
    const QImage image = ImageSourceControls::decodedImage(data);
    if (!image.isNull())
        setCommonValueForKeyPath(QVariant::fromValue(image), kImageKey);
}

void StyleImagePane::takePastedImage(const QImage& image)
{
    setCommonValueForKeyPath(QVariant::fromValue(image), kImageKey);
}

// --- Tiling fill -----------------------------------------------------------------------------------

const QMetaObject* VLTMStyleEditSub_VXTilingFill::managedObjectClass() const
{
    return &VXTilingFill::staticMetaObject;
}

StylePaneTable VLTMStyleEditSub_VXTilingFill::table() const
{
    return {StylePaneRow::number(QStringLiteral("opacity"), tr("Opacity"), 0, 1, 0.05)};
}

void VLTMStyleEditSub_VXTilingFill::takeImageFileData(const QByteArray& data)
{
    auto fill = std::dynamic_pointer_cast<VXTilingFill>(representedComponent());
    if (!fill || data.isEmpty())
        return;
    const VXRasterizer::EditingScope scope(undoManager());
    if (fill->setImageData(data)) {
        reloadDataForKeyPath(kImageKey);
        if (ZQUndoManager* undo = undoManager())
            undo->setActionName(tr("Change Tiling Image"));
    }
}

void VLTMStyleEditSub_VXTilingFill::takePastedImage(const QImage& image)
{
    // Lossless and always available, so the fill keeps the pasted pixels.
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (image.save(&buffer, "PNG"))
        takeImageFileData(png);
}

// --- Image adornment ------------------------------------------------------------------------------

const QMetaObject* VLTMStyleEditSub_VXImageAdornment::managedObjectClass() const
{
    return &VXImageAdornment::staticMetaObject;
}

StylePaneTable VLTMStyleEditSub_VXImageAdornment::table() const
{
    const auto scalesBy = [](StyleTablePane& pane) {
        return pane.commonValueForKeyPath(QStringLiteral("fittingOption")).toInt() == VXImageAdornment::kScaleBy;
    };
    return {
        StylePaneRow::choice(Control::Radio, QStringLiteral("fittingOption"), tr("Fit"),
                             {{tr("Fill Object"), VXImageAdornment::kFitToObject},
                              {tr("Proportionally"), VXImageAdornment::kFitProportionally},
                              {tr("Scale By"), VXImageAdornment::kScaleBy}}),
        StylePaneRow::number(QStringLiteral("scale"), tr("Scale"), 0.01, 10, 0.05).when(scalesBy),
        StylePaneRow::number(QStringLiteral("opacity"), tr("Opacity"), 0, 1, 0.05),
        StylePaneRow::number(QStringLiteral("angleInDegrees"), tr("Angle"), -180, 180, 5),
        StylePaneRow::checkbox(QStringLiteral("clipping"), tr("Clip to Path"), kVXClipInsidePath, kVXNoClipping),
        StylePaneRow::choice(Control::PopUp, QStringLiteral("operation"), tr("Composition"),
                             {{tr("Normal"), QPainter::CompositionMode_SourceOver},
                              {tr("Multiply"), QPainter::CompositionMode_Multiply},
                              {tr("Screen"), QPainter::CompositionMode_Screen},
                              {tr("Overlay"), QPainter::CompositionMode_Overlay},
                              {tr("Darken"), QPainter::CompositionMode_Darken},
                              {tr("Lighten"), QPainter::CompositionMode_Lighten},
                              {tr("Difference"), QPainter::CompositionMode_Difference}}),
    };
}

// --- Path decorator and fill pattern ------------------------------------------------------------

namespace {

StylePaneRow intervalRow()
{
    return StylePaneRow::length(QStringLiteral("interval"), QObject::tr("Spacing"), 0, 200, 1);
}

StylePaneTable decoratorScaleRows()
{
    return {
        StylePaneRow::number(QStringLiteral("scale"), QObject::tr("Scale"), 0.01, 10, 0.05),
        StylePaneRow::number(QStringLiteral("scaleRandomness"), QObject::tr("Scale Randomness"), 0, 1, 0.05),
        StylePaneRow::number(QStringLiteral("wobblyness"), QObject::tr("Wobble"), 0, 1, 0.05),
    };
}

} // namespace

const QMetaObject* VLTMStyleEditSub_VXPathDecorator::managedObjectClass() const
{
    return &VXPathDecorator::staticMetaObject;
}

StylePaneTable VLTMStyleEditSub_VXPathDecorator::table() const
{
    return StylePaneTable{intervalRow(),
                          StylePaneRow::length(QStringLiteral("lateralOffset"), tr("Lateral Offset"), -100, 100, 1)}
           + decoratorScaleRows()
           + StylePaneTable{
               StylePaneRow::number(QStringLiteral("leadInAndOutLengthProportion"), tr("Lead-in/out"), 0, 0.5, 0.05),
               StylePaneRow::checkbox(QStringLiteral("normalToPath"), tr("Normal to Path")),
               StylePaneRow::checkbox(QStringLiteral("lateralOffsetAlternates"), tr("Alternate Sides")),
               StylePaneRow::checkbox(QStringLiteral("usesChainMethod"), tr("Chain")),
               strokerows::clippingRow(QStringLiteral("clipping")),
           };
}

const QMetaObject* VLTMStyleEditSub_VXFillPattern::managedObjectClass() const
{
    return &VXFillPattern::staticMetaObject;
}

StylePaneTable VLTMStyleEditSub_VXFillPattern::table() const
{
    const auto notAutoTiled = [](StyleTablePane& pane) {
        const auto pattern = std::dynamic_pointer_cast<VXFillPattern>(pane.representedComponent());
        return pattern && !pattern->autoTile();
    };
    return StylePaneTable{intervalRow().when(notAutoTiled),
                          StylePaneRow::number(QStringLiteral("angleInDegrees"), tr("Angle"), -180, 180, 5),
                          StylePaneRow::number(QStringLiteral("motifAngleInDegrees"), tr("Motif Angle"), -180, 180, 5),
                          StylePaneRow::number(QStringLiteral("motifAngleRandomness"), tr("Motif Randomness"), 0, 1, 0.05),
                          StylePaneRow::number(QStringLiteral("patternAlternateYOffset"), tr("Alternate Offset"), -1, 1, 0.05)}
           + decoratorScaleRows()
           + StylePaneTable{
               StylePaneRow::checkbox(QStringLiteral("angleIsRelativeToObject"), tr("Relative Angle")),
               StylePaneRow::checkbox(QStringLiteral("drawingOfClippedElementsSupressed"), tr("No Clipped Motifs")),
               StylePaneRow::checkbox(QStringLiteral("autoTile"), tr("Auto-Tile")),
           };
}

const platform::DisplayBindings& StyleImagePane::displayBindings() const
{
    using Self = StyleImagePane;
    static const auto bindings = platform::DisplayBindings(StyleTablePane::displayBindings())
        .bind(QStringLiteral("image"), &Self::setImage);
    return bindings;
}
