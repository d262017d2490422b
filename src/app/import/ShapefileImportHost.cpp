#include "app/import/ShapefileImportHost.h"

#include "app/progress/ZQProgressController.h"
#include "app/progress/ZQProgressDelegate.h"
#include "app/progress/ZQProgressView.h"
#include "app/import/ZQShapefileObjectFactory.h"
#include "geodata/ZQESRIFile.h"
#include "platform/ui/Alert.h"

#include <QApplication>
#include <QPointer>

namespace {

// Stands between a reader and its row: the row polls a QObject delegate, and the reader
// hears the polls without knowing the progress window.
class ImportProgressRow : public ZQObject, public ZQProgressDelegate, public geodata::ImportProgress {
public:
    ImportProgressRow(ZQESRIFile* reader, const QString& prompt)
        : m_reader(reader), m_row(ZQProgressController::sharedProgress()->progressViewForDelegate(this))
    {
        m_row->setPromptString(prompt);
        m_row->beginProgress();
    }

    double progressFractionForProgressShouldCancel(ZQProgressView*, bool shouldCancel) override
    {
        return m_reader ? m_reader->progressFractionForProgressShouldCancel(this, shouldCancel) : 0.0;
    }

    void endProgress() override { m_row->endProgress(); }

private:
    QPointer<ZQESRIFile> m_reader;
    std::shared_ptr<ZQProgressView> m_row;
};

} // namespace

void ShapefileImportHost::install()
{
    if (!installed())
        ShapefileImportServices::install(std::make_shared<ShapefileImportHost>());
}

std::shared_ptr<geodata::ImportProgress> ShapefileImportHost::beginProgressForReader(ZQESRIFile* reader,
                                                                                     const QString& prompt)
{
    return std::make_shared<ImportProgressRow>(reader, prompt);
}

void ShapefileImportHost::displayErrorAlertWithString(const QString& text)
{
    QApplication::beep();
    platform::Alert alert = platform::Alert::alertWithMessageTextDefaultButtonAlternateButtonOtherButtonInformativeText(
        QObject::tr("Caution: Shapefile errors were encountered."), QObject::tr("OK"), {}, {}, text);
    alert.beginSheetModalForWindowCompletionHandler(nullptr, {});
}

std::shared_ptr<ZQShapefileObjectMaker> ShapefileImportHost::makeObjectFactory()
{
    return ZQShapefileObjectFactory::makeFactory();
}
