#include "SequenceFixture.h"

#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/MenuItem.h"
#include "platform/vantrix/render/DrawingRenderer.h"
#include "platform/vantrix/text/VXTextAdornment.h"
#include "symbols/keytable/VXQKeyTable.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>

using sequencetest::Fixture;

namespace {

QStringList infoOf(const QList<VXQSymbolPtr>& symbols)
{
    QStringList info;
    for (const VXQSymbolPtr& symbol : symbols)
        info << symbol->metadataValueForKey(kVXQSequenceInfoKey).toString();
    return info;
}

} // namespace

TEST(SymbolSequence, NumbersFollowInsertsRemovesAndMovesAnywhereAndTheirUndo)
{
    Fixture f(6);
    const VXQSymbolSequencePtr sequence = f.sequence();
    ASSERT_TRUE(sequence);
    const auto expectNumbersInOrder = [&](const char* when) {
        const QList<VXQSymbolPtr>& members = sequence->symbols();
        for (qsizetype i = 0; i < members.size(); ++i)
            EXPECT_EQ(sequence->sequenceNumberForSymbol(members[i].get()), i + 1) << when << " at " << i;
        EXPECT_EQ(f.numbers(), (QStringList{"1", "2", "3", "4", "5", "6", "7"}.mid(0, members.size()))) << when;
    };
    expectNumbersInOrder("placed");
    const VXQSymbolPtr third = sequence->symbols()[2];
    f.step([&] { sequence->removeSymbolAtIndex(2); });
    EXPECT_EQ(sequence->sequenceNumberForSymbol(third.get()), VXQSymbolSequence::kNotFound);
    expectNumbersInOrder("removed from the middle");
    f.step([&] { sequence->insertSymbolAtIndex(third, 0); });
    expectNumbersInOrder("inserted at the front");
    f.step([&] { sequence->moveSymbolAtIndexToIndex(5, 1); });
    expectNumbersInOrder("moved forward");
    EXPECT_EQ(f.order(), (QList<int>{2, 5, 0, 1, 3, 4}));
    f.undo.undo();
    f.undo.undo();
    EXPECT_EQ(f.order(), (QList<int>{0, 1, 3, 4, 5}));
    expectNumbersInOrder("two steps undone");
    f.undo.undo();
    EXPECT_EQ(f.order(), (QList<int>{0, 1, 2, 3, 4, 5}));
    expectNumbersInOrder("all undone");
}

TEST(LayerSequences, MadeOnDemandForSequenceableMastersAndDroppedWhenEmpty)
{
    Fixture f;
    const VXQSymbolMasterPtr plain = sequencetest::squareMaster(false, QStringLiteral("Plain"));
    const VXQSymbolPtr unnumbered = f.place({10, 10}, plain);
    EXPECT_EQ(unnumbered->sequence(), nullptr);
    EXPECT_EQ(layersequences::sequenceForSymbolMaster(*f.layer, plain), nullptr);
    EXPECT_TRUE(f.layer->sequences().isEmpty());
    EXPECT_FALSE(unnumbered->metadataValueForKey(kVXQSequenceNumberKey).isValid());

    // The first symbol of a sequenceable master brings its sequence, in the master's kind.
    f.master->setDefaultSequenceKind(4);
    const VXQSymbolPtr first = f.place({50, 50});
    const VXQSymbolSequencePtr sequence = f.sequence();
    ASSERT_TRUE(sequence);
    EXPECT_EQ(first->sequence(), sequence.get());
    EXPECT_EQ(sequence->layer(), f.layer.get());
    EXPECT_EQ(sequence->sequenceKind(), 4);
    EXPECT_EQ(sequence->symbolMaster(), f.master);
    EXPECT_EQ(layersequences::sequenceForSymbolMasterCreateIfNeeded(*f.layer, f.master, false), sequence);
    EXPECT_EQ(first->metadataValueForKey(kVXQSequenceNumberKey).toString(), "I");
    EXPECT_EQ(first->metadataValueForKey(kVXQSequenceCardKey).toLongLong(), 1);

    // Removing the last sequence leaves no dictionary and purges the undo aimed at it.
    f.forget();
    f.step([&] { sequence->setStartingOffset(5); });
    ASSERT_EQ(f.undo.numberOfUndoActions(), 1);
    layersequences::removeSequence(*f.layer, sequence.get());
    EXPECT_TRUE(f.layer->sequences().isEmpty());
    EXPECT_EQ(sequence->layer(), nullptr);
    EXPECT_EQ(f.undo.numberOfUndoActions(), 0);
    const VXQSymbolSequencePtr again = layersequences::sequenceForSymbolMaster(*f.layer, f.master);
    ASSERT_TRUE(again);
    EXPECT_NE(again, sequence);
    EXPECT_EQ(f.layer->sequences().size(), 1);
    EXPECT_THROW(layersequences::removeSequence(*f.layer, nullptr), platform::AssertionFailure);
    EXPECT_THROW(layersequences::sequenceForSymbolMaster(*f.layer, nullptr), platform::AssertionFailure);
}

