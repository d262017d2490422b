#include "app/commands/MapSearchToolBar.h"

#include "platform/ui/Application.h"
#include "platform/ui/Menu.h"

#include <QLineEdit>
#include <QToolBar>
#include <QToolButton>

namespace {

const QString kSearchFieldName = QStringLiteral("searchField");

} // namespace

namespace MapSearchToolBar {

QToolBar* make(QWidget* window)
{
    auto* bar = new QToolBar(QObject::tr("Search"), window);
    bar->setObjectName(QStringLiteral("searchToolBar"));
    bar->setMovable(false);

    auto* options = new platform::Menu(QObject::tr("Search Options"), bar);
    const QString titles[] = {QObject::tr("Contains"), QObject::tr("Starts With"), QObject::tr("Is Equal To")};
    for (int tag = 0; tag < int(std::size(titles)); ++tag)
        options->addItemWithTitleActionKeyEquivalent(titles[tag], "simpleSearchOptionsAction")->setTag(tag);
    auto* optionsButton = new QToolButton(bar);
    optionsButton->setObjectName(QStringLiteral("searchOptionsButton"));
    optionsButton->setText(QObject::tr("Search Options"));
    optionsButton->setToolButtonStyle(Qt::ToolButtonTextOnly);
    optionsButton->setPopupMode(QToolButton::InstantPopup);
    optionsButton->setMenu(options);

    auto* field = new QLineEdit(bar);
    field->setObjectName(kSearchFieldName);
    field->setPlaceholderText(QObject::tr("Search"));
    field->setClearButtonEnabled(true);
    field->setMaximumWidth(240);
    QObject::connect(field, &QLineEdit::returnPressed, field,
                     [field] { platform::Application::sendActionToFrom("searchFieldAction", nullptr, field); });

    auto* spacer = new QWidget(bar);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    bar->addWidget(spacer);
    bar->addWidget(optionsButton);
    bar->addWidget(field);
    return bar;
}

QLineEdit* searchField(const QWidget* window)
{
    return window ? window->findChild<QLineEdit*>(kSearchFieldName) : nullptr;
}

} // namespace MapSearchToolBar
