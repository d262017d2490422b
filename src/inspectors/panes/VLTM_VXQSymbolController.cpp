#include "inspectors/panes/VLTM_VXQSymbolController.h"

#include "inspectors/InspectedObjects.h"
#include "platform/foundation/Markers.h"
#include "symbols/placed/VXQSymbol.h"
#include "symbols/sequences/SequenceNumbering.h"
#include "symbols/sequences/VXQSymbolSequence.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLabel>

namespace {

using Row = GeometryPaneRow;

bool hasSequence(GeometryTablePane& pane)
{
    // Symbols that differ count as sequenced: their kind and first value stay reachable.
    const QVariant sequence = pane.commonValueForKeyPath(QStringLiteral("sequence"));
    return platform::isMultipleValuesMarker(sequence) || platform::objectFromVariant(sequence);
}

Row::Choices sequenceKinds()
{
    Row::Choices kinds;
    for (int kind = 0; kind <= sequencenumbering::kLastKind; ++kind)
        kinds.append({sequencenumbering::displayNameForSequenceKind(kind), kind});
    return kinds;
}

} // namespace

const QMetaObject* VLTM_VXQSymbolController::managedObjectClass() const
{
    return &VXQSymbol::staticMetaObject;
}

QString VLTM_VXQSymbolController::paneTitle() const
{
    return tr("Symbol");
}

GeometryPaneTable VLTM_VXQSymbolController::table() const
{
    return {
        Row::number(QStringLiteral("scaleFactor"), tr("Scale:"), 0.01, 100, 0.1),
        Row::choice(Row::Control::PopUp, QStringLiteral("sequence.sequenceKind"), tr("Numbering:"), sequenceKinds())
            .when(hasSequence),
        Row::number(QStringLiteral("sequence.startingOffset"), tr("First value:"), -1e9, 1e9).inWholeNumbers().when(hasSequence),
    };
}

QStringList VLTM_VXQSymbolController::customKeyPaths() const
{
    return {QStringLiteral("name"), QStringLiteral("locked"), QStringLiteral("sequence")};
}

void VLTM_VXQSymbolController::addCustomControls(QFormLayout& form)
{
    m_symbolNameTextField = new QLabel;
    form.insertRow(0, tr("Name:"), m_symbolNameTextField);
    m_sequencableCheckbox = new QCheckBox(tr("Sequenceable"));
    connect(m_sequencableCheckbox, &QCheckBox::clicked, this, [this] { sequencableAction(m_sequencableCheckbox); });
    form.insertRow(2, QString(), m_sequencableCheckbox);
}

QCheckBox* VLTM_VXQSymbolController::sequencableCheckbox()
{
    view();
    return m_sequencableCheckbox;
}

QLabel* VLTM_VXQSymbolController::symbolNameTextField()
{
    view();
    return m_symbolNameTextField;
}

void VLTM_VXQSymbolController::setCustomEnabling(bool mayEdit)
{
    const bool mixed = platform::isMultipleValuesMarker(commonValueForKeyPath(QStringLiteral("sequence")));
    m_sequencableCheckbox->setEnabled(mayEdit && !mixed);
}

void VLTM_VXQSymbolController::newObjectWasAssigned()
{
    m_localSequence = nullptr;
    GeometryTablePane::newObjectWasAssigned();
}

void VLTM_VXQSymbolController::setControlStateForNil()
{
    m_localSequence = nullptr;
    GeometryTablePane::setControlStateForNil();
    symbolNameTextField()->clear();
    sequencableCheckbox()->setChecked(false);
}

void VLTM_VXQSymbolController::setName(const QString& name)
{
    symbolNameTextField()->setText(name);
}

void VLTM_VXQSymbolController::setMixedValueForName()
{
    symbolNameTextField()->setText(tr("Multiple Masters"));
}

void VLTM_VXQSymbolController::setSequence(QObject* sequence)
{
    if (auto* symbolSequence = qobject_cast<VXQSymbolSequence*>(sequence))
        m_localSequence = symbolSequence;
    sequencableCheckbox()->setChecked(sequence != nullptr);
}

void VLTM_VXQSymbolController::setMixedValueForSequence()
{
    sequencableCheckbox()->setChecked(true);
}

const QObject* VLTM_VXQSymbolController::commonMaster()
{
    const QObject* master = nullptr;
    for (const ZQObjectPtr& object : content()) {
        const QObject* own = static_cast<const VXQSymbol*>(object.get())->master().get();
        if (master && own != master)
            return nullptr;
        master = own;
    }
    return master;
}

void VLTM_VXQSymbolController::sequencableAction(QObject*)
{
    const QList<ZQObjectPtr> symbols = content();
    if (symbols.isEmpty())
        return;
    if (!sequencableCheckbox()->isChecked()) {
        setCommonValueForKeyPath(QVariant::fromValue<QObject*>(nullptr), QStringLiteral("sequence"));
    } else if (m_localSequence && m_localSequence->symbolMaster().get() == commonMaster()) {
        setCommonValueForKeyPath(QVariant::fromValue<QObject*>(m_localSequence.data()), QStringLiteral("sequence"));
    } else {
        for (const ZQObjectPtr& object : symbols) {
            if (inspectors::objectIsLocked(*object))
                continue;
            if (VXQSymbolSequence* joined = static_cast<VXQSymbol*>(object.get())->makeSequencable())
                m_localSequence = joined;
        }
    }
    reloadData();
}

const platform::DisplayBindings& VLTM_VXQSymbolController::displayBindings() const
{
    using Self = VLTM_VXQSymbolController;
    static const auto bindings = platform::DisplayBindings(GeometryTablePane::displayBindings())
        .bind(QStringLiteral("name"), &Self::setName, &Self::setMixedValueForName)
        .bind(QStringLiteral("sequence"), &Self::setSequence, &Self::setMixedValueForSequence);
    return bindings;
}