TEST(LayerSequences, ManagementSwitchRefusesChangesSilentlyAndTheLayerLetsItsSequencesGo)
{
    const auto f = std::make_unique<Fixture>(3);
    const VXQSymbolSequencePtr sequence = f->sequence();
    layersequences::setSequenceManagementEnabled(*f->layer, false);
    sequence->moveSymbolAtIndexToIndex(2, 0);
    sequence->removeSymbolAtIndex(0);
    f->place({300, 300});
    EXPECT_EQ(sequence->count(), 3);
    EXPECT_EQ(f->order(), (QList<int>{0, 1, 2}));
    layersequences::setSequenceManagementEnabled(*f->layer, true);
    EXPECT_TRUE(sequence->managementEnabled());


    // A sequence outliving its layer keeps no reference to it.
    auto lone = std::make_shared<VXQMappingLayer>();
    lone->addObject(VXQSymbol::symbolWithMaster(f->master));
    const auto held = layersequences::sequenceForMasterID(*lone, f->master->uniqueKey());
    ASSERT_TRUE(held);
    EXPECT_EQ(held->layer(), lone.get());
    lone.reset();
    EXPECT_EQ(held->layer(), nullptr);
    EXPECT_EQ(held->count(), 1);
}

TEST(SymbolSequence, NumbersFollowOffsetsKindsAndMoves)
{
    Fixture f(3);
    const VXQSymbolSequencePtr sequence = f.sequence();
    EXPECT_EQ(f.numbers(), (QStringList{"1", "2", "3"}));
    f.step([&] { sequence->setStartingOffset(10); });
    EXPECT_EQ(f.numbers(), (QStringList{"10", "11", "12"}));
    EXPECT_EQ(sequence->maxSequenceNumber(), 12);
    EXPECT_EQ(f.symbols[2]->positionInSequence(), 12);
    EXPECT_EQ(f.symbols[2]->metadataValueForKey(kVXQSequenceCardKey).toLongLong(), 12);

    // A move from past the end moves the last member; one to past the end goes to the end.
    sequence->moveSymbolAtIndexToIndex(5, 0);
    EXPECT_EQ(f.order(), (QList<int>{2, 0, 1}));
    sequence->moveSymbolAtIndexToIndex(0, 9);
    EXPECT_EQ(f.order(), (QList<int>{0, 1, 2}));

    f.step([&] { sequence->setSequenceKind(1); });
    EXPECT_EQ(f.numbers(), (QStringList{"J", "K", "L"}));
    sequence->setSequenceKind(12);
    EXPECT_EQ(sequence->sequenceKind(), 1);
    f.step([&] { sequence->setAlphabet(QStringLiteral("PQRSTUVWXYZ")); });
    EXPECT_EQ(f.numbers(), (QStringList{"Y", "Z", "PP"}));

    // Offsets are kept clear of the numbers' limit and of the not-found marker.
    sequence->setStartingOffset(std::numeric_limits<qint64>::max());
    EXPECT_EQ(sequence->startingOffset(), VXQSymbolSequence::kMaximumStartingOffset);
    EXPECT_LT(sequence->maxSequenceNumber(), VXQSymbolSequence::kNotFound);
    sequence->setStartingOffset(-7);
    EXPECT_EQ(sequence->startingOffset(), 0);
    sequence->setSequenceKind(0);
    EXPECT_EQ(f.numbers(), (QStringList{"0", "1", "2"}));

    // Without automatic renumbering an offset waits for renumber; kind changes never wait.
    sequence->setAutoRenumbers(false);
    sequence->setStartingOffset(100);
    EXPECT_EQ(f.numbers(), (QStringList{"0", "1", "2"}));
    sequence->setSequenceKind(5);
    EXPECT_EQ(f.numbers(), (QStringList{"64", "65", "66"}));
}

