#include "library/sheets/VXQLibrarySymbolImportController.h"

#include "library/sheets/SymbolSheetRules.h"
#include "library/tree/VXQLibraryElementContainer.h"
#include "platform/foundation/Markers.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/ZQLog.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Application.h"
#include "platform/ui/Sheet.h"
#include "symbols/masters/VXQSymbolMaster.h"
#include "symbols/sequences/SequenceNumbering.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// Tells the sheet's own observations from any other the symbol may carry.
int kSymbolObservationContext = 0;

VXQLibrarySymbolImportController::AlertRunner s_alertRunner;

void setCheckedQuietly(QCheckBox* box, bool on)
{
    const QSignalBlocker quiet(box);
    box->setChecked(on);
}

} // namespace

VXQLibrarySymbolImportController::VXQLibrarySymbolImportController()
{
    initWithWindowNibName(QStringLiteral("SymbolImport"));
}

VXQLibrarySymbolImportController::~VXQLibrarySymbolImportController()
{
    stopObservingSymbol(m_currSymbolRef);
    delete m_applyToAllCllr;
    if (isWindowLoaded())
        delete window();
}

void VXQLibrarySymbolImportController::setAlertRunner(AlertRunner runner)
{
    s_alertRunner = std::move(runner);
}

bool VXQLibrarySymbolImportController::delegateIsAlive() const
{
    return m_delegateRef && m_delegateObject;
}

int VXQLibrarySymbolImportController::runAlert(platform::Alert& alert) const
{
    return s_alertRunner ? s_alertRunner(alert) : alert.runModal();
}

QList<VXQLibraryItemPtr> VXQLibrarySymbolImportController::editableSymbolsFromArray(const QList<VXQLibraryItemPtr>& items)
{
    QList<VXQLibraryItemPtr> symbols;
    for (const VXQLibraryItemPtr& item : items)
        if (item && item->classCode() == 2)
            symbols.append(item);
    return symbols;
}

// --- The sheet ---------------------------------------------------------------------------------

QLabel* VXQLibrarySymbolImportController::itemsInfoLabel() const
{
    return m_itemsInfoLabel;
}

QLabel* VXQLibrarySymbolImportController::previewImage() const
{
    return m_previewImage;
}

QLineEdit* VXQLibrarySymbolImportController::nameField() const
{
    return m_nameTextField;
}

QLineEdit* VXQLibrarySymbolImportController::descriptionField() const
{
    return m_descriptionTextField;
}

QCheckBox* VXQLibrarySymbolImportController::sequenceableCheckbox() const
{
    return m_sequenceableCheckbox;
}

QComboBox* VXQLibrarySymbolImportController::defaultSequenceKindPopUp() const
{
    return m_defaultSequenceKindPopUpButton;
}

QCheckBox* VXQLibrarySymbolImportController::autoDetachCheckbox() const
{
    return m_autoDetachCheckbox;
}

QCheckBox* VXQLibrarySymbolImportController::copyStyleCheckbox() const
{
    return m_copyStyleCheckbox;
}

QCheckBox* VXQLibrarySymbolImportController::lockedCheckbox() const
{
    return m_lockedCheckbox;
}

QLineEdit* VXQLibrarySymbolImportController::prescaleField() const
{
    return m_prescaleTextField;
}

QDoubleSpinBox* VXQLibrarySymbolImportController::prescaleStepper() const
{
    return m_prescaleStepper;
}

QPushButton* VXQLibrarySymbolImportController::previousButton() const
{
    return m_previousItemButton;
}

QPushButton* VXQLibrarySymbolImportController::nextButton() const
{
    return m_nextItemButton;
}

QPushButton* VXQLibrarySymbolImportController::applyToAllButton() const
{
    return m_applyToAllButton;
}

QDialog* VXQLibrarySymbolImportController::sheet() const
{
    return qobject_cast<QDialog*>(const_cast<VXQLibrarySymbolImportController*>(this)->window());
}

