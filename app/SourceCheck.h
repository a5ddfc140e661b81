// Whether a source can be entered: the folder exists and may be searched, and when it lies
// in an optical drive the drive holds a readable disc (an empty drive's mount point is an
// ordinary empty folder).
#pragma once

#include <string>

bool SourceReadable(const std::string& path);
