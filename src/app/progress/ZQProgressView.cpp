#include "app/progress/ZQProgressView.h"

#include "app/progress/ZQProgressController.h"
#include "app/progress/ZQProgressDelegate.h"
#include "platform/foundation/ZQAssert.h"

#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <algorithm>
#include <cmath>

namespace {

constexpr int kBarSteps = 1000;

} // namespace

ZQProgressView::ZQProgressView(ZQProgressController* controller, ZQProgressDelegate* delegate)
    : m_controller(controller)
    , m_delegate(delegate)
    , m_delegateObject(dynamic_cast<QObject*>(delegate))
{
    ZQ_ASSERT(!delegate || m_delegateObject, QStringLiteral("a progress delegate must be a QObject"));
}

ZQProgressView::~ZQProgressView()
{
    delete m_view;
}

void ZQProgressView::setPromptString(const QString& prompt)
{
    m_prompt = prompt;
    updateView();
}

void ZQProgressView::setAdditionalInfoString(const QString& info)
{
    m_additionalInfo = info;
    updateView();
}

void ZQProgressView::setProgressBarIndeterminate(bool flag)
{
    m_indeterminate = flag;
    updateView();
}

void ZQProgressView::setFraction(double fraction)
{
    m_fraction = std::isnan(fraction) ? fraction : std::clamp(fraction, 0.0, 1.0);
    updateView();
}

void ZQProgressView::setButtonHidden(bool flag)
{
    m_buttonHidden = flag;
    updateView();
}

void ZQProgressView::resetStopRequest()
{
    m_stopRequested = false;
    updateView();
}

void ZQProgressView::beginProgress()
{
    if (!platform::RunLoop::isMainThread()) {
        platform::RunLoop::runOnMainThread([this] { beginProgress(); }, this);
        return;
    }
    if (m_inProgress)
        return;
    m_inProgress = true;
    if (m_delegateObject)
        m_pollTimer.emplace(kPollInterval, true, this, [this](platform::Timer&) { poll(); });
    if (m_controller)
        m_controller->progressViewDidBegin(this);
}

void ZQProgressView::endProgress()
{
    if (!platform::RunLoop::isMainThread()) {
        platform::RunLoop::runOnMainThread([this] { endProgress(); }, this);
        return;
    }
    if (!m_inProgress)
        return;
    m_inProgress = false;
    m_pollTimer.reset();
    // The controller may hold the last reference to this row.
    if (m_controller)
        m_controller->progressViewDidEnd(this);
}

QWidget* ZQProgressView::view() const
{
    return m_view;
}

QProgressBar* ZQProgressView::progressBar() const
{
    return m_bar;
}

QAbstractButton* ZQProgressView::stopButton() const
{
    return m_stopButton;
}

QWidget* ZQProgressView::makeView()
{
    delete m_view;
    m_view = new QWidget;
    m_promptLabel = new QLabel(m_view);
    m_bar = new QProgressBar(m_view);
    m_bar->setTextVisible(false);
    m_stopButton = new QPushButton(tr("Stop"), m_view);
    m_infoLabel = new QLabel(m_view);
    m_infoLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont small = m_infoLabel->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    m_infoLabel->setFont(small);

    auto* grid = new QGridLayout(m_view);
    grid->addWidget(m_promptLabel, 0, 0, 1, 2);
    grid->addWidget(m_bar, 1, 0);
    grid->addWidget(m_stopButton, 1, 1);
    grid->addWidget(m_infoLabel, 2, 0, 1, 2);
    m_bar->setMinimumWidth(320);
    connect(m_stopButton, &QAbstractButton::clicked, this, &ZQProgressView::stop);
    updateView();
    return m_view;
}

void ZQProgressView::updateView()
{
    if (!m_view)
        return;
    m_promptLabel->setText(m_prompt);
    m_infoLabel->setText(m_additionalInfo);
    m_infoLabel->setVisible(!m_additionalInfo.isEmpty());
    // A range of 0..0 is Qt's busy bar.
    const bool busy = m_indeterminate || std::isnan(m_fraction);
    m_bar->setRange(0, busy ? 0 : kBarSteps);
    if (!busy)
        m_bar->setValue(static_cast<int>(std::lround(m_fraction * kBarSteps)));
    m_stopButton->setVisible(!m_buttonHidden);
    m_stopButton->setEnabled(!m_stopRequested);
}

void ZQProgressView::poll()
{
    if (!m_delegateObject)
        return;
    const QPointer<ZQProgressView> self(this);
    const double fraction = m_delegate->progressFractionForProgressShouldCancel(this, m_stopRequested);
    // The delegate may have ended the row, and its last owner let go of it.
    if (self && m_inProgress)
        setFraction(fraction);
}

void ZQProgressView::stop()
{
    m_stopRequested = true;
    updateView();
}
