#pragma once
// Volume applied to the samples themselves, as every Windows since XP can play them: the same
// result on every sound device, and mute without touching the device's own volume, which is
// the listener's (and other programs').

#include <cstddef>
#include <cstdint>

namespace lumio::win {

// The gain for a volume of 0..100 on a perceptual scale: cubic, as the ear hears loudness, so
// that 50 sounds about half as loud (0.125 of full scale). 0 when muted.
double GainOfVolume(int32_t volume, bool mute);

// `count` samples of `in`, times `gain`, to `out` (which may be `in`), rounded and clipped.
void ScaleSamples(const int16_t* in, int16_t* out, size_t count, double gain);

}  // namespace lumio::win
