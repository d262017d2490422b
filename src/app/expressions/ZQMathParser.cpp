#include "app/expressions/ZQMathParser.h"

#include "platform/foundation/NamedException.h"
#include "platform/foundation/ZQAssert.h"

#include <array>
#include <cmath>
#include <numbers>

namespace {

struct Function {
    QLatin1StringView name;
    int arity;
    double (*unary)(double);
    double (*binary)(double, double);
};

const std::array<Function, 17> kFunctions{{
    {QLatin1StringView("sin"), 1, [](double x) { return std::sin(x); }, nullptr},
    {QLatin1StringView("cos"), 1, [](double x) { return std::cos(x); }, nullptr},
    {QLatin1StringView("tan"), 1, [](double x) { return std::tan(x); }, nullptr},
    {QLatin1StringView("asin"), 1, [](double x) { return std::asin(x); }, nullptr},
    {QLatin1StringView("acos"), 1, [](double x) { return std::acos(x); }, nullptr},
    {QLatin1StringView("atan"), 1, [](double x) { return std::atan(x); }, nullptr},
    {QLatin1StringView("sqrt"), 1, [](double x) { return std::sqrt(x); }, nullptr},
    {QLatin1StringView("abs"), 1, [](double x) { return std::abs(x); }, nullptr},
    {QLatin1StringView("exp"), 1, [](double x) { return std::exp(x); }, nullptr},
    {QLatin1StringView("ln"), 1, [](double x) { return std::log(x); }, nullptr},
    {QLatin1StringView("log"), 1, [](double x) { return std::log(x); }, nullptr},
    {QLatin1StringView("log10"), 1, [](double x) { return std::log10(x); }, nullptr},
    {QLatin1StringView("floor"), 1, [](double x) { return std::floor(x); }, nullptr},
    {QLatin1StringView("ceil"), 1, [](double x) { return std::ceil(x); }, nullptr},
    {QLatin1StringView("round"), 1, [](double x) { return std::round(x); }, nullptr},
    {QLatin1StringView("min"), 2, nullptr, [](double a, double b) { return std::fmin(a, b); }},
    {QLatin1StringView("max"), 2, nullptr, [](double a, double b) { return std::fmax(a, b); }},
}};

int functionIndex(QStringView name)
{
    for (size_t i = 0; i < kFunctions.size(); ++i) {
        if (kFunctions[i].name == name)
            return int(i);
    }
    return -1;
}

enum class Op : quint8 { Push, Load, Negate, Add, Subtract, Multiply, Divide, Power, Call };

struct Instruction {
    Op op;
    double number = 0; // Push
    int index = 0;     // Load: variable; Call: function
};

} // namespace

struct ZQMathParser::CompiledExpression {
    QString source;
    std::vector<Instruction> code; // postfix
    QStringList newNames;          // names the expression introduces, in order of appearance
};

namespace {

// Deeper nesting than any formula needs; the limit keeps hostile input off the stack's end.
constexpr int kMaximumNesting = 200;

// A recursive-descent compiler from expression text to postfix code. Names are resolved
// against the parser's variables; unknown ones get the next free indices and are reported
// in newNames, to be defined only once the whole expression has compiled.
class Compiler {
public:
    Compiler(const QString& text, const QHash<QString, int>& indexOfName, int variableCount)
        : m_text(text), m_indexOfName(indexOfName), m_variableCount(variableCount)
    {
    }

    ZQMathParser::CompiledExpression compile()
    {
        m_result.source = m_text;
        advance();
        expression();
        if (m_token != Token::End)
            fail(QStringLiteral("unexpected '%1'").arg(tokenText()));
        return std::move(m_result);
    }

private:
    enum class Token { Number, Name, Symbol, End };

    [[noreturn]] void fail(const QString& detail) const
    {
        throw platform::NamedException(QStringLiteral("Error in expression"),
                             QStringLiteral("error = %1 at position %2").arg(detail, QString::number(m_start + 1)));
    }

