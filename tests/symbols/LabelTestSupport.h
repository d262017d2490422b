#pragma once

// A minimal label container and a block label of fixed text size for the label tests.

#include "platform/vantrix/drawables/VXDrawableShape.h"
#include "symbols/labels/TextLabelCollection.h"
#include "symbols/labels/VXQTextBlockLabel.h"

#include <QSizeF>
#include <optional>

namespace labeltest {

// A shape holding labels with the placement answers set by the test; counts the change calls.
class Host : public VXDrawableShape, public VXQTextLabelContainer {
    Q_OBJECT

public:
    TextLabelCollection labels{*this};
    std::optional<QPointF> reference;
    double radius = 0;
    std::optional<QSizeF> centroid;
    std::optional<QRectF> featureBounds;
    int contentChanges = 0;
    int attributeChanges = 0;

    QList<VXQTextLabelPtr> textLabels() const override { return labels.labels(); }
    void setTextLabels(const QList<VXQTextLabelPtr>& list) override { labels.setLabels(list); }
    void addTextLabel(const VXQTextLabelPtr& label) override;
    void removeTextLabel(const VXQTextLabelPtr& label) override;
    VXQTextLabel* textLabelAtPoint(QPointF point) const override { return labels.labelAtPoint(point); }
    void selectTextLabelExtendingSelection(VXQTextLabel* label, bool extend) override
    {
        labels.selectExtendingSelection(label, extend);
    }
    void deselectTextLabel(VXQTextLabel* label) override { labels.deselect(label); }
    void selectAllTextLabels() override { labels.selectAll(); }
    void deselectAllTextLabels() override { labels.deselectAll(); }
    QList<VXQTextLabelPtr> selectedTextLabels() const override { return labels.selectedLabels(); }
    void drawTextLabelsInView(VXDrawingView* view) const override { labels.drawLabels(view); }
    bool labelsHidden() const override { return labels.hidden(); }
    void setLabelsHidden(bool hidden) override { labels.setHidden(hidden); }
    bool locked() const override { return VXDrawableShape::locked(); }
    void setLocked(bool locked) override { VXDrawableShape::setLocked(locked); }
    QVariant metadataObjectForKey(const QString& key) const override { return VXDrawableShape::metadataObjectForKey(key); }
    QRectF boundsIgnoringLabels() const override { return featureBounds.value_or(VXDrawableShape::bounds()); }
    QList<QRectF> textLabelBounds() const override { return labels.labelBounds(); }
    void textLabelContentWillChange(VXQTextLabel*) override {}
    void textLabelContentDidChange(VXQTextLabel*) override { ++contentChanges; }
    void textLabelAttributesWillChange(VXQTextLabel*) override {}
    void textLabelAttributesDidChange(VXQTextLabel*) override { ++attributeChanges; }
    std::optional<QPointF> referencePointForLabel(const VXQTextLabel&) const override { return reference; }
    double labelOffsetRadiusForLabel(const VXQTextLabel&) const override { return radius; }
    std::optional<QSizeF> centroidOffset() const override { return centroid; }
    QList<QObject*> forwardingTargetsForSelector(const QByteArray&) const override { return labels.forwardingTargets(); }

    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    void initWithCoder(platform::KeyedUnarchiver& coder) override;
};

// Text of a set size (50 x 12 unless changed), so geometry can be checked to the point.
class FixedLabel : public VXQTextBlockLabel {
    Q_OBJECT

public:
    QSizeF fixedSize{50, 12};
    QSizeF textSize() const override { return fixedSize; }
    static std::shared_ptr<FixedLabel> make();
};

void registerClasses();

} // namespace labeltest
