#pragma once

// The output side of the crash report writer: a small buffered file that uses
// nothing but write(2), and the field encoder that streams protobuf fields
// into it. Both run inside a signal handler: no allocation, no locks.

#include <cstddef>
#include <cstdint>
#include <sys/types.h>

// Buffered output on a descriptor, optionally limited in size.
struct nqcrash_async_file_t
{
    int fd;
    // Byte limit; 0 = none.
    off_t limit_bytes;
    // Bytes accepted so far.
    off_t total_bytes;
    // Bytes waiting in the buffer.
    size_t buflen;
    char buffer[256];
};

void nqcrash_async_file_init(nqcrash_async_file_t* file, int fd, off_t outputLimit);
// False, with nothing written, when the bytes would pass the limit or a
// write fails.
bool nqcrash_async_file_write(nqcrash_async_file_t* file, const void* data, size_t len);
bool nqcrash_async_file_flush(nqcrash_async_file_t* file);
// Flushes and closes; true when both succeeded.
bool nqcrash_async_file_close(nqcrash_async_file_t* file);
// Bytes the file can still accept (the limit minus what was accepted); -1
// when there is no limit.
off_t nqcrash_async_file_room(const nqcrash_async_file_t* file);
// write(2) until every byte is out; EINTR is retried. Negative on failure.
ssize_t nqcrash_async_writen(int fd, const void* data, size_t len);

// Field type codes of nqcrash_writer_pack (protobuf-c's numbering).
enum nqcrash_pack_type_t {
    NQCRASH_TYPE_INT32 = 0,
    NQCRASH_TYPE_SINT32 = 1,
    NQCRASH_TYPE_SFIXED32 = 2,
    NQCRASH_TYPE_INT64 = 3,
    NQCRASH_TYPE_SINT64 = 4,
    NQCRASH_TYPE_SFIXED64 = 5,
    NQCRASH_TYPE_UINT32 = 6,
    NQCRASH_TYPE_FIXED32 = 7,
    NQCRASH_TYPE_UINT64 = 8,
    NQCRASH_TYPE_FIXED64 = 9,
    NQCRASH_TYPE_FLOAT = 10,
    NQCRASH_TYPE_DOUBLE = 11,
    NQCRASH_TYPE_BOOL = 12,
    NQCRASH_TYPE_ENUM = 13,
    NQCRASH_TYPE_STRING = 14,
    NQCRASH_TYPE_BYTES = 15,
    NQCRASH_TYPE_MESSAGE = 16,
};

// The value of a bytes field.
struct nqcrash_pack_bytes_t
{
    size_t len;
    const void* data;
};

// Encodes the base-128 varint of value into buf (at most 10 bytes); returns
// its length.
size_t nqcrash_writer_pack_varint(uint64_t value, uint8_t* buf);

// Encodes one field (key and value) and writes it to file; with a null file
// nothing is written. Returns the encoded length; for a message field (type
// 16, value = the body's length as uint32_t) only key and length are encoded,
// the caller writes the body next. A type above 16 aborts.
size_t nqcrash_writer_pack(nqcrash_async_file_t* file, uint32_t field_id, int type, const void* value);
