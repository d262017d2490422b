#pragma once

// A larger look at one media browser item in a window of its own, beside the browser: the
// picture fitted to the window, the file name as its title. Raster files are decoded at the
// preview size on the image loader's queue, so a vast or broken file never holds up the
// interface; SVG files show the picture their thumbnail was made from.

#include <QImage>
#include <QPointer>
#include <QWidget>

class QLabel;
class ZQImagePath;

class MediaPreviewWindow : public QWidget {
    Q_OBJECT

public:
    static constexpr int kPreviewSide = 1024; // pixels

    explicit MediaPreviewWindow(QWidget* parent = nullptr);
    ~MediaPreviewWindow() override;

    // Shows the item (none empties the window); a decode still running for an earlier item
    // is not shown when it ends.
    void showItem(ZQImagePath* item);
    QString shownPath() const { return m_path; }
    QImage picture() const { return m_picture; }

Q_SIGNALS:
    void pictureChanged();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void setPicture(const QImage& picture);
    void updateLabel();

    QLabel* m_label;
    QString m_path;
    QImage m_picture;
    quint64 m_request = 0;
};
