#include "widgets/cells/JXFinderIconCell.h"

#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/ZQLog.h"
#include "platform/graphics/BezierPath.h"
#include "platform/graphics/ColourUtilities.h"
#include "platform/graphics/FontUtilities.h"
#include "platform/graphics/PathGeometry.h"
#include "widgets/paint/KitImage.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QPainter>
#include <QPalette>
#include <QWidget>
#include <cmath>

namespace {

const QString kEllipsis = QStringLiteral("...");
constexpr double kTitleLinePadding = 2.0;
constexpr double kImageTitleGap = 16.0;

QColor controlBackgroundColour()
{
    return QApplication::palette().color(QPalette::Active, QPalette::Base);
}

QColor selectedTextBackgroundColour()
{
    return QApplication::palette().color(QPalette::Active, QPalette::Highlight);
}

QColor alternateSelectedControlColour()
{
    return QApplication::palette().color(QPalette::Active, QPalette::Highlight).darker(115);
}

QColor secondarySelectedControlColour()
{
    return QColor::fromRgbF(0.83f, 0.83f, 0.83f);
}

QColor withAlpha(QColor colour, float alpha)
{
    colour.setAlphaF(colour.alphaF() * alpha);
    return colour;
}

QImage applicationIcon()
{
    return imageNamed(QStringLiteral("NSApplicationIcon")).imageOfSize(QSizeF(128, 128), 2.0);
}

// A whole number stored under `key`, or `fallback` when absent or not a number.
quint64 decodeUnsigned(platform::KeyedUnarchiver& coder, const QString& key, quint64 fallback)
{
    const QVariant value = coder.decodeValue(key);
    bool ok = false;
    const qlonglong number = value.toLongLong(&ok);
    const bool isNumber = value.typeId() == QMetaType::LongLong || value.typeId() == QMetaType::Int
        || value.typeId() == QMetaType::ULongLong || value.typeId() == QMetaType::UInt;
    return isNumber && ok && number >= 0 ? quint64(number) : fallback;
}

} // namespace

JXFinderIconCell::JXFinderIconCell()
{
    initTextCell(QStringLiteral("Item"));
}

void JXFinderIconCell::initTextCell(const QString& title)
{
    setStringValue(title);
    setHighlighted(false);
    JXDistributedViewCell::setImage(applicationIcon());
    m_imagePosition = ImageAbove;
    m_truncateMode = TruncateMiddle;
    m_alpha = 1.0f;
    m_imageScaling = 0;
    m_textLines = 1;
    makeAlignmentConformImagePosition();
    resetColors();
}

void JXFinderIconCell::initImageCell(const QImage& image)
{
    initTextCell(QStringLiteral("Image"));
    setImage(image);
}

void JXFinderIconCell::setImage(const QImage& image)
{
    if (image.cacheKey() != this->image().cacheKey())
        JXDistributedViewCell::setImage(image);
}

void JXFinderIconCell::setImagePosition(quint64 position)
{
    m_imagePosition = position;
    makeAlignmentConformImagePosition();
}

void JXFinderIconCell::resetColors()
{
    m_nameColor = controlBackgroundColour();
    m_boxColor = selectedTextBackgroundColour();
    m_selectionColor = alternateSelectedControlColour();
    m_bgColor = QColor();
}

void JXFinderIconCell::makeAlignmentConformImagePosition()
{
    if (m_imagePosition == ImageBelow || m_imagePosition == ImageAbove)
        m_alignment = Qt::AlignHCenter;
}

void JXFinderIconCell::highlightWithFrameInView(bool flag, const QRectF&, QWidget* view)
{
    setHighlighted(flag);
    if (view)
        view->update();
}

QSizeF JXFinderIconCell::cellSize() const
{
    const QFontMetricsF metrics(platform::systemFontOfSize(0));
    QSizeF size(metrics.horizontalAdvance(stringValue()) + 4.0, metrics.height());
    if (!image().isNull())
        size.rheight() += image().deviceIndependentSize().height() + 6.0;
    return size;
}

