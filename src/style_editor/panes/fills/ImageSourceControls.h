#pragma once

// The image of an image-using component (tiling fill, image adornment, path decorator): a
// preview with "Choose..." (an open panel of the image files Qt reads, as a sheet) and
// "Paste" buttons. The pane decides what a chosen file's bytes or a pasted image become.

#include <QImage>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <QPushButton>
#include <QLabel>


class ImageSourceControls : public QWidget {
    Q_OBJECT

public:
    // Files larger than this are not read.
    static constexpr qint64 kMaximumFileSize = qint64(256) << 20;

    struct Handlers {
        std::function<void(const QByteArray& fileData)> fileChosen;
        std::function<void(const QImage& image)> pasted;
    };
    explicit ImageSourceControls(Handlers handlers, QWidget* parent = nullptr);

    void showImage(const QImage& image);
    QPushButton* fileButton() const { return m_fileButton; }
    QPushButton* pasteButton() const { return m_pasteButton; }

    // Runs the open panel as a sheet on the window; the file chosen goes to takeImageFile.
    void chooseImageFile();
    // Reads the file and hands over its bytes; a file that cannot be read or is empty gives none.
    void takeImageFile(const QString& path);
    // Hands over the pasteboard's image, when it has one.
    void pasteImage();

    // Whether the general pasteboard holds an image.
    static bool pasteboardCanMakeImage();
    // The image in file bytes; null when they are not a readable image of a size that
    // components accept (VXTilingFill::kMaximumImagePixels).
    static QImage decodedImage(const QByteArray& data);

private:
    Handlers m_handlers;
    QPointer<QLabel> m_preview;
    QPointer<QPushButton> m_fileButton;
    QPointer<QPushButton> m_pasteButton;
};
