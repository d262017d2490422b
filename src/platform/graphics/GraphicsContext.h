#pragma once

// The context drawing code draws into without being handed a painter: a QPainter with the
// current fill and stroke colours. Contexts form a stack per thread; a Scope pushes one
// for the duration of a drawing pass, so views, image renderers and PDF writers can call
// code that asks for GraphicsContext::current().
//
// A context saves the painter's state when pushed and restores it when popped, and starts
// with black fill and stroke colours.

#include <QColor>
#include <QRectF>

class QPainter;

namespace platform {

class GraphicsContext {
public:
    // The innermost context of this thread, or null outside any drawing pass.
    static GraphicsContext* current();

    // Pushes a context on `painter` (which must outlive the scope) and pops it at the end.
    class Scope {
    public:
        // `forScreen`: the painter paints pixels a view shows (an image it keeps), though no widget.
        explicit Scope(QPainter* painter, bool flipped = true, bool forScreen = false);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;
        GraphicsContext& context();

    private:
        GraphicsContext* m_context;
    };

    QPainter* painter() const { return m_painter; }
    // Whether y grows downwards, as in views and images (PDF pages drawn y-up answer false).
    bool isFlipped() const { return m_flipped; }
    // Whether the painter paints a widget, or pixels a view shows: on-screen aids are drawn
    // there and nowhere else (not into images, PDF or printers).
    bool isDrawingToScreen() const;

    // Nested save and restore of the painter state, colours included.
    void saveGraphicsState();
    void restoreGraphicsState();

    QColor fillColour() const;
    void setFillColour(const QColor& colour);
    QColor strokeColour() const;
    void setStrokeColour(const QColor& colour);

    GraphicsContext(const GraphicsContext&) = delete;
    GraphicsContext& operator=(const GraphicsContext&) = delete;

private:
    GraphicsContext(QPainter* painter, bool flipped, bool forScreen);
    ~GraphicsContext();

    QPainter* m_painter;
    bool m_flipped;
    bool m_forScreen;
    int m_savedStates = 0;
};

// Strokes the two diagonals of `rect` in the current context's stroke colour.
void DrawCrossInRect(const QRectF& rect, double lineWidth = 1.0);

} // namespace platform