    QStringView tokenText() const { return QStringView(m_text).mid(m_start, m_end - m_start); }
    bool isSymbol(char c) const { return m_token == Token::Symbol && m_text.at(m_start) == QLatin1Char(c); }
    bool accept(char c)
    {
        if (!isSymbol(c))
            return false;
        advance();
        return true;
    }
    void expect(char c)
    {
        if (!accept(c))
            fail(m_token == Token::End ? QStringLiteral("missing '%1'").arg(QLatin1Char(c))
                                       : QStringLiteral("expected '%1' instead of '%2'").arg(QLatin1Char(c)).arg(tokenText()));
    }
    void emit(Op op, double number = 0, int index = 0) { m_result.code.push_back({op, number, index}); }

    void advance()
    {
        const qsizetype length = m_text.size();
        m_start = m_end;
        while (m_start < length && m_text.at(m_start).isSpace())
            ++m_start;
        m_end = m_start;
        if (m_start == length) {
            m_token = Token::End;
            return;
        }
        const auto isDigit = [&](qsizetype i) { return i < length && m_text.at(i).isDigit(); };
        const QChar c = m_text.at(m_start);
        if (isDigit(m_start) || (c == QLatin1Char('.') && isDigit(m_start + 1))) {
            scanNumber(isDigit);
        } else if (c.isLetter() || c == QLatin1Char('_')) {
            while (m_end < length && (m_text.at(m_end).isLetterOrNumber() || m_text.at(m_end) == QLatin1Char('_')))
                ++m_end;
            m_token = Token::Name;
        } else if (QStringView(u"+-*/^(),").contains(c)) {
            m_end = m_start + 1;
            m_token = Token::Symbol;
        } else {
            m_end = m_start + 1;
            fail(QStringLiteral("unexpected character '%1'").arg(c));
        }
    }

    template <class IsDigit>
    void scanNumber(const IsDigit& isDigit)
    {
        while (isDigit(m_end))
            ++m_end;
        if (m_end < m_text.size() && m_text.at(m_end) == QLatin1Char('.')) {
            ++m_end;
            while (isDigit(m_end))
                ++m_end;
        }
        if (m_end < m_text.size() && (m_text.at(m_end) == QLatin1Char('e') || m_text.at(m_end) == QLatin1Char('E'))) {
            qsizetype exponent = m_end + 1;
            if (exponent < m_text.size() && (m_text.at(exponent) == QLatin1Char('+') || m_text.at(exponent) == QLatin1Char('-')))
                ++exponent;
            if (isDigit(exponent)) {
                m_end = exponent;
                while (isDigit(m_end))
                    ++m_end;
            }
        }
        bool ok = false;
        m_number = tokenText().toDouble(&ok); // "C" conventions whatever the locale
        if (!ok)
            fail(QStringLiteral("number '%1' out of range").arg(tokenText()));
        m_token = Token::Number;
    }

    void expression()
    {
        term();
        while (true) {
            if (accept('+')) {
                term();
                emit(Op::Add);
            } else if (accept('-')) {
                term();
                emit(Op::Subtract);
            } else {
                return;
            }
        }
    }

    void term()
    {
        unary();
        while (true) {
            if (accept('*')) {
                unary();
                emit(Op::Multiply);
            } else if (accept('/')) {
                unary();
                emit(Op::Divide);
            } else {
                return;
            }
        }
    }

    // Every level of nesting passes through here, so the depth is counted here.
    void unary()
    {
        if (++m_depth > kMaximumNesting)
            fail(QStringLiteral("expression nested deeper than %1 levels").arg(kMaximumNesting));
        if (accept('-')) {
            unary();
            emit(Op::Negate);
        } else if (accept('+')) {
            unary();
        } else {
            power();
        }
        --m_depth;
    }

    void power()
    {
        primary();
        if (accept('^')) {
            unary(); // right-associative, and 2^-1 reads as 2^(-1)
            emit(Op::Power);
        }
    }

    void primary()
    {
        switch (m_token) {
        case Token::Number:
            emit(Op::Push, m_number);
            advance();
            return;
        case Token::Name:
            name();
            return;
        case Token::Symbol:
            if (accept('(')) {
                expression();
                expect(')');
                return;
            }
            fail(QStringLiteral("unexpected '%1'").arg(tokenText()));
        case Token::End:
            fail(QStringLiteral("unexpected end of expression"));
        }
    }

