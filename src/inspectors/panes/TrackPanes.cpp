#include "inspectors/panes/TrackPanes.h"

#include "inspectors/InspectedObjects.h"
#include "tracks/styles/ShimBlender.h"
#include "tracks/model/VXQAdornment.h"
#include "tracks/model/VXQTrack.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>

namespace {

using Row = GeometryPaneRow;

Row::Choices terminatorChoices()
{
    return {{QObject::tr("Plain"), kVXQPlainTerminator}, {QObject::tr("Round"), kVXQRoundTerminator},
            {QObject::tr("Square"), kVXQSquareTerminator}};
}

struct SpecialItem {
    const char* title;
    QByteArray command;
};

const SpecialItem kSpecialItems[] = {
    {QT_TRANSLATE_NOOP("VLTM_VXQTrackController", "Bridge"), "insertBridge"},
    {QT_TRANSLATE_NOOP("VLTM_VXQTrackController", "Overpass"), "insertFlyover"},
    {QT_TRANSLATE_NOOP("VLTM_VXQTrackController", "Cutting"), "insertCutting"},
    {QT_TRANSLATE_NOOP("VLTM_VXQTrackController", "Embankment"), "insertEmbankment"},
    {QT_TRANSLATE_NOOP("VLTM_VXQTrackController", "Roundabout"), "insertMagicRoundabout"},
    {QT_TRANSLATE_NOOP("VLTM_VXQTrackController", "Tunnel"), "insertTunnel"},
    {QT_TRANSLATE_NOOP("VLTM_VXQTrackController", "Pinch Point"), "insertPinchPoint"},
    {QT_TRANSLATE_NOOP("VLTM_VXQTrackController", "Inflate Point"), "insertInflatePoint"},
};

bool allTracksAreStraight(GeometryTablePane& pane)
{
    return pane.stateForKeyPath(QStringLiteral("isSimpleStraightLine")) == 1;
}

bool trackUnlocked(GeometryTablePane& pane)
{
    return !static_cast<VLTM_VXQAdornmentController&>(pane).trackLocked();
}

} // namespace

// --- Adornments -----------------------------------------------------------------------------------

const QMetaObject* VLTM_VXQAdornmentController::managedObjectClass() const
{
    return &VXQAdornment::staticMetaObject;
}

GeometryPaneTable VLTM_VXQAdornmentController::table() const
{
    Row alignToPath = Row::checkbox(QStringLiteral("ignoresAngle"), tr("Align to path")).when(trackUnlocked);
    // Aligned to the path means the angle is not ignored.
    alignToPath.checkedValue = false;
    alignToPath.uncheckedValue = true;
    return {
        Row::length(QStringLiteral("lateralOffset"), tr("Offset:")).when(trackUnlocked),
        Row::checkbox(QStringLiteral("reversed"), tr("Reversed")).when(trackUnlocked),
        std::move(alignToPath),
        Row::number(QStringLiteral("angleInDegrees"), tr("Angle:"), -360, 360).when(trackUnlocked),
        Row::number(QStringLiteral("scale"), tr("Scale:"), 0.01, 100, 0.1).when(trackUnlocked),
    };
}

void VLTM_VXQAdornmentController::addCustomControls(QFormLayout& form)
{
    m_selectionInfoTextField = new QLabel;
    form.insertRow(0, m_selectionInfoTextField);
}

QLabel* VLTM_VXQAdornmentController::selectionInfoTextField()
{
    view();
    return m_selectionInfoTextField;
}

void VLTM_VXQAdornmentController::setUIStateForLock(bool locked)
{
    m_trackLocked = locked;
    applyEnabling();
}

void VLTM_VXQAdornmentController::setDisplayName(const QString& name)
{
    selectionInfoTextField()->setText(name);
    selectionInfoTextField()->setToolTip(name);
}

void VLTM_VXQAdornmentController::setMixedValueForDisplayName()
{
    selectionInfoTextField()->setText(QStringLiteral("%1 %2").arg(content().size()).arg(tr("Symbols Selected")));
    selectionInfoTextField()->setToolTip(QString());
}

