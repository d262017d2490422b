#include "platform/foundation/NamedException.h"
#include "app/expressions/ZQMathParser.h"
#include "platform/foundation/ZQAssert.h"

#include <gtest/gtest.h>
#include <cmath>
#include <numbers>

namespace {

// The reason of the syntax error `expression` raises; fails the test when it raises none.
QString syntaxErrorOf(ZQMathParser& parser, const QString& expression)
{
    try {
        parser.evaluate(expression);
    } catch (const platform::NamedException& e) {
        EXPECT_EQ(e.name(), "Error in expression") << expression.toStdString();
        return e.reason();
    }
    ADD_FAILURE() << "no error for " << expression.toStdString();
    return {};
}

} // namespace

TEST(MathParser, PrecedenceAssociativityFunctionsAndIeeeResults)
{
    ZQMathParser parser;
    const std::pair<const char*, double> cases[] = {
        {"1 + 2 * 3", 7}, {"(1 + 2) * 3", 9}, {"10 - 4 - 3", 3}, {"16 / 4 / 2", 2}, {"2 ^ 3 ^ 2", 512}, {"-2 ^ 2", -4},
        {"2 ^ -1", 0.5}, {"--3", 3}, {"+3 - -3", 6}, {"2 * -3", -6}, {"1e3 + .5", 1000.5}, {"2.5E-1", 0.25},
        {"  7  ", 7}, {"3 - 2 ^ 2 * 2", -5}, {"sqrt(16) + abs(-3)", 7}, {"min(3, max(1, 2))", 2}, {"round(2.5)", 3},
        {"round(-2.5)", -3}, {"floor(-1.5)", -2}, {"ceil(1.2)", 2}, {"log10(1000)", 3}, {"ln(exp(2))", 2},
        {"log(exp(1))", 1}, {"sin(pi / 2)", 1}, {"cos(0) + tan(0)", 1}, {"atan(1) * 4", std::numbers::pi},
        {"asin(1) * 2", std::numbers::pi}, {"acos(-1)", std::numbers::pi},
    };
    for (const auto& [expression, expected] : cases)
        EXPECT_NEAR(parser.evaluate(QString::fromLatin1(expression)), expected, 1e-12) << expression;
    EXPECT_EQ(parser.evaluate("1 / 0"), INFINITY);
    EXPECT_TRUE(std::isnan(parser.evaluate("sqrt(-1)")));
    EXPECT_TRUE(parser.variables().isEmpty()); // numbers and functions alone define nothing
}

TEST(MathParser, UnknownNamesBecomeVariablesInOrderOfFirstUse)
{
    ZQMathParser parser = ZQMathParser::parser();
    EXPECT_EQ(parser.evaluate("b * a + b + c_2 + pi"), std::numbers::pi);
    EXPECT_EQ(parser.variables(), QStringList({"b", "a", "c_2"}));

    // A formula computed for many objects: the compiled form must see each new value.
    parser.setSymbolValueForKey(2, "a");
    parser.setSymbolValueForKey(3, "b");
    EXPECT_DOUBLE_EQ(parser.evaluate("b * a + b + c_2 + pi"), 9 + std::numbers::pi);
    parser.setSymbolValueForKey(10, "c_2");
    EXPECT_DOUBLE_EQ(parser.evaluate("b * a + b + c_2 + pi"), 19 + std::numbers::pi);

    // Setting creates; a later expression reuses known names and appends new ones, each once.
    parser.setSymbolValueForKey(5, "d");
    EXPECT_DOUBLE_EQ(parser.evaluate("d * e + a + e * QVNL_POPULATION"), 2);
    EXPECT_EQ(parser.variables(), QStringList({"b", "a", "c_2", "d", "e", "QVNL_POPULATION"}));
}

TEST(MathParser, SyntaxErrorsRaiseAndDefineNothingAndMisuseAsserts)
{
    ZQMathParser parser;
    const char* bad[] = {"1 +", "(1 + 2", "1 + 2)", "2 * * 3", "a b", "3 $ 4", "1.5.2", "()", " ",
                         "foo(2)", "sin", "sin + 1", "sin(1, 2)", "min(1)", "max()", "min(1,)", "2 ^", "1e999"};
    for (const char* expression : bad)
        EXPECT_TRUE(syntaxErrorOf(parser, QString::fromLatin1(expression)).startsWith("error = ")) << expression;
    EXPECT_TRUE(syntaxErrorOf(parser, "foo(2)").contains("'foo' is not a function"));
    EXPECT_TRUE(syntaxErrorOf(parser, "1 + (a * b").contains("missing ')'"));
    EXPECT_TRUE(parser.variables().isEmpty()); // nothing from the failed expressions

    // The parser stays usable, and an error does not replace the compiled formula.
    parser.evaluate("z + 1");
    syntaxErrorOf(parser, "z +");
    parser.setSymbolValueForKey(1, "z");
    EXPECT_DOUBLE_EQ(parser.evaluate("z + 1"), 2);

    EXPECT_THROW(parser.evaluate(QString()), platform::AssertionFailure);
    try {
        parser.evaluate(QStringLiteral(""));
        ADD_FAILURE() << "an empty expression evaluated";
    } catch (const platform::AssertionFailure& e) {
        EXPECT_NE(std::string(e.what()).find("cannot evaluate a nil expression"), std::string::npos);
    }
    EXPECT_THROW(parser.setSymbolValueForKey(1, "sqrt"), platform::AssertionFailure);
}

TEST(MathParser, HostileNestingIsAnErrorNotACrash)
{
    ZQMathParser parser;
    const auto nested = [](int depth) {
        QString text(depth, '(');
        text += '1';
        return text.append(QString(depth, ')'));
    };
    EXPECT_DOUBLE_EQ(parser.evaluate(nested(150)), 1);
    EXPECT_TRUE(syntaxErrorOf(parser, nested(100000)).contains("nested"));
    EXPECT_TRUE(syntaxErrorOf(parser, QString(100000, '-').append('1')).contains("nested"));
    EXPECT_TRUE(syntaxErrorOf(parser, QString("2^").repeated(100000).append('1')).contains("nested"));
    // Long flat expressions are not nesting.
    EXPECT_DOUBLE_EQ(parser.evaluate(QString("+1").repeated(100000).prepend('1')), 100001);
}
