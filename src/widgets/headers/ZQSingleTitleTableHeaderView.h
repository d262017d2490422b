#pragma once

// A table header that shows one title bar across the whole table instead of column headers:
// a tinted gradient (flat light grey when the window is not active), one centred title, thin
// dividers over the column boundaries when asked for, and a blue hairline along its bottom.
// It is always 17 points high.

#include <QHeaderView>

class ZQSingleTitleTableHeaderView : public QHeaderView {
    Q_OBJECT

public:
    static constexpr double titleBarHeight = 16.0;
    static constexpr int kHeight = 17;

    explicit ZQSingleTitleTableHeaderView(QWidget* parent = nullptr);

    static QColor titleColour();
    static QFont titleAttributesFont();
    static QColor titleAttributesColour();
    static QColor inactiveTitleAttributesColour();

    QString title() const { return m_title; }
    void setTitle(const QString& title);
    bool drawsColumnDividers() const { return m_drawsColumnDividers; }
    void setDrawsColumnDividers(bool draws);

    QRectF titleBarRect() const { return QRectF(rect()); }
    // Where the title goes, from its top, and how it is aligned across.
    QRectF titleRect(Qt::Alignment* alignment = nullptr) const;
    // The x of each divider: the right edges of all columns but the last.
    QList<double> columnDividerPositions() const;

    // The defaults of a header from an interface file: dividers on.
    void awakeFromInterface() { setDrawsColumnDividers(true); }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_title;
    bool m_drawsColumnDividers = false;
};
