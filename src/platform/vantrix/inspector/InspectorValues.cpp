#include "platform/vantrix/inspector/InspectorValues.h"

#include "platform/foundation/MetaInvoke.h"
#include "platform/vantrix/inspector/DisplayBindings.h"
#include "platform/vantrix/inspector/KeyPathReader.h"
#include "platform/foundation/ValueTransformer.h"
#include "platform/foundation/ZQLog.h"

#include <QCoreApplication>
#include <exception>

namespace platform {

namespace {

// The receiver's way of taking a value for `key`, an invokable setter before a property so
// that a controller's display setter wins over an inherited property of the same name.
class DisplaySetter {
public:
    DisplaySetter(QObject& receiver, const QString& key)
        : m_method(findMethod(&receiver, selectorFor(key), 1))
    {
        if (!m_method.isValid()) {
            const QMetaObject* meta = receiver.metaObject();
            if (const int index = meta->indexOfProperty(key.toLatin1().constData()); index >= 0)
                m_property = meta->property(index);
        }
    }

    static QByteArray selectorFor(const QString& key) { return "set" + capitalisedKey(key).toLatin1(); }

    bool isValid() const { return m_method.isValid() || (m_property.isValid() && m_property.isWritable()); }
    QMetaType type() const { return m_method.isValid() ? m_method.parameterMetaType(0) : m_property.metaType(); }

    void write(QObject& receiver, const QVariant& value) const
    {
        if (m_method.isValid())
            invokeMethod(&receiver, m_method, {value});
        else
            m_property.write(&receiver, value);
    }

private:
    QMetaMethod m_method;
    QMetaProperty m_property;
};

void setDisplayValue(ZQObject& receiver, const QVariant& value, const QString& key)
{
    const DisplaySetter setter(receiver, key);
    if (!setter.isValid()) {
        receiver.setValueForUndefinedKey(value, key);
        return;
    }
    const QString selector = QString::fromLatin1(DisplaySetter::selectorFor(key));
    if (const std::optional<QVariant> converted = valueForDisplaySetter(receiver, value, setter.type(), selector))
        setter.write(receiver, *converted);
}

} // namespace

std::optional<QVariant> valueForDisplaySetter(const ZQObject& receiver, const QVariant& value, QMetaType type,
                                              const QString& setter)
{
    if (isNull(value) && !typeAcceptsNull(type)) {
        ZQLog(QStringLiteral("%1 - an attempt to set nil as the value to -%2 was ignored").arg(receiver.description(), setter));
        return std::nullopt;
    }
    std::optional<QVariant> converted = convertVariant(isNull(value) ? QVariant() : value, type);
    if (!converted)
        ZQLog(QStringLiteral("%1 - a value of type %2 cannot be shown by -%3 (ignored)")
                  .arg(receiver.description(), QString::fromLatin1(value.typeName()), setter));
    return converted;
}

QString lastKeyOfKeyPath(const QString& keyPath)
{
    return keyPath.section(QLatin1Char('.'), -1);
}

QString capitalisedKey(const QString& key)
{
    return key.isEmpty() ? key : key.front().toUpper() + key.mid(1);
}

void CommonValue::add(const QVariant& value)
{
    if (m_settled)
        return;
    if (m_empty) {
        m_value = value;
        m_empty = false;
    } else if (value != m_value) {
        m_value = multipleValuesMarker();
        m_settled = true;
    }
}

void CommonValue::addUnreadable()
{
    if (m_settled)
        return;
    m_value = notApplicableMarker();
    m_settled = true;
}

QVariant commonValueOfObjects(const QList<ZQObjectPtr>& objects, const QString& keyPath, const ValueAdjuster& adjust,
                              const UnreadableReporter& unreadable)
{
    PathUnreadableReporter reporter;
    if (unreadable)
        reporter = [&](qsizetype, ZQObject& object, const std::exception& exception) { unreadable(object, exception); };
    return commonValuesOfObjects(objects, {keyPath}, {adjust}, reporter).constFirst();
}

QVariantList commonValuesOfObjects(const QList<ZQObjectPtr>& objects, const QStringList& keyPaths,
                                   const QList<ValueAdjuster>& adjusters, const PathUnreadableReporter& unreadable)
{
    struct Scan {
        ValueAdjuster adjust;
        CommonValue common;
        bool failed = false;
    };
    std::vector<Scan> scans;
    scans.reserve(keyPaths.size());
    for (qsizetype p = 0; p < keyPaths.size(); ++p)
        scans.push_back({adjusters.value(p), {}});
    KeyPathReader reader(keyPaths);
    const auto isOpen = [&](const Scan& scan) { return !scan.common.isSettled() || (scan.failed && unreadable); };
    qsizetype open = keyPaths.size();
    for (qsizetype i = 0; i < objects.size() && open > 0; ++i) {
        reader.setObject(*objects[i]);
        for (qsizetype p = 0; p < qsizetype(scans.size()); ++p) {
            Scan& scan = scans[p];
            if (!isOpen(scan))
                continue;
            try {
                // Most objects of a large selection agree: those are compared, not copied.
                if (!scan.failed && !scan.adjust && scan.common.hasValue()) {
                    if (const std::optional<QVariant> differing = reader.differingValue(p, scan.common.value()))
                        scan.common.add(*differing);
                } else {
                    const QVariant value = reader.value(p);
                    if (!scan.failed)
                        scan.common.add(scan.adjust ? scan.adjust(i, value) : value);
                }
            } catch (const std::exception& exception) {
                scan.failed = true;
                scan.common.addUnreadable();
                if (unreadable)
                    unreadable(p, *objects[i], exception);
            }
            if (!isOpen(scan))
                --open;
        }
    }
    QVariantList values;
    values.reserve(keyPaths.size());
    for (const Scan& scan : scans)
        values.append(scan.common.value());
    return values;
}

QVariant displayValue(const ValueTransformer* transformer, const QVariant& value)
{
    if (!transformer || isNull(value) || isMultipleValuesMarker(value) || isNotApplicableMarker(value))
        return value;
    return transformer->transformedValue(value);
}

QVariant modelValue(const ValueTransformer* transformer, const QVariant& value)
{
    if (!transformer || !transformer->allowsReverseTransformation() || isNull(value))
        return value;
    return transformer->reverseTransformedValue(value);
}

void showValueForKeyPath(ZQObject& receiver, const QVariant& value, const QString& keyPath)
{
    const QString key = lastKeyOfKeyPath(keyPath);
    if (const auto* source = dynamic_cast<const DisplayBindingSource*>(&receiver)) {
        if (!source->displayBindings().show(receiver, value, keyPath))
            receiver.setValueForUndefinedKey(value, key);
        return;
    }
    if (!isMultipleValuesMarker(value)) {
        setDisplayValue(receiver, value, key);
        return;
    }
    const QByteArray mixedSelector = "setMixedValueFor" + capitalisedKey(key).toLatin1();
    if (invokeSelector(&receiver, mixedSelector, value))
        return;
    ZQLog(QStringLiteral("%1 does not respond to -%2, attempting to set generic multiple values string instead")
              .arg(receiver.description(), QString::fromLatin1(mixedSelector)));
    setDisplayValue(receiver, multipleValuesText(), key);
}

QString multipleValuesText()
{
    return QCoreApplication::translate("Inspector", "<multiple values>");
}

} // namespace platform
