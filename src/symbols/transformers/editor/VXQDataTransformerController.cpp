#include "symbols/transformers/editor/VXQDataTransformerController.h"

#include "platform/foundation/MetaInvoke.h"
#include "platform/foundation/NamedException.h"
#include "platform/ui/Application.h"
#include "platform/ui/Sheet.h"
#include "symbols/transformers/editor/VXQBinningController.h"
#include "symbols/transformers/editor/ReturnKeyFilter.h"
#include "symbols/transformers/editor/VXQBinningView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace {

VXQDataTransformerPtr transformerOfVariant(const QVariant& value)
{
    if (value.metaType() == QMetaType::fromType<VXQDataTransformerPtr>())
        return value.value<VXQDataTransformerPtr>();
    if (value.metaType() == QMetaType::fromType<ZQObjectPtr>())
        return std::dynamic_pointer_cast<VXQDataTransformer>(value.value<ZQObjectPtr>());
    return nullptr;
}

// What a field or combo box shows.
QString textOfSender(QObject* sender)
{
    if (const auto* comboBox = qobject_cast<QComboBox*>(sender))
        return comboBox->currentText();
    return sender ? sender->property("text").toString() : QString();
}

} // namespace

VXQDataTransformerController::VXQDataTransformerController() : m_binningController(std::make_shared<VXQBinningController>())
{
    initWithWindowNibName(QStringLiteral("QuorvaneDataTransformer"));
    m_binningController->setDelegate(this);
}

VXQDataTransformerController::~VXQDataTransformerController() = default;

QDialog* VXQDataTransformerController::sheet()
{
    return qobject_cast<QDialog*>(window());
}

QWidget* VXQDataTransformerController::loadWindow()
{
    auto* dialog = new QDialog;
    dialog->setWindowTitle(tr("Data Transformer"));

    m_nameTextField = new QLineEdit(dialog);
    connect(m_nameTextField, &QLineEdit::editingFinished, this, [this] { nameAction(m_nameTextField); });
    m_outputPropertiesComboBox = new QComboBox(dialog);
    connect(m_outputPropertiesComboBox, &QComboBox::activated, this,
            [this] { outputPropertyAction(m_outputPropertiesComboBox); });
    m_formulaTextField = new QLineEdit(dialog);
    m_formulaTextField->setPlaceholderText(tr("for example (POPULATION / 10000) + 0.5"));
    const auto commitFormula = [this] {
        if (m_formulaTextField->isModified())
            formulaAction(m_formulaTextField);
        m_formulaTextField->setModified(false);
    };
    connect(m_formulaTextField, &QLineEdit::editingFinished, this, commitFormula);
    new ReturnKeyFilter(m_formulaTextField, commitFormula);
    m_checkFormulaButton = new QPushButton(tr("Check"), dialog);
    m_checkFormulaButton->setAutoDefault(false);
    connect(m_checkFormulaButton, &QPushButton::clicked, this, [this] { checkFormulaAction(m_checkFormulaButton); });
    m_resultTextField = new QLineEdit(dialog);
    m_resultTextField->setReadOnly(true);
    m_useBinningCheckbox = new QCheckBox(tr("Sort the result into bins"), dialog);
    connect(m_useBinningCheckbox, &QCheckBox::clicked, this, [this] { useBinningAction(m_useBinningCheckbox); });

    auto* formulaRow = new QHBoxLayout;
    formulaRow->addWidget(m_formulaTextField, 1);
    formulaRow->addWidget(m_checkFormulaButton);
    auto* form = new QFormLayout;
    form->addRow(tr("Name:"), m_nameTextField);
    form->addRow(tr("Drives:"), m_outputPropertiesComboBox);
    form->addRow(tr("Formula:"), formulaRow);
    form->addRow(tr("Result:"), m_resultTextField);

    m_binningView = new VXQBinningView(dialog);
    m_binningController->loadIntoView(m_binningView);

    auto* buttons = new QDialogButtonBox(dialog);
    m_cancelButton = buttons->addButton(QDialogButtonBox::Cancel);
    m_okButton = buttons->addButton(QDialogButtonBox::Ok);
    m_okButton->setDefault(true);
    connect(m_cancelButton, &QPushButton::clicked, this, [this] { cancelButtonAction(m_cancelButton); });
    connect(m_okButton, &QPushButton::clicked, this, [this] { okButtonAction(m_okButton); });

    auto* layout = new QVBoxLayout(dialog);
    layout->addLayout(form);
    layout->addWidget(m_useBinningCheckbox);
    layout->addWidget(m_binningView, 1);
    layout->addWidget(buttons);
    dialog->resize(520, 460);
    return dialog;
}

