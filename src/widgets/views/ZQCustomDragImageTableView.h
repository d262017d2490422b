#pragma once

// A table whose delegate may supply the image of a row drag. The delegate is a QObject
// that also implements ZQCustomDragImageTableViewDelegate; the image's top-left corner
// then sits at the pointer.

#include <QPixmap>
#include <QPointer>
#include <QTableView>

class ZQCustomDragImageTableView;

class ZQCustomDragImageTableViewDelegate {
public:
    virtual ~ZQCustomDragImageTableViewDelegate() = default;

    virtual QPixmap customDragImageInTableViewSelectedRowIndexes(ZQCustomDragImageTableView* table,
                                                                 const QList<int>& rows) = 0;
};

class ZQCustomDragImageTableView : public QTableView {
    Q_OBJECT

public:
    using QTableView::QTableView;

    QObject* delegate() const { return m_delegate; }
    void setDelegate(QObject* delegate) { m_delegate = delegate; }

    // The image for dragging `rows` and its offset from the pointer; a null pixmap means
    // the standard image.
    QPixmap dragImageForRowsWithIndexesTableColumnsEventOffset(const QList<int>& rows, QPoint* offset);

protected:
    void startDrag(Qt::DropActions supportedActions) override;

private:
    QPointer<QObject> m_delegate;
};
