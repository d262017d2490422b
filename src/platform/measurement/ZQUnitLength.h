#pragma once

// A unit of length: its name, its symbol and how many points (1/72 inch) it spans.
// Units are immutable and identified by their symbol; the class functions answer one
// shared instance per unit.

#include "platform/foundation/ZQObject.h"

#include <QList>
#include <QString>
#include <memory>

class ZQUnitLength;
using ZQUnitLengthPtr = std::shared_ptr<ZQUnitLength>;

class ZQUnitLength : public ZQObject {
    Q_OBJECT
    Q_PROPERTY(QString fullName READ fullName CONSTANT)
    Q_PROPERTY(QString symbol READ symbol CONSTANT)
    Q_PROPERTY(double conversionFactorForPoints READ conversionFactorForPoints CONSTANT)

public:
    // A new unit is the point; decoding turns it into the archived unit.
    ZQUnitLength();

    static ZQUnitLengthPtr points();
    static ZQUnitLengthPtr millimeters();
    static ZQUnitLengthPtr centimeters();
    static ZQUnitLengthPtr meters();
    static ZQUnitLengthPtr kilometers();
    static ZQUnitLengthPtr inches();
    static ZQUnitLengthPtr feet();
    static ZQUnitLengthPtr yards();
    static ZQUnitLengthPtr rods();
    static ZQUnitLengthPtr furlongs();
    static ZQUnitLengthPtr miles();
    static ZQUnitLengthPtr nauticalMiles();

    // The units that menus of lengths offer, in order: metric, then imperial and nautical,
    // then points, with null entries where separators go.
    static QList<ZQUnitLengthPtr> menuUnits();

    // The unit with this symbol ("km", "NM", ...), or null.
    static ZQUnitLengthPtr unitWithSymbol(const QString& symbol);

    QString fullName() const { return m_fullName; } // lower case plural, "kilometres"
    QString symbol() const { return m_symbol; }
    double conversionFactorForPoints() const { return m_pointsPerUnit; }

    bool isEqualToUnit(const ZQUnitLength* other) const;

    std::shared_ptr<ZQObject> copy() const override;
    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    void initWithCoder(platform::KeyedUnarchiver& coder) override;

private:
    void adopt(const char* fullName, const char* symbol, double pointsPerUnit);

    QString m_fullName;
    QString m_symbol;
    double m_pointsPerUnit;
};
