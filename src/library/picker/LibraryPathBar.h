#pragma once

// A breadcrumb of where the picker's chosen item lives: one component per level (group,
// library, categories, item), each an icon and a name, separated by chevrons. Its model value
// is the "/"-joined, percent-escaped string of LibraryPickerRules.

#include <QImage>
#include <QList>
#include <QWidget>

class QHBoxLayout;
class QLabel;

class LibraryPathBar : public QWidget {
    Q_OBJECT

public:
    explicit LibraryPathBar(QWidget* parent = nullptr);

    QString stringValue() const { return m_stringValue; }
    // Rebuilds the components; their images are cleared.
    void setStringValue(const QString& value);
    QStringList componentTitles() const;
    // One image per component, first to last; missing images leave a component without one.
    void setComponentImages(const QList<QImage>& images);
    QList<QImage> componentImages() const { return m_images; }

private:
    void rebuild();

    QHBoxLayout* m_layout = nullptr;
    QString m_stringValue;
    QStringList m_titles;
    QList<QImage> m_images;
};
