#pragma once

// Drives one property of an object from another of its values: reads the input at a key path,
// passes it through transform and writes the result at the output key path. Subclasses
// compute the result from a formula (VXQNumericDataTransformer) and sort it into bins
// (VXQBinningDataTransformer). Symbol masters keep an ordered list of transformers and run
// each on their placed symbols, which as a rule ignore them: the list is kept so that stored
// masters keep their transformers.
//
// Targets are not owned: a transformer may be told the objects it reads and writes, or be
// handed one object that is both (performTransformationWithTarget).
//
// Archive keys: "VXQDataTransformer_name", "_inputTarget" (conditional), "_inputProperty",
// "_outputTarget" (conditional), "_outputProperty", "_disabled". On the pasteboard a
// transformer is its archive under the private type "VXQDataTransformerPBoardType".

#include "platform/foundation/ZQObject.h"

#include <QPointer>

namespace platform {
class Pasteboard;
}

class VXQDataTransformer;
using VXQDataTransformerPtr = std::shared_ptr<VXQDataTransformer>;

inline const QString kVXQDataTransformerPasteboardType = QStringLiteral("VXQDataTransformerPBoardType");

class VXQDataTransformer : public ZQObject {
    Q_OBJECT
    Q_PROPERTY(QString name READ name WRITE setName)
    Q_PROPERTY(QString inputPropertyKey READ inputPropertyKey WRITE setInputPropertyKey)
    Q_PROPERTY(QString outputPropertyKey READ outputPropertyKey WRITE setOutputPropertyKey)
    Q_PROPERTY(bool enabled READ enabled WRITE setEnabled)

public:
    VXQDataTransformer();
    ~VXQDataTransformer() override;

    void initWithInputTargetForPropertyKey(ZQObject* target, const QString& keyPath);

    // "untitled" until named.
    QString name() const { return m_name; }
    void setName(const QString& name) { m_name = name; }
    ZQObject* inputTarget() const { return m_inputTargetRef; }
    void setInputTarget(ZQObject* target) { m_inputTargetRef = target; }
    QString inputPropertyKey() const { return m_inputPropertyKey; }
    void setInputPropertyKey(const QString& keyPath) { m_inputPropertyKey = keyPath; }
    ZQObject* outputTarget() const { return m_outputTargetRef; }
    void setOutputTarget(ZQObject* target) { m_outputTargetRef = target; }
    QString outputPropertyKey() const { return m_outputPropertyKey; }
    void setOutputPropertyKey(const QString& keyPath) { m_outputPropertyKey = keyPath; }
    bool enabled() const { return !m_disabled; }
    void setEnabled(bool enabled) { m_disabled = !enabled; }

    // The value as written to the output; here the value itself.
    virtual QVariant transform(const QVariant& value) const;

    // Input from the input target, output to the output target.
    Q_INVOKABLE virtual void performTransformation();
    // `target` is both input and output. Nothing happens unless enabled with both keys set.
    Q_INVOKABLE virtual void performTransformationWithTarget(ZQObject* target);

    // Declares the private type and puts the archive there; answers whether that worked.
    bool writeToPasteboard(platform::Pasteboard& pasteboard) const;
    // The transformer on the pasteboard; null when there is none or the data is no
    // transformer's archive. The pasteboard must be given.
    static VXQDataTransformerPtr dataTransformerFromPasteboard(const platform::Pasteboard* pasteboard);

    // Keeps the targets (as references), keys, name and switch.
    std::shared_ptr<ZQObject> copy() const override;
    QString description() const override;
    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    void initWithCoder(platform::KeyedUnarchiver& coder) override;

protected:
    // Gives `copy` what a copy of this class keeps; subclasses add theirs.
    virtual void copyInto(VXQDataTransformer& copy) const;
    bool isReadyToTransform() const;

private:
    void transformBetween(ZQObject* input, ZQObject* output);

    QString m_name;
    QPointer<ZQObject> m_inputTargetRef;
    QString m_inputPropertyKey;
    QPointer<ZQObject> m_outputTargetRef;
    QString m_outputPropertyKey;
    bool m_disabled = false;
};

Q_DECLARE_METATYPE(VXQDataTransformerPtr)
