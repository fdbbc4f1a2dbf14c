#include "GpibConf.h"

#include <iterator>
#include <cstdlib>
#include <optional>
#include <regex>

namespace {

// The boards the library has room for (minor 0 to 15).
constexpr long long kBoardCount = 16;

struct Token {
    enum Kind { End, Word, Quoted, Symbol } kind = End;
    std::string text;
    int line = 1;
};

// The library's lexer: blanks, tabs and line ends between tokens, comments
// skipped; words of letters, digits, '_' and '-'; quoted strings; any other
// character a token of its own.
class CLexer {
public:
    explicit CLexer(std::string_view text) : m_text(text) {}

    Token Next()
    {
        for (;;) {
            if (m_at >= m_text.size())
                return {Token::End, "", m_line};
            const char c = m_text[m_at];
            if (c == ' ' || c == '\t' || c == '\n') {
                m_line += c == '\n' ? 1 : 0;
                ++m_at;
            } else if (m_text.compare(m_at, 2, "/*") == 0) {
                // An unclosed comment runs to the end of the file.
                const std::size_t end = m_text.find("*/", m_at + 2);
                const std::size_t next = end == std::string_view::npos ? m_text.size() : end + 2;
                CountLines(next);
            } else {
                break;
            }
        }
        Token token;
        token.line = m_line;
        const char c = m_text[m_at];
        if (c == '"') {
            const std::size_t end = m_text.find('"', m_at + 1);
            if (end == std::string_view::npos) {
                m_unclosedQuote = true;
                CountLines(m_text.size());
                token.kind = Token::End;
                return token;
            }
            token.kind = Token::Quoted;
            token.text = std::string(m_text.substr(m_at + 1, end - m_at - 1));
            CountLines(end + 1);
        } else if (IsWordCharacter(c)) {
            std::size_t end = m_at;
            while (end < m_text.size() && IsWordCharacter(m_text[end]))
                ++end;
            token.kind = Token::Word;
            token.text = std::string(m_text.substr(m_at, end - m_at));
            m_at = end;
        } else {
            token.kind = Token::Symbol;
            token.text = std::string(1, c);
            ++m_at;
        }
        return token;
    }

    bool UnclosedQuote() const { return m_unclosedQuote; }

private:
    static bool IsWordCharacter(char c)
    {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-';
    }

    void CountLines(std::size_t to)
    {
        for (; m_at < to; ++m_at)
            m_line += m_text[m_at] == '\n' ? 1 : 0;
    }

    std::string_view m_text;
    std::size_t m_at = 0;
    int m_line = 1;
    bool m_unclosedQuote = false;
};

// What follows a setting's name.
enum class Value { Number, Bool, OptionalEqualsBool, Text, Timeout, Nothing, Flags };

struct Setting {
    const char* name;
    Value value;
    bool inInterface;
    bool inDevice;
};

constexpr Setting kSettings[] = {
    {"pad", Value::Number, true, true},
    {"sad", Value::Number, true, true},
    {"eos", Value::Number, true, true},
    {"set-reos", Value::OptionalEqualsBool, true, true},
    {"set-bin", Value::OptionalEqualsBool, true, true},
    {"set-xeos", Value::Bool, true, true},
    {"set-eot", Value::Bool, true, true},
    {"timeout", Value::Timeout, true, true},
    {"timo", Value::Timeout, true, true},
    {"base", Value::Number, true, false},
    {"irq", Value::Number, true, false},
    {"dma", Value::Number, true, false},
    {"pci_bus", Value::Number, true, false},
    {"pci_slot", Value::Number, true, false},
    {"master", Value::OptionalEqualsBool, true, false},
    {"controller", Value::OptionalEqualsBool, true, false},
    {"board_type", Value::Text, true, false},
    {"name", Value::Text, true, true},
    {"sysfs_device_path", Value::Text, true, false},
    {"serial_number", Value::Text, true, false},
    {"minor", Value::Number, false, true},
    {"init-string", Value::Text, false, true},
    {"init-flags", Value::Flags, false, true},
    {"autopoll", Value::Nothing, false, true},
};

// The library's timeout constants, T_NUMBER tokens with their index as value.
constexpr const char* kTimeoutConstants[] = {"TNONE", "T10us", "T30us", "T100us", "T300us", "T1ms",
                                             "T3ms",  "T10ms", "T30ms", "T100ms", "T300ms", "T1s",
                                             "T3s",   "T10s",  "T30s",  "T100s",  "T300s",  "T1000s"};

// The value of a number token as the library's strtol reads it (0x.. hex, a
// leading 0 octal, beyond the range the largest value); nothing for a word that
// is no number.
std::optional<long long> Number(const Token& token)
{
    static const std::regex number("0[xX][0-9a-fA-F]+|[0-9]+");
    if (token.kind != Token::Word)
        return std::nullopt;
    for (long long index = 0; index < static_cast<long long>(std::size(kTimeoutConstants)); ++index) {
        if (token.text == kTimeoutConstants[index])
            return index;
    }
    if (!std::regex_match(token.text, number))
        return std::nullopt;
    return std::strtoll(token.text.c_str(), nullptr, 0);
}

// Words the lexer turns into tokens of their own (numbers among them), so none
// is a bare string.
bool IsKeyword(const std::string& word)
{
    static const std::regex keyword(
        "interface|device|set-clear|LLO|DCL|EXCL|yes|no|none|(10|30|100|300)us|(1|3|10|30|100|300)ms|"
        "(1|3|10|30|100|300|1000)s");
    for (const Setting& setting : kSettings) {
        if (word == setting.name)
            return true;
    }
    return std::regex_match(word, keyword) || Number(Token{Token::Word, word, 0}).has_value();
}

bool IsTimeWord(const std::string& word)
{
    static const std::regex time("none|(10|30|100|300)us|(1|3|10|30|100|300)ms|(1|3|10|30|100|300|1000)s");
    return std::regex_match(word, time);
}

class CParser {
public:
    explicit CParser(std::string_view text) : m_lexer(text) {}

