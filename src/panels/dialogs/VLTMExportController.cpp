#include "panels/dialogs/VLTMExportController.h"

#include "panels/dialogs/ExportSheetRules.h"
#include "panels/dialogs/ExportSourcesTableModel.h"
#include "panels/export/ExportColourSpaces.h"
#include "panels/export/ExportFolder.h"
#include "platform/foundation/MetaInvoke.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/UndoSuspension.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/foundation/ZQLog.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Application.h"
#include "platform/ui/DocumentError.h"
#include "platform/ui/NumberFormatterValidator.h"
#include "platform/ui/OpenPanel.h"
#include "platform/ui/Sheet.h"
#include "platform/vantrix/model/VXGridLayer.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace {

constexpr int kLayerIconSize = 19;
constexpr int kIndentPerLevel = 4;

std::shared_ptr<platform::NumberFormatter> boundedFormatter(double minimum, double maximum, bool floats)
{
    auto formatter = std::make_shared<platform::NumberFormatter>();
    formatter->setAllowsFloats(floats);
    formatter->setMaximumFractionDigits(floats ? 2 : 0);
    formatter->setMinimum(minimum);
    formatter->setMaximum(maximum);
    return formatter;
}

// The number the field reads, by its own formatter; none while it does not read.
std::optional<double> numberInField(const QLineEdit* field)
{
    const auto* validator = qobject_cast<const platform::NumberFormatterValidator*>(field->validator());
    return validator ? validator->formatter().numberFromString(field->text().trimmed()) : std::nullopt;
}

void setChecked(QButtonGroup* group, int id)
{
    group->setExclusive(false);
    for (QAbstractButton* button : group->buttons())
        button->setChecked(group->id(button) == id);
    group->setExclusive(true);
}

// The items of a combo box's model can be disabled one by one.
void setItemEnabled(QComboBox* popUp, int index, bool enabled)
{
    if (auto* items = qobject_cast<QStandardItemModel*>(popUp->model()))
        if (QStandardItem* item = items->item(index))
            item->setEnabled(enabled);
}

} // namespace

QStringList VLTMExportOperationController::keyPathsOfInterest() const
{
    return {"folderURL", "dpi",         "quality",          "sourceType", "sources",
            "format",    "scale",       "transparent",      "fileNameRoot", "fileNamingOption",
            "firstIndex", "colorspace", "showInFinder",     "overwriteExisting"};
}

VLTMExportController::VLTMExportController() : m_operation(VLTMExportOperation::exportOperation()) {}

VLTMExportController::~VLTMExportController()
{
    platform::NotificationCenter::defaultCenter().removeObserver(this);
    if (m_trampoline)
        m_trampoline->setDataSource(nullptr);
    // Later: the controller may go from its own window's end handler.
    if (m_window)
        m_window->deleteLater();
}

std::shared_ptr<VLTMExportController> VLTMExportController::exportController()
{
    return std::make_shared<VLTMExportController>();
}

ExportControllerDelegate* VLTMExportController::delegate() const
{
    return dynamic_cast<ExportControllerDelegate*>(m_delegate.data());
}

QList<ZQObjectPtr> VLTMExportController::selectedContentForObjectController(VLTMGenericObjectController*)
{
    return m_operation ? QList<ZQObjectPtr>{m_operation} : QList<ZQObjectPtr>{};
}

VXDrawing* VLTMExportController::drawing() const
{
    return m_operation ? m_operation->drawing().get() : nullptr;
}

// --- Opening and closing ---------------------------------------------------------------------------------

void VLTMExportController::beginSheetExportOperationOnParentWindow(const VLTMExportOperationPtr& operation,
                                                                   QWidget* window)
{
    if (operation)
        setExportOperation(operation);
    windowDidLoad();
    m_keptAlive = std::static_pointer_cast<VLTMExportController>(shared_from_this());
    platform::Sheet::beginSheetModalForWindowCompletionHandler(m_window, window,
                                                               [this](int code) { sheetDidEnd(code); });
}

