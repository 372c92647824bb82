#include "winplayer/win_player.h"

#include <windows.h>

#include <mfapi.h>

#include <algorithm>
#include <thread>

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
 public:
  explicit Impl(const WinPlayerOptions& options) {
    options_.timeout_seconds = std::max(1, options.timeout_seconds);
    options_.silence_limit_ms =
        options.silence_limit_ms > 0 ? options.silence_limit_ms : 1000 * options_.timeout_seconds;
  }
  ~Impl() {
    if (!worker_.joinable()) return;
    channel_.Post(Command(Kind::kQuit));
    worker_.join();
  }
  Impl(const Impl&) = delete;
  Impl& operator=(const Impl&) = delete;

  win::PlayerChannel& channel() {
    if (!worker_.joinable()) worker_ = std::thread([this] { Work(); });
    return channel_;
  }
  win::PlayerChannel& published() { return channel_; }

 private:
  void Work() {
    win::ComApartment com;
    const bool media_foundation = SUCCEEDED(MFStartup(MF_VERSION, MFSTARTUP_LITE));
    {
      win::PlayerWorker worker(channel_, options_);
      worker.Run();
    }
    if (media_foundation) MFShutdown();
  }

  win::WorkerOptions options_;
  win::PlayerChannel channel_;
  std::thread worker_;
};

WinPlayer::WinPlayer(WinPlayerOptions options) : impl_(std::make_unique<Impl>(options)) {}
WinPlayer::~WinPlayer() = default;

void WinPlayer::Prepare() {
  impl_->channel().Post(Command(Kind::kPrepare));
}

void WinPlayer::SetURL(const std::string& url) {
  SetURLs({url});
}

void WinPlayer::SetURLs(std::vector<std::string> urls) {
  impl_->channel().Post(Command(Kind::kPlay, std::move(urls)));
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

void WinPlayer::SetMute(bool mute) {
  impl_->published().SetMute(mute);
}

std::string WinPlayer::Title() const {
  return impl_->published().Read().title;
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
