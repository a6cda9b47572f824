#include "crash/NQCrashAsyncFile.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

void nqcrash_async_file_init(nqcrash_async_file_t* file, int fd, off_t outputLimit)
{
    file->fd = fd;
    file->limit_bytes = outputLimit;
    file->total_bytes = 0;
    file->buflen = 0;
}

ssize_t nqcrash_async_writen(int fd, const void* data, size_t len)
{
    const char* p = static_cast<const char*>(data);
    size_t left = len;
    while (left > 0) {
        const ssize_t written = ::write(fd, p, left);
        if (written < 1) {
            if (written < 0 && errno == EINTR)
                continue;
            return -1;
        }
        p += written;
        left -= size_t(written);
    }
    return ssize_t(len);
}

bool nqcrash_async_file_write(nqcrash_async_file_t* file, const void* data, size_t len)
{
    if (file->limit_bytes != 0 && file->total_bytes + off_t(len) > file->limit_bytes)
        return false;
    file->total_bytes += off_t(len);

    if (sizeof file->buffer - file->buflen < len) {
        if (!nqcrash_async_file_flush(file))
            return false;
    }
    if (len > sizeof file->buffer)
        return nqcrash_async_writen(file->fd, data, len) >= 0;
    std::memcpy(file->buffer + file->buflen, data, len);
    file->buflen += len;
    return true;
}

bool nqcrash_async_file_flush(nqcrash_async_file_t* file)
{
    if (file->buflen == 0)
        return true;
    const bool ok = nqcrash_async_writen(file->fd, file->buffer, file->buflen) >= 0;
    file->buflen = 0;
    return ok;
}

bool nqcrash_async_file_close(nqcrash_async_file_t* file)
{
    const bool flushed = nqcrash_async_file_flush(file);
    return ::close(file->fd) == 0 && flushed;
}

off_t nqcrash_async_file_room(const nqcrash_async_file_t* file)
{
    if (file->limit_bytes == 0)
        return -1;
    return file->limit_bytes - file->total_bytes;
}

size_t nqcrash_writer_pack_varint(uint64_t value, uint8_t* buf)
{
    size_t n = 0;
    while (value >= 0x80) {
        buf[n++] = uint8_t(value | 0x80);
        value >>= 7;
    }
    buf[n++] = uint8_t(value);
    return n;
}

namespace {

enum WireType { WireVarint = 0, Wire64 = 1, WireLength = 2, Wire32 = 5 };

size_t packLittleEndian(uint64_t value, size_t bytes, uint8_t* buf)
{
    for (size_t i = 0; i < bytes; ++i)
        buf[i] = uint8_t(value >> (8 * i));
    return bytes;
}

} // namespace

size_t nqcrash_writer_pack(nqcrash_async_file_t* file, uint32_t field_id, int type, const void* value)
{
    // Key (at most 10 bytes) and a value of at most 10 bytes; strings and
    // bytes follow straight from their own storage.
    uint8_t buf[20];
    int wire = WireVarint;
    switch (type) {
    case NQCRASH_TYPE_SFIXED32: case NQCRASH_TYPE_FIXED32: case NQCRASH_TYPE_FLOAT:
        wire = Wire32;
        break;
    case NQCRASH_TYPE_SFIXED64: case NQCRASH_TYPE_FIXED64: case NQCRASH_TYPE_DOUBLE:
        wire = Wire64;
        break;
    case NQCRASH_TYPE_STRING: case NQCRASH_TYPE_BYTES: case NQCRASH_TYPE_MESSAGE:
        wire = WireLength;
        break;
    default:
        if (type < 0 || type > NQCRASH_TYPE_MESSAGE)
            abort();
        break;
    }

    size_t n = nqcrash_writer_pack_varint(uint64_t(field_id) << 3, buf);
    buf[0] |= uint8_t(wire);

    const void* payload = nullptr;
    size_t payloadLength = 0;
    switch (type) {
    case NQCRASH_TYPE_INT32: {
        // A negative value takes the ten bytes of its sign-extended form.
        const int64_t v = *static_cast<const int32_t*>(value);
        n += nqcrash_writer_pack_varint(uint64_t(v), buf + n);
        break;
    }
    case NQCRASH_TYPE_SINT32: {
        const int32_t v = *static_cast<const int32_t*>(value);
        const uint32_t zigzag = (uint32_t(v) << 1) ^ uint32_t(v >> 31);
        n += nqcrash_writer_pack_varint(zigzag, buf + n);
        break;
    }
    case NQCRASH_TYPE_SFIXED32: case NQCRASH_TYPE_FIXED32: case NQCRASH_TYPE_FLOAT: {
        uint32_t v;
        std::memcpy(&v, value, 4);
        n += packLittleEndian(v, 4, buf + n);
        break;
    }
    case NQCRASH_TYPE_INT64: case NQCRASH_TYPE_UINT64: {
        uint64_t v;
        std::memcpy(&v, value, 8);
        n += nqcrash_writer_pack_varint(v, buf + n);
        break;
    }
    case NQCRASH_TYPE_SINT64: {
        const int64_t v = *static_cast<const int64_t*>(value);
        const uint64_t zigzag = (uint64_t(v) << 1) ^ uint64_t(v >> 63);
        n += nqcrash_writer_pack_varint(zigzag, buf + n);
        break;
    }
    case NQCRASH_TYPE_SFIXED64: case NQCRASH_TYPE_FIXED64: case NQCRASH_TYPE_DOUBLE: {
        uint64_t v;
        std::memcpy(&v, value, 8);
        n += packLittleEndian(v, 8, buf + n);
        break;
    }
    case NQCRASH_TYPE_UINT32: case NQCRASH_TYPE_ENUM:
        n += nqcrash_writer_pack_varint(*static_cast<const uint32_t*>(value), buf + n);
        break;
    case NQCRASH_TYPE_BOOL:
        buf[n++] = *static_cast<const uint8_t*>(value);
        break;
    case NQCRASH_TYPE_STRING: {
        const char* text = static_cast<const char*>(value);
        payloadLength = std::strlen(text);
        payload = text;
        n += nqcrash_writer_pack_varint(uint32_t(payloadLength), buf + n);
        break;
    }
    case NQCRASH_TYPE_BYTES: {
        const auto* bytes = static_cast<const nqcrash_pack_bytes_t*>(value);
        payloadLength = bytes->len;
        payload = bytes->data;
        n += nqcrash_writer_pack_varint(uint32_t(payloadLength), buf + n);
        break;
    }
    case NQCRASH_TYPE_MESSAGE:
        n += nqcrash_writer_pack_varint(*static_cast<const uint32_t*>(value), buf + n);
        break;
    }

    if (file) {
        nqcrash_async_file_write(file, buf, n);
        if (payloadLength > 0)
            nqcrash_async_file_write(file, payload, payloadLength);
    }
    return n + payloadLength;
}
