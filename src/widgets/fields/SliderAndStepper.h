#pragma once

// The two controls of a field's slider popover, both over doubles: a continuous horizontal
// slider and a pair of step arrows. Each reports the changes the user makes (not those set
// in code) through `moved`, after the new value is in place.

#include <QSlider>
#include <QWidget>

class ZQDoubleSlider : public QSlider {
    Q_OBJECT

public:
    explicit ZQDoubleSlider(QWidget* parent = nullptr);

    double minimumValue() const { return m_minimum; }
    double maximumValue() const { return m_maximum; }
    void setRange(double minimum, double maximum);
    double doubleValue() const { return m_value; }
    // Clamped to the range; values that are not finite are ignored.
    void setDoubleValue(double value);

Q_SIGNALS:
    void moved(double value);

private:
    static constexpr int kPositions = 10000;
    int positionForValue(double value) const;
    void showValue();

    double m_minimum = 0;
    double m_maximum = 1;
    double m_value = 0;
    bool m_showing = false;
};

class ZQStepper : public QWidget {
    Q_OBJECT

public:
    explicit ZQStepper(QWidget* parent = nullptr);

    double minimumValue() const { return m_minimum; }
    double maximumValue() const { return m_maximum; }
    void setRange(double minimum, double maximum);
    double increment() const { return m_increment; }
    void setIncrement(double increment) { m_increment = increment; }
    double doubleValue() const { return m_value; }
    void setDoubleValue(double value);
    // Moves by `steps` increments within the range, as the arrows do.
    void stepBy(int steps);

    QSize sizeHint() const override { return QSize(15, 23); }
    // Narrower, its arrows no longer read as arrows.
    QSize minimumSizeHint() const override { return sizeHint(); }

Q_SIGNALS:
    void moved(double value);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    double m_minimum = 0;
    double m_maximum = 1;
    double m_increment = 1;
    double m_value = 0;
};
