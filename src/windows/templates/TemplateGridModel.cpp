#include "windows/templates/TemplateGridModel.h"

#include "media/window/MediaGridModel.h"

void TemplateGridModel::setTemplates(const QList<QVNTemplateItemPtr>& templates)
{
    beginResetModel();
    for (const QVNTemplateItemPtr& item : std::as_const(m_templates))
        disconnect(item.get(), nullptr, this, nullptr);
    m_templates = templates;
    for (const QVNTemplateItemPtr& item : std::as_const(m_templates)) {
        const QVNTemplateItem* raw = item.get();
        connect(raw, &QVNTemplateItem::imageChanged, this, [this, raw] { imageChanged(raw); });
    }
    endResetModel();
}

int TemplateGridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_templates.size());
}

QVariant TemplateGridModel::data(const QModelIndex& index, int role) const
{
    const QVNTemplateItemPtr item = itemAt(index.row());
    if (!item || index.parent().isValid())
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return item->name();
    case Qt::DecorationRole:
        return item->image();
    case MediaGridModel::SubtitleRole:
        return item->dimensionsAndScaleInfo();
    default:
        return {};
    }
}

void TemplateGridModel::imageChanged(const QVNTemplateItem* item)
{
    const auto found = std::find_if(m_templates.cbegin(), m_templates.cend(),
                                    [item](const QVNTemplateItemPtr& listed) { return listed.get() == item; });
    if (found == m_templates.cend())
        return;
    const QModelIndex changed = index(int(found - m_templates.cbegin()));
    Q_EMIT dataChanged(changed, changed, {Qt::DecorationRole});
}