TEST(SymbolSequence, MembershipFollowsTheLayerTheMasterAndTheInspector)
{
    Fixture f(3);
    const VXQSymbolSequencePtr sequence = f.sequence();
    QStringList posted;
    QObject receiver;
    platform::NotificationCenter::defaultCenter().addObserver(
        &receiver, kVXQSymbolSequenceWasRenumberedNotification, sequence.get(),
        [&](const platform::Notification& note) { posted << note.name; });

    // Leaving the layer leaves the sequence; the others close up.
    f.step([&] { f.layer->removeObject(f.symbols[0].get()); });
    EXPECT_EQ(f.order(), (QList<int>{1, 2}));
    EXPECT_EQ(f.numbers(), (QStringList{"1", "2"}));
    EXPECT_EQ(f.symbols[0]->sequence(), nullptr);
    EXPECT_EQ(posted.size(), 1);
    f.undo.undo();
    EXPECT_EQ(f.order(), (QList<int>{0, 1, 2}));
    EXPECT_EQ(f.symbols[0]->sequence(), sequence.get());

    // Another master takes the symbol into its own sequence; undo brings it back in place.
    const VXQSymbolMasterPtr other = sequencetest::squareMaster(true, QStringLiteral("Other"));
    f.step([&] { f.symbols[1]->setMaster(other); });
    const auto otherSequence = layersequences::sequenceForMasterID(*f.layer, other->uniqueKey());
    ASSERT_TRUE(otherSequence);
    EXPECT_EQ(otherSequence->symbols(), (QList<VXQSymbolPtr>{f.symbols[1]}));
    EXPECT_EQ(f.order(), (QList<int>{0, 2}));
    f.undo.undo();
    EXPECT_EQ(f.order(), (QList<int>{0, 1, 2}));
    EXPECT_EQ(otherSequence->count(), 0);

    // The inspector takes a symbol out by setting its sequence to none.
    f.symbols[2]->setValueForKey(QVariant::fromValue<VXQSymbolSequence*>(nullptr), QStringLiteral("sequence"));
    EXPECT_EQ(f.order(), (QList<int>{0, 1}));
    EXPECT_EQ(f.symbols[2]->sequence(), nullptr);
    f.symbols[2]->setSequence(sequence.get());
    EXPECT_EQ(f.order(), (QList<int>{0, 1, 2}));

    // Another layer numbers its own symbols.
    auto second = std::make_shared<VXQMappingLayer>();
    f.drawing->addLayer(second);
    f.step([&] { second->addObject(f.symbols[0]); });
    EXPECT_EQ(f.order(), (QList<int>{1, 2}));
    EXPECT_EQ(f.symbols[0]->sequence(), layersequences::sequenceForMasterID(*second, f.master->uniqueKey()).get());
    EXPECT_EQ(f.symbols[0]->positionInSequence(), 1);

    // Removing the only symbol leaves an empty sequence that does not renumber.
    const auto secondSequence = layersequences::sequenceForMasterID(*second, f.master->uniqueKey());
    QStringList secondPosted;
    platform::NotificationCenter::defaultCenter().addObserver(
        &receiver, kVXQSymbolSequenceWasRenumberedNotification, secondSequence.get(),
        [&](const platform::Notification& note) { secondPosted << note.name; });
    secondSequence->removeSymbolAtIndex(0);
    EXPECT_EQ(secondSequence->count(), 0);
    EXPECT_TRUE(secondPosted.isEmpty());
    EXPECT_THROW(secondSequence->removeSymbolAtIndex(0), platform::AssertionFailure);
    EXPECT_THROW(secondSequence->insertSymbolAtIndex(f.symbols[0], 1), platform::AssertionFailure);
    EXPECT_THROW(secondSequence->addSymbol(nullptr), platform::AssertionFailure);
}

