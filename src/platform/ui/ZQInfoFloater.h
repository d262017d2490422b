#pragma once

// A small floating window that shows one number (or a short text) next to the pointer
// while something is dragged. It never takes focus or mouse events.

#include "platform/ui/NumberFormat.h"

#include <QLabel>
#include <QPointF>
#include <memory>

class ZQInfoFloater : public QLabel {
    Q_OBJECT

public:
    // Where the floater stands from the point it is placed near (right of and below it).
    static constexpr QPoint kDefaultWindowOffset{12, 12};

    ZQInfoFloater();
    ~ZQInfoFloater() override;

    // A new floater; the caller keeps it.
    static std::unique_ptr<ZQInfoFloater> infoFloater();

    // A number pattern (see platform::NumberFormat), e.g. "0.0%".
    void setFormat(const QString& pattern);
    QString format() const { return m_format.pattern(); }
    void setFloatValue(float value);
    void setDoubleValue(double value);
    void setStringValue(const QString& text);
    QString stringValue() const { return text(); }

    void setWindowOffset(QPoint offset) { m_windowOffset = offset; }
    QPoint windowOffset() const { return m_windowOffset; }
    // Places the floater at the offset from `point` (in `view`'s coordinates), kept on the screen.
    void positionNearPointInView(QPointF point, QWidget* view);

    // show() and hide() are QWidget's.
    Q_INVOKABLE void orderOut(QObject* sender);

private:
    platform::NumberFormat m_format;
    QPoint m_windowOffset = kDefaultWindowOffset;
};
