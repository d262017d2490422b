#pragma once

// The older inspector base, behind the object inspector's general tab. It shows the common
// value of each observed key path of its content through the setter named after the key
// (see showValueForKeyPath), once per event-loop turn for the key paths that changed in it,
// and writes edits to every object, skipping locked ones.
//
// Subclasses add their controls and display setters; the lock check box, the container
// view and the delegate are set by whoever builds the inspector.

#include "platform/vantrix/inspector/InspectedContent.h"

#include <QCheckBox>
#include <QPointer>
#include <QWidget>
#include <memory>

class VXInspectableController : public ZQObject {
    Q_OBJECT

public:
    VXInspectableController();

    // --- Content ----------------------------------------------------------------------
    const QList<ZQObjectPtr>& content() const { return m_inspected.objects(); }
    // The same objects again change nothing; otherwise observation moves to the new ones
    // and every observed key path is shown afresh, at once.
    void setContent(const QList<ZQObjectPtr>& content);
    // One object, which must implement VXInspectableObject; null clears the content.
    void setInspectable(const ZQObjectPtr& object);
    // The last content object, or null.
    ZQObjectPtr inspectable() const;
    virtual bool allowsMultipleObjectContent() const { return true; }
    // The key paths observed and shown: the inspectable's own when it names them, the
    // drawables' otherwise. Subclasses that show something else override.
    virtual QStringList observableKeyPaths() const;

    // --- Values -----------------------------------------------------------------------
    QVariant commonValueForKeyPath(const QString& keyPath) const;
    void setCommonValueForKeyPath(const QVariant& value, const QString& keyPath);
    // Null and markers are ignored; honouring the lock skips locked objects.
    void setCommonValueForKeyPathHonouringLockState(const QVariant& value, const QString& keyPath, bool honour);
    void setTransformerForKeyPath(std::shared_ptr<platform::ValueTransformer> transformer, const QString& keyPath);
    platform::ValueTransformer* transformerForKeyPath(const QString& keyPath) const
    {
        return m_inspected.transformer(keyPath);
    }

    // --- Lock -------------------------------------------------------------------------
    QCheckBox* lockCheckbox() const { return m_lockCheckbox; }
    void setLockCheckbox(QCheckBox* checkbox) { m_lockCheckbox = checkbox; }
    // Writes "locked" from the check box (a mixed box turns on), the lock notwithstanding.
    Q_INVOKABLE void lockedAction(QObject* sender);
    // Display setters of "locked".
    Q_INVOKABLE void setLocked(bool locked);
    Q_INVOKABLE void setMixedValueForLocked();

    // --- Placement --------------------------------------------------------------------
    QWidget* containerView() const { return m_containerView; }
    void setContainerView(QWidget* view) { m_containerView = view; }
    QObject* delegate() const { return m_delegate; }
    void setDelegate(QObject* delegate) { m_delegate = delegate; }
    // The delegate's, when it answers windowForSheet, else the container view's window.
    QWidget* windowForSheet() const;

    void setValueForUndefinedKey(const QVariant& value, const QString& key) override;

protected:
    // Hooks, empty here.
    virtual void newObjectWasAssigned() {}
    virtual void setControlStateForLock(bool locked) { Q_UNUSED(locked) }
    virtual void setControlStateForNil() {}
    virtual void observedValueForKeyDidChangeTo(const QString& keyPath, const QVariant& value)
    {
        Q_UNUSED(keyPath) Q_UNUSED(value)
    }

private:
    void showCommonValueForKeyPath(const QString& keyPath);

    platform::InspectedContent m_inspected{this, [this](const QString& keyPath) { showCommonValueForKeyPath(keyPath); }};
    QPointer<QCheckBox> m_lockCheckbox;
    QPointer<QWidget> m_containerView;
    QPointer<QObject> m_delegate;
};
