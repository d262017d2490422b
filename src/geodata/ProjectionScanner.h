#pragma once

// Scans the bracketed text of a projection file (.prj) token by token: a token is the text
// up to the next "[", "]" or ",", without surrounding white space.

#include <QString>
#include <QStringView>

namespace geodata {

class ProjectionScanner {
public:
    explicit ProjectionScanner(QString text) : m_text(std::move(text)) {}

    bool isAtEnd() const;
    // Scans the token up to the next delimiter and answers it; the scanner then stands on
    // the delimiter, or at the end of the text when there is none.
    QStringView scanToken();
    // The delimiter the scanner stands on ('\0' at the end).
    QChar delimiter() const;
    void skipDelimiter();
    // Moves back to where the last token began, so a nested level can scan it again.
    void moveBackToTokenStart() { m_position = m_tokenStart; }

    // Nesting guard: hostile files can nest brackets deeply enough to exhaust the stack.
    bool enterLevel() { return ++m_depth <= kMaximumDepth; }
    void leaveLevel() { --m_depth; }

private:
    static constexpr int kMaximumDepth = 64;

    QString m_text;
    qsizetype m_position = 0;
    qsizetype m_tokenStart = 0;
    int m_depth = 0;
};

} // namespace geodata
