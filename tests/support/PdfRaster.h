#pragma once

// PDF pages as an independent reader draws them: poppler's pdftoppm, so tests see what a PDF
// viewer shows rather than what Qt meant to write.

#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace testsupport {

inline bool canRasterisePdf()
{
    return !QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty();
}

// The first page of `pdf` at `dotsPerInch`, opaque over white; null when it cannot be read.
inline QImage rasterisedPdfPage(const QByteArray& pdf, int dotsPerInch = 72)
{
    QTemporaryDir folder;
    QFile file(folder.filePath(QStringLiteral("in.pdf")));
    if (!file.open(QIODevice::WriteOnly) || file.write(pdf) != pdf.size())
        return {};
    file.close();
    QProcess raster;
    raster.start(QStringLiteral("pdftoppm"),
                 {QStringLiteral("-r"), QString::number(dotsPerInch), QStringLiteral("-png"), QStringLiteral("-singlefile"),
                  file.fileName(), folder.filePath(QStringLiteral("page"))});
    if (!raster.waitForFinished(30000) || raster.exitCode() != 0)
        return {};
    return QImage(folder.filePath(QStringLiteral("page.png"))).convertToFormat(QImage::Format_RGB32);
}

// How many images the PDF holds (each a bitmap in place of vector drawing, or an image's mask).
inline int imageObjectsInPdf(const QByteArray& pdf)
{
    return int(pdf.count("/Subtype /Image"));
}

} // namespace testsupport
