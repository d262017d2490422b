#pragma once

// One bin of a binning transformer: it covers the values from its start value up to the
// next bin's start (the last bin has no end) and holds the object written for them, one per
// kind of object (see BinDataType.h), so a bin keeps its colour while the transformer shows
// texts. Key-value coding names what the bins table shows: "index", "startValue",
// "endValue" and "representedObjectValue".
//
// Archive keys: "VXQBin_startValue", "VXQBin_containerRef" (conditional),
// "VXQBin_repObjects" (class name -> object; entries of the wrong kind are dropped).

#include "platform/foundation/ZQObject.h"

#include <QImage>
#include <QPointer>
#include <QVariantMap>

class VXQBinningDataTransformer;
class VXQBin;
using VXQBinPtr = std::shared_ptr<VXQBin>;

class VXQBin : public ZQObject {
    Q_OBJECT
    Q_PROPERTY(int index READ index STORED false)
    Q_PROPERTY(double startValue READ startValue WRITE setStartValue)
    Q_PROPERTY(double endValue READ endValue WRITE setEndValue STORED false)
    Q_PROPERTY(QVariant representedObjectValue READ representedObjectValue WRITE setRepresentedObjectValue STORED false)

public:
    VXQBin();
    ~VXQBin() override;

    double startValue() const { return m_startValue; }
    // The container keeps its bins in order of start value, so a change may move the bin.
    // NaN is refused.
    void setStartValue(double value);
    // The next bin's start; positive infinity for the last bin and a bin without container.
    double endValue() const;
    // Sets the next bin's start; ignored on the last bin.
    void setEndValue(double value);

    // The object for the container's current kind, else the kind's empty value.
    QVariant representedObject() const;
    // Stored under the current kind; nothing, and objects of another kind, are ignored.
    void setRepresentedObject(const QVariant& object);
    // What a table shows: a style's swatch for styles, else the represented object.
    QVariant representedObjectValue() const;
    // Ignored for styles (a swatch cannot become one); otherwise setRepresentedObject.
    void setRepresentedObjectValue(const QVariant& value);
    // The represented object's image: a style's swatch or the image itself; null otherwise.
    QImage image() const;

    // 1-based position in the container; 0 without container.
    int index() const;
    VXQBinningDataTransformer* container() const { return m_containerRef; }
    void setContainer(VXQBinningDataTransformer* container) { m_containerRef = container; }

    // Ascending by start value: negative when this one starts first, 0 when they start together.
    int compareStartValues(const VXQBin& other) const;
    // Replaces every kind's object with those of `objects` that are of their kind.
    void setRepObjects(const QVariantMap& objects);
    QVariantMap repObjects() const { return m_representedObjects; }

    // The kind of the bins' objects has changed: nothing to do, as every kind is kept.
    void dataTypeDidChange() {}

    // The start value and the objects; the list that takes the copy sets its container.
    std::shared_ptr<ZQObject> copy() const override;
    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    void initWithCoder(platform::KeyedUnarchiver& coder) override;

private:
    int dataType() const;

    double m_startValue = 0;
    QPointer<VXQBinningDataTransformer> m_containerRef;
    QVariantMap m_representedObjects;
};

Q_DECLARE_METATYPE(VXQBinPtr)
