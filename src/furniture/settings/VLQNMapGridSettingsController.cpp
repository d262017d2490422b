#include "furniture/settings/VLQNMapGridSettingsController.h"

#include "app/application/VLTMHelpTrampoline.h"
#include "furniture/grid/VXQSquareAnnotatedGrid.h"
#include "furniture/settings/VLQNSquareAnnotatedGridController.h"
#include "platform/foundation/ZQLog.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/ui/Sheet.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

VLQNMapGridSettingsController::VLQNMapGridSettingsController()
    : m_gridController(std::make_shared<VLQNSquareAnnotatedGridController>())
{
    initWithWindowNibName(QStringLiteral("VLQNMapGridSettingsController"));
}

VLQNMapGridSettingsController::~VLQNMapGridSettingsController()
{
    ZQLog(QStringLiteral("deallocating %1").arg(description()));
}

std::shared_ptr<VLQNMapGridSettingsController> VLQNMapGridSettingsController::mapGridSettingsController()
{
    return std::make_shared<VLQNMapGridSettingsController>();
}

QDialog* VLQNMapGridSettingsController::sheet()
{
    return qobject_cast<QDialog*>(window());
}

QWidget* VLQNMapGridSettingsController::loadWindow()
{
    auto* dialog = new QDialog;
    dialog->setWindowTitle(tr("Index Grid Settings"));
    auto* help = new QPushButton(tr("?"));
    help->setToolTip(tr("Help"));
    auto* cancel = new QPushButton(tr("Cancel"));
    auto* ok = new QPushButton(tr("OK"));
    ok->setDefault(true);
    connect(help, &QPushButton::clicked, this, [this, help] { helpButtonAction(help); });
    connect(cancel, &QPushButton::clicked, this, [this, cancel] { cancelButtonAction(cancel); });
    connect(ok, &QPushButton::clicked, this, [this, ok] { okButtonAction(ok); });

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(help);
    buttons->addStretch();
    buttons->addWidget(cancel);
    buttons->addWidget(ok);
    auto* layout = new QVBoxLayout(dialog);
    layout->addWidget(m_gridController->view());
    layout->addLayout(buttons);
    return dialog;
}

void VLQNMapGridSettingsController::windowDidLoad()
{
    m_gridController->setDataSource(this);
}

void VLQNMapGridSettingsController::beginModalWithParentWindowForGridLayer(QWidget* window, const VXLayerPtr& grid)
{
    auto indexGrid = std::dynamic_pointer_cast<VXQSquareAnnotatedGrid>(grid);
    if (!indexGrid)
        return;
    m_keepAlive = std::static_pointer_cast<VLQNMapGridSettingsController>(shared_from_this());
    m_grid = indexGrid;
    m_gridOriginalSettings = m_grid->settings();
    m_undoSuspension.emplace(m_grid->undoManager());
    if (isWindowLoaded())
        m_gridController->reloadContent();
    platform::Sheet::beginSheetModalForWindowCompletionHandler(sheet(), window, [this](int code) { sheetDidEnd(code); });
}

void VLQNMapGridSettingsController::okButtonAction(QObject*)
{
    platform::Sheet::endSheetReturnCode(sheet(), platform::Sheet::kDefaultReturn);
}

void VLQNMapGridSettingsController::cancelButtonAction(QObject*)
{
    platform::Sheet::endSheetReturnCode(sheet(), platform::Sheet::kCancelReturn);
}

void VLQNMapGridSettingsController::helpButtonAction(QObject*)
{
    VLTMHelpTrampoline::sharedHelpTrampoline()->showHelpForIdentifier(QStringLiteral("Index_Grid"));
}

void VLQNMapGridSettingsController::sheetDidEnd(int returnCode)
{
    if (returnCode == platform::Sheet::kDefaultReturn) {
        m_undoSuspension.reset();
        if (ZQUndoManager* undo = m_grid->undoManager()) {
            undo->registerUndoWithTargetHandler(m_grid.get(), [grid = m_grid, settings = m_gridOriginalSettings] {
                grid->applySettings(settings);
            });
            undo->setActionName(tr("Index Grid Settings"));
        }
    } else {
        m_gridController->revertOrCancel();
        m_undoSuspension.reset();
    }
    m_gridController->setDataSource(nullptr);
    // The last reference may be this one: nothing of the controller is used after it.
    auto release = std::move(m_keepAlive);
}

QList<ZQObjectPtr> VLQNMapGridSettingsController::selectedContentForObjectController(VLTMGenericObjectController*)
{
    if (!m_grid)
        return {};
    return {m_grid};
}

ZQUndoManager* VLQNMapGridSettingsController::undoManager() const
{
    return m_grid ? m_grid->undoManager() : nullptr;
}
