#include "platform/graphics/RTFReading.h"

#include "platform/graphics/FontUtilities.h"

#include <QColor>
#include <QCoreApplication>
#include <QFont>
#include <QHash>
#include <QList>
#include <QSet>
#include <algorithm>
#include <cctype>
#include <climits>
#include <array>

namespace platform {
namespace {

constexpr int kMaximumParameterDigits = 10;
constexpr int kMaximumWordLength = 32;
constexpr int kDefaultHalfPoints = 24;

QString tr(const char* text) { return QCoreApplication::translate("RTFReading", text); }

// Bytes 0x80 to 0x9f of the Windows Latin code page RTF text is written in; the rest is Latin-1.
constexpr std::array<char16_t, 32> kWindowsLatinHigh{
    0x20ac, 0xfffd, 0x201a, 0x0192, 0x201e, 0x2026, 0x2020, 0x2021, 0x02c6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xfffd, 0x017d, 0xfffd, 0xfffd, 0x2018, 0x2019, 0x201c, 0x201d, 0x2022,
    0x2013, 0x2014, 0x02dc, 0x2122, 0x0161, 0x203a, 0x0153, 0xfffd, 0x017e, 0x0178};

QChar windowsLatinCharacter(uchar byte)
{
    return byte >= 0x80 && byte < 0xa0 ? QChar(kWindowsLatinHigh[byte - 0x80]) : QChar(byte);
}

// Groups whose content is not text of the document.
bool isSkippedDestination(const QByteArray& word)
{
    static const QSet<QByteArray> skipped{
        "stylesheet", "info",     "pict",       "object",     "header",    "headerl",   "headerr",
        "headerf",    "footer",   "footerl",    "footerr",    "footerf",   "fldinst",   "listtable",
        "listoverridetable",      "rsidtbl",    "revtbl",     "generator", "themedata", "colorschememapping",
        "latentstyles", "datastore", "xmlnstbl", "filetbl",   "footnote",  "annotation", "bkmkstart",
        "bkmkend",    "field_inst"};
    return skipped.contains(word);
}

enum class Destination { Text, FontTable, ColourTable, Skipped };

// What a group sets; a group's end brings back the state of its start.
struct GroupState {
    Destination destination = Destination::Text;
    int font = -1; // -1: the document's default font
    int halfPoints = kDefaultHalfPoints;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int colour = 0; // 0: the automatic colour
    int script = 0;
    int baselineHalfPoints = 0;
    double kern = 0;
    int unicodeSkip = 1;
};

class RTFReader {
public:
    RTFReader(const QByteArray& data, qsizetype maximumLength)
        : m_data(data)
        , m_maximumLength(maximumLength)
    {
    }

    std::optional<AttributedString> read()
    {
        while (m_position < m_data.size() && !isFull()) {
            const char c = m_data[m_position++];
            const bool groupStart = std::exchange(m_groupStart, false);
            switch (c) {
            case '{':
                flush();
                if (m_groups.size() >= kMaximumRTFGroupDepth) {
                    m_refusal = tr("The RTF nests its groups more than %1 deep.").arg(kMaximumRTFGroupDepth);
                    return std::nullopt;
                }
                m_groups.append(m_state);
                m_groupStart = true;
                break;
            case '}':
                flush();
                endGroup();
                if (m_groups.isEmpty())
                    return m_text;
                m_state = m_groups.takeLast();
                if (m_groups.isEmpty())
                    return m_text; // what follows the document's group is not part of it
                break;
            case '\\':
                if (!control(groupStart)) {
                    m_refusal = tr("The RTF holds a number of more than %1 digits.").arg(kMaximumParameterDigits);
                    return std::nullopt;
                }
                break;
            case '\r':
            case '\n':
                break;
            default:
                character(windowsLatinCharacter(uchar(c)));
            }
        }
        flush(); // cut short, or longer than wanted: as far as it goes
        return m_text;
    }

    // Why read() answered nothing.
    const QString& refusal() const { return m_refusal; }

private:
    bool isFull() const { return m_text.length() + m_pending.size() > m_maximumLength; }