QWidget* VXQLibrarySymbolImportController::loadWindow()
{
    auto* dialog = new QDialog;
    dialog->setObjectName(QStringLiteral("SymbolImport"));
    dialog->setWindowTitle(tr("Edit Symbols"));

    m_previewImage = new QLabel(dialog);
    m_previewImage->setFixedSize(128, 128);
    m_previewImage->setAlignment(Qt::AlignCenter);
    m_itemsInfoLabel = new QLabel(dialog);
    m_previousItemButton = new QPushButton(QStringLiteral("◀"), dialog);
    m_nextItemButton = new QPushButton(QStringLiteral("▶"), dialog);
    connect(m_previousItemButton, &QPushButton::clicked, this, [this] { previousItemAction(m_previousItemButton); });
    connect(m_nextItemButton, &QPushButton::clicked, this, [this] { nextItemAction(m_nextItemButton); });
    auto* navigation = new QHBoxLayout;
    navigation->addWidget(m_previousItemButton);
    navigation->addWidget(m_itemsInfoLabel, 1, Qt::AlignCenter);
    navigation->addWidget(m_nextItemButton);

    m_nameTextField = new QLineEdit(dialog);
    m_nameTextField->setObjectName(QStringLiteral("name"));
    connect(m_nameTextField, &QLineEdit::editingFinished, this, [this] { commitName(); });
    m_descriptionTextField = new QLineEdit(dialog);
    connect(m_descriptionTextField, &QLineEdit::editingFinished, this, [this] { commitDescription(); });
    m_autoDetachCheckbox = new QCheckBox(tr("Place as plain graphics (detach from the symbol)"), dialog);
    connect(m_autoDetachCheckbox, &QCheckBox::clicked, this, [this] { autoDetachAction(m_autoDetachCheckbox); });
    m_copyStyleCheckbox = new QCheckBox(tr("Copy the symbol's style into placed symbols"), dialog);
    connect(m_copyStyleCheckbox, &QCheckBox::clicked, this, [this] { copyStylesAction(m_copyStyleCheckbox); });
    m_sequenceableCheckbox = new QCheckBox(tr("Sequenceable"), dialog);
    connect(m_sequenceableCheckbox, &QCheckBox::clicked, this, [this] { sequenceableAction(m_sequenceableCheckbox); });
    m_defaultSequenceKindPopUpButton = new QComboBox(dialog);
    for (int kind = 0; kind <= sequencenumbering::kLastKind; ++kind)
        m_defaultSequenceKindPopUpButton->addItem(sequencenumbering::displayNameForSequenceKind(kind), kind);
    connect(m_defaultSequenceKindPopUpButton, &QComboBox::activated, this,
            [this] { defaultSequenceKindAction(m_defaultSequenceKindPopUpButton); });
    m_lockedCheckbox = new QCheckBox(tr("Locked"), dialog);
    connect(m_lockedCheckbox, &QCheckBox::clicked, this, [this] { lockAction(m_lockedCheckbox); });
    m_prescaleTextField = new QLineEdit(dialog);
    m_prescaleTextField->setMaximumWidth(80);
    connect(m_prescaleTextField, &QLineEdit::editingFinished, this, [this] { commitPrescale(); });
    m_prescaleStepper = new QDoubleSpinBox(dialog);
    m_prescaleStepper->setRange(0.05, symbolsheets::kLargestPrescale);
    m_prescaleStepper->setSingleStep(0.05);
    m_prescaleStepper->setDecimals(2);
    connect(m_prescaleStepper, &QDoubleSpinBox::valueChanged, this, [this] { prescaleAction(m_prescaleStepper); });
    auto* prescaleRow = new QHBoxLayout;
    prescaleRow->addWidget(m_prescaleTextField);
    prescaleRow->addWidget(m_prescaleStepper);
    prescaleRow->addStretch();
    auto* sequenceRow = new QHBoxLayout;
    sequenceRow->addWidget(m_sequenceableCheckbox);
    sequenceRow->addWidget(m_defaultSequenceKindPopUpButton);
    sequenceRow->addStretch();

    auto* form = new QFormLayout;
    form->addRow(tr("Name:"), m_nameTextField);
    form->addRow(tr("Description:"), m_descriptionTextField);
    form->addRow(QString(), m_autoDetachCheckbox);
    form->addRow(QString(), m_copyStyleCheckbox);
    form->addRow(tr("Sequence:"), sequenceRow);
    form->addRow(tr("Prescale:"), prescaleRow);
    form->addRow(QString(), m_lockedCheckbox);

    m_applyToAllButton = new QPushButton(tr("Apply to All..."), dialog);
    connect(m_applyToAllButton, &QPushButton::clicked, this, [this] { applyToAllAction(m_applyToAllButton); });
    m_applyToAllBusyIndicator = new QProgressBar(dialog);
    m_applyToAllBusyIndicator->setRange(0, 0);
    m_applyToAllBusyIndicator->setMaximumWidth(60);
    m_applyToAllBusyIndicator->setVisible(false);
    m_saveButton = new QPushButton(tr("Done"), dialog);
    m_saveButton->setDefault(true);
    connect(m_saveButton, &QPushButton::clicked, this, [this] { saveAction(m_saveButton); });
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_applyToAllButton);
    buttons->addWidget(m_applyToAllBusyIndicator);
    buttons->addStretch();
    buttons->addWidget(m_saveButton);

    auto* top = new QHBoxLayout;
    top->addWidget(m_previewImage);
    top->addLayout(form, 1);
    auto* layout = new QVBoxLayout(dialog);
    layout->addLayout(navigation);
    layout->addLayout(top);
    layout->addLayout(buttons);
    return dialog;
}

