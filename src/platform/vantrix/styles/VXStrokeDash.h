#pragma once

// A dash pattern: up to eight lengths, alternately drawn and skipped, a phase, and whether
// the lengths are in units of the line width. A pattern that adds up to nothing is invalid
// and strokes draw solid.
//
// The registered dashes are those the stroke panes offer; they persist as the property list
// "Saved Dashes.dashes" in the application-support folder.

#include "platform/vantrix/styles/VXRasterizer.h"

#include <QImage>
#include <QList>

namespace platform {
class BezierPath;
}

class VXStrokeDash;
using VXStrokeDashPtr = std::shared_ptr<VXStrokeDash>;

class VXStrokeDash : public VXValueObject {
    Q_OBJECT
    Q_PROPERTY(QList<double> dashPattern READ dashPattern WRITE setDashPattern)
    Q_PROPERTY(double phase READ phase WRITE setPhase)
    Q_PROPERTY(bool scalesToLineWidth READ scalesToLineWidth WRITE setScalesToLineWidth)
    Q_PROPERTY(bool isBeingEdited READ isBeingEdited WRITE setIsBeingEdited STORED false)

public:
    static constexpr int kMaximumCount = 8;

    // The default dash: 5 on, 5 off, scaling with the line width.
    VXStrokeDash();
    static VXStrokeDashPtr dashWithPatternPhase(const QList<double>& pattern, double phase = 0);

    QList<double> dashPattern() const { return m_pattern; }
    // Keeps the first eight lengths; negative or non-finite lengths count as 0.
    void setDashPattern(const QList<double>& pattern);
    int count() const { return int(m_pattern.size()); }
    double phase() const { return m_phase; }
    void setPhase(double phase);
    bool scalesToLineWidth() const { return m_scalesToLineWidth; }
    void setScalesToLineWidth(bool scales);
    bool isBeingEdited() const { return m_isBeingEdited; }
    void setIsBeingEdited(bool editing);

    // The sum of the lengths (in line widths when scaling).
    double length() const;
    // Something is drawn and something skipped: a positive total length.
    bool isValid() const;
    bool isEqualToDash(const VXStrokeDash* other) const;

    // Sets the path's dash for its current line width; an invalid dash leaves it solid.
    void applyToPath(platform::BezierPath& path) const;
    // A horizontal line across the middle of a transparent image, black, dashed.
    QImage dashSwatchImageWithSizeStrokeWidth(QSizeF size, double strokeWidth) const;

    static VXStrokeDashPtr defaultDash();
    // Built-in dashes when nothing was saved yet, else what was saved.
    static QList<VXStrokeDashPtr> registeredDashes();
    // Adds a copy unless an equal dash is registered (answers false then) and saves the list.
    static bool registerDashWithName(const VXStrokeDash& dash, const QString& name = {});
    // The name a dash was registered with, empty when none.
    static QString nameOfRegisteredDash(const VXStrokeDash& dash);
    // Writes the registered dashes (edits made to them included); false, with a log line, on failure.
    static bool saveRegisteredDashes();
    // Forgets the loaded list, so the next call reads the saved file again.
    static void reloadRegisteredDashes();
    static QString registeredDashesFilePath();

private:
    QList<double> m_pattern;
    double m_phase = 0;
    bool m_scalesToLineWidth = true;
    bool m_isBeingEdited = false;
};

Q_DECLARE_METATYPE(VXStrokeDashPtr)
