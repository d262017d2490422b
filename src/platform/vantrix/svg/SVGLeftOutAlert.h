#pragma once

// Tells the user, once an SVG file has been imported, which of its elements were left out:
// the import goes on without them, so without this the user would never learn of the gaps.

#include <QString>
#include <QStringList>

class QWidget;

namespace svgimport {

// Each element name once, in the order first met, with its count when it was left out more
// than once: "image (2), filter".
QString leftOutSummary(const QStringList& skipped);

// One alert, modal to `window` (to the application without one); nothing when nothing was
// left out.
void alertLeftOut(const QString& path, const QStringList& skipped, QWidget* window = nullptr);

} // namespace svgimport
