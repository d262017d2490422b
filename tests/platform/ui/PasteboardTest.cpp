#include "platform/foundation/ClassRegistry.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/ui/Pasteboard.h"
#include "support/LogCapture.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QRegularExpression>
#include <gtest/gtest.h>

using platform::Pasteboard;

namespace {

class PastedLabel : public ZQObject {
    Q_OBJECT
    Q_PROPERTY(QString text MEMBER text)
    Q_PROPERTY(double size MEMBER size)

public:
    QString text;
    double size = 0;

    void encodeWithCoder(platform::KeyedArchiver& coder) const override
    {
        coder.encodeString(text, "text");
        coder.encodeDouble(size, "size");
    }
    void initWithCoder(platform::KeyedUnarchiver& coder) override
    {
        text = coder.decodeString("text");
        size = coder.decodeDouble("size");
    }
};

const QString kLabelType = "com.veltrum.pbtype.textlabel";
const QString kKeyType = "com.veltrum.pbtype.symbolmasterkey";

class PasteboardTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { platform::ClassRegistry::registerClass<PastedLabel>(); }
    void SetUp() override { QApplication::clipboard()->clear(); }
};

} // namespace

TEST(PasteboardTypes, MapToMimeTypesAndBack)
{
    EXPECT_EQ(platform::mimeTypeForPasteboardType(platform::kPasteboardTypeString), "text/plain");
    EXPECT_EQ(platform::mimeTypeForPasteboardType(platform::kPasteboardTypeURL), "text/uri-list");
    EXPECT_EQ(platform::mimeTypeForPasteboardType(platform::kPasteboardTypePDF), "application/pdf");
    EXPECT_EQ(platform::mimeTypeForPasteboardType(kLabelType), "application/x-quorvane.com.veltrum.pbtype.textlabel");
    EXPECT_EQ(platform::mimeTypeForPasteboardType("VXQLIBITEM_PB_TYPE"), "application/x-quorvane.VXQLIBITEM_PB_TYPE");

    // Characters a MIME type cannot hold are escaped, and the mapping still inverts.
    const QString awkward = "my type/with=odd;chars%";
    const QString mime = platform::mimeTypeForPasteboardType(awkward);
    EXPECT_FALSE(mime.mid(12).contains(QRegularExpression("[ /=;]")));
    for (const QString& type : {awkward, kLabelType, platform::kPasteboardTypeHTML, platform::kPasteboardTypeColor})
        EXPECT_EQ(platform::pasteboardTypeForMimeType(platform::mimeTypeForPasteboardType(type)), type);
    EXPECT_EQ(platform::pasteboardTypeForMimeType("application/x-other"), "");
    EXPECT_EQ(platform::pasteboardTypeForMimeType("application/x-quorvane."), "");
}

TEST_F(PasteboardTest, GeneralPasteboardRoundTripsCustomTypesInDeclaredOrder)
{
    Pasteboard board = Pasteboard::generalPasteboard();
    const int before = board.changeCount();
    PastedLabel label;
    label.text = "River Thames";
    label.size = 14.5;

    board.declareTypes({kLabelType, platform::kPasteboardTypeString, kKeyType});
    EXPECT_TRUE(board.setArchivedObjectForType(&label, kLabelType));
    EXPECT_TRUE(board.setStringForType("River Thames", platform::kPasteboardTypeString));
    EXPECT_TRUE(board.setPropertyListForType(QVariantMap{{"key", "A1"}, {"count", 3}}, kKeyType));
    EXPECT_GT(board.changeCount(), before);

    // Another handle on the clipboard reads what this one wrote.
    const Pasteboard reader = Pasteboard::generalPasteboard();
    EXPECT_EQ(reader.types(), (QStringList{kLabelType, platform::kPasteboardTypeString, kKeyType}));
    EXPECT_EQ(reader.availableTypeFromArray({"com.veltrum.pbtype.symbolmaster", kKeyType, kLabelType}), kKeyType);
    const auto pasted = std::dynamic_pointer_cast<PastedLabel>(reader.archivedObjectForType(kLabelType));
    ASSERT_TRUE(pasted);
    EXPECT_EQ(pasted->text, "River Thames");
    EXPECT_EQ(pasted->size, 14.5);
    EXPECT_EQ(reader.stringForType(platform::kPasteboardTypeString), "River Thames");
    EXPECT_EQ(reader.propertyListForType(kKeyType)->toMap().value("count").toLongLong(), 3);
    // Other applications see the plain text.
    EXPECT_EQ(QApplication::clipboard()->text(), "River Thames");

    // Adding types keeps what is there; declaring starts afresh.
    board.addTypes({kLabelType, "VXQ_LIB_ELEMENT_TYPE"});
    EXPECT_EQ(reader.types().size(), 4);
    EXPECT_EQ(reader.stringForType(platform::kPasteboardTypeString), "River Thames");
    board.declareTypes({platform::kPasteboardTypeString});
    EXPECT_EQ(reader.types(), QStringList{platform::kPasteboardTypeString});
    EXPECT_EQ(reader.stringForType(platform::kPasteboardTypeString), "");
}

