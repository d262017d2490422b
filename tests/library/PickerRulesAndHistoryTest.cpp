#include "LibraryTesting.h"

#include "library/picker/LibraryPickerHistory.h"
#include "library/picker/LibraryPickerRules.h"

using namespace librarypicker;

namespace {

VXQLibraryItemPtr itemNamed(const QString& name, qint64 classCode)
{
    auto item = std::make_shared<VXQLibraryItem>();
    item->initWithNameLibrary(name, nullptr);
    item->setClassCode(classCode);
    return item;
}

// Entries for the buffers alone: the history never resolves them unless it validates.
LibraryPickerHistory::Entry entry(int n)
{
    return VXQLibraryPickerHistoryItem::itemWithCategoryIdentItemId(QStringLiteral("MY LIBRARY.Base.Roads"),
                                                                     QStringLiteral("key-%1").arg(n));
}

QStringList keysOf(const QList<LibraryPickerHistory::Entry>& entries)
{
    QStringList keys;
    for (const auto& each : entries)
        keys.append(each->item());
    return keys;
}

// A history whose restore records what it shows, as the palette does.
struct RecordingHistory {
    LibraryPickerHistory history;
    QStringList restored;
    RecordingHistory()
    {
        history.setRestore([this](const LibraryPickerHistory::Entry& shown) {
            restored.append(shown->item());
            history.record(shown);
        });
    }
};

} // namespace

TEST(LibraryPickerRules, FilterIsKindAndNameTakenLiterally)
{
    const auto road = itemNamed(QStringLiteral("Main Road"), StyleKind);
    const auto roadSymbol = itemNamed(QStringLiteral("Road sign"), SymbolKind);
    const auto odd = itemNamed(QStringLiteral("50% \"grey\" *?"), StyleKind);

    EXPECT_EQ(filterPredicate(AnyKind, {}, 0), nullptr);
    const auto symbolsOnly = filterPredicate(SymbolKind, {}, 0);
    ASSERT_TRUE(symbolsOnly);
    EXPECT_FALSE(symbolsOnly->evaluateWithObject(*road));
    EXPECT_TRUE(symbolsOnly->evaluateWithObject(*roadSymbol));

    // Kind AND name: "road" in begins-with mode, styles only.
    const auto both = filterPredicate(StyleKind, QStringLiteral("ROAD"), 1);
    EXPECT_FALSE(both->evaluateWithObject(*road)); // "Main Road" does not begin with it
    EXPECT_FALSE(both->evaluateWithObject(*roadSymbol));
    EXPECT_TRUE(filterPredicate(StyleKind, QStringLiteral("main"), 1)->evaluateWithObject(*road));

    // Quotes, "%", "*" and "?" are plain characters in every mode but the wildcard one.
    for (const QString& text : {QStringLiteral("\"grey\""), QStringLiteral("50%"), QStringLiteral("*?")})
        EXPECT_TRUE(filterPredicate(AnyKind, text, 0)->evaluateWithObject(*odd)) << qPrintable(text);
    EXPECT_FALSE(filterPredicate(AnyKind, QStringLiteral("*"), 0)->evaluateWithObject(*road));
    EXPECT_TRUE(filterPredicate(AnyKind, QStringLiteral("*road"), 2)->evaluateWithObject(*road));
}

TEST(LibraryPickerRules, ToolKindsDisableOrHideWhatTheToolCannotTake)
{
    const JXIndexSet styles{0, 2};
    const JXIndexSet symbols{1};
    // Without hiding: 0 everything (the empty set), 1 the symbols, 2 the styles, others nothing.
    EXPECT_EQ(matchItemsToToolKind(0, false, styles, symbols).disabledItems, JXIndexSet());
    EXPECT_EQ(matchItemsToToolKind(1, false, styles, symbols).disabledItems, symbols);
    EXPECT_EQ(matchItemsToToolKind(2, false, styles, symbols).disabledItems, styles);
    EXPECT_EQ(matchItemsToToolKind(32767, false, styles, symbols).disabledItems, std::nullopt);
    for (int kind : {0, 1, 2, 32767})
        EXPECT_EQ(matchItemsToToolKind(kind, false, styles, symbols).filterKind, std::nullopt);
    // Nothing to disable disables nothing (an empty set would mean everything).
    EXPECT_EQ(matchItemsToToolKind(1, false, styles, {}).disabledItems, std::nullopt);

    // With hiding the filter takes the kind instead.
    EXPECT_EQ(matchItemsToToolKind(2, true, styles, symbols).filterKind, 2);
    EXPECT_EQ(matchItemsToToolKind(2, true, styles, symbols).disabledItems, std::nullopt);
    EXPECT_EQ(matchItemsToToolKind(32767, true, styles, symbols).filterKind, 0);
    EXPECT_EQ(matchItemsToToolKind(0, true, styles, symbols).filterKind, 0);
    EXPECT_EQ(matchItemsToToolKind(0, true, styles, symbols).disabledItems, JXIndexSet());
}

