#include "library/sheets/VXQLibrarySymbolApplyToAllController.h"

#include "library/sheets/SymbolSheetRules.h"
#include "platform/ui/Sheet.h"
#include "symbols/sequences/SequenceNumbering.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QString yesOrNo(const QVariant& value)
{
    if (!value.isValid())
        return {};
    return value.toBool() ? QObject::tr("YES") : QObject::tr("NO");
}

} // namespace

VXQLibrarySymbolApplyToAllController::VXQLibrarySymbolApplyToAllController()
{
    initWithWindowNibName(QStringLiteral("SymbolApplyToAll"));
}

VXQLibrarySymbolApplyToAllController::~VXQLibrarySymbolApplyToAllController()
{
    if (isWindowLoaded())
        delete window();
}

QDialog* VXQLibrarySymbolApplyToAllController::sheet() const
{
    return qobject_cast<QDialog*>(const_cast<VXQLibrarySymbolApplyToAllController*>(this)->window());
}

QWidget* VXQLibrarySymbolApplyToAllController::loadWindow()
{
    auto* dialog = new QDialog;
    dialog->setObjectName(QStringLiteral("SymbolApplyToAll"));
    dialog->setWindowTitle(tr("Apply to All"));
    m_infoTextField = new QLabel(dialog);
    m_infoTextField->setWordWrap(true);
    m_infoTextField->setMinimumWidth(360);

    auto* grid = new QGridLayout;
    const QList<QPair<QString, QString>> rows{{QStringLiteral("name"), tr("Name")},
                                              {QStringLiteral("userDescription"), tr("Description")},
                                              {QStringLiteral("autoDetachesInstances"), tr("Auto-detach")},
                                              {QStringLiteral("detachesStyle"), tr("Copy Style")},
                                              {QStringLiteral("sequenceable"), tr("Sequenceable")},
                                              {QStringLiteral("locked"), tr("Locked")},
                                              {QStringLiteral("prescale"), tr("Prescale")}};
    for (int row = 0; row < rows.size(); ++row) {
        const QString key = rows[row].first;
        auto* box = new QCheckBox(rows[row].second, dialog);
        connect(box, &QCheckBox::toggled, this, [this, key](bool on) {
            for (const QString& each : symbolsheets::keysOfCheckBox(key))
                setKeyState(each, on);
        });
        m_checkBoxes.append({key, box});
        grid->addWidget(box, row, 0);
        if (key != QLatin1String("detachesStyle")) {
            auto* value = new QLabel(dialog);
            m_valueFields.append({key, value});
            grid->addWidget(value, row, 1);
        }
    }
    auto* buttons = new QDialogButtonBox(dialog);
    m_applyButton = buttons->addButton(tr("Apply"), QDialogButtonBox::AcceptRole);
    m_applyButton->setDefault(true);
    QPushButton* cancel = buttons->addButton(tr("Cancel"), QDialogButtonBox::RejectRole);
    connect(m_applyButton, &QPushButton::clicked, this, [this] { applyAction(m_applyButton); });
    connect(cancel, &QPushButton::clicked, this, [this, cancel] { cancelAction(cancel); });

    auto* layout = new QVBoxLayout(dialog);
    layout->addWidget(m_infoTextField);
    layout->addLayout(grid);
    layout->addWidget(buttons);
    return dialog;
}

QPushButton* VXQLibrarySymbolApplyToAllController::applyButton() const
{
    return m_applyButton;
}

QLabel* VXQLibrarySymbolApplyToAllController::infoTextField() const
{
    return m_infoTextField;
}

QCheckBox* VXQLibrarySymbolApplyToAllController::checkBoxForKey(const QString& key) const
{
    for (const auto& [each, box] : m_checkBoxes)
        if (each == key)
            return box;
    return nullptr;
}

QLabel* VXQLibrarySymbolApplyToAllController::valueFieldForKey(const QString& key) const
{
    for (const auto& [each, field] : m_valueFields)
        if (each == key)
            return field;
    return nullptr;
}

void VXQLibrarySymbolApplyToAllController::runApplyToAllDialogOnParentWindowWithDelegate(
    QWidget* parent, VXQLibrarySymbolApplyToAllDelegate* delegate)
{
    m_delegateRef = delegate;
    QDialog* dialog = sheet();
    m_keys = delegate ? delegate->defaultKeysForApplyToAllDialog(this) : QStringList();
    setUIStateFromKeys(m_keys);
    platform::Sheet::beginSheetModalForWindowCompletionHandler(dialog, parent, [this](int code) { sheetDidEnd(code); });
}

void VXQLibrarySymbolApplyToAllController::setUIStateFromKeys(const QStringList& keys)
{
    sheet();
    m_settings = m_delegateRef ? m_delegateRef->settingsForApplyToAllDialog(this) : QVariantMap();
    for (const auto& [key, box] : m_checkBoxes) {
        const QSignalBlocker quiet(box);
        box->setChecked(keys.contains(key));
    }
    if (m_delegateRef)
        m_infoTextField->setText(tr("The settings will be applied to %1 selected symbols. Unchecked items will not be "
                                    "changed. This operation temporarily overrides the current lock state of the "
                                    "symbols, and cannot be undone.")
                                     .arg(m_delegateRef->numberOfItemsForApplyToAllDialog(this)));
    const auto setField = [this](const QString& key, const QString& text) { valueFieldForKey(key)->setText(text); };
    setField(QStringLiteral("name"), m_settings.value(QStringLiteral("name")).toString());
    setField(QStringLiteral("userDescription"), m_settings.value(QStringLiteral("userDescription")).toString());
    setField(QStringLiteral("autoDetachesInstances"), yesOrNo(m_settings.value(QStringLiteral("autoDetachesInstances"))));
    setField(QStringLiteral("locked"), yesOrNo(m_settings.value(QStringLiteral("locked"))));
    const QVariant prescale = m_settings.value(QStringLiteral("prescale"));
    setField(QStringLiteral("prescale"), prescale.isValid() ? QString::number(prescale.toDouble()) : QString());
    const QVariant sequenceable = m_settings.value(QStringLiteral("sequenceable"));
    QString sequencing;
    if (sequenceable.isValid())
        sequencing = sequenceable.toBool()
                         ? tr("%1, %2").arg(tr("YES"), sequencenumbering::displayNameForSequenceKind(
                                                           m_settings.value(QStringLiteral("defaultSequenceKind")).toInt()))
                         : tr("NO");
    setField(QStringLiteral("sequenceable"), sequencing);
    updateApplyButton();
}

void VXQLibrarySymbolApplyToAllController::setKeyState(const QString& key, bool on)
{
    m_keys = symbolsheets::keysWithKeyState(m_keys, key, on);
    updateApplyButton();
}

void VXQLibrarySymbolApplyToAllController::updateApplyButton()
{
    if (m_applyButton)
        m_applyButton->setEnabled(symbolsheets::activeKeyCount(m_keys, m_settings) > 0);
}

void VXQLibrarySymbolApplyToAllController::applyAction(QObject*)
{
    platform::Sheet::endSheetReturnCode(sheet(), platform::Sheet::kDefaultReturn);
}

void VXQLibrarySymbolApplyToAllController::cancelAction(QObject*)
{
    platform::Sheet::endSheetReturnCode(sheet(), platform::Sheet::kCancelReturn);
}

void VXQLibrarySymbolApplyToAllController::sheetDidEnd(int returnCode)
{
    if (returnCode == platform::Sheet::kDefaultReturn && m_delegateRef)
        m_delegateRef->applyToAllDialogEndedWithKeys(this, m_keys);
}