// --- Geometry ------------------------------------------------------------------------------------

double JXFinderIconCell::textSizeForBox(const QRectF& box) const
{
    const double size = (m_imagePosition >= ImageLeft && m_imagePosition <= ImageAbove)
        ? std::trunc(box.height() / 10.0)
        : 9.0;
    return std::max(7.0, size);
}

QRectF JXFinderIconCell::titleRectForFrame(const QRectF& frame) const
{
    const QFontMetricsF metrics(platform::systemFontOfSize(textSizeForBox(frame)));
    const double height = double(m_textLines) * metrics.height() + kTitleLinePadding;
    // The edge at the bottom on screen: y grows downwards when flipped.
    if (m_flipped)
        return QRectF(frame.x(), frame.bottom() - height, frame.width(), height);
    return QRectF(frame.x(), frame.y(), frame.width(), height);
}

QRectF JXFinderIconCell::imageRectForBounds(const QRectF& bounds) const
{
    return QRectF(bounds.x(), bounds.y(), bounds.width(), bounds.height() - kImageTitleGap).adjusted(2, 2, -2, -2);
}

QFont JXFinderIconCell::editingFont(const QRectF& bounds) const
{
    return platform::systemFontOfSize(textSizeForBox(bounds));
}

QString JXFinderIconCell::shortenedTitle(const QString& title, const std::function<double(const QString&)>& measure,
                                         quint64 mode, float maxWidth)
{
    double width = measure(title);
    if (!(double(maxWidth) < width))
        return title;
    const qsizetype length = title.size();
    qsizetype i = mode == TruncateTail ? length - 1 : mode == TruncateHead ? 0 : length / 2;
    qsizetype n = 1;
    QString result;
    while (width > double(maxWidth)) {
        if (mode != TruncateHead && i < 2)
            return kEllipsis;
        // The run to replace must lie inside the title (an empty title in head mode has none).
        if (i < 0 || i + n > length)
            return kEllipsis;
        result = title;
        result.replace(i, n, kEllipsis);
        width = measure(result);
        ++n;
        if (mode == TruncateTail)
            --i;
        else if (mode != TruncateHead && n % 2 == 0)
            --i;
        if (i + n > length)
            return kEllipsis;
    }
    return result;
}

