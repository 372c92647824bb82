// fuzz-links: lumio_core
// The station list reader on arbitrary bytes, and the two round trips the list files live by:
// a line the reader returns is written back as the same line, and a record the program writes
// is read back as the same record.
//
// One input serves both: its bytes are a list file for the reader, and the same bytes, taken
// apart with FuzzedDataProvider, are the records for the writer.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/station_line.h"
#include "catalogue/station_list_file.h"
#include "fuzz_check.h"
#include "store/list_codec.h"
#include "text/gbk.h"

namespace lumio {
namespace {

void PrintRecord(const char* label, const StationRecord& r) {
  std::fprintf(stderr, "%s: nid %d, content %d, region %d, extra %d, popularity %d, time %u\n",
               label, r.nid, r.contentCategory, r.regionCategory, r.extraNumber, r.popularity,
               r.timeStamp);
  PrintBytes("extraText1", r.extraText1);
  PrintBytes("url", r.url);
  PrintBytes("name", r.name);
  PrintBytes("extraText2", r.extraText2);
}

// Every line the reader returns, written back with the writer, reads back as itself. Two kinds
// of line cannot be written back by design: one holding LF (the writer turns each "\n" into
// CR LF) and one of 511 bytes (the writer's limit counts the "\n" the reader's does not).
void CheckLinesComeBack(std::string_view bytes) {
  const std::vector<std::string> lines = DecodeListLines(bytes);
  std::vector<std::string> writable;
  std::vector<std::string> expected;
  for (const std::string& line : lines) {
    if (line.find('\n') != std::string::npos || line.size() + 1 >= kMaxListLine) continue;
    writable.push_back(line + "\n");
    expected.push_back(line);
  }
  const std::vector<std::string> again = DecodeListLines(EncodeListLines(writable));
  if (again != expected) {
    for (size_t i = 0; i < expected.size(); ++i) {
      if (i < again.size() && again[i] == expected[i]) continue;
      PrintBytes("line", expected[i]);
      if (i < again.size()) PrintBytes("read back as", again[i]);
      break;
    }
  }
  Check(again == expected, "a line read from a list file reads back the same once written");
}

bool IsGbkTrailByte(unsigned char b) {
  return b >= 0x40 && b <= 0xFE && b != 0x7F;
}

// A text a list file can carry: ASCII and whole two-byte GBK characters, no "|", CR or LF.
// Bytes that would break that are dropped rather than rejected, so most inputs make a record.
std::string ConsumeFieldText(FuzzedDataProvider& in, size_t maxBytes) {
  const std::string raw = in.ConsumeRandomLengthString(maxBytes);
  std::string text;
  for (size_t i = 0; i < raw.size(); ++i) {
    const auto b = static_cast<unsigned char>(raw[i]);
    if (IsGbkLeadByte(b)) {
      if (i + 1 < raw.size() && IsGbkTrailByte(static_cast<unsigned char>(raw[i + 1]))) {
        text.append(raw, i, 2);
        ++i;
      }
      continue;
    }
    if (b == '|' || b == '\r' || b == '\n' || b >= 0x80) continue;
    text.push_back(raw[i]);
  }
  return text;
}

StationRecord ConsumeRecord(FuzzedDataProvider& in) {
  StationRecord r;
  r.extraText1 = ConsumeFieldText(in, 16);
  r.url = ConsumeFieldText(in, 200);
  r.name = ConsumeFieldText(in, 64);
  r.extraText2 = ConsumeFieldText(in, 16);
  r.nid = in.ConsumeIntegral<int32_t>();
  r.contentCategory = in.ConsumeIntegral<int32_t>();
  r.regionCategory = in.ConsumeIntegral<int32_t>();
  r.extraNumber = in.ConsumeIntegral<int32_t>();
  r.popularity = in.ConsumeIntegral<int32_t>();
  r.timeStamp = in.ConsumeIntegral<uint32_t>();
  return r;
}

// Records written with the program's formatter and writer are read back equal. Left out, by
// design: a record whose line reaches 512 bytes with its "\n", and one whose stored line starts
// like a header or comment ("[" or "#", the scrambled forms of "%" and "]").
void CheckRecordsComeBack(FuzzedDataProvider& in) {
  const size_t count = in.ConsumeIntegralInRange<size_t>(1, 8);
  StationList records;
  std::vector<std::string> lines;
  StationList expected;
  for (size_t i = 0; i < count && in.remaining_bytes() > 0; ++i) {
    records.push_back(ConsumeRecord(in));
    lines.push_back(FormatStationLine(records.back()));
    const std::string& line = lines.back();
    const bool looksLikeComment = line[0] == '%' || line[0] == ']';
    if (line.size() < kMaxListLine && !looksLikeComment) expected.push_back(records.back());
  }
  const StationList again = DecodeStationList(EncodeListLines(lines));
  if (again != expected) {
    for (size_t i = 0; i < expected.size(); ++i) {
      if (i < again.size() && again[i] == expected[i]) continue;
      PrintRecord("written", expected[i]);
      if (i < again.size()) PrintRecord("read back", again[i]);
      break;
    }
    std::fprintf(stderr, "%zu records expected back, %zu read\n", expected.size(), again.size());
  }
  Check(again == expected, "a record written to a list file reads back the same");
}

}  // namespace
}  // namespace lumio

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const lumio::StationList records = lumio::DecodeStationList(bytes);
  // A record needs nine separators and its CR LF.
  lumio::Check(records.size() <= size / 11, "no more records than ten-field lines fit");
  lumio::CheckLinesComeBack(bytes);

  FuzzedDataProvider in(data, size);
  lumio::CheckRecordsComeBack(in);
  return 0;
}
