#pragma once

// Text set along a path from its start, standing on it. The text is its text adornment (see
// TextAdornmentOwner.h), laid out along the rendering path; a style, when set, draws under
// it. Text longer than the path stops at its end.

#include "platform/vantrix/drawables/VXDrawablePath.h"
#include "platform/vantrix/text/TextAdornmentOwner.h"

class VXTextPath : public platform::TextAdornmentOwner<VXDrawablePath> {
    Q_OBJECT
    Q_PROPERTY(VXTextAdornment* textAdornment READ textAdornmentObject WRITE setTextAdornmentObject)
    Q_PROPERTY(QString string READ string WRITE setString STORED false)
    Q_PROPERTY(QFont font READ font WRITE setFont STORED false)
    Q_PROPERTY(QColor textColour READ textColour WRITE setTextColour STORED false)
    Q_PROPERTY(int alignment READ alignment WRITE setAlignment STORED false)
    Q_CLASSINFO("displayName", "Text Path")

public:
    // No text, in the system font at 14 points.
    VXTextPath();

    static std::shared_ptr<VXTextPath> textPathWithStringOnPath(const QString& string, const platform::BezierPath& path);

    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    void initWithCoder(platform::KeyedUnarchiver& coder) override;
};