TEST_F(PasteboardTest, DragDataCarriesColoursImagesAndURLs)
{
    auto* data = new QMimeData;
    Pasteboard drag(data);
    drag.declareTypes({platform::kPasteboardTypeColor});
    EXPECT_TRUE(drag.setColor(QColor(170, 208, 229)));
    QImage swatch(4, 3, QImage::Format_ARGB32);
    swatch.fill(QColor("#333333"));
    EXPECT_TRUE(drag.setImage(swatch));
    EXPECT_TRUE(drag.setURLs({QUrl::fromLocalFile("/tmp/a.qvnl")}));
    EXPECT_FALSE(drag.setColor(QColor()));

    const Pasteboard drop(static_cast<const QMimeData*>(data));
    EXPECT_EQ(drop.color(), QColor(170, 208, 229));
    EXPECT_EQ(drop.image().convertToFormat(QImage::Format_ARGB32), swatch);
    EXPECT_EQ(drop.URLs(), QList<QUrl>{QUrl::fromLocalFile("/tmp/a.qvnl")});
    EXPECT_GE(drop.changeCount(), 4);
    delete data;
    EXPECT_TRUE(drop.types().isEmpty()); // the drag's data has gone
}

TEST_F(PasteboardTest, DamagedDataAnswersNothing)
{
    testsupport::LogCapture log;
    QMimeData data;
    const auto put = [&](const QString& type, const QByteArray& bytes) {
        data.setData(platform::mimeTypeForPasteboardType(type), bytes);
    };
    put(kLabelType, "bplist00 this is not an archive");
    put(kKeyType, "<plist><dict><key>unclosed");
    put(platform::kPasteboardTypeString, QByteArray("caf\xC3", 4));
    put(platform::kPasteboardTypePNG, "\x89PNG\r\n\x1a\n truncated");
    data.setData("application/x-color", "not a colour");
    const Pasteboard board(static_cast<const QMimeData*>(&data));

    EXPECT_EQ(board.archivedObjectForType(kLabelType), nullptr);
    EXPECT_FALSE(board.propertyListForType(kKeyType).has_value());
    EXPECT_TRUE(board.stringForType(platform::kPasteboardTypeString).isNull()); // cut off mid-character
    put(platform::kPasteboardTypeHTML, "<b>\xFF</b>");
    EXPECT_TRUE(board.stringForType(platform::kPasteboardTypeHTML).isNull());
    EXPECT_TRUE(board.image().isNull());
    EXPECT_FALSE(board.color().isValid());
    EXPECT_TRUE(log.contains(kLabelType));
    // Absent types read as nothing, too.
    EXPECT_TRUE(board.dataForType("com.veltrum.private.slice").isEmpty());
    EXPECT_EQ(board.availableTypeFromArray({"com.veltrum.private.slice"}), "");

    // An archive of an unregistered class is refused like damage.
    PastedLabel label;
    QByteArray archive = platform::KeyedArchiver::archivedDataWithRootObject(&label);
    archive.replace("PastedLabel", "PastedLabeX");
    put(kLabelType, archive);
    EXPECT_EQ(board.archivedObjectForType(kLabelType), nullptr);
}

#include "PasteboardTest.moc"
