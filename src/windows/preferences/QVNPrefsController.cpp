#include "windows/preferences/QVNPrefsController.h"

#include "app/document/MapDocumentWindowController.h"
#include "app/application/VLTMHelpTrampoline.h"
#include "app/document/ZQQuorvaneDocument.h"
#include "platform/foundation/MetaInvoke.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/foundation/UserDefaultsChanges.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Application.h"
#include "platform/vantrix/model/VXBSPDirectObjectStorage.h"
#include "platform/vantrix/model/VXLinearObjectStorage.h"
#include "platform/vantrix/svg/VXSVGPreview.h"
#include "symbols/placed/VXQSymbol.h"
#include "windows/palettes/QVNToolsController.h"
#include "windows/preferences/QuorvaneSettings.h"
#include "windows/welcome/TMSVVideoSplashController.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>
#include <cmath>
#include <optional>

namespace {

constexpr int kMaximumUndoLevels = 9999;

platform::UserDefaults& defaults()
{
    return *platform::UserDefaults::standardUserDefaults();
}

QVNPrefsController*& sharedInstance()
{
    static QVNPrefsController* instance = nullptr;
    return instance;
}

// A check box row over a plain user default, `inverted` when the box says the opposite.
std::function<bool()> readsDefault(const QString& key, bool inverted = false)
{
    return [key, inverted] { return defaults().boolForKey(key) != inverted; };
}

std::function<void(bool)> writesDefault(const QString& key, bool inverted = false)
{
    return [key, inverted](bool on) { defaults().setBoolForKey(on != inverted, key); };
}

const VXDrawingPreferences& drawingPreferences()
{
    return VXDrawingPreferences::current();
}

// A check box row over one of the drawing preferences.
std::function<bool()> readsPreference(bool VXDrawingPreferences::*field)
{
    return [field] { return drawingPreferences().*field; };
}

std::function<void(bool)> writesPreference(bool VXDrawingPreferences::*field)
{
    return [field](bool on) { QuorvaneSettings::edit([&](QuorvaneSettings& settings) { settings.drawing.*field = on; }); };
}

QGridLayout* addGroup(QVBoxLayout* page, const QString& title)
{
    auto* group = new QGroupBox(title);
    auto* grid = new QGridLayout(group);
    page->addWidget(group);
    return grid;
}

QComboBox* addPopUp(QGridLayout* grid, const QString& title, const QList<std::pair<QString, int>>& items)
{
    auto* popUp = new QComboBox;
    for (const auto& [text, tag] : items)
        popUp->addItem(text, tag);
    const int row = grid->rowCount();
    grid->addWidget(new QLabel(title), row, 0);
    grid->addWidget(popUp, row, 1);
    return popUp;
}

void selectTag(QComboBox* popUp, int tag)
{
    popUp->setCurrentIndex(popUp->findData(tag));
}

void setShadowScaleLimit(double limit)
{
    QuorvaneSettings::edit([limit](QuorvaneSettings& settings) { settings.drawing.shadowScaleLimit = limit; });
}

// The limit typed in the field; nothing for text that is no number ("nan" included).
std::optional<double> typedLimit(const QString& text)
{
    bool ok = false;
    const double typed = text.toDouble(&ok);
    return ok && !std::isnan(typed) ? std::optional<double>(typed) : std::nullopt;
}

} // namespace

QVNPrefsController* QVNPrefsController::sharedPrefsController()
{
    if (!sharedInstance())
        sharedInstance() = new QVNPrefsController;
    return sharedInstance();
}

void QVNPrefsController::reloadIfAvailable()
{
    if (sharedInstance() && sharedInstance()->isWindowLoaded())
        sharedInstance()->loadSettings();
}

QVNPrefsController::QVNPrefsController()
{
    initWithWindowNibName(QStringLiteral("Preferences(V2)"));
}

QVNPrefsController::~QVNPrefsController()
{
    if (sharedInstance() == this)
        sharedInstance() = nullptr;
}

QCheckBox* QVNPrefsController::addBox(QGridLayout* grid, const QString& title, std::function<bool()> shown,
                                      std::function<void(bool)> changed)
{
    auto* box = new QCheckBox(title);
    grid->addWidget(box, grid->rowCount(), 0, 1, 2);
    m_boxes.append({box, std::move(shown), changed});
    if (changed)
        connect(box, &QCheckBox::clicked, this, [this, changed](bool on) {
            if (!m_loading)
                changed(on);
        });
    return box;
}

