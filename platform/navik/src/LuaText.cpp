#include "LuaText.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>

namespace Navik::LuaText {

namespace {

constexpr std::array<std::string_view, 22> kKeywords = {
    "and", "break", "do", "else", "elseif", "end", "false", "for", "function", "goto", "if",
    "in", "local", "nil", "not", "or", "repeat", "return", "then", "true", "until", "while"};

bool isIdentifierStart(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isIdentifierChar(char c)
{
    return isIdentifierStart(c) || isDigit(c);
}

// The value of a hexadecimal digit, or -1.
int hexDigit(char c)
{
    if (isDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool isKeyword(std::string_view word)
{
    for (std::string_view keyword : kKeywords) {
        if (word == keyword)
            return true;
    }
    return false;
}

// ---------------------------------------------------------------- writing

void appendQuoted(std::string& text, const std::string& value)
{
    text += '"';
    for (const char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
        case '"': text += "\\\""; break;
        case '\\': text += "\\\\"; break;
        case '\n': text += "\\n"; break;
        case '\r': text += "\\r"; break;
        case '\t': text += "\\t"; break;
        default:
            if (byte < 0x20 || byte == 0x7f) {
                // Always three digits, so a digit that follows cannot join the escape.
                const char escape[] = {'\\', char('0' + byte / 100), char('0' + byte / 10 % 10),
                                       char('0' + byte % 10)};
                text.append(escape, sizeof escape);
            } else {
                text += c;
            }
        }
    }
    text += '"';
}

void appendDouble(std::string& text, double value)
{
    if (std::isnan(value)) {
        text += "(0/0)";
        return;
    }
    if (std::isinf(value)) {
        text += value > 0 ? "(1/0)" : "(-1/0)";
        return;
    }
    // The shortest text that reads back as the same double; a decimal point is
    // added where needed so that the reader tells it from an int.
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    const std::string_view digits(buffer, static_cast<std::size_t>(result.ptr - buffer));
    text += digits;
    if (digits.find_first_of(".e") == std::string_view::npos)
        text += ".0";
}

void appendKey(std::string& text, const std::string& key)
{
    if (IsIdentifier(key)) {
        text += key;
    } else {
        text += '[';
        appendQuoted(text, key);
        text += ']';
    }
}

void appendArray(std::string& text, const ValueArray& array, int indent)
{
    if (array.Count() == 0) {
        text += "{ nil }"; // an empty table would read back as a dictionary
        return;
    }
    text += "{ ";
    for (unsigned int i = 0; i < array.Count(); ++i) {
        if (i > 0)
            text += ", ";
        AppendValue(text, array.GetValueAtIndex(i), Layout::OneLine, indent);
    }
    text += " }";
}

void appendDictionary(std::string& text, const Dictionary& dictionary, Layout layout, int indent)
{
    if (dictionary.Count() == 0) {
        text += "{}";
        return;
    }
    if (layout == Layout::OneLine) {
        text += "{ ";
        bool first = true;
        for (const auto& [key, value] : dictionary.Entries()) {
            if (!first)
                text += ", ";
            first = false;
            appendKey(text, key);
            text += " = ";
            AppendValue(text, value, layout, indent);
        }
        text += " }";
        return;
    }
    const std::string inner(static_cast<std::size_t>(indent + 1) * 4, ' ');
    text += "{\n";
    for (const auto& [key, value] : dictionary.Entries()) {
        text += inner;
        appendKey(text, key);
        text += " = ";
        AppendValue(text, value, layout, indent + 1);
        text += ",\n";
    }
    text.append(static_cast<std::size_t>(indent) * 4, ' ');
    text += '}';
}

// ---------------------------------------------------------------- reading

class Parser
{
public:
    Parser(std::string_view text, int maxDepth) : m_text(text), m_maxDepth(maxDepth) {}

    std::optional<std::map<std::string, Value>> parseChunk()
    {
        std::map<std::string, Value> assignments;
        skipSpace();
        while (!atEnd()) {
            std::string name;
            Value value;
            if (!parseName(name) || !expect('=') || !parseValue(value, 0))
                return std::nullopt;
            if (value.IsValid())
                assignments[name] = value;
            else
                assignments.erase(name); // "name = nil" unassigns
            skipSpace();
            if (peek() == ';') {
                ++m_pos;
                skipSpace();
            }
        }
        if (m_unterminatedComment)
            return std::nullopt;
        return assignments;
    }

private:
    bool atEnd() const { return m_pos >= m_text.size(); }
    char peek(std::size_t ahead = 0) const
    {
        return m_pos + ahead < m_text.size() ? m_text[m_pos + ahead] : '\0';
    }

    bool startsWith(std::string_view prefix) const
    {
        return m_text.substr(m_pos, prefix.size()) == prefix;
    }

    // Whitespace and comments: "-- to the end of the line" and "--[[ ... ]]".
    void skipSpace()
    {
        while (!atEnd()) {
            const char c = peek();
            if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v') {
                ++m_pos;
            } else if (startsWith("--[[")) {
                const std::size_t end = m_text.find("]]", m_pos + 4);
                if (end == std::string_view::npos) {
                    m_unterminatedComment = true;
                    m_pos = m_text.size();
                } else {
                    m_pos = end + 2;
                }
            } else if (startsWith("--")) {
                const std::size_t end = m_text.find('\n', m_pos);
                m_pos = end == std::string_view::npos ? m_text.size() : end + 1;
            } else {
                return;
            }
        }
    }

    bool expect(char c)
    {
        skipSpace();
        if (peek() != c || atEnd())
            return false;
        ++m_pos;
        return true;
    }

    bool readWord(std::string& word)
    {
        if (!isIdentifierStart(peek()))
            return false;
        const std::size_t start = m_pos;
        while (isIdentifierChar(peek()))
            ++m_pos;
        word.assign(m_text.substr(start, m_pos - start));
        return true;
    }

    bool parseName(std::string& name)
    {
        skipSpace();
        return readWord(name) && !isKeyword(name);
    }

    bool parseValue(Value& value, int depth)
    {
        skipSpace();
        const char c = peek();
        if (atEnd())
            return false;
        if (c == '{')
            return parseTable(value, depth + 1);
        if (c == '"' || c == '\'') {
            std::string text;
            if (!parseString(text))
                return false;
            value = Value(text);
            return true;
        }
        if (c == '(')
            return parseNonFinite(value);
        if (c == '-') {
            ++m_pos;
            skipSpace();
            return parseNumber(value, true);
        }
        if (isDigit(c) || (c == '.' && isDigit(peek(1))))
            return parseNumber(value, false);
        std::string word;
        if (!readWord(word))
            return false;
        if (word == "true" || word == "false") {
            value = Value(word == "true");
            return true;
        }
        if (word == "nil") {
            value = Value();
            return true;
        }
        return false;
    }

    // "(1/0)", "(-1/0)" and "(0/0)": the writer's spelling of infinities and NaN.
    bool parseNonFinite(Value& value)
    {
        ++m_pos;
        skipSpace();
        const bool negative = peek() == '-';
        if (negative)
            ++m_pos;
        Value dividend;
        Value divisor;
        if (!parseNumber(dividend, negative) || !expect('/') || !parseNumber(divisor, false) ||
            !expect(')') || divisor.AsDouble() != 0.0)
            return false;
        const double numerator = dividend.AsDouble();
        value = Value(numerator == 0.0 ? std::numeric_limits<double>::quiet_NaN()
                                       : std::copysign(std::numeric_limits<double>::infinity(), numerator));
        return true;
    }

    bool parseNumber(Value& value, bool negative)
    {
        skipSpace();
        if (peek() == '0' && (peek(1) == 'x' || peek(1) == 'X'))
            return !negative && parseHex(value);
        const std::size_t start = m_pos;
        bool isInteger = true;
        while (isDigit(peek()))
            ++m_pos;
        if (peek() == '.') {
            isInteger = false;
            ++m_pos;
            while (isDigit(peek()))
                ++m_pos;
        }
        if (peek() == 'e' || peek() == 'E') {
            isInteger = false;
            ++m_pos;
            if (peek() == '+' || peek() == '-')
                ++m_pos;
            if (!isDigit(peek()))
                return false;
            while (isDigit(peek()))
                ++m_pos;
        }
        if (isIdentifierChar(peek()) || peek() == '.')
            return false;
        const std::string_view digits = m_text.substr(start, m_pos - start);
        if (isInteger) {
            std::int64_t integer = 0;
            const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), integer);
            if (result.ec == std::errc() && result.ptr == digits.data() + digits.size()) {
                if (negative)
                    integer = -integer;
                if (integer >= std::numeric_limits<int>::min() && integer <= std::numeric_limits<int>::max()) {
                    value = Value(static_cast<int>(integer));
                    return true;
                }
            }
            // An integer beyond the int range reads as a double, as in Lua.
        }
        double number = 0.0;
        const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), number);
        if (result.ec != std::errc() || result.ptr != digits.data() + digits.size())
            return false;
        value = Value(negative ? -number : number);
        return true;
    }

    // Hexadecimal integers are the writer's spelling of unsigned values.
    bool parseHex(Value& value)
    {
        m_pos += 2;
        std::uint64_t number = 0;
        int digits = 0;
        for (;; ++m_pos, ++digits) {
            const int digit = hexDigit(peek());
            if (digit < 0)
                break;
            number = number * 16 + static_cast<std::uint64_t>(digit);
            if (number > std::numeric_limits<unsigned int>::max())
                return false;
        }
        if (digits == 0 || isIdentifierChar(peek()) || peek() == '.')
            return false;
        value = Value(static_cast<unsigned int>(number));
        return true;
    }

    bool parseString(std::string& text)
    {
        const char quote = peek();
        ++m_pos;
        while (!atEnd()) {
            const char c = m_text[m_pos++];
            if (c == quote)
                return true;
            if (c == '\n' || c == '\r')
                return false;
            if (c != '\\') {
                text += c;
            } else if (!parseEscape(text)) {
                return false;
            }
        }
        return false;
    }

    bool parseEscape(std::string& text)
    {
        if (atEnd())
            return false;
        const char c = m_text[m_pos++];
        switch (c) {
        case 'n': text += '\n'; return true;
        case 'r': text += '\r'; return true;
        case 't': text += '\t'; return true;
        case 'a': text += '\a'; return true;
        case 'b': text += '\b'; return true;
        case 'f': text += '\f'; return true;
        case 'v': text += '\v'; return true;
        case '\\': case '"': case '\'': text += c; return true;
        case 'x': {
            int byte = 0;
            for (int i = 0; i < 2; ++i) {
                const int digit = hexDigit(peek());
                if (digit < 0)
                    return false;
                byte = byte * 16 + digit;
                ++m_pos;
            }
            text += static_cast<char>(byte);
            return true;
        }
        default:
            if (!isDigit(c))
                return false;
            int byte = c - '0';
            for (int i = 0; i < 2 && isDigit(peek()); ++i)
                byte = byte * 10 + (m_text[m_pos++] - '0');
            if (byte > 255)
                return false;
            text += static_cast<char>(byte);
            return true;
        }
    }

    // A table of only positional fields is an array, of only keyed fields a
    // dictionary; "{}" is an empty dictionary and "{ nil }" an empty array.
    bool parseTable(Value& value, int depth)
    {
        if (depth > m_maxDepth)
            return false;
        ++m_pos;
        skipSpace();
        if (peek() == '}') {
            ++m_pos;
            value = Value(Dictionary());
            return true;
        }
        if (parseEmptyArrayMarker()) {
            value = Value(ValueArray());
            return true;
        }
        ValueArray array;
        Dictionary dictionary;
        bool keyed = false;
        bool positional = false;
        for (;;) {
            std::string key;
            bool hasKey = false;
            if (!parseFieldKey(key, hasKey))
                return false;
            Value field;
            if (!parseValue(field, depth))
                return false;
            if (hasKey) {
                keyed = true;
                dictionary.SetValueForKey(key, field);
            } else {
                positional = true;
                if (!field.IsValid())
                    return false; // arrays have no holes
                array.Append(field);
            }
            if (keyed && positional)
                return false;
            skipSpace();
            if (peek() == ',' || peek() == ';') {
                ++m_pos;
                skipSpace();
            } else if (peek() != '}') {
                return false;
            }
            if (peek() == '}') {
                ++m_pos;
                value = keyed ? Value(dictionary) : Value(array);
                return true;
            }
        }
    }

    bool parseEmptyArrayMarker()
    {
        const std::size_t start = m_pos;
        std::string word;
        if (readWord(word) && word == "nil") {
            skipSpace();
            if (peek() == ',' || peek() == ';') {
                ++m_pos;
                skipSpace();
            }
            if (peek() == '}') {
                ++m_pos;
                return true;
            }
        }
        m_pos = start;
        return false;
    }

    // Reads "[\"key\"] =" or "key =" when present; otherwise leaves the
    // position at the start of a positional value.
    bool parseFieldKey(std::string& key, bool& hasKey)
    {
        skipSpace();
        if (peek() == '[') {
            ++m_pos;
            skipSpace();
            if (peek() != '"' && peek() != '\'')
                return false;
            if (!parseString(key) || !expect(']') || !expect('='))
                return false;
            hasKey = true;
            return true;
        }
        const std::size_t start = m_pos;
        std::string word;
        if (readWord(word)) {
            skipSpace();
            if (peek() == '=' && peek(1) != '=' && !isKeyword(word)) {
                ++m_pos;
                key = word;
                hasKey = true;
                return true;
            }
            m_pos = start;
        }
        return true;
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
    int m_maxDepth;
    bool m_unterminatedComment = false;
};

} // namespace

