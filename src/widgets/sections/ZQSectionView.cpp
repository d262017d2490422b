#include "widgets/sections/ZQSectionView.h"

#include "platform/foundation/ZQAssert.h"
#include "platform/graphics/ColourUtilities.h"
#include "widgets/views/EffectAnimation.h"

#include <QApplication>
#include <QPainter>
#include <QToolButton>

namespace {

constexpr double kTitleInset = 20.0;

} // namespace

// --- ZQSectionView ---------------------------------------------------------------------------

ZQSectionView::ZQSectionView(const QRect& frame, QWidget* parent)
    : QWidget(parent)
    , m_open(frame.height() > titleBarHeight)
    , m_disclosureButton(new QToolButton(this))
{
    setGeometry(frame);
    m_disclosureButton->setCheckable(true);
    m_disclosureButton->setAutoRaise(true);
    m_disclosureButton->setFocusPolicy(Qt::NoFocus);
    m_disclosureButton->setGeometry(3, 2, 12, 12);
    m_disclosureButton->setChecked(m_open);
    m_disclosureButton->setArrowType(m_open ? Qt::DownArrow : Qt::RightArrow);
    connect(m_disclosureButton, &QToolButton::clicked, this, [this] { toggleOpenCloseAction(m_disclosureButton); });
}

QColor ZQSectionView::titleBarColour()
{
    return QApplication::palette().color(QPalette::Active, QPalette::Highlight);
}

const platform::Gradient& ZQSectionView::titleBarGradient()
{
    static const platform::Gradient gradient(titleBarColour(), platform::shadowWithLevel(titleBarColour(), 0.15));
    return gradient;
}

QFont ZQSectionView::titleAttributesFont()
{
    QFont font = QApplication::font();
    font.setPointSizeF(11);
    return font;
}

void ZQSectionView::open()
{
    if (m_open)
        return;
    resize(width(), qRound(m_maxHeight + titleBarHeight));
    m_open = true;
    m_disclosureButton->setChecked(true);
    m_disclosureButton->setArrowType(Qt::DownArrow);
    if (m_contentView)
        m_contentView->show();
    if (m_hostView)
        m_hostView->sectionDidOpen(this);
}

void ZQSectionView::close()
{
    if (!m_open)
        return;
    resize(width(), qRound(titleBarHeight));
    m_open = false;
    m_disclosureButton->setChecked(false);
    m_disclosureButton->setArrowType(Qt::RightArrow);
    if (m_contentView)
        m_contentView->hide();
    if (m_hostView)
        m_hostView->sectionDidClose(this);
}

void ZQSectionView::toggleOpenCloseAction(QObject* sender)
{
    const auto* button = qobject_cast<const QAbstractButton*>(sender);
    if (button ? button->isChecked() : sender && sender->property("value").toInt() != 0)
        open();
    else
        close();
}

void ZQSectionView::setTitle(const QString& title)
{
    m_title = title;
    update();
}

void ZQSectionView::setEnabled(bool enabled)
{
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    update();
}

void ZQSectionView::setContentView(QWidget* view)
{
    m_contentView = view;
    if (!view)
        return;
    view->setParent(this);
    view->setGeometry(contentRect().toRect());
    view->setVisible(m_open);
}

void ZQSectionView::awakeFromInterface()
{
    m_maxHeight = height() - titleBarHeight;
    m_disclosureButton->setChecked(m_open);
}

QRectF ZQSectionView::titleBarRect() const
{
    return QRectF(0, 0, width(), titleBarHeight);
}

QRectF ZQSectionView::contentRect() const
{
    if (!m_open)
        return QRectF(0, titleBarHeight, width(), 0);
    return QRectF(0, titleBarHeight, width(), height() - titleBarHeight);
}

QColor ZQSectionView::titleAttributesColour() const
{
    return m_enabled ? platform::rgbGrey(0.25) : QApplication::palette().color(QPalette::Disabled, QPalette::Text);
}

QRectF ZQSectionView::titleRect(Qt::Alignment* alignment) const
{
    const QRectF bar = titleBarRect();
    QRectF rect = bar.adjusted(kTitleInset, 0, -kTitleInset, 0);
    Qt::Alignment align = Qt::AlignHCenter;
    if (QFontMetricsF(titleAttributesFont()).horizontalAdvance(m_title) > rect.width()) {
        rect.setWidth(bar.width() - kTitleInset);
        align = Qt::AlignLeft;
    }
    if (alignment)
        *alignment = align;
    return rect.translated(0, 1);
}

