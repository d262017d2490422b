#include "inspectors/pseudo/LayerOperationPanes.h"

#include "platform/foundation/MetaInvoke.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"

#include <QAbstractButton>
#include <QLabel>
#include <QVBoxLayout>

VLTMGeometryPseudoPane::Command VLTMLayerOperationPane::layerCommand(const QString& title, const QByteArray& operation,
                                                                    const QString& label)
{
    return {title,
            [this, operation] {
                if (VXObjectDrawingLayer* layer = currentLayer())
                    platform::invokeSelector(layer, operation, QVariant::fromValue<QObject*>(this));
            },
            label};
}

QWidget* VLTMLayerOperationPane::makePane(const QString& heading, const QList<QList<Command>>& rows,
                                          QList<QList<QPointer<QAbstractButton>>>* buttons)
{
    auto* pane = new QWidget;
    pane->setObjectName(nibName());
    auto* layout = new QVBoxLayout(pane);
    layout->setContentsMargins(6, 4, 6, 6);
    layout->addWidget(makeHeading(heading));
    for (const QList<Command>& row : rows) {
        QList<QPointer<QAbstractButton>> made;
        layout->addWidget(makeButtonRow(row, &made));
        if (buttons)
            buttons->append(made);
    }
    return pane;
}

// --- Boolean operations --------------------------------------------------------------------------------

QWidget* VLTM_BooleanOpsViewController::loadView()
{
    return makePane(tr("Boolean Operations"), {{layerCommand(tr("Union"), "unionSelectedObjects"),
                                                layerCommand(tr("Intersection"), "intersectionSelectedObjects"),
                                                layerCommand(tr("Difference"), "diffSelectedObjects")},
                                               {layerCommand(tr("Append"), "combineSelectedObjects"),
                                                layerCommand(tr("Divide"), "cookieCutterSelectedObjects")}});
}

// --- Alignment -------------------------------------------------------------------------------------------

QWidget* VLTM_AlignDistributeController::loadView()
{
    m_rows.clear();
    return makePane(tr("Alignment"),
                    {{layerCommand(tr("Align Top Edges"), "alignTopEdges", tr("Top")),
                      layerCommand(tr("Align Vertical Centers"), "alignVerticalCentres", tr("Middle")),
                      layerCommand(tr("Align Bottom Edges"), "alignBottomEdges", tr("Bottom"))},
                     {layerCommand(tr("Align Left Edges"), "alignLeftEdges", tr("Left")),
                      layerCommand(tr("Align Horizontal Centers"), "alignHorizontalCentres", tr("Centre")),
                      layerCommand(tr("Align Right Edges"), "alignRightEdges", tr("Right"))},
                     {layerCommand(tr("Distribute Vertical Space"), "distributeVerticalSpace", tr("Space ↕")),
                      layerCommand(tr("Distribute Vertical Centers"), "distributeVerticalCentres", tr("Centres ↕"))},
                     {layerCommand(tr("Distribute Horizontal Space"), "distributeHorizontalSpace", tr("Space ↔")),
                      layerCommand(tr("Distribute Horizontal Centers"), "distributeHorizontalCentres", tr("Centres ↔"))}},
                    &m_rows);
}

QList<QAbstractButton*> VLTM_AlignDistributeController::distributeButtons() const
{
    QList<QAbstractButton*> buttons;
    for (qsizetype row = 2; row < m_rows.size(); ++row)
        for (const QPointer<QAbstractButton>& button : m_rows[row])
            buttons.append(button);
    return buttons;
}

void VLTM_AlignDistributeController::viewDidAppear()
{
    const bool enough = countOfSelectedObjects() > 2;
    for (QAbstractButton* button : distributeButtons())
        button->setEnabled(enough);
}