JXFinderIconCell::Layout JXFinderIconCell::layoutForFrame(const QRectF& F,
                                                          const std::function<QSizeF(const QString&)>& measure) const
{
    Layout layout;
    quint64 p = m_imagePosition;
    if (m_flipped && (p == ImageBelow || p == ImageAbove))
        p = p == ImageBelow ? ImageAbove : ImageBelow;
    const double x = F.x(), y = F.y(), w = F.width(), h = F.height();
    const double T0 = measure(stringValue()).height();
    double k = 0.0;
    if ((p == ImageLeft || p == ImageRight) && !image().isNull())
        k = std::trunc(platform::scaledSizeToFitSize(image().deviceIndependentSize(), F.size()).width() + 2.8);
    layout.shownTitle = shortenedTitle(
        stringValue(), [&](const QString& text) { return measure(text).width(); }, m_truncateMode,
        float(w - k - T0 - 6.0));
    const QSizeF shown = measure(layout.shownTitle);
    const double tw = shown.width(), th = shown.height();
    QRectF B = F, C = F;
    if (p == ImageBelow || p == ImageAbove) {
        const double by = p == ImageAbove ? y + 1.0 : y + h - th - 1.0;
        B = QRectF(x + std::trunc(float((w - tw) * 0.5)), by, tw, th);
        const double widen = 3.0 + std::trunc(float(th * 0.5));
        C = B.adjusted(-widen, -1.0, widen, 1.0);
    } else if (p == ImageLeft || p == ImageRight) {
        const double bx = p == ImageLeft ? x + 3.0 : x + w - tw - 3.0;
        B = QRectF(bx, y + std::trunc(float((h - th) * 0.5)), tw, th);
        C = B.adjusted(-6.0, -1.0, 6.0, 1.0);
    }
    QRectF A = F;
    if (p == ImageLeft || p == ImageRight) {
        A.setWidth(A.width() - C.width());
    } else if (p == ImageBelow) {
        A.setHeight(A.height() - C.height());
    } else if (p == ImageAbove) {
        A.setY(A.y() + C.height());
    } else {
        ZQLog(QStringLiteral("JXFinderIconCell - Unsupported image position mode."));
    }
    A = A.adjusted(1.4, 1.4, -1.4, -1.4);
    if (A.width() > A.height()) {
        const double oldWidth = A.width();
        A.setWidth(A.height());
        if (p == ImageBelow || p == ImageAbove)
            A.translate(std::trunc(float((oldWidth - A.height()) * 0.5)), 0);
    }
    const double s = A.width();
    if (p == ImageLeft) {
        B.translate(s + 3.0, 0);
        C.translate(s + 3.0, 0);
    } else if (p == ImageRight) {
        A.moveLeft(x + w - s - 1.0);
        B.translate(-(s + 3.0), 0);
        C.translate(-(s + 3.0), 0);
    }
    QRectF D = A.adjusted(2.0, 2.0, -2.0, -2.0);
    const QSizeF S = image().isNull() ? QSizeF(0, 0) : image().deviceIndependentSize();
    QSizeF drawn = S;
    if (m_imageScaling == kImageScaleProportionallyUpOrDown || S.width() > D.width() || S.height() > D.height())
        drawn = platform::scaledSizeToFitSize(S, D.size());
    D = QRectF(std::trunc(float(A.x() + (A.width() - drawn.width()) * 0.5)),
               std::trunc(float(A.y() + (A.height() - drawn.height()) * 0.5)), drawn.width(), drawn.height());
    layout.title = B;
    layout.titleBox = C;
    layout.imageBox = A;
    layout.image = D;
    return layout;
}

// --- Drawing -------------------------------------------------------------------------------------

void JXFinderIconCell::drawWithFrame(QPainter& painter, const QRectF& F, const DrawContext& context)
{
    m_flipped = context.flipped;
    const bool active = context.windowIsMain || !context.toScreen;
    if (m_bgColor.isValid())
        painter.fillRect(F, m_bgColor);
    if (m_drawSeparator) {
        painter.save();
        painter.setPen(QPen(QColor::fromRgbF(0.67f, 0.67f, 0.67f), 2.0, Qt::SolidLine, Qt::RoundCap));
        // The line lies along the edge away from the title's side of an unflipped cell.
        const double lineY = m_flipped ? F.y() + 1 : F.bottom() - 1;
        painter.drawLine(QPointF(F.x(), lineY), QPointF(F.right(), lineY));
        painter.restore();
    }
    painter.save();
    painter.setClipRect(F, Qt::IntersectClip);
    painter.setRenderHint(QPainter::Antialiasing);
    m_textFontSize = textSizeForBox(F);
    const QFont font = platform::systemFontOfSize(m_textFontSize);
    const QFontMetricsF metrics(font);
    const Layout layout = layoutForFrame(
        F, [&](const QString& text) { return QSizeF(metrics.horizontalAdvance(text), metrics.height()); });
    const bool selected = isHighlighted();
    const QColor textColour = selected ? withAlpha(platform::contrastingColor(m_selectionColor), m_alpha)
                                       : withAlpha(QApplication::palette().color(QPalette::Text), m_alpha);
    const QColor boxColour = !active ? secondarySelectedControlColour()
                                     : withAlpha(selected ? m_selectionColor : m_nameColor, m_alpha);
    painter.fillPath(platform::BezierPath::bezierPathWithCappedBoxInRect(layout.titleBox).painterPath(), boxColour);
    painter.setFont(font);
    painter.setPen(textColour);
    painter.drawText(layout.title, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, layout.shownTitle);
    if (selected) {
        QPainterPath box;
        box.addRoundedRect(layout.imageBox, 5.0, 5.0);
        painter.fillPath(box, active ? withAlpha(m_boxColor, m_alpha) : withAlpha(secondarySelectedControlColour(), m_alpha));
        QPen outline(Qt::gray, 0.4);
        outline.setJoinStyle(Qt::RoundJoin);
        painter.strokePath(box, outline);
    }
    if (!image().isNull()) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.setOpacity(painter.opacity() * m_alpha);
        painter.drawImage(layout.image, image());
    }
    painter.restore();
}