void ZQSectionView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (m_contentView)
        m_contentView->setGeometry(contentRect().toRect());
}

void ZQSectionView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    drawTitleBar(painter);
}

void ZQSectionView::drawTitleBar(QPainter& painter) const
{
    const QRectF bar = titleBarRect();
    if (m_enabled)
        titleBarGradient().drawInRect(painter, bar, 90); // from the top edge down
    else
        painter.fillRect(bar, platform::rgbGrey(0.8));

    Qt::Alignment alignment;
    const QRectF text = titleRect(&alignment);
    painter.setFont(titleAttributesFont());
    painter.setPen(titleAttributesColour());
    const QString shown = painter.fontMetrics().elidedText(m_title, Qt::ElideRight, int(text.width()));
    painter.drawText(text, alignment | Qt::AlignVCenter, shown);

    painter.setRenderHint(QPainter::Antialiasing);
    const QColor outline = m_enabled ? platform::shadowWithLevel(QColor(Qt::blue), 0.5)
                                     : QApplication::palette().color(QPalette::Mid);
    painter.setPen(QPen(outline, 0.25));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(bar.adjusted(-1, 0, 1, 0));
}

// --- ZQMultiSectionView ----------------------------------------------------------------------

ZQMultiSectionView::ZQMultiSectionView(QWidget* parent)
    : QWidget(parent)
{
}

QList<ZQSectionView*> ZQMultiSectionView::sections() const
{
    QList<ZQSectionView*> sections;
    for (const QPointer<ZQSectionView>& section : m_sections)
        if (section)
            sections.append(section);
    return sections;
}

void ZQMultiSectionView::addSection(ZQSectionView* section)
{
    if (!ZQ_EXPECT(section, QStringLiteral("cannot add a nil section")))
        return;
    insertSectionAtIndex(section, int(m_sections.size()));
}

void ZQMultiSectionView::insertSectionAtIndex(ZQSectionView* section, int index)
{
    if (!ZQ_EXPECT(section, QStringLiteral("cannot add a nil section")))
        return;
    m_sections.insert(qBound(0, index, int(m_sections.size())), section);
    section->setParent(this);
    section->setHostView(this);
    section->show();
    calculateAndSetFrames();
}

void ZQMultiSectionView::removeSection(ZQSectionView* section)
{
    if (!ZQ_EXPECT(section, QStringLiteral("cannot remove a nil section")))
        return;
    section->setHostView(nullptr);
    m_sections.removeAll(section);
    calculateAndSetFrames();
}

void ZQMultiSectionView::sectionDidOpen(ZQSectionView* section)
{
    if (!ZQ_EXPECT(section, QStringLiteral("received sectionDidOpen with nil")))
        return;
    calculateAndSetFrames();
}

void ZQMultiSectionView::sectionDidClose(ZQSectionView* section)
{
    if (!ZQ_EXPECT(section, QStringLiteral("received sectionDidClose with nil")))
        return;
    calculateAndSetFrames();
}

void ZQMultiSectionView::openAll()
{
    for (ZQSectionView* section : sections())
        section->open();
}

void ZQMultiSectionView::closeAll()
{
    for (ZQSectionView* section : sections())
        section->close();
}

void ZQMultiSectionView::setEnabled(bool enabled)
{
    for (ZQSectionView* section : sections())
        section->setEnabled(enabled);
}

void ZQMultiSectionView::calculateAndSetFrames()
{
    // Each section reaches one point above the one before it, so their title bars share a line.
    int total = 0;
    for (ZQSectionView* section : sections()) {
        total += section->height() - 1;
        section->move(section->x(), total - section->height());
    }
    m_targetHeight = total;

    QWidget* window = this->window();
    const int from = window->height();
    const int grown = total - height(); // the window grows with the stack
    delete m_windowAnimation;
    m_windowAnimation = new EffectAnimation(this, EffectAnimation::kDefaultDuration, [window, from, grown](double t) {
        window->resize(window->width(), qRound(from + grown * t));
    });
}
