#include "widgets/cells/ZQLabelledIconCell.h"

#include "platform/graphics/ColourUtilities.h"
#include "platform/graphics/FontUtilities.h"
#include "platform/graphics/PathGeometry.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QPainter>
#include <QPalette>
#include <QTextLayout>

namespace {

constexpr double kBadgeSide = 16.0;
constexpr double kBadgeInset = 6.5;
constexpr double kIconCornerRadius = 5.0;
constexpr int kMaximumHighlightedLines = 16;

QColor selectedTextBackground()
{
    return QApplication::palette().color(QPalette::Active, QPalette::Highlight);
}

} // namespace

ZQLabelledIconCell::ZQLabelledIconCell()
    : m_highlightColour(selectedTextBackground())
    , m_textBackgroundHighlightColour(selectedTextBackground())
{
}

void ZQLabelledIconCell::setTextBackgroundColour(const QColor& colour)
{
    m_textBackgroundColour = colour;
    dropAttributeCaches();
}

void ZQLabelledIconCell::setTextBackgroundHighlightColour(const QColor& colour)
{
    m_textBackgroundHighlightColour = colour;
    dropAttributeCaches();
}

void ZQLabelledIconCell::setNumberOfTextLines(unsigned lines)
{
    m_textLines = std::max(1u, lines);
    dropAttributeCaches();
}

void ZQLabelledIconCell::setHighlighted(bool highlighted)
{
    JXDistributedViewCell::setHighlighted(highlighted);
}

void ZQLabelledIconCell::dropAttributeCaches() const
{
    m_selectedTextAttributesCache.reset();
    m_unselectedTextAttributesCache.reset();
}

// --- Geometry ------------------------------------------------------------------------------------

QRectF ZQLabelledIconCell::titleRectForFrame(const QRectF& frame) const
{
    const double h = frame.height() / (6.0 * m_textLines);
    return QRectF(frame.x(), frame.bottom() - h, frame.width(), h);
}

QRectF ZQLabelledIconCell::titleTextBoxForFrame(const QRectF& frame) const
{
    const QRectF band = titleRectForFrame(frame);
    const double h = band.height();
    return band.adjusted(0.4 * h, 0.075 * h, -0.4 * h, -0.075 * h);
}

QRectF ZQLabelledIconCell::imageRectForFrame(const QRectF& frame) const
{
    const QRectF rest(frame.x(), frame.y(), frame.width(), frame.height() - titleRectForFrame(frame).height());
    const QRectF inset = rest.adjusted(2, 2, -2, -2);
    const double side = std::max(0.0, std::min(inset.width(), inset.height()));
    return QRectF(rest.center().x() - side / 2, rest.center().y() - side / 2, side, side);
}

QRectF ZQLabelledIconCell::badgeRectForFrame(const QRectF& frame) const
{
    const QRectF image = imageRectForFrame(frame);
    return QRectF(image.right() - kBadgeSide - kBadgeInset, image.bottom() - kBadgeSide - kBadgeInset, kBadgeSide,
                  kBadgeSide);
}

QPainterPath ZQLabelledIconCell::titleHighlightPathForFrame(const QRectF& frame) const
{
    const QRectF band = titleRectForFrame(frame);
    QPainterPath path;
    path.addRoundedRect(band, band.height() / 2, band.height() / 2);
    return path;
}

QPainterPath ZQLabelledIconCell::imageHighlightPathForFrame(const QRectF& frame) const
{
    QPainterPath path;
    path.addRoundedRect(imageRectForFrame(frame), kIconCornerRadius, kIconCornerRadius);
    return path;
}

QRectF ZQLabelledIconCell::editingRectForBounds(const QRectF& bounds) const
{
    const QRectF box = titleTextBoxForFrame(bounds);
    const double height = QFontMetricsF(titleAttributesForFrame(bounds).font).height();
    return QRectF(box.x(), box.center().y() - height / 2 - 1.0, box.width(), height);
}

// --- Text ----------------------------------------------------------------------------------------

ZQLabelledIconCell::TitleAttributes ZQLabelledIconCell::titleAttributesForFrame(const QRectF& frame) const
{
    std::optional<TitleAttributes>& cache = isHighlighted() ? m_selectedTextAttributesCache
                                                            : m_unselectedTextAttributesCache;
    if (!m_isEditing && cache)
        return *cache;
    const double size = std::clamp(titleTextBoxForFrame(frame).height() * 0.8 / m_textLines, 6.5, 12.0);
    TitleAttributes attributes;
    attributes.font = isHighlighted() ? platform::boldSystemFontOfSize(size) : platform::systemFontOfSize(size);
    attributes.wordWrap = m_textLines >= 2;
    if (m_isEditing)
        attributes.colour = Qt::black;
    else if (isEnabled())
        attributes.colour = platform::contrastingColor(isHighlighted() ? m_textBackgroundHighlightColour
                                                                       : m_textBackgroundColour);
    else
        attributes.colour = QApplication::palette().color(QPalette::Disabled, QPalette::Text);
    if (!m_isEditing)
        cache = attributes;
    return attributes;
}

