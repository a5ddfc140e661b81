#include "TestMedia.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace {

void Run(const std::string& command) {
  if (std::system(command.c_str()) != 0) throw std::runtime_error("failed: " + command);
}

std::string SoxTone(const TTone& t, const std::string& path) {
  std::ostringstream cmd;
  cmd << "sox -n -r " << t.rate << " -c " << t.channels << " -b 16 '" << path << "' synth "
      << t.seconds << " sine " << t.frequency << " vol 0.5";
  return cmd.str();
}

uint32_t Le(const std::string& b, size_t at, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(b[at + i]);
  return v;
}

}  // namespace

std::string MakeWav(const TTempDir& dir, const std::string& name, const TTone& tone) {
  const std::string path = dir.File(name);
  Run(SoxTone(tone, path));
  return path;
}

std::string MakeMp3(const TTempDir& dir, const std::string& name, const TTone& tone) {
  const std::string wav = MakeWav(dir, name + ".wav", tone);
  const std::string path = dir.File(name);
  Run(std::string("lame --quiet ") + (tone.vbr ? "-V 4" : "-b 128") + " '" + wav + "' '" + path +
      "'");
  std::filesystem::remove(wav);
  return path;
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TWav ReadWav(const std::string& path) {
  const std::string b = ReadBytes(path);
  if (b.size() < 44 || b.compare(0, 4, "RIFF") != 0 || b.compare(8, 4, "WAVE") != 0)
    throw std::runtime_error(path + " is not a WAV file");
  TWav wav;
  size_t at = 12;
  while (at + 8 <= b.size()) {
    const std::string id = b.substr(at, 4);
    const uint32_t size = Le(b, at + 4, 4);
    if (id == "fmt ") {
      if (Le(b, at + 8, 2) != 1 || Le(b, at + 22, 2) != 16)
        throw std::runtime_error(path + " is not 16-bit PCM");
      wav.channels = static_cast<int>(Le(b, at + 10, 2));
      wav.rate = static_cast<int>(Le(b, at + 12, 4));
    } else if (id == "data") {
      const size_t bytes = std::min<size_t>(size, b.size() - at - 8);
      wav.samples.resize(bytes / 2);
      std::memcpy(wav.samples.data(), b.data() + at + 8, wav.samples.size() * 2);
      return wav;
    }
    at += 8 + size + (size & 1);
  }
  throw std::runtime_error(path + " has no data");
}

double Rms(const TWav& wav, size_t first, size_t count) {
  double sum = 0;
  size_t n = 0;
  for (size_t f = first; f < first + count && f < wav.frames(); ++f, ++n) {
    const double s = wav.samples[f * wav.channels] / 32768.0;
    sum += s * s;
  }
  return n ? std::sqrt(sum / n) : 0.0;
}

int64_t InsertedSilence(const TWav& heard, const std::vector<int16_t>& expected, size_t maxRun) {
  const size_t channels = static_cast<size_t>(heard.channels);
  if (channels == 0) return -1;
  auto same = [&](size_t h, size_t e) {
    return std::equal(heard.samples.begin() + h * channels,
                      heard.samples.begin() + (h + 1) * channels, expected.begin() + e * channels);
  };
  auto silent = [&](size_t h) {
    for (size_t c = 0; c < channels; ++c)
      if (heard.samples[h * channels + c] != 0) return false;
    return true;
  };
  const size_t expectedFrames = expected.size() / channels;
  int64_t inserted = 0;
  size_t run = 0;
  size_t e = 0;
  for (size_t h = 0; h < heard.frames(); ++h) {
    if (e < expectedFrames && same(h, e)) {
      ++e;
      run = 0;
    } else if (silent(h) && ++run <= maxRun) {
      ++inserted;
    } else {
      return -1;
    }
  }
  return e == expectedFrames ? inserted : -1;
}

std::vector<int16_t> WithoutSilence(const TWav& wav) {
  const size_t channels = static_cast<size_t>(wav.channels);
  std::vector<int16_t> sound;
  size_t quiet = 0;  // silent frames held back
  for (size_t f = 0; f < wav.frames(); ++f) {
    const auto frame = wav.samples.begin() + static_cast<std::ptrdiff_t>(f * channels);
    if (std::all_of(frame, frame + static_cast<std::ptrdiff_t>(channels),
                    [](int16_t s) { return s == 0; })) {
      ++quiet;
      continue;
    }
    // A silent frame or two is part of the sound; a longer stretch is a gap.
    if (quiet < 3) sound.insert(sound.end(), quiet * channels, 0);
    quiet = 0;
    sound.insert(sound.end(), frame, frame + static_cast<std::ptrdiff_t>(channels));
  }
  return sound;
}
