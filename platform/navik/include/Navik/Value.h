#pragma once

// The typed parameter model: a Value holds one of bool, int, unsigned int,
// double, string, ValueArray or Dictionary; a Dictionary maps 8-bit string
// keys to values. All three have value semantics: a copy is independent of
// its source (nested arrays and dictionaries are immutable and shared, so
// copies are cheap).
//
// Reading never fails. An absent key gives an invalid value; an invalid value,
// or a value of an unrelated type, reads as false, 0, 0.0, "", an empty array
// or an empty dictionary, and sets the optional `ok` flag to false.
// Numbers convert into each other: a double read as int truncates toward zero,
// out-of-range numbers clamp to the target's range and NaN reads as 0; bool
// reads as 0 or 1 and a number as a bool is "not zero". Int, unsigned and
// double values compare by their numeric value (1 == 1u == 1.0); bool, string,
// array and dictionary values equal only values of their own type.

#include <initializer_list>
#include <map>
#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace Navik {

class ValueArray;
class Dictionary;

class Value
{
public:
    enum Type
    {
        kTypeInvalid,
        kTypeBool,
        kTypeInt,
        kTypeUnsignedInt,
        kTypeDouble,
        kTypeString,
        kTypeValueArray,
        kTypeDictionary,
    };

    Value() = default;
    Value(bool value);
    Value(int value);
    Value(unsigned int value);
    Value(double value);
    Value(const char* value);
    Value(const std::string& value);
    Value(const ValueArray& value);
    Value(const Dictionary& value);

    Type GetType() const { return static_cast<Type>(m_data.index()); }
    bool IsValid() const { return GetType() != kTypeInvalid; }
    bool IsNumber() const;

    bool AsBool(bool* ok = nullptr) const;
    int AsInt(bool* ok = nullptr) const;
    unsigned int AsUnsignedInt(bool* ok = nullptr) const;
    double AsDouble(bool* ok = nullptr) const;
    const char* AsCStr(bool* ok = nullptr) const;
    const std::string& AsString(bool* ok = nullptr) const;
    const ValueArray& AsValueArray(bool* ok = nullptr) const;
    const Dictionary& AsDictionary(bool* ok = nullptr) const;

    bool operator==(const Value& other) const;
    bool operator!=(const Value& other) const { return !(*this == other); }

private:
    std::variant<std::monostate, bool, int, unsigned int, double, std::string,
                 std::shared_ptr<const ValueArray>, std::shared_ptr<const Dictionary>>
        m_data;
};

class ValueArray
{
public:
    ValueArray() = default;
    ValueArray(std::initializer_list<Value> values);

    // Keeps order. Invalid values are not stored: an array has no holes.
    void Append(const Value& value);
    unsigned int Count() const { return static_cast<unsigned int>(m_values.size()); }
    // An index past the end gives an invalid value.
    const Value& GetValueAtIndex(unsigned int index) const;
    void RemoveAllValues() { m_values.clear(); }

    bool operator==(const ValueArray& other) const { return m_values == other.m_values; }
    bool operator!=(const ValueArray& other) const { return !(*this == other); }

private:
    std::vector<Value> m_values;
};

class Dictionary
{
public:
    // Visitor over the entries, in ascending key order. Returning false from
    // applyEntry stops the walk.
    class Applier
    {
    public:
        virtual ~Applier() = default;
        virtual bool applyEntry(const std::string& key, const Value& value) = 0;
    };

    // An absent key gives an invalid value, or `fallback` in the second form.
    Value GetValueForKey(const std::string& key) const;
    Value GetValueForKey(const std::string& key, const Value& fallback) const;
    // Adds or replaces. Setting an invalid value removes the key.
    void SetValueForKey(const std::string& key, const Value& value);
    // Removing an absent key does nothing.
    void RemoveValueForKey(const std::string& key) { m_entries.erase(key); }
    void RemoveAllValues() { m_entries.clear(); }
    unsigned int Count() const { return static_cast<unsigned int>(m_entries.size()); }

    // Copies every entry of `other` into this dictionary; other's entries win.
    void AddEntriesFromDictionary(const Dictionary& other);
    // True when the applier accepted every entry.
    bool Apply(Applier& applier) const;
    // One-line text for logs, in the serializer's notation.
    std::string StringRepr() const;

    bool operator==(const Dictionary& other) const { return m_entries == other.m_entries; }
    bool operator!=(const Dictionary& other) const { return !(*this == other); }

    const std::map<std::string, Value>& Entries() const { return m_entries; }

private:
    std::map<std::string, Value> m_entries;
};

} // namespace Navik
