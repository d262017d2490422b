#include "symbols/sequences/VXQSymbolSequence.h"

#include "app/document/VXQMappingLayer.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/foundation/ZQLog.h"
#include "platform/foundation/WholeEdit.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/vantrix/model/ArchiveReader.h"
#include "platform/vantrix/model/MetadataContainer.h"
#include "symbols/keytable/VXQKeyTable.h"
#include "symbols/keytable/VXQKeyTableTextShape.h"
#include "symbols/placed/VXQSymbol.h"
#include "symbols/sequences/SequenceNumbering.h"

#include <QSet>
#include <algorithm>

namespace {

const QString kMasterKey = QStringLiteral("VXQSymbolSequence_master");
const QString kSymbolsKey = QStringLiteral("VXQSymbolSequence_symbols");
const QString kAutoRenumbersKey = QStringLiteral("VXQSymbolSequence_autorenumbers");
const QString kKindKey = QStringLiteral("VXQSymbolSequence_seqKind");
const QString kAlphabetKey = QStringLiteral("VXQSymbolSequence_alphabet");
const QString kStartingOffsetKey = QStringLiteral("VXQSymbolSequence_startingOffset");
const QString kKeyTablesKey = QStringLiteral("VXQSymbolSequence_keyTables");
const QString kLayerKey = QStringLiteral("VXQSymbolSequence_layer");

// Attribute keys are reported in lower case.
const QString kInfoKeyAsReported = kVXQSequenceInfoKey.toLower();

qint64 clampedOffset(qint64 offset)
{
    return std::clamp<qint64>(offset, 0, VXQSymbolSequence::kMaximumStartingOffset);
}

} // namespace

VXQSymbolSequence::VXQSymbolSequence()
{
    platform::NotificationCenter::defaultCenter().addObserver(
        this, kVXMetadataDidChangeNotification, nullptr, [this](const platform::Notification& notification) {
            if (notification.userInfo.value(QStringLiteral("key")).toString() != kInfoKeyAsReported)
                return;
            auto* symbol = qobject_cast<VXQSymbol*>(notification.object());
            if (symbol && symbol->sequence() == this && containsSymbol(symbol))
                symbolInfoDidChange(symbol);
        });
}

std::shared_ptr<VXQSymbolSequence> VXQSymbolSequence::sequenceWithSymbolMaster(const VXQSymbolMasterPtr& master)
{
    auto made = std::make_shared<VXQSymbolSequence>();
    made->initWithSymbolMaster(master);
    return made;
}

void VXQSymbolSequence::initWithSymbolMaster(const VXQSymbolMasterPtr& master)
{
    m_master = master;
    m_kind = master ? master->defaultSequenceKind() : 0;
}

VXQSymbolSequence::~VXQSymbolSequence()
{
    platform::NotificationCenter::defaultCenter().removeObserver(this);
    if (ZQUndoManager* undo = undoManager())
        undo->removeAllActionsWithTarget(this);
    for (const VXQSymbolPtr& symbol : std::as_const(m_symbols))
        if (symbol->sequence() == this)
            symbol->attachToSequence(nullptr);
}

// --- Members ---------------------------------------------------------------------------------

bool VXQSymbolSequence::containsSymbol(const VXQSymbol* symbol) const
{
    return indexOfSymbol(symbol) >= 0;
}

qsizetype VXQSymbolSequence::indexOfSymbol(const VXQSymbol* symbol) const
{
    if (const auto found = m_indexes.constFind(symbol); found != m_indexes.cend())
        return *found;
    while (m_indexedCount < m_symbols.size()) {
        const qsizetype index = m_indexedCount++;
        const VXQSymbol* member = m_symbols[index].get();
        m_indexes.insert(member, index);
        if (member == symbol)
            return index;
    }
    return -1;
}

void VXQSymbolSequence::membersWillChangeFrom(qsizetype first)
{
    for (qsizetype i = first; i < m_indexedCount; ++i)
        m_indexes.remove(m_symbols[i].get());
    m_indexedCount = std::min(m_indexedCount, first);
}

