#include "widgets/buttons/ZQStyleButtonCell.h"

#include "platform/foundation/MetaInvoke.h"
#include "platform/graphics/ColourUtilities.h"
#include "platform/ui/Pasteboard.h"

#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QWidget>
#include <cmath>

using platform::Gradient;
using platform::rgbGrey;
using platform::shadowWithLevel;

QColor stickyButtonColour() { return QColor::fromRgbF(1.0f, 0.65f, 0.2f, 1.0f); }

ZQStyleButtonCell::ZQStyleButtonCell(bool fromInterface)
    : m_backgroundColour(rgbGrey(fromInterface ? 0.93 : 1.0)),
      m_onStateColour(stickyButtonColour()),
      m_mixedStateColour(Qt::blue)
{
}

ZQStyleButtonCell::~ZQStyleButtonCell() = default;

const Gradient& ZQStyleButtonCell::backgroundFillGradient()
{
    static const Gradient gradient(rgbGrey(0.9), rgbGrey(0.98));
    return gradient;
}

void ZQStyleButtonCell::setImage(const KitImage& image)
{
    m_artwork = image;
    m_picture = QImage();
}

void ZQStyleButtonCell::setImage(const QImage& image)
{
    m_picture = image;
    m_artwork = KitImage();
}

QString ZQStyleButtonCell::representedName() const
{
    if (!m_representedObject)
        return {};
    const QMetaProperty property = platform::findPropertyAccessor(m_representedObject, "name", 0);
    if (property.isValid())
        return property.read(m_representedObject).toString();
    const QMetaMethod getter = platform::findMethod(m_representedObject, "name", 0);
    if (getter.isValid())
        return platform::invokeMethod(m_representedObject, getter, {}).toString();
    return {};
}

QMenu* ZQStyleButtonCell::menu()
{
    if (m_menu)
        return m_menu;
    const QString name = representedName();
    if (name.isEmpty())
        return nullptr;
    // Drawing asks for the menu too: it is made again only when the name changes, and the
    // old one may still be open, so it goes once control returns to the event loop.
    if (!m_copyMenu || m_copyMenuName != name) {
        if (m_copyMenu)
            m_copyMenu.release()->deleteLater();
        m_copyMenu = std::make_unique<QMenu>();
        m_copyMenuName = name;
        QAction* copy = m_copyMenu->addAction(QMenu::tr("Copy '%1'").arg(name));
        QObject::connect(copy, &QAction::triggered, copy, [this] { copyAction(); });
    }
    return m_copyMenu.get();
}

void ZQStyleButtonCell::copyAction()
{
    if (const auto* copying = dynamic_cast<const ZQPasteboardCopying*>(m_representedObject.data())) {
        platform::Pasteboard pasteboard = platform::Pasteboard::generalPasteboard();
        copying->copyToPasteboard(pasteboard);
    }
}

QColor ZQStyleButtonCell::colourForCurrentState() const
{
    QColor colour = m_state == MixedState ? m_mixedStateColour : m_state == OnState ? m_onStateColour
                                                                                     : m_backgroundColour;
    if (!colour.isValid())
        return Qt::transparent;
    if (!m_highlighted && m_state != OnState)
        return colour;
    return shadowWithLevel(colour, 0.1);
}

Gradient ZQStyleButtonCell::gradientForCurrentState() const
{
    const QColor start = colourForCurrentState();
    const double level = m_highlighted || m_state != OffState ? 0.1 : 0.05;
    return Gradient(start, shadowWithLevel(start, level));
}

void ZQStyleButtonCell::drawWithFrame(QPainter& painter, const QRectF& frame, QWidget* controlView)
{
    drawBezelWithFrame(painter, frame, controlView);
    drawImageWithFrame(painter, frame, controlView);
}

void ZQStyleButtonCell::drawBezelWithFrame(QPainter& painter, const QRectF& frame, QWidget* controlView)
{
    if (controlView) {
        const QVariant delegate = controlView->property("delegate");
        if (auto* hook = dynamic_cast<ZQStyleButtonCellDelegate*>(delegate.value<QObject*>()))
            hook->zqStyleButtonCellWillDrawBackgroundInFrame(*this, frame);
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath bezel;
    bezel.addRoundedRect(frame, m_cornerRadius, m_cornerRadius);
    painter.setClipPath(bezel, Qt::IntersectClip);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    if (m_enabled)
        painter.fillPath(bezel, QBrush(gradientForCurrentState().linearGradientInRect(frame, 90)));
    if (m_bordered && m_enabled) {
        // Only the inner half of the line shows, inside the clip.
        painter.setPen(QPen(Qt::darkGray, m_state != OffState ? 0.75 : 0.5));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(bezel);
    }
    painter.restore();
}

void ZQStyleButtonCell::drawImageWithFrame(QPainter& painter, const QRectF& frame, QWidget* controlView)
{
    if (std::isnan(frame.width()) || std::isnan(frame.height()))
        return;
    const QRectF rect = frame.adjusted(1.5, 1.5, -1.5, -1.5);
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    if (!m_artwork.isNull())
        m_artwork.drawInRect(painter, rect);
    else if (!m_picture.isNull())
        painter.drawImage(rect, m_picture);
    if (!m_enabled)
        painter.fillRect(rect, QColor::fromRgbF(1, 1, 1, 0.25f));
    if (m_showsMenuAfterDelay && menu()) {
        const KitImage triangle = imageNamed(QStringLiteral("menu_triangle"));
        const QSizeF size = triangle.size();
        const QPointF origin(std::floor(frame.right() - size.width()) + 4.0, std::floor(frame.bottom() - size.height()) + 1.0);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        triangle.drawInRect(painter, QRectF(origin, size));
    }
    painter.restore();
}
