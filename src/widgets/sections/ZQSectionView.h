#pragma once

// Titled sections stacked from the top of a window down. A ZQSectionView opens to its
// `maxHeight` below a 16-point title bar or closes to the title bar; its ZQMultiSectionView
// then restacks the sections, adjacent title bars sharing a line, and resizes the window with
// animation to fit the stack exactly, keeping the window's top edge.

#include "platform/graphics/Gradient.h"

#include <QPointer>
#include <QWidget>

class QToolButton;
class EffectAnimation;
class ZQMultiSectionView;

class ZQSectionView : public QWidget {
    Q_OBJECT

public:
    static constexpr double titleBarHeight = 16.0;

    // Open when the frame is taller than the title bar.
    explicit ZQSectionView(const QRect& frame = QRect(0, 0, 100, 116), QWidget* parent = nullptr);

    static QColor titleBarColour();
    static const platform::Gradient& titleBarGradient();
    static QFont titleAttributesFont();

    void open();
    void close();
    bool isOpen() const { return m_open; }
    Q_INVOKABLE void toggleOpenCloseAction(QObject* sender);

    double maxHeight() const { return m_maxHeight; }
    void setMaxHeight(double height) { m_maxHeight = height; }
    QString title() const { return m_title; }
    void setTitle(const QString& title);
    bool enabled() const { return m_enabled; }
    void setEnabled(bool enabled);
    ZQMultiSectionView* hostView() const { return m_hostView; }
    void setHostView(ZQMultiSectionView* host) { m_hostView = host; }

    QToolButton* disclosureButton() const { return m_disclosureButton; }
    QWidget* contentView() const { return m_contentView; }
    // The content sits below the title bar and hides while the section is closed.
    void setContentView(QWidget* view);

    QRectF titleBarRect() const;
    QRectF contentRect() const;
    // The text colour: grey 0.25 when enabled, the disabled text colour when not.
    QColor titleAttributesColour() const;
    // Where the title is drawn and how: centred, or left-aligned when too wide.
    QRectF titleRect(Qt::Alignment* alignment = nullptr) const;

    // The defaults of a section from an interface file: its content is the frame less the title bar.
    void awakeFromInterface();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void drawTitleBar(QPainter& painter) const;

    QString m_title = QStringLiteral("untitled");
    bool m_open;
    bool m_enabled = false;
    QToolButton* m_disclosureButton;
    double m_maxHeight = 100.0;
    QPointer<QWidget> m_contentView;
    QPointer<ZQMultiSectionView> m_hostView;
};

class ZQMultiSectionView : public QWidget {
    Q_OBJECT

public:
    explicit ZQMultiSectionView(QWidget* parent = nullptr);

    void addSection(ZQSectionView* section);
    void insertSectionAtIndex(ZQSectionView* section, int index);
    void removeSection(ZQSectionView* section);
    ZQSectionView* sectionAtIndex(int index) const { return m_sections.value(index); }
    QList<ZQSectionView*> sections() const;

    void sectionDidOpen(ZQSectionView* section);
    void sectionDidClose(ZQSectionView* section);
    void openAll();
    void closeAll();
    void setEnabled(bool enabled);

    // Stacks the sections from the top and animates the window to the stack's height.
    void calculateAndSetFrames();
    // The height the window's content is animating to.
    int targetContentHeight() const { return m_targetHeight; }

private:
    QList<QPointer<ZQSectionView>> m_sections;
    QPointer<EffectAnimation> m_windowAnimation;
    int m_targetHeight = 0;
};
