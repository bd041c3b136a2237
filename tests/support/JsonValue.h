#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// A small JSON reader for the tests: what the command line writes, read back into values.
// Numbers are whole numbers; strings stay UTF-8 (\uXXXX escapes included). Throws
// std::runtime_error on anything that is not JSON.
namespace furlox::test {

struct JsonValue
{
    enum class Kind
    {
        Null,
        Bool,
        Number,
        String,
        Array,
        Object,
    };
    Kind kind = Kind::Null;
    bool boolean = false;
    long long number = 0;
    std::string text;
    std::vector<JsonValue> items;
    // Members in the order written.
    std::vector<std::pair<std::string, JsonValue>> members;

    bool IsNull() const { return kind == Kind::Null; }
    // The member of that name; throws when there is none.
    const JsonValue& operator[](std::string_view name) const;
    const JsonValue& operator[](std::size_t index) const { return items.at(index); }
    std::size_t size() const { return kind == Kind::Object ? members.size() : items.size(); }
    // The member names in order.
    std::vector<std::string> Names() const;
    // A number, or `otherwise` for null.
    long long Or(long long otherwise) const;
};

JsonValue ParseJson(std::string_view text);

} // namespace furlox::test
