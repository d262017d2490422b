#include "windows/palettes/VLTMSlicesToolPaletteController.h"

#include "app/document/ZQTrueQuorvaneDocument.h"
#include "panels/dialogs/DocumentExport.h"
#include "panels/slices/VLTMSlicesLayer.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/ZQLog.h"
#include "platform/ui/DocumentController.h"
#include "platform/ui/WindowNotifications.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "widgets/buttons/ZQStyleButton.h"
#include "widgets/paint/KitImage.h"
#include "windows/palettes/QVNToolsController.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QToolButton>
#include <utility>

namespace {

constexpr int kExportSlicesSource = 3;

VLTMSlicesToolPaletteController*& sharedInstance()
{
    static VLTMSlicesToolPaletteController* instance = nullptr;
    return instance;
}

// What the slices layers hold: the shared palette outlives the statics destroyed at exit.
class SharedSlicesToolPalette : public SlicesToolPalette {
public:
    void setDelegate(VLTMSlicesLayer* layer) override { palette().setDelegate(layer); }
    void showWindow() override { palette().showWindow(); }
    void close() override { palette().close(); }
    void selectToolMode(int mode) override { palette().selectToolMode(mode); }

private:
    static VLTMSlicesToolPaletteController& palette()
    {
        return *VLTMSlicesToolPaletteController::sharedSlicesToolPalette();
    }
};

} // namespace

VLTMSlicesToolPaletteController* VLTMSlicesToolPaletteController::sharedSlicesToolPalette()
{
    if (!sharedInstance()) {
        sharedInstance() = new VLTMSlicesToolPaletteController;
        SlicesToolPalette::setSharedSlicesToolPalette(std::make_unique<SharedSlicesToolPalette>());
    }
    return sharedInstance();
}

VLTMSlicesToolPaletteController::VLTMSlicesToolPaletteController()
{
    initWithWindowNibName(QStringLiteral("VLTMSlicesToolPaletteController"));
    platform::NotificationCenter::defaultCenter().addObserver(
        this, platform::kNSWindowDidBecomeMainNotification, nullptr,
        [this](const platform::Notification& notification) { activeWindowChanged(notification); });
    platform::NotificationCenter::defaultCenter().addObserver(
        this, platform::kNSWindowDidResignMainNotification, nullptr,
        [this](const platform::Notification& notification) { mainWindowResigned(notification); });
}

VLTMSlicesToolPaletteController::~VLTMSlicesToolPaletteController()
{
    platform::NotificationCenter::defaultCenter().removeObserver(this);
    if (sharedInstance() == this)
        sharedInstance() = nullptr;
}

QWidget* VLTMSlicesToolPaletteController::loadWindow()
{
    // Clicked or shown, it leaves the keyboard, and so the menu shortcuts, with the map.
    auto* window = new QWidget(nullptr, Qt::Tool | Qt::WindowDoesNotAcceptFocus);
    window->setAttribute(Qt::WA_ShowWithoutActivating);
    window->setAttribute(Qt::WA_QuitOnClose, false);
    window->setWindowTitle(tr("Slices"));
    auto* layout = new QHBoxLayout(window);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(0);
    m_toolsMatrix = new QButtonGroup(this);
    const std::pair<QString, QString> tools[] = {
        {QStringLiteral("VLSlices_Select"), tr("Select Slices. Shift-click to select multiple slices.")},
        {QStringLiteral("VLSlices_Draw"), tr("Draw New Slice.")}};
    for (int mode = 0; mode < 2; ++mode) {
        auto* button = new ZQStyleButton(window);
        button->setCheckable(true);
        button->setFixedSize(32, 32);
        button->setFocusPolicy(Qt::NoFocus);
        button->cell().setImage(imageNamed(tools[mode].first));
        button->setToolTip(tools[mode].second);
        m_toolsMatrix->addButton(button, mode);
        layout->addWidget(button);
    }
    connect(m_toolsMatrix, &QButtonGroup::idClicked, this, [this](int mode) { toolsMatrixAction(mode); });
    layout->addSpacing(6);
    auto* exportButton = new QToolButton(window);
    exportButton->setText(tr("Export"));
    exportButton->setToolTip(tr("Export the slices."));
    exportButton->setFocusPolicy(Qt::NoFocus);
    connect(exportButton, &QToolButton::clicked, this, [this] { exportAction(); });
    layout->addWidget(exportButton);
    return window;
}