void VXQDataTransformerController::windowDidLoad()
{
    fetchTransformer();
}

// --- Opening and ending ----------------------------------------------------------------------------------

void VXQDataTransformerController::beginDataTransformerEditorInParentWindowWithDelegate(QWidget* parentWindow,
                                                                                       QObject* delegate)
{
    m_delegateRef = delegate;
    QDialog* dialog = sheet();
    fetchTransformer();
    platform::Sheet::beginSheetModalForWindowCompletionHandler(
        dialog, parentWindow, [this](int code) { sheetDidEndReturnCodeContextInfo(code, kVXQDataTransformerSheetContext); });
}

void VXQDataTransformerController::cancelButtonAction(QObject*)
{
    platform::Sheet::endSheetReturnCode(sheet(), platform::Sheet::kCancelReturn);
}

void VXQDataTransformerController::okButtonAction(QObject*)
{
    platform::Sheet::endSheetReturnCode(sheet(), platform::Sheet::kDefaultReturn);
}

void VXQDataTransformerController::sheetDidEndReturnCodeContextInfo(int returnCode, const QString&)
{
    QDialog* dialog = sheet();
    // Text still being typed counts, as if its field had been left.
    if (QWidget* focus = dialog->focusWidget())
        focus->clearFocus();
    dialog->hide();
    if (returnCode == platform::Sheet::kDefaultReturn && m_dataTransformer)
        askDelegate("setDataTransformer", {QVariant::fromValue(m_dataTransformer)});
}

// --- Loading the transformer -----------------------------------------------------------------------------

void VXQDataTransformerController::fetchTransformer()
{
    const std::optional<QVariant> answer = askDelegate("dataTransformer");
    const VXQDataTransformerPtr original = answer ? transformerOfVariant(*answer) : nullptr;
    if (!original)
        return;
    m_originalDataTransformer = original;
    m_dataTransformer = std::static_pointer_cast<VXQDataTransformer>(original->copy());
    if (isWindowLoaded())
        setUpControlsForObject(m_dataTransformer.get());
}

void VXQDataTransformerController::setUpControlsForObject(const VXQDataTransformer* transformer)
{
    sheet(); // makes the controls
    m_nameTextField->setText(transformer ? transformer->name() : QString());
    const auto* numeric = qobject_cast<const VXQNumericDataTransformer*>(transformer);
    m_formulaTextField->setText(numeric ? numeric->formula() : QString());
    m_resultTextField->setText(QStringLiteral("0.0"));
    fillOutputProperties();
    const QString property = transformer ? transformer->outputPropertyKey() : QString();
    const QString displayName = property.isEmpty() ? QString() : askDelegate("displayNameForProperty", {property}).value_or(QVariant()).toString();
    m_outputPropertiesComboBox->setCurrentIndex(m_outputPropertiesComboBox->findText(displayName));
    const std::shared_ptr<VXQBinningDataTransformer> binning = binningTransformer();
    m_useBinningCheckbox->setEnabled(binning != nullptr);
    m_useBinningCheckbox->setChecked(binning && binning->binningEnabled());
    m_binningController->setTransformer(binning);
    enableBinningControls();
}

void VXQDataTransformerController::fillOutputProperties()
{
    m_outputPropertiesComboBox->clear();
    m_outputPropertiesComboBox->addItems(outputPropertyDisplayNames());
}

void VXQDataTransformerController::enableBinningControls()
{
    const std::shared_ptr<VXQBinningDataTransformer> binning = binningTransformer();
    m_binningController->setControlsEnabled(binning && binning->binningEnabled());
}

std::shared_ptr<VXQNumericDataTransformer> VXQDataTransformerController::numericTransformer() const
{
    return std::dynamic_pointer_cast<VXQNumericDataTransformer>(m_dataTransformer);
}

std::shared_ptr<VXQBinningDataTransformer> VXQDataTransformerController::binningTransformer() const
{
    return std::dynamic_pointer_cast<VXQBinningDataTransformer>(m_dataTransformer);
}