void VXQLibrarySymbolImportController::beginSymbolEditWithSymbolsOnParentWindowDelegate(
    const QList<VXQLibraryItemPtr>& items, QWidget* parent, VXQLibrarySymbolImportDelegate* delegate)
{
    m_delegateRef = delegate;
    m_delegateObject = dynamic_cast<QObject*>(delegate);
    platform::Sheet::beginSheetModalForWindowCompletionHandler(sheet(), parent, [this](int code) { sheetDidEnd(code); });
    setSymbols(items);
}

void VXQLibrarySymbolImportController::setSymbols(const QList<VXQLibraryItemPtr>& items)
{
    sheet();
    if (m_selectedItem >= 0) {
        if (!endEditing())
            return;
        stopObservingSymbol(m_currSymbolRef);
    }
    m_content = editableSymbolsFromArray(items);
    m_selectedItem = -1;
    m_currSymbolRef = nullptr;
    platform::RunLoop::cancelPreviousPerformRequests(this, "selectFirstSymbol", {});
    platform::RunLoop::performAfterDelay(this, [this] { selectFirstSymbol(); }, 0, "selectFirstSymbol");
}

VXQSymbolMaster* VXQLibrarySymbolImportController::selectedSymbol() const
{
    return m_currSymbolRef;
}

VXQLibraryItemPtr VXQLibrarySymbolImportController::selectedLibraryItem() const
{
    return m_selectedItem >= 0 && m_selectedItem < m_content.size() ? m_content[m_selectedItem] : nullptr;
}

// --- Moving between items ----------------------------------------------------------------------------

void VXQLibrarySymbolImportController::selectSymbolAtIndex(qsizetype index)
{
    sheet();
    // A master a damaged package cannot give is left out instead of stopping the sheet.
    while (index >= 0 && index < m_content.size() && !m_content[index]->symbolMaster()) {
        LogEvent(kFileEvent, QStringLiteral("symbol '%1' could not be loaded; it is left out").arg(m_content[index]->name()));
        m_content.removeAt(index);
        if (m_selectedItem > index)
            --m_selectedItem;
    }
    if (index == m_selectedItem && index >= 0 && index < m_content.size())
        return;
    if (!endEditing()) {
        platform::Application::beep();
        return;
    }
    stopObservingSymbol(m_currSymbolRef);
    m_currSymbolRef = nullptr;
    if (index < 0 || index >= m_content.size()) {
        m_selectedItem = -1;
        m_itemsInfoLabel->setText(tr("Nothing To Edit"));
        for (QWidget* control : std::initializer_list<QWidget*>{m_nameTextField, m_descriptionTextField, m_sequenceableCheckbox,
                                                                 m_copyStyleCheckbox, m_autoDetachCheckbox, m_previewImage,
                                                                 m_defaultSequenceKindPopUpButton, m_prescaleTextField,
                                                                 m_prescaleStepper, m_lockedCheckbox})
            control->setEnabled(false);
    } else {
        m_selectedItem = index;
        m_currSymbolRef = m_content[index]->symbolMaster().get();
        m_lockedCheckbox->setEnabled(true);
        startObservingSymbol(m_currSymbolRef);
        showEditingLabel();
        m_previewImage->setEnabled(true);
        m_nameTextField->setFocus();
    }
    conditionallyEnableNavigationButtons();
}