// --- Copying and archiving -------------------------------------------------------------------------

std::shared_ptr<ZQObject> JXFinderIconCell::copy() const
{
    auto cell = std::make_shared<JXFinderIconCell>();
    copyCellFieldsTo(*cell);
    cell->m_nameColor = m_nameColor;
    cell->m_boxColor = m_boxColor;
    cell->m_selectionColor = m_selectionColor;
    cell->m_bgColor = m_bgColor;
    cell->m_imagePosition = m_imagePosition;
    cell->m_truncateMode = m_truncateMode;
    cell->m_alpha = m_alpha;
    cell->m_flipped = m_flipped;
    cell->m_drawSeparator = m_drawSeparator;
    cell->m_imageScaling = m_imageScaling;
    cell->m_textLines = m_textLines;
    cell->m_alignment = m_alignment;
    return cell;
}

void JXFinderIconCell::encodeWithCoder(platform::KeyedArchiver& coder) const
{
    JXDistributedViewCell::encodeWithCoder(coder);
    coder.encodeImage(image(), QStringLiteral("JXFICimage"));
    coder.encodeColor(m_nameColor, QStringLiteral("JXFICnameColor"));
    coder.encodeColor(m_boxColor, QStringLiteral("JXFICboxColor"));
    coder.encodeInt(qint64(m_imagePosition), QStringLiteral("JXFICimagePosition"));
    coder.encodeColor(m_selectionColor, QStringLiteral("JXFICselectionColor"));
    if (m_bgColor.isValid())
        coder.encodeColor(m_bgColor, QStringLiteral("JXFICbgColor"));
    coder.encodeInt(qint64(m_truncateMode), QStringLiteral("JXFICtruncateMode"));
    coder.encodeDouble(m_alpha, QStringLiteral("JXFICalpha"));
}

void JXFinderIconCell::initWithCoder(platform::KeyedUnarchiver& coder)
{
    JXDistributedViewCell::initWithCoder(coder);
    setHighlighted(false);
    const QImage image = coder.decodeImage(QStringLiteral("JXFICimage"));
    JXDistributedViewCell::setImage(image.isNull() ? applicationIcon() : image);
    const auto colour = [&](const QString& key, const QColor& fallback) {
        const QColor decoded = coder.decodeColor(key);
        return decoded.isValid() ? decoded : fallback;
    };
    m_nameColor = colour(QStringLiteral("JXFICnameColor"), controlBackgroundColour());
    m_boxColor = colour(QStringLiteral("JXFICboxColor"), secondarySelectedControlColour());
    m_selectionColor = colour(QStringLiteral("JXFICselectionColor"), alternateSelectedControlColour());
    m_bgColor = coder.decodeColor(QStringLiteral("JXFICbgColor"));
    m_imagePosition = decodeUnsigned(coder, QStringLiteral("JXFICimagePosition"), ImageAbove);
    m_truncateMode = decodeUnsigned(coder, QStringLiteral("JXFICtruncateMode"), TruncateMiddle);
    const QVariant alpha = coder.decodeValue(QStringLiteral("JXFICalpha"));
    const bool isNumber = alpha.typeId() == QMetaType::Double || alpha.typeId() == QMetaType::Float;
    m_alpha = isNumber && std::isfinite(alpha.toDouble()) ? float(std::clamp(alpha.toDouble(), 0.0, 1.0)) : 1.0f;
    // One title line: a decoded cell hit-tests and edits its title like a new one.
    m_textLines = 1;
    makeAlignmentConformImagePosition();
}
