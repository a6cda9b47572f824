#pragma once

// Text form of values, used to store parameter dictionaries in undo states
// and user files. The text is a sequence of Lua assignments of literals:
//
//     result = {
//         CropActive = true,
//         CropRect = { 0.0, 0.0, 1.0, 1.0 },
//         OutputRotation = 1,
//     }
//
// Write is deterministic: keys are sorted, so equal values give equal bytes.
// Read parses literals only (tables, strings, numbers, booleans); it never
// executes anything, and any malformed, oversized or too deeply nested text
// gives null. See docs/imaging-framework.md for the notation.

#include "Navik/Value.h"

#include <cstddef>
#include <deque>
#include <string>

namespace Navik {

class LuaSerializer
{
public:
    // Texts longer than this, or tables nested deeper, are refused by Read.
    static constexpr std::size_t kMaxTextSize = 64u << 20;
    static constexpr int kMaxDepth = 64;

    // Replaces `text` with the assignment of `value` to `name`. Fails, leaving
    // `text` as it was, when `name` is not a Lua identifier.
    bool Write(const std::string& name, const Value& value, std::string& text);

    // The value last assigned to `name` in `text`, or null when the text is
    // malformed or never assigns it. The value belongs to the serializer and
    // stays valid while the serializer lives.
    const Value* Read(const std::string& name, const std::string& text);

private:
    std::deque<Value> m_values;
};

} // namespace Navik