bool IsIdentifier(std::string_view text)
{
    if (text.empty() || !isIdentifierStart(text.front()))
        return false;
    for (const char c : text) {
        if (!isIdentifierChar(c))
            return false;
    }
    return !isKeyword(text);
}

void AppendValue(std::string& text, const Value& value, Layout layout, int indent)
{
    switch (value.GetType()) {
    case Value::kTypeInvalid: text += "nil"; break;
    case Value::kTypeBool: text += value.AsBool() ? "true" : "false"; break;
    case Value::kTypeInt: text += std::to_string(value.AsInt()); break;
    case Value::kTypeUnsignedInt: {
        char buffer[16];
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, value.AsUnsignedInt(), 16);
        text += "0x";
        text.append(buffer, result.ptr);
        break;
    }
    case Value::kTypeDouble: appendDouble(text, value.AsDouble()); break;
    case Value::kTypeString: appendQuoted(text, value.AsString()); break;
    case Value::kTypeValueArray: appendArray(text, value.AsValueArray(), indent); break;
    case Value::kTypeDictionary: appendDictionary(text, value.AsDictionary(), layout, indent); break;
    }
}

std::optional<std::map<std::string, Value>> ParseAssignments(std::string_view text, int maxDepth)
{
    return Parser(text, maxDepth).parseChunk();
}

} // namespace Navik::LuaText