TEST(SymbolSequence, PositionsStayWithinTheSequence)
{
    Fixture f(4);
    const VXQSymbolSequencePtr sequence = f.sequence();
    sequence->setStartingOffset(5);
    f.symbols[3]->setPositionInSequence(-100); // below the offset: to the first place
    EXPECT_EQ(f.order(), (QList<int>{3, 0, 1, 2}));
    f.symbols[3]->setPositionInSequence(std::numeric_limits<qint64>::max()); // past the end: the last
    EXPECT_EQ(f.order(), (QList<int>{0, 1, 2, 3}));
    f.symbols[1]->setValueForKey(7, QStringLiteral("positionInSequence"));
    EXPECT_EQ(f.order(), (QList<int>{0, 2, 1, 3}));

    // A symbol of no sequence, or of an emptied one, moves nothing.
    const VXQSymbolPtr loose = VXQSymbol::symbolWithMaster(f.master);
    loose->setPositionInSequence(6);
    EXPECT_EQ(f.order(), (QList<int>{0, 2, 1, 3}));
    EXPECT_EQ(loose->positionInSequence(), VXQSymbolSequence::kNotFound);
    sequence->setSymbols({});
    sequence->moveSymbolAtIndexToIndex(3, 0);
    EXPECT_EQ(sequence->count(), 0);
}

TEST(SymbolSequence, PriorPositionsRestoreTheOrder)
{
    Fixture f(3);
    const VXQSymbolSequencePtr sequence = f.sequence();
    sequence->setStartingOffset(4);
    for (const VXQSymbolPtr& symbol : f.symbols)
        symbol->notePriorPositionInSequence();
    EXPECT_EQ(f.symbols[2]->priorPositionInSequence(), 6);
    sequence->setSymbols({f.symbols[2], f.symbols[0], f.symbols[1]});
    sequence->restorePriorSequenceOrder();
    EXPECT_EQ(f.order(), (QList<int>{0, 1, 2}));
    EXPECT_EQ(f.numbers(), (QStringList{"4", "5", "6"}));
}

TEST(SymbolSequence, EveryChangeUndoesAndRedoesAsOneStep)
{
    Fixture f(3);
    const VXQSymbolSequencePtr sequence = f.sequence();
    const auto expectRoundTrip = [&](const std::function<void()>& change, const QList<int>& order,
                                     const QStringList& numbers) {
        const QList<int> orderBefore = f.order();
        const QStringList numbersBefore = f.numbers();
        f.step(change);
        EXPECT_EQ(f.order(), order);
        EXPECT_EQ(f.numbers(), numbers);
        f.undo.undo();
        EXPECT_EQ(f.order(), orderBefore);
        EXPECT_EQ(f.numbers(), numbersBefore);
        f.undo.redo();
        EXPECT_EQ(f.order(), order);
        EXPECT_EQ(f.numbers(), numbers);
    };
    const VXQSymbolPtr fourth = VXQSymbol::symbolWithMaster(f.master);
    f.symbols.append(fourth);
    expectRoundTrip([&] { sequence->insertSymbolAtIndex(fourth, 1); }, {0, 3, 1, 2}, {"1", "2", "3", "4"});
    expectRoundTrip([&] { sequence->moveSymbolAtIndexToIndex(3, 0); }, {2, 0, 3, 1}, {"1", "2", "3", "4"});
    expectRoundTrip([&] { sequence->removeSymbol(f.symbols[0].get()); }, {2, 3, 1}, {"1", "2", "3"});
    expectRoundTrip([&] { sequence->setSequenceKind(6); }, {2, 3, 1}, {"one", "two", "three"});
    expectRoundTrip([&] { sequence->setStartingOffset(20); }, {2, 3, 1}, {"twenty", "twenty-one", "twenty-two"});
    expectRoundTrip([&] { sequence->setSymbols({f.symbols[1], f.symbols[2]}); }, {1, 2}, {"twenty", "twenty-one"});
    EXPECT_EQ(f.symbols[3]->sequence(), nullptr);
}

