#include "windows/reposition/VLTMTransformAdjustmentViewController.h"

#include "platform/graphics/Gradient.h"
#include "widgets/views/SmallViews.h"
#include "windows/reposition/VLTMTransformAdjustmentView.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStackedLayout>

VLTMTransformAdjustmentViewController::VLTMTransformAdjustmentViewController(VLTMTransformAdjustmentView* adjustmentView)
    : m_adjustmentView(adjustmentView)
{
    setObjectName(QStringLiteral("VLTMTransformAdjustmentView"));
    auto* background = new ZQGradientBackgroundView;
    background->setBackground(platform::Gradient(QColor::fromRgbF(0.5, 0.5, 0.5), QColor::fromRgbF(0.6, 0.6, 0.6)));
    auto* stack = new QStackedLayout(this);
    stack->setStackingMode(QStackedLayout::StackAll);
    stack->addWidget(background);

    m_modeLabel = new QLabel(tr("Reposition Content: drag to move, drag a corner to scale"), background);
    m_modeLabel->setAlignment(Qt::AlignCenter);
    m_modeLabel->setStyleSheet(QStringLiteral("color: white;"));
    m_apply = new QPushButton(tr("Apply"));
    m_cancel = new QPushButton(tr("Cancel"));
    m_reset = new QPushButton(tr("Reset"));
    m_help = new QPushButton(QStringLiteral("?"));
    m_help->setToolTip(tr("Help"));
    m_help->setFixedWidth(m_help->sizeHint().height());
    m_apply->setDefault(true);
    m_apply->setEnabled(false);

    auto* row = new QHBoxLayout(background);
    row->setContentsMargins(6, 1, 6, 1);
    row->addWidget(m_help);
    row->addWidget(m_reset);
    row->addWidget(m_modeLabel, 1);
    row->addWidget(m_cancel);
    row->addWidget(m_apply);

    const auto pass = [this](QPushButton* button, void (VLTMTransformAdjustmentView::*action)(QObject*)) {
        connect(button, &QPushButton::clicked, this, [this, button, action] {
            if (m_adjustmentView)
                (m_adjustmentView.data()->*action)(button);
        });
    };
    pass(m_apply, &VLTMTransformAdjustmentView::commitAdjustmentAction);
    pass(m_cancel, &VLTMTransformAdjustmentView::cancelAdjustmentAction);
    pass(m_reset, &VLTMTransformAdjustmentView::resetAdjustmentAction);
    pass(m_help, &VLTMTransformAdjustmentView::adjustmentHelpAction);
}

void VLTMTransformAdjustmentViewController::setCommitControlEnabled(bool enabled)
{
    m_apply->setEnabled(enabled);
}

QSize VLTMTransformAdjustmentViewController::sizeHint() const
{
    return {QWidget::sizeHint().width(), kHeight};
}