void VXQSymbolSequence::addSymbol(const VXQSymbolPtr& symbol)
{
    ZQ_ASSERT(symbol, QStringLiteral("can't add nil symbol to sequence"));
    if (!containsSymbol(symbol.get()))
        insertSymbolAtIndex(symbol, m_symbols.size());
}

void VXQSymbolSequence::insertSymbolAtIndex(const VXQSymbolPtr& symbol, qsizetype index)
{
    ZQ_ASSERT(symbol, QStringLiteral("can't insert nil symbol in sequence"));
    ZQ_ASSERT(index >= 0 && index <= m_symbols.size(), QStringLiteral("index out of range for inserting symbol in sequence"));
    if (containsSymbol(symbol.get()) || !m_managementEnabled)
        return;
    registerUndo([this, symbol] { removeSymbol(symbol.get()); });
    membersWillChangeFrom(index);
    m_symbols.insert(index, symbol);
    symbol->attachToSequence(this);
    renumberIfAutomatic(index);
}

void VXQSymbolSequence::removeSymbol(VXQSymbol* symbol)
{
    if (const qsizetype index = indexOfSymbol(symbol); index >= 0)
        removeSymbolAtIndex(index);
}

void VXQSymbolSequence::removeSymbolAtIndex(qsizetype index)
{
    ZQ_ASSERT(index >= 0 && index < m_symbols.size(), QStringLiteral("index out of range for removing symbol from sequence"));
    if (!m_managementEnabled)
        return;
    const VXQSymbolPtr symbol = m_symbols[index];
    registerUndo([this, symbol, index] { insertSymbolAtIndex(symbol, std::min<qsizetype>(index, m_symbols.size())); });
    membersWillChangeFrom(index);
    m_symbols.removeAt(index);
    if (symbol->sequence() == this)
        symbol->attachToSequence(nullptr);
    if (!m_symbols.isEmpty())
        renumberIfAutomatic(index);
}

void VXQSymbolSequence::moveSymbolAtIndexToIndex(qsizetype from, qsizetype to)
{
    if (from == to || !m_managementEnabled || m_symbols.isEmpty())
        return;
    from = std::clamp<qsizetype>(from, 0, m_symbols.size() - 1);
    to = std::clamp<qsizetype>(to, 0, m_symbols.size() - 1);
    if (from == to)
        return;
    registerUndo([this, from, to] { moveSymbolAtIndexToIndex(to, from); });
    membersWillChangeFrom(std::min(from, to));
    m_symbols.move(from, to);
    renumberIfAutomatic(std::min(from, to));
}

void VXQSymbolSequence::setSymbols(const QList<VXQSymbolPtr>& symbols)
{
    if (symbols == m_symbols)
        return;
    const QList<VXQSymbolPtr> old = m_symbols;
    registerUndo([this, old] { setSymbols(old); });
    for (const VXQSymbolPtr& symbol : old)
        if (symbol->sequence() == this)
            symbol->attachToSequence(nullptr);
    // Each symbol once: a list naming one twice would number it twice.
    QSet<const VXQSymbol*> seen;
    membersDidChange();
    m_symbols.clear();
    for (const VXQSymbolPtr& symbol : symbols) {
        if (symbol && !seen.contains(symbol.get())) {
            seen.insert(symbol.get());
            m_symbols.append(symbol);
        }
    }
    for (const VXQSymbolPtr& symbol : std::as_const(m_symbols))
        symbol->attachToSequence(this);
}

void VXQSymbolSequence::restorePriorSequenceOrder()
{
    QList<VXQSymbolPtr> ordered = m_symbols;
    std::stable_sort(ordered.begin(), ordered.end(), [](const VXQSymbolPtr& a, const VXQSymbolPtr& b) {
        return a->priorPositionInSequence() < b->priorPositionInSequence();
    });
    membersDidChange();
    m_symbols = ordered;
    renumber();
}

