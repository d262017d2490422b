#include "widgets/views/ZQDebuggingScrollView.h"

#include "platform/foundation/ZQLog.h"

void ZQDebuggingScrollView::scrollContentsBy(int dx, int dy)
{
    QScrollArea::scrollContentsBy(dx, dy);
    ++m_numberOfScrolls;
    ZQLog(QStringLiteral("scroll %1").arg(m_numberOfScrolls));
}
