#include "library/info/LibraryRuleEditor.h"

#include "library/items/VXQLibraryItem.h"
#include "library/tree/VXQLibraryElementContainer.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

using platform::Predicate;
using platform::PredicatePtr;

namespace {

constexpr int kTextOptions = Predicate::CaseInsensitive | Predicate::DiacriticInsensitive;

bool isTextKey(const QString& keyPath)
{
    return keyPath != u"classCode" && keyPath != u"locked";
}

void addOperators(QComboBox& popUp, bool text)
{
    popUp.clear();
    if (text) {
        popUp.addItem(QObject::tr("contains"), int(Predicate::Operator::Contains));
        popUp.addItem(QObject::tr("begins with"), int(Predicate::Operator::BeginsWith));
        popUp.addItem(QObject::tr("ends with"), int(Predicate::Operator::EndsWith));
        popUp.addItem(QObject::tr("is"), int(Predicate::Operator::Equal));
        popUp.addItem(QObject::tr("matches"), int(Predicate::Operator::Like));
    } else {
        popUp.addItem(QObject::tr("is"), int(Predicate::Operator::Equal));
    }
}

void collectComparisons(const Predicate& predicate, QList<const Predicate*>& into)
{
    if (predicate.kind() == Predicate::Kind::Comparison) {
        into.append(&predicate);
        return;
    }
    for (const PredicatePtr& sub : predicate.subpredicates())
        if (sub)
            collectComparisons(*sub, into);
}

} // namespace

struct LibraryRuleEditor::Rule {
    QWidget* row = nullptr;
    QComboBox* key = nullptr;
    QComboBox* op = nullptr;
    QLineEdit* text = nullptr;
    QComboBox* choice = nullptr;
    QToolButton* remove = nullptr;
    int options = kTextOptions;
};

LibraryRuleEditor::LibraryRuleEditor(QWidget* parent)
    : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* header = new QWidget;
    header->setFixedHeight(kRowHeight);
    auto* headerLayout = new QHBoxLayout(header);
    headerLayout->setContentsMargins(4, 0, 4, 0);
    headerLayout->addWidget(new QLabel(tr("Match")));
    m_match = new QComboBox;
    m_match->addItem(tr("any"), int(Predicate::Kind::Or));
    m_match->addItem(tr("all"), int(Predicate::Kind::And));
    headerLayout->addWidget(m_match);
    headerLayout->addWidget(new QLabel(tr("of the following rules:")));
    headerLayout->addStretch();
    layout->addWidget(header);
    m_rows = new QVBoxLayout;
    m_rows->setSpacing(0);
    layout->addLayout(m_rows);
    layout->addStretch();
    setObjectValue(nullptr);
}

LibraryRuleEditor::Rule* LibraryRuleEditor::makeRule(const QString& keyPath)
{
    auto* rule = new Rule;
    rule->row = new QWidget;
    rule->row->setFixedHeight(kRowHeight);
    auto* layout = new QHBoxLayout(rule->row);
    layout->setContentsMargins(16, 0, 4, 0);
    rule->key = new QComboBox;
    rule->key->addItem(tr("Name"), QStringLiteral("name"));
    rule->key->addItem(tr("Description"), QStringLiteral("userDescription"));
    rule->key->addItem(tr("Kind"), QStringLiteral("classCode"));
    rule->key->addItem(tr("Locked"), QStringLiteral("locked"));
    if (rule->key->findData(keyPath) < 0)
        rule->key->addItem(keyPath, keyPath);
    rule->key->setCurrentIndex(rule->key->findData(keyPath));
    rule->op = new QComboBox;
    rule->text = new QLineEdit;
    rule->choice = new QComboBox;
    auto* add = new QToolButton;
    add->setText(QStringLiteral("+"));
    rule->remove = new QToolButton;
    rule->remove->setText(QStringLiteral("\u2212"));
    layout->addWidget(rule->key);
    layout->addWidget(rule->op);
    layout->addWidget(rule->text, 1);
    layout->addWidget(rule->choice, 1);
    layout->addWidget(rule->remove);
    layout->addWidget(add);
    keyChanged(*rule);
    connect(rule->key, &QComboBox::currentIndexChanged, this, [this, rule] { keyChanged(*rule); });
    connect(add, &QToolButton::clicked, this, [this, rule] { insertRuleAfter(indexOfRule(rule)); });
    connect(rule->remove, &QToolButton::clicked, this, [this, rule] { removeRule(indexOfRule(rule)); });
    return rule;
}

void LibraryRuleEditor::keyChanged(Rule& rule)
{
    const QString keyPath = rule.key->currentData().toString();
    const bool text = isTextKey(keyPath);
    addOperators(*rule.op, text);
    rule.choice->clear();
    if (keyPath == u"classCode") {
        rule.choice->addItem(VXQLibraryItem::localisedKindStringForClassCode(1), 1);
        rule.choice->addItem(VXQLibraryItem::localisedKindStringForClassCode(2), 2);
    } else if (keyPath == u"locked") {
        rule.choice->addItem(tr("Yes"), true);
        rule.choice->addItem(tr("No"), false);
    }
    rule.text->setVisible(text);
    rule.choice->setVisible(!text);
}

