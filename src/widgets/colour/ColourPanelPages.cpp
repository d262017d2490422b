#include "widgets/colour/ColourPanelPages.h"

#include "platform/ui/ColourPanel.h"
#include "widgets/colour/ColourWheel.h"
#include "widgets/colour/ZQColourPickerView.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QVBoxLayout>

namespace {

// A picker as a panel page: what it picks the panel takes as the user's colour; the
// panel's colour is what leaving the swatches or wheel returns to.
class PickerPage : public QWidget {
    Q_OBJECT

public:
    PickerPage(platform::ColourPanel* panel, int mode)
        : m_panel(panel)
        , m_picker(new ZQColourPickerView(this))
    {
        m_picker->setMode(mode);
        m_picker->setShowsInfo(false);
        m_picker->setColorForUndefinedSelection(panel->color());
        m_picker->setTarget(this);
        m_picker->setAction("colourChangeFromPicker");
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(m_picker, 0, Qt::AlignHCenter | Qt::AlignTop);
        m_picker->setFixedSize(m_picker->sizeHint());
        connect(panel, &platform::ColourPanel::colorChanged, this, [this](const QColor& colour) {
            if (!m_picking)
                followPanel(colour);
        });
        m_picker->installEventFilter(this);
    }

    Q_INVOKABLE void colourChangeFromPicker(QObject*)
    {
        if (m_following || !m_panel)
            return;
        m_picking = true;
        m_panel->userDidPickColor(m_picker->color());
        m_picking = false;
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        // A finished pick is the colour the next one starts from.
        if (event->type() == QEvent::MouseButtonRelease && m_panel)
            followPanel(m_panel->color());
        return false;
    }

private:
    void followPanel(const QColor& colour)
    {
        m_following = true;
        m_picker->setColorForUndefinedSelection(colour);
        m_following = false;
    }

    QPointer<platform::ColourPanel> m_panel;
    ZQColourPickerView* m_picker;
    bool m_picking = false;
    bool m_following = false;
};

QImage swatchesIcon()
{
    QImage icon(24, 24, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    const QColor colours[] = {QColor("#CC3333"), QColor("#33CC33"), QColor("#3366FF"), QColor("#FFCC00")};
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column)
            painter.fillRect(QRectF(3 + column * 6.5, 3 + row * 6.5, 5.5, 5.5), colours[(row + column) % 4]);
    return icon;
}

QImage wheelIcon()
{
    const QImage wheel = ColourWheel::image(QSize(28, 28), 1.0).copy(2, 2, 24, 24);
    QImage icon(24, 24, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QBrush(wheel));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QRectF(1.5, 1.5, 21, 21));
    return icon;
}

} // namespace

void installColourPanelPages(platform::ColourPanel* panel)
{
    if (!panel || panel->hasPickerMode("swatches"))
        return;
    panel->addPickerMode({"swatches", swatchesIcon(), QObject::tr("Web-Safe Swatches")},
                         new PickerPage(panel, ZQColourPickerView::SwatchMode));
    panel->addPickerMode({"wheel", wheelIcon(), QObject::tr("Colour Wheel")},
                         new PickerPage(panel, ZQColourPickerView::SpectrumMode));
}

#include "ColourPanelPages.moc"
