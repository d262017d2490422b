#pragma once

// The shared colour panel: a floating tool window whose content shows one of several picker
// modes (pages) chosen from a row of mode buttons. The first mode is a Qt colour dialog;
// higher libraries add their own pages. The content can be lent to another window (a
// popover shows it there) and comes back when the panel is next ordered front.
//
// While colour wells are active, a colour the user picks goes to them (each sets it and
// sends its action). Otherwise the panel sends its action, changeColor unless set, to its
// target or, without one, along the responder chain, with the panel as sender.

#include <QColor>
#include <QImage>
#include <QList>
#include <QObject>
#include <QPointer>

class QButtonGroup;
class QColorDialog;
class QHBoxLayout;
class QStackedWidget;
class QVBoxLayout;
class QWidget;

namespace platform {

class ColourWell;

class ColourPanel : public QObject {
    Q_OBJECT
    Q_PROPERTY(QColor color READ color WRITE setColor NOTIFY colorChanged)

public:
    // One way of picking: its page shows while it is the selected mode.
    struct PickerMode {
        QByteArray identifier;
        QImage icon;
        QString toolTip;
    };
    static constexpr const char* kDialogModeIdentifier = "sliders";

    ~ColourPanel() override;

    static ColourPanel* sharedColorPanel();
    static bool sharedColorPanelExists();

    QColor color() const { return m_color; }
    // Shows the colour without sending it anywhere; an invalid colour is ignored.
    void setColor(const QColor& colour);
    bool showsAlpha() const;
    void setShowsAlpha(bool flag);

    QObject* target() const { return m_target; }
    void setTarget(QObject* target) { m_target = target; }
    QByteArray action() const { return m_action; }
    void setAction(const QByteArray& action) { m_action = action; }

    // --- Picker modes ---------------------------------------------------------------------
    QList<PickerMode> pickerModes() const { return m_modes; }
    bool hasPickerMode(const QByteArray& identifier) const;
    // Appends a mode; the panel takes the page (and deletes it at once for a known identifier).
    void addPickerMode(const PickerMode& mode, QWidget* page);
    QByteArray selectedPickerMode() const;
    // An unknown identifier changes nothing.
    void setSelectedPickerMode(const QByteArray& identifier);

    // --- Content ----------------------------------------------------------------------------
    // The pages of the modes, under no mode bar.
    QWidget* contentView() const;
    // Hands the content to a host, which parents it; the panel window is hidden meanwhile.
    QWidget* lendContentView();
    bool isContentLent() const { return m_contentLent; }
    // Puts lent content back into the panel window (orderFront does this first).
    void takeBackContentView();

    // While disabled, orderFront does nothing, so a well can become active without the
    // panel coming up. Application-wide.
    static void disablePanel();
    static void enablePanel();
    static bool isPanelDisabled();

    QWidget* window() const { return m_window; }
    bool isVisible() const;
    Q_INVOKABLE void orderFront(QObject* sender);
    Q_INVOKABLE void orderOut(QObject* sender);
    // Places the window so its content lies at `contentRect` (global coordinates).
    void setFrameForContentRect(const QRect& contentRect);

    // Takes a colour as if the user had picked it in the panel; an invalid one is ignored.
    void userDidPickColor(const QColor& colour);

    QList<ColourWell*> activeWells() const;

    QColorDialog* dialog() const { return m_dialog; }

Q_SIGNALS:
    void colorChanged(const QColor& colour);
    void panelDidClose();
    void selectedPickerModeChanged(const QByteArray& identifier);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class ColourWell;
    ColourPanel();
    void addActiveWell(ColourWell* well);
    void removeActiveWell(ColourWell* well);
    void showColourInDialog(const QColor& colour);

    QWidget* m_window = nullptr;
    QVBoxLayout* m_windowLayout = nullptr;
    QHBoxLayout* m_modeBar = nullptr;
    QButtonGroup* m_modeButtons = nullptr;
    QStackedWidget* m_content = nullptr;
    QColorDialog* m_dialog = nullptr;
    QList<PickerMode> m_modes;
    bool m_contentLent = false;
    QColor m_color = Qt::white;
    QPointer<QObject> m_target;
    QByteArray m_action = "changeColor";
    QList<QPointer<ColourWell>> m_activeWells;
};

} // namespace platform