QWidget* QVNPrefsController::makeGeneralPage()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);

    QGridLayout* scrolling = addGroup(layout, tr("Scrolling and Zooming"));
    addBox(scrolling, tr("Zoom with the scroll wheel"), readsDefault(kVXDrawingDisableScrollwheelZoomPrefsKey, true),
           [this](bool on) {
               writesPreference(&VXDrawingPreferences::scrollwheelZoomEnabled)(on);
               m_scrollSense->setEnabled(on);
           });
    m_scrollSense = addBox(scrolling, tr("Reverse the scroll wheel's zoom direction"),
                           readsDefault(kVXDrawingScrollwheelSensePrefsKey),
                           writesPreference(&VXDrawingPreferences::scrollwheelInverted));
    addBox(scrolling, tr("Zoom and scroll with trackpad gestures"), readsPreference(&VXDrawingPreferences::trackpadGesturesEnabled),
           writesPreference(&VXDrawingPreferences::trackpadGesturesEnabled));

    QGridLayout* startUp = addGroup(layout, tr("Start-up"));
    addBox(startUp, tr("Show the template chooser at start-up"), readsDefault(kQVNLShowTemplatesAtStartup),
           writesDefault(kQVNLShowTemplatesAtStartup));
    addBox(startUp, tr("Send crash reports"), readsDefault(kQVNLReportCrashes), writesDefault(kQVNLReportCrashes));
    addBox(startUp, tr("Use the modern document model"), readsDefault(kVXDocumentEnableLionDocumentModel),
           writesDefault(kVXDocumentEnableLionDocumentModel));

    QGridLayout* undo = addGroup(layout, tr("Undo"));
    m_undoLevels = new QSpinBox;
    m_undoLevels->setRange(0, kMaximumUndoLevels);
    m_undoLevels->setSpecialValueText(tr("Unlimited"));
    undo->addWidget(new QLabel(tr("Levels of undo:")), 0, 0);
    undo->addWidget(m_undoLevels, 0, 1);
    connect(m_undoLevels, &QSpinBox::editingFinished, this, [this] { undoHistoryAction(m_undoLevels->value()); });
    addBox(undo, tr("Keep the undo history when saving"), readsDefault(kVXDocumentDontClearUndoOnSave),
           writesDefault(kVXDocumentDontClearUndoOnSave));

    QGridLayout* storage = addGroup(layout, tr("Layers and Help"));
    m_storage = addPopUp(storage, tr("Store layer contents:"),
                         {{tr("Indexed (fast for large layers)"), 0}, {tr("In a list (small layers)"), 1}});
    connect(m_storage, &QComboBox::activated, this, [this](int index) { storageTypeAction(m_storage->itemData(index).toInt()); });
    addBox(storage, tr("Open help in the web browser"), &VLTMHelpTrampoline::opensInExternalBrowser,
           &VLTMHelpTrampoline::setOpensInExternalBrowser);
    layout->addStretch();
    return page;
}

