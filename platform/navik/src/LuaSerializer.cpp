#include "Navik/LuaSerializer.h"

#include "LuaText.h"

namespace Navik {

bool LuaSerializer::Write(const std::string& name, const Value& value, std::string& text)
{
    if (!LuaText::IsIdentifier(name))
        return false;
    std::string result = name + " = ";
    LuaText::AppendValue(result, value, LuaText::Layout::Indented);
    result += '\n';
    text = std::move(result);
    return true;
}

const Value* LuaSerializer::Read(const std::string& name, const std::string& text)
{
    if (text.size() > kMaxTextSize)
        return nullptr;
    const auto assignments = LuaText::ParseAssignments(text, kMaxDepth);
    if (!assignments)
        return nullptr;
    const auto entry = assignments->find(name);
    if (entry == assignments->end())
        return nullptr;
    return &m_values.emplace_back(entry->second);
}

} // namespace Navik
