#include "panels/dialogs/QVNSmartSearchesController.h"

#include "panels/dialogs/MPAdvancedSearchController.h"
#include "panels/dialogs/SmartSearchListModel.h"
#include "panels/search/SmartSearchTable.h"
#include "platform/ui/Sheet.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

QVNSmartSearchesController::QVNSmartSearchesController(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(tr("Smart Searches"));
    auto* layout = new QVBoxLayout(this);
    m_model = new SmartSearchListModel(this);
    m_table = new QTableView(this);
    m_table->setModel(m_model);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    m_table->setSortingEnabled(true);
    m_table->sortByColumn(SmartSearchListModel::kNameColumn, Qt::AscendingOrder);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setSectionResizeMode(SmartSearchListModel::kNameColumn, QHeaderView::Stretch);
    m_table->horizontalHeader()->setSectionResizeMode(SmartSearchListModel::kAllLayersColumn,
                                                      QHeaderView::ResizeToContents);
    layout->addWidget(m_table);
    m_description = new QLabel(this);
    m_description->setWordWrap(true);
    layout->addWidget(m_description);

    auto* buttons = new QHBoxLayout;
    const auto button = [&](const QString& title, void (QVNSmartSearchesController::*action)()) {
        auto* made = new QPushButton(title, this);
        made->setAutoDefault(false);
        connect(made, &QPushButton::clicked, this, action);
        buttons->addWidget(made);
        return made;
    };
    m_addButton = button(tr("Add..."), &QVNSmartSearchesController::addSearchAction);
    m_editButton = button(tr("Edit..."), &QVNSmartSearchesController::editSearchAction);
    m_deleteButton = button(tr("Delete"), &QVNSmartSearchesController::deleteSearchAction);
    buttons->addStretch();
    m_searchButton = button(tr("Search"), &QVNSmartSearchesController::searchAction);
    m_closeButton = button(tr("Close"), &QVNSmartSearchesController::closeAction);
    layout->addLayout(buttons);
    connect(m_table->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &QVNSmartSearchesController::selectionChanged);
    connect(m_model, &SmartSearchListModel::searchRenamed, this, &QVNSmartSearchesController::selectName);
    // A reload (rename, store) clears the selection without a selection change.
    connect(m_model, &QAbstractItemModel::modelReset, this, &QVNSmartSearchesController::selectionChanged);
    resize(460, 320);
    conditionallyEnableUI();
}

QVNSmartSearchesController::~QVNSmartSearchesController() = default;

QVNSmartSearchesController* QVNSmartSearchesController::sharedSmartSearchesController()
{
    static QPointer<QVNSmartSearchesController> shared;
    if (!shared)
        shared = new QVNSmartSearchesController;
    return shared;
}

SmartSearchesDelegate* QVNSmartSearchesController::delegate() const
{
    return dynamic_cast<SmartSearchesDelegate*>(m_delegate.data());
}

void QVNSmartSearchesController::showDialogInParentWindow(QWidget* window, QObject* delegate)
{
    m_delegate = delegate;
    m_model->reload();
    m_table->clearSelection();
    platform::Sheet::beginSheetModalForWindowCompletionHandler(this, window, [this](int) { sheetDidEnd(); });
    conditionallyEnableUI();
}

MPSearchQueryPtr QVNSmartSearchesController::selectedQuery() const
{
    const QString name = selectedName();
    return name.isEmpty() ? nullptr : SmartSearchTable::smartSearchForKey(name);
}

QString QVNSmartSearchesController::selectedName() const
{
    const QModelIndexList rows = m_table->selectionModel()->selectedRows();
    return rows.isEmpty() ? QString() : m_model->nameAtRow(rows.last().row());
}

void QVNSmartSearchesController::selectName(const QString& name)
{
    const int row = m_model->rowOfName(name);
    if (row < 0)
        return;
    m_table->selectRow(row);
    m_table->scrollTo(m_model->index(row, SmartSearchListModel::kNameColumn));
}

void QVNSmartSearchesController::selectionChanged()
{
    const MPSearchQueryPtr query = selectedQuery();
    m_description->setText(query ? query->userReadableDescription().trimmed() : QString());
    conditionallyEnableUI();
}

void QVNSmartSearchesController::conditionallyEnableUI()
{
    const bool selected = !selectedName().isEmpty();
    m_deleteButton->setEnabled(selected);
    m_editButton->setEnabled(selected);
    m_searchButton->setEnabled(selected);
}

// --- Commands ------------------------------------------------------------------------------------------

void QVNSmartSearchesController::openSearchEditor()
{
    if (!m_searchController)
        m_searchController = new MPAdvancedSearchController(this);
    m_searchController->showSheetInParentWindow(this, this);
    m_searchController->setFindButtonLabel(tr("Save"));
}

void QVNSmartSearchesController::addSearchAction()
{
    m_table->clearSelection();
    m_editingQueryKey.clear();
    openSearchEditor();
}

void QVNSmartSearchesController::editSearchAction()
{
    const QString name = selectedName();
    if (name.isEmpty())
        return;
    m_editingQueryKey = name;
    openSearchEditor();
}

void QVNSmartSearchesController::deleteSearchAction()
{
    const QString name = selectedName();
    if (name.isEmpty())
        return;
    SmartSearchTable::removeSmartSearchForKey(name);
    m_model->reload();
    m_table->clearSelection();
}

void QVNSmartSearchesController::searchAction()
{
    const MPSearchQueryPtr query = selectedQuery();
    if (SmartSearchesDelegate* document = delegate(); document && query)
        document->searchWithQuery(query);
}

void QVNSmartSearchesController::closeAction()
{
    platform::Sheet::endSheetReturnCode(this, platform::Sheet::kDefaultReturn);
}

void QVNSmartSearchesController::sheetDidEnd()
{
    if (SmartSearchesDelegate* document = delegate())
        document->smartSearchesControllerDidEnd(*this);
}

// --- The advanced sheet's delegate -------------------------------------------------------------------------

void QVNSmartSearchesController::searchControllerRequestQuery(MPAdvancedSearchController& sheet)
{
    sheet.setSmartSearchesCheckboxHidden(true);
    const MPSearchQueryPtr selected =
        m_editingQueryKey.isEmpty() ? nullptr : SmartSearchTable::smartSearchForKey(m_editingQueryKey);
    const MPSearchQueryPtr copy = selected ? selected->copyQuery() : nullptr;
    if (copy && copy->criteriaCount() > 0)
        sheet.setSearchQuery(copy);
    sheet.setAllLayersCheckboxValue(copy && copy->auxiliaryDataBooleanValueForKey(kVXQSearchAllLayersOption));
}

void QVNSmartSearchesController::searchWithQuery(const MPSearchQueryPtr& query)
{
    const bool adding = m_editingQueryKey.isEmpty();
    const QString name = m_model->storeEditedQuery(query, m_editingQueryKey);
    m_editingQueryKey.clear();
    selectName(name);
    if (adding) {
        const int row = m_model->rowOfName(name);
        m_table->edit(m_model->index(row, SmartSearchListModel::kNameColumn));
    }
}

QStringList QVNSmartSearchesController::searchableProperties() const
{
    const SmartSearchesDelegate* document = delegate();
    return document ? document->searchableProperties() : QStringList();
}

int QVNSmartSearchesController::dataTypeForProperty(const QString& name) const
{
    const SmartSearchesDelegate* document = delegate();
    return document ? document->dataTypeForProperty(name) : 0;
}

QString QVNSmartSearchesController::identifierForProperty(const QString& name) const
{
    const SmartSearchesDelegate* document = delegate();
    return document ? document->identifierForProperty(name) : name;
}