// --- Numbering ---------------------------------------------------------------------------------

void VXQSymbolSequence::setSequenceKind(int kind)
{
    if (kind == m_kind || kind < 0 || kind > sequencenumbering::kLastKind)
        return;
    const int old = m_kind;
    registerUndo([this, old] { setSequenceKind(old); });
    announceChangeForKey(QStringLiteral("sequenceKind"), [&] { m_kind = kind; });
    renumber();
}

QString VXQSymbolSequence::alphabet() const
{
    if (m_alphabet.isEmpty())
        m_alphabet = sequencenumbering::defaultAlphabet();
    return m_alphabet;
}

void VXQSymbolSequence::setAlphabet(const QString& alphabet)
{
    if (alphabet == m_alphabet)
        return;
    const QString old = m_alphabet;
    registerUndo([this, old] { setAlphabet(old); });
    announceChangeForKey(QStringLiteral("alphabet"), [&] { m_alphabet = alphabet; });
    renumber();
}

void VXQSymbolSequence::setStartingOffset(qint64 offset)
{
    offset = clampedOffset(offset);
    if (offset == m_startOffset)
        return;
    const qint64 old = m_startOffset;
    registerUndo([this, old] { setStartingOffset(old); });
    announceChangeForKey(QStringLiteral("startingOffset"), [&] { m_startOffset = offset; });
    renumberIfAutomatic();
}

void VXQSymbolSequence::renumber()
{
    renumberFromIndex(0);
}

void VXQSymbolSequence::renumberFromIndex(qsizetype first)
{
    for (qsizetype i = first; i < m_symbols.size(); ++i)
        m_symbols[i]->loadSequenceNumber();
    platform::NotificationCenter::defaultCenter().postNotificationName(kVXQSymbolSequenceWasRenumberedNotification, this);
    reloadKeyTables();
}

void VXQSymbolSequence::renumberIfAutomatic(qsizetype first)
{
    if (m_autoRenumbers)
        renumberFromIndex(first);
}

qint64 VXQSymbolSequence::sequenceNumberForSymbol(const VXQSymbol* symbol) const
{
    const qsizetype index = indexOfSymbol(symbol);
    return index < 0 ? kNotFound : m_startOffset + index;
}

QString VXQSymbolSequence::sequenceStringForSymbol(const VXQSymbol* symbol) const
{
    const qint64 number = sequenceNumberForSymbol(symbol);
    if (number == kNotFound)
        return {};
    return sequencenumbering::formattedNumber(number, m_kind, alphabet());
}

// --- Master and layer ----------------------------------------------------------------------------

void VXQSymbolSequence::adoptMasterFrom(QObject* original)
{
    if (const auto* sequence = qobject_cast<const VXQSymbolSequence*>(original))
        m_master = sequence->m_master;
}

void VXQSymbolSequence::setLayer(QObject* layer)
{
    m_layer = qobject_cast<VXQMappingLayer*>(layer);
    for (const VXQSymbolPtr& symbol : std::as_const(m_symbols))
        symbol->attachToSequence(this);
}

ZQUndoManager* VXQSymbolSequence::undoManager() const
{
    return m_layer ? m_layer->undoManager() : nullptr;
}

void VXQSymbolSequence::registerUndo(std::function<void()> inverse)
{
    // Aimed at the sequence, so removing it from its layer can purge what would revive it.
    if (ZQUndoManager* undo = undoManager())
        undo->registerUndoWithTargetHandler(this, std::move(inverse));
}

// --- Key-table rows --------------------------------------------------------------------------------

QString VXQSymbolSequence::keytableStringForSymbol(const VXQSymbol* symbol) const
{
    ZQ_ASSERT(symbol, QStringLiteral("nil symbol passed to -keytableStringForSymbol:"));
    const QString info = symbol->metadataValueForKey(kVXQSequenceInfoKey).toString();
    return sequenceStringForSymbol(symbol) + QLatin1Char('\t') + info;
}

