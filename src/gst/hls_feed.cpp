#include "gst/hls_feed.h"

#include <gst/app/gstappsrc.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <utility>

#include "gst/openssl_aes.h"
#include "gst/soup_fetcher.h"
#include "hls/hls_reader.h"
#include "stream/stream_limits.h"
#include "text/program_name.h"

namespace lumio::gst {
namespace {

constexpr const char* kHlsMessage = "lumio-hls";

// Audio waiting in the appsrc for the decoders: enough for the decoders to never wait on a
// segment's next bytes, little enough that the network is read at the pace the sound plays
// (the decoded sound ahead of the speakers has its own cap, after the decoders).
constexpr guint64 kQueuedBytes = stream::limits::kMaxBodyBytesHeld / 2;

// Looking again this often once the decoders have room, however the network is paced.
constexpr guint kPollMs = 200;

}  // namespace

struct HlsFeed::Reading {
  GstElement* appsrc = nullptr;  // referenced
  std::string url;
  std::string body;
  bool whole = true;
  int timeout_seconds = 10;
  GMainContext* context = g_main_context_new();
  GMainLoop* loop = g_main_loop_new(context, FALSE);
  std::thread thread;
  bool stop_asked = false;  // by the owner's thread

  // Only on the thread.
  std::unique_ptr<SoupFetcher> fetcher;
  std::unique_ptr<hls::HlsReader> reader;
  GSource* timer = nullptr;  // the reader's next wake, or the next look
  GSource* soon = nullptr;   // a pump due at once
  bool jump_next = false;    // the next audio does not go on from the audio before it
  bool done = false;

  ~Reading() {
    g_main_loop_unref(loop);
    g_main_context_unref(context);
    gst_object_unref(appsrc);
  }

  void Run() {
    g_main_context_push_thread_default(context);
    fetcher = std::make_unique<SoupFetcher>(kUserAgent, [this] { Pump(); });
    hls::HttpFetchOptions options;
    options.timeout_ms = timeout_seconds * 1000;
    reader = std::make_unique<hls::HlsReader>(*fetcher, options, MakeOpenSslAes128Cbc);
    reader->Start(url, std::exchange(body, {}), whole, hls::Clock::now());
    PumpSoon();
    g_main_loop_run(loop);
    // The requests are cancelled with the fetcher; their last steps run on this context.
    DropSource(timer);
    DropSource(soon);
    reader.reset();
    // Cancelled requests complete on this context: a step left undone would keep its request,
    // and the HTTP session, for the program's life.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (!fetcher->Settled() && std::chrono::steady_clock::now() < deadline) {
      if (!g_main_context_iteration(context, FALSE)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
      }
    }
    fetcher.reset();
    while (g_main_context_iteration(context, FALSE)) {
    }
    g_main_context_pop_thread_default(context);
  }

  static void DropSource(GSource*& source) {
    if (source == nullptr) return;
    g_source_destroy(source);
    g_source_unref(source);
    source = nullptr;
  }

  void Schedule(GSource*& slot, GSource* source) {
    DropSource(slot);
    slot = source;
    g_source_set_callback(
        slot,
        [](gpointer self) -> gboolean {
          auto* reading = static_cast<Reading*>(self);
          // Whichever fired, the pump looks at everything and schedules what it needs again.
          DropSource(reading->soon);
          DropSource(reading->timer);
          reading->Pump();
          return G_SOURCE_REMOVE;
        },
        this, nullptr);
    g_source_attach(slot, context);
  }

  void PumpSoon() {
    if (soon == nullptr) Schedule(soon, g_idle_source_new());
  }

  void Post(const HlsReport& report) {
    GstStructure* structure = gst_structure_new(
        kHlsMessage, "kind", G_TYPE_INT, static_cast<gint>(report.kind), "error", G_TYPE_INT,
        static_cast<gint>(report.error), "text", G_TYPE_STRING, report.text.c_str(), nullptr);
    gst_element_post_message(appsrc,
                             gst_message_new_application(GST_OBJECT_CAST(appsrc), structure));
  }

