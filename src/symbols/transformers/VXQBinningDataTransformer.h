#pragma once

// A numeric transformer that sorts its result into bins and writes the bin's object (a
// style, colour, image, text, number or font: the bin data type) to the output instead of
// the number. The output is validated by key-value coding first, which may convert it (a
// colour into a style holding it); a value the target refuses is logged and nothing is
// written. With binning off, or a bin that holds nothing of the current kind, the number is
// written as the numeric transformer writes it.
//
// The bins are kept in order of start value. A value falls into the last bin starting at or
// below it, a value below every start into the first bin. A new transformer has one bin
// starting at negative infinity, so every value has a bin; so has one read from an archive
// without bins.
//
// Archive keys: "VXQBinningTransformer_binDataType" (sic), "VXQBinningDataTransformer_bins",
// "VXQBinningDataTransformer_binningEnabled". Bins with a NaN start and data types outside
// 0...5 read as absent; bins out of order are sorted.

#include "symbols/transformers/VXQBin.h"
#include "symbols/transformers/VXQNumericDataTransformer.h"

#include <QList>

class VXQBinningDataTransformer : public VXQNumericDataTransformer {
    Q_OBJECT
    Q_PROPERTY(bool binningEnabled READ binningEnabled WRITE setBinningEnabled)
    Q_PROPERTY(int binDataType READ binDataType WRITE setBinDataType)

public:
    VXQBinningDataTransformer();
    ~VXQBinningDataTransformer() override;

    static std::shared_ptr<VXQBinningDataTransformer> dataTransformerWithFormula(const QString& formula);
    // Data type 0 and one bin from negative infinity; throws as setFormula does.
    void initWithFormula(const QString& formula);

    // The type of a data type's objects; invalid outside 0...5.
    static QMetaType classForDataType(int type);

    bool binningEnabled() const { return m_binningEnabled; }
    void setBinningEnabled(bool enabled) { m_binningEnabled = enabled; }
    int binDataType() const { return m_binDataType; }
    // Codes outside 0...5 are ignored.
    void setBinDataType(int type);

    // No bins: null.
    VXQBinPtr binForValue(double value) const;
    VXQBinPtr underflowBin() const { return m_bins.value(0); }
    VXQBinPtr overflowBin() const { return m_bins.isEmpty() ? nullptr : m_bins.last(); }

    void addBin(const VXQBinPtr& bin);
    VXQBinPtr addBinForStartValue(double value);
    // `count` bins evenly from `first`, the last starting one step below `last`.
    void addNumberOfBinsStartingAtValueEndingAtValue(int count, double first, double last);
    void removeAllBins();
    void removeBin(const VXQBinPtr& bin);
    QList<VXQBinPtr> bins() const { return m_bins; }
    void setBins(const QList<VXQBinPtr>& bins);
    int countOfBins() const { return int(m_bins.size()); }
    // The bin after `bin`; null for the last bin and a bin of another transformer.
    VXQBinPtr binFollowing(const VXQBin* bin) const;
    int indexOfBin(const VXQBin* bin) const;
    // Restores the order after a start value changed.
    void sortBins();

    void sendOutputToTarget(double value, ZQObject* target) override;

    std::shared_ptr<ZQObject> copy() const override;
    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    void initWithCoder(platform::KeyedUnarchiver& coder) override;

protected:
    void copyInto(VXQDataTransformer& copy) const override;

private:
    void adoptBin(const VXQBinPtr& bin);

    QList<VXQBinPtr> m_bins;
    bool m_binningEnabled = false;
    int m_binDataType = 0;
};
