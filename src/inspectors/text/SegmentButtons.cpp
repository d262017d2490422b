#include "inspectors/text/SegmentButtons.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QToolButton>

SegmentButtons::SegmentButtons(const QList<Segment>& segments, bool exclusive, QWidget* parent)
    : QWidget(parent)
    , m_segments(segments)
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(1);
    if (exclusive)
        m_group = new QButtonGroup(this);
    for (int index = 0; index < segments.size(); ++index) {
        auto* button = new QToolButton(this);
        button->setText(segments[index].title);
        button->setToolTip(segments[index].toolTip);
        button->setCheckable(true);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        row->addWidget(button);
        m_buttons.append(button);
        if (m_group)
            m_group->addButton(button, index);
        connect(button, &QToolButton::clicked, this, [this, index] { Q_EMIT segmentClicked(index); });
    }
}

bool SegmentButtons::isSelected(int segment) const
{
    const QToolButton* segmentButton = button(segment);
    return segmentButton && segmentButton->isChecked();
}

void SegmentButtons::setSelected(int segment, bool selected)
{
    QToolButton* segmentButton = button(segment);
    if (!segmentButton)
        return;
    // An exclusive group keeps one button checked: it lets go only while not exclusive.
    if (m_group && !selected)
        m_group->setExclusive(false);
    segmentButton->setChecked(selected);
    if (m_group)
        m_group->setExclusive(true);
}

int SegmentButtons::selectedTag() const
{
    for (int segment = 0; segment < segmentCount(); ++segment) {
        if (isSelected(segment))
            return tagForSegment(segment);
    }
    return -1;
}

void SegmentButtons::selectSegmentWithTag(int tag)
{
    deselectAll();
    for (int segment = 0; segment < segmentCount(); ++segment) {
        if (tagForSegment(segment) == tag)
            setSelected(segment, true);
    }
}

void SegmentButtons::deselectAll()
{
    for (int segment = 0; segment < segmentCount(); ++segment)
        setSelected(segment, false);
}

void SegmentButtons::setSegmentEnabled(int segment, bool enabled)
{
    if (QToolButton* segmentButton = button(segment))
        segmentButton->setEnabled(enabled);
}