TEST(SymbolSequence, MakeSequenceableNumbersThisLayersSymbolsInStackingOrder)
{
    Fixture f;
    const VXQSymbolMasterPtr plain = sequencetest::squareMaster(false, QStringLiteral("Star"));
    const VXQSymbolPtr a = f.place({10, 10}, plain);
    const VXQSymbolPtr b = f.place({20, 10}, plain);
    const VXQSymbolPtr c = f.place({30, 10}, plain);
    auto elsewhere = std::make_shared<VXQMappingLayer>();
    f.drawing->addLayer(elsewhere);
    const VXQSymbolPtr away = VXQSymbol::symbolWithMaster(plain);
    elsewhere->addObject(away);
    f.forget();

    f.step([&] { b->makeSequencable(); });
    const auto sequence = layersequences::sequenceForMasterID(*f.layer, plain->uniqueKey());
    ASSERT_TRUE(sequence);
    EXPECT_EQ(sequence->symbols(), (QList<VXQSymbolPtr>{a, b, c}));
    EXPECT_EQ(c->metadataValueForKey(kVXQSequenceNumberKey).toString(), "3");
    EXPECT_EQ(away->sequence(), nullptr);
    EXPECT_EQ(f.undo.undoActionName(), "Make Sequenceable");
    EXPECT_EQ(b->makeSequencable(), sequence.get()); // already numbered: nothing more
    EXPECT_EQ(sequence->symbols(), (QList<VXQSymbolPtr>{a, b, c}));

    // Numbers read over a master that is not sequenceable here stay; the master is allowed them again.
    plain->setSequenceable(false);
    platform::MenuItem make(QStringLiteral("Make Sequenceable"), "makeSequencable");
    EXPECT_TRUE(b->validateMenuItem(&make));
    EXPECT_EQ(make.state(), platform::MenuItem::OffState);
    EXPECT_EQ(c->makeSequencable(), sequence.get());
    EXPECT_TRUE(plain->sequenceable());
    EXPECT_EQ(sequence->symbols(), (QList<VXQSymbolPtr>{a, b, c}));
    EXPECT_FALSE(b->validateMenuItem(&make));

    // A locked symbol does not start numbering.
    const VXQSymbolMasterPtr other = sequencetest::squareMaster(false, QStringLiteral("Other"));
    const VXQSymbolPtr locked = f.place({40, 40}, other);
    locked->setLocked(true);
    EXPECT_EQ(locked->makeSequencable(), nullptr);
    EXPECT_FALSE(other->sequenceable());
}

TEST(SymbolSequence, MenuCommandsMoveRenameAndValidate)
{
    Fixture f(3);
    const VXQSymbolSequencePtr sequence = f.sequence();
    platform::MenuItem item(QStringLiteral("Move To Start Of Sequence"), "moveToStartOfSequence");
    EXPECT_TRUE(f.symbols[2]->validateMenuItem(&item));
    EXPECT_FALSE(f.symbols[0]->validateMenuItem(&item));
    f.step([&] { f.symbols[2]->moveToStartOfSequence(&item); });
    EXPECT_EQ(f.order(), (QList<int>{2, 0, 1}));
    EXPECT_EQ(f.undo.undoActionName(), "Move To Start Of Sequence");

    platform::MenuItem forward(QStringLiteral("Move Forward In Sequence"), "moveForwardInSequence");
    f.symbols[2]->moveForwardInSequence(&forward);
    EXPECT_EQ(f.order(), (QList<int>{0, 2, 1}));
    f.symbols[2]->moveToEndOfSequence(&forward);
    EXPECT_EQ(f.order(), (QList<int>{0, 1, 2}));
    EXPECT_FALSE(f.symbols[2]->validateMenuItem(&forward));

    platform::MenuItem roman(QStringLiteral("Roman Numerals"), "setSequenceKindAction");
    roman.setTag(4);
    EXPECT_TRUE(f.symbols[0]->validateMenuItem(&roman));
    EXPECT_EQ(roman.state(), platform::MenuItem::OffState);
    f.step([&] { f.symbols[0]->setSequenceKindAction(&roman); });
    EXPECT_EQ(f.numbers(), (QStringList{"I", "II", "III"}));
    EXPECT_EQ(f.undo.undoActionName(), "Sequence Type");
    f.symbols[0]->validateMenuItem(&roman);
    EXPECT_EQ(roman.state(), platform::MenuItem::OnState);

    platform::MenuItem renumber(QStringLiteral("Renumber"), "renumberSequence");
    EXPECT_FALSE(f.symbols[0]->validateMenuItem(&renumber));
    platform::MenuItem toggle(QStringLiteral("Renumber Automatically"), "toggleAutoRenumbering");
    f.symbols[0]->toggleAutoRenumbering(&toggle);
    EXPECT_FALSE(sequence->autoRenumbers());
    EXPECT_TRUE(f.symbols[0]->validateMenuItem(&renumber));

    f.symbols[1]->setLocked(true);
    EXPECT_FALSE(f.symbols[1]->validateMenuItem(&roman));
    f.symbols[1]->setSequenceKindAction(&item);
    EXPECT_EQ(sequence->sequenceKind(), 4);

    platform::MenuItem make(QStringLiteral("Make Sequenceable"), "makeSequencable");
    EXPECT_FALSE(f.symbols[0]->validateMenuItem(&make));
    EXPECT_EQ(make.state(), platform::MenuItem::OnState);
}

