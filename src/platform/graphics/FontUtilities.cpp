#include "platform/graphics/FontUtilities.h"

#include "platform/graphics/InstalledFonts.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QHash>
#include <QLocale>
#include <QRegularExpression>
#include <QStringList>
#include <cmath>

namespace platform {

namespace {

constexpr double kDefaultFontSize = 12.0;

struct KnownFamily {
    const char* name;
    QFont::StyleHint hint;
};

// Families documents commonly name that a Linux system often lacks.
constexpr KnownFamily kWellKnownFamilies[] = {
    {"Helvetica", QFont::SansSerif},       {"Helvetica Neue", QFont::SansSerif}, {"Arial", QFont::SansSerif},
    {"Verdana", QFont::SansSerif},         {"Tahoma", QFont::SansSerif},         {"Trebuchet MS", QFont::SansSerif},
    {"Gill Sans", QFont::SansSerif},       {"Futura", QFont::SansSerif},         {"Optima", QFont::SansSerif},
    {"Times", QFont::Serif},               {"Times New Roman", QFont::Serif},    {"Georgia", QFont::Serif},
    {"Palatino", QFont::Serif},            {"Baskerville", QFont::Serif},        {"Garamond", QFont::Serif},
    {"Courier", QFont::Monospace},         {"Courier New", QFont::Monospace},    {"Monaco", QFont::Monospace},
};

struct Family {
    QString name;
    bool installed = false;
    QFont::StyleHint hint = QFont::AnyStyle;
};

QString familyKey(const QString& name)
{
    QString key = name.toLower();
    static const QRegularExpression separators(QStringLiteral("[\\s_-]"));
    key.remove(separators);
    return key;
}

QHash<QString, Family> readFamiliesByKey()
{
    QHash<QString, Family> families;
    for (const KnownFamily& known : kWellKnownFamilies)
        families.insert(familyKey(QLatin1String(known.name)), {QLatin1String(known.name), false, known.hint});
    for (const QString& installed : QFontDatabase::families())
        families.insert(familyKey(installed), {installed, true, QFont::AnyStyle});
    // Qt names a family once per foundry ("Nimbus Sans [urw]"); the plain name resolves too.
    for (const QString& installed : InstalledFonts::shared().familyNames())
        families.insert(familyKey(installed), {installed, true, QFont::AnyStyle});
    return families;
}

// Read once, like the installed font list it extends: a name is resolved for every label drawn.
const QHash<QString, Family>& familiesByKey()
{
    static const QHash<QString, Family> families = readFamiliesByKey();
    return families;
}

struct FaceStyle {
    QFont::Weight weight = QFont::Normal;
    bool italic = false;
};

// Applies one style word ("Bold", "Oblique", "Regular"...); false for a word that is no style.
bool applyStyleWord(const QString& word, FaceStyle& style)
{
    static const QHash<QString, QFont::Weight> weights{
        {"thin", QFont::Thin},           {"hairline", QFont::Thin},       {"ultralight", QFont::ExtraLight},
        {"extralight", QFont::ExtraLight}, {"light", QFont::Light},       {"medium", QFont::Medium},
        {"semibold", QFont::DemiBold},   {"demibold", QFont::DemiBold},   {"demi", QFont::DemiBold},
        {"bold", QFont::Bold},           {"extrabold", QFont::ExtraBold}, {"ultrabold", QFont::ExtraBold},
        {"black", QFont::Black},         {"heavy", QFont::Black},
    };
    static const QStringList plain{"regular", "roman", "book", "plain", "normal", "mt", "ps", "psmt"};
    const QString w = word.toLower();
    if (weights.contains(w))
        style.weight = weights.value(w);
    else if (w == QLatin1String("italic") || w == QLatin1String("oblique") || w == QLatin1String("it"))
        style.italic = true;
    else if (!plain.contains(w))
        return false;
    return true;
}

// "BoldItalicMT" -> "Bold", "Italic", "MT".
QStringList camelWords(const QString& text)
{
    static const QRegularExpression word(QStringLiteral("[A-Z]+(?![a-z])|[A-Z]?[a-z]+"));
    QStringList words;
    for (auto it = word.globalMatch(text); it.hasNext();)
        words << it.next().captured();
    return words;
}

std::optional<Family> lookUpFamily(const QHash<QString, Family>& families, const QString& name)
{
    const QString key = familyKey(name);
    for (const QString& suffix : {QString(), QStringLiteral("psmt"), QStringLiteral("mt"), QStringLiteral("ps")}) {
        if (!key.endsWith(suffix))
            continue;
        const auto found = families.constFind(key.left(key.size() - suffix.size()));
        if (found != families.constEnd())
            return *found;
    }
    return std::nullopt;
}

// Family and style of a PostScript name ("Helvetica-BoldOblique"), a family name, or a
// family name followed by style words ("Helvetica Bold").
std::optional<std::pair<Family, FaceStyle>> resolve(const QString& name)
{
    const QHash<QString, Family>& families = familiesByKey();
    if (auto family = lookUpFamily(families, name))
        return std::pair{*family, FaceStyle()};
    const qsizetype dash = name.indexOf(QLatin1Char('-'));
    if (dash > 0) {
        FaceStyle style;
        const QStringList words = camelWords(name.mid(dash + 1));
        const bool allStyle = !words.isEmpty() && std::all_of(words.begin(), words.end(), [&](const QString& w) {
            return applyStyleWord(w, style);
        });
        if (allStyle) {
            if (auto family = lookUpFamily(families, name.left(dash)))
                return std::pair{*family, style};
        }
    }
    QStringList words = name.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    FaceStyle style;
    while (words.size() > 1 && applyStyleWord(words.last(), style)) {
        words.removeLast();
        if (auto family = lookUpFamily(families, words.join(QLatin1Char(' '))))
            return std::pair{*family, style};
    }
    return std::nullopt;
}

} // namespace

std::optional<QFont> fontWithNameSize(const QString& name, double size)
{
    const double validSize = size > 0 && std::isfinite(size) ? size : kDefaultFontSize;
    if (const auto installed = InstalledFonts::shared().faceWithPostScriptName(name.trimmed()))
        return InstalledFonts::fontForFace(installed->first, installed->second, validSize);
    const auto resolved = resolve(name.trimmed());
    if (!resolved)
        return std::nullopt;
    const auto& [family, style] = *resolved;
    QFont font(family.name);
    if (!family.installed) {
        font.setStyleHint(family.hint);
        // The hint alone may land on a proportional face; a missing fixed-pitch family falls
        // back to the system's fixed font, still under its own name.
        if (family.hint == QFont::Monospace)
            font.setFamilies({family.name, QFontDatabase::systemFont(QFontDatabase::FixedFont).family()});
    }
    font.setPointSizeF(validSize);
    font.setWeight(style.weight);
    font.setItalic(style.italic);
    return font;
}

QString fontNameAndSize(const QString& description, double* size)
{
    const QString text = description.trimmed();
    const qsizetype space = text.lastIndexOf(QLatin1Char(' '));
    bool isNumber = false;
    const double value = space > 0 ? QLocale::c().toDouble(text.mid(space + 1), &isNumber) : 0.0;
    if (size)
        *size = isNumber ? value : 0.0;
    return isNumber ? text.left(space).trimmed() : text;
}

std::optional<QFont> fontValue(const QString& description)
{
    double size = 0;
    const QString name = fontNameAndSize(description, &size);
    return fontWithNameSize(name, size);
}

QString postScriptName(const QFont& font)
{
    if (const std::optional<FontFace> face = InstalledFonts::shared().faceForFont(font))
        return face->postScriptName;
    QString style;
    if (font.weight() >= QFont::Bold)
        style = QStringLiteral("Bold");
    else if (font.weight() >= QFont::DemiBold)
        style = QStringLiteral("Semibold");
    else if (font.weight() >= QFont::Medium)
        style = QStringLiteral("Medium");
    else if (font.weight() <= QFont::Light)
        style = QStringLiteral("Light");
    if (font.italic())
        style += QStringLiteral("Italic");
    const QString family = QString(font.family()).remove(QLatin1Char(' '));
    return style.isEmpty() ? family : family + QLatin1Char('-') + style;
}

QFont systemFontOfSize(double size)
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    if (!InstalledFonts::shared().hasFamily(font.family())) {
        // Qt names the family once per foundry ("Nimbus Sans [urw]").
        const QString drawn = QFontInfo(font).family().section(QStringLiteral(" ["), 0, 0);
        if (InstalledFonts::shared().hasFamily(drawn))
            font.setFamily(drawn);
    }
    font.setPointSizeF(size > 0 && std::isfinite(size) ? size : kDefaultFontSize);
    return font;
}

QFont boldSystemFontOfSize(double size)
{
    QFont font = systemFontOfSize(size);
    font.setBold(true);
    return font;
}

} // namespace platform
