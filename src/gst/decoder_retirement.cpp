#include "gst/decoder_retirement.h"

#include <algorithm>
#include <chrono>

namespace lumio::gst {
namespace {

// How long the end of the player waits for decoders still stopping: a decoder that stops at
// all stops within milliseconds.
constexpr auto kLastWait = std::chrono::milliseconds(250);

}  // namespace

DecoderRetirement::~DecoderRetirement() {
  const auto until = std::chrono::steady_clock::now() + kLastWait;
  while (Stopping() > 0 && std::chrono::steady_clock::now() < until)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  FreeHalted();
  for (Retiring& stuck : retiring_) {
    stuck.thread.detach();
    static_cast<void>(stuck.decoder.release());
  }
}

void DecoderRetirement::Retire(std::unique_ptr<StreamDecoder> decoder) {
  FreeHalted();
  Retiring retiring;
  retiring.halted = std::make_shared<std::atomic<bool>>(false);
  retiring.thread = std::thread([stopping = decoder.get(), halted = retiring.halted] {
    stopping->Halt();
    halted->store(true, std::memory_order_release);
  });
  retiring.decoder = std::move(decoder);
  retiring_.push_back(std::move(retiring));
}

size_t DecoderRetirement::Stopping() const {
  return static_cast<size_t>(std::count_if(retiring_.begin(), retiring_.end(), [](auto& r) {
    return !r.halted->load(std::memory_order_acquire);
  }));
}

void DecoderRetirement::FreeHalted() {
  std::erase_if(retiring_, [](Retiring& retiring) {
    if (!retiring.halted->load(std::memory_order_acquire)) return false;
    retiring.thread.join();
    return true;  // the decoder is freed here, on the user-interface thread
  });
}

}  // namespace lumio::gst