QWidget* QVNPrefsController::makeDrawingPage()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    QGridLayout* drawing = addGroup(layout, tr("Drawing"));
    addBox(drawing, tr("Draw faster while zooming and scrolling"), &ZQQuorvaneDocument::defaultQualityModulation,
           &ZQQuorvaneDocument::setDefaultQualityModulation);
    addBox(drawing, tr("Antialias"), readsPreference(&VXDrawingPreferences::shouldAntialias),
           writesPreference(&VXDrawingPreferences::shouldAntialias));
    addBox(drawing, tr("Draw shadows"), readsPreference(&VXDrawingPreferences::willDrawShadows),
           writesPreference(&VXDrawingPreferences::willDrawShadows));
    addBox(drawing, tr("Centre the drawing in its window"), readsDefault(kCentreDocumentViewDefaultState, true),
           writesDefault(kCentreDocumentViewDefaultState, true));
    addBox(drawing, tr("Show size while dragging"), readsPreference(&VXDrawingPreferences::displaysSizeInfoWhenDragging),
           writesPreference(&VXDrawingPreferences::displaysSizeInfoWhenDragging));
    addBox(drawing, tr("Show dimension guides"), readsPreference(&VXDrawingPreferences::dimensionGuidesEnabled),
           writesPreference(&VXDrawingPreferences::dimensionGuidesEnabled));
    addBox(drawing, tr("Show direct controls on shapes"), readsPreference(&VXDrawingPreferences::showsDirectControls),
           writesPreference(&VXDrawingPreferences::showsDirectControls));
    addBox(drawing, tr("Ignore filters in SVG files"), readsPreference(&VXDrawingPreferences::ignoresSVGFilterElements),
           writesPreference(&VXDrawingPreferences::ignoresSVGFilterElements));
    m_handleSize = addPopUp(drawing, tr("Handle size:"), {{tr("Small"), 4}, {tr("Medium"), 6}, {tr("Large"), 8}, {tr("Largest"), 10}});
    connect(m_handleSize, &QComboBox::activated, this, [this](int index) {
        const double side = m_handleSize->itemData(index).toDouble();
        QuorvaneSettings::edit([side](QuorvaneSettings& settings) { settings.drawing.controlKnobSize = QSizeF(side, side); });
    });
    m_shadowLimitBox = addBox(drawing, tr("Limit the zoom scale of shadows to:"), nullptr, nullptr);
    connect(m_shadowLimitBox, &QCheckBox::clicked, this, [this](bool on) { shadowZoomScaleEnableAction(on); });
    m_shadowLimit = new QComboBox;
    m_shadowLimit->setEditable(true);
    m_shadowLimit->addItems({QStringLiteral("2"), QStringLiteral("4"), QStringLiteral("8"), QStringLiteral("16")});
    // The box leaves the second column to the limit it names.
    const int limitRow = drawing->rowCount() - 1;
    drawing->removeWidget(m_shadowLimitBox);
    drawing->addWidget(m_shadowLimitBox, limitRow, 0);
    drawing->addWidget(m_shadowLimit, limitRow, 1);
    connect(m_shadowLimit->lineEdit(), &QLineEdit::editingFinished, this,
            [this] { shadowZoomScaleFactorAction(m_shadowLimit->currentText()); });
    connect(m_shadowLimit, &QComboBox::activated, this, [this] { shadowZoomScaleFactorAction(m_shadowLimit->currentText()); });

    QGridLayout* styles = addGroup(layout, tr("Styles"));
    addBox(styles, tr("Share styles between objects"), readsPreference(&VXDrawingPreferences::styleSharingEnabled),
           [this](bool on) {
               writesPreference(&VXDrawingPreferences::styleSharingEnabled)(on);
               m_sharableByDefault->setEnabled(on);
           });
    m_sharableByDefault = addBox(styles, tr("New styles are sharable"), readsPreference(&VXDrawingPreferences::stylesAreSharableByDefault),
                                 writesPreference(&VXDrawingPreferences::stylesAreSharableByDefault));
    addBox(styles, tr("Give styles to the current tool only"), &QVNToolsController::toolStyleBindingEnabled,
           &QVNToolsController::setToolStyleBindingEnabled);
    addBox(styles, tr("Confirm applying a style or symbol to the selection"),
           readsDefault(kQuorvaneToolsWindowConfirmDirectApply, true), writesDefault(kQuorvaneToolsWindowConfirmDirectApply, true));
    layout->addStretch();
    return page;
}

QWidget* QVNPrefsController::makeEditingPage()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    QGridLayout* paths = addGroup(layout, tr("Paths and Layers"));
    addBox(paths, tr("Clicks on a path's outline come first"), readsPreference(&VXDrawingPreferences::onPathHitDetectionPriority),
           writesPreference(&VXDrawingPreferences::onPathHitDetectionPriority));
    addBox(paths, tr("Close paths that end at their start"), readsPreference(&VXDrawingPreferences::autoClosesPath),
           writesPreference(&VXDrawingPreferences::autoClosesPath));
    addBox(paths, tr("Combine the end points of closed paths"), readsPreference(&VXDrawingPreferences::combinesEndPointsOfClosedPath),
           writesPreference(&VXDrawingPreferences::combinesEndPointsOfClosedPath));
    m_freehand = addPopUp(paths, tr("Freehand smoothing:"),
                          {{tr("None"), 0}, {tr("Light"), 1}, {tr("Medium"), 2}, {tr("Strong"), 4}, {tr("Strongest"), 8}});
    connect(m_freehand, &QComboBox::activated, this, [this](int index) {
        const double epsilon = m_freehand->itemData(index).toDouble();
        QuorvaneSettings::edit([epsilon](QuorvaneSettings& settings) { settings.drawing.freehandEpsilon = epsilon; });
    });
    addBox(paths, tr("Moves act on the selections of all layers"),
           readsPreference(&VXDrawingPreferences::moveOperatesOnAllLayers), [](bool on) {
               QuorvaneSettings::edit([on](QuorvaneSettings& settings) { settings.setMovesReachAllLayers(on); });
           });
    addBox(paths, tr("Snap to the grid while it is shown"), readsPreference(&VXDrawingPreferences::snapToGridOnGridVisible),
           writesPreference(&VXDrawingPreferences::snapToGridOnGridVisible));
    addBox(paths, tr("Clicking an object activates its layer"), readsPreference(&VXDrawingPreferences::layerAutoActivation),
           writesPreference(&VXDrawingPreferences::layerAutoActivation));
    addBox(paths, tr("Attribute changes can be undone"), readsPreference(&VXDrawingPreferences::metadataChangesAreUndoable),
           writesPreference(&VXDrawingPreferences::metadataChangesAreUndoable));
    addBox(paths, tr("The Style Dropper keeps the selection"),
           [] { return !QuorvaneSettings::current().styleDropperResetsSelection; }, [](bool on) {
               QuorvaneSettings::edit([on](QuorvaneSettings& settings) { settings.styleDropperResetsSelection = !on; });
           });
    // Shown for information: placed symbols take the setting from their library.
    addBox(paths, tr("Symbols scale with the view"), &VXQSymbol::defaultSymbolsScaleVisually, nullptr)->setEnabled(false);

    QGridLayout* text = addGroup(layout, tr("Text"));
    addBox(text, tr("Edit new text at once"), readsPreference(&VXDrawingPreferences::startEditingOnObjectCreation),
           writesPreference(&VXDrawingPreferences::startEditingOnObjectCreation));
    addBox(text, tr("Return starts a new line"), readsPreference(&VXDrawingPreferences::returnInsertsNewline),
           writesPreference(&VXDrawingPreferences::returnInsertsNewline));
    addBox(text, tr("Allow pictures in text"), readsPreference(&VXDrawingPreferences::allowsInlineImages),
           writesPreference(&VXDrawingPreferences::allowsInlineImages));
    layout->addStretch();
    return page;
}