void VLTMExportController::setExportOperation(const VLTMExportOperationPtr& operation)
{
    platform::NotificationCenter& center = platform::NotificationCenter::defaultCenter();
    if (m_observedDrawing)
        center.removeObserver(this, kVXDrawingActiveLayerDidChange, m_observedDrawing);
    m_operation = operation ? operation->copyOperation() : nullptr;
    m_observedDrawing = drawing();
    if (m_observedDrawing)
        center.addObserver(this, kVXDrawingActiveLayerDidChange, m_observedDrawing,
                           [this](const platform::Notification&) { activeLayerChanged(); });
    if (m_sourcesModel)
        m_sourcesModel->setOperation(m_operation);
    if (m_trampoline)
        m_trampoline->reloadContent();
}

void VLTMExportController::windowDidLoad()
{
    if (!m_window)
        buildWindow();
    populateColorspacesMenu();
    populateLayersActivationMenu();
    if (VXDrawing* owner = drawing(); owner && owner->gridLayer()) {
        m_gridWasPrintable = owner->gridLayer()->shouldDrawToPrinter();
        setGridPrintable(true);
    }
    if (!m_trampoline) {
        m_trampoline = std::make_unique<VLTMExportOperationController>();
        m_trampoline->setTrampolineTarget(this);
        m_trampoline->setDataSource(this);
    }
    m_trampoline->unloadContent();
    m_trampoline->reloadData();
    updateActiveLayersControl();
}

void VLTMExportController::exportAction()
{
    // Takes the focus from a field being edited, which commits its text.
    m_window->setFocus();
    platform::Sheet::endSheetReturnCode(m_window, platform::Sheet::kDefaultReturn);
}

void VLTMExportController::cancelAction()
{
    platform::Sheet::endSheetReturnCode(m_window, platform::Sheet::kCancelReturn);
}

void VLTMExportController::sheetDidEnd(int returnCode)
{
    // Whatever happens below, the controller may go once this returns.
    const std::shared_ptr<VLTMExportController> self = std::move(m_keptAlive);
    VXGridLayer* grid = drawing() ? drawing()->gridLayer().get() : nullptr;
    if (grid)
        setGridPrintable(grid->visible());
    if (returnCode == platform::Sheet::kDefaultReturn) {
        ExportControllerDelegate* answering = delegate();
        if (!answering || answering->exportControllerWillExportWithOperation(*this, m_operation)) {
            QuorvaneError error;
            if (m_operation->writeToFiles(&error)) {
                if (m_operation->showInFinder() && !m_operation->filesWrittenURLs().isEmpty())
                    QDesktopServices::openUrl(m_operation->folderURL());
                if (answering)
                    answering->exportControllerDidExportWithOperation(*this, m_operation);
            } else {
                presentExportError(error, m_window ? m_window->parentWidget() : nullptr);
            }
        }
    }
    if (grid && m_gridWasPrintable)
        setGridPrintable(*m_gridWasPrintable);
}

void VLTMExportController::presentExportError(const QuorvaneError& error, QWidget* window)
{
    const QString reason = error.userInfo().value(platform::kReadFailureReasonKey).toString();
    const QString details = tr("%1 \n\n(Error %2, Underlying error %3, %4)")
                                .arg(error.localizedDescription())
                                .arg(error.code())
                                .arg(reason.isEmpty() ? 0 : error.code())
                                .arg(reason);
    platform::Alert alert;
    alert.setMessageText(tr("The Export could not be completed because an error occurred."));
    alert.setInformativeText(details);
    alert.beginSheetModalForWindowCompletionHandler(window, nullptr);
}

void VLTMExportController::setGridPrintable(bool printable) const
{
    VXDrawing* owner = drawing();
    if (!owner || !owner->gridLayer())
        return;
    const platform::UndoSuspension noUndo(owner->undoManager());
    owner->gridLayer()->setShouldDrawToPrinter(printable);
}

