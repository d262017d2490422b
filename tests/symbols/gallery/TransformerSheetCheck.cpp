// The manual check of the data-transformer sheet. Nothing in the program opens the sheet,
// so this one does: a window stands for a map with one placed symbol ("Town", 25,000
// people) and opens the sheet on a transformer of the chosen kind, hosted for that symbol.
// When the sheet ends, the window shows what was handed back and the program prints it.
//
//   transformer-sheet-check --kind colour   bins of colours driving the style
//   transformer-sheet-check --kind text     bins of texts driving the style
//   transformer-sheet-check --kind value    a scale formula, binned into values

#include "TransformerSheetHost.h"
#include "platform/ui/Application.h"
#include "platform/vantrix/drawables/VXDrawableShape.h"
#include "symbols/SymbolClasses.h"
#include "symbols/transformers/editor/VXQDataTransformerController.h"

#include <QCommandLineParser>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <cstdio>

namespace {

std::shared_ptr<VXQBinningDataTransformer> transformerOfKind(const QString& kind)
{
    auto transformer = VXQBinningDataTransformer::dataTransformerWithFormula(QStringLiteral("QVNL_POPULATION / 1000"));
    for (double start : {10.0, 20.0, 30.0})
        transformer->addBinForStartValue(start);
    transformer->setBinningEnabled(true);
    transformer->setOutputPropertyKey(QStringLiteral("style"));
    if (kind == QLatin1String("colour")) {
        transformer->setName(QStringLiteral("Town colours"));
        transformer->setBinDataType(1);
        transformer->bins().first()->setRepresentedObject(QColor(QStringLiteral("#2E7D32")));
        transformer->bins().last()->setRepresentedObject(QColor(QStringLiteral("#F9A825")));
    } else if (kind == QLatin1String("text")) {
        transformer->setName(QStringLiteral("Settlement kind"));
        transformer->setBinDataType(3);
        const QStringList names{QStringLiteral("Hamlet"), QStringLiteral("Village"), QStringLiteral("Town"),
                                QStringLiteral("City")};
        for (int i = 0; i < names.size(); ++i)
            transformer->bins()[i]->setRepresentedObject(names[i]);
    } else {
        transformer->setName(QStringLiteral("Scale by population"));
        transformer->setOutputPropertyKey(QStringLiteral("scaleFactor"));
        transformer->setFormula(QStringLiteral("(QVNL_POPULATION / 10000) + 0.5"));
        transformer->setBinDataType(4);
        transformer->setBinningEnabled(false);
    }
    return transformer;
}

QString summary(const VXQDataTransformerPtr& transformer)
{
    const auto binning = std::dynamic_pointer_cast<VXQBinningDataTransformer>(transformer);
    QStringList bins;
    for (const VXQBinPtr& bin : binning ? binning->bins() : QList<VXQBinPtr>()) {
        const QVariant object = bin->representedObject();
        bins.append(QStringLiteral("%1: %2").arg(bin->startValue()).arg(
            object.metaType() == QMetaType::fromType<QColor>() ? object.value<QColor>().name() : object.toString()));
    }
    return QStringLiteral("'%1' -> %2, formula %3, binning %4, type %5\n%6")
        .arg(transformer->name(), transformer->outputPropertyKey(),
             binning ? binning->formula() : QString(), binning && binning->binningEnabled() ? QStringLiteral("on") : QStringLiteral("off"))
        .arg(binning ? binning->binDataType() : -1)
        .arg(bins.join(QLatin1Char('\n')));
}

} // namespace

int main(int argc, char** argv)
{
    platform::Application application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("transformer-sheet-check"));
    registerSymbolClasses();

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Opens the data-transformer sheet on a placed symbol."));
    parser.addHelpOption();
    const QCommandLineOption kind(QStringLiteral("kind"), QStringLiteral("colour, text or value."), QStringLiteral("kind"),
                                  QStringLiteral("colour"));
    parser.addOption(kind);
    parser.process(application);

    const auto box = VXDrawableShape::drawableShapeWithRect({-10, -5, 20, 10},
                                                            VXStyle::styleWithFillColourStrokeColour(Qt::red, {}));
    const VXQSymbolPtr symbol = VXQSymbol::symbolWithMaster(VXQSymbolMaster::symbolMasterWithObjectName(*box, "Town"));
    symbol->setMetadataItemValueForKey(25000, QStringLiteral("QVNL_POPULATION"));
    TransformerSheetHost host(symbol, transformerOfKind(parser.value(kind)));

    QWidget window;
    window.setWindowTitle(QStringLiteral("Map with one symbol"));
    auto* label = new QLabel(QStringLiteral("Symbol \"Town\", QVNL_POPULATION = 25000\n\n") + summary(host.dataTransformer()));
    label->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    auto* open = new QPushButton(QStringLiteral("Edit Transformer…"));
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(label, 1);
    layout->addWidget(open);
    window.resize(760, 620);
    window.show();

    auto controller = std::make_shared<VXQDataTransformerController>();
    const auto begin = [&] { controller->beginDataTransformerEditorInParentWindowWithDelegate(&window, &host); };
    QObject::connect(open, &QPushButton::clicked, &window, begin);
    QObject::connect(controller->sheet(), &QDialog::finished, &window, [&](int code) {
        const QString text = QStringLiteral("Sheet ended with %1, handed back %2 time(s):\n\n%3")
                                 .arg(code)
                                 .arg(host.handedBack)
                                 .arg(summary(host.dataTransformer()));
        label->setText(text);
        std::printf("%s\n", qPrintable(text));
        std::fflush(stdout);
    }, Qt::QueuedConnection); // after the sheet's own end handler
    begin();
    return application.exec();
}
