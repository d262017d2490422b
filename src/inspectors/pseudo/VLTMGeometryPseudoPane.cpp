#include "inspectors/pseudo/VLTMGeometryPseudoPane.h"

#include "inspectors/InspectedObjects.h"
#include "inspectors/geometry/VLTMGeometryPaneDelegate.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

VLTMGeometryPseudoPane::VLTMGeometryPseudoPane() = default;

VLTMGeometryPseudoPane::~VLTMGeometryPseudoPane() = default;

VLTMGeometryPaneDelegate* VLTMGeometryPseudoPane::paneDelegate() const
{
    return dynamic_cast<VLTMGeometryPaneDelegate*>(m_delegate.data());
}

VXObjectDrawingLayer* VLTMGeometryPseudoPane::currentLayer()
{
    VLTMGeometryPaneDelegate* delegate = paneDelegate();
    return delegate ? delegate->wantsCurrentDrawingLayerForController(this) : nullptr;
}

qint64 VLTMGeometryPseudoPane::countOfSelectedObjects()
{
    VLTMGeometryPaneDelegate* delegate = paneDelegate();
    return delegate ? delegate->wantsCountOfSelectedObjectsForController(this) : 0;
}

QWidget* VLTMGeometryPseudoPane::makeButtonRow(const QList<Command>& commands, QList<QPointer<QAbstractButton>>* buttons)
{
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    for (const Command& command : commands) {
        auto* button = new QToolButton(row);
        button->setText(command.label.isEmpty() ? command.title : command.label);
        button->setToolTip(command.title);
        button->setAccessibleName(command.title);
        const QString title = command.title;
        const std::function<void()> action = command.action;
        connect(button, &QToolButton::clicked, this, [this, title, action] { perform(title, action); });
        layout->addWidget(button);
        if (buttons)
            buttons->append(button);
    }
    layout->addStretch();
    return row;
}

QWidget* VLTMGeometryPseudoPane::makeHeading(const QString& title)
{
    auto* heading = new QWidget;
    auto* layout = new QHBoxLayout(heading);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(QStringLiteral("<b>%1</b>").arg(title.toHtmlEscaped()), heading));
    layout->addStretch();
    auto* help = new QToolButton(heading);
    help->setText(QStringLiteral("?"));
    help->setToolTip(tr("Help"));
    connect(help, &QToolButton::clicked, this, [this] { inspectors::showHelpForIdentifier(helpIdentifier()); });
    layout->addWidget(help);
    return heading;
}

void VLTMGeometryPseudoPane::perform(const QString& title, const std::function<void()>& action)
{
    setTitle(title);
    action();
}

void VLTMGeometryPseudoPane::viewDidLoad()
{
    view()->installEventFilter(this);
}

bool VLTMGeometryPseudoPane::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == view() && event->type() == QEvent::Show)
        viewDidAppear();
    return platform::ViewController::eventFilter(watched, event);
}
