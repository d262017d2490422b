#include "panels/dialogs/ZQSmartSearchNamingController.h"

#include "panels/search/MPSearchQuery.h"
#include "platform/ui/Sheet.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

ZQSmartSearchNamingController::ZQSmartSearchNamingController(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(tr("Save Smart Search"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Save this search as:"), this));
    m_nameField = new QLineEdit(this);
    layout->addWidget(m_nameField);
    m_descriptionField = new QLabel(this);
    m_descriptionField->setWordWrap(true);
    layout->addWidget(m_descriptionField);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &ZQSmartSearchNamingController::okAction);
    connect(buttons, &QDialogButtonBox::rejected, this, &ZQSmartSearchNamingController::cancelAction);
    layout->addWidget(buttons);
    setMinimumWidth(380);
}

ZQSmartSearchNamingController* ZQSmartSearchNamingController::runSheetInParentWindow(QWidget* window, QObject* delegate,
                                                                                     const QVariantMap& info)
{
    auto* sheet = new ZQSmartSearchNamingController(window);
    sheet->m_delegate = delegate;
    sheet->m_info = info;
    sheet->setUp();
    platform::Sheet::beginSheetModalForWindowCompletionHandler(sheet, window,
                                                               [sheet](int code) { sheet->sheetDidEnd(code); });
    return sheet;
}

void ZQSmartSearchNamingController::setUp()
{
    const auto* naming = dynamic_cast<const SmartSearchNamingDelegate*>(m_delegate.data());
    const std::optional<QString> preferred = naming ? naming->defaultName() : std::nullopt;
    m_nameField->setText(preferred.value_or(m_info.value(kSmartSearchNamingProposedNameKey).toString()));
    m_nameField->selectAll();
    const auto query =
        std::dynamic_pointer_cast<MPSearchQuery>(m_info.value(kSmartSearchNamingQueryKey).value<ZQObjectPtr>());
    m_descriptionField->setText(query ? query->userReadableDescription().trimmed() : QString());
}

void ZQSmartSearchNamingController::okAction()
{
    platform::Sheet::endSheetReturnCode(this, platform::Sheet::kDefaultReturn);
}

void ZQSmartSearchNamingController::cancelAction()
{
    platform::Sheet::endSheetReturnCode(this, platform::Sheet::kCancelReturn);
}

void ZQSmartSearchNamingController::sheetDidEnd(int returnCode)
{
    if (returnCode == platform::Sheet::kDefaultReturn)
        if (auto* naming = dynamic_cast<SmartSearchNamingDelegate*>(m_delegate.data()))
            naming->applyNameWithInfo(m_nameField->text().trimmed(), m_info);
    deleteLater();
}