QWidget* QVNPrefsController::loadWindow()
{
    auto* window = new QWidget(nullptr, Qt::Window);
    window->setAttribute(Qt::WA_QuitOnClose, false);
    auto* tabs = new QTabWidget;
    tabs->addTab(makeGeneralPage(), tr("General"));
    tabs->addTab(makeDrawingPage(), tr("Drawing"));
    tabs->addTab(makeEditingPage(), tr("Editing"));

    auto* buttons = new QHBoxLayout;
    const std::pair<QString, void (QVNPrefsController::*)(QObject*)> actions[] = {
        {tr("Turn All Alerts On"), &QVNPrefsController::resetAllAlertsAction},
        {tr("Empty Image Browser Cache..."), &QVNPrefsController::emptyImageBrowserCacheAction},
        {tr("Reset Preferences..."), &QVNPrefsController::resetPreferencesAction},
    };
    for (const auto& [title, action] : actions) {
        auto* button = new QPushButton(title);
        // Captured as a copy: clang 14 cannot capture a structured binding.
        connect(button, &QPushButton::clicked, this, [this, action = action, button] { (this->*action)(button); });
        buttons->addWidget(button);
    }
    buttons->addStretch();
    auto* help = new QPushButton(QStringLiteral("?"));
    help->setProperty("title", QStringLiteral("Preferences"));
    help->setToolTip(tr("Help"));
    help->setFixedWidth(28);
    connect(help, &QPushButton::clicked, this, [this, help] { helpActionWithTitleOfSender(help); });
    buttons->addWidget(help);

    auto* layout = new QVBoxLayout(window);
    layout->addWidget(tabs);
    layout->addLayout(buttons);
    return window;
}

void QVNPrefsController::windowDidLoad()
{
    // Queued: a change made while a control's own action runs is shown once it has finished.
    connect(&platform::UserDefaultsChanges::instance(), &platform::UserDefaultsChanges::defaultsDidChange, this,
            [this] { platform::RunLoop::runOnMainThread([this] { loadSettings(); }, this); });
    loadSettings();
}

void QVNPrefsController::loadSettings()
{
    window();
    const QScopedValueRollback<bool> loading(m_loading, true);
    for (const Box& box : std::as_const(m_boxes))
        if (box.shown) {
            const QSignalBlocker blocker(box.box);
            box.box->setChecked(box.shown());
        }
    m_scrollSense->setEnabled(!defaults().boolForKey(kVXDrawingDisableScrollwheelZoomPrefsKey));
    m_sharableByDefault->setEnabled(drawingPreferences().styleSharingEnabled);
    selectTag(m_storage, defaults().stringForKey(kQVNLInternalStorageClass)
                             == QLatin1String(VXBSPDirectObjectStorage::staticMetaObject.className()) ? 0 : 1);
    selectTag(m_freehand, int(std::floor(drawingPreferences().freehandEpsilon)));
    selectTag(m_handleSize, int(drawingPreferences().controlKnobSize.width()));
    {
        const QSignalBlocker blocker(m_undoLevels);
        m_undoLevels->setValue(drawingPreferences().levelsOfUndo);
    }
    const double limit = drawingPreferences().shadowScaleLimit;
    m_shadowLimitBox->setChecked(limit > 0);
    m_shadowLimit->setEnabled(limit > 0);
    if (limit > 0)
        m_shadowLimit->setEditText(QString::number(limit));
    window()->setWindowTitle(tr("Quorvane Preferences"));
}