void VXQLibrarySymbolImportController::conditionallyEnableNavigationButtons()
{
    const bool current = m_selectedItem >= 0;
    m_previousItemButton->setEnabled(current && m_selectedItem > 0);
    m_nextItemButton->setEnabled(current && m_selectedItem < m_content.size() - 1);
    m_applyToAllButton->setVisible(m_content.size() != 1);
}

void VXQLibrarySymbolImportController::showEditingLabel()
{
    m_itemsInfoLabel->setText(tr("Editing %1 of %2").arg(m_selectedItem + 1).arg(m_content.size()));
    showPreviewOf(selectedLibraryItem());
}

void VXQLibrarySymbolImportController::showPreviewOf(const VXQLibraryItemPtr& item)
{
    const QImage preview = item ? item->previewImage() : QImage();
    m_previewImage->setPixmap(preview.isNull() ? QPixmap() : QPixmap::fromImage(preview.scaled(128, 128, Qt::KeepAspectRatio)));
}

void VXQLibrarySymbolImportController::nextItemAction(QObject*)
{
    if (m_selectedItem >= 0 && m_selectedItem + 1 < m_content.size())
        selectSymbolAtIndex(m_selectedItem + 1);
}

void VXQLibrarySymbolImportController::previousItemAction(QObject*)
{
    if (m_selectedItem > 0)
        selectSymbolAtIndex(m_selectedItem - 1);
}

// --- Observing the current symbol ----------------------------------------------------------------------

void VXQLibrarySymbolImportController::startObservingSymbol(VXQSymbolMaster* symbol)
{
    if (!symbol)
        return;
    for (const QString& keyPath : VXQSymbolMaster::observableKeyPaths())
        symbol->addObserverForKeyPathOptionsContext(this, keyPath, platform::KeyValueObservingOptionNew,
                                                    &kSymbolObservationContext);
    symbol->sendInitialValuesForAllPropertiesToObserver(this, &kSymbolObservationContext);
}

void VXQLibrarySymbolImportController::stopObservingSymbol(VXQSymbolMaster* symbol)
{
    if (!symbol)
        return;
    for (const QString& keyPath : VXQSymbolMaster::observableKeyPaths())
        symbol->removeObserverForKeyPathContext(this, keyPath, &kSymbolObservationContext);
}

void VXQLibrarySymbolImportController::observeValueForKeyPathOfObjectChangeContext(const QString& keyPath, ZQObject* object,
                                                                                   const platform::KeyValueChange& change,
                                                                                   void* context)
{
    if (context != &kSymbolObservationContext || object != m_currSymbolRef)
        return;
    const QVariant value = platform::isNull(change.newValue) ? QVariant() : change.newValue;
    // Each observed key lands on the sheet's setter of the same name; others are ignored.
    static const QHash<QString, std::function<void(VXQLibrarySymbolImportController&, const QVariant&)>> setters{
        {QStringLiteral("name"), [](auto& sheet, const QVariant& v) { sheet.setName(v.toString()); }},
        {QStringLiteral("userDescription"), [](auto& sheet, const QVariant& v) { sheet.setUserDescription(v.toString()); }},
        {QStringLiteral("sequenceable"), [](auto& sheet, const QVariant& v) { sheet.setSequenceable(v.toBool()); }},
        {QStringLiteral("defaultSequenceKind"), [](auto& sheet, const QVariant& v) { sheet.setDefaultSequenceKind(v.toInt()); }},
        {QStringLiteral("autoDetachesInstances"), [](auto& sheet, const QVariant& v) { sheet.setAutoDetachesInstances(v.toBool()); }},
        {QStringLiteral("detachesStyle"), [](auto& sheet, const QVariant& v) { sheet.setDetachesStyle(v.toBool()); }},
        {QStringLiteral("image"), [](auto& sheet, const QVariant&) { sheet.setImage(); }},
        {QStringLiteral("locked"), [](auto& sheet, const QVariant& v) { sheet.setLocked(v.toBool()); }},
        {QStringLiteral("prescale"), [](auto& sheet, const QVariant& v) { sheet.setPrescale(v.toDouble()); }},
    };
    if (const auto setter = setters.find(keyPath); setter != setters.end())
        (*setter)(*this, value);
}

