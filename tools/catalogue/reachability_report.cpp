#include "tools/catalogue/reachability_report.h"

#include <algorithm>
#include <array>

#include "tools/common/csv_header.h"
#include "tools/common/csv_writer.h"

namespace lumio::tools {
namespace {

constexpr std::array<std::string_view, 8> kAllColumns = {
    "checked_at", "station", "role", "url", "result", "kind", "reason", "detail"};
constexpr std::array<std::string_view, 2> kNeededColumns = {"url", "result"};

}  // namespace

std::string_view FailureName(StreamFailure failure) {
  switch (failure) {
    case StreamFailure::kNone:
      return "";
    case StreamFailure::kUnreachable:
      return "unreachable";
    case StreamFailure::kGone:
      return "gone";
    case StreamFailure::kForbidden:
      return "forbidden";
    case StreamFailure::kNoAnswer:
      return "no-answer";
    case StreamFailure::kNotAudio:
      return "not-audio";
    case StreamFailure::kBadCertificate:
      return "bad-certificate";
  }
  return "";
}

std::string FormatReachabilityReport(const std::vector<ReachabilityRow>& rows) {
  std::string out;
  AppendCsvRow(out, std::vector<std::string_view>(kAllColumns.begin(), kAllColumns.end()));
  for (const ReachabilityRow& row : rows) {
    AppendCsvRow(out,
                 {row.checkedAt, row.station, row.role, row.url, row.plays() ? "plays" : "fails",
                  row.kind, FailureName(row.failure), row.detail});
  }
  return out;
}

std::optional<std::map<std::string, bool>> ReadReachability(std::string_view csv, CsvError& error) {
  const CsvDocument doc = ParseCsv(csv);
  if (doc.error) {
    error = *doc.error;
    return std::nullopt;
  }
  auto header = CsvHeader::Read(doc, kNeededColumns, /*ignoreUnknown=*/true, error);
  if (!header) return std::nullopt;
  const auto at = header->FindAll(kNeededColumns, error);
  if (!at) return std::nullopt;
  std::map<std::string, bool> played;
  for (size_t r = 1; r < doc.rows.size(); ++r) {
    const CsvRow& row = doc.rows[r];
    if (auto wrongWidth = header->CheckWidth(row)) {
      error = *wrongWidth;
      return std::nullopt;
    }
    const std::string& result = row.cells[(*at)[1]];
    if (result != "plays" && result != "fails") {
      error = CsvError{row.line, "result \"" + result + "\" is neither plays nor fails"};
      return std::nullopt;
    }
    played[row.cells[(*at)[0]]] = result == "plays";
  }
  return played;
}

ReachabilityEffect ApplyReachability(std::vector<UpstreamStation>& stations,
                                     std::vector<std::vector<std::string>>& alternates,
                                     const std::map<std::string, bool>& played) {
  ReachabilityEffect effect;
  effect.leftOut.assign(stations.size(), false);
  for (size_t i = 0; i < stations.size(); ++i) {
    std::vector<std::string> addresses{stations[i].url};
    addresses.insert(addresses.end(), alternates[i].begin(), alternates[i].end());
    // 0 played, 1 not checked, 2 failed.
    auto rank = [&](const std::string& url) {
      const auto found = played.find(url);
      return found == played.end() ? 1 : found->second ? 0 : 2;
    };
    if (std::all_of(addresses.begin(), addresses.end(),
                    [&](const std::string& url) { return rank(url) == 2; })) {
      effect.leftOut[i] = true;
      continue;
    }
    std::stable_sort(addresses.begin(), addresses.end(),
                     [&](const std::string& a, const std::string& b) { return rank(a) < rank(b); });
    if (addresses.front() != stations[i].url) ++effect.repointed;
    stations[i].url = addresses.front();
    alternates[i].assign(addresses.begin() + 1, addresses.end());
  }
  return effect;
}

}  // namespace lumio::tools
