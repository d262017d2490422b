#include "app/progress/ZQProgressController.h"

#include "app/progress/ZQProgressView.h"
#include "platform/foundation/RunLoop.h"

#include <QDialog>
#include <QVBoxLayout>
#include <algorithm>

namespace {

// Escape and the close box would only hide a job that goes on running.
class ProgressPanel : public QDialog {
public:
    ProgressPanel()
    {
        setWindowTitle(QObject::tr("Progress"));
        auto* layout = new QVBoxLayout(this);
        layout->setSizeConstraint(QLayout::SetFixedSize);
    }

    void reject() override {}
};

} // namespace

ZQProgressController::ZQProgressController()
    : m_defaultRow(std::make_shared<ZQProgressView>(this, nullptr))
{
}

ZQProgressController::~ZQProgressController() = default;

ZQProgressController* ZQProgressController::sharedProgress()
{
    // Made on first use and kept for the life of the process.
    static ZQProgressController* const shared = new ZQProgressController;
    return shared;
}

std::shared_ptr<ZQProgressView> ZQProgressController::progressViewForDelegate(ZQProgressDelegate* delegate)
{
    return std::make_shared<ZQProgressView>(this, delegate);
}

void ZQProgressController::setPromptString(const QString& prompt)
{
    m_defaultRow->setPromptString(prompt);
}

void ZQProgressController::setAdditionalInfoString(const QString& info)
{
    m_defaultRow->setAdditionalInfoString(info);
}

void ZQProgressController::setProgressBarIndeterminate(bool flag)
{
    m_defaultRow->setProgressBarIndeterminate(flag);
}

void ZQProgressController::setMaximumValue(qint64 maximum)
{
    m_maximumValue = maximum;
}

bool ZQProgressController::setCurrentValue(qint64 value)
{
    const double fraction = m_maximumValue > 0 ? double(value) / double(m_maximumValue) : 0.0;
    m_defaultRow->setFraction(fraction);
    return m_defaultRow->stopRequested();
}

void ZQProgressController::setButtonHidden(bool flag)
{
    m_defaultRow->setButtonHidden(flag);
}

void ZQProgressController::setDefersDisplay(bool flag)
{
    m_defersDisplay = flag;
    updateWindow();
}

void ZQProgressController::showOnParent(QWidget* parent)
{
    m_sheetParent = parent;
    m_defaultRowRequested = true;
    m_defaultRow->resetStopRequest();
    updateWindow();
}

void ZQProgressController::hide()
{
    m_defaultRowRequested = false;
    updateWindow();
}

QList<ZQProgressView*> ZQProgressController::displayedProgressViews() const
{
    QList<ZQProgressView*> rows;
    if (showsDefaultRow())
        rows << m_defaultRow.get();
    for (const auto& row : m_activeRows)
        rows << row.get();
    return rows;
}

QWidget* ZQProgressController::loadWindow()
{
    auto* panel = new ProgressPanel;
    // Rebuilt after a parent window took the old one down: bring the rows back.
    panel->layout()->addWidget(m_defaultRow->makeView());
    for (const auto& row : m_activeRows)
        panel->layout()->addWidget(row->makeView());
    connect(panel, &QObject::destroyed, this, [this] {
        // Its sheet parent took it down: that ends the default row, the others show on.
        platform::RunLoop::performAfterDelay(this, [this] {
            if (!m_sheetParent)
                m_defaultRowRequested = false;
            updateWindow();
        }, 0);
    });
    return panel;
}

void ZQProgressController::progressViewDidBegin(ZQProgressView* row)
{
    m_activeRows << std::static_pointer_cast<ZQProgressView>(row->shared_from_this());
    if (isWindowLoaded())
        window()->layout()->addWidget(row->makeView());
    updateWindow();
}

void ZQProgressController::progressViewDidEnd(ZQProgressView* row)
{
    // The row is still inside its endProgress: let it go only on the way out.
    const auto ended = std::find_if(m_activeRows.begin(), m_activeRows.end(),
                                    [row](const auto& active) { return active.get() == row; });
    if (ended == m_activeRows.end())
        return;
    const std::shared_ptr<ZQProgressView> keep = *ended;
    m_activeRows.erase(ended);
    delete row->view();
    updateWindow();
}

void ZQProgressController::updateWindow()
{
    const bool showsDefault = showsDefaultRow();
    if (!showsDefault && m_activeRows.isEmpty()) {
        if (isWindowLoaded())
            present(nullptr, false);
        return;
    }
    window();
    m_defaultRow->view()->setVisible(showsDefault);
    present(showsDefault && m_sheetParent ? m_sheetParent->window() : nullptr, true);
}

void ZQProgressController::present(QWidget* host, bool visible)
{
    QWidget* panel = window();
    const Qt::WindowModality modality = host ? Qt::WindowModal : Qt::NonModal;
    if (!visible)
        panel->hide();
    // Modality only changes while hidden. A hidden window leaves its parent, so that
    // closing the parent does not take the rows' views with it.
    if (panel->parentWidget() != host || panel->windowModality() != modality) {
        panel->hide();
        panel->setParent(host, panel->windowFlags());
        panel->setWindowModality(modality);
    }
    if (visible) {
        panel->show();
        panel->raise();
    }
}
