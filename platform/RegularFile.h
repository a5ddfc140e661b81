// Reading a whole file that must be a plain file: opened without blocking, so a named pipe or
// a device under a picture's or a settings file's name can never stall the program.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace platform {

// The content of path, or nothing when it is no regular file, cannot be read or holds more
// than maxBytes. With firstBytes, no more than that is read from its start.
std::optional<std::string> ReadRegularFile(const std::string& path, std::size_t maxBytes,
                                           std::size_t firstBytes = SIZE_MAX);

}  // namespace platform
