#include "panels/dialogs/MPAdvancedSearchController.h"

#include "panels/dialogs/CriterionRowViews.h"
#include "panels/dialogs/MPSearchCriterionController.h"
#include "platform/ui/Sheet.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

MPAdvancedSearchController::MPAdvancedSearchController(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(tr("Find"));
    m_model.setPropertySource(this);
    buildChrome();
    connect(&m_model, &SearchCriteriaModel::rowsReset, this, &MPAdvancedSearchController::rebuildRows);
    connect(&m_model, &SearchCriteriaModel::rowInserted, this, &MPAdvancedSearchController::rowInserted);
    connect(&m_model, &SearchCriteriaModel::rowRemoved, this, &MPAdvancedSearchController::rowRemoved);
    connect(&m_model, &SearchCriteriaModel::rowReplaced, this, &MPAdvancedSearchController::rowReplaced);
}

MPAdvancedSearchController::~MPAdvancedSearchController()
{
    m_model.disconnect(this);
    // Before the widget's children go: a row takes its view out of this window.
    qDeleteAll(std::exchange(m_rowControllers, {}));
}

void MPAdvancedSearchController::buildChrome()
{
    auto* layout = new QVBoxLayout(this);
    auto* header = new QHBoxLayout;
    header->addWidget(new QLabel(tr("Find objects matching"), this));
    m_searchModePopUp = new QComboBox(this);
    m_searchModePopUp->addItem(tr("all"), kMPMatchAll);
    m_searchModePopUp->addItem(tr("any"), kMPMatchAny);
    connect(m_searchModePopUp, &QComboBox::activated, this, &MPAdvancedSearchController::searchModeAction);
    header->addWidget(m_searchModePopUp);
    header->addWidget(new QLabel(tr("of the following:"), this));
    header->addStretch();
    layout->addLayout(header);

    m_embeddingView = new QWidget(this);
    m_rowsLayout = new QVBoxLayout(m_embeddingView);
    m_rowsLayout->setContentsMargins(0, 0, 0, 0);
    m_rowsLayout->setSpacing(0);
    m_rowsLayout->setAlignment(Qt::AlignTop);
    // The first row's room; each further row grows the window.
    m_embeddingView->setMinimumHeight(criterionrows::kRowHeight);
    layout->addWidget(m_embeddingView);

    auto* options = new QHBoxLayout;
    m_addButton = new QPushButton(QStringLiteral("+"), this);
    m_addButton->setToolTip(tr("Add a criterion"));
    m_addButton->setFixedWidth(28);
    connect(m_addButton, &QPushButton::clicked, this, &MPAdvancedSearchController::addNewCriterion);
    options->addWidget(m_addButton);
    m_allLayersCheckbox = new QCheckBox(tr("Search all layers"), this);
    connect(m_allLayersCheckbox, &QCheckBox::clicked, this, &MPAdvancedSearchController::setAllLayersCheckboxValue);
    options->addWidget(m_allLayersCheckbox);
    m_saveCheckbox = new QCheckBox(tr("Save as Smart Search"), this);
    connect(m_saveCheckbox, &QCheckBox::clicked, this, &MPAdvancedSearchController::setSmartCheckboxValue);
    options->addWidget(m_saveCheckbox);
    options->addStretch();
    layout->addLayout(options);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* cancelButton = new QPushButton(tr("Cancel"), this);
    connect(cancelButton, &QPushButton::clicked, this, &MPAdvancedSearchController::cancel);
    buttons->addWidget(cancelButton);
    m_findButton = new QPushButton(tr("Find"), this);
    m_findButton->setDefault(true);
    connect(m_findButton, &QPushButton::clicked, this, &MPAdvancedSearchController::performSearch);
    buttons->addWidget(m_findButton);
    layout->addLayout(buttons);
    resize(qMax(560, sizeHint().width()), sizeHint().height());
}

AdvancedSearchDelegate* MPAdvancedSearchController::delegate() const
{
    return dynamic_cast<AdvancedSearchDelegate*>(m_delegate.data());
}

void MPAdvancedSearchController::setSearchQuery(const MPSearchQueryPtr& query)
{
    m_model.setQuery(query);
}

// --- Showing and ending -----------------------------------------------------------------------------------

void MPAdvancedSearchController::showSheetInParentWindow(QWidget* window, QObject* delegate)
{
    if (delegate)
        setDelegate(delegate);
    // Each show starts from what the delegate has now.
    m_model.setQuery(nullptr);
    if (AdvancedSearchDelegate* answering = this->delegate()) {
        answering->searchControllerRequestQuery(*this);
        answering->searchControllerWillShowWindow(*this);
    }
    m_sheetOperation = true;
    platform::Sheet::beginSheetModalForWindowCompletionHandler(this, window, nullptr);
    focusFirstActive();
}

void MPAdvancedSearchController::performSearch()
{
    commitEditing();
    closeSheet(platform::Sheet::kDefaultReturn);
    const MPSearchQueryPtr query = searchQuery();
    if (AdvancedSearchDelegate* answering = delegate()) {
        answering->searchControllerDidCloseWindow(*this);
        if (query && query->criteriaCount() > 0)
            answering->searchWithQuery(query);
    }
}

void MPAdvancedSearchController::cancel()
{
    closeSheet(platform::Sheet::kCancelReturn);
    if (AdvancedSearchDelegate* answering = delegate())
        answering->searchControllerDidCloseWindow(*this);
}

