// The Geometry tab's widgets: the name and info lines, the units pop-up, the percentage
// toggle and help over the scrolling pane stack.

#include "inspectors/geometry/GeometryDisplayUnits.h"
#include "inspectors/geometry/VLTMGeometryController.h"
#include "widgets/paint/ApplicationColours.h"
#include "widgets/stacks/ZQCollapsibleContainerView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QToolButton>
#include <QVBoxLayout>
#include <utility>

namespace {

constexpr int kStackWidth = 240;

} // namespace

QWidget* VLTMGeometryController::loadView()
{
    auto* tab = new QWidget;
    tab->setObjectName(kTabIdentifier);
    tab->installEventFilter(this);
    auto* layout = new QVBoxLayout(tab);
    layout->setContentsMargins(4, 4, 4, 4);

    auto* header = new QWidget(tab);
    auto* grid = new QGridLayout(header);
    grid->setContentsMargins(0, 0, 0, 0);
    m_typeNameLabel = new QLineEdit(header);
    m_typeNameLabel->setReadOnly(true);
    m_typeNameLabel->setFrame(false);
    m_typeNameLabel->installEventFilter(this);
    connect(m_typeNameLabel, &QLineEdit::returnPressed, this, [this] { nameFieldAction(m_typeNameLabel); });
    connect(m_typeNameLabel, &QLineEdit::editingFinished, this, [this] { setRenamingMode(false); });
    grid->addWidget(m_typeNameLabel, 0, 0, 1, 2);
    auto* help = new QToolButton(header);
    help->setText(QStringLiteral("?"));
    help->setToolTip(tr("Help"));
    connect(help, &QToolButton::clicked, this, [this] { geometryControllerHelpAction(); });
    grid->addWidget(help, 0, 2);
    m_auxiliaryInfoLabel = new QLabel(header);
    grid->addWidget(m_auxiliaryInfoLabel, 1, 0, 1, 3);
    m_drawingUnitsPopUp = new QComboBox(header);
    m_drawingUnitsPopUp->addItem(tr("Points"), int(geometryunits::kPointsMode));
    m_drawingUnitsPopUp->addItem(tr("Drawing Units"), int(geometryunits::kDrawingUnitsMode));
    m_drawingUnitsPopUp->addItem(tr("Map Units"), int(geometryunits::kMapUnitsMode));
    connect(m_drawingUnitsPopUp, &QComboBox::activated, this,
            [this](int index) { displayUnitsAction(m_drawingUnitsPopUp->itemData(index).toInt()); });
    grid->addWidget(m_drawingUnitsPopUp, 2, 0);
    m_percentCheckbox = new QCheckBox(tr("Percentages"), header);
    connect(m_percentCheckbox, &QCheckBox::clicked, this, [this](bool checked) { percentDisplayAction(checked); });
    grid->addWidget(m_percentCheckbox, 2, 1, 1, 2);
    layout->addWidget(header);

    auto* scroll = new QScrollArea(tab);
    scroll->setWidgetResizable(false);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setFrameShape(QFrame::NoFrame);
    QPalette palette = scroll->viewport()->palette();
    palette.setColor(QPalette::Window, VLTMWindowBackgroundColour());
    scroll->viewport()->setPalette(palette);
    m_geometryViewStack = new ZQCollapsibleContainerView(QRectF(0, 0, kStackWidth, 20));
    m_geometryViewStack->awakeFromInterface();
    scroll->setWidget(m_geometryViewStack);
    // The stack is as wide as the area showing it.
    scroll->viewport()->installEventFilter(this);
    m_stackViewport = scroll->viewport();
    layout->addWidget(scroll, 1);

    selectUnitsItemForMode();
    return tab;
}

ZQCollapsibleContainerView* VLTMGeometryController::containerView()
{
    view();
    return m_geometryViewStack;
}

QLineEdit* VLTMGeometryController::typeNameLabel()
{
    view();
    return m_typeNameLabel;
}

QLabel* VLTMGeometryController::auxiliaryInfoLabel()
{
    view();
    return m_auxiliaryInfoLabel;
}

QComboBox* VLTMGeometryController::drawingUnitsPopUp()
{
    view();
    return m_drawingUnitsPopUp;
}

QCheckBox* VLTMGeometryController::percentCheckbox()
{
    view();
    return m_percentCheckbox;
}

bool VLTMGeometryController::eventFilter(QObject* watched, QEvent* event)
{
    // The type first: a child being destroyed still sends events, and is not of its class by then.
    if (event->type() == QEvent::Resize && m_geometryViewStack && watched == m_stackViewport) {
        m_geometryViewStack->setFrameSize(QSize(m_stackViewport->width(), m_geometryViewStack->height()));
        m_geometryViewStack->arrangeSubviews();
    }
    if (event->type() == QEvent::Show && isViewLoaded() && watched == view()
        && std::exchange(m_selectionWaitsForShow, false))
        showSelectionOfLayer(m_drawing ? m_drawing->activeLayer() : nullptr);
    if (event->type() == QEvent::MouseButtonDblClick && !m_renamingModeActive && watched == m_typeNameLabel) {
        setRenamingMode(true);
        return true;
    }
    return VLTMTabContentViewController::eventFilter(watched, event);
}
