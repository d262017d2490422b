// Attributes: item types and conversions, the container's undo and notifications, look-ups
// through key-value coding and containers, the pasteboard and archives.

#include "platform/vantrix/DrawingTestSupport.h"

#include "platform/vantrix/drawables/VXShapeGroup.h"
#include "platform/vantrix/model/VXMetadataItem.h"
#include "platform/vantrix/settings/VXDrawingPreferences.h"
#include "support/ArchiveTesting.h"
#include "support/PreferencesScope.h"

#include <QMimeData>

using namespace drawingtest;

TEST(MetadataItem, TypesConvertBothWaysAndItemsTravelOnThePasteboard)
{
    auto item = VXMetadataItem::metadataItemWithValue(QStringLiteral(" 42.7 "));
    EXPECT_EQ(item->type(), kVXMetadataTypeString);
    item->setType(kVXMetadataTypeInteger);
    EXPECT_EQ(item->value(), QVariant(qint64(42)));
    item->setType(kVXMetadataTypeReal);
    EXPECT_DOUBLE_EQ(item->realValue(), 42.0);
    item->setType(kVXMetadataTypeBoolean);
    EXPECT_EQ(item->value(), QVariant(true));
    item->setType(kVXMetadataTypeString);
    EXPECT_EQ(item->stringValue(), QStringLiteral("YES"));

    EXPECT_EQ(VXMetadataItem::metadataItemWithValue(QColor(255, 0, 0))->stringValue(), QStringLiteral("#FF0000"));
    EXPECT_EQ(VXMetadataItem::metadataItemWithTypeValue(kVXMetadataTypeColour, QStringLiteral("#00ff00"))->colourValue(),
              QColor(0, 255, 0));
    EXPECT_EQ(VXMetadataItem::metadataItemWithTypeValue(kVXMetadataTypeUnsignedInteger, -5)->intValue(), 0);
    EXPECT_EQ(VXMetadataItem::metadataItemWithTypeValue(kVXMetadataTypeInteger, QStringLiteral("abc"))->intValue(), 0);
    EXPECT_EQ(VXMetadataItem::metadataItemWithTypeValue(kVXMetadataTypeInteger, 1e300)->intValue(), 0);
    const QDateTime date(QDate(2020, 2, 29), QTime(12, 0), Qt::UTC);
    EXPECT_EQ(VXMetadataItem::metadataItemWithTypeValue(kVXMetadataTypeDate, date.toString(Qt::ISODate))->value(),
              QVariant(date));
    EXPECT_EQ(VXMetadataItem::metadataItemWithTypeValue(77, 5)->type(), kVXMetadataTypeString); // unknown code
    EXPECT_EQ(VXMetadataItem::metadataItemWithValue(QUrl(QStringLiteral("https://example.org")))->type(),
              kVXMetadataTypeURL);

    QMimeData mime;
    VXMetadataItem::writeMetadataItemsForKeysToPasteboard(
        {VXMetadataItem::metadataItemWithValue(2.5), VXMetadataItem::metadataItemWithValue(QColor(Qt::blue))},
        {QStringLiteral("Depth"), QStringLiteral("colour")}, &mime);
    const auto items = VXMetadataItem::metadataItemsWithPasteboard(&mime);
    ASSERT_EQ(items.size(), 2);
    EXPECT_DOUBLE_EQ(items.value(QStringLiteral("depth"))->realValue(), 2.5);
    EXPECT_EQ(items.value(QStringLiteral("colour"))->colourValue(), QColor(Qt::blue));

    QMimeData damaged;
    damaged.setData(VXMultipleMetadataItemsPBoardType, QByteArray("bplist00garbage"));
    EXPECT_TRUE(VXMetadataItem::metadataItemsWithPasteboard(&damaged).isEmpty());
}