// --- Values shown ------------------------------------------------------------------------------------------

void VXQLibrarySymbolImportController::setName(const QString& name)
{
    m_nameTextField->setText(name);
}

void VXQLibrarySymbolImportController::setUserDescription(const QString& description)
{
    m_descriptionTextField->setText(description);
}

void VXQLibrarySymbolImportController::setSequenceable(bool sequenceable)
{
    m_sequenceable = sequenceable;
    applyControlStates();
}

void VXQLibrarySymbolImportController::setDefaultSequenceKind(int kind)
{
    m_defaultSequenceKindPopUpButton->setCurrentIndex(m_defaultSequenceKindPopUpButton->findData(kind));
}

void VXQLibrarySymbolImportController::setAutoDetachesInstances(bool autoDetaches)
{
    m_autoDetaches = autoDetaches;
    setCheckedQuietly(m_autoDetachCheckbox, autoDetaches);
    applyControlStates();
}

void VXQLibrarySymbolImportController::setDetachesStyle(bool detaches)
{
    setCheckedQuietly(m_copyStyleCheckbox, detaches);
}

void VXQLibrarySymbolImportController::setImage()
{
    showPreviewOf(selectedLibraryItem());
}

void VXQLibrarySymbolImportController::setLocked(bool locked)
{
    m_locked = locked;
    setCheckedQuietly(m_lockedCheckbox, locked);
    applyControlStates();
}

void VXQLibrarySymbolImportController::setPrescale(double prescale)
{
    m_prescale = prescale;
    m_prescaleTextField->setText(QLocale::c().toString(prescale, 'g', 6));
    const QSignalBlocker quiet(m_prescaleStepper);
    m_prescaleStepper->setValue(prescale);
}

void VXQLibrarySymbolImportController::applyControlStates()
{
    const symbolsheets::ControlStates states = symbolsheets::controlStatesFor(m_locked, m_autoDetaches, m_sequenceable);
    for (QWidget* control : std::initializer_list<QWidget*>{m_nameTextField, m_descriptionTextField, m_copyStyleCheckbox,
                                                             m_autoDetachCheckbox, m_prescaleTextField, m_prescaleStepper})
        control->setEnabled(states.fields);
    m_sequenceableCheckbox->setEnabled(states.sequenceable);
    m_defaultSequenceKindPopUpButton->setEnabled(states.sequenceKind);
    setCheckedQuietly(m_sequenceableCheckbox, states.sequenceableShown);
}

// --- Committing fields -----------------------------------------------------------------------------------------

bool VXQLibrarySymbolImportController::endEditing()
{
    if (m_selectedItem < 0 || !m_currSymbolRef)
        return true;
    if (!commitName())
        return false;
    commitDescription();
    commitPrescale();
    return true;
}

bool VXQLibrarySymbolImportController::commitName()
{
    const VXQLibraryItemPtr item = selectedLibraryItem();
    if (!item || !m_currSymbolRef)
        return true;
    const QString current = m_currSymbolRef->name();
    QString proposed = VXQLibraryItem::cleanedName(m_nameTextField->text().trimmed());
    if (proposed == current) {
        m_nameTextField->setText(current);
        return true;
    }
    if (proposed.isEmpty() || (delegateIsAlive() && !m_delegateRef->validateSymbolNameForLibraryItemEditor(proposed, item.get(), this))) {
        platform::Application::beep();
        if (!proposed.isEmpty()) {
            platform::Alert alert;
            alert.setMessageText(tr("Name In Use"));
            alert.setInformativeText(tr("The name “%1” is already in use. Symbol and Style names must be unique within a "
                                        "library.")
                                         .arg(m_nameTextField->text()));
            alert.addButtonWithTitle(tr("OK"));
            runAlert(alert);
        }
        m_nameTextField->setText(current);
        m_nameTextField->selectAll();
        return false;
    }
    m_nameTextField->setText(proposed);
    nameAction(m_nameTextField);
    return true;
}

