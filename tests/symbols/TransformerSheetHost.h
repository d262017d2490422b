#pragma once

// A host for the data-transformer sheet: it edits one transformer for a placed symbol, on
// which the formula check runs, and offers the symbol's output properties. Shared by the
// sheet's tests and the manual-check program.

#include "symbols/placed/VXQSymbol.h"
#include "symbols/transformers/VXQDataTransformer.h"

#include <QObject>

class TransformerSheetHost : public QObject {
    Q_OBJECT

public:
    TransformerSheetHost(VXQSymbolPtr symbol, VXQDataTransformerPtr transformer);

    Q_INVOKABLE VXQDataTransformerPtr dataTransformer() const { return m_transformer; }
    Q_INVOKABLE void setDataTransformer(const VXQDataTransformerPtr& transformer);
    Q_INVOKABLE ZQObject* targetForPreflight() const { return m_symbol.get(); }
    Q_INVOKABLE QStringList availablePropertiesDisplayNames() const;
    Q_INVOKABLE QString propertyForDisplayName(const QString& displayName) const;
    Q_INVOKABLE QString displayNameForProperty(const QString& property) const;
    Q_INVOKABLE QVariantMap acceptableTypesForOutputProperties() const;

    const VXQSymbolPtr& symbol() const { return m_symbol; }
    // How often the sheet handed a transformer back.
    int handedBack = 0;

private:
    VXQSymbolPtr m_symbol;
    VXQDataTransformerPtr m_transformer;
};
