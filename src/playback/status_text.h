#pragma once
// The texts of the status line and the translation of the player's states into them.

#include <cstdint>
#include <string>

namespace lumio {

// Status codes of UpdateStatus.
inline constexpr int32_t kStatusPoll = 0;  // read the player's state and translate it
inline constexpr int32_t kStatusConnecting = 1;
inline constexpr int32_t kStatusPlaying = 2;
inline constexpr int32_t kStatusStopped = 3;
inline constexpr int32_t kStatusPaused = 4;
inline constexpr int32_t kStatusBuffering = 6;
inline constexpr int32_t kStatusReady = 7;

// The status code for a player state; 0 for a state the status line does not name.
int32_t TranslatePlayState(int32_t playState);

// The GBK text of a status code; "未知状态" for 0 and any code without a text of its own.
const std::string& StatusText(int32_t code);

// "......" and "连接失败", GBK.
const std::string& StatusDots();
const std::string& ConnectionFailedText();

}  // namespace lumio
