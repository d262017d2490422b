#pragma once

// A row of segments, one selected at a time, that share the control's width equally:
// each is floor((width - count - 1) / count) wide, with a one-point gap before, between
// and after them. Segments take focus with Tab and select with Space; choosing one sends
// the control's action.

#include "widgets/controls/ControlAction.h"

#include <QHash>
#include <QWidget>

class QAbstractButton;
class QButtonGroup;

class ZQSegmentedControl : public QWidget, public ControlAction {
    Q_OBJECT

public:
    explicit ZQSegmentedControl(QWidget* parent = nullptr);

    int segmentCount() const;
    void setSegmentCount(int count);
    QString labelForSegment(int segment) const;
    void setLabelForSegment(const QString& label, int segment);
    double widthForSegment(int segment) const;

    // -1 when none is selected.
    int selectedSegment() const;
    void setSelectedSegment(int segment);

    // The label of the selected segment; empty when none is.
    QString title() const;

    // A number a segment carries for whoever reads the control; a segment's own index until set.
    int tagForSegment(int segment) const;
    void setTagForSegment(int tag, int segment);
    // The selected segment's tag; -1 when none is selected.
    int selectedTag() const;
    // Selects the first segment carrying `tag`; false (selection unchanged) when none does.
    bool selectSegmentWithTag(int tag);

    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void layOutSegments();

    QButtonGroup* m_segments;
    QHash<int, int> m_tags;
};
