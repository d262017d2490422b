#pragma once

// A style component: one thing a style draws on an object (a stroke, a fill, a gradient...).
// Components live in the render list of a VXRastGroup; the root group is a VXStyle.
//
// Writing a component
// -------------------
// A component's state is its stored Q_PROPERTYs. Declare each key once:
//
//     class VXHatching : public VXRasterizer {
//         Q_OBJECT
//         Q_PROPERTY(double spacing READ spacing WRITE setSpacing)
//         Q_CLASSINFO("actionName:spacing", "Hatch Spacing")   // undo name; "#kind#" = displayName()
//     public:
//         double spacing() const { return m_spacing; }
//         void setSpacing(double s) { setValueForKeyWithUndo(m_spacing, std::max(s, 0.1), "spacing"); }
//         QString displayName() const override { return tr("Hatching"); }
//         void render(const VXRenderable& object) const override;   // into GraphicsContext::current()
//         QSizeF extraSpaceNeeded() const override;                 // reach beyond the path, each way
//         bool isValid() const override;                            // draws anything at all
//     private:
//         double m_spacing = 8.0;
//     };
//
// and register it in the library's registration function with
// platform::ClassRegistry::registerClass<VXHatching>() (copies and archives need it).
//
// setValueForKeyWithUndo gives every key the same behaviour: nothing for an unchanged value
// (object values compare by identity), a non-finite number, or a locked component or style;
// otherwise key-value observing, the rast observers of the component and of its groups told
// before and after, undo (through the property, so a custom setter runs again) named for the
// key, and the style's kVXStyleDidChangeNotification. Validate in the setter before calling it.
//
// Components keep no document of their own: a style is shared by many objects, and a tool's
// style by several documents. A change registers its undo with the document doing the edit:
// the one an EditingScope names, else the one every observer (the objects drawn with the
// style) is in. Undoing and redoing run in the scope of the undo manager that does them.
//
// Stored properties are archived under "<DeclaringClass>_<key>", copied and compared without
// further code (see platform::encodeStoredProperties below). Object values are
// std::shared_ptr<T> of a VXValueObject (a shared value such as a dash or shadow, copied
// deeply) or of a VXRasterizer, made known with registerObjectPointerType<T>(). Mark derived
// properties STORED false. Override encodeWithCoder / initWithCoder / copy /
// isEqualToRasterizer only for state that is not a property, calling the base; a group
// subclass gets its members handled by VXRastGroup.

#include "platform/foundation/ZQObject.h"
#include "platform/vantrix/styles/RastObserverSet.h"

#include <QHash>
#include <QPointer>
#include <QSizeF>
#include <QString>
#include <cmath>
#include <functional>
#include <memory>
#include <type_traits>

class QMimeData;
class VXRasterizer;
class VXRastGroup;
class VXRenderable;
class VXStyle;
class ZQUndoManager;

using VXRasterizerPtr = std::shared_ptr<VXRasterizer>;

// An object drawn with a tree of components (a drawable with its style, a label with its own
// text adornment): told around every change of a key or of the render list of the component
// it observes or of any component below it.
class VXRasterizerObserver {
public:
    virtual ~VXRasterizerObserver() = default;
    virtual void rasterizerWillChangeKeyPath(VXRasterizer* rasterizer, const QString& keyPath) = 0;
    virtual void rasterizerDidChangeKeyPath(VXRasterizer* rasterizer, const QString& keyPath) = 0;
    // The undo manager of the document the observer is in; null when it is in none.
    virtual ZQUndoManager* undoManagerForRasterizerChanges() const { return nullptr; }
    // True when the observer stops observing every component before it is destroyed: the
    // component then need not watch it for its end, which would cost a cross-cast and a weak
    // reference for each of the million objects a pasted or opened map adds to one style.
    virtual bool stopsObservingBeforeDestruction() const { return false; }
};

