#pragma once

// The panes of tracks: terminators, type, width blending, inline boundaries, dynamic label
// templates, the length of straight tracks, the special items (one track at a time), the
// junctions and the width adaptors; and, inside it, the pane of the objects selected along the
// track (adornments), which the track pane feeds.

#include "inspectors/panes/table/GeometryTablePane.h"

#include <QPointer>

class QCheckBox;
class QPushButton;
class QToolButton;

// The objects carried along a track: offset, angle, scale, reversed, aligned to the path.
// Usable while it has objects and the track is not locked.
class VLTM_VXQAdornmentController : public GeometryTablePane {
    Q_OBJECT

public:
    // Each key shown through a setter, bound to it.
    const platform::DisplayBindings& displayBindings() const override;
    const QMetaObject* managedObjectClass() const override;
    GeometryPaneTable table() const override;
    QStringList customKeyPaths() const override { return {QStringLiteral("displayName")}; }

    // The track pane's lock.
    void setUIStateForLock(bool locked);
    bool trackLocked() const { return m_trackLocked; }
    QLabel* selectionInfoTextField();

    void setDisplayName(const QString& name);
    void setMixedValueForDisplayName();

protected:
    void addCustomControls(QFormLayout& form) override;
    void setControlStateForNil() override;

private:
    bool m_trackLocked = false;
    QPointer<QLabel> m_selectionInfoTextField;
};

class VLTM_VXQTrackController : public GeometryTablePane, public VLTMObjectControllerDataSource {
    Q_OBJECT

public:
    VLTM_VXQTrackController();
    ~VLTM_VXQTrackController() override;
    // Each key shown through a setter, bound to it.
    const platform::DisplayBindings& displayBindings() const override;

    const QMetaObject* managedObjectClass() const override;
    GeometryPaneTable table() const override;
    QStringList customKeyPaths() const override;
    QString paneTitle() const override;

    // The embedded pane's content: the adornments selected on the track.
    QList<ZQObjectPtr> selectedContentForObjectController(VLTMGenericObjectController* controller) override;
    ZQUndoManager* undoManager() const override { return GeometryTablePane::undoManager(); }
    VLTM_VXQAdornmentController* adornmentsController() const { return m_adornmentsController.get(); }
    const QList<ZQObjectPtr>& adornments() const { return m_adornments; }

    void setSelectedAdornments(const QVariantList& adornments);
    void setMixedValueForSelectedAdornments() {}
    void setIsSimpleStraightLine(bool) {}
    void setMixedValueForIsSimpleStraightLine() {}

    // Writes "autoInsertsShims", which the pane does not show, to every unlocked track.
    Q_INVOKABLE void insertAdaptorsAction(QObject* sender = nullptr);
    Q_INVOKABLE void forceDisconnectionAction(QObject* sender = nullptr);
    // The special item commands, sent to the one selected track.
    Q_INVOKABLE void insertSpecialItem(const QByteArray& command);
    // The special items need exactly one track that can take one where its selection is.
    bool canInsertSpecialItem();

    QToolButton* insertSpecialCommandsPopUp();
    QPushButton* forceDisconnectionButton();
    QCheckBox* insertAdaptorsCheckbox();

protected:
    void addCustomControls(QFormLayout& form) override;
    void setCustomEnabling(bool mayEdit) override;
    void lockDidChange(bool locked, bool mixed) override;

private:
    std::shared_ptr<VLTM_VXQAdornmentController> m_adornmentsController;
    QList<ZQObjectPtr> m_adornments;
    QPointer<QToolButton> m_insertSpecialCommandsPopUp;
    QPointer<QPushButton> m_forceDisconnectionButton;
    QPointer<QCheckBox> m_insertAdaptorsCheckbox;
};
