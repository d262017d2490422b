#include "platform/graphics/PdfPageImage.h"

#include <QBuffer>
#include <QPainter>
#include <QtPdf/QPdfDocument>

namespace platform {

QImage imageOfPdfPage(const QByteArray& pdf, int page, QSize size, const QColor& background)
{
    if (pdf.isEmpty() || size.isEmpty())
        return {};
    QBuffer buffer;
    buffer.setData(pdf);
    if (!buffer.open(QIODevice::ReadOnly))
        return {};
    // A buffer is read at once: the document is ready, or failed, when load returns.
    QPdfDocument document;
    document.load(&buffer);
    if (document.status() != QPdfDocument::Status::Ready || page < 0 || page >= document.pageCount())
        return {};
    QImage rendered = document.render(page, size);
    if (rendered.isNull() || !background.isValid())
        return rendered;
    QImage image(rendered.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(background);
    QPainter painter(&image);
    painter.drawImage(0, 0, rendered);
    return image;
}

} // namespace platform
