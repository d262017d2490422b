// Typing into the template chooser's filter over 2,000 templates in 40 categories: each
// keystroke filters the category's templates; the disk was read when the category was chosen.

#include "support/BenchSupport.h"

#include "windows/WindowsClasses.h"
#include "windows/templates/QVNTemplatePickerController.h"
#include "windows/templates/TemplateGridModel.h"

#include <QApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cstdio>

namespace {

constexpr int kCategories = 40;
constexpr int kTemplatesPerCategory = 50;
constexpr int kKeystrokes = 60;

// Template packages need only their folder to be listed and named.
bool writeTemplates(const QString& root)
{
    for (int c = 0; c < kCategories; ++c) {
        const QDir category(QDir(root).filePath(QStringLiteral("Category %1").arg(c)));
        for (int t = 0; t < kTemplatesPerCategory; ++t) {
            const QString name = QStringLiteral("Town map %1-%2.quorvane_map").arg(c).arg(t);
            if (!QDir().mkpath(category.filePath(name)))
                return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    registerWindowsClasses();
    QTemporaryDir root;
    if (!root.isValid() || !writeTemplates(root.path())) {
        std::fprintf(stderr, "could not write the templates\n");
        return 1;
    }
    QVNTemplatePickerController picker;
    picker.parts(); // the window, with its grid, as the user sees it
    const double listSeconds = bench::secondsOf([&] { picker.setTemplatesRoot(root.path()); });
    if (picker.templates().size() != kCategories * kTemplatesPerCategory) {
        std::fprintf(stderr, "listed %lld templates\n", qlonglong(picker.templates().size()));
        return 1;
    }

    // Typing "map 1" and deleting it again, one keystroke at a time.
    const QString typed = QStringLiteral("map 1");
    std::vector<double> keystrokes;
    for (int i = 0; i < kKeystrokes; ++i) {
        const int step = i % (2 * typed.size());
        const int length = step < typed.size() ? step + 1 : 2 * typed.size() - step - 1;
        keystrokes.push_back(bench::millisecondsOf([&] { picker.setFilterString(typed.left(length)); }));
    }
    std::printf("listing the category: %.1f ms\n", 1000 * listSeconds);
    bench::printValue(QStringLiteral("template_filter_typing_2000"), bench::median(keystrokes), "ms", 16);
    return 0;
}
