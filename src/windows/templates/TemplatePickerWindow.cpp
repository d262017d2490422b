#include "windows/templates/TemplatePickerWindow.h"

#include "media/window/FolderBrowserLayout.h"
#include "media/window/ZQImageBrowserView.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTreeView>

namespace {

QWidget* categoryPane(TemplatePickerWindow& parts, QWidget* parent)
{
    auto* pane = new QWidget(parent);
    parts.folderTable = folderbrowser::folderOutline(pane, parts.tableHeader);

    parts.importButton = new QPushButton(QObject::tr("Import Templates…"), pane);
    parts.importButton->setToolTip(QObject::tr("Copy map files into a category of My Templates"));
    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(4, 4, 4, 4);
    buttons->addWidget(parts.importButton);
    buttons->addStretch();

    auto* layout = folderbrowser::flushColumn(pane);
    layout->addWidget(parts.folderTable);
    layout->addLayout(buttons);
    return pane;
}

QWidget* templatePane(TemplatePickerWindow& parts, QWidget* parent)
{
    auto* pane = new QWidget(parent);
    QHBoxLayout* top = folderbrowser::nameFilterRow(pane, parts.searchField);

    parts.pickerView = new ZQImageBrowserView(pane);
    parts.pickerView->setSelectionMode(QAbstractItemView::SingleSelection);
    parts.pickerView->setZoomValue(1);
    parts.pickerView->setDragEnabled(false);

    auto* layout = folderbrowser::flushColumn(pane);
    layout->addLayout(top);
    layout->addWidget(parts.pickerView, 1);
    return pane;
}

QHBoxLayout* buttonRow(TemplatePickerWindow& parts, QWidget* parent)
{
    parts.showAtStartupCheckbox = new QCheckBox(parent);
    parts.blankDocumentButton = new QPushButton(QObject::tr("Blank Document"), parent);
    parts.blankDocumentButton->setToolTip(QObject::tr("A new empty map, then its drawing set-up"));
    parts.cancelButton = new QPushButton(QObject::tr("Cancel"), parent);
    parts.okButton = new QPushButton(QObject::tr("Choose"), parent);
    parts.okButton->setDefault(true);
    auto* row = new QHBoxLayout;
    row->setContentsMargins(10, 6, 10, 10);
    row->addWidget(parts.showAtStartupCheckbox);
    row->addStretch();
    row->addWidget(parts.blankDocumentButton);
    row->addWidget(parts.cancelButton);
    row->addWidget(parts.okButton);
    return row;
}

} // namespace

TemplatePickerWindow TemplatePickerWindow::build()
{
    TemplatePickerWindow parts;
    const folderbrowser::SplitWindow split = folderbrowser::splitWindow(
        QObject::tr("Choose a Template"), {220, 620}, {840, 560},
        [&](QWidget* parent) { return categoryPane(parts, parent); },
        [&](QWidget* parent) { return templatePane(parts, parent); });
    parts.window = split.window;
    split.layout->addLayout(buttonRow(parts, parts.window));
    return parts;
}
