#pragma once
// Decoders that an open no longer needs, stopped away from the user-interface thread. Stopping
// a decoder waits for its streaming threads, and a demuxer that deadlocked on a hostile stream
// (an HLS segment without end) never lets them go: the listener's Stop, a change of station or
// the end of the program must not wait for that.

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "gst/stream_decoder.h"

namespace lumio::gst {

class DecoderRetirement {
 public:
  DecoderRetirement() = default;
  // Waits a short while for the decoders still stopping; any that do not stop in it are left
  // to their thread, never freed (their elements may still call into them).
  ~DecoderRetirement();
  DecoderRetirement(const DecoderRetirement&) = delete;
  DecoderRetirement& operator=(const DecoderRetirement&) = delete;

  // Stops `decoder`, already detached from the pipeline, on a thread of its own; returns at
  // once. Frees the decoders that stopped since.
  void Retire(std::unique_ptr<StreamDecoder> decoder);

  // Decoders still stopping.
  size_t Stopping() const;

 private:
  struct Retiring {
    std::unique_ptr<StreamDecoder> decoder;
    std::shared_ptr<std::atomic<bool>> halted;
    std::thread thread;
  };

  void FreeHalted();

  std::vector<Retiring> retiring_;
};

}  // namespace lumio::gst
