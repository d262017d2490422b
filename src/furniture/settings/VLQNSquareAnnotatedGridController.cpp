#include "furniture/settings/VLQNSquareAnnotatedGridController.h"

#include "furniture/grid/VXQSquareAnnotatedGrid.h"
#include "furniture/settings/SettingsPaneControls.h"
#include "furniture/settings/VLQNAnnotationController.h"
#include "furniture/settings/VLQNGridBorderController.h"
#include "platform/graphics/FontUtilities.h"
#include "platform/ui/ColourWell.h"
#include "platform/ui/FontManager.h"
#include "platform/ui/Menu.h"
#include "widgets/controls/ScrollwheelControls.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <tuple>

namespace {

constexpr int kLeft = 1;
constexpr int kRight = 2;
constexpr int kTop = 4;
constexpr int kBottom = 8;

// The objects a shown value holds: one object, or a list of them.
QList<ZQObjectPtr> objectsOfVariant(const QVariant& value)
{
    QList<ZQObjectPtr> objects;
    const auto add = [&objects](const QVariant& element) {
        if (ZQObject* object = platform::objectFromVariant(element))
            objects.append(object->shared_from_this());
    };
    if (value.canConvert<QVariantList>() && !platform::objectFromVariant(value)) {
        const QVariantList elements = value.value<QVariantList>();
        for (const QVariant& element : elements)
            add(element);
    } else {
        add(value);
    }
    return objects;
}

// Gives a sub-pane new content only when it differs: content given again would forget the
// values the pane has to put back on cancel.
template <class Pane>
void showContent(Pane& pane, const QVariant& value)
{
    const QList<ZQObjectPtr> objects = objectsOfVariant(value);
    if (objects != pane.content())
        pane.setContent(objects);
}

// The installed family that draws a font of that name ("Helvetica" is drawn by a look-alike).
QString installedFamily(const QString& family)
{
    const std::optional<QFont> font = platform::fontWithNameSize(family, 12);
    return font ? QFontInfo(*font).family() : QString();
}

template <class Predicate>
bool familyHasMember(const QString& family, Predicate&& hasTrait)
{
    const QString installed = installedFamily(family);
    if (installed.isEmpty())
        return false;
    const QStringList styles = QFontDatabase::styles(installed);
    return std::any_of(styles.begin(), styles.end(), [&](const QString& style) { return hasTrait(installed, style); });
}

QToolButton* makeSegment(const QString& title, const QString& toolTip)
{
    auto* segment = new QToolButton;
    segment->setText(title);
    segment->setToolTip(toolTip);
    segment->setCheckable(true);
    return segment;
}

} // namespace

VLQNSquareAnnotatedGridController::VLQNSquareAnnotatedGridController()
    : m_horizontalPane(std::make_shared<VLQNAnnotationController>())
    , m_verticalPane(std::make_shared<VLQNAnnotationController>())
    , m_borderPane(std::make_shared<VLQNGridBorderController>())
{
    m_horizontalPane->setGridController(this);
    m_verticalPane->setGridController(this);
    m_borderPane->setGridController(this);
}

VLQNSquareAnnotatedGridController::~VLQNSquareAnnotatedGridController() = default;

const QMetaObject* VLQNSquareAnnotatedGridController::managedObjectClass() const
{
    return &VXQSquareAnnotatedGrid::staticMetaObject;
}

QStringList VLQNSquareAnnotatedGridController::keyPathsOfInterest() const
{
    return {QStringLiteral("gridVisible"),     QStringLiteral("horizontalAnnotation"),
            QStringLiteral("verticalAnnotation"), QStringLiteral("themeColour"),
            QStringLiteral("drawsBorderLine"), QStringLiteral("borders"),
            QStringLiteral("annotationEdges"), QStringLiteral("font"),
            QStringLiteral("fontName"),        QStringLiteral("fontSize"),
            QStringLiteral("fontColour"),      QStringLiteral("divisionsHidden"),
            QStringLiteral("divisions"),       QStringLiteral("spanMultiplier"),
            QStringLiteral("majors"),          QStringLiteral("drawing.abbreviatedDrawingUnits")};
}

ZQObject* VLQNSquareAnnotatedGridController::grid()
{
    const QList<ZQObjectPtr>& objects = content();
    return objects.isEmpty() ? nullptr : objects.first().get();
}

