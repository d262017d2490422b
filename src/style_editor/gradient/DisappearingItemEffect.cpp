#include "style_editor/gradient/DisappearingItemEffect.h"

#include "widgets/paint/KitImage.h"

#include <QPainter>
#include <QVariantAnimation>
#include <QWidget>

namespace {

class PuffWindow : public QWidget {
public:
    PuffWindow()
        : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus)
    {
        setAttribute(Qt::WA_TranslucentBackground);
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_ShowWithoutActivating);
        setAttribute(Qt::WA_DeleteOnClose);
        resize(DisappearingItemEffect::kCursorSize * 2);
    }
    void setProgress(double progress)
    {
        m_progress = progress;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        const QSizeF size = QSizeF(DisappearingItemEffect::kCursorSize) * (1.0 + m_progress);
        const QRectF box(QPointF(width() - size.width(), height() - size.height()) / 2, size);
        imageNamed(QStringLiteral("DisappearingItemCursor")).drawInRect(painter, box, 1.0 - m_progress);
    }

private:
    double m_progress = 0;
};

} // namespace

void DisappearingItemEffect::showAtPoint(QPoint globalPoint)
{
    auto* window = new PuffWindow;
    window->move(globalPoint - window->rect().center());
    window->show();
    auto* animation = new QVariantAnimation(window);
    animation->setDuration(250);
    animation->setStartValue(0.0);
    animation->setEndValue(1.0);
    QObject::connect(animation, &QVariantAnimation::valueChanged, window,
                     [window](const QVariant& value) { window->setProgress(value.toDouble()); });
    QObject::connect(animation, &QVariantAnimation::finished, window, &QWidget::close);
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}