void VLTM_VXQAdornmentController::setControlStateForNil()
{
    GeometryTablePane::setControlStateForNil();
    selectionInfoTextField()->clear();
}

// --- Tracks ------------------------------------------------------------------------------------------------

VLTM_VXQTrackController::VLTM_VXQTrackController()
    : m_adornmentsController(std::make_shared<VLTM_VXQAdornmentController>())
{
    m_adornmentsController->setDataSource(this);
}

VLTM_VXQTrackController::~VLTM_VXQTrackController()
{
    m_adornmentsController->setDataSource(nullptr);
}

const QMetaObject* VLTM_VXQTrackController::managedObjectClass() const
{
    return &VXQTrack::staticMetaObject;
}

QString VLTM_VXQTrackController::paneTitle() const
{
    return tr("Track");
}

GeometryPaneTable VLTM_VXQTrackController::table() const
{
    return {
        Row::choice(Row::Control::PopUp, QStringLiteral("startTerminatorType"), tr("Start:"), terminatorChoices(),
                    tr("Change Start Termination")),
        Row::choice(Row::Control::PopUp, QStringLiteral("endTerminatorType"), tr("End:"), terminatorChoices(),
                    tr("Change End Termination")),
        Row::choice(Row::Control::PopUp, QStringLiteral("trackType"), tr("Type:"),
                    {{tr("Generic"), 0}, {tr("Road"), 1}, {tr("Rail"), 2}, {tr("Watercourse"), 3}}, tr("Change Track Type"))
            .standingFor({kVXQGenericTrackType, kVXQRoadTrackType, kVXQRailTrackType, kVXQWatercourseTrackType}),
        Row::choice(Row::Control::PopUp, QStringLiteral("shimBlending"), tr("Blending:"),
                    {{tr("None"), kZQShimBlendNone}, {tr("Width"), kZQShimBlendWidth},
                     {tr("Width and Colour"), kZQShimBlendWidthAndColour}},
                    tr("Change Width Blending")),
        Row::checkbox(QStringLiteral("showsInlineStyleBoundaries"), tr("Show style boundaries")),
        Row::checkbox(QStringLiteral("dynamicLabelTemplatesEnabled"), tr("Dynamic label templates")),
        Row::length(QStringLiteral("length"), tr("Length:"), {}, Row::Percentage::Bounded).when(allTracksAreStraight),
    };
}

QStringList VLTM_VXQTrackController::customKeyPaths() const
{
    return {QStringLiteral("locked"), QStringLiteral("selectedAdornments"), QStringLiteral("isSimpleStraightLine")};
}

void VLTM_VXQTrackController::addCustomControls(QFormLayout& form)
{
    m_insertAdaptorsCheckbox = new QCheckBox(tr("Use width adaptors"));
    connect(m_insertAdaptorsCheckbox, &QCheckBox::clicked, this, [this] { insertAdaptorsAction(m_insertAdaptorsCheckbox); });
    form.addRow(QString(), m_insertAdaptorsCheckbox);

    m_insertSpecialCommandsPopUp = new QToolButton;
    m_insertSpecialCommandsPopUp->setText(tr("Insert"));
    m_insertSpecialCommandsPopUp->setPopupMode(QToolButton::InstantPopup);
    auto* menu = new QMenu(m_insertSpecialCommandsPopUp);
    for (const SpecialItem& item : kSpecialItems) {
        const QByteArray command = item.command;
        menu->addAction(tr(item.title), this, [this, command] { insertSpecialItem(command); });
    }
    connect(menu, &QMenu::aboutToShow, this, [this, menu] {
        const bool usable = canInsertSpecialItem();
        for (QAction* action : menu->actions())
            action->setEnabled(usable);
    });
    m_insertSpecialCommandsPopUp->setMenu(menu);
    m_forceDisconnectionButton = new QPushButton(tr("Disconnect All"));
    connect(m_forceDisconnectionButton, &QPushButton::clicked, this, [this] { forceDisconnectionAction(); });
    auto* commands = new QWidget;
    auto* row = new QHBoxLayout(commands);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(m_insertSpecialCommandsPopUp);
    row->addWidget(m_forceDisconnectionButton);
    form.addRow(commands);
    form.addRow(m_adornmentsController->view());
}

