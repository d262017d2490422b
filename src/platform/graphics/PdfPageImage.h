#pragma once

// Pictures of PDF pages, drawn as a PDF reader shows them.

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QSize>

namespace platform {

// Page `page` of the PDF in `pdf` scaled onto `size` pixels over `background` (transparent when
// invalid); null for data that is no PDF, a page it does not have or an empty size.
QImage imageOfPdfPage(const QByteArray& pdf, int page, QSize size, const QColor& background);

} // namespace platform
