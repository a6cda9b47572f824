// Feeds arbitrary bytes to the SOAP reply reader, as a hostile or broken
// service would send them: reading may refuse, but must never crash, hang or
// run out of stack, and a refusal always says why.

#include "online/soap/CSoapMessage.h"

#include <cstddef>
#include <cstdint>

namespace {

// Visits every value of a reply the way the services' readers look values up.
void walk(const CSoapType& value, int depth)
{
    // The reader refuses anything deeper before it builds a value.
    if (depth > CSoapMessage::kMaximumDepth)
        __builtin_trap();
    (void)value.text();
    (void)value[QStringLiteral("FindUpdateWithNotesResult")].text();
    const auto* item = dynamic_cast<const CSoapStruct*>(&value);
    if (!item)
        return;
    for (int i = 0; i < item->count(); ++i) {
        if (!item->at(i).isValid())
            __builtin_trap();
        walk(item->at(i), depth + 1);
    }
    if (item->at(item->count()).isValid())
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    CSoapMessage reply;
    const bool read = reply.setContent(bytes);
    if (!read && (!reply.isFault() || reply.faultString().text().isEmpty()))
        __builtin_trap();
    if (reply.isFault()) {
        (void)reply.faultCode();
        return 0;
    }
    walk(reply.method(), 3);
    // What was read can be written again as a request.
    (void)reply.toXml();
    return 0;
}
