#pragma once

// The menu commands on one placed symbol: detaching it from its master, picking it up into the
// symbol tool, scaling it, copying, pasting and dropping masters, the sequence commands, its
// context menu and the validation of all of them. The symbol owns one and forwards the
// actions the responder chain finds on it by name.
//
// Locked symbols refuse every command that would change them or their sequence's order;
// copying the master or the style, showing the master in the library, selecting its symbols,
// switching auto-renumbering and inserting the key work regardless. Each command is one undo
// step named after it, unless undoing or redoing.

#include "symbols/placed/SymbolSequenceMembership.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QPointF>

class QObject;
class VXQSymbol;
namespace platform {
class Menu;
class MenuItem;
class Pasteboard;
} // namespace platform

class SymbolCommands {
    // The texts are the symbol's own.
    Q_DECLARE_TR_FUNCTIONS(VXQSymbol)

public:
    explicit SymbolCommands(VXQSymbol& symbol) : m_symbol(symbol) {}
    SymbolCommands(const SymbolCommands&) = delete;
    SymbolCommands& operator=(const SymbolCommands&) = delete;

    // Replaces the symbol by a plain copy of the master's graphic in its place ("Detach Symbol").
    void detach();
    // Hands the master to the "Place Symbol" tool and makes it current; unless Option is held
    // the symbol goes ("Pick Up Symbol").
    void pickUp();
    // The scale factor becomes the sender's tag / 10 ("Change Symbol Scale").
    void scaleToTagOf(QObject* sender);
    void copyMaster() const;
    void pasteMaster();
    // A master on the pasteboard becomes the symbol's master ("Drop Symbol Master").
    bool dropMaster(const platform::Pasteboard& pasteboard);
    void revealMaster() const;
    void selectMatchingStyle() const;
    void copyDrawingStyle() const;

    // After asking, numbers the sequence from its offset again, closing gaps ("Renumber Symbols").
    void renumberSequence();
    void toggleAutoRenumbering();
    // The sequence kind becomes the sender's tag ("Sequence Type").
    void setSequenceKind(QObject* sender);
    // Named by the sender's title.
    void moveInSequence(SymbolSequenceMembership::Move move, QObject* sender);
    // A key table of the sequence in a new text shape ("Insert Sequence Key").
    void insertKeyTable();
    // The commands on the whole sequence go to one of its selected symbols: the sequence
    // itself is their receiver's key.
    const void* sharedReceiverKeyForAction(const QByteArray& action) const;

    // The label items at the point, then the symbol's own.
    bool populateContextualMenuAtPoint(platform::Menu* menu, QPointF point);
    bool validateMenuItem(platform::MenuItem* item) const;

private:
    VXQSymbol& m_symbol;
};