void VXQLibrarySymbolImportController::commitDescription()
{
    if (m_currSymbolRef && m_descriptionTextField->text() != m_currSymbolRef->userDescription())
        descriptionAction(m_descriptionTextField);
}

void VXQLibrarySymbolImportController::commitPrescale()
{
    if (!m_currSymbolRef || m_prescaleTextField->text() == QLocale::c().toString(m_prescale, 'g', 6))
        return;
    // Text, negative, endless or huge scales are refused: the field shows the symbol's again.
    if (const auto prescale = symbolsheets::prescaleFromText(m_prescaleTextField->text())) {
        m_currSymbolRef->setPrescale(*prescale);
        return;
    }
    platform::Application::beep();
    setPrescale(m_currSymbolRef->prescale());
}

// --- Actions ---------------------------------------------------------------------------------------------------------

void VXQLibrarySymbolImportController::saveAction(QObject*)
{
    if (endEditing())
        platform::Sheet::endSheetReturnCode(sheet(), platform::Sheet::kDefaultReturn);
}

void VXQLibrarySymbolImportController::nameAction(QObject*)
{
    if (const VXQLibraryItemPtr item = selectedLibraryItem())
        item->setName(m_nameTextField->text());
}

void VXQLibrarySymbolImportController::descriptionAction(QObject*)
{
    if (const VXQLibraryItemPtr item = selectedLibraryItem())
        item->setUserDescription(m_descriptionTextField->text());
}

void VXQLibrarySymbolImportController::autoDetachAction(QObject*)
{
    if (endEditing() && m_currSymbolRef)
        m_currSymbolRef->setAutoDetachesInstances(m_autoDetachCheckbox->isChecked());
}

void VXQLibrarySymbolImportController::copyStylesAction(QObject*)
{
    if (endEditing() && m_currSymbolRef)
        m_currSymbolRef->setDetachesStyle(m_copyStyleCheckbox->isChecked());
}

void VXQLibrarySymbolImportController::sequenceableAction(QObject*)
{
    if (endEditing() && m_currSymbolRef)
        m_currSymbolRef->setSequenceable(m_sequenceableCheckbox->isChecked());
}

void VXQLibrarySymbolImportController::defaultSequenceKindAction(QObject*)
{
    if (endEditing() && m_currSymbolRef)
        m_currSymbolRef->setDefaultSequenceKind(m_defaultSequenceKindPopUpButton->currentData().toInt());
}

void VXQLibrarySymbolImportController::prescaleAction(QObject* sender)
{
    const auto* stepper = qobject_cast<const QDoubleSpinBox*>(sender);
    if (stepper && endEditing() && m_currSymbolRef)
        m_currSymbolRef->setPrescale(stepper->value());
}

void VXQLibrarySymbolImportController::lockAction(QObject*)
{
    if (!endEditing())
        return;
    if (const VXQLibraryItemPtr item = selectedLibraryItem())
        item->setLocked(m_lockedCheckbox->isChecked());
}

void VXQLibrarySymbolImportController::applyToAllAction(QObject*)
{
    m_applyToAllSettings.reset();
    if (!endEditing())
        return;
    platform::Application::beep();
    if (!m_applyToAllCllr)
        m_applyToAllCllr = new VXQLibrarySymbolApplyToAllController;
    m_applyToAllCllr->runApplyToAllDialogOnParentWindowWithDelegate(nullptr, this);
}

