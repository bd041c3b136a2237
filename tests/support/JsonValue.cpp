#include "support/JsonValue.h"

#include <stdexcept>

namespace furlox::test {
namespace {

class Reader
{
public:
    explicit Reader(std::string_view text) : m_text(text) {}

    JsonValue Document()
    {
        JsonValue value = Value();
        Blanks();
        if (m_at != m_text.size()) {
            Fail("text after the value");
        }
        return value;
    }

private:
    [[noreturn]] void Fail(const std::string& what) const
    {
        throw std::runtime_error("JSON: " + what + " at byte " + std::to_string(m_at));
    }
    void Blanks()
    {
        while (m_at < m_text.size() && (m_text[m_at] == ' ' || m_text[m_at] == '\n' ||
                                        m_text[m_at] == '\r' || m_text[m_at] == '\t')) {
            ++m_at;
        }
    }
    bool Take(char c)
    {
        Blanks();
        if (m_at < m_text.size() && m_text[m_at] == c) {
            ++m_at;
            return true;
        }
        return false;
    }
    void Expect(char c)
    {
        if (!Take(c)) {
            Fail(std::string("expected ") + c);
        }
    }
    bool Word(std::string_view word)
    {
        if (m_text.substr(m_at, word.size()) == word) {
            m_at += word.size();
            return true;
        }
        return false;
    }
    static void PutUtf8(std::string& out, unsigned code)
    {
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (code >> 18));
            out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    unsigned Hex4()
    {
        if (m_at + 4 > m_text.size()) {
            Fail("short \\u escape");
        }
        const unsigned code =
            static_cast<unsigned>(std::stoul(std::string(m_text.substr(m_at, 4)), nullptr, 16));
        m_at += 4;
        return code;
    }
    std::string String()
    {
        Expect('"');
        std::string out;
        while (true) {
            if (m_at >= m_text.size()) {
                Fail("unended string");
            }
            const char c = m_text[m_at++];
            if (c == '"') {
                return out;
            }
            if (static_cast<unsigned char>(c) < 0x20) {
                Fail("control character in a string");
            }
            if (c != '\\') {
                out += c;
                continue;
            }
            const char e = m_at < m_text.size() ? m_text[m_at++] : '\0';
            switch (e) {
            case '"':
            case '\\':
            case '/':
                out += e;
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case 'b':
                out += '\b';
                break;
            case 'f':
                out += '\f';
                break;
            case 'u': {
                unsigned code = Hex4();
                if (code >= 0xD800 && code < 0xDC00 && Word("\\u")) {
                    code = 0x10000 + ((code - 0xD800) << 10) + (Hex4() - 0xDC00);
                }
                PutUtf8(out, code);
                break;
            }
            default:
                Fail("unknown escape");
            }
        }
    }
    JsonValue Value()
    {
        Blanks();
        JsonValue v;
        if (m_at >= m_text.size()) {
            Fail("no value");
        }
        const char c = m_text[m_at];
        if (c == '{') {
            ++m_at;
            v.kind = JsonValue::Kind::Object;
            if (Take('}')) {
                return v;
            }
            do {
                Blanks();
                std::string name = String();
                Expect(':');
                v.members.emplace_back(std::move(name), Value());
            } while (Take(','));
            Expect('}');
        } else if (c == '[') {
            ++m_at;
            v.kind = JsonValue::Kind::Array;
            if (Take(']')) {
                return v;
            }
            do {
                v.items.push_back(Value());
            } while (Take(','));
            Expect(']');
        } else if (c == '"') {
            v.kind = JsonValue::Kind::String;
            v.text = String();
        } else if (Word("null")) {
            v.kind = JsonValue::Kind::Null;
        } else if (Word("true") || Word("false")) {
            v.kind = JsonValue::Kind::Bool;
            v.boolean = m_text[m_at - 1] == 'e' && m_text[m_at - 2] == 'u';
        } else if (c == '-' || (c >= '0' && c <= '9')) {
            const std::size_t from = m_at;
            m_at += c == '-';
            while (m_at < m_text.size() && m_text[m_at] >= '0' && m_text[m_at] <= '9') {
                ++m_at;
            }
            if (m_at == from + (c == '-')) {
                Fail("a number without digits");
            }
            v.kind = JsonValue::Kind::Number;
            v.number = std::stoll(std::string(m_text.substr(from, m_at - from)));
        } else {
            Fail("unexpected character");
        }
        return v;
    }

    std::string_view m_text;
    std::size_t m_at = 0;
};

} // namespace

const JsonValue& JsonValue::operator[](std::string_view name) const
{
    for (const auto& [key, value] : members) {
        if (key == name) {
            return value;
        }
    }
    throw std::runtime_error("JSON: no member " + std::string(name));
}

std::vector<std::string> JsonValue::Names() const
{
    std::vector<std::string> names;
    for (const auto& member : members) {
        names.push_back(member.first);
    }
    return names;
}

long long JsonValue::Or(long long otherwise) const
{
    return kind == Kind::Number ? number : otherwise;
}

JsonValue ParseJson(std::string_view text)
{
    return Reader(text).Document();
}

} // namespace furlox::test
