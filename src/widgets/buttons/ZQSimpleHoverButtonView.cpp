#include "widgets/buttons/ZQSimpleHoverButtonView.h"

#include "platform/graphics/AttributedStringLayout.h"
#include "platform/graphics/FontUtilities.h"

#include <QEnterEvent>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

using namespace platform;

namespace {

// The named face, or the system sans-serif of that size and weight where it is not installed.
QFont fontOrSystemFallback(const QString& name, double size, QFont::Weight weight)
{
    if (std::optional<QFont> font = fontWithNameSize(name, size))
        return *font;
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSizeF(size);
    font.setWeight(weight);
    return font;
}

TextAttributes hoverTextAttributes(bool title)
{
    ParagraphStyle paragraph;
    paragraph.lineSpacing = 3.0;
    paragraph.alignment = TextAlignment::Left;
    return TextAttributes{
        {kFontAttributeName, title ? fontOrSystemFallback(QStringLiteral("Myriad Pro Semibold"), 18, QFont::DemiBold)
                                   : fontOrSystemFallback(QStringLiteral("Myriad Pro Light"), 15, QFont::Light)},
        {kForegroundColourAttributeName, title ? QColor::fromRgbF(0.3f, 0.3f, 0.3f) : QColor(Qt::gray)},
        {kParagraphStyleAttributeName, QVariant::fromValue(paragraph)},
    };
}

} // namespace

ZQSimpleHoverButtonView::ZQSimpleHoverButtonView(QWidget* parent)
    : QWidget(parent),
      m_normalGradient(defaultNormalGradient()),
      m_hoverGradient(defaultHoverGradient()),
      m_pressedGradient(defaultPressedGradient())
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_Hover);
    setCursor(Qt::OpenHandCursor);
    setFocusPolicy(Qt::TabFocus);
}

const Gradient& ZQSimpleHoverButtonView::defaultNormalGradient()
{
    static const Gradient gradient(QColor::fromRgbF(0.9f, 0.9f, 0.9f), QColor::fromRgbF(0.95f, 0.95f, 0.95f));
    return gradient;
}

const Gradient& ZQSimpleHoverButtonView::defaultPressedGradient()
{
    static const Gradient gradient(QColor::fromRgbF(0.7f, 0.7f, 0.7f), QColor::fromRgbF(0.5f, 0.5f, 0.5f));
    return gradient;
}

const Gradient& ZQSimpleHoverButtonView::defaultHoverGradient()
{
    static const Gradient gradient(QColor::fromRgbF(0.9f, 0.9f, 0.9f), QColor::fromRgbF(0.7f, 0.7f, 0.7f));
    return gradient;
}

AttributedString ZQSimpleHoverButtonView::attributedStringForHoverButtonWithParts(const QStringList& parts)
{
    static const TextAttributes titleAttributes = hoverTextAttributes(true);
    static const TextAttributes lineAttributes = hoverTextAttributes(false);
    AttributedString text;
    for (qsizetype i = 0; i < parts.size(); ++i)
        text.appendAttributedString(AttributedString(parts[i] + u'\n', i == 0 ? titleAttributes : lineAttributes));
    return text;
}

const Gradient& ZQSimpleHoverButtonView::gradientForState(int state) const
{
    switch (state) {
    case PressedState:
        return m_pressedGradient;
    case HoveredState:
        return m_hoverGradient;
    default:
        return m_normalGradient;
    }
}

void ZQSimpleHoverButtonView::setContentImage(const QImage& image)
{
    m_contentImage = image;
    update();
}

bool ZQSimpleHoverButtonView::setContentImageFile(const QUrl& url)
{
    const QImage image(url.toLocalFile());
    setContentImage(image);
    return !image.isNull();
}

void ZQSimpleHoverButtonView::setContentAttributedString(const std::optional<AttributedString>& text)
{
    m_contentString = text;
    update();
}

void ZQSimpleHoverButtonView::setState(int state)
{
    if (state == m_state)
        return;
    m_state = state;
    update();
}

void ZQSimpleHoverButtonView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRectF bounds(rect());
    gradientForState(m_state).drawInRect(painter, bounds, 90);
    if (m_contentString) {
        const QRectF textRect = bounds.adjusted(kTextInset, kTextInset, -kTextInset, -kTextInset);
        painter.save();
        painter.setClipRect(textRect);
        AttributedStringLayout(*m_contentString, textRect.width()).drawAtPoint(&painter, textRect.topLeft());
        painter.restore();
    } else if (!m_contentImage.isNull()) {
        const QSizeF size = m_contentImage.deviceIndependentSize();
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(QRectF(bounds.center() - QPointF(size.width(), size.height()) / 2, size), m_contentImage);
    }
    painter.setPen(QPen(Qt::lightGray, 1.0));
    painter.drawRect(bounds.adjusted(0.5, 0.5, -0.5, -0.5));
}

void ZQSimpleHoverButtonView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    m_tracking = true;
    setState(PressedState);
}

void ZQSimpleHoverButtonView::mouseMoveEvent(QMouseEvent* event)
{
    if (m_tracking)
        setState(rect().contains(event->position().toPoint()) ? PressedState : NormalState);
}

void ZQSimpleHoverButtonView::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_tracking || event->button() != Qt::LeftButton)
        return QWidget::mouseReleaseEvent(event);
    m_tracking = false;
    const bool inside = rect().contains(event->position().toPoint());
    setState(inside && m_hoverEnabled ? HoveredState : NormalState);
    if (inside)
        sendActionFrom(this);
}

void ZQSimpleHoverButtonView::enterEvent(QEnterEvent*)
{
    if (m_hoverEnabled && !m_tracking)
        setState(HoveredState);
}

void ZQSimpleHoverButtonView::leaveEvent(QEvent*)
{
    if (!m_tracking)
        setState(NormalState);
}

void ZQSimpleHoverButtonView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() != Qt::Key_Space && event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter)
        return QWidget::keyPressEvent(event);
    sendActionFrom(this);
}