QString VXQSymbolSequence::keytableStringAtIndex(qsizetype index) const
{
    return keytableStringForSymbol(m_symbols.value(index).get());
}

QStringList VXQSymbolSequence::keytableStrings() const
{
    QStringList rows;
    rows.reserve(m_symbols.size());
    for (const VXQSymbolPtr& symbol : m_symbols)
        rows.append(keytableStringForSymbol(symbol.get()));
    return rows;
}

QString VXQSymbolSequence::keytableString() const
{
    return keytableStrings().join(QLatin1Char('\r'));
}

void VXQSymbolSequence::setKeytableStringForSymbol(const QString& string, VXQSymbol* symbol)
{
    ZQ_ASSERT(symbol, QStringLiteral("symbol can't be nil in -setKeytableString:forSymbol:"));
    ZQ_ASSERT(!string.isNull(), QStringLiteral("string can't be nil in -setKeytableString:forSymbol:"));
    const qsizetype tab = string.indexOf(QLatin1Char('\t'));
    symbol->setMetadataItemValueForKey(tab < 0 ? string : string.mid(tab + 1), kVXQSequenceInfoKey);
}

void VXQSymbolSequence::setKeytableStringAtIndex(const QString& string, qsizetype index)
{
    setKeytableStringForSymbol(string, m_symbols.value(index).get());
}

QString VXQSymbolSequence::keyTableStringValueForRowAtIndex(const VXQKeyTable&, qsizetype row) const
{
    return keytableStringAtIndex(row);
}

void VXQSymbolSequence::keyTableSetStringValueForRowAtIndex(VXQKeyTable&, const QString& string, qsizetype row)
{
    if (row >= 0 && row < m_symbols.size())
        setKeytableStringAtIndex(string, row);
}

void VXQSymbolSequence::symbolInfoDidChange(VXQSymbol* symbol)
{
    platform::NotificationCenter::defaultCenter().postNotificationName(
        kVXQSymbolInfoWasChangedNotification, this, {{QStringLiteral("symbol"), QVariant::fromValue<QObject*>(symbol)}});
    reloadKeyTables();
    ZQLog(QStringLiteral("sequence got info change, table string = %1").arg(keytableString()));
}

// --- Key tables ------------------------------------------------------------------------------------

void VXQSymbolSequence::becomeSourceOf(VXQKeyTable& table)
{
    table.setDatasource(this);
    table.setDelegate(this);
    table.reloadData();
}

void VXQSymbolSequence::reloadKeyTables()
{
    for (const VXQKeyTablePtr& table : std::as_const(m_keyTables))
        table->reloadData();
}

void VXQSymbolSequence::addKeytable(const VXQKeyTablePtr& table)
{
    ZQ_ASSERT(table, QStringLiteral("key table can't be nil"));
    if (m_keyTables.contains(table))
        return;
    registerUndo([this, table] { removeKeytable(table); });
    m_keyTables.append(table);
    becomeSourceOf(*table);
}

void VXQSymbolSequence::removeKeytable(const VXQKeyTablePtr& table)
{
    ZQ_ASSERT(table, QStringLiteral("key table can't be nil"));
    if (!m_keyTables.contains(table))
        return;
    registerUndo([this, table] { addKeytable(table); });
    table->setDelegate(nullptr);
    table->setDatasource(nullptr);
    m_keyTables.removeAll(table);
}

void VXQSymbolSequence::setKeytables(const QList<VXQKeyTablePtr>& tables)
{
    m_keyTables.clear();
    for (const VXQKeyTablePtr& table : tables) {
        if (table && !m_keyTables.contains(table)) {
            m_keyTables.append(table);
            becomeSourceOf(*table);
        }
    }
}

