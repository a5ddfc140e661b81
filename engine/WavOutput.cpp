#include "WavOutput.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>

#include "Levels.h"

namespace xaudio {

namespace {

void Put16(unsigned char* p, uint32_t v) {
  p[0] = v & 0xff;
  p[1] = (v >> 8) & 0xff;
}

void Put32(unsigned char* p, uint32_t v) {
  Put16(p, v & 0xffff);
  Put16(p + 2, v >> 16);
}

// A RIFF size field cannot count past 4 GiB; longer files keep the largest size.
constexpr uint64_t kMaxData = 0xffffffffu - 36;

}  // namespace

TWavOutput::~TWavOutput() {
  if (file_ == nullptr) return;
  // What the clock has played was heard; the rest is dropped with the sink.
  std::string ignored;
  Commit(ignored);
  WriteHeader();
  std::fclose(file_);
}

bool TWavOutput::Create(std::string& error) {
  file_ = std::fopen(path_.c_str(), "wb");
  if (file_ == nullptr) {
    error = "cannot create " + path_ + ": " + std::strerror(errno);
    return false;
  }
  return WriteHeader();
}

bool TWavOutput::Start(const TAudioFormat& format, std::string& error) {
  if (format_.rate == 0) {
    format_ = format;
    clock_.SetRate(format.rate);
    return WriteHeader();
  }
  if (format == format_) return true;
  // What was written in the first format stays in the file.
  Drain();
  error = "the WAV file " + path_ + " keeps the sample format of its first song";
  return false;
}

bool TWavOutput::WriteHeader() {
  const uint32_t channels = format_.channels > 0 ? format_.channels : 2;
  const uint32_t rate = format_.rate > 0 ? format_.rate : 44100;
  const auto data = static_cast<uint32_t>(std::min(dataBytes_, kMaxData));
  unsigned char h[44];
  std::memcpy(h, "RIFF", 4);
  Put32(h + 4, 36 + data);
  std::memcpy(h + 8, "WAVEfmt ", 8);
  Put32(h + 16, 16);
  Put16(h + 20, 1);
  Put16(h + 22, channels);
  Put32(h + 24, rate);
  Put32(h + 28, rate * channels * 2);
  Put16(h + 32, channels * 2);
  Put16(h + 34, 16);
  std::memcpy(h + 36, "data", 4);
  Put32(h + 40, data);
  const long end = std::ftell(file_);
  bool ok = std::fseek(file_, 0, SEEK_SET) == 0 && std::fwrite(h, sizeof h, 1, file_) == 1;
  if (end > static_cast<long>(sizeof h)) ok = std::fseek(file_, end, SEEK_SET) == 0 && ok;
  return ok;
}

bool TWavOutput::Append(const int16_t* samples, size_t count, std::string& error) {
  // An empty buffer may have no storage at all, and fwrite takes no null pointer.
  if (count == 0) return true;
  if (std::fwrite(samples, sizeof(int16_t), count, file_) != count) {
    error = "cannot write " + path_ + ": " + std::strerror(errno);
    return false;
  }
  dataBytes_ += count * sizeof(int16_t);
  return true;
}

bool TWavOutput::Commit(std::string& error) {
  const size_t channels = static_cast<size_t>(format_.channels);
  if (channels == 0) return true;
  const size_t queuedFrames = queued_.size() / channels;
  const auto left = static_cast<size_t>(std::max<int64_t>(0, clock_.QueuedFrames()));
  if (left >= queuedFrames) return true;
  const size_t played = (queuedFrames - left) * channels;
  const bool ok = Append(queued_.data(), played, error);
  queued_.erase(queued_.begin(), queued_.begin() + static_cast<std::ptrdiff_t>(played));
  return ok;
}

bool TWavOutput::Write(const float* samples, int frames, std::string& error) {
  const size_t channels = static_cast<size_t>(format_.channels);
  // Ran dry: everything queued has been heard, then silence until now.
  const int64_t dry = clock_.DryFrames();
  if (!Commit(error)) return false;
  if (dry > 0) {
    buffer_.assign(static_cast<size_t>(dry) * channels, 0);
    if (!Append(buffer_.data(), buffer_.size(), error)) return false;
  }
  const size_t count = static_cast<size_t>(frames) * channels;
  buffer_.resize(count);
  ToS16(samples, count, buffer_.data());
  queued_.insert(queued_.end(), buffer_.begin(), buffer_.end());
  clock_.Queue(frames);
  return Commit(error);
}

void TWavOutput::Drain() {
  clock_.Drain();
  std::string ignored;
  Append(queued_.data(), queued_.size(), ignored);
  queued_.clear();
  WriteHeader();
  std::fflush(file_);
}

void TWavOutput::Flush() {
  std::string ignored;
  Commit(ignored);
  queued_.clear();
  clock_.Drop();
}

}  // namespace xaudio
