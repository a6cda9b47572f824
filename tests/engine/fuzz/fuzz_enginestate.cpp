// Feeds arbitrary bytes to the reader of the engine's saved state, as a
// damaged recall file or undo state would: reading may find nothing, but must
// never crash, hang or allocate more than the bytes can hold.

#include "engine/EngineStateFormat.h"

#include <cstddef>
#include <cstdint>

using namespace EngineStateFormat;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const EngineState state = readEngineState(bytes);
    // Each point takes sixteen bytes of the input.
    if (std::size_t(state.points.size()) * 16 > size)
        __builtin_trap();
    // The map reads the same with or without the points after it.
    if (readEngineStateEntries(bytes).keys() != state.entries.keys())
        __builtin_trap();

    Navik::LuaSerializer serializer;
    readDictionary(serializer, state.entries.value(initialKey), initialName);
    readDictionary(serializer, state.entries.value(resultKey), resultName);
    const QMap<QString, QVariant> snapshots = state.entries.value(snapshotsKey).toMap();
    for (const QVariant& text : snapshots) {
        Navik::LuaSerializer snapshotSerializer;
        readDictionary(snapshotSerializer, text, snapshotName);
    }
    return 0;
}
