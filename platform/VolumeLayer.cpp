#include "VolumeLayer.h"

#include "LinuxVolumeLayer.h"

namespace platform {

namespace {
VolumeLayer* replacement = nullptr;
}

VolumeLayer& Volumes() {
  static LinuxVolumeLayer real;
  return replacement ? *replacement : real;
}

void SetVolumes(VolumeLayer* layer) { replacement = layer; }

std::string SerialText(std::optional<std::uint32_t> serial) {
  return std::to_string(static_cast<std::int32_t>(serial.value_or(0)));
}

}  // namespace platform
