#include "Output.h"

#include "NullOutput.h"
#include "Out123Output.h"
#include "PulseOutput.h"
#include "WavOutput.h"
#include "xaudio.h"

namespace xaudio {

namespace {

// The sound server first, through our own client, which knows the server's latency. Then
// never libout123's own default list: on a machine without sound it ends on drivers that
// can hang on close.
constexpr const char* kPulse = "pulse";
constexpr const char* kDeviceDrivers = "alsa,jack,oss";

std::unique_ptr<TOutput> StandIn() { return std::make_unique<TNullOutput>(true, true); }

}  // namespace

std::unique_ptr<TOutput> TOutput::Open(const std::string& setting, std::string& error,
                                       const std::atomic<bool>* cancel) {
  if (setting == XA_OUTPUT_NULL) return std::make_unique<TNullOutput>(true);
  if (setting == XA_OUTPUT_NULL_FAST) return std::make_unique<TNullOutput>(false);
  const std::string wavPrefix = XA_OUTPUT_WAV_PREFIX;
  if (setting.starts_with(wavPrefix)) {
    auto wav = std::make_unique<TWavOutput>(setting.substr(wavPrefix.size()));
    if (wav->Create(error)) return wav;
    return std::make_unique<TNullOutput>(true);
  }
  const size_t colon = setting.find(':');
  const std::string driver = setting.substr(0, colon);
  const std::string name = colon == std::string::npos ? "" : setting.substr(colon + 1);
  if (setting == XA_OUTPUT_DEFAULT || driver == kPulse) {
    auto server = std::make_unique<TPulseOutput>(cancel);
    std::string failure;
    if (server->Open(setting == XA_OUTPUT_DEFAULT ? "" : name, failure)) return server;
    if (setting != XA_OUTPUT_DEFAULT) {
      error = failure;
      return StandIn();
    }
  }
  auto device = std::make_unique<TOut123Output>();
  if (setting == XA_OUTPUT_DEFAULT) {
    std::string ignored;
    if (device->Open(kDeviceDrivers, "", ignored)) return device;
    return StandIn();
  }
  if (device->Open(driver, name, error)) return device;
  return StandIn();
}

}  // namespace xaudio