QCheckBox* QVNPrefsController::checkBox(const QString& title)
{
    window();
    for (const Box& box : std::as_const(m_boxes))
        if (box.box->text() == title)
            return box.box;
    return nullptr;
}

QComboBox* QVNPrefsController::storageTypePopUp() { window(); return m_storage; }
QComboBox* QVNPrefsController::freehandSmoothnessPopUp() { window(); return m_freehand; }
QComboBox* QVNPrefsController::handleSizePopUp() { window(); return m_handleSize; }
QCheckBox* QVNPrefsController::shadowLimitBox() { window(); return m_shadowLimitBox; }
QComboBox* QVNPrefsController::shadowLimitField() { window(); return m_shadowLimit; }
QSpinBox* QVNPrefsController::undoLevelsField() { window(); return m_undoLevels; }

void QVNPrefsController::storageTypeAction(int tag)
{
    const QMetaObject* storage =
        tag == 0 ? &VXBSPDirectObjectStorage::staticMetaObject : &VXLinearObjectStorage::staticMetaObject;
    QuorvaneSettings::edit([storage](QuorvaneSettings& settings) { settings.drawing.layerStorageClass = storage; });
}

void QVNPrefsController::undoHistoryAction(int levels)
{
    QuorvaneSettings::edit([levels](QuorvaneSettings& settings) { settings.drawing.levelsOfUndo = levels; });
    const QSignalBlocker blocker(m_undoLevels);
    m_undoLevels->setValue(drawingPreferences().levelsOfUndo);
}

void QVNPrefsController::shadowZoomScaleEnableAction(bool on)
{
    const std::optional<double> typed = typedLimit(m_shadowLimit->currentText());
    setShadowScaleLimit(on && typed ? *typed : 0.0);
    m_shadowLimit->setEnabled(on);
    if (on)
        m_shadowLimit->lineEdit()->selectAll();
}

void QVNPrefsController::shadowZoomScaleFactorAction(const QString& text)
{
    // Text that is no number keeps the limit; the field shows it again.
    if (const std::optional<double> typed = typedLimit(text))
        setShadowScaleLimit(*typed);
    loadSettings();
}

void QVNPrefsController::resetAllAlertsAction(QObject*)
{
    defaults().setBoolForKey(false, kQuorvaneToolsWindowConfirmDirectApply);
    if (QCheckBox* confirm = checkBox(tr("Confirm applying a style or symbol to the selection")))
        confirm->setChecked(true);
    defaults().setBoolForKey(false, QStringLiteral("kVXQLibraryConfirmCategoryDelete"));
    defaults().setBoolForKey(false, QStringLiteral("kVXQLibraryConfirmCategoryCopy"));
    defaults().setBoolForKey(false, QStringLiteral("TMSV_HIDE_QUIT_ALERT"));
    defaults().setBoolForKey(true, kTamsiverShouldShowWelcomeVideoCloseAlert);
}

void QVNPrefsController::resetPreferencesAction(QObject*)
{
    platform::invokeSelector(platform::Application::delegate(), "confirmAndDiscardApplicationPreferences");
}

void QVNPrefsController::emptyImageBrowserCacheAction(QObject*)
{
    QApplication::beep();
    platform::Alert alert = platform::Alert::alertWithMessageTextDefaultButtonAlternateButtonOtherButtonInformativeText(
        tr("Empty Image Browser Cache?"), tr("Empty"), tr("Cancel"), {},
        tr("The cache speeds up the Image Browser when previewing SVG files. The Image Browser will rebuild the "
           "cache next time it is used."));
    alert.beginSheetModalForWindowCompletionHandler(window(), [](int returnCode) {
        if (returnCode == platform::Alert::kDefaultReturn)
            VXSVGPreview::emptyCache();
    });
}

void QVNPrefsController::helpActionWithTitleOfSender(QObject* sender)
{
    if (sender)
        VLTMHelpTrampoline::sharedHelpTrampoline()->showHelpForIdentifier(sender->property("title").toString());
}
