#pragma once

// A colour well that edits its colour in the shared colour popover at its side, or in the
// colour panel when the panel is already up (a double click then moves the editing to the
// popover). A standard close of the popover sends the action once (unless the well is
// continuous) and deactivates the well; tearing the popover off changes nothing. Drawn as
// a small pop-up box with up and down arrows (style 1) or as a disc (style 2), translucent
// colours over a chequered pattern; other styles draw as a plain colour well.

#include "platform/ui/ColourWell.h"
#include "widgets/colour/XQColorPickerPopover.h"

#include <QPointer>

class XQPopoverColorWell : public platform::ColourWell {
    Q_OBJECT

public:
    enum Style { PlainStyle = 0, PopUpMenuStyle = 1, RoundStyle = 2 };

    explicit XQPopoverColorWell(QWidget* parent = nullptr);
    ~XQPopoverColorWell() override;

    void setup();

    bool useColorPanelIfAvailable() const { return m_useColorPanelIfAvailable; }
    void setUseColorPanelIfAvailable(bool flag) { m_useColorPanelIfAvailable = flag; }
    int colorWellStyle() const { return m_colorWellStyle; }
    void setColorWellStyle(int style);
    platform::Popover::Edge preferredEdgeForPopover() const { return m_preferredEdgeForPopover; }
    void setPreferredEdgeForPopover(platform::Popover::Edge edge) { m_preferredEdgeForPopover = edge; }
    // The popover while it edits this well.
    XQColorPickerPopover* popover() const { return m_popover; }

    void activate(bool exclusive) override;
    void activateWithPopover();
    void deactivate() override;

    // The popover's delegate message (a Popover::CloseReason).
    Q_INVOKABLE void popoverWillClose(int reason);
    void observePopoverCloseNotification(platform::Popover::CloseReason reason);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void drawPopUpMenuStyleColorWell(QPainter& painter, const QRectF& dirty);
    void drawRoundStyleColorWell(QPainter& painter, const QRectF& dirty);

    bool m_useColorPanelIfAvailable = false;
    int m_colorWellStyle = PlainStyle;
    platform::Popover::Edge m_preferredEdgeForPopover = platform::Popover::MinXEdge;
    QPointer<XQColorPickerPopover> m_popover;
    // Owed by the popover's close unless the deactivation already sent it.
    bool m_closeActionOwed = false;
};
