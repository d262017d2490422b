#pragma once

// What feeds a key table its rows and takes back the text a user typed into one. The data
// source is a QObject that also implements this interface.

#include <QString>

class VXQKeyTable;

class VXQKeyTableDatasource {
public:
    virtual ~VXQKeyTableDatasource() = default;

    virtual qsizetype numberOfRowsInKeyTable(const VXQKeyTable& table) const = 0;
    virtual QString keyTableStringValueForRowAtIndex(const VXQKeyTable& table, qsizetype row) const = 0;
    // The row's text as edited in the table (without the cell's line end).
    virtual void keyTableSetStringValueForRowAtIndex(VXQKeyTable& table, const QString& string, qsizetype row) = 0;
};
