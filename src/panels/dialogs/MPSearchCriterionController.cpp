#include "panels/dialogs/MPSearchCriterionController.h"

#include "panels/dialogs/CriterionRowViews.h"
#include "panels/dialogs/MPAdvancedSearchController.h"
#include "platform/ui/NumberFormatterValidator.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLayout>
#include <QLineEdit>
#include <algorithm>

using namespace criterionrows;

namespace {

// The number a field's text reads as, by its own formatter; none for text that does not read.
std::optional<double> numberInField(const QLineEdit* field)
{
    const auto* validator = field ? qobject_cast<const platform::NumberFormatterValidator*>(field->validator()) : nullptr;
    return validator ? validator->formatter().numberFromString(field->text().trimmed()) : std::nullopt;
}

// The digits typed after the point; the field reads the point the same in every locale.
int decimalsTyped(const QLineEdit* field)
{
    const QString text = field->text().trimmed();
    const qsizetype point = text.indexOf(u'.');
    if (point < 0)
        return 0;
    int digits = 0;
    for (qsizetype i = point + 1; i < text.size() && text[i].isDigit(); ++i)
        ++digits;
    return digits;
}

QString textOfValue(const QVariant& value)
{
    if (value.userType() == qMetaTypeId<SearchIndexSet>())
        return value.value<SearchIndexSet>().description();
    return value.toString();
}

} // namespace

MPSearchCriterionController::MPSearchCriterionController(SearchCriterionRowPtr row, MPAdvancedSearchController* owner)
    : QObject(owner), m_row(std::move(row)), m_owner(owner)
{
    setUpView();
}

MPSearchCriterionController::~MPSearchCriterionController()
{
    if (m_owner && m_view)
        m_owner->removeViewFromWindow(m_view);
    // Later: the row may go from its own delete button's click.
    if (m_view)
        m_view->deleteLater();
}

QWidget* MPSearchCriterionController::valueField() const
{
    return controlWithTag(m_view, kValueField);
}

void MPSearchCriterionController::setUpView()
{
    QWidget* old = m_view;
    m_view = makeRowView(criterion()->dataType());
    wireControls();
    if (old) {
        // Another data type: the new view takes the old one's place.
        if (QWidget* holder = old->parentWidget(); holder && holder->layout())
            delete holder->layout()->replaceWidget(old, m_view);
        m_view->setParent(old->parentWidget());
        m_view->show();
        old->hide();
        old->deleteLater(); // its property menu is still sending the change
        if (m_owner)
            m_owner->recalculateKeyViewSequence();
    } else if (m_owner) {
        m_owner->installViewInWindow(m_view);
    }
    updateValueFields();
}

void MPSearchCriterionController::wireControls()
{
    if (auto* menu = controlWithTag<QComboBox>(m_view, kPropertyMenu)) {
        fillPropertyMenu(menu);
        connect(menu, &QComboBox::activated, this, [this] { propertyMenuAction(); });
    }
    if (auto* remove = controlWithTag<QAbstractButton>(m_view, kDelete)) {
        remove->setVisible(m_owner && m_owner->numberOfRows() >= 2);
        connect(remove, &QAbstractButton::clicked, this, [this] { deleteButtonAction(); });
    }
    if (auto* kinds = controlWithTag<QComboBox>(m_view, kMatchKindMenu)) {
        kinds->setCurrentIndex(kinds->findData(criterion()->matchKind()));
        // A kind the menu does not offer becomes the menu's choice.
        matchKindMenuAction();
        connect(kinds, &QComboBox::activated, this, [this, kinds] { controlAction(kinds); });
    }
    if (auto* ignoreCase = controlWithTag<QCheckBox>(m_view, kIgnoreCase)) {
        ignoreCase->setChecked(criterion()->ignoresCase());
        connect(ignoreCase, &QCheckBox::toggled, this, [this, ignoreCase] { controlAction(ignoreCase); });
    }
    for (int tag : {kValueField, kRangeEndField}) {
        QWidget* control = controlWithTag(m_view, tag);
        if (auto* field = qobject_cast<QLineEdit*>(control))
            connect(field, &QLineEdit::editingFinished, this, [this, field] { controlAction(field); });
        else if (auto* date = qobject_cast<QDateTimeEdit*>(control))
            connect(date, &QDateTimeEdit::dateTimeChanged, this, [this, date] { controlAction(date); });
    }
}

