#include "windows/templates/TemplatePickerWindow.h"

#include "media/window/ZQImageBrowserView.h"
#include "widgets/cells/ZQIconTextFieldCell.h"
#include "widgets/headers/ZQSingleTitleTableHeaderView.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTreeView>

namespace {

QWidget* categoryPane(TemplatePickerWindow& parts, QWidget* parent)
{
    auto* pane = new QWidget(parent);
    parts.folderTable = new QTreeView(pane);
    parts.tableHeader = new ZQSingleTitleTableHeaderView(parts.folderTable);
    parts.folderTable->setHeader(parts.tableHeader);
    parts.tableHeader->setStretchLastSection(true);
    parts.folderTable->setItemDelegate(new ZQIconTextFieldCell(parts.folderTable));
    parts.folderTable->setIconSize(QSize(16, 16));
    parts.folderTable->setUniformRowHeights(true);

    parts.importButton = new QPushButton(QObject::tr("Import Templates…"), pane);
    parts.importButton->setToolTip(QObject::tr("Copy map files into a category of My Templates"));
    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(4, 4, 4, 4);
    buttons->addWidget(parts.importButton);
    buttons->addStretch();

    auto* layout = new QVBoxLayout(pane);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(parts.folderTable);
    layout->addLayout(buttons);
    return pane;
}

QWidget* templatePane(TemplatePickerWindow& parts, QWidget* parent)
{
    auto* pane = new QWidget(parent);
    parts.searchField = new QLineEdit(pane);
    parts.searchField->setPlaceholderText(QObject::tr("Filter by name"));
    parts.searchField->setClearButtonEnabled(true);
    auto* top = new QHBoxLayout;
    top->setContentsMargins(6, 4, 6, 4);
    top->addStretch();
    top->addWidget(parts.searchField, 1);

    parts.pickerView = new ZQImageBrowserView(pane);
    parts.pickerView->setSelectionMode(QAbstractItemView::SingleSelection);
    parts.pickerView->setZoomValue(1);
    parts.pickerView->setDragEnabled(false);

    auto* layout = new QVBoxLayout(pane);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
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
    parts.window = new QWidget(nullptr, Qt::Window);
    parts.window->setWindowTitle(QObject::tr("Choose a Template"));
    auto* splitter = new QSplitter(Qt::Horizontal, parts.window);
    splitter->addWidget(categoryPane(parts, splitter));
    splitter->addWidget(templatePane(parts, splitter));
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({220, 620});
    auto* layout = new QVBoxLayout(parts.window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(splitter, 1);
    layout->addLayout(buttonRow(parts, parts.window));
    parts.window->resize(840, 560);
    return parts;
}
