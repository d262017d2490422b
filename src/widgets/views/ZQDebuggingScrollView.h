#pragma once

// A scroll area that counts how often its content scrolled and logs "scroll <count>" each
// time, to find out who scrolls it.

#include <QScrollArea>

class ZQDebuggingScrollView : public QScrollArea {
    Q_OBJECT

public:
    using QScrollArea::QScrollArea;

    qint64 numberOfScrolls() const { return m_numberOfScrolls; }

protected:
    void scrollContentsBy(int dx, int dy) override;

private:
    qint64 m_numberOfScrolls = 0;
};