    bool control(bool groupStart)
    {
        if (m_position >= m_data.size())
            return true;
        const char first = m_data[m_position];
        if (!std::isalpha(uchar(first))) {
            ++m_position;
            controlSymbol(first, groupStart);
            return true;
        }
        const qsizetype wordStart = m_position;
        while (m_position < m_data.size() && std::isalpha(uchar(m_data[m_position])))
            ++m_position;
        // Words come by the million in large data: a view, not a copy.
        const QByteArray word = QByteArray::fromRawData(m_data.constData() + wordStart,
                                                        std::min<qsizetype>(m_position - wordStart, kMaximumWordLength));
        std::optional<int> parameter;
        const bool negative = m_position < m_data.size() && m_data[m_position] == '-';
        if (negative)
            ++m_position;
        qint64 value = 0;
        int digits = 0;
        while (m_position < m_data.size() && std::isdigit(uchar(m_data[m_position]))) {
            if (++digits > kMaximumParameterDigits)
                return false;
            value = value * 10 + (m_data[m_position++] - '0');
        }
        if (digits > 0)
            parameter = int(std::clamp<qint64>(negative ? -value : value, INT_MIN, INT_MAX));
        if (m_position < m_data.size() && m_data[m_position] == ' ')
            ++m_position;
        flush();
        controlWord(word, parameter, groupStart);
        return true;
    }

    void controlSymbol(char symbol, bool groupStart)
    {
        switch (symbol) {
        case '\\':
        case '{':
        case '}':
            character(QLatin1Char(symbol));
            break;
        case '~':
            character(QChar(0x00a0));
            break;
        case '_':
            character(QChar(0x2011));
            break;
        case '\'':
            hexCharacter();
            break;
        case '*':
            if (groupStart)
                m_state.destination = Destination::Skipped;
            break;
        case '\r':
        case '\n':
            character(QLatin1Char('\n'));
            break;
        default: // optional hyphens and the rest
            break;
        }
    }

    void hexCharacter()
    {
        const QByteArray hex = m_data.mid(m_position, 2);
        bool ok = false;
        const int byte = hex.toInt(&ok, 16);
        m_position += hex.size();
        if (ok && hex.size() == 2)
            character(windowsLatinCharacter(uchar(byte)));
    }

    void controlWord(const QByteArray& word, std::optional<int> parameter, bool groupStart)
    {
        const int value = parameter.value_or(1);
        if (groupStart && (word == "fonttbl" || word == "colortbl" || isSkippedDestination(word))) {
            m_state.destination = word == "fonttbl"    ? Destination::FontTable
                                  : word == "colortbl" ? Destination::ColourTable
                                                       : Destination::Skipped;
            return;
        }
        if (word == "bin") { // binary data of the given length follows
            m_position = std::min<qsizetype>(m_data.size(), m_position + std::max(0, parameter.value_or(0)));
            return;
        }
        if (word == "u") {
            m_skip = 0;
            character(QChar(char16_t(value < 0 ? value + 65536 : value)));
            m_skip = m_state.unicodeSkip;
            return;
        }
        if (word == "uc")
            m_state.unicodeSkip = std::clamp(value, 0, 8);
        else if (word == "deff")
            m_defaultFont = value;
        else if (m_state.destination == Destination::FontTable)
            fontTableWord(word, value);
        else if (m_state.destination == Destination::ColourTable)
            colourTableWord(word, value);
        else
            textWord(word, parameter, value);
    }

    void fontTableWord(const QByteArray& word, int value)
    {
        if (word == "f") {
            m_fontBeingNamed = value;
            m_fontName.clear();
        }
    }

    void colourTableWord(const QByteArray& word, int value)
    {
        const int component = std::clamp(value, 0, 255);
        if (word == "red")
            m_colour.setRed(component);
        else if (word == "green")
            m_colour.setGreen(component);
        else if (word == "blue")
            m_colour.setBlue(component);
        else
            return;
        m_colourGiven = true;
    }

    void textWord(const QByteArray& word, std::optional<int> parameter, int value)
    {
        static const QHash<QByteArray, char16_t> characters{
            {"par", u'\n'},      {"line", u'\n'},      {"sect", u'\n'},      {"tab", u'\t'},
            {"emdash", 0x2014},  {"endash", 0x2013},   {"lquote", 0x2018},   {"rquote", 0x2019},
            {"ldblquote", 0x201c}, {"rdblquote", 0x201d}, {"bullet", 0x2022}, {"emspace", 0x2003},
            {"enspace", 0x2002}};
        if (const auto found = characters.constFind(word); found != characters.constEnd()) {
            character(QChar(*found));
            return;
        }
        GroupState& s = m_state;
        if (word == "plain") {
            const GroupState plain;
            s = {s.destination, plain.font, plain.halfPoints, false, false, false, 0, 0, 0, 0, s.unicodeSkip};
        } else if (word == "b")
            s.bold = value != 0;
        else if (word == "i")
            s.italic = value != 0;
        else if (word == "ul" || word == "uld" || word == "uldb" || word == "ulw" || word == "ulth")
            s.underline = value != 0;
        else if (word == "ulnone")
            s.underline = false;
        else if (word == "f")
            s.font = value;
        else if (word == "fs")
            s.halfPoints = parameter ? std::clamp(value, 2, 3276) : kDefaultHalfPoints;
        else if (word == "cf")
            s.colour = value;
        else if (word == "super")
            s.script = 1;
        else if (word == "sub")
            s.script = -1;
        else if (word == "nosupersub")
            s.script = 0;
        else if (word == "up")
            s.baselineHalfPoints = std::clamp(parameter.value_or(6), -3276, 3276);
        else if (word == "dn")
            s.baselineHalfPoints = -std::clamp(parameter.value_or(6), -3276, 3276);
        else if (word == "expnd")
            s.kern = std::clamp(value, -32767, 32767) / 4.0;
        else if (word == "expndtw")
            s.kern = std::clamp(value, -32767, 32767) / 20.0;
    }

