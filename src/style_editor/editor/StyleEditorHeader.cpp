#include "style_editor/editor/StyleEditorHeader.h"

#include "library/catalogue/VXQLibraryCatalogue.h"
#include "platform/foundation/ClassRegistry.h"
#include "platform/vantrix/drawables/VXDrawableObject.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/model/VXObjectOwnerLayer.h"
#include "style_editor/editor/StyleEditorCommands.h"
#include "widgets/paint/KitImage.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QSet>
#include <algorithm>

namespace {

constexpr QSize kSwatchSize(64, 64);
constexpr QSizeF kIconSize(16, 16);

void showImageNamed(QLabel* label, const QString& name)
{
    const KitImage image = imageNamed(name);
    label->setPixmap(image.isNull() ? QPixmap()
                                    : QPixmap::fromImage(image.imageOfSize(kIconSize, label->devicePixelRatioF())));
    label->setToolTip(image.isNull() ? name : QString());
}

QLabel* makeIconView(QWidget* parent, const QString& name)
{
    auto* label = new QLabel(parent);
    label->setFixedSize(kIconSize.toSize());
    showImageNamed(label, name);
    return label;
}

// The drawing's objects whose drawing uses the style, groups counted once.
int countOfObjectsUsingStyle(const VXStyle& style, const VXDrawing* drawing)
{
    if (!drawing)
        return 0;
    int users = 0;
    for (const VXLayerPtr& layer : drawing->flattenedLayers()) {
        const auto* owner = qobject_cast<const VXObjectOwnerLayer*>(layer.get());
        if (!owner)
            continue;
        for (const VXDrawableObjectPtr& object : owner->objects())
            users += object->usesStyle(style);
    }
    return users;
}

} // namespace

StyleEditorHeader::StyleEditorHeader(StyleEditorCommands& commands)
    : m_commands(commands)
{
}

QWidget* StyleEditorHeader::makeView()
{
    auto* header = new QWidget;
    auto* grid = new QGridLayout(header);
    grid->setContentsMargins(0, 0, 0, 0);

    m_stylePreviewImageWell = new VXQStyleImageView(header);
    m_stylePreviewImageWell->setFixedSize(kSwatchSize);
    m_stylePreviewImageWell->setTarget(&m_commands);
    m_stylePreviewImageWell->setAction("styleWellAction");
    grid->addWidget(m_stylePreviewImageWell, 0, 0, 3, 1);

    m_styleNameTextView = new QLineEdit(header);
    m_styleNameTextView->setReadOnly(true);
    m_styleNameTextView->setFrame(false);
    m_styleNameTextView->installEventFilter(this);
    connect(m_styleNameTextView, &QLineEdit::returnPressed, this, [this] { m_commands.nameFieldAction(m_styleNameTextView); });
    grid->addWidget(m_styleNameTextView, 0, 1, 1, 3);

    m_libraryInfoTextView = new QLabel(header);
    m_libraryInfoTextView->setWordWrap(true);
    grid->addWidget(m_libraryInfoTextView, 1, 1, 1, 3);

    auto* flags = new QHBoxLayout;
    m_editableIconView = makeIconView(header, QStringLiteral("VLST_editable"));
    m_editableCheckbox = new QCheckBox(tr("Editable"), header);
    connect(m_editableCheckbox, &QCheckBox::clicked, this, [this] { m_commands.editableAction(m_editableCheckbox); });
    m_sharedIconView = makeIconView(header, QStringLiteral("VLST_global-style-OFF"));
    m_sharedCheckbox = new QCheckBox(tr("Shared"), header);
    m_sharedCheckbox->setToolTip(tr("Marks the style as one to share. Objects that already use the style change with "
                                    "it either way: the line below the name says how many there are."));
    connect(m_sharedCheckbox, &QCheckBox::clicked, this, [this] { m_commands.sharedAction(m_sharedCheckbox); });
    m_lockedLibraryIconView = makeIconView(header, QStringLiteral("VLST_locked-library"));
    m_lockedLibraryIconView->setToolTip(tr("The style's library does not allow changes"));
    for (QWidget* widget : {static_cast<QWidget*>(m_editableIconView), static_cast<QWidget*>(m_editableCheckbox),
                            static_cast<QWidget*>(m_sharedIconView), static_cast<QWidget*>(m_sharedCheckbox),
                            static_cast<QWidget*>(m_lockedLibraryIconView)})
        flags->addWidget(widget);
    flags->addStretch();
    grid->addLayout(flags, 2, 1, 1, 3);

    auto* controls = new QHBoxLayout;
    controls->addWidget(new QLabel(tr("Opacity:"), header));
    m_masterOpacityTextField = new QLineEdit(header);
    m_masterOpacityTextField->setFixedWidth(48);
    connect(m_masterOpacityTextField, &QLineEdit::editingFinished, this,
            [this] { m_commands.masterOpacityAction(m_masterOpacityTextField); });
    controls->addWidget(m_masterOpacityTextField);
    m_masterOpacityStepper = new QDoubleSpinBox(header);
    m_masterOpacityStepper->setRange(0, 1);
    m_masterOpacityStepper->setSingleStep(0.05);
    m_masterOpacityStepper->setDecimals(2);
    m_masterOpacityStepper->setKeyboardTracking(false);
    connect(m_masterOpacityStepper, &QDoubleSpinBox::valueChanged, this, [this] {
        if (!m_masterOpacityStepper->signalsBlocked())
            m_commands.masterOpacityAction(m_masterOpacityStepper);
    });
    controls->addWidget(m_masterOpacityStepper);
    controls->addStretch();
    m_resetButton = new QPushButton(tr("Reset"), header);
    connect(m_resetButton, &QPushButton::clicked, this, [this] { m_commands.resetStyleAction(m_resetButton); });
    m_cloneButton = new QPushButton(tr("Clone"), header);
    connect(m_cloneButton, &QPushButton::clicked, this, [this] { m_commands.cloneStyleAction(m_cloneButton); });
    controls->addWidget(m_resetButton);
    controls->addWidget(m_cloneButton);
    grid->addLayout(controls, 3, 0, 1, 4);

    auto* menus = new QHBoxLayout;
    m_componentMenu = new platform::Menu(tr("Add Component"), header);
    m_componentMenuPopUp = new QToolButton(header);
    m_componentMenuPopUp->setText(tr("Add Component"));
    m_componentMenuPopUp->setMenu(m_componentMenu);
    m_componentMenuPopUp->setPopupMode(QToolButton::InstantPopup);
    fillComponentMenu();
    m_actionMenu = new platform::Menu(tr("Style"), header);
    m_actionMenuPopUp = new QToolButton(header);
    m_actionMenuPopUp->setText(tr("Style"));
    m_actionMenuPopUp->setMenu(m_actionMenu);
    m_actionMenuPopUp->setPopupMode(QToolButton::InstantPopup);
    fillActionMenu();
    menus->addWidget(m_componentMenuPopUp);
    menus->addStretch();
    menus->addWidget(m_actionMenuPopUp);
    grid->addLayout(menus, 4, 0, 1, 4);
    grid->setColumnStretch(3, 1);
    return header;
}