VXQKeyTablePtr VXQSymbolSequence::createAndInsertKeyTable()
{
    ZQLogObjCMethod(QStringLiteral("creating key table"));
    auto table = std::make_shared<VXQKeyTable>();
    const QString actionName = tr("Insert Sequence Key");
    ZQUndoManager* undo = undoManager();
    platform::WholeEdit::run(undo, actionName, [&] {
        addKeytable(table);
        const QRectF frame = QRectF(QPointF(100, 100), table->tableSize()).adjusted(-3, -3, 3, 3);
        auto shape = VXQKeyTableTextShape::keyTableTextShapeInRect(frame);
        table->setTextShape(shape);
        if (m_layer)
            m_layer->editWithSelectionUndo(actionName, [&] {
                m_layer->addObject(shape);
                m_layer->replaceSelectionWithObject(shape);
            });
        if (undo)
            undo->setActionName(actionName);
    });
    return table;
}

// --- Copying and archiving -----------------------------------------------------------------------------

QString VXQSymbolSequence::description() const
{
    return QStringLiteral("%1 (count: %2) master:%3")
        .arg(ZQObject::description(), QString::number(count()), m_master ? m_master->description() : QStringLiteral("(null)"));
}

std::shared_ptr<ZQObject> VXQSymbolSequence::copy() const
{
    auto made = sequenceWithSymbolMaster(m_master);
    made->m_autoRenumbers = m_autoRenumbers;
    made->m_kind = m_kind;
    made->m_alphabet = m_alphabet;
    made->m_startOffset = m_startOffset;
    made->m_managementEnabled = m_managementEnabled;
    return made;
}

void VXQSymbolSequence::encodeWithCoder(platform::KeyedArchiver& coder) const
{
    if (!coder.isForCopying()) // a copy shares its original's master (adoptMasterFrom)
        coder.encodeObject(m_master.get(), kMasterKey);
    QVariantList symbols;
    for (const VXQSymbolPtr& symbol : m_symbols)
        symbols.append(QVariant::fromValue(ZQObjectPtr(symbol)));
    coder.encodeObject(QVariant(symbols), kSymbolsKey);
    coder.encodeBool(m_autoRenumbers, kAutoRenumbersKey);
    coder.encodeInt(m_kind, kKindKey);
    if (!m_alphabet.isEmpty())
        coder.encodeString(m_alphabet, kAlphabetKey);
    coder.encodeInt(m_startOffset, kStartingOffsetKey);
    QVariantList tables;
    for (const VXQKeyTablePtr& table : m_keyTables)
        tables.append(QVariant::fromValue(ZQObjectPtr(table)));
    coder.encodeObject(QVariant(tables), kKeyTablesKey);
    coder.encodeConditionalObject(m_layer.data(), kLayerKey);
}

void VXQSymbolSequence::initWithCoder(platform::KeyedUnarchiver& coder)
{
    const platform::ArchiveReader reader(coder);
    m_master = reader.object<VXQSymbolMaster>(kMasterKey);
    if (!m_master && reader.contains(kMasterKey))
        ZQLog(QStringLiteral("a symbol sequence's master is of the wrong class; its members are dropped"));
    m_kind = int(reader.integer(kKindKey, 0, 0, sequencenumbering::kLastKind));
    m_autoRenumbers = reader.boolean(kAutoRenumbersKey, true);
    m_alphabet = reader.string(kAlphabetKey);
    m_startOffset = reader.integer(kStartingOffsetKey, 1, 0, kMaximumStartingOffset);
    m_managementEnabled = true;
    // Only symbols of the sequence's own master, each once. A copy's masters come later.
    QList<VXQSymbolPtr> members;
    QSet<const VXQSymbol*> seen;
    for (const VXQSymbolPtr& symbol : reader.objects<VXQSymbol>(kSymbolsKey)) {
        const bool ofTheMaster = coder.isForCopying() || (m_master && symbol->master() == m_master);
        if (!ofTheMaster || seen.contains(symbol.get()))
            continue;
        seen.insert(symbol.get());
        members.append(symbol);
    }
    membersDidChange();
    m_symbols = members;
    setKeytables(reader.objects<VXQKeyTable>(kKeyTablesKey));
    setLayer(reader.object<VXQMappingLayer>(kLayerKey).get());
}