unsigned ZQLabelledIconCell::titleOptions() const
{
    return kLineFragmentOrigin | kTruncatesLastVisibleLine;
}

// --- Drawing -------------------------------------------------------------------------------------

void ZQLabelledIconCell::drawImageInRect(QPainter& painter, const QImage& image, const QRectF& rect,
                                         bool highQuality, double fraction) const
{
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, highQuality);
    painter.setOpacity(painter.opacity() * (isEnabled() ? fraction : fraction / 2));
    painter.drawImage(rect, image);
    painter.restore();
}

void ZQLabelledIconCell::drawWithFrame(QPainter& painter, const QRectF& frame, const DrawContext& context)
{
    if (frame.size() != m_cachedBoundsSize) {
        dropAttributeCaches();
        m_cachedBoundsSize = frame.size();
    }
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatio() : 1.0;
    if (isHighlighted() && isEnabled()) {
        const QColor fill = context.windowIsMain ? m_highlightColour : QColor::fromRgbF(0.8f, 0.8f, 0.8f, 0.8f);
        painter.drawImage(frame.topLeft(), highlightImage(frame.size(), ratio, fill));
    } else if (isHighlighted()) {
        painter.fillPath(titleHighlightPathForFrame(frame), m_textBackgroundHighlightColour);
    }
    const QRectF imageRect = imageRectForFrame(frame);
    if (!image().isNull()) {
        const QRectF target = imageRect.adjusted(2, 2, -2, -2);
        const QSizeF size = image().deviceIndependentSize();
        QRectF drawn = platform::ScaledRectForSize(size, target);
        if (m_scaling == ImageScaleProportionallyDown && size.width() < target.width()
            && size.height() < target.height())
            drawn = platform::CentreRectInRect(QRectF(QPointF(), size), target);
        drawImageInRect(painter, image(), drawn, !context.liveResize, 1.0);
        if (!m_badgeImage.isNull())
            drawImageInRect(painter, m_badgeImage, badgeRectForFrame(frame), !context.liveResize, 0.67);
    } else {
        QPainterPath placeholder;
        placeholder.addRoundedRect(imageRect.adjusted(3, 3, -3, -3), kIconCornerRadius, kIconCornerRadius);
        QPen dashed(Qt::gray, 3.0);
        dashed.setDashPattern({10.0 / 3.0, 2.0 / 3.0});
        painter.fillPath(placeholder, QColor::fromRgbF(0.75f, 0.75f, 0.75f, 0.33f));
        painter.strokePath(placeholder, dashed);
    }
    const QRectF textBox = titleTextBoxForFrame(frame);
    if (m_isEditing) {
        painter.save();
        painter.setPen(QPen(QApplication::palette().color(QPalette::Highlight), 2.0));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(textBox.adjusted(-1, -1, 1, 1));
        painter.restore();
        return;
    }
    const TitleAttributes attributes = titleAttributesForFrame(frame);
    painter.setFont(attributes.font);
    painter.setPen(attributes.colour);
    // Measured for the device drawn on: a printer's points are not the screen's pixels.
    const QFontMetricsF metrics(attributes.font, painter.device());
    if (m_textLines < 2) {
        const ElidedTitle& title = elidedTitle(stringValue(), attributes.font, textBox.width());
        const QSizeF size(title.advance, metrics.height());
        const QRectF rect(textBox.center().x() - size.width() / 2, textBox.center().y() - size.height() / 2 - 1.0,
                          size.width(), size.height());
        // Printed titles are laid out in the printer's own metrics, each time.
        if (context.toScreen)
            title.laidOut->draw(&painter, rect.topLeft());
        else
            painter.drawText(rect, Qt::AlignCenter | Qt::TextSingleLine, title.shown);
    } else {
        const double height = metrics.height() * m_textLines;
        const QRectF rect(textBox.x(), textBox.center().y() - height / 2 - 1.0, textBox.width(), height);
        drawTitleInRectHighlighted(painter, stringValue(), rect, false);
    }
}

