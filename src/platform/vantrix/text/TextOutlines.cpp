#include "platform/vantrix/text/TextOutlines.h"

#include "platform/graphics/AttributedStringLayout.h"

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QHash>
#include <QMutex>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPathStroker>
#include <QRawFont>
#include <QTextLayout>

namespace platform {

namespace {

// Keeps what is painted as filled outlines in device coordinates. Text comes as outlines
// because the base engine turns text items into paths and fills them.
class OutlineRecordingEngine : public QPaintEngine {
public:
    OutlineRecordingEngine() : QPaintEngine(AllFeatures) {}

    QList<TextOutline> outlines;

    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState&) override {}
    Type type() const override { return User; }
    // Colour glyphs and images have no outline to draw effects around.
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}

    void drawPath(const QPainterPath& path) override { paint(path, true); }
    void drawRects(const QRectF* rects, int count) override
    {
        QPainterPath path;
        for (int i = 0; i < count; ++i)
            path.addRect(rects[i]);
        paint(path, true);
    }
    void drawLines(const QLineF* lines, int count) override
    {
        QPainterPath path;
        for (int i = 0; i < count; ++i) {
            path.moveTo(lines[i].p1());
            path.lineTo(lines[i].p2());
        }
        paint(path, false);
    }
    void drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) override
    {
        QPainterPath path;
        path.addPolygon(QPolygonF(QList<QPointF>(points, points + count)));
        if (mode != PolylineMode)
            path.closeSubpath();
        path.setFillRule(mode == WindingMode ? Qt::WindingFill : Qt::OddEvenFill);
        paint(path, mode != PolylineMode);
    }

private:
    void paint(const QPainterPath& path, bool fills)
    {
        const QTransform transform = state->transform();
        if (fills && state->brush().style() != Qt::NoBrush)
            outlines.append({transform.map(path), state->brush().color(), {}});
        const QPen pen = state->pen();
        if (pen.style() == Qt::NoPen)
            return;
        QPainterPathStroker stroker(pen);
        stroker.setWidth(std::max(pen.widthF(), 0.1)); // a cosmetic pen is a hairline
        outlines.append({transform.map(stroker.createStroke(path)), pen.color(), {}});
    }
};

class OutlineRecorder : public QPaintDevice {
public:
    QPaintEngine* paintEngine() const override { return &m_engine; }
    QList<TextOutline> outlines() const { return m_engine.outlines; }

protected:
    int metric(PaintDeviceMetric metric) const override
    {
        constexpr int kSide = 1 << 20;
        switch (metric) {
        case PdmWidth:
        case PdmHeight: return kSide;
        case PdmWidthMM:
        case PdmHeightMM: return int(kSide * 25.4 / 72);
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY: return 72;
        case PdmDepth: return 32;
        case PdmNumColors: return INT_MAX;
        case PdmDevicePixelRatio: return 1;
        case PdmDevicePixelRatioScaled: return int(devicePixelRatioFScale());
        default: return 0;
        }
    }

private:
    mutable OutlineRecordingEngine m_engine;
};

// Outlines by font and glyph: loading an outline costs more than all the rest of setting a
// line, and map labels repeat few glyphs in few fonts.
class GlyphOutlineCache {
public:
    QPainterPath outline(const QRawFont& font, quint32 glyph)
    {
        const QString key = QStringLiteral("%1|%2|%3|%4|%5|%6")
                                .arg(font.familyName(), font.styleName())
                                .arg(font.pixelSize())
                                .arg(font.weight())
                                .arg(int(font.style()))
                                .arg(glyph);
        QMutexLocker lock(&m_mutex);
        if (const auto found = m_outlines.constFind(key); found != m_outlines.cend())
            return *found;
        lock.unlock();
        QPainterPath path = font.pathForGlyph(glyph);
        path.setFillRule(Qt::WindingFill);
        lock.relock();
        if (m_outlines.size() >= kCapacity)
            m_outlines.clear();
        m_outlines.insert(key, path);
        return path;
    }

private:
    static constexpr qsizetype kCapacity = 4096;
    QMutex m_mutex;
    QHash<QString, QPainterPath> m_outlines;
};

GlyphOutlineCache& glyphOutlines()
{
    static GlyphOutlineCache cache;
    return cache;
}

