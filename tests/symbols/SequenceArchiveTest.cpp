#include "SequenceFixture.h"

#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/ui/ResponderChain.h"
#include "platform/vantrix/drawables/VXTextShape.h"
#include "platform/vantrix/view/VXDrawingView.h"
#include "symbols/keytable/VXQKeyTable.h"
#include "symbols/keytable/VXQKeyTableTextShape.h"
#include "support/ArchiveTesting.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>

using sequencetest::Fixture;

namespace {

QString tableText(const VXQKeyTable& table)
{
    return table.textShape()->textAdornment()->labelText().string();
}

// A numbered layer with info on its symbols and a key table over two columns.
struct KeyedFixture : Fixture {
    VXQKeyTablePtr table;

    KeyedFixture()
        : Fixture(3)
    {
        const VXQSymbolSequencePtr numbered = sequence();
        numbered->setSequenceKind(4);
        numbered->setStartingOffset(2);
        numbered->setAlphabet(QStringLiteral("XY"));
        symbols[0]->setMetadataItemValueForKey(QStringLiteral("Church"), kVXQSequenceInfoKey);
        symbols[2]->setMetadataItemValueForKey(QStringLiteral("Well"), kVXQSequenceInfoKey);
        table = numbered->createAndInsertKeyTable();
        table->setNumberOfColumns(2);
        forget();
    }
};

// The decoded layer's sequence, checked against what KeyedFixture made.
void expectKeyedLayer(const VXQMappingLayer& layer)
{
    ASSERT_EQ(layer.sequences().size(), 1);
    const auto sequence = layersequences::sequencesOfLayer(layer).value(0);
    ASSERT_TRUE(sequence);
    EXPECT_EQ(sequence->layer(), &layer);
    EXPECT_EQ(sequence->sequenceKind(), 4);
    EXPECT_EQ(sequence->startingOffset(), 2);
    EXPECT_EQ(sequence->alphabet(), "XY");
    EXPECT_TRUE(sequence->autoRenumbers());
    const QList<VXDrawableObjectPtr> objects = layer.objects();
    ASSERT_EQ(sequence->count(), 3);
    for (qsizetype i = 0; i < 3; ++i) {
        EXPECT_EQ(sequence->symbolAtIndex(i), objects[i]) << i;
        EXPECT_EQ(sequence->symbolAtIndex(i)->sequence(), sequence.get());
        EXPECT_EQ(sequence->symbolAtIndex(i)->master(), sequence->symbolMaster());
    }
    EXPECT_EQ(sequence->keytableString(), "II\tChurch\rIII\t\rIV\tWell");
    ASSERT_EQ(sequence->keytables().size(), 1);
    const VXQKeyTablePtr table = sequence->keytables()[0];
    EXPECT_EQ(table->numberOfColumns(), 2);
    EXPECT_EQ(table->datasource(), sequence.get());
    EXPECT_EQ(table->textShape(), objects.value(3));
    EXPECT_EQ(qobject_cast<VXQKeyTableTextShape*>(table->textShape().get())->keyTable(), table.get());
    EXPECT_EQ(tableText(*table), "\nII\tChurch\nIII\t\nIV\tWell\n");

    // The decoded sequence is alive: a move renumbers and the table follows.
    sequence->moveSymbolAtIndexToIndex(2, 0);
    EXPECT_EQ(tableText(*table), "\nII\tWell\nIII\tChurch\nIV\t\n");
    EXPECT_EQ(objects[2]->metadataValueForKey(kVXQSequenceNumberKey).toString(), "II");
}

} // namespace

