#ifndef RESOURCE_FILE_BYTES_H
#define RESOURCE_FILE_BYTES_H

// Resource files built by hand, byte by byte, for the tests of malformed records.

#include "ResourceTestSupport.h"

#include <cstdint>
#include <vector>

namespace restest {

// A record as a resource file stores it: its type, its size, then the payload.
inline std::vector<uint8_t> Record(uint32_t type, const std::vector<uint8_t>& payload)
{
    return ByteBuilder().U32(type).U32(static_cast<uint32_t>(payload.size())).Raw(payload).Bytes();
}

// A resource file holding the records and the end record, its header counting pixelTally
// pixels (no run-length encoded images).
inline std::vector<uint8_t> FileOf(const std::vector<std::vector<uint8_t>>& records, uint32_t pixelTally = 0)
{
    ByteBuilder file;
    file.U8('M').U8('O').U8('V').U8('O').Name("2.0.2").U32(pixelTally).U32(0).U32(0);
    for (const auto& record : records)
        file.Raw(record);
    file.U32(1).U32(0);
    return file.Bytes();
}

} // namespace restest

#endif
