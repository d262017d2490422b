#pragma once

// One colour stop of the gradient stop editor: a colour at a position from 0 to 1.

#include <QColor>
#include <memory>

class VXQColourStop {
public:
    explicit VXQColourStop(const QColor& colour, float position = 0)
        : m_colour(colour)
        , m_position(position)
    {
    }
    static std::shared_ptr<VXQColourStop> colourStopWithColour(const QColor& colour, float position = 0)
    {
        return std::make_shared<VXQColourStop>(colour, position);
    }

    QColor colour() const { return m_colour; }
    void setColour(const QColor& colour) { m_colour = colour; }
    float position() const { return m_position; }
    void setPosition(float position) { m_position = position; }

private:
    QColor m_colour;
    float m_position;
};

using VXQColourStopPtr = std::shared_ptr<VXQColourStop>;
