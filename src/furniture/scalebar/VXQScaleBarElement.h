#pragma once

// One graduated bar of a scale bar: a banded bar (VXQGridBorder) with a row of distance
// labels (VXQGridAnnotation) along one edge, above the line (edge 4) or below it (edge 8).
// The scale bar owns the element and is the owner its bar and labels ask for the line, the
// span and the label texts.

#include "furniture/edges/VXQGridAnnotation.h"
#include "furniture/edges/VXQGridBorder.h"

class VXQScaleBarElement : public ZQObject {
    Q_OBJECT

public:
    VXQScaleBarElement();
    ~VXQScaleBarElement() override;

    QObject* owner() const { return m_owner; }
    // Also the owner of the bar and the labels; it must answer VXQGridInfoProtocol.
    void setOwner(QObject* owner);
    int edge() const { return m_edge; }
    // Also the bar's border edges.
    void setEdge(int edge);
    VXQGridBorder* border() const { return m_bar.get(); }
    VXQGridAnnotation* annotation() const { return m_scale.get(); }
    bool enabled() const { return m_enabled; }
    void setEnabled(bool enabled) { m_enabled = enabled; }
    platform::TextAttributes textAttributes() const { return m_scale->textAttributes(); }
    void setTextAttributes(const platform::TextAttributes& attributes) { m_scale->setTextAttributes(attributes); }
    double barWidth() const { return m_bar->width(); }
    // The bar's offset and the labels' gap follow the width.
    void setBarWidth(double width);
    // The room the bar takes beside the line.
    double borderAllowance() const { return m_bar->width() + m_bar->offset() + 1; }
    // The bar with its labels; empty when disabled.
    QRectF bounds() const;
    void drawRect(const QRectF& rect) const;

    std::shared_ptr<ZQObject> copy() const override;
    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    // A missing or damaged bar or label row is made anew.
    void initWithCoder(platform::KeyedUnarchiver& coder) override;

private:
    static std::shared_ptr<const platform::NumberFormatter> distanceFormatter();

    VXQGridBorderPtr m_bar = std::make_shared<VXQGridBorder>();
    VXQGridAnnotationPtr m_scale = std::make_shared<VXQGridAnnotation>();
    QPointer<QObject> m_owner;
    int m_edge = kVXQGridEdgeTop;
    bool m_enabled = true;
};

using VXQScaleBarElementPtr = std::shared_ptr<VXQScaleBarElement>;