bool VLQNSquareAnnotatedGridController::gridIsLocked()
{
    const auto* layer = qobject_cast<VXLayer*>(grid());
    return layer && layer->locked();
}

bool VLQNSquareAnnotatedGridController::shouldSetValueOfObjectForKeyPath(QVariant&, ZQObject*, const QString&)
{
    return !gridIsLocked();
}

void VLQNSquareAnnotatedGridController::revertOrCancel()
{
    m_horizontalPane->revertOrCancel();
    m_verticalPane->revertOrCancel();
    m_borderPane->revertOrCancel();
    if (auto* layer = qobject_cast<VXLayer*>(grid()))
        layer->setNeedsDisplay();
    VLTMGenericObjectController::revertOrCancel();
}

// --- The view -------------------------------------------------------------------------------

QWidget* VLQNSquareAnnotatedGridController::loadView()
{
    auto* view = new QWidget;
    auto* annotations = new QHBoxLayout;
    const std::pair<QString, VLQNAnnotationController*> panes[] = {{tr("Columns"), m_horizontalPane.get()},
                                                                   {tr("Rows"), m_verticalPane.get()}};
    for (const auto& [title, pane] : panes) {
        auto* box = new QGroupBox(title);
        (new QVBoxLayout(box))->addWidget(pane->view());
        annotations->addWidget(box);
    }
    auto* border = new QGroupBox(tr("Border"));
    (new QVBoxLayout(border))->addWidget(m_borderPane->view());

    auto* top = new QHBoxLayout;
    top->addWidget(makeGridBox());
    top->addWidget(border);
    auto* layout = new QVBoxLayout(view);
    layout->addLayout(top);
    layout->addWidget(makeEdgesBox());
    layout->addWidget(makeLabelsBox());
    layout->addLayout(annotations);
    return view;
}

QWidget* VLQNSquareAnnotatedGridController::makeGridBox()
{
    using namespace furniture;
    auto* box = new QGroupBox(tr("Grid"));
    m_spacingField = makeNumberField(2, 1, NumberSign::Any, this, "gridSpacingAction");
    m_unitsLabel = new QLabel;
    m_divisionsCheckbox = makeCheckbox(tr("Divisions:"), this, "divisionsEnableAction");
    m_divisionsField = makeNumberField(0, 1, NumberSign::Any, this, "divisionsAction");
    m_majorsField = makeNumberField(0, 1, NumberSign::Any, this, "majorsAction");
    m_gridColourWell = makeColourWell(this, "gridThemeColourAction");
    m_gridVisibleCheckbox = makeCheckbox(tr("Show grid"), this, "gridVisibleAction");
    m_showBorderCheckbox = makeCheckbox(tr("Show border line"), this, "gridBorderVisibleAction");

    auto* form = new QFormLayout(box);
    form->addRow(tr("Spacing:"), makeRow({m_spacingField, m_unitsLabel}));
    form->addRow(m_divisionsCheckbox, m_divisionsField);
    form->addRow(tr("Majors:"), m_majorsField);
    form->addRow(tr("Colour:"), m_gridColourWell);
    form->addRow(m_gridVisibleCheckbox);
    form->addRow(m_showBorderCheckbox);
    return box;
}

QHash<int, QCheckBox*> VLQNSquareAnnotatedGridController::makeEdgeBoxes(const QByteArray& action)
{
    QHash<int, QCheckBox*> boxes;
    const std::pair<int, QString> edges[] = {{kLeft, tr("Left")}, {kTop, tr("Top")}, {kRight, tr("Right")},
                                             {kBottom, tr("Bottom")}};
    for (const auto& [edge, title] : edges)
        boxes.insert(edge, furniture::makeCheckbox(title, this, action));
    return boxes;
}

QWidget* VLQNSquareAnnotatedGridController::makeEdgesBox()
{
    auto* box = new QGroupBox(tr("Edges"));
    auto* grid = new QGridLayout(box);
    m_annotationEdgeBoxes = makeEdgeBoxes("annotationEdgesAction");
    m_borderEdgeBoxes = makeEdgeBoxes("borderEdgesAction");
    const std::pair<QString, const QHash<int, QCheckBox*>*> rows[] = {{tr("Labels:"), &m_annotationEdgeBoxes},
                                                                      {tr("Bands:"), &m_borderEdgeBoxes}};
    int row = 0;
    for (const auto& [title, boxes] : rows) {
        grid->addWidget(new QLabel(title), row, 0);
        int column = 1;
        for (int edge : {kLeft, kTop, kRight, kBottom})
            grid->addWidget(boxes->value(edge), row, column++);
        ++row;
    }
    return box;
}

