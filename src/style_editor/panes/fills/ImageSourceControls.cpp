#include "style_editor/panes/fills/ImageSourceControls.h"

#include "platform/foundation/ZQLog.h"
#include "platform/vantrix/styles/VXTilingFill.h"
#include "platform/foundation/RegularFile.h"
#include "platform/ui/OpenPanel.h"
#include "platform/ui/Pasteboard.h"

#include <QBuffer>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QPushButton>
#include <QUrl>

namespace {

constexpr int kPreviewSide = 48;

} // namespace

ImageSourceControls::ImageSourceControls(Handlers handlers, QWidget* parent)
    : QWidget(parent)
    , m_handlers(std::move(handlers))
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_preview = new QLabel(this);
    m_preview->setFixedSize(kPreviewSide, kPreviewSide);
    m_preview->setFrameShape(QFrame::StyledPanel);
    m_preview->setAlignment(Qt::AlignCenter);
    m_fileButton = new QPushButton(tr("Choose..."), this);
    m_pasteButton = new QPushButton(tr("Paste"), this);
    connect(m_fileButton, &QPushButton::clicked, this, &ImageSourceControls::chooseImageFile);
    connect(m_pasteButton, &QPushButton::clicked, this, &ImageSourceControls::pasteImage);
    layout->addWidget(m_preview);
    layout->addWidget(m_fileButton);
    layout->addWidget(m_pasteButton);
    layout->addStretch();
}

void ImageSourceControls::showImage(const QImage& image)
{
    m_preview->setPixmap(image.isNull() ? QPixmap()
                                        : QPixmap::fromImage(image.scaled(kPreviewSide - 4, kPreviewSide - 4,
                                                                          Qt::KeepAspectRatio,
                                                                          Qt::SmoothTransformation)));
}

void ImageSourceControls::chooseImageFile()
{
    QStringList extensions;
    for (const QByteArray& format : QImageReader::supportedImageFormats())
        extensions.append(QString::fromLatin1(format));
    platform::OpenPanel panel;
    panel.setCanChooseFiles(true);
    panel.setCanChooseDirectories(false);
    panel.setAllowsMultipleSelection(false);
    panel.setCanCreateDirectories(false);
    panel.setFileTypeFilters({{tr("Images"), extensions}});
    panel.setMessage(tr("Choose an image"));
    QPointer<ImageSourceControls> self(this);
    panel.beginSheetModalForWindowCompletionHandler(window(), [self, panel](int result) {
        if (self && result == 1 && !panel.URLs().isEmpty())
            self->takeImageFile(panel.URLs().first().toLocalFile());
    });
}

void ImageSourceControls::takeImageFile(const QString& path)
{
    QString reason;
    const std::optional<QByteArray> data = platform::readRegularFile(path, kMaximumFileSize, &reason);
    if (!data || data->isEmpty()) {
        ZQLog(QStringLiteral("no image read from %1: %2").arg(path, reason));
        return;
    }
    m_handlers.fileChosen(*data);
}

void ImageSourceControls::pasteImage()
{
    const QImage image = platform::Pasteboard::generalPasteboard().image();
    if (!image.isNull())
        m_handlers.pasted(image);
}

bool ImageSourceControls::pasteboardCanMakeImage()
{
    return !platform::Pasteboard::generalPasteboard().image().isNull();
}

QImage ImageSourceControls::decodedImage(const QByteArray& data)
{
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (size.isEmpty() || qint64(size.width()) * size.height() > VXTilingFill::kMaximumImagePixels)
        return {};
    return reader.read();
}
