#include "support/LogCapture.h"
#include "widgets/sheets/ZQViewSourceController.h"

#include <QDialog>
#include <QFile>
#include <QFontMetricsF>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class SourceDelegate : public QObject, public ZQViewSourceControllerDelegate {
public:
    QUrl urlForViewSourceController(ZQViewSourceController*) override { return url; }
    QUrl url;
};

void write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

TEST(ViewSourceSheet, ShowsEachFileFromItsFirstLineUnwrapped)
{
    const QString svg = QStringLiteral("/usr/share/icons/Adwaita/scalable/places/folder-symbolic.svg");
    ASSERT_TRUE(QFile::exists(svg)) << "the icon theme comes with scripts/deps.sh";
    QTemporaryDir dir;
    const QString second = dir.filePath(QStringLiteral("second.svg"));
    write(second, "<svg xmlns=\"http://www.w3.org/2000/svg\">\n<!-- " + QByteArray(3000, 'x') + " -->\n</svg>\n");

    QWidget window;
    window.show();
    SourceDelegate delegate;
    ZQViewSourceController controller;
    delegate.url = QUrl::fromLocalFile(svg);
    controller.beginSheetModalForWindowDelegate(&window, &delegate);
    QPlainTextEdit* view = controller.textView();
    QFile original(svg);
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    EXPECT_EQ(view->toPlainText(), QString::fromUtf8(original.readAll()));
    EXPECT_TRUE(view->isReadOnly());
    EXPECT_EQ(view->lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_EQ(view->document()->documentMargin(), 16.0);
    const QFontMetricsF metrics(view->document()->defaultFont());
    EXPECT_EQ(metrics.horizontalAdvance(QStringLiteral("i")), metrics.horizontalAdvance(QStringLiteral("W")));
    EXPECT_EQ(view->document()->defaultFont().pointSizeF(), 12.0);
    EXPECT_EQ(controller.window()->windowModality(), Qt::WindowModal);

    QSignalSpy finished(qobject_cast<QDialog*>(controller.window()), &QDialog::finished);
    controller.closeAction(nullptr);
    ASSERT_EQ(finished.size(), 1);
    EXPECT_EQ(finished.first().first().toInt(), 1);

    // The second time, the second file, from its first line; its long line stays one line.
    delegate.url = QUrl::fromLocalFile(second);
    controller.beginSheetModalForWindowDelegate(&window, &delegate);
    EXPECT_TRUE(view->toPlainText().startsWith(QStringLiteral("<svg")));
    EXPECT_EQ(view->document()->blockCount(), 4);
    EXPECT_EQ(view->textCursor().position(), 0);
    EXPECT_TRUE(controller.loadError().isEmpty());
    controller.closeAction(nullptr);
}

TEST(ViewSourceSheet, FilesThatCannotBeShownClearTheViewAndSayWhy)
{
    QTemporaryDir dir;
    const QString good = dir.filePath(QStringLiteral("good.svg"));
    write(good, "<svg/>\n");
    const QString latin1 = dir.filePath(QStringLiteral("latin1.svg"));
    write(latin1, "<svg><!-- caf\xe9 --></svg>");
    const QString huge = dir.filePath(QStringLiteral("huge.svg"));
    {
        QFile file(huge);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(file.resize(ZQViewSourceController::kMaximumSourceSize + 1));
    }

    SourceDelegate delegate;
    ZQViewSourceController controller;
    controller.setDelegate(&delegate);
    for (const QString& bad : {dir.filePath(QStringLiteral("missing.svg")), dir.path(), latin1, huge}) {
        SCOPED_TRACE(bad.toStdString());
        controller.loadTextWithContentsOfURL(QUrl::fromLocalFile(good));
        ASSERT_EQ(controller.textView()->toPlainText(), QStringLiteral("<svg/>\n"));
        testsupport::LogCapture log;
        controller.loadTextWithContentsOfURL(QUrl::fromLocalFile(bad));
        EXPECT_TRUE(controller.textView()->toPlainText().isEmpty()) << "never the previous file";
        EXPECT_FALSE(controller.loadError().isEmpty());
        EXPECT_TRUE(log.contains(QStringLiteral("url could not be loaded, error = ")));
    }
    controller.loadTextWithContentsOfURL(QUrl(QStringLiteral("https://example.org/a.svg")));
    EXPECT_TRUE(controller.loadError().contains(QStringLiteral("not a local file")));

    // A delegate that does not answer, or none, gives an empty sheet without an error.
    QObject silent;
    controller.setDelegate(&silent);
    controller.loadTextWithContentsOfURL(controller.loadTextURL());
    EXPECT_TRUE(controller.textView()->toPlainText().isEmpty());
    EXPECT_TRUE(controller.loadError().isEmpty());
}
