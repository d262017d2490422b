#include "symbols/placed/SymbolLabelDefaults.h"

#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/graphics/FontUtilities.h"
#include "platform/graphics/ParagraphStyle.h"
#include "platform/vantrix/text/TextAttributeCoding.h"
#include "symbols/labels/VXQTextLabel.h"

#include <QColor>

namespace {

const QString kArchivedAttributesKey = QStringLiteral("attributes");

} // namespace

QVariantMap SymbolLabelDefaults::attributes()
{
    const QByteArray stored = platform::UserDefaults::standardUserDefaults()->dataForKey(kVXQSymbolLabelDefaultAttributes);
    if (!stored.isEmpty()) {
        platform::KeyedUnarchiver reader(stored);
        const platform::TextAttributes attributes =
            reader.isValid() ? platform::textAttributesFromArchive(reader.decodeValue(kArchivedAttributesKey)) : platform::TextAttributes();
        if (!attributes.isEmpty())
            return attributes;
    }
    const QVariantMap made = builtInAttributes();
    setAttributes(made);
    return made;
}

void SymbolLabelDefaults::setAttributes(const QVariantMap& attributes)
{
    platform::KeyedArchiver writer;
    writer.encodeObject(QVariant(platform::archivedTextAttributes(attributes)), kArchivedAttributesKey);
    platform::UserDefaults::standardUserDefaults()->setObjectForKey(writer.finishEncoding(), kVXQSymbolLabelDefaultAttributes);
}

platform::AttributedString SymbolLabelDefaults::text()
{
    return platform::AttributedString(VXQTextLabel::defaultLabelText(), attributes());
}

QVariantMap SymbolLabelDefaults::builtInAttributes()
{
    return {{platform::kFontAttributeName,
             QVariant::fromValue(platform::fontWithNameSize(QStringLiteral("Helvetica"), 11.0).value_or(platform::systemFontOfSize(11.0)))},
            {platform::kForegroundColourAttributeName, QVariant::fromValue(QColor(Qt::black))},
            {platform::kParagraphStyleAttributeName, QVariant::fromValue(platform::ParagraphStyle())}};
}