QWidget* VLQNSquareAnnotatedGridController::makeLabelsBox()
{
    using namespace furniture;
    auto* box = new QGroupBox(tr("Labels"));
    m_fontPopUp = new QPushButton;
    m_fontPopUp->setMenu(fontsMenu());
    // The shared menu sends to the pane that shows it.
    connect(m_fontPopUp, &QPushButton::pressed, this, [this] {
        for (QAction* action : fontsMenu()->actions())
            if (auto* item = qobject_cast<platform::MenuItem*>(action))
                item->setTarget(this);
    });
    m_boldSegment = makeSegment(tr("B"), tr("Bold"));
    m_italicSegment = makeSegment(tr("I"), tr("Italic"));
    sendActionOnClick(m_boldSegment, this, "gridFontFaceAction");
    sendActionOnClick(m_italicSegment, this, "gridFontFaceAction");
    m_fontSizeField = makeNumberField(1, 1, NumberSign::Any, this, "gridFontSizeAction");
    m_fontColourWell = makeColourWell(this, "gridFontColourAction");
    std::tie(m_onGridlinesRadio, m_betweenGridlinesRadio) =
        makeRadioPair(tr("On gridlines"), tr("Between gridlines"), box, this, "gridPlacementAction");

    auto* font = new QHBoxLayout;
    font->addWidget(m_fontPopUp, 1);
    font->addWidget(m_boldSegment);
    font->addWidget(m_italicSegment);
    auto* form = new QFormLayout(box);
    form->addRow(tr("Font:"), font);
    form->addRow(tr("Size:"), makeRow({m_fontSizeField, m_fontColourWell}));
    form->addRow(tr("Placement:"), makeRow({m_onGridlinesRadio, m_betweenGridlinesRadio}));
    return box;
}

// --- Fonts ----------------------------------------------------------------------------------

platform::Menu* VLQNSquareAnnotatedGridController::fontsMenu()
{
    static platform::Menu* const menu = [] {
        auto* fonts = new platform::Menu;
        const QStringList families = QFontDatabase::families();
        for (const QString& family : families) {
            if (QFontDatabase::isPrivateFamily(family))
                continue;
            platform::MenuItem* item = fonts->addItemWithTitleActionKeyEquivalent(family, "gridFontAction");
            item->setRepresentedObject(family);
        }
        return fonts;
    }();
    return menu;
}

bool VLQNSquareAnnotatedGridController::hasBoldFont(const QString& family)
{
    return familyHasMember(family, [](const QString& installed, const QString& style) {
        return QFontDatabase::bold(installed, style);
    });
}

bool VLQNSquareAnnotatedGridController::hasItalicFont(const QString& family)
{
    return familyHasMember(family, [](const QString& installed, const QString& style) {
        return QFontDatabase::italic(installed, style);
    });
}

void VLQNSquareAnnotatedGridController::setCommonTrait(quint32 traitMask)
{
    ZQObject* edited = grid();
    if (!edited)
        return;
    const QFont font = edited->valueForKey(QStringLiteral("font")).value<QFont>();
    const QFont converted = platform::FontManager::sharedFontManager()->convertFontToHaveTrait(font, traitMask);
    // Through the pane, unlike a plain key-value write, so that cancel puts the face back and
    // a locked grid keeps its own.
    setCommonValueForKeyPath(converted, QStringLiteral("font"));
}

// --- Display setters ------------------------------------------------------------------------

void VLQNSquareAnnotatedGridController::setGridVisible(bool visible)
{
    m_gridVisibleCheckbox->setChecked(visible);
}

void VLQNSquareAnnotatedGridController::setHorizontalAnnotation(const QVariant& annotation)
{
    showContent(*m_horizontalPane, annotation);
}

void VLQNSquareAnnotatedGridController::setVerticalAnnotation(const QVariant& annotation)
{
    showContent(*m_verticalPane, annotation);
}

