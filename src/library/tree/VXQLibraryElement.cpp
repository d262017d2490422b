#include "library/tree/VXQLibraryElement.h"

#include "library/store/VXQLibrary.h"
#include "library/tree/VXQLibraryElementContainer.h"
#include "platform/foundation/ClassRegistry.h"
#include "platform/foundation/ZQAssert.h"

VXQLibraryElement::VXQLibraryElement() = default;
VXQLibraryElement::~VXQLibraryElement() = default;

const QMetaObject* VXQLibraryElement::libraryElementClassFromString(const QString& className)
{
    const QMetaObject* metaObject = platform::ClassRegistry::metaObjectForName(className);
    return metaObject && metaObject->inherits(&VXQLibraryElement::staticMetaObject) ? metaObject : nullptr;
}

VXQLibraryElementPtr VXQLibraryElement::libraryElementWithInfoLibrary(const QVariantMap& info, VXQLibrary* library)
{
    if (!ZQ_EXPECT(library, "library was nil"))
        return nullptr;
    const QVariant classEntry = info.value(QStringLiteral("class"));
    const QString className = classEntry.isValid() ? classEntry.toString() : defaultElementClassname();
    if (!libraryElementClassFromString(className))
        return nullptr;
    auto element = std::dynamic_pointer_cast<VXQLibraryElement>(platform::ClassRegistry::create(className));
    return element ? element->initWithInfoLibrary(info, library) : nullptr;
}

void VXQLibraryElement::initWithNameLibrary(const QString& name, VXQLibrary* library)
{
    m_name = name;
    m_library = library;
}

VXQLibraryElementPtr VXQLibraryElement::initWithInfoLibrary(const QVariantMap& info, VXQLibrary* library)
{
    initWithNameLibrary(info.value(QStringLiteral("name")).toString(), library);
    return std::static_pointer_cast<VXQLibraryElement>(shared_from_this());
}

VXQLibrary* VXQLibraryElement::library() const
{
    return static_cast<VXQLibrary*>(m_library.data());
}

void VXQLibraryElement::setLibrary(VXQLibrary* library)
{
    m_library = library;
}

void VXQLibraryElement::setName(const QString& name)
{
    if (name == m_name)
        return;
    m_name = name;
    if (m_container) {
        m_container->invalidateElementsCache();
        m_container->invalidateAllElementsCache();
    }
}

QString VXQLibraryElement::cleanName() const
{
    return QString(name()).remove(u'.');
}

QString VXQLibraryElement::identifier() const
{
    QString parent;
    if (m_container)
        parent = m_container->identifier();
    else if (VXQLibrary* owner = library(); owner && owner != this)
        parent = owner->identifier();
    return parent + u'.' + cleanName();
}

QVariantMap VXQLibraryElement::elementInfo() const
{
    QVariantMap info{{QStringLiteral("name"), name()}};
    if (className() != defaultElementClassname())
        info.insert(QStringLiteral("class"), className());
    return info;
}

QVariant VXQLibraryElement::valueForUndefinedKey(const QString&) const
{
    return {};
}