  void Push(std::string audio) {
    if (audio.empty()) return;
    const size_t size = audio.size();
    auto* held = new std::string(std::move(audio));
    GstBuffer* buffer =
        gst_buffer_new_wrapped_full(GST_MEMORY_FLAG_READONLY, held->data(), size, 0, size, held,
                                    [](gpointer data) { delete static_cast<std::string*>(data); });
    if (std::exchange(jump_next, false)) GST_BUFFER_FLAG_SET(buffer, GST_BUFFER_FLAG_DISCONT);
    gst_app_src_push_buffer(GST_APP_SRC(appsrc), buffer);
  }

  // Lets the reader do what the network brought and hands on what it gave: while the decoders
  // have room only, so that a segment without end is read no faster than it plays.
  void Pump() {
    if (done || !reader) return;
    const bool want_more = gst_app_src_get_current_level_bytes(GST_APP_SRC(appsrc)) < kQueuedBytes;
    std::string audio;
    const hls::HlsReader::Status status = reader->Advance(audio, want_more, hls::Clock::now());
    const bool gave = !audio.empty();
    if (auto title = reader->TakeTitle()) Post({HlsReport::Kind::kTitle, std::move(*title)});
    Push(std::move(audio));
    // A jump falls after the audio Advance appended with it.
    if (reader->TakeJump()) jump_next = true;
    switch (status) {
      case hls::HlsReader::Status::kRunning:
        break;
      case hls::HlsReader::Status::kEnded:
        done = true;
        gst_app_src_end_of_stream(GST_APP_SRC(appsrc));
        return;
      case hls::HlsReader::Status::kFailed:
        done = true;
        Post({HlsReport::Kind::kFailed, reader->error(),
              hls::TransportErrorOfHlsFailure(reader->failure())});
        return;
    }
    if (gave && want_more) return PumpSoon();
    // The network wakes the pump as it brings bytes; the reader's reload and the decoders'
    // room are looked at on a timer.
    guint wait_ms = kPollMs;
    if (const auto wake = reader->next_wake()) {
      const auto until = std::chrono::ceil<std::chrono::milliseconds>(*wake - hls::Clock::now());
      wait_ms = static_cast<guint>(std::clamp<int64_t>(until.count(), 0, kPollMs));
    }
    Schedule(timer, g_timeout_source_new(wait_ms));
  }
};

HlsFeed::HlsFeed(GstElement* appsrc, std::string url, std::string body, bool whole,
                 int timeout_seconds)
    : reading_(std::make_unique<Reading>()) {
  reading_->appsrc = static_cast<GstElement*>(gst_object_ref(appsrc));
  reading_->url = std::move(url);
  reading_->body = std::move(body);
  reading_->whole = whole;
  reading_->timeout_seconds = std::max(1, timeout_seconds);
  g_object_set(appsrc, "max-bytes", kQueuedBytes, "block", FALSE, "stream-type",
               GST_APP_STREAM_TYPE_STREAM, "format", GST_FORMAT_BYTES, nullptr);
  reading_->thread = std::thread([reading = reading_.get()] { reading->Run(); });
}

HlsFeed::~HlsFeed() {
  Stop();
  reading_->thread.join();
}

void HlsFeed::Stop() {
  if (std::exchange(reading_->stop_asked, true)) return;
  // Quits the loop from within, whether or not it runs yet (a loop quit before it runs would
  // run on).
  g_main_context_invoke(
      reading_->context,
      [](gpointer self) -> gboolean {
        auto* reading = static_cast<Reading*>(self);
        reading->done = true;
        g_main_loop_quit(reading->loop);
        return G_SOURCE_REMOVE;
      },
      reading_.get());
}

std::optional<HlsReport> HlsFeed::ReportOf(GstMessage* message) {
  if (GST_MESSAGE_TYPE(message) != GST_MESSAGE_APPLICATION ||
      !gst_message_has_name(message, kHlsMessage)) {
    return std::nullopt;
  }
  const GstStructure* structure = gst_message_get_structure(message);
  HlsReport report;
  gint kind = 0;
  gint error = 0;
  gst_structure_get_int(structure, "kind", &kind);
  gst_structure_get_int(structure, "error", &error);
  report.kind = static_cast<HlsReport::Kind>(kind);
  report.error = static_cast<TransportError>(error);
  if (const gchar* text = gst_structure_get_string(structure, "text")) report.text = text;
  return report;
}

}  // namespace lumio::gst
