#include "widgets/controls/ZQSegmentedControl.h"

#include <QButtonGroup>
#include <QToolButton>
#include <algorithm>
#include <cmath>

ZQSegmentedControl::ZQSegmentedControl(QWidget* parent)
    : QWidget(parent), m_segments(new QButtonGroup(this))
{
    m_segments->setExclusive(true);
    connect(m_segments, &QButtonGroup::idClicked, this, [this] { sendActionFrom(this); });
}

int ZQSegmentedControl::segmentCount() const
{
    return int(m_segments->buttons().size());
}

void ZQSegmentedControl::setSegmentCount(int count)
{
    count = std::max(0, count);
    while (segmentCount() > count) {
        QAbstractButton* last = m_segments->button(segmentCount() - 1);
        m_tags.remove(segmentCount() - 1);
        m_segments->removeButton(last);
        delete last;
    }
    while (segmentCount() < count) {
        auto* segment = new QToolButton(this);
        segment->setCheckable(true);
        segment->setFocusPolicy(Qt::TabFocus);
        segment->setToolButtonStyle(Qt::ToolButtonTextOnly);
        m_segments->addButton(segment, segmentCount());
        segment->show();
    }
    layOutSegments();
    updateGeometry();
}

QString ZQSegmentedControl::labelForSegment(int segment) const
{
    const QAbstractButton* button = m_segments->button(segment);
    return button ? button->text() : QString();
}

void ZQSegmentedControl::setLabelForSegment(const QString& label, int segment)
{
    if (QAbstractButton* button = m_segments->button(segment)) {
        button->setText(label);
        updateGeometry();
    }
}

double ZQSegmentedControl::widthForSegment(int segment) const
{
    const int count = segmentCount();
    if (segment < 0 || segment >= count)
        return 0.0;
    return std::max(0.0, std::floor(double(width() - count - 1) / count));
}

int ZQSegmentedControl::selectedSegment() const
{
    return m_segments->checkedId();
}

void ZQSegmentedControl::setSelectedSegment(int segment)
{
    if (QAbstractButton* button = m_segments->button(segment))
        button->setChecked(true);
}

QString ZQSegmentedControl::title() const
{
    return labelForSegment(selectedSegment());
}

int ZQSegmentedControl::tagForSegment(int segment) const
{
    return m_tags.value(segment, segment);
}

void ZQSegmentedControl::setTagForSegment(int tag, int segment)
{
    if (segment >= 0 && segment < segmentCount())
        m_tags.insert(segment, tag);
}

int ZQSegmentedControl::selectedTag() const
{
    const int segment = selectedSegment();
    return segment < 0 ? -1 : tagForSegment(segment);
}

bool ZQSegmentedControl::selectSegmentWithTag(int tag)
{
    for (int segment = 0; segment < segmentCount(); ++segment)
        if (tagForSegment(segment) == tag) {
            setSelectedSegment(segment);
            return true;
        }
    return false;
}

QSize ZQSegmentedControl::sizeHint() const
{
    int width = 1;
    int height = 0;
    for (QAbstractButton* button : m_segments->buttons()) {
        width += button->sizeHint().width() + 1;
        height = std::max(height, button->sizeHint().height());
    }
    return {width, height};
}

void ZQSegmentedControl::resizeEvent(QResizeEvent*)
{
    layOutSegments();
}

void ZQSegmentedControl::layOutSegments()
{
    const int segmentWidth = int(widthForSegment(0));
    for (int i = 0; i < segmentCount(); ++i)
        m_segments->button(i)->setGeometry(1 + i * (segmentWidth + 1), 0, segmentWidth, height());
}
