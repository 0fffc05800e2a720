#include "installer/map_data_value.h"

#include <cstring>

namespace dorvan {

int ReadStringValue(platform::RegistryKey key, const char *name, char (&buffer)[PathBufferSize])
{
    buffer[0] = '\0';
    uint32_t type = 0;
    uint32_t size = PathBufferSize;
    long result = platform::RegistryQueryValue(key, name, &type, reinterpret_cast<uint8_t *>(buffer), &size);
    if (result != platform::RegistrySuccess || type != platform::RegistryString || size > PathBufferSize) {
        buffer[0] = '\0';
        return 0;
    }
    // A value stored without its terminator still names its text, as long
    // as a terminator fits after it.
    if (!std::memchr(buffer, '\0', size)) {
        if (size == PathBufferSize) {
            buffer[0] = '\0';
            return 0;
        }
        buffer[size] = '\0';
    }
    return buffer[0] != '\0' ? 1 : 0;
}

int ReadMapDataValue(platform::RegistryKey key, char (&buffer)[PathBufferSize])
{
    return ReadStringValue(key, "MapData", buffer);
}

}  // namespace dorvan