TEST(Metadata, ChangesNotifyUndoAndUseLowerCaseKeys)
{
    Fixture f;
    auto shape = VXDrawableShape::drawableShapeWithRect(QRectF(0, 0, 10, 10), nullptr);
    f.layer->addObject(shape);
    f.endStep();
    NotificationRecorder changes(kVXMetadataDidChangeNotification, shape.get());

    shape->setMetadataItemValueForKey(QStringLiteral("Main Street"), QStringLiteral("Name"));
    f.endStep();
    shape->setMetadataItemValueForKey(12, QStringLiteral("LANES"));
    shape->setMetadataItemTypeForKey(kVXMetadataTypeReal, QStringLiteral("lanes"));
    f.endStep();
    EXPECT_EQ(shape->metadataKeys(), (QStringList{"lanes", "name"}));
    EXPECT_EQ(shape->metadataItemForKey(QStringLiteral("Lanes"))->type(), kVXMetadataTypeReal);
    ASSERT_EQ(changes.received.size(), 3);
    EXPECT_EQ(changes.received[0].userInfo.value(QStringLiteral("key")).toString(), QStringLiteral("name"));

    // An item handed out is a copy: editing it changes nothing.
    shape->metadataItemForKey(QStringLiteral("name"))->setValue(QStringLiteral("Elsewhere"));
    EXPECT_EQ(shape->metadataObjectForKey(QStringLiteral("NAME")), QVariant(QStringLiteral("Main Street")));

    const quint32 before = shape->metadataChecksum();
    shape->removeMetadataForKey(QStringLiteral("Name"));
    EXPECT_NE(shape->metadataChecksum(), before);
    f.endStep();
    f.undo->undo();
    EXPECT_EQ(shape->metadataChecksum(), before);
    f.undo->undo();
    EXPECT_EQ(shape->metadataKeys(), QStringList{"name"});
    f.undo->redo();
    EXPECT_DOUBLE_EQ(shape->metadataItemForKey(QStringLiteral("lanes"))->realValue(), 12.0);

    {
        const testsupport::PreferencesScope undoable(&VXDrawingPreferences::metadataChangesAreUndoable, false);
        shape->setMetadataItemValueForKey(1, QStringLiteral("width"));
        f.endStep();
    }
    EXPECT_EQ(f.undo->numberOfRedoActions(), 1); // nothing registered: the redo stack survived
}

TEST(Metadata, KeyValueCodingFallsBackToAttributesThenContainers)
{
    Fixture f;
    auto shape = VXDrawableShape::drawableShapeWithRect(QRectF(0, 0, 10, 10), nullptr);
    auto group = VXShapeGroup::groupWithObjects({shape});
    f.layer->addObject(group);
    group->setMetadataItemValueForKey(QStringLiteral("forest"), QStringLiteral("landuse"));
    f.layer->setMetadataItemValueForKey(QStringLiteral("Survey 1998"), QStringLiteral("source"));
    shape->setValueForKey(3, QStringLiteral("RANK")); // an unknown key becomes an attribute

    EXPECT_EQ(shape->valueForKey(QStringLiteral("rank")), QVariant(qint64(3)));
    EXPECT_EQ(shape->valueForKey(QStringLiteral("LANDUSE")), QVariant(QStringLiteral("forest"))); // the group's
    EXPECT_EQ(shape->valueForKeyPath(QStringLiteral("source")), QVariant(QStringLiteral("Survey 1998")));
    EXPECT_TRUE(platform::isNull(shape->valueForKey(QStringLiteral("missing"))));
    EXPECT_EQ(shape->valueForKeyPath(QStringLiteral("style.name")), QVariant()); // no style: null link
}

TEST(Metadata, EveryTypeOfAttributeComesBackFromAnArchive)
{
    // Attributes are archived as a dictionary of items but written and read without making
    // the items: every type must come back with its type and value.
    auto shape = VXDrawableShape::drawableShapeWithRect(QRectF(0, 0, 10, 10), nullptr);
    const QDateTime date(QDate(2021, 3, 14), QTime(9, 26, 53), Qt::UTC);
    shape->setMetadataItemValueForKey(QStringLiteral("Harbour Road"), QStringLiteral("Name"));
    shape->setMetadataItemValueForKey(qint64(-42), QStringLiteral("count"));
    shape->setMetadataItemValueForKey(12.25, QStringLiteral("depth"));
    shape->setMetadataItemValueForKey(true, QStringLiteral("paved"));
    shape->setMetadataItemValueForKey(QUrl(QStringLiteral("https://example.org/a b")), QStringLiteral("link"));
    shape->setMetadataItemValueForKey(date, QStringLiteral("surveyed"));
    shape->setMetadataItemValueForKey(QColor(10, 20, 30), QStringLiteral("colour"));
    shape->setMetadataItemTypeForKey(kVXMetadataTypeUnsignedInteger, QStringLiteral("count"));
    ASSERT_EQ(shape->metadataValues().size(), 7);

    const auto copy = testsupport::roundTrip<VXDrawableShape>(*shape);
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->metadataKeys(), shape->metadataKeys());
    for (const QString& key : shape->metadataKeys()) {
        EXPECT_EQ(copy->metadataValues().value(key).type, shape->metadataValues().value(key).type) << key.toStdString();
        EXPECT_EQ(copy->metadataValues().value(key).value, shape->metadataValues().value(key).value) << key.toStdString();
    }
    EXPECT_EQ(copy->metadataChecksum(), shape->metadataChecksum());
    EXPECT_EQ(copy->metadataSearchText(), shape->metadataSearchText());
}
