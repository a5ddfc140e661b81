// ID3v2 tags and embedded pictures built byte by byte, for the tests of what the player
// reads from real-world files.
#pragma once

#include <QColor>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// A size in the tag header's seven bits per byte.
std::string SyncSafe(std::uint32_t n);
// An ID3v2 tag of the given version (3 or 4) holding frames as (id, body).
std::string Id3v2(int version, const std::vector<std::pair<std::string, std::string>>& frames);
// A JPEG picture of one colour, 40 x 30.
std::string Jpeg(const QColor& color);
// An APIC frame body: Latin-1 texts, MIME type, picture type, empty description.
std::string Picture(const std::string& data, char type = 3);