TEST(LibraryPickerRules, HeightSnapsToWholeRowsAndNeverDividesByZero)
{
    // rows = max(1, round((h - 24) / row)); content = rows * row + 24 + fixed.
    EXPECT_DOUBLE_EQ(*snappedContentHeight(24 + 3 * 80 + 30, 80, 1), 3 * 80 + 24 + 1);
    EXPECT_DOUBLE_EQ(*snappedContentHeight(24 + 3 * 80 + 50, 80, 1), 4 * 80 + 24 + 1);
    EXPECT_DOUBLE_EQ(*snappedContentHeight(10, 80, 1), 80 + 24 + 1);
    EXPECT_DOUBLE_EQ(*snappedContentHeight(-500, 80, 0), 80 + 24);
    // Before the browser's first layout the row height may be 0: nothing is snapped.
    EXPECT_EQ(snappedContentHeight(300, 0, 1), std::nullopt);
    EXPECT_EQ(snappedContentHeight(300, -4, 1), std::nullopt);
    EXPECT_EQ(snappedContentHeight(300, std::nan(""), 1), std::nullopt);
}

TEST(LibraryPickerRules, PathBarKeepsDotsOfNamesAndEscapes)
{
    const QString identifier = identifierForItem(QStringLiteral("MY LIBRARY.Base.Roads"), QStringLiteral("Rd. 2/3"));
    EXPECT_EQ(identifier, QStringLiteral("MY LIBRARY.Base.Roads.Rd#$# 2/3"));
    const QString path = pathBarStringForIdentifier(identifier);
    EXPECT_EQ(path, QStringLiteral("/MY%20LIBRARY/Base/Roads/Rd.%202%7C3"));
    EXPECT_EQ(pathBarComponents(path),
              (QStringList{QStringLiteral("MY LIBRARY"), QStringLiteral("Base"), QStringLiteral("Roads"), QStringLiteral("Rd. 2|3")}));
    EXPECT_EQ(pathBarComponents(pathBarStringForIdentifier(QStringLiteral("MY LIBRARY.Bäse"))),
              (QStringList{QStringLiteral("MY LIBRARY"), QStringLiteral("Bäse")}));
    EXPECT_TRUE(pathBarStringForIdentifier({}).isEmpty());
    EXPECT_EQ(identifierForItem(QStringLiteral("G.L"), {}), QStringLiteral("G.L"));
}

TEST(LibraryPickerRules, StoredPlacementThatDoesNotReadOrLiesOffScreenIsRefused)
{
    EXPECT_EQ(pointFromString(pointString(QPoint(-20, 340))), QPoint(-20, 340));
    for (const QString& bad : {QString(), QStringLiteral("{1}"), QStringLiteral("{a, 2}"), QStringLiteral("1, 2")})
        EXPECT_EQ(pointFromString(bad), std::nullopt) << qPrintable(bad);
    const QRect frame(100, 50, 300, 420);
    EXPECT_EQ(frameFromString(frameString(frame)), frame);
    for (const QString& bad : {QStringLiteral("1 2 3"), QStringLiteral("1 2 0 5"), QStringLiteral("1 2 x 5")})
        EXPECT_EQ(frameFromString(bad), std::nullopt) << qPrintable(bad);

    const QList<QRect> screens{QRect(0, 0, 1280, 800), QRect(1280, 0, 1024, 768)};
    EXPECT_EQ(frameKeptOnScreens(QRect(5000, 5000, 300, 400), screens), std::nullopt);
    EXPECT_EQ(frameKeptOnScreens(frame, screens), frame);
    // Hanging over the right edge of the second screen: moved back onto it.
    EXPECT_EQ(frameKeptOnScreens(QRect(2200, 700, 300, 400), screens), QRect(2004, 368, 300, 400));
    // Taller than the screen it meets: shrunk to it.
    EXPECT_EQ(frameKeptOnScreens(QRect(10, -100, 300, 2000), screens), QRect(10, 0, 300, 800));
}

TEST_F(LibraryTest, PickerHistoryKeepsTheTwentyMostRecentChoicesOnce)
{
    RecordingHistory h;
    for (int n = 1; n <= 25; ++n)
        h.history.record(entry(n));
    ASSERT_EQ(h.history.backBuffer().size(), 20);
    EXPECT_EQ(h.history.backBuffer().first()->item(), QStringLiteral("key-6"));
    EXPECT_EQ(h.history.backBuffer().last()->item(), QStringLiteral("key-25"));
    // The same place twice is one entry; a null choice adds nothing.
    h.history.record(entry(25));
    h.history.record(nullptr);
    EXPECT_EQ(h.history.backBuffer().size(), 20);
    // No limit with 0.
    h.history.setMaximumLength(0);
    for (int n = 26; n <= 40; ++n)
        h.history.record(entry(n));
    EXPECT_EQ(h.history.backBuffer().size(), 35);
}

