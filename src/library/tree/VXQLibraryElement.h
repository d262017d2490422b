#pragma once

// A node of the library tree (groups, libraries, categories, items): a name, the library it
// belongs to and the container that last added it (both back-links, not owned), a dotted
// identifier ("MY LIBRARY.Base.Roads") and the element info the category file is made of.
// Elements are rebuilt from their info through the class registry by the "class" entry
// (default "VXQLibraryItem").

#include "platform/foundation/ZQObject.h"

#include <QImage>
#include <QPointer>
#include <QVariantMap>

class VXQLibrary;
class VXQLibraryElement;
class VXQLibraryElementContainer;

using VXQLibraryElementPtr = std::shared_ptr<VXQLibraryElement>;

class VXQLibraryElement : public ZQObject {
    Q_OBJECT
    Q_PROPERTY(QString name READ name WRITE setName)
    Q_PROPERTY(QString cleanName READ cleanName STORED false)
    Q_PROPERTY(QString identifier READ identifier STORED false)
    Q_PROPERTY(QString toolTipString READ toolTipString STORED false)

public:
    VXQLibraryElement();
    ~VXQLibraryElement() override;

    // The element the info describes, made by its class's initWithInfoLibrary; null for a
    // class that is unknown or no element, and for info its class refuses.
    static VXQLibraryElementPtr libraryElementWithInfoLibrary(const QVariantMap& info, VXQLibrary* library);
    // The registered element class of that name, else null.
    static const QMetaObject* libraryElementClassFromString(const QString& className);
    static QString defaultElementClassname() { return QStringLiteral("VXQLibraryItem"); }
    QString classString() const { return className(); }

    virtual void initWithNameLibrary(const QString& name, VXQLibrary* library);
    // Answers the element the info stands for: this one, an existing one it resolves to, or
    // null when the info cannot make one.
    virtual VXQLibraryElementPtr initWithInfoLibrary(const QVariantMap& info, VXQLibrary* library);

    VXQLibrary* library() const;
    virtual void setLibrary(VXQLibrary* library);
    VXQLibraryElementContainer* container() const { return m_container; }
    void setContainer(VXQLibraryElementContainer* container) { m_container = container; }

    virtual void wasAddedToContainer(VXQLibraryElementContainer*) {}
    virtual void wasRemovedFromContainer(VXQLibraryElementContainer*) {}

    virtual QString name() const { return m_name; }
    virtual void setName(const QString& name);
    // The name without its dots, as identifiers and look-ups by name use it.
    QString cleanName() const;
    virtual QString identifier() const;
    virtual QImage icon() const { return {}; }
    virtual QString toolTipString() const { return {}; }

    virtual QVariantMap elementInfo() const;

    // Unknown keys (sort columns, predicates) read as null instead of failing.
    QVariant valueForUndefinedKey(const QString& key) const override;

protected:
    // Sets the stored name without the container bookkeeping.
    void setElementName(const QString& name) { m_name = name; }

private:
    QPointer<ZQObject> m_library;
    QPointer<VXQLibraryElementContainer> m_container;
    QString m_name;
};
