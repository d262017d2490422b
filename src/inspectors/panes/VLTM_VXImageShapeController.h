#pragma once

// The image shape pane: opacity, scale, whether the image draws over the style, how it is
// composited (the operations the shapes use are marked in the menu), and the commands Edit
// and Crop (one shape at a time), Size To Fit and Crop & Resample (every selected shape, one
// undo step).

#include "inspectors/panes/table/GeometryTablePane.h"

#include <QPointer>

class QPushButton;

class VLTM_VXImageShapeController : public GeometryTablePane {
    Q_OBJECT

public:
    const QMetaObject* managedObjectClass() const override;
    GeometryPaneTable table() const override;
    QStringList customKeyPaths() const override { return {QStringLiteral("locked")}; }
    QString paneTitle() const override;

    Q_INVOKABLE void editAction(QObject* sender = nullptr);
    Q_INVOKABLE void cropAction(QObject* sender = nullptr);
    Q_INVOKABLE void sizeToFitAction(QObject* sender = nullptr);
    Q_INVOKABLE void cropAndResampleAction(QObject* sender = nullptr);
    QString helpIdentifier() const override { return QStringLiteral("edit-images"); }

    QPushButton* editButton();
    QPushButton* cropButton();
    QPushButton* sizeToFitButton();
    QPushButton* cropResampleButton();

protected:
    void addCustomControls(QFormLayout& form) override;
    void setCustomEnabling(bool mayEdit) override;

private:
    // Sends the command to every selected shape as one step with that name.
    void sendToEveryShape(const QByteArray& command, const QString& undoName);
    // The one selected shape, when that is what there is and it can be edited.
    bool hasOneEditableShape();

    QPointer<QPushButton> m_editButton;
    QPointer<QPushButton> m_cropButton;
    QPointer<QPushButton> m_sizeToFitButton;
    QPointer<QPushButton> m_cropResampleButton;
};
