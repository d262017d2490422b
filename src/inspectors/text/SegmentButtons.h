#pragma once

// A row of checkable segments, each with a title and a tag. Exclusive rows select one segment
// or none (a mixed value selects none); other rows toggle each segment on its own. A click
// emits segmentClicked with the segment's index, its new state already shown.

#include <QList>
#include <QWidget>

class QButtonGroup;
class QToolButton;

class SegmentButtons : public QWidget {
    Q_OBJECT

public:
    struct Segment {
        QString title;
        int tag = 0;
        QString toolTip;
    };
    SegmentButtons(const QList<Segment>& segments, bool exclusive, QWidget* parent = nullptr);

    int segmentCount() const { return int(m_buttons.size()); }
    QToolButton* button(int segment) const { return m_buttons.value(segment); }
    int tagForSegment(int segment) const { return m_segments.value(segment).tag; }

    bool isSelected(int segment) const;
    void setSelected(int segment, bool selected);
    // The first selected segment's tag, or -1.
    int selectedTag() const;
    // Selects the segments with the tag and no others; none has it: none is selected.
    void selectSegmentWithTag(int tag);
    void deselectAll();
    void setSegmentEnabled(int segment, bool enabled);

Q_SIGNALS:
    void segmentClicked(int segment);

private:
    QList<Segment> m_segments;
    QList<QToolButton*> m_buttons;
    QButtonGroup* m_group = nullptr;
};