// --- Actions -------------------------------------------------------------------------------------------------

void VXQDataTransformerController::nameAction(QObject* sender)
{
    if (m_dataTransformer)
        m_dataTransformer->setName(textOfSender(sender));
}

void VXQDataTransformerController::outputPropertyAction(QObject* sender)
{
    const std::optional<QVariant> property = askDelegate("propertyForDisplayName", {textOfSender(sender)});
    if (!property || !m_dataTransformer)
        return;
    const QString key = property->toString();
    m_dataTransformer->setOutputPropertyKey(key);
    if (!propertyAcceptsType(key, m_binningController->outputDataType())) {
        if (const QVariantList types = acceptableTypesForProperty(key); !types.isEmpty())
            m_binningController->setOutputDataType(types.first().toInt());
    }
    m_binningController->validateDataTypeItems();
}

void VXQDataTransformerController::formulaAction(QObject* sender)
{
    const std::shared_ptr<VXQNumericDataTransformer> numeric = numericTransformer();
    if (!numeric)
        return;
    try {
        numeric->setFormula(textOfSender(sender));
    } catch (const platform::NamedException&) {
        platform::Application::beep();
        m_formulaTextField->selectAll();
        m_formulaTextField->setFocus();
    }
}

void VXQDataTransformerController::checkFormulaAction(QObject*)
{
    const std::optional<QVariant> target = askDelegate("targetForPreflight");
    const std::shared_ptr<VXQNumericDataTransformer> numeric = numericTransformer();
    if (!target || !numeric)
        return;
    try {
        numeric->setFormula(m_formulaTextField->text());
        const double result = numeric->preflightWithTarget(platform::objectFromVariant(*target));
        m_resultTextField->setText(QString::number(result, 'g', 12));
    } catch (const platform::NamedException&) {
        platform::Application::beep();
        m_resultTextField->setText(tr("error in formula"));
    }
}

void VXQDataTransformerController::useBinningAction(QObject* sender)
{
    if (const std::shared_ptr<VXQBinningDataTransformer> binning = binningTransformer())
        binning->setBinningEnabled(sender && sender->property("checked").toBool());
    enableBinningControls();
}

// --- Output properties ---------------------------------------------------------------------------------------

QStringList VXQDataTransformerController::outputPropertyDisplayNames() const
{
    return askDelegate("availablePropertiesDisplayNames").value_or(QVariant()).toStringList();
}

QVariantList VXQDataTransformerController::acceptableTypesForProperty(const QString& property) const
{
    return askDelegate("acceptableTypesForOutputProperties").value_or(QVariant()).toMap().value(property).toList();
}

bool VXQDataTransformerController::propertyAcceptsType(const QString& property, int type) const
{
    const QVariantList types = acceptableTypesForProperty(property);
    return std::any_of(types.cbegin(), types.cend(), [type](const QVariant& accepted) { return accepted.toInt() == type; });
}

bool VXQDataTransformerController::binningControllerShouldAllowOutputType(VXQBinningController*, int type) const
{
    return m_dataTransformer && propertyAcceptsType(m_dataTransformer->outputPropertyKey(), type);
}

std::optional<QVariant> VXQDataTransformerController::askDelegate(const char* selector, const QVariantList& arguments) const
{
    if (!m_delegateRef)
        return std::nullopt;
    const QMetaMethod method = platform::findMethod(m_delegateRef, selector, int(arguments.size()));
    if (!method.isValid())
        return std::nullopt;
    return platform::invokeMethod(m_delegateRef, method, arguments);
}

// --- Controls ---------------------------------------------------------------------------------------------

QLineEdit* VXQDataTransformerController::nameTextField() const { return m_nameTextField; }
QComboBox* VXQDataTransformerController::outputPropertiesComboBox() const { return m_outputPropertiesComboBox; }
QLineEdit* VXQDataTransformerController::formulaTextField() const { return m_formulaTextField; }
QPushButton* VXQDataTransformerController::checkFormulaButton() const { return m_checkFormulaButton; }
QLineEdit* VXQDataTransformerController::resultTextField() const { return m_resultTextField; }
QCheckBox* VXQDataTransformerController::useBinningCheckbox() const { return m_useBinningCheckbox; }
