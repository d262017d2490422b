#include "library/migration/VXQLibraryMigrationController.h"

#include "app/progress/ZQProgressController.h"
#include "platform/foundation/ZQLog.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

VXQLibraryMigrationController* VXQLibraryMigrationController::migrationController()
{
    static VXQLibraryMigrationController* controller = new VXQLibraryMigrationController;
    return controller;
}

VXQLibraryMigrationController::VXQLibraryMigrationController(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("LibUpdater"));
    setWindowTitle(tr("Symbol Library Update"));
    setModal(true);
    auto* explanation = new QLabel(
        tr("Quorvane found symbol and style files of an earlier version. They will be converted into your "
           "collection and the old files moved to \"Old Symbols Files (Moved)\".\n\nClick Continue to update them, "
           "or Quit to leave them as they are."),
        this);
    explanation->setWordWrap(true);
    m_progressLabel = new QLabel(this);
    m_progressInfoLabel = new QLabel(this);
    m_progressInfoLabel->setWordWrap(true);
    m_progressBar = new QProgressBar(this);
    m_quitButton = new QPushButton(tr("Quit"), this);
    m_continueButton = new QPushButton(tr("Continue"), this);
    m_continueButton->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_quitButton);
    buttons->addWidget(m_continueButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(explanation);
    layout->addWidget(m_progressLabel);
    layout->addWidget(m_progressBar);
    layout->addWidget(m_progressInfoLabel);
    layout->addLayout(buttons);
    setMinimumWidth(460);
    m_progressBar->hide();
    m_progressLabel->hide();
    m_progressInfoLabel->hide();
    connect(m_continueButton, &QPushButton::clicked, this, &VXQLibraryMigrationController::continueAction);
    connect(m_quitButton, &QPushButton::clicked, this, &VXQLibraryMigrationController::quitAction);
}

int VXQLibraryMigrationController::runModal()
{
    m_state = 0;
    if (!VXQLibraryMigrationHelper::sharedMigrationHelper().needsToPerformMigration()) {
        ZQLog(QStringLiteral("symbol library update check: no migration required"));
        return 1;
    }
    ZQProgressController::sharedProgress()->hide();
    return exec();
}

void VXQLibraryMigrationController::continueAction()
{
    if (m_state != 0) {
        done(1);
        return;
    }
    m_state = 1;
    m_continueButton->setEnabled(false);
    m_quitButton->setEnabled(false);
    m_progressBar->setRange(0, 1);
    m_progressBar->setValue(0);
    m_progressBar->show();
    m_progressLabel->show();
    m_progressInfoLabel->show();
    setPromptString(tr("Reading Old-Format Library Files..."));
    VXQLibraryMigrationHelper& helper = VXQLibraryMigrationHelper::sharedMigrationHelper();
    helper.setDelegate(this);
    const bool succeeded = helper.performMigration();
    helper.setDelegate(nullptr);
    if (succeeded) {
        setPromptString(tr("Update Successful - click 'Continue' to use Quorvane."));
        m_continueButton->setEnabled(true);
    } else {
        setPromptString(tr("Update Failed!"));
        setAdditionalInfoString(tr("An unexpected problem was encountered with the update. Please contact Veltrum for assistance."));
        m_quitButton->setEnabled(true);
    }
    m_progressBar->hide();
    redraw();
}

void VXQLibraryMigrationController::quitAction()
{
    done(0);
}

void VXQLibraryMigrationController::setPromptString(const QString& prompt)
{
    m_progressLabel->setText(prompt);
    m_progressInfoLabel->clear();
    redraw();
}

void VXQLibraryMigrationController::setAdditionalInfoString(const QString& info)
{
    m_progressInfoLabel->setText(info);
    redraw();
}

void VXQLibraryMigrationController::setProgressBarIndeterminate(bool indeterminate)
{
    // A range of 0 to 0 is Qt's busy indicator.
    if (indeterminate)
        m_progressBar->setRange(0, 0);
    else if (m_progressBar->maximum() == 0)
        m_progressBar->setRange(0, 1);
    redraw();
}

void VXQLibraryMigrationController::setMaximumValue(qint64 maximum)
{
    m_progressBar->setRange(0, int(std::clamp<qint64>(maximum, 0, std::numeric_limits<int>::max())));
    redraw();
}

bool VXQLibraryMigrationController::setCurrentValue(qint64 value)
{
    m_progressBar->setValue(int(std::clamp<qint64>(value, 0, m_progressBar->maximum())));
    redraw();
    return true;
}

void VXQLibraryMigrationController::redraw()
{
    // The migration holds the main thread; show each step now.
    if (isVisible())
        repaint();
}
