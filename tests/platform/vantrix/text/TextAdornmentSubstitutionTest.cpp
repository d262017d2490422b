#include "platform/vantrix/text/TextTestSupport.h"

#include "platform/foundation/Markers.h"
#include "platform/vantrix/text/AbbreviationTable.h"
#include "platform/vantrix/text/TextSubstitution.h"
#include "platform/vantrix/text/VXTextAdornment.h"

using platform::AttributedString;
using styletest::PathRenderable;
using texttest::MetadataRenderable;

namespace {

const PathRenderable kBox = PathRenderable::rectangle(QRectF(0, 0, 200, 50));

QString drawn(const VXTextAdornment& adornment, const QVariantMap& metadata)
{
    return adornment.textToDraw(MetadataRenderable(kBox, metadata)).string();
}

// Installs a table for one test and takes it away again.
class AbbreviationScope {
public:
    explicit AbbreviationScope(const platform::AbbreviationTable& table) { VXTextAdornment::setAbbreviationTable(table); }
    ~AbbreviationScope() { VXTextAdornment::setAbbreviationTable({}); }
};

// Asks the adornment for its own text while the adornment resolves it.
class SelfReferringRenderable : public PathRenderable {
public:
    explicit SelfReferringRenderable(const VXTextAdornment& adornment) : PathRenderable(kBox), m_adornment(adornment) {}
    QVariant metadataObjectForKey(const QString& key) const override
    {
        if (key == QLatin1String("search"))
            return m_adornment.searchableStringForObject(*this);
        return m_adornment.textToDraw(*this).string();
    }

private:
    const VXTextAdornment& m_adornment;
};

} // namespace

TEST(TextSubstitution, PlaceholdersTakeTheObjectsMetadataAsItReadsOnAMap)
{
    const auto adornment = VXTextAdornment::textAdornmentWithText(QStringLiteral("%%name on %%ROUTE_NUM, %%name again"));
    EXPECT_EQ(drawn(*adornment, {{"name", "Elm Street"}, {"route_num", 42}}), "Elm Street on 42, Elm Street again");
    // Unknown, null and empty values stand for nothing; the text around them stays.
    EXPECT_EQ(drawn(*adornment, {{"name", platform::nullValue()}}), " on ,  again");
    // "%%" without a key after it is literal text.
    adornment->setString(QStringLiteral("100%% of %%%name%%"));
    EXPECT_EQ(drawn(*adornment, {{"name", "x"}}), "100%% of %x%%");

    const std::pair<QVariant, const char*> values[] = {
        {3.0, "3"}, {2.5, "2.5"}, {0.1, "0.1"}, {qint64(1234567), "1234567"},
        {QVariantList{1, "B", 2.25}, "1, B, 2.25"}, {QVariant(), ""}, {platform::nullValue(), ""}};
    for (const auto& [value, text] : values)
        EXPECT_EQ(platform::textForValue(value), text) << text;

    // The replacement keeps the attributes of the placeholder.
    AttributedString label(QStringLiteral("on %%name!"));
    label.addAttributeValueRange(platform::kUnderlineStyleAttributeName, 1, {3, 6});
    const AttributedString result = platform::substitutedText(
        label, [](const QString&) { return QVariant(QStringLiteral("Main Road")); });
    ASSERT_EQ(result.string(), "on Main Road!");
    platform::TextRange run;
    EXPECT_EQ(result.attributeAtIndexEffectiveRange(platform::kUnderlineStyleAttributeName, 3, &run), 1);
    EXPECT_EQ(run, (platform::TextRange{3, 9}));
    EXPECT_FALSE(result.attributeAtIndexEffectiveRange(platform::kUnderlineStyleAttributeName, 12).isValid());
}

TEST(TextSubstitution, PlaceholderTextStandsInForBlankResults)
{
    const auto adornment = VXTextAdornment::textAdornmentWithText(QStringLiteral("%%name"));
    adornment->setPlaceholder(QStringLiteral("Label"));
    EXPECT_EQ(drawn(*adornment, {{"name", "Ash Lane"}}), "Ash Lane");
    EXPECT_EQ(drawn(*adornment, {}), "Label");
    EXPECT_EQ(drawn(*adornment, {{"name", "   "}}), "Label");
    // The placeholder is not content: searching finds nothing.
    EXPECT_EQ(adornment->searchableStringForObject(MetadataRenderable(kBox)), "");
    EXPECT_EQ(adornment->searchableStringForObject(MetadataRenderable(kBox, {{"name", "Ash Lane"}})), "Ash Lane");

    adornment->setPlaceholder(QString());
    EXPECT_TRUE(adornment->textToDraw(MetadataRenderable(kBox)).isEmpty());
    EXPECT_TRUE(adornment->isValid()); // it has a label, even if this object fills it with nothing
    EXPECT_FALSE(VXTextAdornment().isValid());
}