void MPAdvancedSearchController::closeSheet(int returnCode)
{
    m_sheetOperation = false;
    if (isVisible())
        QDialog::done(returnCode);
}

void MPAdvancedSearchController::commitEditing()
{
    for (MPSearchCriterionController* row : std::as_const(m_rowControllers))
        row->commitEditing();
    if (searchQuery())
        m_model.commitRowOrder();
}

// --- Options ---------------------------------------------------------------------------------------------

void MPAdvancedSearchController::searchModeAction()
{
    if (searchQuery())
        searchQuery()->setMatchMode(m_searchModePopUp->currentData().toInt());
}

void MPAdvancedSearchController::setFindButtonLabel(const QString& title) { m_findButton->setText(title); }

void MPAdvancedSearchController::setAuxiliaryControlsHidden(bool hidden)
{
    setSmartSearchesCheckboxHidden(hidden);
    setAllLayersCheckboxHidden(hidden);
}

void MPAdvancedSearchController::setSmartSearchesCheckboxHidden(bool hidden) { m_saveCheckbox->setHidden(hidden); }
void MPAdvancedSearchController::setAllLayersCheckboxHidden(bool hidden) { m_allLayersCheckbox->setHidden(hidden); }
void MPAdvancedSearchController::setSmartCheckboxValue(bool on)
{
    m_saveCheckbox->setChecked(on);
    if (searchQuery())
        searchQuery()->setAuxiliaryDataBooleanValueForKey(on, kVXQSaveAsSmartSearchOption);
}

void MPAdvancedSearchController::setAllLayersCheckboxValue(bool on)
{
    m_allLayersCheckbox->setChecked(on);
    if (searchQuery())
        searchQuery()->setAuxiliaryDataBooleanValueForKey(on, kVXQSearchAllLayersOption);
}

QStringList MPAdvancedSearchController::searchableProperties() const
{
    const AdvancedSearchDelegate* answering = delegate();
    return answering ? answering->searchableProperties() : QStringList();
}

int MPAdvancedSearchController::dataTypeForProperty(const QString& name) const
{
    const AdvancedSearchDelegate* answering = delegate();
    return answering ? answering->dataTypeForProperty(name) : kMPStringType;
}

QString MPAdvancedSearchController::identifierForProperty(const QString& name) const
{
    const AdvancedSearchDelegate* answering = delegate();
    return answering ? answering->identifierForProperty(name) : name;
}

// --- Rows ------------------------------------------------------------------------------------------------

void MPAdvancedSearchController::addNewCriterion()
{
    if (m_model.addRow())
        focusFirstActive();
}

void MPAdvancedSearchController::rebuildRows()
{
    while (!m_rowControllers.isEmpty())
        delete m_rowControllers.takeLast();
    for (const SearchCriterionRowPtr& row : m_model.rows())
        m_rowControllers.append(new MPSearchCriterionController(row, this));
    recalculateKeyViewSequence();
    updateRowCountDependentControls();
    if (const MPSearchQueryPtr query = searchQuery())
        m_searchModePopUp->setCurrentIndex(m_searchModePopUp->findData(query->matchMode()));
}

void MPAdvancedSearchController::rowInserted(qsizetype index)
{
    m_rowControllers.insert(index, new MPSearchCriterionController(m_model.rows().at(index), this));
    recalculateKeyViewSequence();
    updateRowCountDependentControls();
}

void MPAdvancedSearchController::rowRemoved(qsizetype index)
{
    delete m_rowControllers.takeAt(index);
    recalculateKeyViewSequence();
    updateRowCountDependentControls();
}

void MPAdvancedSearchController::rowReplaced(qsizetype index)
{
    m_rowControllers.at(index)->setUpView();
}

void MPAdvancedSearchController::updateRowCountDependentControls()
{
    m_searchModePopUp->setEnabled(m_model.matchModeEnabled());
    // Without properties (a drawing without object layers) there is nothing to search by.
    m_addButton->setEnabled(!searchableProperties().isEmpty());
    m_findButton->setEnabled(m_model.rowCount() > 0);
}

void MPAdvancedSearchController::installViewInWindow(QWidget* view)
{
    if (!m_rowControllers.isEmpty())
        resize(width(), height() + criterionrows::kRowHeight);
    m_rowsLayout->addWidget(view);
    view->show();
    m_firstActive = criterionrows::controlWithTag(view, criterionrows::kValueField);
}

void MPAdvancedSearchController::removeViewFromWindow(QWidget* view)
{
    if (!view || view->parentWidget() != m_embeddingView)
        return;
    m_rowsLayout->removeWidget(view);
    view->hide();
    view->setParent(nullptr);
    if (!m_rowControllers.isEmpty()) {
        layout()->activate();
        resize(width(), height() - criterionrows::kRowHeight);
    }
}

void MPAdvancedSearchController::recalculateKeyViewSequence()
{
    QWidget* previous = nullptr;
    for (MPSearchCriterionController* row : std::as_const(m_rowControllers)) {
        row->showDeleteButton(m_model.deleteButtonsShown());
        for (QWidget* control : row->view()->findChildren<QWidget*>()) {
            if (!(control->focusPolicy() & Qt::TabFocus))
                continue;
            if (previous)
                QWidget::setTabOrder(previous, control);
            previous = control;
        }
    }
}

void MPAdvancedSearchController::focusFirstActive()
{
    if (m_firstActive)
        m_firstActive->setFocus(Qt::OtherFocusReason);
    m_firstActive = nullptr;
}
