#include "hls/http_get.h"

#include <optional>

#include "hls/fetch_url.h"
#include "playback/address_policy.h"
#include "stream/icy_demuxer.h"
#include "stream/url.h"

namespace lumio::hls {
namespace {

// The statuses that name another address for the same request (300 and 304 do not).
bool IsRedirect(int status) {
  return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

std::string_view Trimmed(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

}  // namespace

HttpGet::HttpGet(HttpFetcher& fetcher, const std::string& url, const HttpFetchOptions& options)
    : fetcher_(fetcher), options_(options) {
  Open(url);
}

HttpGet::Phase HttpGet::Advance() {
  // A redirect opens the next request at once, and an instant fetcher may have answered it.
  while (fetch_ && (phase_ == Phase::kWaiting || phase_ == Phase::kBody)) {
    const HttpFetch::Phase raw = fetch_->phase();
    if (raw == HttpFetch::Phase::kWaiting) break;
    // A request that broke off after its head, before this looked, is read as any drop: the
    // head first, then what arrived before the break.
    if (phase_ == Phase::kWaiting &&
        (raw != HttpFetch::Phase::kFailed || fetch_->head().status != 0)) {
      OnHead();
      continue;
    }
    if (raw == HttpFetch::Phase::kFailed) {
      // A stream that drops mid-body still hands out what arrived before.
      const StreamFailure why = FailureOfTransportError(fetch_->failure());
      std::string text = fetch_->error();
      std::unique_ptr<HttpFetch> rest = phase_ == Phase::kBody ? std::move(fetch_) : nullptr;
      Fail(why, std::move(text));
      fetch_ = std::move(rest);
      break;
    }
    if (raw == HttpFetch::Phase::kEnded) phase_ = Phase::kEnded;
    break;
  }
  return phase_;
}

void HttpGet::TakeBody(std::string& out) {
  if (fetch_ && phase_ != Phase::kWaiting) fetch_->TakeBody(out);
}

bool HttpGet::TakeText(std::string& text, size_t cap, bool* whole) {
  *whole = true;
  if (phase_ != Phase::kBody && phase_ != Phase::kEnded) return false;
  if (text.size() <= cap) TakeBody(text);
  if (text.size() <= cap) return phase_ == Phase::kEnded;
  text.resize(cap);
  *whole = false;
  fetch_.reset();
  phase_ = Phase::kEnded;
  return true;
}

void HttpGet::Open(const std::string& url) {
  response_ = HttpResponse{};
  response_.url = url;
  if (std::string refusal = RefusalOfAddress(url); !refusal.empty()) {
    return Fail(StreamFailure::kUnreachable, std::move(refusal));
  }
  fetch_ = fetcher_.Open(url, options_);
}

void HttpGet::Fail(StreamFailure why, std::string text) {
  phase_ = Phase::kFailed;
  failure_ = why;
  error_ = std::move(text);
  fetch_.reset();
}

void HttpGet::OnHead() {
  const HttpHead head = fetch_->head();
  response_.status = head.status;
  if (IsRedirect(head.status)) return Redirect(head);
  const bool wanted = head.status == 200 || (head.status == 206 && options_.range_length > 0);
  if (!wanted) {
    const StreamFailure why = FailureForHttpStatus(head.status);
    // A status that is no error but brings no stream either (204, 304...).
    return Fail(why == StreamFailure::kNone ? StreamFailure::kUnreachable : why,
                "The server answered HTTP " + std::to_string(head.status));
  }
  response_.content_type = head.content_type;
  response_.icy_metaint = stream::IcyMetaintOfHeader(head.icy_metaint);
  phase_ = Phase::kBody;
}

void HttpGet::Redirect(const HttpHead& head) {
  ++redirects_;
  const std::string_view location = Trimmed(head.location);
  if (location.empty()) {
    return Fail(
        StreamFailure::kUnreachable,
        "The server answered HTTP " + std::to_string(head.status) + " without saying where to");
  }
  std::string why;
  const std::optional<std::string> next =
      FetchableFoundUrl(stream::ResolveUrl(response_.url, location), &why);
  if (!next) return Fail(StreamFailure::kUnreachable, "A redirect to no address: " + why);
  if (std::string refusal = RefusalOfRedirect(response_.url, *next, redirects_); !refusal.empty()) {
    return Fail(StreamFailure::kUnreachable, std::move(refusal));
  }
  Open(*next);
}

}  // namespace lumio::hls