TEST_F(LibraryTest, PickerHistoryBackForwardAndJumpsMoveEntriesBetweenTheBuffers)
{
    RecordingHistory h;
    EXPECT_FALSE(h.history.goBack());
    h.history.record(entry(1));
    EXPECT_FALSE(h.history.canGoBack()); // one entry is only the present place
    for (int n = 2; n <= 5; ++n)
        h.history.record(entry(n));

    // Back twice, then a new choice empties the forward buffer.
    EXPECT_TRUE(h.history.goBack());
    EXPECT_TRUE(h.history.goBack());
    EXPECT_EQ(h.restored, (QStringList{QStringLiteral("key-4"), QStringLiteral("key-3")}));
    EXPECT_EQ(keysOf(h.history.forwardBuffer()), (QStringList{QStringLiteral("key-5"), QStringLiteral("key-4")}));
    EXPECT_EQ(keysOf(h.history.backBuffer()), (QStringList{QStringLiteral("key-1"), QStringLiteral("key-2"), QStringLiteral("key-3")}));
    h.history.record(entry(6));
    EXPECT_TRUE(h.history.forwardBuffer().isEmpty());
    EXPECT_EQ(h.history.state(), LibraryPickerHistory::Idle);

    // Jump back to the third most recent (key-2 of 1, 2, 3, 6): two entries go forward, the
    // nearest last, so one step forward returns to the second most recent.
    const auto third = LibraryPickerHistory::menuOrder(h.history.backBuffer())[2];
    ASSERT_EQ(third->item(), QStringLiteral("key-2"));
    EXPECT_TRUE(h.history.goToEntry(third));
    EXPECT_EQ(keysOf(h.history.forwardBuffer()), (QStringList{QStringLiteral("key-6"), QStringLiteral("key-3")}));
    EXPECT_EQ(h.history.backBuffer().last(), third);
    EXPECT_TRUE(h.history.goForward());
    EXPECT_EQ(h.history.backBuffer().last()->item(), QStringLiteral("key-3"));
    EXPECT_EQ(keysOf(h.history.forwardBuffer()), QStringList{QStringLiteral("key-6")});

    // Jumping forward to the farthest entry takes it and those before it back.
    const auto farthest = h.history.forwardBuffer().first();
    EXPECT_TRUE(h.history.goToEntry(farthest));
    EXPECT_TRUE(h.history.forwardBuffer().isEmpty());
    EXPECT_EQ(h.history.backBuffer().last(), farthest);
    // The present place and strangers change nothing.
    EXPECT_FALSE(h.history.goToEntry(h.history.backBuffer().last()));
    EXPECT_FALSE(h.history.goToEntry(entry(99)));

    // Clearing keeps only the present place.
    h.history.clear(entry(7));
    EXPECT_EQ(keysOf(h.history.backBuffer()), QStringList{QStringLiteral("key-7")});
    EXPECT_FALSE(h.history.canClear());
}

TEST_F(LibraryTest, PickerHistoryIgnoresMovesWhileAnotherIsUnderWay)
{
    LibraryPickerHistory history;
    int nested = 0;
    history.setRestore([&](const LibraryPickerHistory::Entry&) {
        // A restore that tries to move again (a menu chosen meanwhile) is refused.
        nested += history.goBack() + history.goForward() + history.goToEntry(history.backBuffer().first());
    });
    for (int n = 1; n <= 4; ++n)
        history.record(entry(n));
    EXPECT_TRUE(history.goBack());
    EXPECT_EQ(nested, 0);
    EXPECT_EQ(history.state(), LibraryPickerHistory::Idle);
}

TEST_F(LibraryTest, PickerHistoryEntriesShowTheirPlaceAndGoWhenItDoes)
{
    VXQLibraryPtr library = makeLibrary(QStringLiteral("Base"));
    auto* roads = library->addCategoryWithName(QStringLiteral("Roads"));
    ASSERT_TRUE(roads);
    const VXQLibraryItemPtr main = makeStyleItem(QStringLiteral("Main Road"));
    library->addItem(main);
    roads->addItem(main);

    const auto present = VXQLibraryPickerHistoryItem::itemWithCategoryIdentItemId(roads->identifier(), main->uniqueKey());
    EXPECT_EQ(present->displayString(), QStringLiteral("Base•Roads•Main Road"));
    EXPECT_TRUE(present->isValid());
    EXPECT_FALSE(present->menuIcon().isNull());
    const auto gone = VXQLibraryPickerHistoryItem::itemWithCategoryIdentItemId(QStringLiteral("MY LIBRARY.Nowhere.X"),
                                                                             main->uniqueKey());
    EXPECT_TRUE(gone->displayString().isEmpty());
    EXPECT_FALSE(gone->isValid());
    EXPECT_TRUE(gone->menuIcon().isNull());

    LibraryPickerHistory history;
    history.record(present);
    history.record(gone);
    history.record(VXQLibraryPickerHistoryItem::itemWithCategoryIdentItemId(roads->identifier(), main->uniqueKey()));
    EXPECT_EQ(history.backBuffer().size(), 3);
    EXPECT_TRUE(history.validate());
    EXPECT_EQ(history.backBuffer().size(), 2);

    // Once the item has left the library no entry of it is valid.
    library->removeItem(main.get());
    EXPECT_FALSE(present->isValid());
    history.validate();
    EXPECT_TRUE(history.backBuffer().isEmpty());
}
