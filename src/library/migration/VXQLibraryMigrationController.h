#pragma once

// The library update window ("LibUpdater"), run at launch before any document opens: when old
// symbol files await migration it asks the user to continue or quit, runs the migration with
// itself as the progress receiver (repainting after each step, as the work runs on the main
// thread) and answers 1 to go on or 0 to quit.

#include "library/migration/VXQLibraryMigrationHelper.h"

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

class VXQLibraryMigrationController : public QDialog, public LibraryMigrationProgress {
    Q_OBJECT

public:
    static VXQLibraryMigrationController* migrationController();
    explicit VXQLibraryMigrationController(QWidget* parent = nullptr);

    // 1 at once when no migration is needed; otherwise the window's answer.
    int runModal();
    quint64 state() const { return m_state; }

    void continueAction();
    void quitAction();

    void setPromptString(const QString& prompt) override;
    void setAdditionalInfoString(const QString& info) override;
    void setProgressBarIndeterminate(bool indeterminate) override;
    void setMaximumValue(qint64 maximum) override;
    bool setCurrentValue(qint64 value) override;

    QPushButton* continueButton() const { return m_continueButton; }
    QPushButton* quitButton() const { return m_quitButton; }
    QLabel* progressLabel() const { return m_progressLabel; }
    QLabel* progressInfoLabel() const { return m_progressInfoLabel; }
    QProgressBar* progressBar() const { return m_progressBar; }

private:
    void redraw();

    QPushButton* m_continueButton = nullptr;
    QPushButton* m_quitButton = nullptr;
    QProgressBar* m_progressBar = nullptr;
    QLabel* m_progressLabel = nullptr;
    QLabel* m_progressInfoLabel = nullptr;
    quint64 m_state = 0;
};
