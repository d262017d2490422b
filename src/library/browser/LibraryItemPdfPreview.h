#pragma once

// A PDF preview of library items: one page holding their icons in a grid of a given number of
// columns, drawn by a source that answers as an icon view's data source and delegate.

#include <QByteArray>
#include <QSizeF>
#include <QtGlobal>

class JXDistributedViewDataSource;
class JXDistributedViewDelegate;

namespace librarybrowser {

// `count` cells of `iconSize` plus a point of inset around each, `columns` to a row, on a page
// just that size; asserts on no columns ("number of columns must be > 0").
QByteArray pdfOfIconGrid(JXDistributedViewDataSource& dataSource, JXDistributedViewDelegate& delegate, qint64 count,
                         unsigned columns, QSizeF iconSize);

} // namespace librarybrowser