void VLQNSquareAnnotatedGridController::setThemeColour(const QColor& colour)
{
    m_gridColourWell->setColor(colour);
}

void VLQNSquareAnnotatedGridController::setDrawsBorderLine(bool draws)
{
    m_showBorderCheckbox->setChecked(draws);
}

void VLQNSquareAnnotatedGridController::setBorders(const QVariant& borders)
{
    showContent(*m_borderPane, borders);
}

void VLQNSquareAnnotatedGridController::setAnnotationEdges(int edges)
{
    m_annotationEdges = edges;
    showEdges(m_annotationEdgeBoxes, edges);
}

void VLQNSquareAnnotatedGridController::setBorderEdges(int edges)
{
    m_borderEdges = edges;
    showEdges(m_borderEdgeBoxes, edges);
}

void VLQNSquareAnnotatedGridController::showEdges(const QHash<int, QCheckBox*>& boxes, int edges)
{
    for (auto box = boxes.begin(); box != boxes.end(); ++box)
        box.value()->setChecked(edges & box.key());
}

void VLQNSquareAnnotatedGridController::setFont(const QFont& font)
{
    m_boldSegment->setEnabled(hasBoldFont(font.family()));
    m_italicSegment->setEnabled(hasItalicFont(font.family()));
    m_boldSegment->setChecked(font.bold());
    m_italicSegment->setChecked(font.italic());
}

void VLQNSquareAnnotatedGridController::setFontName(const QString& name)
{
    m_fontPopUp->setText(name);
    for (QAction* action : fontsMenu()->actions())
        if (auto* item = qobject_cast<platform::MenuItem*>(action))
            item->setState(item->representedObject().toString() == name ? platform::MenuItem::OnState
                                                                        : platform::MenuItem::OffState);
}

void VLQNSquareAnnotatedGridController::setFontSize(double size)
{
    furniture::showNumber(m_fontSizeField, size);
}

void VLQNSquareAnnotatedGridController::setFontColour(const QColor& colour)
{
    m_fontColourWell->setColor(colour);
}

void VLQNSquareAnnotatedGridController::setDivisionsHidden(bool hidden)
{
    m_divisionsCheckbox->setChecked(!hidden);
    m_divisionsField->setEnabled(!hidden);
}

void VLQNSquareAnnotatedGridController::setDivisions(double divisions)
{
    furniture::showNumber(m_divisionsField, divisions);
}

void VLQNSquareAnnotatedGridController::setSpanMultiplier(double multiplier)
{
    furniture::showNumber(m_spacingField, multiplier);
}

void VLQNSquareAnnotatedGridController::setMajors(double majors)
{
    furniture::showNumber(m_majorsField, majors);
}

void VLQNSquareAnnotatedGridController::setAbbreviatedDrawingUnits(const QVariant& units)
{
    m_unitsLabel->setText(units.toString());
}

void VLQNSquareAnnotatedGridController::setPlacement(int placement)
{
    m_onGridlinesRadio->setChecked(placement == 0);
    m_betweenGridlinesRadio->setChecked(placement == 1);
}

// --- Actions --------------------------------------------------------------------------------

void VLQNSquareAnnotatedGridController::gridSpacingAction(QObject* sender)
{
    takeCommonValueFromForKeyPath(sender, QStringLiteral("spanMultiplier"));
}

void VLQNSquareAnnotatedGridController::gridVisibleAction(QObject* sender)
{
    takeCommonValueFromForKeyPath(sender, QStringLiteral("gridVisible"));
}

void VLQNSquareAnnotatedGridController::gridThemeColourAction(QObject* sender)
{
    takeCommonValueFromForKeyPath(sender, QStringLiteral("themeColour"));
}

void VLQNSquareAnnotatedGridController::gridBorderVisibleAction(QObject* sender)
{
    takeCommonValueFromForKeyPath(sender, QStringLiteral("drawsBorderLine"));
}

void VLQNSquareAnnotatedGridController::gridPlacementAction(QObject* sender)
{
    const int placement = sender == m_onGridlinesRadio ? 0 : 1;
    m_horizontalPane->setCommonValueForKeyPath(placement, QStringLiteral("placement"));
    m_verticalPane->setCommonValueForKeyPath(placement, QStringLiteral("placement"));
}

