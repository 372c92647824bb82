#pragma once
// A network of a test's own behind the players' HTTP port: each address answers as its route
// says, every request is written down, and a body is handed out a buffer's worth per take, as
// the platforms' clients hold it.

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "hls/http_fetcher.h"

namespace lumio::hls {

// What one address answers.
struct Route {
  int status = 200;
  std::string content_type = "audio/aac";
  std::string location;
  std::string icy_metaint;
  std::string body;
  bool endless = false;  // the body never ends: `fill` again and again
  char fill = '\xFF';
};

// A network of the test's routes: every request is recorded, and a body is handed out at most
// a buffer's worth per take, as WinHTTP holds it.
class ScriptedNetwork final : public HttpFetcher {
 public:
  std::map<std::string, Route> routes;
  std::vector<std::string> opened;
  size_t body_taken = 0;

  std::unique_ptr<HttpFetch> Open(const std::string& url,
                                  const HttpFetchOptions& options) override {
    opened.push_back(url);
    const auto route = routes.find(url);
    return std::make_unique<Fetch>(*this, route == routes.end() ? nullptr : &route->second,
                                   options.buffer_limit);
  }

  int OpenedCount(const std::string& url) const {
    return static_cast<int>(std::count(opened.begin(), opened.end(), url));
  }

 private:
  class Fetch final : public HttpFetch {
   public:
    Fetch(ScriptedNetwork& network, const Route* route, size_t limit)
        : network_(network), route_(route), limit_(limit) {}
    Phase phase() const override {
      if (route_ == nullptr) return Phase::kFailed;
      // Ended once the rest fits in what it holds for the taker.
      const bool more = route_->endless || route_->body.size() - sent_ > limit_;
      return route_->status / 100 == 2 && !more ? Phase::kEnded : Phase::kBody;
    }
    HttpHead head() const override {
      if (route_ == nullptr) return {};
      return {route_->status, route_->content_type, route_->icy_metaint, route_->location};
    }
    void TakeBody(std::string& out) override {
      if (route_->status / 100 != 2) return;
      const size_t left = route_->endless ? limit_ : route_->body.size() - sent_;
      const size_t n = std::min(limit_, left);
      if (route_->endless) {
        out.append(n, route_->fill);
      } else {
        out.append(route_->body, sent_, n);
      }
      sent_ += n;
      network_.body_taken += n;
    }
    TransportError failure() const override { return TransportError::kRefused; }
    std::string error() const override { return "no such server"; }

   private:
    ScriptedNetwork& network_;
    const Route* route_;
    size_t limit_;
    size_t sent_ = 0;
  };
};

inline Route Endless() {
  Route route;
  route.endless = true;
  return route;
}

inline Route RedirectTo(std::string location, int status = 302) {
  Route route;
  route.status = status;
  route.location = std::move(location);
  return route;
}

inline Route Text(std::string content_type, std::string body) {
  Route route;
  route.content_type = std::move(content_type);
  route.body = std::move(body);
  return route;
}

}  // namespace lumio::hls
