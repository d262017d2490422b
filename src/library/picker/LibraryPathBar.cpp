#include "library/picker/LibraryPathBar.h"

#include "library/picker/LibraryPickerRules.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>

LibraryPathBar::LibraryPathBar(QWidget* parent)
    : QWidget(parent)
    , m_layout(new QHBoxLayout(this))
{
    setObjectName(QStringLiteral("pathBar"));
    m_layout->setContentsMargins(6, 0, 6, 0);
    m_layout->setSpacing(3);
    m_layout->addStretch();
}

void LibraryPathBar::setStringValue(const QString& value)
{
    m_stringValue = value;
    m_titles = librarypicker::pathBarComponents(value);
    m_images.clear();
    rebuild();
}

QStringList LibraryPathBar::componentTitles() const
{
    return m_titles;
}

void LibraryPathBar::setComponentImages(const QList<QImage>& images)
{
    m_images = images;
    rebuild();
}

void LibraryPathBar::rebuild()
{
    while (QLayoutItem* item = m_layout->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    QFont font = this->font();
    font.setPointSizeF(font.pointSizeF() * 0.85);
    for (qsizetype i = 0; i < m_titles.size(); ++i) {
        if (i > 0) {
            auto* chevron = new QLabel(QStringLiteral("›"), this);
            chevron->setFont(font);
            m_layout->addWidget(chevron);
        }
        if (i < m_images.size() && !m_images[i].isNull()) {
            auto* icon = new QLabel(this);
            icon->setPixmap(QPixmap::fromImage(m_images[i]).scaled(QSize(14, 14), Qt::KeepAspectRatio, Qt::SmoothTransformation));
            m_layout->addWidget(icon);
        }
        auto* title = new QLabel(m_titles[i], this);
        title->setFont(font);
        title->setObjectName(QStringLiteral("pathComponent"));
        m_layout->addWidget(title);
    }
    m_layout->addStretch();
}
