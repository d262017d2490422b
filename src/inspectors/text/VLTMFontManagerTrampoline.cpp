#include "inspectors/text/VLTMFontManagerTrampoline.h"

#include "platform/foundation/ZQLog.h"
#include "platform/graphics/FontUtilities.h"
#include "platform/vantrix/text/TextStyle.h"

#include <QHash>
#include <QScopedValueRollback>

namespace {

// Values that say "no such attribute": nothing, an invalid colour, a null shadow.
bool isAbsentValue(const QVariant& value)
{
    if (platform::isNull(value))
        return true;
    if (value.metaType() == QMetaType::fromType<QColor>())
        return !value.value<QColor>().isValid();
    if (value.metaType() == QMetaType::fromType<VXShadowPtr>())
        return !value.value<VXShadowPtr>();
    return false;
}

} // namespace

VLTMFontManagerTrampoline::VLTMFontManagerTrampoline()
    : m_textAdornment(VXTextAdornment::textAdornmentWithText(QStringLiteral("never seen")))
{
    m_textAdornment->addRastObserver(this);
}

VLTMFontManagerTrampoline::~VLTMFontManagerTrampoline()
{
    m_textAdornment->removeRastObserver(this);
}

VLTMFontManagerTrampoline* VLTMFontManagerTrampoline::sharedFontManagerTrampoline()
{
    if (auto* shared = qobject_cast<VLTMFontManagerTrampoline*>(platform::FontManager::sharedFontManager()))
        return shared;
    // Lives for the run, as the shared manager does.
    static VLTMFontManagerTrampoline* const stray = [] {
        ZQLog(QStringLiteral("warning: the shared FM-trampoline is not the same object as the shared NSFontManager. "
                             "Likely you need to set the FM factory class in main()"));
        return new VLTMFontManagerTrampoline;
    }();
    return stray;
}

ZQObjectPtr VLTMFontManagerTrampoline::sharedFontManagerTrampolineObject()
{
    return ZQObjectPtr(std::shared_ptr<void>(), sharedFontManagerTrampoline());
}

QString VLTMFontManagerTrampoline::attributeNameForKeyPath(const QString& key)
{
    static const QHash<QString, QString> attributes{
        {QStringLiteral("underlines"), platform::kUnderlineStyleAttributeName},
        {QStringLiteral("strikethroughs"), platform::kStrikethroughStyleAttributeName},
        {QStringLiteral("colour"), platform::kForegroundColourAttributeName},
        {QStringLiteral("shadow"), platform::kShadowAttributeName},
        {QStringLiteral("alignment"), platform::kParagraphStyleAttributeName},
        {QStringLiteral("baseline"), platform::kBaselineOffsetAttributeName},
        {QStringLiteral("textKnockoutDistance"), VXTextKnockoutDistanceAttributeName},
        {QStringLiteral("textKnockoutColour"), VXTextKnockoutColourAttributeName},
        {QStringLiteral("outlineWidth"), platform::kStrokeWidthAttributeName},
        {QStringLiteral("outlineColour"), platform::kStrokeColourAttributeName},
        {QStringLiteral("kerning"), platform::kKernAttributeName},
        {QStringLiteral("superscriptAttribute"), platform::kSuperscriptAttributeName},
        {QStringLiteral("paragraphStyle"), platform::kParagraphStyleAttributeName},
    };
    return attributes.value(key);
}

// --- Inspector edits to font messages ---------------------------------------------------------

void VLTMFontManagerTrampoline::rasterizerWillChangeKeyPath(VXRasterizer*, const QString&)
{
    m_fontBeforeChange = m_textAdornment->font();
}

void VLTMFontManagerTrampoline::rasterizerDidChangeKeyPath(VXRasterizer*, const QString& keyPath)
{
    if (m_changeOriginator == kFontManagerOriginator)
        return;
    const QScopedValueRollback<int> originator(m_changeOriginator, kAdornmentOriginator);
    m_rastKeyPath = keyPath;
    if (keyPath == QLatin1String("font")) {
        QFont resized = m_fontBeforeChange;
        resized.setPointSizeF(m_textAdornment->fontSize());
        if (resized == m_textAdornment->font())
            m_rastKeyPath = QStringLiteral("fontSize");
    }
    if (m_rastKeyPath == QLatin1String("font") || m_rastKeyPath == QLatin1String("fontSize"))
        sendAction();
    else
        sendChangeAttributes();
}

QFont VLTMFontManagerTrampoline::convertFont(const QFont& font) const
{
    // The key changed last speaks only for the inspector edit going out: a later change (the
    // Format menu, the font panel) is converted as that change says.
    if (m_changeOriginator != kAdornmentOriginator)
        return FontManager::convertFont(font);
    if (m_rastKeyPath == QLatin1String("font"))
        return convertFontToFace(font, platform::postScriptName(m_textAdornment->font()));
    if (m_rastKeyPath == QLatin1String("fontSize"))
        return convertFontToSize(font, m_textAdornment->fontSize());
    return FontManager::convertFont(font);
}

platform::TextAttributes VLTMFontManagerTrampoline::convertAttributes(const platform::TextAttributes& attributes) const
{
    if (m_changeOriginator != kAdornmentOriginator)
        return FontManager::convertAttributes(attributes);
    platform::TextAttributes converted = attributes;
    const QString attribute = attributeNameForKeyPath(m_rastKeyPath);
    if (attribute.isEmpty())
        return converted;
    const QString key = m_rastKeyPath == QLatin1String("alignment") ? QStringLiteral("paragraphStyle") : m_rastKeyPath;
    const QVariant value = m_textAdornment->valueForKey(key);
    if (isAbsentValue(value))
        converted.remove(attribute);
    else
        converted.insert(attribute, value);
    return converted;
}

// --- Selection reports to the scratch adornment -------------------------------------------

void VLTMFontManagerTrampoline::setSelectedFontIsMultiple(const QFont& font, bool isMultiple)
{
    if (m_changeOriginator == kAdornmentOriginator)
        return;
    const QScopedValueRollback<int> originator(m_changeOriginator, kFontManagerOriginator);
    m_textAdornment->setFont(font);
    FontManager::setSelectedFontIsMultiple(font, isMultiple);
}

void VLTMFontManagerTrampoline::setSelectedAttributesIsMultiple(const platform::TextAttributes& attributes,
                                                                bool isMultiple)
{
    if (m_changeOriginator == kAdornmentOriginator)
        return;
    const QScopedValueRollback<int> originator(m_changeOriginator, kFontManagerOriginator);
    m_textAdornment->setTextAttributes(attributes);
    FontManager::setSelectedAttributesIsMultiple(attributes, isMultiple);
}
