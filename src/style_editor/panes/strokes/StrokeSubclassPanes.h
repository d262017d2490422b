#pragma once

// The panes of the strokes derived from the plain stroke: each appends its rows to the
// stroke pane's table.

#include "style_editor/panes/strokes/VLTMStyleEditSub_VXStroke.h"
#include <QPushButton>
#include "style_editor/arrow/VXQArrowView.h"


class VLTMStyleEditSub_VXArrowStroke : public VLTMStyleEditSub_VXStroke {
    Q_OBJECT

public:
    // Each key shown through a setter, bound to it.
    const platform::DisplayBindings& displayBindings() const override;
    const QMetaObject* managedObjectClass() const override;
    QString helpIdentifier() const override { return QStringLiteral("arrow"); }
    StylePaneTable table() const override;
    QStringList customKeyPaths() const override;
    // The arrow view shows the head's size; the pane shows nothing of it.
    void setArrowHeadWidth(double) {}
    void setArrowHeadLength(double) {}
    VXQArrowView* arrowView() { view(); return m_arrowView; }
    void newObjectWasAssigned() override;

protected:
    void addCustomControls(QFormLayout& form) override;
    void setCustomStates(bool mayEdit) override;
    void observedValueForKeyDidChangeTo(const QString& keyPath, const QVariant& value) override;

private:
    QPointer<VXQArrowView> m_arrowView;
};

class VLTMStyleEditSub_VXZigZagStroke : public VLTMStyleEditSub_VXStroke {
    Q_OBJECT

public:
    const QMetaObject* managedObjectClass() const override;
    QString helpIdentifier() const override { return QStringLiteral("zig-zag-stroke"); }
    StylePaneTable table() const override;
};

class VLTMStyleEditSub_VXRoughStroke : public VLTMStyleEditSub_VXStroke {
    Q_OBJECT

public:
    const QMetaObject* managedObjectClass() const override;
    QString helpIdentifier() const override { return QStringLiteral("rough-stroke"); }
    StylePaneTable table() const override;
};

class VLTMStyleEditSub_VXQTaperedStroke : public VLTMStyleEditSub_VXStroke {
    Q_OBJECT

public:
    const QMetaObject* managedObjectClass() const override;
    QString helpIdentifier() const override { return QStringLiteral("tapered-stroke"); }
    StylePaneTable table() const override;
};

class VLTMStyleEditSub_VXQTaggedStroke : public VLTMStyleEditSub_VXStroke {
    Q_OBJECT

public:
    const QMetaObject* managedObjectClass() const override;
    QString helpIdentifier() const override { return QStringLiteral("tagged-stroke"); }
    StylePaneTable table() const override;

    QPushButton* syncToDashButton() { view(); return m_syncToDashButton; }
    Q_INVOKABLE void syncToDashAction(QObject* sender);

protected:
    void addCustomControls(QFormLayout& form) override;
    void setCustomStates(bool mayEdit) override;

private:
    QPointer<QPushButton> m_syncToDashButton;
};

// The zig-zag rows the zig-zag stroke and fill share.
StylePaneTable zigZagRows();
// The taper shapes of tapered strokes, tags as VXQTaperedStroke::TaperKind.
StylePaneRow::Choices taperKindChoices();
