#include "playback/status_text.h"

#include "ports/media_player.h"
#include "text/literal.h"

namespace lumio {

int32_t TranslatePlayState(int32_t playState) {
  switch (playState) {
    case kPlayStateTransitioning:
      return kStatusConnecting;
    case kPlayStatePlaying:
      return kStatusPlaying;
    case kPlayStateStopped:
      return kStatusStopped;
    case kPlayStatePaused:
      return kStatusPaused;
    case kPlayStateBuffering:
      return kStatusBuffering;
    case kPlayStateReady:
      return kStatusReady;
    default:
      return kStatusPoll;
  }
}

const std::string& StatusText(int32_t code) {
  static const Literal kConnecting("开始连接");
  static const Literal kPlaying("正在播放");
  static const Literal kStopped("已停止");
  static const Literal kPaused("已暂停");
  static const Literal kBuffering("正在缓冲");
  static const Literal kReady("准备就绪");
  static const Literal kUnknown("未知状态");
  switch (code) {
    case kStatusConnecting:
      return kConnecting;
    case kStatusPlaying:
      return kPlaying;
    case kStatusStopped:
      return kStopped;
    case kStatusPaused:
      return kPaused;
    case kStatusBuffering:
      return kBuffering;
    case kStatusReady:
      return kReady;
    default:
      return kUnknown;
  }
}

const std::string& StatusDots() {
  static const std::string kDots = "......";
  return kDots;
}

const std::string& ConnectionFailedText() {
  static const Literal kFailed("连接失败");
  return kFailed;
}

}  // namespace lumio