int VLQNSquareAnnotatedGridController::edgesFromSender(const QHash<int, QCheckBox*>& boxes, int edges, QObject* sender)
{
    for (auto box = boxes.begin(); box != boxes.end(); ++box) {
        if (box.value() == sender)
            return box.value()->isChecked() ? edges | box.key() : edges & ~box.key();
    }
    return edges;
}

void VLQNSquareAnnotatedGridController::annotationEdgesAction(QObject* sender)
{
    setCommonValueForKeyPath(edgesFromSender(m_annotationEdgeBoxes, m_annotationEdges, sender),
                             QStringLiteral("annotationEdges"));
}

void VLQNSquareAnnotatedGridController::borderEdgesAction(QObject* sender)
{
    m_borderPane->setCommonValueForKeyPath(edgesFromSender(m_borderEdgeBoxes, m_borderEdges, sender),
                                           QStringLiteral("borderEdges"));
}

void VLQNSquareAnnotatedGridController::gridFontAction(QObject* sender)
{
    if (const auto* item = qobject_cast<platform::MenuItem*>(sender))
        setCommonValueForKeyPath(item->representedObject(), QStringLiteral("fontName"));
}

void VLQNSquareAnnotatedGridController::gridFontSizeAction(QObject* sender)
{
    takeCommonValueFromForKeyPath(sender, QStringLiteral("fontSize"));
}

void VLQNSquareAnnotatedGridController::gridFontColourAction(QObject* sender)
{
    takeCommonValueFromForKeyPath(sender, QStringLiteral("fontColour"));
}

void VLQNSquareAnnotatedGridController::gridFontFaceAction(QObject* sender)
{
    using platform::FontManager;
    if (sender == m_boldSegment)
        setCommonTrait(m_boldSegment->isChecked() ? FontManager::BoldFontMask : FontManager::UnboldFontMask);
    else if (sender == m_italicSegment)
        setCommonTrait(m_italicSegment->isChecked() ? FontManager::ItalicFontMask : FontManager::UnitalicFontMask);
}

void VLQNSquareAnnotatedGridController::divisionsEnableAction(QObject* sender)
{
    if (const auto* box = qobject_cast<QCheckBox*>(sender))
        setCommonValueForKeyPath(!box->isChecked(), QStringLiteral("divisionsHidden"));
}

void VLQNSquareAnnotatedGridController::divisionsAction(QObject* sender)
{
    takeCommonValueFromForKeyPath(sender, QStringLiteral("divisions"));
}

void VLQNSquareAnnotatedGridController::majorsAction(QObject* sender)
{
    takeCommonValueFromForKeyPath(sender, QStringLiteral("majors"));
}

const platform::DisplayBindings& VLQNSquareAnnotatedGridController::displayBindings() const
{
    using Self = VLQNSquareAnnotatedGridController;
    static const auto bindings = platform::DisplayBindings()
        .bind(QStringLiteral("gridVisible"), &Self::setGridVisible)
        .bind(QStringLiteral("horizontalAnnotation"), &Self::setHorizontalAnnotation)
        .bind(QStringLiteral("verticalAnnotation"), &Self::setVerticalAnnotation)
        .bind(QStringLiteral("themeColour"), &Self::setThemeColour)
        .bind(QStringLiteral("drawsBorderLine"), &Self::setDrawsBorderLine)
        .bind(QStringLiteral("borders"), &Self::setBorders)
        .bind(QStringLiteral("annotationEdges"), &Self::setAnnotationEdges)
        .bind(QStringLiteral("font"), &Self::setFont)
        .bind(QStringLiteral("fontName"), &Self::setFontName)
        .bind(QStringLiteral("fontSize"), &Self::setFontSize)
        .bind(QStringLiteral("fontColour"), &Self::setFontColour)
        .bind(QStringLiteral("divisionsHidden"), &Self::setDivisionsHidden)
        .bind(QStringLiteral("divisions"), &Self::setDivisions)
        .bind(QStringLiteral("spanMultiplier"), &Self::setSpanMultiplier)
        .bind(QStringLiteral("majors"), &Self::setMajors)
        .bind(QStringLiteral("abbreviatedDrawingUnits"), &Self::setAbbreviatedDrawingUnits);
    return bindings;
}