TEST(SequenceArchive, ALayerWithSequencesAndAKeyTableSurvivesAnArchiveAndACopy)
{
    KeyedFixture f;
    EXPECT_EQ(tableText(*f.table), "\nII\tChurch\nIII\t\nIV\tWell\n");
    const auto decoded = testsupport::roundTrip<VXQMappingLayer>(*f.layer);
    ASSERT_TRUE(decoded);
    expectKeyedLayer(*decoded);

    const auto copy = std::dynamic_pointer_cast<VXQMappingLayer>(f.layer->duplicateLayer());
    ASSERT_TRUE(copy);
    expectKeyedLayer(*copy);
    // The original is left as it was.
    EXPECT_EQ(tableText(*f.table), "\nII\tChurch\nIII\t\nIV\tWell\n");
    EXPECT_EQ(f.sequence()->symbols(), f.symbols);
}

TEST(SequenceArchive, DamagedSequencesReadSoundly)
{
    Fixture f(2);
    const VXQSymbolMasterPtr other = sequencetest::squareMaster(true, QStringLiteral("Other"));
    const VXQSymbolPtr stranger = VXQSymbol::symbolWithMaster(other);
    const VXQSymbolSequencePtr sequence = f.sequence();
    sequence->setSymbols({f.symbols[0], stranger, f.symbols[1]});
    const auto decoded = testsupport::roundTrip<VXQSymbolSequence>(*sequence);
    ASSERT_TRUE(decoded);
    ASSERT_EQ(decoded->count(), 2); // the symbol of another master is left out
    EXPECT_EQ(decoded->symbolAtIndex(0)->master(), decoded->symbolMaster());

    // Out-of-range kinds and offsets read as the defaults; an empty alphabet as unset.
    testsupport::ArchiveStub stub;
    stub.objects.insert(QStringLiteral("VXQSymbolSequence_master"), f.master);
    stub.values.insert(QStringLiteral("VXQSymbolSequence_seqKind"), 42);
    stub.values.insert(QStringLiteral("VXQSymbolSequence_startingOffset"), std::numeric_limits<qint64>::max());
    stub.values.insert(QStringLiteral("VXQSymbolSequence_alphabet"), QString(""));
    auto odd = std::dynamic_pointer_cast<VXQSymbolSequence>(
        platform::KeyedUnarchiver::unarchiveObjectWithData(stub.archiveAs(QStringLiteral("VXQSymbolSequence"))));
    ASSERT_TRUE(odd);
    EXPECT_EQ(odd->sequenceKind(), 0);
    EXPECT_EQ(odd->startingOffset(), 1);
    EXPECT_EQ(odd->alphabet(), "ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    EXPECT_EQ(odd->count(), 0);
    EXPECT_TRUE(odd->managementEnabled());

    // A master of the wrong class leaves a sequence without members.
    testsupport::ArchiveStub wrong;
    wrong.objects.insert(QStringLiteral("VXQSymbolSequence_master"), std::make_shared<VXTextShape>());
    testsupport::LogCapture log;
    auto masterless = std::dynamic_pointer_cast<VXQSymbolSequence>(
        platform::KeyedUnarchiver::unarchiveObjectWithData(wrong.archiveAs(QStringLiteral("VXQSymbolSequence"))));
    ASSERT_TRUE(masterless);
    EXPECT_EQ(masterless->symbolMaster(), nullptr);
    EXPECT_TRUE(log.contains("wrong class"));

    // A copy takes the settings, not the members.
    sequence->setSequenceKind(3);
    const auto copied = std::static_pointer_cast<VXQSymbolSequence>(sequence->copy());
    EXPECT_EQ(copied->sequenceKind(), 3);
    EXPECT_EQ(copied->symbolMaster(), f.master);
    EXPECT_EQ(copied->count(), 0);
    EXPECT_EQ(copied->layer(), nullptr);
}

// The map view passes a menu command to every selected symbol: commands on the whole sequence
// act once per sequence however many of its symbols are selected.
TEST(SequenceKeyTable, SequenceCommandsToSeveralSelectedSymbolsActOncePerSequence)
{
    Fixture f(3);
    const VXQSymbolPtr church = f.place({200, 50}, sequencetest::squareMaster(true, QStringLiteral("Church")));
    f.forget();
    f.layer->selectAll();
    VXDrawingView view;
    view.setDrawing(f.drawing);
    const auto sendToSelection = [&](const QByteArray& action) {
        f.step([&] { EXPECT_TRUE(platform::ResponderChain::performAction(&view, action, nullptr)); });
    };

    sendToSelection("insertKeyTable");
    EXPECT_EQ(f.sequence()->keytables().size(), 1);
    EXPECT_EQ(church->sequence()->keytables().size(), 1);

    f.layer->exchangeSelectionWithObjectsFromArray({f.symbols[1], f.symbols[2], church});
    const bool renumbers = f.sequence()->autoRenumbers();
    sendToSelection("toggleAutoRenumbering");
    EXPECT_NE(f.sequence()->autoRenumbers(), renumbers);
    EXPECT_NE(church->sequence()->autoRenumbers(), renumbers);

    // A locked symbol takes no commands: the next selected member of its sequence acts.
    f.symbols[1]->setLocked(true);
    sendToSelection("insertKeyTable");
    EXPECT_EQ(f.sequence()->keytables().size(), 2);
}

TEST(SequenceKeyTable, InsertingAKeyIsOneStepAndTheTableFollowsUndoneChanges)
{
    Fixture f(3);
    f.symbols[1]->setMetadataItemValueForKey(QStringLiteral("Mill"), kVXQSequenceInfoKey);
    f.forget();
    f.step([&] { f.symbols[0]->insertKeyTable(); });
    const VXQSymbolSequencePtr sequence = f.sequence();
    ASSERT_EQ(sequence->keytables().size(), 1);
    const VXQKeyTablePtr table = sequence->keytables()[0];
    const VXDrawableObjectPtr shape = table->textShape();
    EXPECT_EQ(f.layer->objects().last(), shape);
    EXPECT_EQ(f.layer->selection(), QList<VXDrawableObjectPtr>{shape});
    EXPECT_EQ(shape->size(), QSizeF(256, 156));
    EXPECT_EQ(shape->location(), QPointF(97 + 128, 97 + 78));
    EXPECT_EQ(f.undo.numberOfUndoActions(), 1);
    EXPECT_EQ(f.undo.undoActionName(), "Insert Sequence Key");
    EXPECT_EQ(tableText(*table), "\n1\t\n2\tMill\n3\t\n");

    f.undo.undo();
    EXPECT_FALSE(f.layer->objects().contains(shape));
    EXPECT_TRUE(sequence->keytables().isEmpty());
    EXPECT_EQ(table->datasource(), nullptr);
    f.undo.redo();
    EXPECT_EQ(sequence->keytables(), QList<VXQKeyTablePtr>{table});
    EXPECT_TRUE(f.layer->objects().contains(shape));

    // The table follows the data, and undoing the data's change brings the text back.
    f.step([&] { sequence->setSequenceKind(4); });
    EXPECT_EQ(tableText(*table), "\nI\t\nII\tMill\nIII\t\n");
    f.step([&] { f.symbols[2]->moveToStartOfSequence(nullptr); });
    EXPECT_EQ(tableText(*table), "\nI\t\nII\t\nIII\tMill\n");
    f.undo.undo();
    EXPECT_EQ(tableText(*table), "\nI\t\nII\tMill\nIII\t\n");
    f.undo.undo();
    EXPECT_EQ(tableText(*table), "\n1\t\n2\tMill\n3\t\n");
    f.undo.redo();
    EXPECT_EQ(tableText(*table), "\nI\t\nII\tMill\nIII\t\n");

    // Removing a key table is undoable too.
    f.step([&] { sequence->removeKeytable(table); });
    EXPECT_TRUE(sequence->keytables().isEmpty());
    f.undo.undo();
    EXPECT_EQ(sequence->keytables().size(), 1);
    EXPECT_THROW(sequence->addKeytable(nullptr), platform::AssertionFailure);
}