void VLTMSlicesToolPaletteController::windowDidLoad()
{
    placeOverMainTools();
}

QWidget* VLTMSlicesToolPaletteController::mainToolsWindow()
{
    return QVNToolsController::sharedToolsControllerAvailable() ? QVNToolsController::sharedToolsController()->window()
                                                                : nullptr;
}

void VLTMSlicesToolPaletteController::placeOverMainTools()
{
    const QWidget* main = mainToolsWindow();
    window()->move(main ? main->frameGeometry().topLeft() : QPoint(0, 0));
}

void VLTMSlicesToolPaletteController::showWindow()
{
    if (alignToMainTools())
        placeOverMainTools();
    QWidget* main = mainToolsWindow();
    // Shown again while the main palette is still down on its account (back from another
    // window, or the layer activated anew), it still owes the main palette its return.
    m_mainToolsPreviouslyVisible = m_mainToolsPreviouslyVisible || (main && main->isVisible());
    if (main)
        main->hide();
    window()->show();
}

void VLTMSlicesToolPaletteController::close()
{
    restoreMainTools();
    platform::WindowController::close();
}

void VLTMSlicesToolPaletteController::restoreMainTools()
{
    if (std::exchange(m_mainToolsPreviouslyVisible, false))
        QVNToolsController::sharedToolsController()->window()->show();
}

void VLTMSlicesToolPaletteController::selectToolMode(int mode)
{
    window();
    if (QAbstractButton* button = m_toolsMatrix->button(mode))
        button->setChecked(true);
}

int VLTMSlicesToolPaletteController::selectedToolMode() const
{
    return m_toolsMatrix ? m_toolsMatrix->checkedId() : -1;
}

ZQStyleButton* VLTMSlicesToolPaletteController::toolButton(int mode) const
{
    return m_toolsMatrix ? static_cast<ZQStyleButton*>(m_toolsMatrix->button(mode)) : nullptr;
}

void VLTMSlicesToolPaletteController::toolsMatrixAction(int mode)
{
    selectToolMode(mode);
    if (m_delegate)
        m_delegate->slicesToolPaletteControllerDidSelectMode(this, mode);
}

void VLTMSlicesToolPaletteController::exportAction(QObject*)
{
    const platform::DocumentController* documents = platform::DocumentController::existingSharedDocumentController();
    const auto* map = qobject_cast<ZQTrueQuorvaneDocument*>(documents ? documents->currentDocument() : nullptr);
    if (DocumentExport* exporting = map ? DocumentExport::ofDocument(*map) : nullptr)
        exporting->showExportDialogWithPreferredSource(kExportSlicesSource);
    else
        ZQLog(QStringLiteral("slices export requested with no map to export"));
}

void VLTMSlicesToolPaletteController::mainWindowResigned(const platform::Notification& notification)
{
    // A map window that closes may take its layer with it, or leave it unreachable: either
    // way the palette has nothing left to drive.
    const auto* window = qobject_cast<QWidget*>(notification.object());
    if (!m_delegate || (window && window->isVisible()))
        return;
    m_delegate = nullptr;
    close();
}

void VLTMSlicesToolPaletteController::activeWindowChanged(const platform::Notification& notification)
{
    const platform::DocumentController* documents = platform::DocumentController::existingSharedDocumentController();
    auto* window = qobject_cast<QWidget*>(notification.object());
    auto* map = qobject_cast<ZQQuorvaneDocument*>(documents && window ? documents->documentForWindow(window) : nullptr);
    if (map) {
        auto* slices = dynamic_cast<VLTMSlicesLayer*>(map->drawing() ? map->drawing()->activeLayer() : nullptr);
        if (slices) {
            if (!this->window()->isVisible())
                showWindow();
            m_delegate = slices;
            selectToolMode(slices->toolMode());
            return;
        }
        restoreMainTools();
    }
    m_delegate = nullptr;
    if (isWindowLoaded())
        this->window()->hide();
}