TEST(SymbolSequence, KeyTableRowsCarryNumbersAndInfoBothWays)
{
    Fixture f(3);
    const VXQSymbolSequencePtr sequence = f.sequence();
    f.symbols[1]->setMetadataItemValueForKey(QStringLiteral("Church"), kVXQSequenceInfoKey);
    EXPECT_EQ(sequence->keytableStringForSymbol(f.symbols[0].get()), "1\t");
    EXPECT_EQ(sequence->keytableStringAtIndex(1), "2\tChurch");
    EXPECT_EQ(sequence->keytableString(), "1\t\r2\tChurch\r3\t");
    EXPECT_THROW(sequence->keytableStringForSymbol(nullptr), platform::AssertionFailure);

    QList<QObject*> changed;
    QObject receiver;
    platform::NotificationCenter::defaultCenter().addObserver(
        &receiver, kVXQSymbolInfoWasChangedNotification, sequence.get(),
        [&](const platform::Notification& note) { changed << note.userInfo.value("symbol").value<QObject*>(); });
    testsupport::LogCapture log;
    sequence->setKeytableStringAtIndex(QStringLiteral("12\tChapel\twith tower"), 0);
    sequence->setKeytableStringForSymbol(QStringLiteral("Mill"), f.symbols[2].get());
    EXPECT_EQ(infoOf(f.symbols), (QStringList{"Chapel\twith tower", "Church", "Mill"}));
    EXPECT_EQ(changed, (QList<QObject*>{f.symbols[0].get(), f.symbols[2].get()}));
    EXPECT_TRUE(log.contains("sequence got info change, table string = 1\tChapel\twith tower\r2\tChurch\r3\tMill"));
    EXPECT_THROW(sequence->setKeytableStringForSymbol(QString(), f.symbols[0].get()), platform::AssertionFailure);

    // A symbol outside the sequence changing its info is none of its business.
    const VXQSymbolPtr loose = VXQSymbol::symbolWithMaster(f.master);
    loose->setMetadataItemValueForKey(QStringLiteral("Well"), kVXQSequenceInfoKey);
    EXPECT_EQ(changed.size(), 2);
}

TEST(SymbolSequence, ASymbolWhoseGraphicShowsTheNumberDrawsItsOwn)
{
    // A square whose style writes the sequence number over it.
    const VXStylePtr numbered = VXStyle::styleWithFillColourStrokeColour(Qt::white, {});
    const auto number = VXTextAdornment::textAdornmentWithText(kVXQSequenceNumberPlaceholder);
    number->setFont(QFont(QStringLiteral("Helvetica"), 9));
    numbered->addRenderer(number);
    const auto square = VXDrawableShape::drawableShapeWithRect({-10, -10, 20, 20}, numbered);
    sequencetest::Fixture f;
    f.master = VXQSymbolMaster::symbolMasterWithObjectName(*square, QStringLiteral("Stop"));
    f.master->setSequenceable(true);
    const VXQSymbolPtr first = f.place({50, 50});
    const VXQSymbolPtr second = f.place({100, 50});
    ASSERT_EQ(f.numbers(), (QStringList{QStringLiteral("1"), QStringLiteral("2")}));

    // Make Sequenceable warns only where the graphic has no number field to show.
    const QString noField = QStringLiteral("This symbol shows no number: its graphic has no sequence-number field");
    platform::MenuItem make(QStringLiteral("Make Sequenceable"), "makeSequencable");
    first->validateMenuItem(&make);
    EXPECT_NE(make.toolTip(), noField);
    const VXQSymbolPtr plain = f.place({150, 50}, sequencetest::squareMaster(false, QStringLiteral("Dot")));
    plain->validateMenuItem(&make);
    EXPECT_EQ(make.toolTip(), noField);
    first->validateMenuItem(&make);
    EXPECT_NE(make.toolTip(), noField);

    const QImage one = platform::DrawingRenderer::imageOfObjectWithSize(*first, {40, 40});
    const QImage two = platform::DrawingRenderer::imageOfObjectWithSize(*second, {40, 40});
    EXPECT_NE(one, two);
    f.sequence()->moveSymbolAtIndexToIndex(1, 0);
    EXPECT_EQ(platform::DrawingRenderer::imageOfObjectWithSize(*second, {40, 40}), one);
}
