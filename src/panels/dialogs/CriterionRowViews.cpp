#include "panels/dialogs/CriterionRowViews.h"

#include "panels/search/MPSearchCriterion.h"
#include "platform/ui/NumberFormatterValidator.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <limits>

namespace criterionrows {

namespace {

const char* const kTagProperty = "tag";

template <class T>
T* tagged(T* control, int tag)
{
    control->setProperty(kTagProperty, tag);
    return control;
}

std::shared_ptr<platform::NumberFormatter> fieldFormatter(int dataType)
{
    auto formatter = std::make_shared<platform::NumberFormatter>();
    if (dataType == kMPFloatType) {
        formatter->setNumberStyle(platform::NumberFormatter::Style::Decimal);
        formatter->setMaximumFractionDigits(6);
        formatter->setMinimum(-1e15);
        formatter->setMaximum(1e15);
    } else {
        formatter->setAllowsFloats(false);
        // Ranges hold counts from 0; integers are 32-bit.
        formatter->setMinimum(dataType == kMPRangeType ? 0.0 : double(std::numeric_limits<qint32>::min()));
        formatter->setMaximum(double(std::numeric_limits<qint32>::max()));
    }
    return formatter;
}

QLineEdit* valueField(int dataType, int tag, QWidget* row)
{
    auto* field = tagged(new QLineEdit(row), tag);
    if (dataType == kMPIntegerType || dataType == kMPFloatType || dataType == kMPRangeType)
        field->setValidator(new platform::NumberFormatterValidator(fieldFormatter(dataType), field));
    return field;
}

QComboBox* matchKindMenu(int dataType, QWidget* row)
{
    auto* menu = tagged(new QComboBox(row), kMatchKindMenu);
    for (int kind : MPSearchCriterion::matchKindsForType(dataType))
        menu->addItem(MPSearchCriterion::displayNameForMatchType(kind), kind);
    return menu;
}

} // namespace

QWidget* makeRowView(int dataType, QWidget* parent)
{
    if (MPSearchCriterion::matchKindsForType(dataType).isEmpty())
        dataType = kMPObjectType;
    auto* row = new QWidget(parent);
    row->setFixedHeight(kRowHeight);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(8, 2, 8, 2);
    layout->addWidget(tagged(new QComboBox(row), kPropertyMenu), 2);
    layout->addWidget(matchKindMenu(dataType, row), 2);
    switch (dataType) {
    case kMPBooleanType:
        layout->addStretch(3);
        break;
    case kMPStringType:
        layout->addWidget(valueField(dataType, kValueField, row), 3);
        layout->addWidget(tagged(new QCheckBox(QObject::tr("Ignore case"), row), kIgnoreCase));
        break;
    case kMPRangeType:
        layout->addWidget(valueField(dataType, kValueField, row), 1);
        layout->addWidget(new QLabel(QObject::tr("to"), row));
        layout->addWidget(valueField(dataType, kRangeEndField, row), 1);
        break;
    case kMPSetType: {
        QLineEdit* members = valueField(dataType, kValueField, row);
        members->setReadOnly(true);
        layout->addWidget(members, 3);
        break;
    }
    case kMPDateType: {
        auto* date = tagged(new QDateTimeEdit(row), kValueField);
        date->setCalendarPopup(true);
        layout->addWidget(date, 3);
        break;
    }
    default:
        layout->addWidget(valueField(dataType, kValueField, row), 3);
        break;
    }
    auto* remove = tagged(new QPushButton(QStringLiteral("\u2212"), row), kDelete);
    remove->setToolTip(QObject::tr("Remove this criterion"));
    remove->setFixedWidth(28);
    layout->addWidget(remove);
    return row;
}

QWidget* controlWithTag(const QWidget* row, int tag)
{
    if (!row)
        return nullptr;
    for (QWidget* child : row->findChildren<QWidget*>())
        if (tagOf(child) == tag)
            return child;
    return nullptr;
}

int tagOf(const QObject* control)
{
    return control ? control->property(kTagProperty).toInt() : 0;
}

} // namespace criterionrows
