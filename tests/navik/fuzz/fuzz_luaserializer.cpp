// Feeds arbitrary text to the serializer's reader; whatever it accepts must
// write back and read again to the same value.

#include <Navik/LuaSerializer.h>

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    Navik::LuaSerializer serializer;
    const Navik::Value* value = serializer.Read("result", text);
    if (!value)
        return 0;
    std::string written;
    if (!serializer.Write("result", *value, written))
        __builtin_trap();
    const Navik::Value* again = serializer.Read("result", written);
    std::string rewritten;
    if (!again || !serializer.Write("result", *again, rewritten) || rewritten != written)
        __builtin_trap();
    return 0;
}
