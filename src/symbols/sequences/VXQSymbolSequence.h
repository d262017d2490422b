#pragma once

// Numbers the placed symbols of one master within one mapping layer: the first member is
// number startingOffset (1 by default), the next one more, and so on; each number shows in
// one of the kinds of SequenceNumbering. Members write their number into their attributes
// ("QVNL_SEQUENCE_NUMBER" as shown, "QVNL_SEQUENCE_CARD" as a number) whenever the sequence
// renumbers, which it does after every change of membership or order while autoRenumbers is
// on, and after every change of kind or alphabet.
//
// The sequence also feeds key tables: one row per member, "<number>\t<info>", where the info
// is the member's "QVNL_SEQUENCE_INFO" attribute; a row edited in a table goes back into that
// attribute. Any change of a member's info rebuilds the tables and posts
// kVXQSymbolInfoWasChangedNotification {"symbol": the member}.
//
// Every change of membership, order, kind, alphabet, offset and key tables is undoable on the
// layer's undo manager (actions aimed at the sequence, so the layer can purge them). With
// management off, insertions, removals and moves are refused silently.
//
// Archive keys "VXQSymbolSequence_master", "_symbols", "_autorenumbers", "_seqKind",
// "_alphabet" (absent while unset), "_startingOffset", "_keyTables" and "_layer"
// (conditional). Reading keeps only members of the sequence's master, each once, clamps the
// kind into 0...8 and the offset into 0...kMaximumStartingOffset.

#include "app/services/MappingLayerSequence.h"
#include "app/document/VXQMappingLayer.h"
#include "platform/foundation/ZQObject.h"
#include "symbols/keytable/VXQKeyTableDatasource.h"

#include <QHash>
#include <QList>
#include <QPointer>
#include <limits>

class VXQKeyTable;
class VXQSymbol;
class VXQSymbolMaster;
class ZQUndoManager;
using VXQKeyTablePtr = std::shared_ptr<VXQKeyTable>;
using VXQSymbolPtr = std::shared_ptr<VXQSymbol>;
using VXQSymbolMasterPtr = std::shared_ptr<VXQSymbolMaster>;

inline const QString kVXQSymbolSequenceWasRenumberedNotification = QStringLiteral("kVXQSymbolSequenceWasRenumberedNotification");
inline const QString kVXQSymbolInfoWasChangedNotification = QStringLiteral("kVXQSymbolInfoWasChangedNotification");
// Attributes of a member symbol.
inline const QString kVXQSequenceNumberKey = QStringLiteral("QVNL_SEQUENCE_NUMBER");
inline const QString kVXQSequenceCardKey = QStringLiteral("QVNL_SEQUENCE_CARD");
inline const QString kVXQSequenceInfoKey = QStringLiteral("QVNL_SEQUENCE_INFO");

class VXQSymbolSequence : public ZQObject, public VXQKeyTableDatasource, public MappingLayerSequence {
    Q_OBJECT
    Q_PROPERTY(int sequenceKind READ sequenceKind WRITE setSequenceKind)
    Q_PROPERTY(QString alphabet READ alphabet WRITE setAlphabet)
    Q_PROPERTY(qint64 startingOffset READ startingOffset WRITE setStartingOffset)
    Q_PROPERTY(bool autoRenumbers READ autoRenumbers WRITE setAutoRenumbers)
    Q_PROPERTY(bool managementEnabled READ managementEnabled WRITE setManagementEnabled)
    Q_PROPERTY(qint64 count READ count STORED false)
    Q_PROPERTY(qint64 maxSequenceNumber READ maxSequenceNumber STORED false)

public:
    // What sequenceNumberForSymbol answers for a symbol that is no member.
    static constexpr qint64 kNotFound = std::numeric_limits<qint64>::max();
    // Offsets stay far enough below kNotFound that no member's number reaches it.
    static constexpr qint64 kMaximumStartingOffset = std::numeric_limits<qint64>::max() / 2;

    VXQSymbolSequence();
    ~VXQSymbolSequence() override;
    // Empty, numbering from 1 in the master's default kind.
    static std::shared_ptr<VXQSymbolSequence> sequenceWithSymbolMaster(const VXQSymbolMasterPtr& master);
    void initWithSymbolMaster(const VXQSymbolMasterPtr& master);

    // --- Members ---------------------------------------------------------------------------
    // A symbol already listed is ignored; otherwise it joins at the end.
    void addSymbol(const VXQSymbolPtr& symbol);
    // `index` <= count.
    void insertSymbolAtIndex(const VXQSymbolPtr& symbol, qsizetype index);
    void removeSymbol(VXQSymbol* symbol);
    // `index` < count.
    void removeSymbolAtIndex(qsizetype index);
    // A `from` past the end moves the last member; a `to` past the end moves to the end.
    void moveSymbolAtIndexToIndex(qsizetype from, qsizetype to);
    // Replaces the members as they are (no renumbering).
    void setSymbols(const QList<VXQSymbolPtr>& symbols);
    const QList<VXQSymbolPtr>& symbols() const { return m_symbols; }
    VXQSymbolPtr symbolAtIndex(qsizetype index) const { return m_symbols.value(index); }
    qint64 count() const { return m_symbols.size(); }
    bool containsSymbol(const VXQSymbol* symbol) const;
    // Orders the members by the positions they noted before their layer was copied.
    void restorePriorSequenceOrder();

