// Serial numbers of media: a 32-bit number that stays the same for the same disc or file
// system and differs between discs.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// path with every link resolved (a device named by a link in /dev/disk); path itself when it
// cannot be resolved.
std::string RealPath(const std::string& path);

// 32-bit FNV-1a hash of bytes.
std::uint32_t Fnv1a(std::string_view bytes);

// A file-system UUID as a serial: a short hex UUID (FAT's "1A2B-3C4D") is the number itself,
// as Windows shows it; longer ones are folded into 32 bits.
std::optional<std::uint32_t> SerialFromUuid(std::string_view uuid);

// The serial of the disc in an optical drive, from its ISO 9660 primary volume descriptor
// (or the first descriptors of a UDF-only disc). Empty when the drive has no disc or cannot
// be read.
std::optional<std::uint32_t> OpticalDiscSerial(const std::string& device);

// The serial of the file system on device mounted at mountPoint: its UUID when byUuidFolder
// names it, else the file-system id of the mount. Empty when the mount cannot be queried.
std::optional<std::uint32_t> FileSystemSerial(const std::string& device,
                                              const std::string& mountPoint,
                                              const std::string& byUuidFolder);

}  // namespace platform