    void name()
    {
        const QString name = tokenText().toString();
        advance();
        const int function = functionIndex(name);
        if (isSymbol('(')) {
            if (function < 0)
                fail(QStringLiteral("'%1' is not a function").arg(name));
            call(function);
        } else if (function >= 0) {
            fail(QStringLiteral("function '%1' needs its arguments in parentheses").arg(name));
        } else {
            emit(Op::Load, 0, variableIndex(name));
        }
    }

    void call(int function)
    {
        const Function& f = kFunctions[size_t(function)];
        expect('(');
        int count = 0;
        if (!isSymbol(')')) {
            do {
                expression();
                ++count;
            } while (accept(','));
        }
        expect(')');
        if (count != f.arity)
            fail(QStringLiteral("'%1' takes %2 argument(s), not %3").arg(f.name).arg(f.arity).arg(count));
        emit(Op::Call, 0, function);
    }

    int variableIndex(const QString& name)
    {
        if (const auto known = m_indexOfName.constFind(name); known != m_indexOfName.cend())
            return *known;
        const qsizetype introduced = m_result.newNames.indexOf(name);
        if (introduced >= 0)
            return m_variableCount + int(introduced);
        m_result.newNames.append(name);
        return m_variableCount + int(m_result.newNames.size()) - 1;
    }

    const QString& m_text;
    const QHash<QString, int>& m_indexOfName;
    const int m_variableCount;
    ZQMathParser::CompiledExpression m_result;
    Token m_token = Token::End;
    qsizetype m_start = 0, m_end = 0; // the current token's text
    double m_number = 0;
    int m_depth = 0;
};

double applyOperator(Op op, double left, double right)
{
    switch (op) {
    case Op::Add:
        return left + right;
    case Op::Subtract:
        return left - right;
    case Op::Multiply:
        return left * right;
    case Op::Divide:
        return left / right;
    default:
        return std::pow(left, right);
    }
}

double run(const std::vector<Instruction>& code, const std::vector<double>& values)
{
    std::vector<double> stack;
    stack.reserve(code.size());
    for (const Instruction& instruction : code) {
        switch (instruction.op) {
        case Op::Push:
            stack.push_back(instruction.number);
            break;
        case Op::Load:
            stack.push_back(values[size_t(instruction.index)]);
            break;
        case Op::Negate:
            stack.back() = -stack.back();
            break;
        case Op::Call:
            if (const Function& f = kFunctions[size_t(instruction.index)]; f.arity == 1) {
                stack.back() = f.unary(stack.back());
            } else {
                const double second = stack.back();
                stack.pop_back();
                stack.back() = f.binary(stack.back(), second);
            }
            break;
        case Op::Add:
        case Op::Subtract:
        case Op::Multiply:
        case Op::Divide:
        case Op::Power: {
            const double right = stack.back();
            stack.pop_back();
            stack.back() = applyOperator(instruction.op, stack.back(), right);
            break;
        }
        }
    }
    return stack.back();
}

} // namespace

ZQMathParser::ZQMathParser()
{
    setSymbolValueForKey(std::numbers::pi, QStringLiteral("pi"));
}

double ZQMathParser::evaluate(const QString& expression)
{
    ZQ_ASSERT(!expression.isEmpty(), QStringLiteral("cannot evaluate a nil expression"));
    if (!m_compiled || m_compiled->source != expression) {
        auto compiled = std::make_shared<CompiledExpression>(
            Compiler(expression, m_indexOfName, int(m_names.size())).compile());
        for (const QString& name : compiled->newNames)
            defineVariable(name);
        m_compiled = std::move(compiled);
    }
    return run(m_compiled->code, m_values);
}

void ZQMathParser::setSymbolValueForKey(double value, const QString& name)
{
    ZQ_ASSERT(!isFunctionName(name), QStringLiteral("'%1' is a function, not a variable").arg(name));
    const auto known = m_indexOfName.constFind(name);
    const int index = known != m_indexOfName.cend() ? *known : defineVariable(name);
    m_values[size_t(index)] = value;
}

QStringList ZQMathParser::variables() const
{
    return m_names.mid(1);
}

bool ZQMathParser::isFunctionName(const QString& name)
{
    return functionIndex(name) >= 0;
}

int ZQMathParser::defineVariable(const QString& name)
{
    const int index = int(m_names.size());
    m_names.append(name);
    m_indexOfName.insert(name, index);
    m_values.push_back(0);
    return index;
}