void VXQLibrarySymbolImportController::sheetDidEnd(int returnCode)
{
    stopObservingSymbol(m_currSymbolRef);
    m_currSymbolRef = nullptr;
    m_selectedItem = -1;
    // Every edit is made at once and there is no Cancel: a sheet closed any other way (Escape)
    // has ended as Done has, or its owner would think it still open.
    Q_UNUSED(returnCode)
    if (delegateIsAlive())
        m_delegateRef->symbolEditDidEnd(this);
}

// --- Apply to all -----------------------------------------------------------------------------------------------------

qsizetype VXQLibrarySymbolImportController::numberOfItemsForApplyToAllDialog(VXQLibrarySymbolApplyToAllController*)
{
    return m_content.size();
}

QStringList VXQLibrarySymbolImportController::defaultKeysForApplyToAllDialog(VXQLibrarySymbolApplyToAllController*)
{
    return symbolsheets::defaultApplyToAllKeys();
}

QVariantMap VXQLibrarySymbolImportController::settingsForApplyToAllDialog(VXQLibrarySymbolApplyToAllController*)
{
    if (!m_applyToAllSettings) {
        QVariantMap settings;
        if (!m_nameTextField->text().isEmpty())
            settings.insert(QStringLiteral("name"), m_nameTextField->text());
        if (!m_descriptionTextField->text().isEmpty())
            settings.insert(QStringLiteral("userDescription"), m_descriptionTextField->text());
        settings.insert(QStringLiteral("autoDetachesInstances"), m_autoDetachCheckbox->isChecked());
        settings.insert(QStringLiteral("sequenceable"), m_sequenceableCheckbox->isChecked());
        settings.insert(QStringLiteral("locked"), m_lockedCheckbox->isChecked());
        settings.insert(QStringLiteral("prescale"), m_prescale);
        settings.insert(QStringLiteral("defaultSequenceKind"), m_defaultSequenceKindPopUpButton->currentData().toInt());
        m_applyToAllSettings = settings;
    }
    return *m_applyToAllSettings;
}

void VXQLibrarySymbolImportController::applyToAllDialogEndedWithKeys(VXQLibrarySymbolApplyToAllController* dialog,
                                                                     const QStringList& keys)
{
    m_applyToAllBusyIndicator->setVisible(true);
    applyToAllWithKeyMask(settingsForApplyToAllDialog(dialog), keys);
    m_applyToAllBusyIndicator->setVisible(false);
}

void VXQLibrarySymbolImportController::applyToAllWithKeyMask(const QVariantMap& settings, const std::optional<QStringList>& keys)
{
    const QStringList keyList = keys.value_or(symbolsheets::defaultApplyToAllKeys());
    QStringList described;
    for (auto it = settings.begin(); it != settings.end(); ++it)
        described.append(it.key() + QStringLiteral(" = ") + it.value().toString());
    LogEvent(kInfoEvent, QStringLiteral("applying to all: {%1}").arg(described.join(QStringLiteral("; "))));
    LogEvent(kInfoEvent, QStringLiteral("key mask = (%1)").arg(keyList.join(QStringLiteral(", "))));

    // The current symbol's controls follow its own changes; the others are set unobserved.
    const QList<VXQLibraryItemPtr> items = m_content;
    for (qsizetype n = 0; n < items.size(); ++n) {
        const VXQLibraryItemPtr& item = items[n];
        m_itemsInfoLabel->setText(tr("Processing %1 of %2").arg(n + 1).arg(items.size()));
        showPreviewOf(item);
        window()->repaint();
        if (!item->symbolMaster()) {
            LogEvent(kFileEvent, QStringLiteral("symbol '%1' could not be loaded; left as it was").arg(item->name()));
            continue;
        }
        const bool wasLocked = item->locked();
        item->setLocked(false);
        bool lockApplied = false;
        for (const QString& key : keyList) {
            if (!settings.contains(key))
                continue;
            item->setValueForKey(settings.value(key), key);
            lockApplied |= key == QLatin1String("locked");
        }
        if (!lockApplied)
            item->setLocked(wasLocked);
    }
    if (m_selectedItem >= 0)
        showEditingLabel();
    else
        m_itemsInfoLabel->setText(tr("Nothing To Edit"));
    window()->repaint();
}
