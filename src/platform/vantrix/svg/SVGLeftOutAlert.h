#pragma once

// Tells the user, once an SVG file has been imported, which of its elements were left out and
// why: the import goes on without them, so without this the user would never learn of the gaps.

#include <QString>
#include <QStringList>

class QWidget;

namespace svgimport {

// What an import left out: element names, one entry per occurrence, and the reasons, each once.
struct LeftOut {
    QStringList elements;
    QStringList reasons;
};

// Each element name once, in the order first met, with its count when it was left out more
// than once: "image (2), filter".
QString leftOutSummary(const QStringList& skipped);
// The report's text: what was left out, then why, the reasons one to a line (the first few of
// many, and how many more).
QString leftOutReport(const LeftOut& leftOut);

// One alert, modal to `window` (to the application without one); nothing when nothing was
// left out.
void alertLeftOut(const QString& path, const LeftOut& leftOut, QWidget* window = nullptr);

} // namespace svgimport
