#pragma once

// The Lua literal notation behind LuaSerializer and Dictionary::StringRepr.

#include "Navik/Value.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace Navik::LuaText {

enum class Layout
{
    OneLine,   // for logs
    Indented,  // for stored text: one dictionary entry per line
};

bool IsIdentifier(std::string_view text);

void AppendValue(std::string& text, const Value& value, Layout layout, int indent = 0);

// Parses a chunk of `name = literal` statements; gives the last value of each
// name, or nothing when the chunk is malformed or exceeds the limits.
std::optional<std::map<std::string, Value>> ParseAssignments(std::string_view text, int maxDepth);

} // namespace Navik::LuaText
