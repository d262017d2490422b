#pragma once

#include <QImage>
#include <QMenu>
#include <QObject>
#include <QTableView>
#include <tuple>

// A table delegate that supplies a context menu and remembers what it was asked.
class MenuSupplier : public QObject {
    Q_OBJECT

public:
    Q_INVOKABLE QMenu* contextualMenuForTableViewTableColumnRow(QTableView* table, int column, int row)
    {
        asked = {table, column, row};
        return &menu;
    }

    std::tuple<QTableView*, int, int> asked{nullptr, -2, -2};
    QMenu menu;
};

// A represented object that makes images to order and counts them.
class ImageMaker : public QObject {
    Q_OBJECT

public:
    Q_INVOKABLE QImage imageToFitSize(QSizeF size)
    {
        ++calls;
        QImage image(size.toSize(), QImage::Format_ARGB32);
        image.fill(Qt::red);
        return image;
    }
    int calls = 0;
};