// A shared, mutable value a component holds by shared_ptr (dash, shadow, gradient). Like a
// component, its stored properties are archived, copied and compared without further code.
class VXValueObject : public ZQObject {
    Q_OBJECT

public:
    // Same class and equal stored properties.
    virtual bool isEqualToValue(const VXValueObject& other) const;
    std::shared_ptr<ZQObject> copy() const override;
    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    void initWithCoder(platform::KeyedUnarchiver& coder) override;
};

namespace platform {

// The property-driven state of components and value objects: every stored, writable
// Q_PROPERTY declared below ZQObject, archived under "<DeclaringClass>_<key>". Any type the
// keyed archiver takes works (numbers, strings, colours, geometry, fonts, lists and
// dictionaries of these), plus QList<double> and object pointers made known with
// registerObjectPointerType<T>().
void encodeStoredProperties(const ZQObject& object, KeyedArchiver& coder);
// Values missing or of the wrong type leave the property as it is (with a log line).
void decodeStoredProperties(ZQObject& object, KeyedUnarchiver& coder);
// Object values are copied, not shared.
void copyStoredProperties(const ZQObject& from, ZQObject& to);
bool storedPropertiesAreEqual(const ZQObject& a, const ZQObject& b);

} // namespace platform

// Lets the generic property code see a std::shared_ptr<T> property as the ZQObject it holds.
template <class T>
void registerObjectPointerType()
{
    using Ptr = std::shared_ptr<T>;
    if (!QMetaType::hasRegisteredConverterFunction<Ptr, ZQObjectPtr>())
        QMetaType::registerConverter<Ptr, ZQObjectPtr>([](const Ptr& p) { return ZQObjectPtr(p); });
    if (!QMetaType::hasRegisteredConverterFunction<ZQObjectPtr, Ptr>())
        QMetaType::registerConverter<ZQObjectPtr, Ptr>([](const ZQObjectPtr& p) { return std::dynamic_pointer_cast<T>(p); });
}

class VXRasterizer : public ZQObject {
    Q_OBJECT
    Q_PROPERTY(bool enabled READ enabled WRITE setEnabled)
    Q_PROPERTY(bool locked READ locked WRITE setLocked)
    Q_CLASSINFO("actionName:enabled", "Enable #kind#")
    Q_CLASSINFO("actionName:locked", "Lock #kind#")

public:
    VXRasterizer();
    ~VXRasterizer() override;

    // The kind of component, for menus and undo names.
    virtual QString displayName() const;

    bool enabled() const { return m_enabled; }
    void setEnabled(bool enabled);
    // A locked component ignores changes of its other keys.
    bool locked() const { return m_locked; }
    void setLocked(bool locked);

    VXRastGroup* container() const;
    // Called by the group that takes or gives up the component.
    void setContainer(VXRastGroup* container);
    void removeFromContainer();
    // The style at the root of the container chain (the style itself for a style), or null.
    VXStyle* style() const;
    // Where a change registers its undo: the open EditingScope's undo manager, else the one
    // the observers of this component and of its groups are all in; null when they are in
    // none, or in different documents (then the editor must name one with a scope).
    ZQUndoManager* undoManager() const;

    // Edits of components made while it lives (on this thread) register their undo with
    // `undoManager`, that of the document doing the edit. Scopes nest.
    class EditingScope {
    public:
        explicit EditingScope(ZQUndoManager* undoManager);
        ~EditingScope();
        EditingScope(const EditingScope&) = delete;
        EditingScope& operator=(const EditingScope&) = delete;

    private:
        friend class VXRasterizer;
        QPointer<ZQUndoManager> m_undoManager;
        const EditingScope* m_outer;
    };

    // Not owned; an observer that is a QObject is forgotten when it is destroyed, any other
    // removes itself first. Adding an observer twice keeps it once.
    void addRastObserver(VXRasterizerObserver* observer);
    void removeRastObserver(VXRasterizerObserver* observer);
    QList<VXRasterizerObserver*> rastObservers() const;

    // Draws the component on the object into GraphicsContext::current(); the base draws nothing.
    virtual void render(const VXRenderable& object) const;
    // How far beyond the object's path bounds this component may draw, each way.
    virtual QSizeF extraSpaceNeeded() const;
    // Whether render() draws anything at all.
    virtual bool isValid() const;
    // Same class and equal stored properties.
    virtual bool isEqualToRasterizer(const VXRasterizer& other) const;