const ZQLabelledIconCell::ElidedTitle& ZQLabelledIconCell::elidedTitle(const QString& title, const QFont& font,
                                                                      double width) const
{
    constexpr qsizetype kMostTitles = 4096;
    ElidedTitles& cache = m_elidedTitles[isHighlighted() ? 1 : 0];
    if (cache.width != width || cache.font != font || cache.titles.size() >= kMostTitles) {
        cache.titles.clear();
        cache.font = font;
        cache.width = width;
    }
    if (const auto found = cache.titles.constFind(title); found != cache.titles.cend())
        return *found;
    const QFontMetricsF metrics(font);
    ElidedTitle elided;
    elided.shown = metrics.elidedText(title, Qt::ElideMiddle, width);
    elided.advance = metrics.horizontalAdvance(elided.shown);
    // Laid out as text drawn centred in a rectangle as wide as the title is.
    auto layout = std::make_shared<QTextLayout>(elided.shown, font);
    layout->setCacheEnabled(true);
    layout->setTextOption(QTextOption(Qt::AlignCenter));
    layout->beginLayout();
    QTextLine line = layout->createLine();
    if (line.isValid())
        line.setLineWidth(elided.advance);
    layout->endLayout();
    elided.laidOut = std::move(layout);
    return *cache.titles.insert(title, elided);
}

const QImage& ZQLabelledIconCell::highlightImage(QSizeF frameSize, qreal ratio, const QColor& iconFill) const
{
    HighlightImage& cached = m_highlightImage;
    if (cached.frameSize == frameSize && cached.ratio == ratio && cached.iconFill == iconFill
        && cached.titleFill == m_textBackgroundHighlightColour && !cached.image.isNull())
        return cached.image;
    cached = {frameSize, ratio, iconFill, m_textBackgroundHighlightColour, {}};
    cached.image = QImage((frameSize * ratio).toSize().expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
    cached.image.setDevicePixelRatio(ratio);
    cached.image.fill(Qt::transparent);
    QPainter painter(&cached.image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF frame(QPointF(0, 0), frameSize);
    const QPainterPath icon = imageHighlightPathForFrame(frame);
    painter.fillPath(icon, iconFill);
    painter.strokePath(icon, QPen(platform::shadowWithLevel(iconFill, 0.5), 0.4));
    painter.fillPath(titleHighlightPathForFrame(frame), m_textBackgroundHighlightColour);
    return cached.image;
}

void ZQLabelledIconCell::drawTitleInRectHighlighted(QPainter& painter, const QString& title, const QRectF& rect,
                                                    bool highlighted) const
{
    // One layout serves every cell: titles are drawn one at a time on the main thread.
    static QTextLayout layout;
    const QFont font = painter.font();
    const QFontMetricsF metrics(font, painter.device());
    layout.clearLayout();
    layout.setText(title);
    layout.setFont(font);
    QTextOption option(Qt::AlignHCenter);
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    double y = 0;
    int drawnLines = 0;
    int restStart = -1;
    while (true) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        if (drawnLines + 1 == int(m_textLines)) {
            restStart = line.textStart();
            break;
        }
        line.setLineWidth(rect.width());
        line.setPosition(QPointF(0, y));
        y += line.height();
        ++drawnLines;
    }
    layout.endLayout();
    for (int i = 0; i < drawnLines; ++i) {
        const QTextLine line = layout.lineAt(i);
        if (highlighted && i < kMaximumHighlightedLines) {
            painter.save();
            painter.setPen(QPen(Qt::black, 1.0));
            painter.drawRect(line.naturalTextRect().translated(rect.topLeft()));
            painter.restore();
        }
        line.draw(&painter, rect.topLeft());
    }
    if (restStart >= 0) {
        const QString rest = metrics.elidedText(title.mid(restStart), Qt::ElideMiddle, rect.width());
        painter.drawText(QRectF(rect.x(), rect.y() + y, rect.width(), metrics.height()),
                         Qt::AlignHCenter | Qt::TextSingleLine, rest);
    }
}

std::shared_ptr<ZQObject> ZQLabelledIconCell::copy() const
{
    auto cell = std::make_shared<ZQLabelledIconCell>();
    copyCellFieldsTo(*cell);
    cell->m_badgeImage = m_badgeImage;
    cell->m_scaling = m_scaling;
    cell->m_textLines = m_textLines;
    cell->m_highlightColour = m_highlightColour;
    cell->m_textBackgroundColour = m_textBackgroundColour;
    cell->m_textBackgroundHighlightColour = m_textBackgroundHighlightColour;
    cell->m_isEditing = m_isEditing;
    return cell;
}
