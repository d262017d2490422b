#pragma once

// The preferences window (Edit > Preferences...): scrolling and zooming, start-up, drawing,
// editing, undo, styles, layer storage and help, with buttons that turn every alert back on,
// reset all preferences and empty the image browser's cache. Most boxes edit the preferences
// the classes follow (QuorvaneSettings, kept beyond the run); a few write user defaults that
// the application reads where it needs them. Every change of the user defaults, the window's
// own included, re-reads every control, so a value refused or clamped shows as kept.
// One per process.

#include "platform/ui/WindowController.h"

#include <QHash>
#include <functional>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QSpinBox;

inline const QString kQuorvaneToolsWindowConfirmDirectApply = QStringLiteral("kQuorvaneToolsWindowConfirmDirectApply");
inline const QString kQVNLShowTemplatesAtStartup = QStringLiteral("QVNL_SHOW_TEMPLATES_AT_STARTUP");
inline const QString kQVNLReportCrashes = QStringLiteral("QVNL_Report_Crashes");
inline const QString kVXDocumentEnableLionDocumentModel = QStringLiteral("kVXDocumentEnableLionDocumentModel");

class QVNPrefsController : public platform::WindowController {
    Q_OBJECT

public:
    static QVNPrefsController* sharedPrefsController();
    // Re-reads the shared window's controls when it exists.
    static void reloadIfAvailable();

    QVNPrefsController();
    ~QVNPrefsController() override;

    // Sets every control from the value it shows.
    void loadSettings();

    // The check box titled `title`; null when there is none.
    QCheckBox* checkBox(const QString& title);
    QComboBox* storageTypePopUp();
    QComboBox* freehandSmoothnessPopUp();
    QComboBox* handleSizePopUp();
    QCheckBox* shadowLimitBox();
    QComboBox* shadowLimitField();
    QSpinBox* undoLevelsField();

    // Turns every confirmation back on, in a fixed order.
    Q_INVOKABLE void resetAllAlertsAction(QObject* sender = nullptr);
    // Asks, then forgets every preference (the application delegate does it).
    Q_INVOKABLE void resetPreferencesAction(QObject* sender = nullptr);
    // Asks, then empties the SVG preview cache.
    Q_INVOKABLE void emptyImageBrowserCacheAction(QObject* sender = nullptr);
    // The help page named by the sender's title.
    Q_INVOKABLE void helpActionWithTitleOfSender(QObject* sender);

    void storageTypeAction(int tag);
    void undoHistoryAction(int levels);
    void shadowZoomScaleEnableAction(bool on);
    void shadowZoomScaleFactorAction(const QString& text);

protected:
    QWidget* loadWindow() override;
    void windowDidLoad() override;

private:
    struct Box {
        QCheckBox* box;
        std::function<bool()> shown;
        std::function<void(bool)> changed;
    };
    QCheckBox* addBox(QGridLayout* grid, const QString& title, std::function<bool()> shown,
                      std::function<void(bool)> changed);
    QWidget* makeGeneralPage();
    QWidget* makeDrawingPage();
    QWidget* makeEditingPage();

    QList<Box> m_boxes;
    QComboBox* m_storage = nullptr;
    QComboBox* m_freehand = nullptr;
    QComboBox* m_handleSize = nullptr;
    QCheckBox* m_shadowLimitBox = nullptr;
    QComboBox* m_shadowLimit = nullptr;
    QSpinBox* m_undoLevels = nullptr;
    QCheckBox* m_scrollSense = nullptr;
    QCheckBox* m_sharableByDefault = nullptr;
    bool m_loading = false;
};
