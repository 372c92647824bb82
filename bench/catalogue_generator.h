#pragma once
// Synthetic station catalogues shaped like the shipped one: GBK names of 4 to 12 Chinese
// characters, stream addresses of 40 to 80 bytes, content categories 1 to 13 in the proportions
// of the real catalogue (综合 about 30 %), regions 1 to 25, popularity 0 to 5.

#include <cstddef>
#include <cstdint>
#include <string>

#include "catalogue/station_record.h"

namespace lumio::bench {

// `count` records with ids 1..count; the same seed gives the same catalogue.
StationList MakeCatalogue(size_t count, uint32_t seed = 20240607);

// A name of the generator's vocabulary, for searching: "交通" in GBK.
const std::string& CommonNameWord();

}  // namespace lumio::bench
