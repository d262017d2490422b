// Selecting 2,000 text shapes of varied fonts in a drawing of 25,000 objects (random rectangles,
// ovals and polylines, and 4,000 text shapes in every installed face at sizes 6 to 40) until the
// Text tab shows their common values; then building the family menu with face submenus and
// titles drawn in their own faces over the installed fonts. Each figure is the 95th percentile
// over the runs, in milliseconds.
//
// Run with QT_QPA_PLATFORM=offscreen.

#include "support/InspectorBench.h"

#include "inspectors/text/VLTMFontMenus.h"
#include "inspectors/text/VLTMTextController.h"
#include "inspectors/text/VLTM_VXTextShapeController.h"
#include "platform/graphics/InstalledFonts.h"
#include "platform/vantrix/drawables/VXTextShape.h"

#include <QMenu>
#include <cstdio>
#include <memory>

namespace {

constexpr QSizeF kPaper(4800, 3000);
constexpr int kObjects = 25000;
constexpr int kTextShapes = 4000;
constexpr int kSelected = 2000;
constexpr int kRuns = 20;
constexpr double kSelectTargetMs = 100;
constexpr double kMenuTargetMs = 300;

QList<QFont> everyInstalledFace()
{
    const platform::InstalledFonts& fonts = platform::InstalledFonts::shared();
    QList<QFont> faces;
    for (const QString& family : fonts.familyNames()) {
        for (const platform::FontFace& face : fonts.facesOfFamily(family))
            faces.append(platform::InstalledFonts::fontForFace(family, face, 12));
    }
    return faces;
}

} // namespace

int main(int argc, char** argv)
{
    inspectorbench::Application app(argc, argv);
    benchscene::OneLayerDrawing scene(kPaper);
    const QList<QFont> faces = everyInstalledFace();
    QRandomGenerator random(2027);
    QList<VXDrawableObjectPtr> objects = inspectorbench::plainObjects(random, kPaper, kObjects - kTextShapes);
    QList<VXDrawableObjectPtr> texts;
    for (int i = 0; i < kTextShapes; ++i) {
        auto text = VXTextShape::textShapeWithStringInRect(QStringLiteral("Label %1").arg(i), benchscene::randomBox(random, kPaper));
        QFont font = faces.at(i % faces.size());
        font.setPointSizeF(6 + random.bounded(35));
        text->textAdornment()->setFont(font);
        texts.append(text);
    }
    objects.append(texts);
    scene.layer->addObjectsFromArray(objects);
    scene.undo.removeAllActions();

    const auto tab = VLTMTextController::make();
    inspectorbench::showTab(*tab, {280, 900}, scene.drawing.get());
    VLTM_VXTextShapeController* pane = tab->textShapeController();

    std::vector<double> selecting;
    for (int run = 0; run < kRuns; ++run) {
        const QList<VXDrawableObjectPtr> chosen = inspectorbench::blockForRun(texts, run, kSelected);
        selecting.push_back(inspectorbench::millisecondsToSelect(*scene.layer, chosen));
        if (pane->content().size() != kSelected || pane->usedFamilies().size() < 2) {
            std::fprintf(stderr, "run %d did not show the selection\n", run);
            return 1;
        }
    }

    VLTMFontMenus::setHasWYSIWYGFontMenu(true);
    std::vector<double> building;
    int items = 0;
    for (int run = 0; run < kRuns; ++run) {
        building.push_back(bench::millisecondsOf([&] {
            std::unique_ptr<QMenu> menu(VLTMFontMenus::makeFontsMenu(pane, "fontMenuAction", true));
            items = int(menu->actions().size());
        }));
    }
    VLTMFontMenus::setHasWYSIWYGFontMenu(false);

    std::printf("selecting: median %.2f ms over %d runs; family menu of %d families: median %.2f ms\n",
                bench::median(selecting), kRuns, items, bench::median(building));
    std::printf("BENCH text_select_2000 value=%.2f unit=ms target=%.0f\n", bench::percentile(selecting, 0.95), kSelectTargetMs);
    std::printf("BENCH font_menu_build value=%.2f unit=ms target=%.0f\n", bench::percentile(building, 0.95), kMenuTargetMs);
    return 0;
}