// --- Control actions -------------------------------------------------------------------------------------

void VLTMExportController::write(const QVariant& value, const QString& keyPath)
{
    if (m_trampoline)
        m_trampoline->setCommonValueForKeyPath(value, keyPath);
}

void VLTMExportController::exportSourceTypeAction(int sourceType) { write(sourceType, "sourceType"); }
void VLTMExportController::namingSchemeAction(int option) { write(option, "fileNamingOption"); }
void VLTMExportController::formatAction() { write(m_formatPopUp->currentData(), "format"); }

void VLTMExportController::dpiAction()
{
    if (const std::optional<double> dpi = numberInField(m_dpiField))
        write(*dpi, "dpi");
    else
        setDpi(m_operation->dpi());
}

void VLTMExportController::qualityAction() { write(m_qualityField->value() / 100.0, "quality"); }
void VLTMExportController::scaleAction() { write(m_scaleField->value(), "scale"); }

void VLTMExportController::firstIndexAction()
{
    if (const std::optional<double> index = numberInField(m_firstIndexField))
        write(quint64(*index), "firstIndex");
    else
        setFirstIndex(m_operation->firstIndex());
}

void VLTMExportController::colorspaceAction() { write(m_colourSpacePopUp->currentData(), "colorspace"); }

void VLTMExportController::activateLayerByName()
{
    auto* layer = qobject_cast<VXLayer*>(m_layersPopUp->currentData().value<QObject*>());
    if (layer && drawing())
        drawing()->setActiveLayer(layer);
}

void VLTMExportController::allNoneAction(int segment)
{
    m_sourcesModel->setAllSourcesVisible(segment == 0);
}

void VLTMExportController::pathToFolderAction()
{
    platform::OpenPanel panel;
    panel.setCanChooseFiles(false);
    panel.setCanChooseDirectories(true);
    panel.setCanCreateDirectories(true);
    panel.setDirectoryURL(m_operation->folderURL());
    panel.beginSheetModalForWindowCompletionHandler(m_window, [this, panel](int result) {
        if (result != 1 || panel.URLs().isEmpty())
            return;
        const QUrl folder = panel.URLs().first();
        write(folder, "folderURL");
        platform::UserDefaults::standardUserDefaults()->setObjectForKey(folder.toLocalFile(),
                                                                        kVLTMExportOptionsFolderURL);
    });
}

