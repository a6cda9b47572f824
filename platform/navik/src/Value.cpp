#include "Navik/Value.h"

#include "LuaText.h"

#include <cmath>
#include <limits>

namespace Navik {

namespace {

const std::string kEmptyString;
const ValueArray kEmptyArray;
const Dictionary kEmptyDictionary;

// Converts a double to an integer type: truncation toward zero, clamped to
// the type's range, NaN giving 0.
template <typename Integer>
Integer clampToInteger(double value)
{
    if (std::isnan(value))
        return 0;
    const double truncated = std::trunc(value);
    if (truncated <= static_cast<double>(std::numeric_limits<Integer>::min()))
        return std::numeric_limits<Integer>::min();
    if (truncated >= static_cast<double>(std::numeric_limits<Integer>::max()))
        return std::numeric_limits<Integer>::max();
    return static_cast<Integer>(truncated);
}

void setOk(bool* ok, bool value)
{
    if (ok)
        *ok = value;
}

} // namespace

Value::Value(bool value) : m_data(value) {}
Value::Value(int value) : m_data(value) {}
Value::Value(unsigned int value) : m_data(value) {}
Value::Value(double value) : m_data(value) {}
Value::Value(const char* value) : m_data(std::string(value ? value : "")) {}
Value::Value(const std::string& value) : m_data(value) {}
Value::Value(const ValueArray& value) : m_data(std::make_shared<const ValueArray>(value)) {}
Value::Value(const Dictionary& value) : m_data(std::make_shared<const Dictionary>(value)) {}

bool Value::IsNumber() const
{
    const Type type = GetType();
    return type == kTypeInt || type == kTypeUnsignedInt || type == kTypeDouble;
}

double Value::AsDouble(bool* ok) const
{
    setOk(ok, IsNumber() || GetType() == kTypeBool);
    switch (GetType()) {
    case kTypeBool: return std::get<bool>(m_data) ? 1.0 : 0.0;
    case kTypeInt: return std::get<int>(m_data);
    case kTypeUnsignedInt: return std::get<unsigned int>(m_data);
    case kTypeDouble: return std::get<double>(m_data);
    default: return 0.0;
    }
}

bool Value::AsBool(bool* ok) const
{
    if (GetType() == kTypeBool) {
        setOk(ok, true);
        return std::get<bool>(m_data);
    }
    return AsDouble(ok) != 0.0;
}

int Value::AsInt(bool* ok) const
{
    if (GetType() == kTypeInt) {
        setOk(ok, true);
        return std::get<int>(m_data);
    }
    return clampToInteger<int>(AsDouble(ok));
}

unsigned int Value::AsUnsignedInt(bool* ok) const
{
    if (GetType() == kTypeUnsignedInt) {
        setOk(ok, true);
        return std::get<unsigned int>(m_data);
    }
    return clampToInteger<unsigned int>(AsDouble(ok));
}

const std::string& Value::AsString(bool* ok) const
{
    const auto* text = std::get_if<std::string>(&m_data);
    setOk(ok, text != nullptr);
    return text ? *text : kEmptyString;
}

const char* Value::AsCStr(bool* ok) const
{
    return AsString(ok).c_str();
}

const ValueArray& Value::AsValueArray(bool* ok) const
{
    const auto* array = std::get_if<std::shared_ptr<const ValueArray>>(&m_data);
    setOk(ok, array != nullptr);
    return array ? **array : kEmptyArray;
}

const Dictionary& Value::AsDictionary(bool* ok) const
{
    const auto* dictionary = std::get_if<std::shared_ptr<const Dictionary>>(&m_data);
    setOk(ok, dictionary != nullptr);
    return dictionary ? **dictionary : kEmptyDictionary;
}

bool Value::operator==(const Value& other) const
{
    // 32-bit integers are exact in a double, so one comparison serves all
    // three numeric types. NaN equals nothing, itself included.
    if (IsNumber() && other.IsNumber())
        return AsDouble() == other.AsDouble();
    if (GetType() != other.GetType())
        return false;
    switch (GetType()) {
    case kTypeInvalid: return true;
    case kTypeBool: return std::get<bool>(m_data) == std::get<bool>(other.m_data);
    case kTypeString: return AsString() == other.AsString();
    case kTypeValueArray: return AsValueArray() == other.AsValueArray();
    case kTypeDictionary: return AsDictionary() == other.AsDictionary();
    default: return false;
    }
}

ValueArray::ValueArray(std::initializer_list<Value> values)
{
    for (const Value& value : values)
        Append(value);
}

void ValueArray::Append(const Value& value)
{
    if (value.IsValid())
        m_values.push_back(value);
}

const Value& ValueArray::GetValueAtIndex(unsigned int index) const
{
    static const Value invalid;
    return index < m_values.size() ? m_values[index] : invalid;
}

Value Dictionary::GetValueForKey(const std::string& key) const
{
    return GetValueForKey(key, Value());
}

Value Dictionary::GetValueForKey(const std::string& key, const Value& fallback) const
{
    const auto entry = m_entries.find(key);
    return entry != m_entries.end() ? entry->second : fallback;
}

void Dictionary::SetValueForKey(const std::string& key, const Value& value)
{
    if (value.IsValid())
        m_entries[key] = value;
    else
        m_entries.erase(key);
}

void Dictionary::AddEntriesFromDictionary(const Dictionary& other)
{
    for (const auto& [key, value] : other.m_entries)
        m_entries[key] = value;
}

bool Dictionary::Apply(Applier& applier) const
{
    for (const auto& [key, value] : m_entries) {
        if (!applier.applyEntry(key, value))
            return false;
    }
    return true;
}

std::string Dictionary::StringRepr() const
{
    std::string text;
    LuaText::AppendValue(text, Value(*this), LuaText::Layout::OneLine);
    return text;
}

} // namespace Navik