template <class T>
T attributeOr(const TextAttributes& attributes, const QString& name, T fallback)
{
    const QVariant value = attributes.value(name);
    return value.isValid() && value.canConvert<T>() ? value.value<T>() : fallback;
}

QTextCharFormat lineFormat(const TextAttributes& attributes)
{
    QTextCharFormat format;
    format.setFont(attributeOr(attributes, kFontAttributeName, AttributedStringLayout::defaultFont()),
                   QTextCharFormat::FontPropertiesAll);
    if (const double kern = attributeOr(attributes, kKernAttributeName, 0.0); kern != 0) {
        format.setFontLetterSpacingType(QFont::AbsoluteSpacing);
        format.setFontLetterSpacing(kern);
    }
    return format;
}

QString asOneLine(QString text)
{
    for (QChar& c : text) {
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            c = QLatin1Char(' ');
    }
    return text;
}

// The glyphs of one run of `text`, laid out in `layout`.
void appendGlyphsOfRun(GlyphLine& line, const QTextLayout& layout, const TextAttributes& attributes, TextRange run)
{
    const QColor colour = attributeOr(attributes, kForegroundColourAttributeName, QColor(Qt::black));
    const double kern = attributeOr(attributes, kKernAttributeName, 0.0);
    const double raise = attributeOr(attributes, kBaselineOffsetAttributeName, 0.0);
    const bool underlined = attributeOr(attributes, kUnderlineStyleAttributeName, 0) != 0;
    const bool struckThrough = attributeOr(attributes, kStrikethroughStyleAttributeName, 0) != 0;
    for (const QGlyphRun& glyphRun : layout.glyphRuns(int(run.location), int(run.length))) {
        const QRawFont font = glyphRun.rawFont();
        const QList<quint32> indexes = glyphRun.glyphIndexes();
        const QList<QPointF> positions = glyphRun.positions();
        const QList<QPointF> advances = font.advancesForGlyphIndexes(indexes);
        const double thickness = font.lineThickness();
        line.metrics.capHeight = std::max(line.metrics.capHeight, font.capHeight());
        for (qsizetype i = 0; i < indexes.size(); ++i) {
            LineGlyph glyph{glyphOutlines().outline(font, indexes[i]), colour, positions[i].x(), advances.value(i).x()};
            const double span = glyph.advance + kern;
            if (underlined)
                glyph.path.addRect(0, font.underlinePosition(), span, thickness);
            if (struckThrough)
                glyph.path.addRect(0, -font.xHeight() / 2 - thickness / 2, span, thickness);
            glyph.path.translate(0, -raise);
            line.glyphs.append(std::move(glyph));
        }
    }
}

} // namespace

QList<TextOutline> outlinesOfLayout(const AttributedStringLayout& layout, QPointF origin)
{
    OutlineRecorder recorder;
    {
        QPainter painter(&recorder);
        layout.drawAtPoint(&painter, origin);
    }
    return recorder.outlines();
}

LineMetrics lineMetricsOfFont(const QFont& font)
{
    const QFontMetricsF metrics(font, AttributedStringLayout::pointDevice());
    return {metrics.ascent(), metrics.descent(), metrics.capHeight()};
}

GlyphLine glyphLineOfText(const AttributedString& text)
{
    GlyphLine line;
    if (text.isEmpty())
        return line;
    QList<TextRange> runs;
    QList<TextAttributes> runAttributes;
    QList<QTextLayout::FormatRange> formats;
    for (qsizetype i = 0; i < text.length();) {
        TextRange run;
        const TextAttributes attributes = text.attributesAtIndexEffectiveRange(i, &run);
        runs.append(run);
        runAttributes.append(attributes);
        formats.append({int(run.location), int(run.length), lineFormat(attributes)});
        i = run.end();
    }

    QTextLayout layout(asOneLine(text.string()), formats.first().format.font(),
                       AttributedStringLayout::pointDevice());
    layout.setFormats(formats);
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine textLine = layout.createLine();
    textLine.setLineWidth(1e6);
    layout.endLayout();

    line.width = textLine.naturalTextWidth();
    line.metrics.ascent = textLine.ascent();
    line.metrics.descent = textLine.descent();
    for (qsizetype r = 0; r < runs.size(); ++r)
        appendGlyphsOfRun(line, layout, runAttributes[r], runs[r]);
    return line;
}

} // namespace platform
