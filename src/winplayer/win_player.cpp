#include "winplayer/win_player.h"

#include <windows.h>

#include <mfapi.h>

#include <algorithm>
#include <memory>

#include "recording/tap_relay.h"
#include "winbase/com_ptr.h"
#include "winbase/unique_handle.h"
#include "winplayer/player_channel.h"
#include "winplayer/player_worker.h"

namespace lumio {
namespace {

using Kind = win::PlayerCommand::Kind;

win::PlayerCommand Command(Kind kind, std::vector<std::string> urls = {}) {
  win::PlayerCommand command;
  command.kind = kind;
  command.urls = std::move(urls);
  return command;
}

}  // namespace

class WinPlayer::Impl {
  // What the worker thread shares with the player: it may outlive the player (see ~Impl).
  struct Shared {
    win::WorkerOptions options;
    win::PlayerChannel channel;
    TapRelay relay;
  };

 public:
  explicit Impl(const WinPlayerOptions& options) : shared_(std::make_shared<Shared>()) {
    const int32_t seconds_ms = 1000 * std::max(1, options.timeout_seconds);
    win::WorkerOptions& worker = shared_->options;
    worker.limits.answerMs = seconds_ms;
    worker.limits.soundMs = 2 * seconds_ms;
    worker.limits.silenceMs = options.silence_limit_ms > 0 ? options.silence_limit_ms : seconds_ms;
    worker.request_timeout_ms = seconds_ms;
  }
  // The worker ends at its next look at the commands. A worker held up by the system (a sound
  // device that takes seconds to open, a decoder that loads) is not waited for beyond a moment:
  // the program's exit would hang on it. It ends on its own, on state it shares.
  ~Impl() {
    // A worker that outlives the player must not reach a tap that goes with it.
    shared_->relay.Set(nullptr);
    if (!thread_) return;
    shared_->channel.Post(Command(Kind::kQuit));
    WaitForSingleObject(thread_.get(), kQuitWaitMs);
  }
  Impl(const Impl&) = delete;
  Impl& operator=(const Impl&) = delete;

  win::PlayerChannel& channel() {
    if (!thread_) {
      auto* hand_over = new std::shared_ptr<Shared>(shared_);
      thread_.Reset(CreateThread(nullptr, 0, &Work, hand_over, 0, nullptr));
      if (!thread_) delete hand_over;
    }
    return shared_->channel;
  }
  win::PlayerChannel& published() { return shared_->channel; }
  TapRelay& relay() { return shared_->relay; }

 private:
  static constexpr DWORD kQuitWaitMs = 2000;

  static DWORD WINAPI Work(void* hand_over) {
    const std::shared_ptr<Shared> shared = *static_cast<std::shared_ptr<Shared>*>(hand_over);
    delete static_cast<std::shared_ptr<Shared>*>(hand_over);
    win::ComApartment com;
    const bool media_foundation = SUCCEEDED(MFStartup(MF_VERSION, MFSTARTUP_LITE));
    {
      win::PlayerWorker worker(shared->channel, shared->options, shared->relay);
      worker.Run();
    }
    if (media_foundation) MFShutdown();
    return 0;
  }

  std::shared_ptr<Shared> shared_;
  win::UniqueKernelHandle thread_;
};

WinPlayer::WinPlayer(WinPlayerOptions options) : impl_(std::make_unique<Impl>(options)) {}
WinPlayer::~WinPlayer() = default;

void WinPlayer::Prepare() {
  impl_->channel().Post(Command(Kind::kPrepare));
}

void WinPlayer::SetURL(const std::string& url) {
  SetURLs({url});
}

void WinPlayer::SetURLs(const std::vector<std::string>& urls) {
  impl_->channel().Post(Command(Kind::kPlay, urls));
}

int32_t WinPlayer::GetPlayState() {
  return impl_->published().Read().state;
}

void WinPlayer::Stop() {
  impl_->channel().Post(Command(Kind::kStop));
}

void WinPlayer::Pause() {
  impl_->channel().Post(Command(Kind::kPause));
}

void WinPlayer::SetVolume(int32_t volume) {
  impl_->published().SetVolume(std::clamp(volume, 0, 100));
}

void WinPlayer::SetStreamTap(StreamTap* tap) {
  impl_->relay().Set(tap);
}

void WinPlayer::SetMute(bool mute) {
  impl_->published().SetMute(mute);
}

std::string WinPlayer::Title() const {
  return impl_->published().Read().title;
}

std::string WinPlayer::GetTitle() const {
  const win::PlayerSnapshot now = impl_->published().Read();
  return now.state == kPlayStatePlaying ? now.title : std::string();
}

std::string WinPlayer::GetPlayedURL() const {
  return impl_->published().Read().played_url;
}

std::string WinPlayer::LastError() const {
  return impl_->published().Read().last_error;
}

bool WinPlayer::Prepared() const {
  return impl_->published().Read().prepared;
}

StreamFailure WinPlayer::Failure() const {
  return impl_->published().Read().failure;
}

}  // namespace lumio