void MPSearchCriterionController::fillPropertyMenu(QComboBox* menu)
{
    menu->clear();
    if (m_owner)
        menu->addItems(m_owner->searchableProperties());
    if (menu->findText(criterion()->name()) < 0 && menu->count() > 0)
        criterion()->setName(menu->itemText(0));
    menu->setCurrentIndex(menu->findText(criterion()->name()));
}

void MPSearchCriterionController::updateValueFields()
{
    const QVariant value = criterion()->objectValue();
    if (criterion()->dataType() == kMPRangeType) {
        const auto range = value.value<SearchRange>();
        if (auto* start = controlWithTag<QLineEdit>(m_view, kValueField))
            start->setText(QString::number(range.location));
        if (auto* end = controlWithTag<QLineEdit>(m_view, kRangeEndField))
            end->setText(QString::number(range.location + range.length));
        return;
    }
    QWidget* field = valueField();
    if (auto* line = qobject_cast<QLineEdit*>(field))
        line->setText(textOfValue(value));
    else if (auto* date = qobject_cast<QDateTimeEdit*>(field); date && value.typeId() == QMetaType::QDateTime)
        date->setDateTime(value.toDateTime());
}

void MPSearchCriterionController::updateCriterionValue()
{
    SearchCriteriaModel* model = m_owner ? &m_owner->rowsModel() : nullptr;
    if (!model)
        return;
    const int dataType = criterion()->dataType();
    if (dataType == kMPRangeType) {
        const auto current = criterion()->objectValue().value<SearchRange>();
        const double start = numberInField(controlWithTag<QLineEdit>(m_view, kValueField)).value_or(double(current.location));
        const double end = numberInField(controlWithTag<QLineEdit>(m_view, kRangeEndField))
                               .value_or(double(current.location + current.length));
        model->setRangeBoundsForRow(m_row.get(), qint64(start), qint64(end));
        updateValueFields();
        return;
    }
    QWidget* field = valueField();
    if (auto* date = qobject_cast<QDateTimeEdit*>(field)) {
        model->setValueForRow(m_row.get(), date->dateTime());
    } else if (auto* line = qobject_cast<QLineEdit*>(field); line && !line->isReadOnly()) {
        if (dataType == kMPIntegerType || dataType == kMPFloatType) {
            if (const std::optional<double> number = numberInField(line)) {
                model->setValueForRow(m_row.get(), dataType == kMPIntegerType ? QVariant(qint32(*number)) : QVariant(*number));
                // "0.10" is equal to 0.10 within 0.005, as typed.
                if (dataType == kMPFloatType)
                    criterion()->setEpsilon(std::min(MPSearchCriterion::kDefaultEpsilon,
                                                     MPSearchCriterion::toleranceForDecimals(decimalsTyped(line))));
            }
        } else {
            model->setValueForRow(m_row.get(), line->text());
        }
    }
}

void MPSearchCriterionController::showDeleteButton(bool shown)
{
    if (QWidget* remove = controlWithTag(m_view, kDelete))
        remove->setVisible(shown);
}

void MPSearchCriterionController::propertyMenuAction()
{
    auto* menu = controlWithTag<QComboBox>(m_view, kPropertyMenu);
    if (!menu || !m_owner)
        return;
    const QString title = menu->currentText();
    if (title == criterion()->name())
        return;
    // A replaced criterion rebuilds this row through the model's rowReplaced.
    if (!m_owner->rowsModel().choosePropertyForRow(m_row.get(), title))
        updateValueFields();
}

void MPSearchCriterionController::matchKindMenuAction()
{
    const auto* kinds = controlWithTag<QComboBox>(m_view, kMatchKindMenu);
    const int kind = kinds && kinds->currentIndex() >= 0 ? kinds->currentData().toInt() : 0;
    criterion()->setMatchKind(kind);
}

void MPSearchCriterionController::controlAction(QObject* control)
{
    switch (tagOf(control)) {
    case kValueField:
    case kRangeEndField: updateCriterionValue(); break;
    case kIgnoreCase: criterion()->setIgnoresCase(static_cast<QCheckBox*>(control)->isChecked()); break;
    case kMatchKindMenu: matchKindMenuAction(); break;
    default: break;
    }
}

void MPSearchCriterionController::deleteButtonAction()
{
    if (m_owner)
        m_owner->rowsModel().removeRow(m_row.get());
}
