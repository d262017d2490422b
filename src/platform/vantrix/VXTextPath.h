#pragma once

// Text set along a path, from its start. Until a text adornment is attached, the glyphs
// are placed one by one along the path in one font and colour; text longer than the path
// stops at its end.

#include "platform/vantrix/VXDrawablePath.h"

#include <QFont>

class VXTextPath : public VXDrawablePath {
    Q_OBJECT
    Q_PROPERTY(QString string READ string WRITE setString)
    Q_PROPERTY(QFont font READ font WRITE setFont)
    Q_PROPERTY(QColor textColour READ textColour WRITE setTextColour)
    Q_CLASSINFO("displayName", "Text Path")

public:
    VXTextPath();

    static std::shared_ptr<VXTextPath> textPathWithStringOnPath(const QString& string, const platform::BezierPath& path);

    QString string() const { return m_string; }
    void setString(const QString& string);
    QFont font() const { return m_font; }
    void setFont(const QFont& font);
    QColor textColour() const { return m_textColour; }
    void setTextColour(const QColor& colour);
    VXRasterizerPtr textAdornment() const { return m_textAdornment; }
    void setTextAdornment(const VXRasterizerPtr& adornment);

    void drawContent() const override;

    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    void initWithCoder(platform::KeyedUnarchiver& coder) override;

private:
    void drawTextAlongPath() const;

    QString m_string;
    QFont m_font;
    QColor m_textColour{Qt::black};
    VXRasterizerPtr m_textAdornment;
};
