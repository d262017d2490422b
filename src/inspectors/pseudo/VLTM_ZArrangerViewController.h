#pragma once

// The Arrange pane: stacking order (to front, to back, forwards, backwards), flips, duplicates
// and conversions of the selection. Stacking acts on the current layer's available selected
// objects; flips, Duplicate Once and the conversions go to the drawing view of the current map
// document; linear and polar duplication travel the responder chain to whoever opens their
// sheet. Stacking is usable only while some object of the layer is not selected.

#include "inspectors/pseudo/VLTMGeometryPseudoPane.h"

class QAbstractButton;
class QToolButton;
class VXDrawingView;

class VLTM_ZArrangerViewController : public VLTMGeometryPseudoPane {
    Q_OBJECT
    Q_PROPERTY(qint64 totalObjectCount READ totalObjectCount WRITE setTotalObjectCount)

public:
    enum class StackingMove { ToFront, Forwards, Backwards, ToBack };

    qint64 totalObjectCount() const { return m_totalObjectCount; }
    void setTotalObjectCount(qint64 count) { m_totalObjectCount = count; }

    // Moves the current layer's available selected objects as one named step. Forwards visits
    // them from the top and Backwards from the bottom, so neighbours move together; an object
    // at the end, or stopped by a selected neighbour there, stays.
    void arrange(StackingMove move);
    Q_INVOKABLE void moveToFrontAction(QObject* sender = nullptr) { arrange(StackingMove::ToFront); }
    Q_INVOKABLE void moveForwardsAction(QObject* sender = nullptr) { arrange(StackingMove::Forwards); }
    Q_INVOKABLE void moveBackwardsAction(QObject* sender = nullptr) { arrange(StackingMove::Backwards); }
    Q_INVOKABLE void moveToBackAction(QObject* sender = nullptr) { arrange(StackingMove::ToBack); }

    Q_INVOKABLE void flipHorizontalAction(QObject* sender = nullptr);
    Q_INVOKABLE void flipVerticalAction(QObject* sender = nullptr);
    Q_INVOKABLE void singleDuplicateAction(QObject* sender = nullptr);
    Q_INVOKABLE void linearDuplicateAction(QObject* sender = nullptr);
    Q_INVOKABLE void polarDuplicateAction(QObject* sender = nullptr);
    Q_INVOKABLE void convertToPath(QObject* sender = nullptr);
    Q_INVOKABLE void convertToShape(QObject* sender = nullptr);
    Q_INVOKABLE void convertToShapeGroup(QObject* sender = nullptr);
    Q_INVOKABLE void convertToTextShape(QObject* sender = nullptr);
    Q_INVOKABLE void convertToTextPath(QObject* sender = nullptr);
    Q_INVOKABLE void convertToTrack(QObject* sender = nullptr);
    QString helpIdentifier() const override { return QStringLiteral("arrange-duplicate-and-convert-objects"); }

    void viewDidAppear() override;
    // The stacking buttons, for tests.
    QList<QAbstractButton*> stackingButtons() const;

protected:
    QWidget* loadView() override;
    // The current map document's drawing view; null without one.
    virtual VXDrawingView* drawingView() const;

private:
    // Takes the title and sends the action to the drawing view; nothing without one.
    void sendToDrawingView(const QString& title, const QByteArray& action);
    void enableConvertMenu();

    qint64 m_totalObjectCount = 0;
    QList<QPointer<QAbstractButton>> m_stackingButtons;
    QPointer<QToolButton> m_convertPopUpButton;
};