    // --- Numbering -------------------------------------------------------------------------
    int sequenceKind() const { return m_kind; }
    // A kind outside 0...8 is refused.
    void setSequenceKind(int kind);
    // The letters of the lettered kinds; the class default until set (and kept from the first use).
    QString alphabet() const;
    // The empty string unsets it.
    void setAlphabet(const QString& alphabet);
    qint64 startingOffset() const { return m_startOffset; }
    // Clamped into 0...kMaximumStartingOffset.
    void setStartingOffset(qint64 offset);
    bool autoRenumbers() const { return m_autoRenumbers; }
    void setAutoRenumbers(bool renumbers) { m_autoRenumbers = renumbers; }
    bool managementEnabled() const { return m_managementEnabled; }
    void setManagementEnabled(bool enabled) { m_managementEnabled = enabled; }
    // count + startingOffset - 1.
    qint64 maxSequenceNumber() const { return count() + m_startOffset - 1; }
    // Each member loads its number; then kVXQSymbolSequenceWasRenumberedNotification and the
    // key tables rebuild.
    Q_INVOKABLE void renumber();
    qint64 sequenceNumberForSymbol(const VXQSymbol* symbol) const;
    // Empty for a symbol that is no member.
    QString sequenceStringForSymbol(const VXQSymbol* symbol) const;

    // --- Master and layer ------------------------------------------------------------------
    const VXQSymbolMasterPtr& symbolMaster() const { return m_master; }
    void setSymbolMaster(const VXQSymbolMasterPtr& master) { m_master = master; }
    // A copy made through an archive takes the original's master object, as its symbols do.
    void adoptMasterFrom(QObject* original) override;
    VXQMappingLayer* layer() const { return m_layer; }
    // Also points every member at this sequence.
    void setLayer(QObject* layer) override;
    ZQUndoManager* undoManager() const;

    // --- Key-table rows ---------------------------------------------------------------------
    // "<sequence string>\t<info>".
    QString keytableStringForSymbol(const VXQSymbol* symbol) const;
    QString keytableStringAtIndex(qsizetype index) const;
    QStringList keytableStrings() const;
    // The rows joined by "\r".
    QString keytableString() const;
    // The text after the first tab (all of it without one) becomes the symbol's info.
    void setKeytableStringForSymbol(const QString& string, VXQSymbol* symbol);
    void setKeytableStringAtIndex(const QString& string, qsizetype index);

    qsizetype numberOfRowsInKeyTable(const VXQKeyTable&) const override { return m_symbols.size(); }
    QString keyTableStringValueForRowAtIndex(const VXQKeyTable&, qsizetype row) const override;
    void keyTableSetStringValueForRowAtIndex(VXQKeyTable&, const QString& string, qsizetype row) override;

    // --- Key tables --------------------------------------------------------------------------
    const QList<VXQKeyTablePtr>& keytables() const { return m_keyTables; }
    // Undoable; the sequence becomes the table's data source and delegate.
    void addKeytable(const VXQKeyTablePtr& table);
    void removeKeytable(const VXQKeyTablePtr& table);
    // Not undoable (reading).
    void setKeytables(const QList<VXQKeyTablePtr>& tables);
    // A new table in a new text shape at (100, 100), grown by 3 on every side, added to the
    // layer and selected as one step "Insert Sequence Key".
    VXQKeyTablePtr createAndInsertKeyTable();

    QString description() const override;
    // Same master, kind, alphabet, offset and switches; no members, tables or layer.
    std::shared_ptr<ZQObject> copy() const override;
    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    void initWithCoder(platform::KeyedUnarchiver& coder) override;

private:
    void registerUndo(std::function<void()> inverse);
    // Members before `first` keep their places, so only those from it on load their numbers.
    void renumberFromIndex(qsizetype first);
    void renumberIfAutomatic(qsizetype first = 0);
    void reloadKeyTables();
    void becomeSourceOf(VXQKeyTable& table);
    void symbolInfoDidChange(VXQSymbol* symbol);
    // Member -> index. Positions below m_indexedCount are indexed and later ones as lookups reach
    // them, so a change near the end (symbols added one by one) keeps the index of the rest.
    qsizetype indexOfSymbol(const VXQSymbol* symbol) const;
    // Forgets the positions from `first` on; called before the members there change.
    void membersWillChangeFrom(qsizetype first);
    void membersDidChange() { membersWillChangeFrom(0); }

    QList<VXQSymbolPtr> m_symbols;
    VXQSymbolMasterPtr m_master;
    QPointer<VXQMappingLayer> m_layer;
    bool m_autoRenumbers = true;
    int m_kind = 0;
    mutable QString m_alphabet; // the default is kept from the first use
    qint64 m_startOffset = 1;
    bool m_managementEnabled = true;
    QList<VXQKeyTablePtr> m_keyTables;
    mutable QHash<const VXQSymbol*, qsizetype> m_indexes;
    mutable qsizetype m_indexedCount = 0;
};

using VXQSymbolSequencePtr = std::shared_ptr<VXQSymbolSequence>;
Q_DECLARE_METATYPE(VXQSymbolSequencePtr)
