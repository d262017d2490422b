#include "TransformerSheetHost.h"

TransformerSheetHost::TransformerSheetHost(VXQSymbolPtr symbol, VXQDataTransformerPtr transformer)
    : m_symbol(std::move(symbol)), m_transformer(std::move(transformer))
{
}

void TransformerSheetHost::setDataTransformer(const VXQDataTransformerPtr& transformer)
{
    m_transformer = transformer;
    ++handedBack;
}

QStringList TransformerSheetHost::availablePropertiesDisplayNames() const
{
    QStringList names;
    for (const QString& property : VXQSymbol::availableOutputProperties())
        names.append(VXQSymbol::displayNameForProperty(property));
    return names;
}

QString TransformerSheetHost::propertyForDisplayName(const QString& displayName) const
{
    return VXQSymbol::displayNamesForOutputProperties().value(displayName).toString();
}

QString TransformerSheetHost::displayNameForProperty(const QString& property) const
{
    return VXQSymbol::displayNameForProperty(property);
}

QVariantMap TransformerSheetHost::acceptableTypesForOutputProperties() const
{
    return VXQSymbol::acceptableTypesForOutputProperties();
}
