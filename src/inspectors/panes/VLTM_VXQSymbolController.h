#pragma once

// The symbol pane: the symbols' scale, their master's name and their sequence numbering (in a
// sequence or not, its kind and first value).
//
// Ticking "sequenceable" puts the symbols into the sequence the pane last saw or made, but only
// when that sequence numbers the symbols' own master; otherwise each symbol is made
// sequenceable in its layer and the sequence it joins is remembered. New content forgets it, so
// symbols of another master never join a sequence that is not theirs.

#include "inspectors/panes/table/GeometryTablePane.h"
#include "symbols/sequences/VXQSymbolSequence.h"

#include <QPointer>

class QCheckBox;
class QLabel;

class VLTM_VXQSymbolController : public GeometryTablePane {
    Q_OBJECT

public:
    // Each key shown through a setter, bound to it.
    const platform::DisplayBindings& displayBindings() const override;
    const QMetaObject* managedObjectClass() const override;
    GeometryPaneTable table() const override;
    QStringList customKeyPaths() const override;
    QString paneTitle() const override;

    VXQSymbolSequence* localSequence() const { return m_localSequence; }
    QCheckBox* sequencableCheckbox();
    QLabel* symbolNameTextField();

    Q_INVOKABLE void sequencableAction(QObject* sender = nullptr);
    void setName(const QString& name);
    void setMixedValueForName();
    void setSequence(QObject* sequence);
    void setMixedValueForSequence();

    void newObjectWasAssigned() override;

protected:
    void addCustomControls(QFormLayout& form) override;
    void setCustomEnabling(bool mayEdit) override;
    void setControlStateForNil() override;

private:
    // The master every selected symbol shares; null when they differ.
    const QObject* commonMaster();

    QPointer<VXQSymbolSequence> m_localSequence;
    QPointer<QCheckBox> m_sequencableCheckbox;
    QPointer<QLabel> m_symbolNameTextField;
};