void StyleEditorHeader::fillComponentMenu()
{
    QSet<const QMetaObject*> listed;
    for (int tag : StyleEditorCommands::componentTags()) {
        const QMetaObject* componentClass = StyleEditorCommands::componentClassForTag(tag);
        // Two tags name the same class; the menu lists it once.
        if (listed.contains(componentClass))
            continue;
        listed.insert(componentClass);
        const auto component =
            componentClass ? std::dynamic_pointer_cast<VXRasterizer>(platform::ClassRegistry::create(componentClass->className()))
                           : nullptr;
        auto* item = new platform::MenuItem(component ? component->displayName() : tr("Unavailable"),
                                            "addComponentWithTagOfSenderAction", m_componentMenu);
        item->setTag(tag);
        item->setTarget(&m_commands);
        m_componentMenu->addAction(item);
    }
}

void StyleEditorHeader::fillActionMenu()
{
    const auto add = [this](const QString& title, const QByteArray& action) {
        auto* item = new platform::MenuItem(title, action, m_actionMenu);
        item->setTarget(&m_commands);
        m_actionMenu->addAction(item);
        return item;
    };
    add(tr("Rename Style"), "renameAction");
    add(tr("Paste Component"), "pasteComponentAction");
    m_actionMenu->addSeparator();
    add(tr("Add to Library"), "addToLibraryAction");
    add(tr("Reveal in Library"), "revealInLibraryAction");
    m_userLibrariesListMenu = m_actionMenu->addMenu(tr("Default Library"));
    add(tr("Reset Style Numbering"), "resetStyleNumberingAction");
    m_actionMenu->addSeparator();
    add(tr("Collapse All"), "collapseAllAction");
    add(tr("Expand All"), "expandAllAction");
    add(tr("Show Drawing Units"), "toggleDrawingUnitsDisplayAction")->setCheckable(true);
    m_actionMenu->addSeparator();
    add(tr("Style Editor Help"), "styleEditorHelpAction");
    // The user libraries are listed as they are when the menu opens.
    connect(m_actionMenu, &QMenu::aboutToShow, this, [this] { m_commands.populateMenuOfUserLibraries(m_userLibrariesListMenu); });
}

bool StyleEditorHeader::eventFilter(QObject* watched, QEvent* event)
{
    // The type first: a field being destroyed still sends events, and is no line edit by then.
    if (event->type() == QEvent::MouseButtonDblClick && !m_renamingModeActive && watched == m_styleNameTextView) {
        m_commands.handleNameDoubleClick();
        return m_renamingModeActive;
    }
    if (event->type() == QEvent::FocusOut && m_renamingModeActive && watched == m_styleNameTextView)
        m_commands.nameFieldAction(m_styleNameTextView);
    return QObject::eventFilter(watched, event);
}

// --- States ---------------------------------------------------------------------------------------------

