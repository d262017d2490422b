#pragma once

// A shape that shows text in its box, turned with the shape. Until a text adornment is
// attached (the rasterizer that lays out rich text), the text is drawn in one font and
// colour, wrapped to the box.

#include "platform/vantrix/VXDrawableShape.h"

#include <QFont>

class VXTextShape : public VXDrawableShape {
    Q_OBJECT
    Q_PROPERTY(QString string READ string WRITE setString)
    Q_PROPERTY(QFont font READ font WRITE setFont)
    Q_PROPERTY(QColor textColour READ textColour WRITE setTextColour)
    Q_PROPERTY(int alignment READ alignment WRITE setAlignment)
    Q_CLASSINFO("displayName", "Text")

public:
    // Alignments: 0 left, 1 right, 2 centre, 3 justified.
    VXTextShape();

    static std::shared_ptr<VXTextShape> textShapeWithStringInRect(const QString& string, const QRectF& rect);

    QString string() const { return m_string; }
    void setString(const QString& string);
    QFont font() const { return m_font; }
    void setFont(const QFont& font);
    QColor textColour() const { return m_textColour; }
    void setTextColour(const QColor& colour);
    int alignment() const { return m_alignment; }
    void setAlignment(int alignment);

    // The rasterizer that draws the text instead of the plain drawing; may be null.
    VXRasterizerPtr textAdornment() const { return m_textAdornment; }
    void setTextAdornment(const VXRasterizerPtr& adornment);

    static bool allowsInlineImages();
    static void setAllowsInlineImages(bool allows);
    static bool returnInsertsNewline();
    static void setReturnInsertsNewline(bool inserts);
    static bool startEditingOnObjectCreation();
    static void setStartEditingOnObjectCreation(bool starts);

    void drawContent() const override;

    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    void initWithCoder(platform::KeyedUnarchiver& coder) override;

private:
    void drawPlainText() const;

    QString m_string;
    QFont m_font;
    QColor m_textColour{Qt::black};
    int m_alignment = 0;
    VXRasterizerPtr m_textAdornment;
};
