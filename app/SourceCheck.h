// Whether a source can be entered: the folder exists and may be searched, and when it lies
// in an optical drive the drive holds a readable disc (an empty drive's mount point is an
// ordinary empty folder).
#pragma once

#include <cstdint>
#include <string>

bool SourceReadable(const std::string& path);
// The device number of the file system holding the folder at path, 0 when it cannot be
// read. An unmount leaves the mount point behind as an ordinary folder of another device.
std::uint64_t SourceDevice(const std::string& path);
