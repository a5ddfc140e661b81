// The engine's decoder over arbitrary bytes held in memory, as a damaged or hostile song
// would give them: reading with seeks and equalizer changes in between, steered by the input
// itself. Damage must end in an error or the end of the song, never a crash, hang or leak.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "Decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const int fd = memfd_create("Decoder_fuzz", MFD_CLOEXEC);
  if (fd < 0) return 0;
  for (size_t done = 0; done < size;) {
    const ssize_t n = write(fd, data + done, size - done);
    if (n <= 0) break;
    done += size_t(n);
  }
  xaudio::TDecoder decoder;
  int code = 0;
  std::string error;
  if (decoder.Ok() && decoder.Open("/proc/self/fd/" + std::to_string(fd), code, error)) {
    std::vector<float> buffer(1152 * 2 * 4);
    // Bytes from the input's end choose the seeks and the equalizer bands.
    auto steer = [&](size_t i) { return size ? data[size - 1 - i % size] : 0; };
    for (size_t step = 0; step < 48; ++step) {
      int frames = 0;
      const auto read = decoder.Read(buffer.data(), 1152, frames, error);
      if (read == xaudio::TDecoder::TRead::Done || read == xaudio::TDecoder::TRead::Failed) break;
      if (steer(step) % 7 == 1) {
        const int64_t length = decoder.Info().frames;
        decoder.Seek((length + 2000) * steer(step + 1) / 255 - 1000);
      } else if (steer(step) % 7 == 2) {
        XA_EqualizerInfo equalizer;
        for (int band = 0; band < 32; ++band) {
          equalizer.left[band] = static_cast<signed char>(steer(step + band));
          equalizer.right[band] = static_cast<signed char>(steer(step + band + 3));
        }
        decoder.SetEqualizer(steer(step + 2) % 4 ? &equalizer : nullptr);
      }
    }
    decoder.Close();
  }
  close(fd);
  return 0;
}