bool StyleEditorHeader::showLibraryLine(const VXStyle& style, const VXDrawing* drawing)
{
    QString line = tr("Ad-Hoc Style");
    bool editableByLibrary = true;
    if (style.isStyleRegistered()) {
        if (const VXQLibrary* library = VXQLibraryCatalogue::libraryContainingItemWithUniqueID(style.uniqueKey())) {
            line = QStringLiteral("%1 \u201C%2\u201D").arg(tr("In Library"), library->name());
            editableByLibrary = library->allowsContentChanges();
        }
    }
    if (style.isPureTextStyle())
        line = QStringLiteral("%1 (%2)").arg(line, tr("Text Only"));
    // Every object given this style holds the style itself, so an edit restyles them all,
    // whatever the Shared box says; the line says how many that is.
    const int users = countOfObjectsUsingStyle(style, drawing);
    if (users > 1)
        line = tr("%1, used by %n object(s)", nullptr, users).arg(line);
    m_libraryInfoTextView->setText(line);
    return editableByLibrary;
}

void StyleEditorHeader::showStyle(const VXStylePtr& style, bool editableByLibrary)
{
    m_stylePreviewImageWell->setStyle(style);
    m_lockedLibraryIconView->setVisible(!editableByLibrary);
    m_resetButton->setEnabled(true);
    m_cloneButton->setEnabled(true);
    m_actionMenuPopUp->setEnabled(true);
    m_componentMenuPopUp->setEnabled(editableByLibrary);
    m_componentMenuPopUp->setVisible(!style->isPureTextStyle());
    m_sharedCheckbox->setEnabled(editableByLibrary);
    m_sharedIconView->setEnabled(editableByLibrary);
    m_editableCheckbox->setEnabled(editableByLibrary);
    m_editableIconView->setEnabled(editableByLibrary);
}

void StyleEditorHeader::showNoStyle()
{
    m_stylePreviewImageWell->setStyle(nullptr);
    m_lockedLibraryIconView->hide();
    for (QWidget* widget :
         {static_cast<QWidget*>(m_editableCheckbox), static_cast<QWidget*>(m_editableIconView),
          static_cast<QWidget*>(m_sharedCheckbox), static_cast<QWidget*>(m_sharedIconView),
          static_cast<QWidget*>(m_resetButton), static_cast<QWidget*>(m_cloneButton),
          static_cast<QWidget*>(m_masterOpacityStepper), static_cast<QWidget*>(m_masterOpacityTextField),
          static_cast<QWidget*>(m_componentMenuPopUp), static_cast<QWidget*>(m_actionMenuPopUp)})
        widget->setEnabled(false);
    m_styleNameTextView->clear();
    m_libraryInfoTextView->clear();
}

void StyleEditorHeader::showMultipleStyles()
{
    m_styleNameTextView->setText(tr("Multiple Styles"));
    m_libraryInfoTextView->setText(tr("Simplify the selection to edit the style"));
    for (QWidget* widget : {static_cast<QWidget*>(m_sharedCheckbox), static_cast<QWidget*>(m_sharedIconView),
                            static_cast<QWidget*>(m_editableCheckbox), static_cast<QWidget*>(m_editableIconView)})
        widget->setEnabled(false);
    m_resetButton->setEnabled(true);
    m_lockedLibraryIconView->hide();
}

void StyleEditorHeader::setName(const QString& name)
{
    m_styleNameTextView->setText(name);
}

void StyleEditorHeader::setOpacity(double opacity)
{
    m_masterOpacityTextField->setText(QString::number(opacity, 'f', 2));
    const QSignalBlocker quiet(m_masterOpacityStepper);
    m_masterOpacityStepper->setValue(opacity);
}

void StyleEditorHeader::showEditable(bool editable)
{
    m_editableCheckbox->setChecked(editable);
    showImageNamed(m_editableIconView, editable ? QStringLiteral("VLST_editable") : QStringLiteral("VLST_editable-OFF-Template"));
    m_sharedCheckbox->setEnabled(editable);
    m_masterOpacityStepper->setEnabled(editable);
    m_masterOpacityTextField->setEnabled(editable);
    m_componentMenuPopUp->setEnabled(editable);
}

void StyleEditorHeader::setStyleSharable(bool sharable)
{
    m_sharedCheckbox->setChecked(sharable);
    showImageNamed(m_sharedIconView, sharable ? QStringLiteral("VLST_global-style-ON") : QStringLiteral("VLST_global-style-OFF"));
}

void StyleEditorHeader::showSharingAvailable(bool available)
{
    m_sharedCheckbox->setVisible(available);
    m_sharedIconView->setVisible(available);
}

void StyleEditorHeader::setRenamingMode(bool renaming)
{
    if (!m_styleNameTextView || renaming == m_renamingModeActive)
        return;
    m_renamingModeActive = renaming;
    m_styleNameTextView->setReadOnly(!renaming);
    m_styleNameTextView->setFrame(renaming);
    if (renaming) {
        m_styleNameTextView->setFocus();
        m_styleNameTextView->selectAll();
    } else {
        m_styleNameTextView->deselect();
        if (QWidget* window = m_styleNameTextView->window(); window && m_styleNameTextView->hasFocus())
            window->setFocus();
    }
}
