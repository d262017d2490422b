#pragma once

// A button whose bezel is a rounded rectangle. Buttons laid edge to edge in a grid (a
// QGridLayout with no spacing, or positions given explicitly) join into one rounded box:
// only the grid's outer corners are rounded, and each button reaches one point into its
// right and lower neighbours so that neighbours share their border lines.

#include <QAbstractButton>
#include <optional>

// Where a button stands in its grid.
struct ZQGridPosition {
    int row = 0;
    int column = 0;
    int rowCount = 1;
    int columnCount = 1;
};

// The bezel's rectangle and rounded corners (RoundedCorner bits) for a button whose frame,
// already snapped to the pixel grid, is `frame`; without a grid position the bezel is
// inset from a standalone button's edges.
struct ZQRoundCornerBezel {
    QRectF rect;
    int corners = 0;
};
ZQRoundCornerBezel roundCornerBezel(const QRectF& frame, const std::optional<ZQGridPosition>& position);

class ZQRoundCornerButton : public QAbstractButton {
    Q_OBJECT

public:
    static constexpr double kCornerRadius = 5.0;

    explicit ZQRoundCornerButton(QWidget* parent = nullptr);

    // Kept for the owner; the button behaves the same whatever they say.
    bool hasRadioBehaviour() const { return m_radioBehaviour; }
    void setHasRadioBehaviour(bool radio) { m_radioBehaviour = radio; }
    qint64 radioGroupID() const { return m_radioGroupID; }
    void setRadioGroupID(qint64 identifier) { m_radioGroupID = identifier; }

    // The explicit position when set, else the one in the parent's grid layout, else none.
    std::optional<ZQGridPosition> gridPosition() const;
    void setGridPosition(const std::optional<ZQGridPosition>& position);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_radioBehaviour = false;
    qint64 m_radioGroupID = 0;
    std::optional<ZQGridPosition> m_gridPosition;
};
