// The attribute editor's widgets: the search field with its find options, the table, and the
// add, remove and predefined-attribute buttons under it.

#include "inspectors/attributes/AttributeCellDelegates.h"
#include "inspectors/attributes/AttributeTableModel.h"
#include "inspectors/attributes/AttributeTables.h"
#include "inspectors/attributes/VXQAttributeController.h"
#include "platform/ui/Menu.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

platform::Menu* taggedMenu(QWidget* parent, const QStringList& titles, const QByteArray& action, QObject* target)
{
    auto* menu = new platform::Menu({}, parent);
    for (int tag = 0; tag < titles.size(); ++tag) {
        platform::MenuItem* item = menu->addItemWithTitleActionKeyEquivalent(titles[tag], action);
        item->setTag(tag);
        item->setTarget(target);
    }
    return menu;
}

QToolButton* menuButton(QWidget* parent, const QString& text, const QString& toolTip, QMenu* menu)
{
    auto* button = new QToolButton(parent);
    button->setText(text);
    button->setToolTip(toolTip);
    button->setMenu(menu);
    return button;
}

} // namespace

QWidget* VXQAttributeController::loadView()
{
    auto* pane = new QWidget;
    pane->setObjectName(kNibName);
    auto* layout = new QVBoxLayout(pane);
    layout->setContentsMargins(0, 0, 0, 0);

    auto* searchRow = new QHBoxLayout;
    QStringList options;
    for (int option = 0; option < attributetables::kFindOptionCount; ++option)
        options.append(attributetables::titleForFindOption(option));
    auto* optionsButton = menuButton(pane, QStringLiteral("\u2315"), tr("Find Options"),
                                     taggedMenu(pane, options, "searchFieldOptionsAction", this));
    optionsButton->setPopupMode(QToolButton::InstantPopup);
    searchRow->addWidget(optionsButton);
    m_searchField = new QLineEdit(pane);
    m_searchField->setPlaceholderText(tr("Search"));
    m_searchField->setClearButtonEnabled(true);
    connect(m_searchField, &QLineEdit::textEdited, this, [this] { searchFieldInputAction(m_searchField); });
    searchRow->addWidget(m_searchField, 1);
    layout->addLayout(searchRow);

    m_table = new QTableView(pane);
    m_model = new AttributeTableModel(this, m_table);
    m_table->setModel(m_model);
    m_table->setItemDelegateForColumn(kTypeColumn, new AttributeTypeDelegate(m_table));
    m_table->setItemDelegateForColumn(kValueColumn, new AttributeValueDelegate(m_table));
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_table->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                             | QAbstractItemView::SelectedClicked);
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 8);
    // Stretched, not merely last: a stretched last section keeps its default width in a narrow
    // panel, which pushes right-aligned numbers out of sight.
    m_table->horizontalHeader()->setSectionResizeMode(kValueColumn, QHeaderView::Stretch);
    m_table->setColumnWidth(kKeyColumn, 80);
    // Wide enough for the longest type's name ("Real Number"), with room for the cell's margins.
    int typeWidth = 64;
    for (int index = 0; index < attributetables::kTypeIndexCount; ++index)
        typeWidth = std::max(typeWidth, m_table->fontMetrics().horizontalAdvance(attributetables::titleForIndex(index)) + 16);
    m_table->setColumnWidth(kTypeColumn, typeWidth);
    m_table->horizontalHeader()->setSortIndicator(m_sortColumn, m_sortOrder);
    m_table->setSortingEnabled(true);
    connect(m_table->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { updateRemoveButton(); });
    m_table->setContextMenuPolicy(Qt::CustomContextMenu);
    auto* contextMenu = new platform::Menu({}, m_table);
    for (const auto& [title, action] : {std::pair{tr("Copy Attributes"), QByteArrayLiteral("copyAttributesAction")},
                                        std::pair{tr("Paste Attributes"), QByteArrayLiteral("pasteAttributesAction")},
                                        std::pair{tr("Select All"), QByteArrayLiteral("selectAll")},
                                        std::pair{tr("Deselect All"), QByteArrayLiteral("deselectAll")}})
        contextMenu->addItemWithTitleActionKeyEquivalent(title, action)->setTarget(this);
    connect(m_table, &QWidget::customContextMenuRequested, this,
            [this, contextMenu](const QPoint& point) { contextMenu->popup(m_table->viewport()->mapToGlobal(point)); });
    layout->addWidget(m_table, 1);

    auto* buttons = new QHBoxLayout;
    QStringList types;
    for (int index = 0; index < attributetables::kTypeIndexCount; ++index)
        types.append(attributetables::titleForIndex(index));
    m_addButton = menuButton(pane, QStringLiteral("+"), tr("Add Attribute"),
                             taggedMenu(pane, types, "addTypedItemFromTagAction", this));
    m_addButton->setPopupMode(QToolButton::MenuButtonPopup);
    connect(m_addButton, &QToolButton::clicked, this, [this] { addItemAction(m_addButton); });
    buttons->addWidget(m_addButton);
    m_removeButton = new QToolButton(pane);
    m_removeButton->setText(QStringLiteral("\u2212"));
    m_removeButton->setToolTip(tr("Delete Attribute"));
    connect(m_removeButton, &QToolButton::clicked, this, [this] { removeItemAction(m_removeButton); });
    buttons->addWidget(m_removeButton);
    buttons->addStretch(1);
    const QStringList predefined = {tr("Name"), tr("Route Number"), tr("Sequence Number"),
                                    tr("Sequence Card"), tr("Sequence Info"), tr("Bus Route")};
    m_predefinedButton = menuButton(pane, tr("Predefined"), tr("Insert a predefined attribute"),
                                    taggedMenu(pane, predefined, "insertPredefinedAttributeAction", this));
    m_predefinedButton->setPopupMode(QToolButton::InstantPopup);
    buttons->addWidget(m_predefinedButton);
    layout->addLayout(buttons);

    m_model->reload();
    updateRemoveButton();
    return pane;
}

QTableView* VXQAttributeController::tableView()
{
    view();
    return m_table;
}

AttributeTableModel* VXQAttributeController::tableModel()
{
    view();
    return m_model;
}

QLineEdit* VXQAttributeController::searchField()
{
    view();
    return m_searchField;
}

QToolButton* VXQAttributeController::addButton()
{
    view();
    return m_addButton;
}

QToolButton* VXQAttributeController::removeButton()
{
    view();
    return m_removeButton;
}
