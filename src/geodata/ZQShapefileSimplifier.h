#pragma once

// Reduces a path to fewer straight segments within a tolerance. The base class keeps paths
// as they are; subclasses (chosen by class name in the import options) do the work.

#include "platform/foundation/ZQObject.h"

#include <QPainterPath>

class ZQShapefileSimplifier : public ZQObject {
    Q_OBJECT

public:
    // Takes the strength from the user defaults, where a subclass has one there.
    virtual void init() {}

    double simplification() const { return m_amount; }
    void setSimplification(double amount) { m_amount = amount; }

    QPainterPath simplifyPath(const QPainterPath& path) const { return pathBySimplifyingPath(path); }
    virtual QPainterPath pathBySimplifyingPath(const QPainterPath& path) const { return path; }

private:
    double m_amount = 0;
};
