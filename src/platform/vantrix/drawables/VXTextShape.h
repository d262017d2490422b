#pragma once

// A shape that shows text in its box, turned with the shape. The text is its text adornment
// (see TextAdornmentOwner.h), laid out in the box; a style, when set, draws under it.

#include "platform/vantrix/drawables/VXDrawableShape.h"
#include "platform/vantrix/text/TextAdornmentOwner.h"

class VXTextShape : public platform::TextAdornmentOwner<VXDrawableShape> {
    Q_OBJECT
    Q_PROPERTY(VXTextAdornment* textAdornment READ textAdornmentObject WRITE setTextAdornmentObject)
    Q_PROPERTY(QString string READ string WRITE setString STORED false)
    Q_PROPERTY(QFont font READ font WRITE setFont STORED false)
    Q_PROPERTY(QColor textColour READ textColour WRITE setTextColour STORED false)
    Q_PROPERTY(int alignment READ alignment WRITE setAlignment STORED false)
    Q_CLASSINFO("displayName", "Text")

public:
    // No text, in the system font at 18 points, at the top left of the box.
    VXTextShape();

    static std::shared_ptr<VXTextShape> textShapeWithStringInRect(const QString& string, const QRectF& rect);

    static bool allowsInlineImages();
    static bool returnInsertsNewline();
    static bool startEditingOnObjectCreation();

    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    void initWithCoder(platform::KeyedUnarchiver& coder) override;
};