void VLTMExportController::showInFinderAction()
{
    // A folder removed since it was chosen is made again, as exporting would.
    const QString folder = m_operation->folderURL().toLocalFile();
    if (!folder.isEmpty() && exportfolder::createFolder(folder))
        QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

void VLTMExportController::exportHelpAction()
{
    platform::invokeSelector(platform::Application::delegate(), "showHelpItemNamed", QStringLiteral("export"));
}

void VLTMExportController::activeLayerChanged()
{
    if (m_trampoline)
        m_trampoline->reloadData();
    updateActiveLayersControl();
}

// --- What the trampoline shows ---------------------------------------------------------------------------

void VLTMExportController::setFolderURL(const QUrl& url) { m_folderField->setText(url.toLocalFile()); }
void VLTMExportController::setDpi(double dpi) { m_dpiField->setText(QString::number(dpi, 'g', 6)); }

void VLTMExportController::setQuality(double quality)
{
    const QSignalBlocker quiet(m_qualityField);
    m_qualityField->setValue(qRound(quality * 100));
}

void VLTMExportController::setSourceType(int sourceType)
{
    LogEvent(kReactiveEvent, QStringLiteral("setting source type:%1").arg(sourceType));
    setChecked(m_sourceButtons, sourceType);
    applyControlStates();
    if (sourceType == kVLTMExportSelection) {
        VXDrawing* owner = drawing();
        if (owner && !owner->activeLayerOfClass<VXObjectDrawingLayer>())
            owner->setActiveLayer(owner->firstActivateableLayerOfClass(VXObjectDrawingLayer::staticMetaObject));
    }
    const qint64 format = exportsheet::formatForSourceType(sourceType, m_operation->format());
    if (format != m_operation->format())
        write(format, "format");
    prepareSourcesTableForSourceType(sourceType);
}

void VLTMExportController::setSources(const QVariant&)
{
    m_sourcesModel->reload();
    updateExportButton();
}

void VLTMExportController::setFormat(qint64 format)
{
    m_formatPopUp->setCurrentIndex(m_formatPopUp->findData(format));
    applyControlStates();
}

void VLTMExportController::setScale(double scale)
{
    const QSignalBlocker quiet(m_scaleField);
    m_scaleField->setValue(scale);
    m_sourcesModel->reload();
}

void VLTMExportController::setTransparent(bool transparent) { m_transparentCheckbox->setChecked(transparent); }
void VLTMExportController::setFileNameRoot(const QString& root) { m_rootField->setText(root); }

void VLTMExportController::setFileNamingOption(int)
{
    applyControlStates();
}

void VLTMExportController::setFirstIndex(quint64 index) { m_firstIndexField->setText(QString::number(index)); }

void VLTMExportController::setColorspace(const QString& identifier)
{
    if (const int index = m_colourSpacePopUp->findData(identifier); index >= 0)
        m_colourSpacePopUp->setCurrentIndex(index);
}

void VLTMExportController::setShowInFinder(bool flag) { m_showInFinderCheckbox->setChecked(flag); }
void VLTMExportController::setOverwriteExisting(bool flag) { m_overwriteCheckbox->setChecked(flag); }

// --- Display helpers -------------------------------------------------------------------------------------

void VLTMExportController::applyControlStates()
{
    const exportsheet::ControlStates states = exportsheet::controlStates(*m_operation);
    m_dpiField->setEnabled(states.bitmapSettingsEnabled);
    m_colourSpacePopUp->setEnabled(states.bitmapSettingsEnabled);
    m_scaleField->setEnabled(states.bitmapSettingsEnabled);
    m_qualityField->setEnabled(states.qualityEnabled);
    m_transparentCheckbox->setEnabled(states.transparencyEnabled);
    setItemEnabled(m_formatPopUp, m_formatPopUp->findData(qint64(kVLTMExportNative)), states.nativeFormatEnabled);
    namingButton(kVLTMNameRootAndIndex)->setEnabled(states.namingBySourceEnabled);
    namingButton(kVLTMNameRootAndName)->setEnabled(states.namingBySourceEnabled);
    setChecked(m_namingButtons, states.checkedNamingButton);
    m_firstIndexField->setEnabled(states.firstIndexEnabled);
    m_layersPopUp->setVisible(states.layersMenuShown);
}

void VLTMExportController::prepareSourcesTableForSourceType(int sourceType)
{
    const exportsheet::SourcesChoice choice = exportsheet::sourcesForSourceType(drawing(), sourceType);
    if (choice.changesSources) {
        LogEvent(kReactiveEvent, QStringLiteral("set export sources:%1").arg(choice.sources.size()));
        m_operation->setSources(choice.sources);
        m_sourcesTable->setEnabled(choice.tableEnabled);
    }
    m_sourcesModel->setNameHeader(choice.nameHeader);
    m_sourcesModel->reload();
    updateExportButton();
}

void VLTMExportController::updateExportButton()
{
    m_exportButton->setEnabled(m_operation && m_operation->canExport());
}

void VLTMExportController::populateColorspacesMenu()
{
    m_colourSpacePopUp->clear();
    bool greyStarted = false;
    for (const QString& identifier : exportcolour::identifiers()) {
        if (identifier == exportcolour::kGrey && !greyStarted && m_colourSpacePopUp->count() > 0) {
            m_colourSpacePopUp->insertSeparator(m_colourSpacePopUp->count());
            greyStarted = true;
        }
        m_colourSpacePopUp->addItem(exportcolour::displayName(identifier), identifier);
    }
}

void VLTMExportController::populateLayersActivationMenu()
{
    const QSignalBlocker quiet(m_layersPopUp);
    m_layersPopUp->clear();
    if (!drawing())
        return;
    for (const VXLayerPtr& layer : drawing()->flattenedLayers(true)) {
        const bool isGroup = qobject_cast<const VXLayerGroup*>(layer.get()) != nullptr;
        m_layersPopUp->addItem(isGroup ? layer->icon() : QIcon(),
                               QString(layer->level() * kIndentPerLevel, QLatin1Char(' ')) + layer->layerName(),
                               QVariant::fromValue<QObject*>(layer.get()));
        // Groups are listed with their members but cannot be chosen.
        if (isGroup)
            setItemEnabled(m_layersPopUp, m_layersPopUp->count() - 1, false);
    }
}

void VLTMExportController::updateActiveLayersControl()
{
    const QSignalBlocker quiet(m_layersPopUp);
    VXLayer* active = drawing() ? drawing()->activeLayer() : nullptr;
    m_layersPopUp->setCurrentIndex(m_layersPopUp->findData(QVariant::fromValue<QObject*>(active)));
}

QAbstractButton* VLTMExportController::sourceButton(int sourceType) const
{
    return m_sourceButtons->button(sourceType);
}

QAbstractButton* VLTMExportController::namingButton(int option) const
{
    return m_namingButtons->button(option);
}

// --- The window --------------------------------------------------------------------------------------------

void VLTMExportController::buildWindow()
{
    m_window = new QDialog;
    m_window->setWindowTitle(tr("Export"));
    auto* layout = new QVBoxLayout(m_window);

    auto* sources = new QHBoxLayout;
    sources->addWidget(new QLabel(tr("Export:"), m_window));
    m_sourceButtons = new QButtonGroup(m_window);
    const QList<std::pair<int, QString>> sourceTitles{{kVLTMExportDrawing, tr("Drawing")},
                                                      {kVLTMExportLayers, tr("Layers")},
                                                      {kVLTMExportSlices, tr("Slices")},
                                                      {kVLTMExportSelection, tr("Selected Objects")}};
    for (const auto& [type, title] : sourceTitles) {
        auto* button = new QRadioButton(title, m_window);
        m_sourceButtons->addButton(button, type);
        sources->addWidget(button);
    }
    connect(m_sourceButtons, &QButtonGroup::idClicked, this, &VLTMExportController::exportSourceTypeAction);
    m_layersPopUp = new QComboBox(m_window);
    m_layersPopUp->setIconSize(QSize(kLayerIconSize, kLayerIconSize));
    connect(m_layersPopUp, &QComboBox::activated, this, &VLTMExportController::activateLayerByName);
    sources->addWidget(m_layersPopUp);
    sources->addStretch();
    layout->addLayout(sources);

    m_sourcesModel = new ExportSourcesTableModel(this);
    m_sourcesModel->setOperation(m_operation);
    connect(m_sourcesModel, &ExportSourcesTableModel::visibilityEdited, this, &VLTMExportController::updateExportButton);
    m_sourcesTable = new QTableView(m_window);
    m_sourcesTable->setModel(m_sourcesModel);
    m_sourcesTable->verticalHeader()->hide();
    m_sourcesTable->setSelectionMode(QAbstractItemView::NoSelection);
    m_sourcesTable->horizontalHeader()->setSectionResizeMode(ExportSourcesTableModel::kName, QHeaderView::Stretch);
    m_sourcesTable->horizontalHeader()->setSectionResizeMode(ExportSourcesTableModel::kCheck, QHeaderView::ResizeToContents);
    m_sourcesTable->horizontalHeader()->setSectionResizeMode(ExportSourcesTableModel::kSize, QHeaderView::ResizeToContents);
    m_sourcesTable->setMinimumHeight(140);
    layout->addWidget(m_sourcesTable);
    auto* allNone = new QHBoxLayout;
    auto* segments = new QButtonGroup(m_window);
    for (const QString& title : {tr("All"), tr("None")}) {
        auto* segment = new QPushButton(title, m_window);
        segment->setAutoDefault(false);
        segments->addButton(segment, int(segments->buttons().size()));
        allNone->addWidget(segment);
    }
    connect(segments, &QButtonGroup::idClicked, this, &VLTMExportController::allNoneAction);
    allNone->addStretch();
    layout->addLayout(allNone);

    auto* settings = new QFormLayout;
    m_formatPopUp = new QComboBox(m_window);
    const QList<std::pair<qint64, QString>> formats{
        {kVLTMExportNative, tr("Map Document")}, {kVLTMExportPDF, tr("PDF")}, {kVLTMExportTIFF, tr("TIFF")},
        {kVLTMExportBMP, tr("BMP")},             {kVLTMExportGIF, tr("GIF")}, {kVLTMExportJPEG, tr("JPEG")},
        {kVLTMExportPNG, tr("PNG")}};
    for (const auto& [format, title] : formats)
        m_formatPopUp->addItem(title, format);
    connect(m_formatPopUp, &QComboBox::activated, this, &VLTMExportController::formatAction);
    settings->addRow(tr("Format:"), m_formatPopUp);
    m_dpiField = new QLineEdit(m_window);
    m_dpiField->setValidator(new platform::NumberFormatterValidator(boundedFormatter(1, 2400, true), m_dpiField));
    connect(m_dpiField, &QLineEdit::editingFinished, this, &VLTMExportController::dpiAction);
    settings->addRow(tr("Resolution (dpi):"), m_dpiField);
    m_scaleField = new QDoubleSpinBox(m_window);
    m_scaleField->setRange(0.01, 100);
    m_scaleField->setSingleStep(0.25);
    m_scaleField->setDecimals(2);
    connect(m_scaleField, &QDoubleSpinBox::valueChanged, this, &VLTMExportController::scaleAction);
    settings->addRow(tr("Scale:"), m_scaleField);
    m_qualityField = new QSpinBox(m_window);
    m_qualityField->setRange(0, 100);
    m_qualityField->setSuffix(QStringLiteral(" %"));
    connect(m_qualityField, &QSpinBox::valueChanged, this, &VLTMExportController::qualityAction);
    settings->addRow(tr("Quality:"), m_qualityField);
    m_colourSpacePopUp = new QComboBox(m_window);
    connect(m_colourSpacePopUp, &QComboBox::activated, this, &VLTMExportController::colorspaceAction);
    settings->addRow(tr("Colour space:"), m_colourSpacePopUp);
    m_transparentCheckbox = new QCheckBox(tr("Transparent background"), m_window);
    connect(m_transparentCheckbox, &QCheckBox::clicked, this, [this](bool on) { write(on, "transparent"); });
    settings->addRow(QString(), m_transparentCheckbox);

    m_rootField = new QLineEdit(m_window);
    connect(m_rootField, &QLineEdit::editingFinished, this, [this] { write(m_rootField->text(), "fileNameRoot"); });
    settings->addRow(tr("File name:"), m_rootField);
    auto* naming = new QHBoxLayout;
    m_namingButtons = new QButtonGroup(m_window);
    const QList<std::pair<int, QString>> namingTitles{{kVLTMNameRootAndIndex, tr("Number")},
                                                      {kVLTMNameRootAndName, tr("Source name")},
                                                      {kVLTMNameRootOnly, tr("None")}};
    for (const auto& [option, title] : namingTitles) {
        auto* button = new QRadioButton(title, m_window);
        m_namingButtons->addButton(button, option);
        naming->addWidget(button);
    }
    connect(m_namingButtons, &QButtonGroup::idClicked, this, &VLTMExportController::namingSchemeAction);
    m_firstIndexField = new QLineEdit(m_window);
    m_firstIndexField->setValidator(
        new platform::NumberFormatterValidator(boundedFormatter(0, 999999999, false), m_firstIndexField));
    m_firstIndexField->setMaximumWidth(90);
    connect(m_firstIndexField, &QLineEdit::editingFinished, this, &VLTMExportController::firstIndexAction);
    naming->addWidget(new QLabel(tr("starting at"), m_window));
    naming->addWidget(m_firstIndexField);
    naming->addStretch();
    settings->addRow(tr("Add:"), naming);

    auto* folder = new QHBoxLayout;
    m_folderField = new QLineEdit(m_window);
    m_folderField->setReadOnly(true);
    folder->addWidget(m_folderField);
    auto* choose = new QPushButton(tr("Choose..."), m_window);
    choose->setAutoDefault(false);
    connect(choose, &QPushButton::clicked, this, &VLTMExportController::pathToFolderAction);
    folder->addWidget(choose);
    auto* show = new QPushButton(tr("Show Folder"), m_window);
    show->setAutoDefault(false);
    connect(show, &QPushButton::clicked, this, &VLTMExportController::showInFinderAction);
    folder->addWidget(show);
    settings->addRow(tr("Folder:"), folder);
    m_showInFinderCheckbox = new QCheckBox(tr("Show the folder after exporting"), m_window);
    connect(m_showInFinderCheckbox, &QCheckBox::clicked, this, [this](bool on) { write(on, "showInFinder"); });
    settings->addRow(QString(), m_showInFinderCheckbox);
    m_overwriteCheckbox = new QCheckBox(tr("Overwrite existing files"), m_window);
    connect(m_overwriteCheckbox, &QCheckBox::clicked, this, [this](bool on) { write(on, "overwriteExisting"); });
    settings->addRow(QString(), m_overwriteCheckbox);
    layout->addLayout(settings);

    auto* buttons = new QHBoxLayout;
    auto* help = new QPushButton(QStringLiteral("?"), m_window);
    help->setAutoDefault(false);
    help->setFixedWidth(28);
    connect(help, &QPushButton::clicked, this, &VLTMExportController::exportHelpAction);
    buttons->addWidget(help);
    buttons->addStretch();
    auto* cancel = new QPushButton(tr("Cancel"), m_window);
    cancel->setAutoDefault(false);
    connect(cancel, &QPushButton::clicked, this, &VLTMExportController::cancelAction);
    buttons->addWidget(cancel);
    m_exportButton = new QPushButton(tr("Export"), m_window);
    m_exportButton->setDefault(true);
    connect(m_exportButton, &QPushButton::clicked, this, &VLTMExportController::exportAction);
    buttons->addWidget(m_exportButton);
    layout->addLayout(buttons);
}

const platform::DisplayBindings& VLTMExportController::displayBindings() const
{
    using Self = VLTMExportController;
    static const auto bindings = platform::DisplayBindings()
        .bind(QStringLiteral("folderURL"), &Self::setFolderURL)
        .bind(QStringLiteral("dpi"), &Self::setDpi)
        .bind(QStringLiteral("quality"), &Self::setQuality)
        .bind(QStringLiteral("sourceType"), &Self::setSourceType)
        .bind(QStringLiteral("sources"), &Self::setSources)
        .bind(QStringLiteral("format"), &Self::setFormat)
        .bind(QStringLiteral("scale"), &Self::setScale)
        .bind(QStringLiteral("transparent"), &Self::setTransparent)
        .bind(QStringLiteral("fileNameRoot"), &Self::setFileNameRoot)
        .bind(QStringLiteral("fileNamingOption"), &Self::setFileNamingOption)
        .bind(QStringLiteral("firstIndex"), &Self::setFirstIndex)
        .bind(QStringLiteral("colorspace"), &Self::setColorspace)
        .bind(QStringLiteral("showInFinder"), &Self::setShowInFinder)
        .bind(QStringLiteral("overwriteExisting"), &Self::setOverwriteExisting);
    return bindings;
}
