#include "library/info/VXQLibrarySmartCategoryEditController.h"

#include "library/categories/VXQLibrarySmartCategory.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/ui/Sheet.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <limits>

VXQLibrarySmartCategoryEditController::VXQLibrarySmartCategoryEditController() = default;

VXQLibrarySmartCategoryEditController::~VXQLibrarySmartCategoryEditController()
{
    delete m_window;
}

QDialog* VXQLibrarySmartCategoryEditController::window()
{
    if (m_window)
        return m_window;
    auto* sheet = new QDialog;
    sheet->setWindowTitle(tr("Smart Category"));
    auto* layout = new QVBoxLayout(sheet);
    layout->setContentsMargins(8, 8, 8, 8);
    // The sheet's height follows the rule's rows, not the layout's idea of it.
    layout->setSizeConstraint(QLayout::SetNoConstraint);
    m_predicateEditor = new LibraryRuleEditor;
    layout->addWidget(m_predicateEditor, 1);

    auto* bottom = new QHBoxLayout;
    m_setLimitCheckbox = new QCheckBox(tr("Limit to"));
    m_limitField = new QSpinBox;
    m_limitField->setRange(1, std::numeric_limits<int>::max());
    bottom->addWidget(m_setLimitCheckbox);
    bottom->addWidget(m_limitField);
    bottom->addWidget(new QLabel(tr("items")));
    bottom->addStretch();
    auto* buttons = new QDialogButtonBox;
    QPushButton* cancel = buttons->addButton(tr("Cancel"), QDialogButtonBox::RejectRole);
    QPushButton* ok = buttons->addButton(tr("OK"), QDialogButtonBox::AcceptRole);
    ok->setDefault(true);
    bottom->addWidget(buttons);
    layout->addLayout(bottom);

    connect(m_setLimitCheckbox, &QCheckBox::clicked, this, [this] { enableLimitAction(m_setLimitCheckbox); });
    connect(m_limitField, &QSpinBox::valueChanged, this, [this] {
        if (m_limitField->isEnabled())
            setLimitAction(m_limitField);
    });
    connect(ok, &QPushButton::clicked, this, [this] { okAction(nullptr); });
    connect(cancel, &QPushButton::clicked, this, [this] { cancelAction(nullptr); });
    connect(m_predicateEditor, &LibraryRuleEditor::rowsDidChange, this, [this] { ruleEditorRowsDidChange(); });
    sheet->resize(520, m_predicateEditor->rowHeight() * m_predicateEditor->numberOfRows() + kChromeHeight);
    m_window = sheet;
    if (m_editingCat) {
        m_predicateEditor->setObjectValue(m_editingCat->predicate());
        loadCountLimit();
    }
    return sheet;
}

LibraryRuleEditor* VXQLibrarySmartCategoryEditController::predicateEditor()
{
    window();
    return m_predicateEditor;
}

QCheckBox* VXQLibrarySmartCategoryEditController::setLimitCheckbox()
{
    window();
    return m_setLimitCheckbox;
}

QSpinBox* VXQLibrarySmartCategoryEditController::limitField()
{
    window();
    return m_limitField;
}

void VXQLibrarySmartCategoryEditController::beginSmartCategoryEditOnParentWindowWithDelegate(
    VXQLibrarySmartCategory* category, QWidget* parent, VXQLibrarySmartCategoryEditorDelegate* delegate)
{
    QObject* object = dynamic_cast<QObject*>(delegate);
    if (!ZQ_EXPECT(!delegate || object, QStringLiteral("the smart category editor's delegate must be a QObject"))
        || !ZQ_EXPECT(category, QStringLiteral("no smart category to edit")))
        return;
    setSmartCategory(category);
    m_delegate = delegate;
    m_delegateGuard = object;
    platform::Sheet::beginSheetModalForWindowCompletionHandler(window(), parent, [guard = QPointer(this)](int code) {
        if (guard)
            guard->sheetDidEnd(code);
    });
}

void VXQLibrarySmartCategoryEditController::setSmartCategory(VXQLibrarySmartCategory* category)
{
    if (!ZQ_EXPECT(category, QStringLiteral("no smart category to edit")))
        return;
    m_editingCat = std::static_pointer_cast<VXQLibrarySmartCategory>(category->shared_from_this());
    window();
    m_predicateEditor->setObjectValue(category->predicate());
    loadCountLimit();
}

void VXQLibrarySmartCategoryEditController::loadCountLimit()
{
    m_savedCountLimit = m_editingCat->countLimit();
    setCountLimit(m_savedCountLimit);
}

void VXQLibrarySmartCategoryEditController::setCountLimit(qint64 limit)
{
    window();
    limit = std::max<qint64>(0, limit);
    const bool limited = limit > 0;
    m_setLimitCheckbox->setChecked(limited);
    m_limitField->setEnabled(limited);
    if (limited) {
        {
            const QSignalBlocker quiet(m_limitField);
            m_limitField->setValue(int(std::min<qint64>(limit, m_limitField->maximum())));
        }
        m_limitField->setFocus();
        m_limitField->selectAll();
    } else if (QWidget* focus = m_window->focusWidget()) {
        focus->clearFocus();
    }
    if (m_editingCat)
        m_editingCat->setCountLimit(limit);
}

void VXQLibrarySmartCategoryEditController::enableLimitAction(QObject* sender)
{
    const auto* box = qobject_cast<QCheckBox*>(sender);
    setCountLimit(box && box->isChecked() ? kDefaultLimit : 0);
}

void VXQLibrarySmartCategoryEditController::setLimitAction(QObject* sender)
{
    if (!sender)
        return;
    bool ok = false;
    const qint64 value = sender->property("value").toLongLong(&ok);
    if (ok)
        setCountLimit(value);
}

void VXQLibrarySmartCategoryEditController::okAction(QObject*)
{
    // Take a number still being typed before the sheet goes.
    m_limitField->interpretText();
    if (m_limitField->isEnabled())
        setCountLimit(m_limitField->value());
    m_window->setFocus();
    platform::Sheet::endSheetReturnCode(m_window, platform::Sheet::kDefaultReturn);
}

void VXQLibrarySmartCategoryEditController::cancelAction(QObject*)
{
    platform::Sheet::endSheetReturnCode(m_window, platform::Sheet::kCancelReturn);
}

void VXQLibrarySmartCategoryEditController::sheetDidEnd(int returnCode)
{
    if (m_window)
        m_window->hide();
    if (!m_editingCat)
        return;
    if (returnCode == platform::Sheet::kDefaultReturn) {
        m_editingCat->setPredicate(m_predicateEditor->objectValue());
        if (m_delegate && m_delegateGuard)
            m_delegate->smartCategoryEditorDidFinishEditingCategory(this, m_editingCat.get());
    } else {
        m_editingCat->setCountLimit(m_savedCountLimit);
    }
}

void VXQLibrarySmartCategoryEditController::ruleEditorRowsDidChange()
{
    if (!m_window || !m_predicateEditor)
        return;
    const QRect frame = m_window->geometry();
    const int height = m_predicateEditor->rowHeight() * m_predicateEditor->numberOfRows() + kChromeHeight;
    // A sheet hangs from its window: the top edge stays and the sheet grows downwards.
    m_window->setGeometry(frame.x(), frame.y(), frame.width(), height);
}