    void character(QChar c)
    {
        if (m_skip > 0) {
            --m_skip;
            return;
        }
        switch (m_state.destination) {
        case Destination::Text:
            if (c.unicode() >= 0x20 || c == QLatin1Char('\n') || c == QLatin1Char('\t'))
                m_pending.append(c);
            break;
        case Destination::FontTable:
            if (c == QLatin1Char(';'))
                nameFont();
            else if (m_fontName.size() <= kMaximumFontFamilyLength)
                m_fontName.append(c); // longer, it names no font
            break;
        case Destination::ColourTable:
            if (c == QLatin1Char(';')) {
                m_colours.append(m_colourGiven ? std::optional<QColor>(m_colour) : std::nullopt);
                m_colour = QColor(Qt::black);
                m_colourGiven = false;
            }
            break;
        case Destination::Skipped:
            break;
        }
    }

    void nameFont()
    {
        const QString name = m_fontName.trimmed();
        if (m_fontBeingNamed >= 0 && !name.isEmpty() && name.size() <= kMaximumFontFamilyLength)
            m_fonts.insert(m_fontBeingNamed, name);
        m_fontName.clear();
    }

    void endGroup()
    {
        // A font entry may close without its semicolon.
        if (m_state.destination == Destination::FontTable)
            nameFont();
    }

    void flush()
    {
        if (m_pending.isEmpty())
            return;
        m_text.appendAttributedString(AttributedString(m_pending, attributes()));
        m_pending.clear();
    }

    TextAttributes attributes() const
    {
        TextAttributes attributes;
        QFont font;
        if (const QString family = m_fonts.value(m_state.font >= 0 ? m_state.font : m_defaultFont); !family.isEmpty())
            font.setFamily(family);
        font.setPointSizeF(m_state.halfPoints / 2.0);
        font.setBold(m_state.bold);
        font.setItalic(m_state.italic);
        attributes.insert(kFontAttributeName, font);
        if (m_state.colour > 0 && m_state.colour < m_colours.size() && m_colours[m_state.colour])
            attributes.insert(kForegroundColourAttributeName, *m_colours[m_state.colour]);
        if (m_state.underline)
            attributes.insert(kUnderlineStyleAttributeName, 1);
        if (m_state.script != 0)
            attributes.insert(kSuperscriptAttributeName, m_state.script);
        if (m_state.baselineHalfPoints != 0)
            attributes.insert(kBaselineOffsetAttributeName, m_state.baselineHalfPoints / 2.0);
        if (m_state.kern != 0)
            attributes.insert(kKernAttributeName, m_state.kern);
        return attributes;
    }

    const QByteArray& m_data;
    qsizetype m_maximumLength;
    qsizetype m_position = 0;
    QList<GroupState> m_groups;
    GroupState m_state;
    bool m_groupStart = false;
    int m_skip = 0; // characters standing in for the last \u character
    int m_defaultFont = 0;
    QHash<int, QString> m_fonts;
    int m_fontBeingNamed = -1;
    QString m_fontName;
    QList<std::optional<QColor>> m_colours;
    QColor m_colour{Qt::black};
    bool m_colourGiven = false;
    QString m_pending;
    AttributedString m_text;
    QString m_refusal;
};

} // namespace

std::optional<AttributedString> attributedStringFromRTF(const QByteArray& rtf, QString* refusal, qsizetype maximumLength)
{
    QString reason;
    std::optional<AttributedString> text;
    if (rtf.size() > kMaximumRTFLength) {
        reason = tr("The RTF is longer than %1 MB.").arg(kMaximumRTFLength / (1024 * 1024));
    } else if (!rtf.startsWith("{\\rtf")) {
        reason = tr("The data is not RTF.");
    } else {
        RTFReader reader(rtf, maximumLength);
        text = reader.read();
        reason = reader.refusal();
    }
    if (!text && refusal)
        *refusal = reason;
    return text;
}

} // namespace platform