QToolButton* VLTM_VXQTrackController::insertSpecialCommandsPopUp()
{
    view();
    return m_insertSpecialCommandsPopUp;
}

QPushButton* VLTM_VXQTrackController::forceDisconnectionButton()
{
    view();
    return m_forceDisconnectionButton;
}

QCheckBox* VLTM_VXQTrackController::insertAdaptorsCheckbox()
{
    view();
    return m_insertAdaptorsCheckbox;
}

void VLTM_VXQTrackController::setCustomEnabling(bool mayEdit)
{
    m_insertAdaptorsCheckbox->setEnabled(mayEdit);
    m_insertSpecialCommandsPopUp->setEnabled(mayEdit);
    m_forceDisconnectionButton->setEnabled(mayEdit);
}

void VLTM_VXQTrackController::lockDidChange(bool locked, bool)
{
    m_adornmentsController->setUIStateForLock(locked);
}

QList<ZQObjectPtr> VLTM_VXQTrackController::selectedContentForObjectController(VLTMGenericObjectController* controller)
{
    return controller == m_adornmentsController.get() ? m_adornments : QList<ZQObjectPtr>();
}

void VLTM_VXQTrackController::setSelectedAdornments(const QVariantList& adornments)
{
    m_adornments.clear();
    for (const QVariant& adornment : adornments) {
        if (ZQObjectPtr object = adornment.value<ZQObjectPtr>())
            m_adornments.append(object);
    }
    m_adornmentsController->reloadContent();
}

void VLTM_VXQTrackController::insertAdaptorsAction(QObject*)
{
    const QList<ZQObjectPtr> tracks = content();
    for (const ZQObjectPtr& track : tracks) {
        if (!inspectors::objectIsLocked(*track))
            track->setValueForKey(m_insertAdaptorsCheckbox->isChecked(), QStringLiteral("autoInsertsShims"));
    }
    nameUndoAction(tr("Use Width Adaptors"));
}

void VLTM_VXQTrackController::forceDisconnectionAction(QObject*)
{
    const QList<ZQObjectPtr> tracks = content();
    for (const ZQObjectPtr& track : tracks) {
        if (auto* connected = qobject_cast<VXQTrack*>(track.get()))
            connected->disconnectAll();
    }
    nameUndoAction(tr("Disconnect All Junctions"));
}

bool VLTM_VXQTrackController::canInsertSpecialItem()
{
    return content().size() == 1 && !isLocked() && content().first()->valueForKey(QStringLiteral("canInsertSpecialItem")).toBool();
}

void VLTM_VXQTrackController::insertSpecialItem(const QByteArray& command)
{
    if (canInsertSpecialItem())
        content().last()->performSelector(command, {QVariant::fromValue<QObject*>(this)});
}

const platform::DisplayBindings& VLTM_VXQAdornmentController::displayBindings() const
{
    using Self = VLTM_VXQAdornmentController;
    static const auto bindings = platform::DisplayBindings(GeometryTablePane::displayBindings())
        .bind(QStringLiteral("displayName"), &Self::setDisplayName, &Self::setMixedValueForDisplayName);
    return bindings;
}

const platform::DisplayBindings& VLTM_VXQTrackController::displayBindings() const
{
    using Self = VLTM_VXQTrackController;
    static const auto bindings = platform::DisplayBindings(GeometryTablePane::displayBindings())
        .bind(QStringLiteral("selectedAdornments"), &Self::setSelectedAdornments,
              &Self::setMixedValueForSelectedAdornments)
        .bind(QStringLiteral("isSimpleStraightLine"), &Self::setIsSimpleStraightLine,
              &Self::setMixedValueForIsSimpleStraightLine);
    return bindings;
}