void LibraryRuleEditor::loadComparison(Rule& rule, const Predicate& comparison)
{
    rule.options = comparison.options();
    const int op = rule.op->findData(int(comparison.comparisonOperator()));
    if (op < 0)
        // An operator the key's menu lacks (a test made elsewhere): offered as it was.
        rule.op->addItem(comparison.predicateFormat(), int(comparison.comparisonOperator()));
    rule.op->setCurrentIndex(rule.op->findData(int(comparison.comparisonOperator())));
    if (isTextKey(comparison.keyPath())) {
        rule.text->setText(comparison.value().toString());
    } else {
        int at = -1;
        for (int i = 0; i < rule.choice->count() && at < 0; ++i)
            if (rule.choice->itemData(i) == comparison.value())
                at = i;
        if (at < 0) {
            rule.choice->addItem(comparison.value().toString(), comparison.value());
            at = rule.choice->count() - 1;
        }
        rule.choice->setCurrentIndex(at);
    }
}

void LibraryRuleEditor::setObjectValue(const PredicatePtr& predicate)
{
    for (Rule* rule : m_rules) {
        delete rule->row;
        delete rule;
    }
    m_rules.clear();
    QList<const Predicate*> comparisons;
    if (predicate)
        collectComparisons(*predicate, comparisons);
    m_match->setCurrentIndex(predicate && predicate->kind() == Predicate::Kind::And ? 1 : 0);
    for (const Predicate* comparison : comparisons) {
        Rule* rule = makeRule(comparison->keyPath());
        loadComparison(*rule, *comparison);
        m_rules.append(rule);
        m_rows->addWidget(rule->row);
    }
    if (m_rules.isEmpty()) {
        m_rules.append(makeRule(QStringLiteral("name")));
        m_rows->addWidget(m_rules.last()->row);
    }
    updateRemoveButtons();
    Q_EMIT rowsDidChange();
}

PredicatePtr LibraryRuleEditor::predicateOfRule(const Rule& rule) const
{
    const QString keyPath = rule.key->currentData().toString();
    const auto op = Predicate::Operator(rule.op->currentData().toInt());
    if (isTextKey(keyPath))
        return Predicate::comparison(keyPath, op, rule.text->text(), rule.options);
    return Predicate::comparison(keyPath, op, rule.choice->currentData(), Predicate::NoOptions);
}

PredicatePtr LibraryRuleEditor::objectValue() const
{
    QList<PredicatePtr> comparisons;
    for (const Rule* rule : m_rules)
        comparisons.append(predicateOfRule(*rule));
    return m_match->currentData().toInt() == int(Predicate::Kind::And) ? Predicate::andPredicate(comparisons)
                                                                       : Predicate::orPredicate(comparisons);
}

int LibraryRuleEditor::numberOfRows() const
{
    return 1 + int(m_rules.size());
}

void LibraryRuleEditor::insertRuleAfter(int row)
{
    const int at = row < 0 || row >= m_rules.size() ? int(m_rules.size()) : row + 1;
    Rule* rule = makeRule(QStringLiteral("name"));
    m_rules.insert(at, rule);
    m_rows->insertWidget(at, rule->row);
    updateRemoveButtons();
    Q_EMIT rowsDidChange();
}

void LibraryRuleEditor::removeRule(int row)
{
    if (m_rules.size() <= 1 || row < 0 || row >= m_rules.size())
        return;
    Rule* rule = m_rules.takeAt(row);
    rule->row->deleteLater();
    rule->row->hide();
    m_rows->removeWidget(rule->row);
    delete rule;
    updateRemoveButtons();
    Q_EMIT rowsDidChange();
}

void LibraryRuleEditor::updateRemoveButtons()
{
    for (Rule* rule : m_rules)
        rule->remove->setEnabled(m_rules.size() > 1);
}

int LibraryRuleEditor::indexOfRule(const Rule* rule) const
{
    return int(m_rules.indexOf(const_cast<Rule*>(rule)));
}

QComboBox* LibraryRuleEditor::keyPopUp(int row) const
{
    return row >= 0 && row < m_rules.size() ? m_rules.at(row)->key : nullptr;
}

QComboBox* LibraryRuleEditor::operatorPopUp(int row) const
{
    return row >= 0 && row < m_rules.size() ? m_rules.at(row)->op : nullptr;
}

QWidget* LibraryRuleEditor::valueField(int row) const
{
    if (row < 0 || row >= m_rules.size())
        return nullptr;
    const Rule* rule = m_rules.at(row);
    return isTextKey(rule->key->currentData().toString()) ? static_cast<QWidget*>(rule->text) : rule->choice;
}

void LibraryRuleEditor::setRuleValue(int row, const QVariant& value)
{
    if (row < 0 || row >= m_rules.size())
        return;
    Rule* rule = m_rules.at(row);
    if (isTextKey(rule->key->currentData().toString()))
        rule->text->setText(value.toString());
    else if (const int at = rule->choice->findData(value); at >= 0)
        rule->choice->setCurrentIndex(at);
}
