#pragma once

// The shared colour panel: a Qt colour dialog kept open as a non-modal panel.
//
// While colour wells are active, a colour the user picks goes to them (each sets it and
// sends its action). Otherwise the panel sends its action, changeColor unless set, to its
// target or, without one, along the responder chain, with the panel as sender.

#include <QColor>
#include <QList>
#include <QObject>
#include <QPointer>

class QColorDialog;

namespace platform {

class ColourWell;

class ColourPanel : public QObject {
    Q_OBJECT
    Q_PROPERTY(QColor color READ color WRITE setColor NOTIFY colorChanged)

public:
    ~ColourPanel() override;

    static ColourPanel* sharedColorPanel();
    static bool sharedColorPanelExists();

    QColor color() const { return m_color; }
    // Shows the colour without sending it anywhere.
    void setColor(const QColor& colour);
    bool showsAlpha() const;
    void setShowsAlpha(bool flag);

    QObject* target() const { return m_target; }
    void setTarget(QObject* target) { m_target = target; }
    QByteArray action() const { return m_action; }
    void setAction(const QByteArray& action) { m_action = action; }

    bool isVisible() const;
    Q_INVOKABLE void orderFront(QObject* sender);
    Q_INVOKABLE void orderOut(QObject* sender);

    // Takes a colour as if the user had picked it in the panel.
    void userDidPickColor(const QColor& colour);

    QList<ColourWell*> activeWells() const;

    QColorDialog* dialog() const { return m_dialog; }

Q_SIGNALS:
    void colorChanged(const QColor& colour);
    void panelDidClose();

private:
    friend class ColourWell;
    ColourPanel();
    void addActiveWell(ColourWell* well);
    void removeActiveWell(ColourWell* well);

    QColorDialog* m_dialog = nullptr;
    QColor m_color = Qt::white;
    QPointer<QObject> m_target;
    QByteArray m_action = "changeColor";
    QList<QPointer<ColourWell>> m_activeWells;
};

} // namespace platform
