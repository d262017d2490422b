#include "widgets/previews/ZQTextPreviewView.h"

#include "platform/foundation/ZQAssert.h"
#include "platform/graphics/AttributedStringLayout.h"
#include "widgets/paint/CenterScanRect.h"

#include <QPainter>

namespace {

// The string in one line, with the attributes of its first character at `size` points.
platform::AttributedString atSize(const platform::AttributedString& string, double size)
{
    platform::TextAttributes attributes = string.isEmpty() ? platform::TextAttributes{}
                                                           : string.attributesAtIndexEffectiveRange(0);
    QFont font = attributes.value(platform::kFontAttributeName).canConvert<QFont>()
                     ? attributes.value(platform::kFontAttributeName).value<QFont>()
                     : platform::AttributedStringLayout::defaultFont();
    font.setPointSizeF(size);
    attributes.insert(platform::kFontAttributeName, font);
    attributes.remove(platform::kParagraphStyleAttributeName);
    attributes.insert(platform::kBaselineOffsetAttributeName, 0.0);
    return platform::AttributedString(string.string(), attributes);
}

QSizeF measure(const platform::AttributedString& string, double size)
{
    return platform::AttributedStringLayout(atSize(string, size), 0).size();
}

} // namespace

ZQTextPreviewView::ZQTextPreviewView(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
}

void ZQTextPreviewView::setString(const std::optional<platform::AttributedString>& string)
{
    m_string = string;
    update();
}

void ZQTextPreviewView::setWithStringAttributes(const QString& string, const platform::TextAttributes& attributes)
{
    if (!string.isNull() && !attributes.isEmpty())
        setString(platform::AttributedString(string, attributes));
    else
        setString(std::nullopt);
}

void ZQTextPreviewView::setPlaceholderString(const std::optional<platform::AttributedString>& placeholder)
{
    m_placeholderString = placeholder;
    update();
}

void ZQTextPreviewView::setBordered(bool bordered)
{
    m_bordered = bordered;
    update();
}

double ZQTextPreviewView::fittedFontSize(const platform::AttributedString& string, const QRectF& rect, double min, double max)
{
    if (min == max)
        return max;
    if (!ZQ_EXPECT(max > min, QStringLiteral("maximum size must be greater than minimum size")))
        return min;
    const QRectF inner = rect.adjusted(10, 8, -10, -8);
    double lo = min, hi = max, size = max;
    double measured = size;
    for (int trial = 1; trial <= kMaximumTrials; ++trial) {
        measured = size;
        const QSizeF text = measure(string, size);
        if (text.width() >= rect.width() || text.height() >= rect.height()) {
            hi = size;
            size = (lo + size) / 2;
            if (size <= min)
                break;
        } else {
            if (text.width() >= inner.width() || size == lo || text.height() >= inner.height())
                break;
            lo = size;
            size = (size + hi) / 2;
            if (size >= max)
                break;
        }
        // Midpoints of bounds this close repeat themselves.
        if (hi - lo < kSizeTolerance)
            break;
    }
    return measured;
}

void ZQTextPreviewView::drawStringInRectMinSizeMaxSize(QPainter& painter, const platform::AttributedString& string,
                                                       const QRectF& rect, double min, double max)
{
    const platform::AttributedString fitted = atSize(string, fittedFontSize(string, rect, min, max));
    const platform::AttributedStringLayout layout(fitted, 0);
    const QSizeF size = layout.size();
    layout.drawAtPoint(&painter, QPointF(rect.center().x() - size.width() / 2, rect.center().y() - 0.55 * size.height()));
}

void ZQTextPreviewView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.setRenderHint(QPainter::Antialiasing);
    if (m_string)
        drawStringInRectMinSizeMaxSize(painter, *m_string, QRectF(rect()), m_minimumFontSize, m_maximumFontSize);
    else if (m_placeholderString)
        drawStringInRectMinSizeMaxSize(painter, *m_placeholderString, QRectF(rect()), kPlaceholderSize, kPlaceholderSize);
    if (m_bordered) {
        painter.setPen(QPen(palette().color(QPalette::WindowText), 0.5));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(centerScanRect(painter, QRectF(rect())));
    }
}