TEST(TextSubstitution, AbbreviationsApplyToWholeWordsOfSubstitutedValuesWhenAsked)
{
    const auto adornment = VXTextAdornment::textAdornmentWithText(QStringLiteral("North Road: %%name"));
    adornment->setAbbreviates(true);
    const QVariantMap metadata{{"name", "Mount Pleasant Avenue North"}};
    // Without an installed table abbreviating changes nothing.
    EXPECT_EQ(drawn(*adornment, metadata), "North Road: Mount Pleasant Avenue North");
    const AbbreviationScope scope(platform::AbbreviationTable::cartographicTable());
    // Typed text is left alone; only the object's value is shortened, following its case.
    EXPECT_EQ(drawn(*adornment, metadata), "North Road: Mt Pleasant Ave N");
    EXPECT_EQ(drawn(*adornment, {{"name", "MAIN STREET"}}), "North Road: MAIN ST");
    EXPECT_EQ(drawn(*adornment, {{"name", "main street, roadside"}}), "North Road: main st, roadside");
    adornment->setAbbreviates(false);
    EXPECT_EQ(drawn(*adornment, metadata), "North Road: Mount Pleasant Avenue North");

    platform::AbbreviationTable table = platform::AbbreviationTable::cartographicTable();
    EXPECT_EQ(table.abbreviatedString(QStringLiteral("Streetwise Street")), "Streetwise St");
    EXPECT_EQ(table.abbreviatedString(QStringLiteral("Road-side Road.")), "Rd-side Rd.");
    table.setAbbreviationForWord(QStringLiteral("Bch"), QStringLiteral("beach"));
    EXPECT_EQ(table.abbreviatedString(QStringLiteral("Long Beach")), "Long Bch");
    table.setAbbreviationForWord(QString(), QStringLiteral("Road"));
    EXPECT_EQ(table.abbreviatedString(QStringLiteral("Long Road")), "Long Road");
}

TEST(TextSubstitution, CapitalizationChangesTheDrawnTextOnlyAndKeepsItsRuns)
{
    const auto adornment = VXTextAdornment::textAdornmentWithText(QStringLiteral("the o'neill %%name"));
    const QVariantMap metadata{{"name", "straße"}};
    const QStringList expected{"the o'neill straße", "THE O'NEILL STRASSE", "the o'neill straße", "The O'neill Straße"};
    for (int mode = VXTextAdornment::kCapitalizationNone; mode <= VXTextAdornment::kCapitalizationTitle; ++mode) {
        adornment->setCapitalization(mode);
        EXPECT_EQ(drawn(*adornment, metadata), expected[mode]) << mode;
    }
    adornment->setCapitalization(7);
    EXPECT_EQ(adornment->capitalization(), VXTextAdornment::kCapitalizationTitle);
    EXPECT_EQ(adornment->string(), "the o'neill %%name");

    // Upper case keeps the runs where letters change length.
    AttributedString label(QStringLiteral("ßa"));
    label.addAttributeValueRange(platform::kUnderlineStyleAttributeName, 1, {1, 1});
    const AttributedString upper = platform::capitalizedText(label, platform::TextCapitalization::Upper);
    ASSERT_EQ(upper.string(), "SSA");
    EXPECT_FALSE(upper.attributeAtIndexEffectiveRange(platform::kUnderlineStyleAttributeName, 1).isValid());
    EXPECT_EQ(upper.attributeAtIndexEffectiveRange(platform::kUnderlineStyleAttributeName, 2), 1);
}

TEST(TextSubstitution, LookupsThatDrawTheSameTextDoNotRecurse)
{
    const auto adornment = VXTextAdornment::textAdornmentWithText(QStringLiteral("[%%self]"));
    const SelfReferringRenderable object(*adornment);
    // The nested lookup fills nothing in, so the outer one gets "[]".
    EXPECT_EQ(adornment->textToDraw(object).string(), "[[]]");
    adornment->setString(QStringLiteral("<%%search>"));
    EXPECT_EQ(adornment->searchableStringForObject(object), "<>");
    EXPECT_TRUE(platform::textContainsPlaceholderForKey(QStringLiteral("No. %%qvnl_sequence_NUMBER"),
                                                        QStringLiteral("QVNL_SEQUENCE_NUMBER")));
    EXPECT_FALSE(platform::textContainsPlaceholderForKey(QStringLiteral("%%name2"), QStringLiteral("name")));
}