    // Undo names: Q_CLASSINFO "actionName:<key>" of the class or its ancestors, or a name set
    // at run time for the class (an empty name set forgets it); "#kind#" is replaced by displayName().
    QString actionNameForKeyPathChangeKind(const QString& keyPath,
                                           platform::KeyValueChangeKind kind = platform::KeyValueChangeKind::Setting) const;
    static QString actionNameForKeyPathObjClass(const QString& keyPath, const QMetaObject* objClass);
    static void setActionNameForKeyPathObjClass(const QString& name, const QString& keyPath, const QMetaObject* objClass);
    template <class T>
    static void setActionNameForKeyPath(const QString& name, const QString& keyPath)
    {
        setActionNameForKeyPathObjClass(name, keyPath, &T::staticMetaObject);
    }

    // The pasteboard carries the component as a keyed archive under this MIME type.
    static QString pasteboardType();
    void copyToPasteboard(QMimeData* mimeData) const;
    static VXRasterizerPtr rasterizerFromPasteboard(const QMimeData* mimeData);

    // A deep copy outside any container: stored properties, value objects copied.
    std::shared_ptr<ZQObject> copy() const override;
    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    void initWithCoder(platform::KeyedUnarchiver& coder) override;

    // The group's root style tells the component's ancestors about its changes.
    virtual void componentDidChangeKeyPath(VXRasterizer* component, const QString& keyPath);

protected:
    // The one setter behind every key (see the top of this file).
    template <class T>
    void setValueForKeyWithUndo(T& member, const T& value, const char* key)
    {
        if constexpr (std::is_floating_point_v<T>) {
            if (!std::isfinite(value))
                return;
        }
        if (member == value || !acceptsChangeForKey(key))
            return;
        const QVariant oldValue = QVariant::fromValue(member);
        const QString keyPath = QString::fromLatin1(key);
        announceWillChange(keyPath);
        member = value;
        announceDidChange(keyPath);
        didChangeKey(key, oldValue);
    }

    // Whether a change of `key` may happen now: always while restoring, never when this
    // component or its style is locked (their "locked" keys excepted).
    virtual bool acceptsChangeForKey(const char* key) const;
    // Registers the undo of a change made, names it and tells the style.
    void didChangeKey(const char* key, const QVariant& oldValue);
    // Registers `undo` (which the undo manager then runs in its own editing scope) with the
    // undo manager of the change, keeping this component alive; names it. Nothing when there is none.
    void registerUndo(std::function<void()> undo, const QString& actionName);
    // Tells the observers of this component and of every group above it.
    void tellRastObservers(void (VXRasterizerObserver::*message)(VXRasterizer*, const QString&), const QString& keyPath);
    // True while copying or decoding: changes are neither checked, undone nor announced.
    bool isRestoring() const { return m_restoring; }

    // KVO and the rast observers, before and after a change (never for a change that threw).
    void announceWillChange(const QString& key);
    void announceDidChange(const QString& key);

    // Sets m_restoring for a scope.
    class RestoringScope {
    public:
        explicit RestoringScope(VXRasterizer* rasterizer) : m_rasterizer(rasterizer), m_previous(rasterizer->m_restoring)
        {
            rasterizer->m_restoring = true;
        }
        ~RestoringScope() { m_rasterizer->m_restoring = m_previous; }
        RestoringScope(const RestoringScope&) = delete;
        RestoringScope& operator=(const RestoringScope&) = delete;

    private:
        VXRasterizer* m_rasterizer;
        bool m_previous;
    };

    // An empty object of this object's class, for copy().
    VXRasterizerPtr makeEmptyOfSameClass() const;

private:
    bool m_enabled = true;
    bool m_locked = false;
    bool m_restoring = false;
    QPointer<VXRastGroup> m_container;
    RastObserverSet m_rastObservers;
    quint64 m_observerRemovals = 0;
};

Q_DECLARE_METATYPE(VXRasterizerPtr)
