#pragma once

// The panes whose commands are operations of the current object layer on its selection: the
// boolean operations (shown only when two selected objects may take part) and alignment
// (shown for two objects; distributing needs three). Each command takes its name as the
// pane's title, then asks the layer, which names the undo step.

#include "inspectors/pseudo/VLTMGeometryPseudoPane.h"

class QAbstractButton;

class VLTMLayerOperationPane : public VLTMGeometryPseudoPane {
    Q_OBJECT

protected:
    // The command's title, then the layer's operation of that name, with the pane as sender.
    Command layerCommand(const QString& title, const QByteArray& operation, const QString& label = {});
    QWidget* makePane(const QString& heading, const QList<QList<Command>>& rows,
                      QList<QList<QPointer<QAbstractButton>>>* buttons = nullptr);
};

class VLTM_BooleanOpsViewController : public VLTMLayerOperationPane {
    Q_OBJECT

public:
    QString helpIdentifier() const override { return QStringLiteral("combine-and-clip-shapes"); }

protected:
    QWidget* loadView() override;
};

class VLTM_AlignDistributeController : public VLTMLayerOperationPane {
    Q_OBJECT

public:
    QString helpIdentifier() const override { return QStringLiteral("align-and-distribute-objects"); }
    // Distributing is usable for more than two objects.
    void viewDidAppear() override;
    QList<QAbstractButton*> distributeButtons() const;

protected:
    QWidget* loadView() override;

private:
    QList<QList<QPointer<QAbstractButton>>> m_rows;
};