    GpibConf Parse()
    {
        Advance();
        while (m_conf.fault.empty() && m_token.kind != Token::End) {
            if (IsWord("interface"))
                Section(true);
            else if (IsWord("device"))
                Section(false);
            else
                Fault(Shown() + " where a section (interface or device) should begin");
        }
        if (m_conf.fault.empty() && m_lexer.UnclosedQuote())
            Fault("a quotation mark that is never closed");
        return m_conf;
    }

private:
    void Advance() { m_token = m_lexer.Next(); }

    bool IsWord(const char* word) const { return m_token.kind == Token::Word && m_token.text == word; }
    bool IsSymbol(char c) const { return m_token.kind == Token::Symbol && m_token.text[0] == c; }

    std::string Shown() const
    {
        switch (m_token.kind) {
        case Token::End:
            return "the end of the file";
        case Token::Quoted:
            return "\"" + m_token.text + "\"";
        case Token::Symbol:
            if (m_token.text == "\r")
                return "a carriage return (a Windows line end, which the library does not accept)";
            if (m_token.text == "#")
                return "'#' (the file's comments are /* ... */ only)";
            return "'" + m_token.text + "'";
        case Token::Word:
            break;
        }
        return m_token.text;
    }

    void Fault(const std::string& what)
    {
        if (m_conf.fault.empty()) {
            m_conf.faultLine = m_token.line;
            m_conf.fault = what;
        }
    }

    bool Expect(char symbol, const std::string& where)
    {
        if (!IsSymbol(symbol)) {
            Fault(Shown() + " where '" + std::string(1, symbol) + "' should follow " + where);
            return false;
        }
        Advance();
        return true;
    }

    void Section(bool interface)
    {
        const char* kind = interface ? "interface" : "device";
        const int begun = m_token.line;
        Advance();
        if (!Expect('{', kind))
            return;
        if (interface && !BoardMinor())
            return;
        while (m_conf.fault.empty() && !IsSymbol('}')) {
            if (m_token.kind == Token::End) {
                Fault("the file ends inside the " + std::string(kind) + " section begun on line " +
                      std::to_string(begun));
                return;
            }
            Statement(interface);
        }
        Advance();
    }

    // An interface section begins with the board's minor number.
    bool BoardMinor()
    {
        if (!IsWord("minor")) {
            Fault(Shown() + " where an interface section should begin with minor = N");
            return false;
        }
        Advance();
        if (!Expect('=', "minor"))
            return false;
        const std::optional<long long> minor = Number(m_token);
        if (!minor) {
            Fault("minor = " + Shown() + " is not a board number (0 to 15)");
            return false;
        }
        if (*minor < 0 || *minor >= kBoardCount) {
            Fault("minor = " + m_token.text + " is out of range: the library knows boards 0 to 15");
            return false;
        }
        m_conf.boards.push_back(static_cast<int>(*minor));
        Advance();
        return true;
    }

    void Statement(bool interface)
    {
        const Setting* found = nullptr;
        for (const Setting& setting : kSettings) {
            if (m_token.kind == Token::Word && m_token.text == setting.name &&
                (interface ? setting.inInterface : setting.inDevice))
                found = &setting;
        }
        if (found == nullptr) {
            Fault(Shown() + " is no setting of " + (interface ? "an interface" : "a device") + " section");
            return;
        }
        const std::string name = m_token.text;
        Advance();
        switch (found->value) {
        case Value::Nothing:
            return;
        case Value::OptionalEqualsBool:
            if (IsSymbol('='))
                Advance();
            ValueOf(name, IsWord("yes") || IsWord("no"), "yes or no");
            return;
        case Value::Flags:
            if (!Expect('=', name))
                return;
            while (IsSymbol(',') || IsWord("LLO") || IsWord("DCL") || IsWord("EXCL") || IsWord("set-clear"))
                Advance();
            return;
        default:
            break;
        }
        if (!Expect('=', name))
            return;
        switch (found->value) {
        case Value::Number:
            ValueOf(name, Number(m_token).has_value(), "a number");
            break;
        case Value::Bool:
            ValueOf(name, IsWord("yes") || IsWord("no"), "yes or no");
            break;
        case Value::Text:
            ValueOf(name, m_token.kind == Token::Quoted || (m_token.kind == Token::Word && !IsKeyword(m_token.text)),
                    "a name in quotation marks");
            break;
        case Value::Timeout:
            ValueOf(name, Number(m_token).has_value() || (m_token.kind == Token::Word && IsTimeWord(m_token.text)),
                    "a time such as T3s");
            break;
        default:
            break;
        }
    }

    void ValueOf(const std::string& name, bool fits, const char* wanted)
    {
        if (m_token.kind == Token::End) {
            Fault("the file ends after " + name);
            return;
        }
        if (!fits) {
            Fault(name + " = " + Shown() + ", where the library wants " + wanted);
            return;
        }
        Advance();
    }

    CLexer m_lexer;
    Token m_token;
    GpibConf m_conf;
};

} // namespace

GpibConf ParseGpibConf(std::string_view text)
{
    return CParser(text).Parse();
}
