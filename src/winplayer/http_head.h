#pragma once
// A response's head as the Windows player reads it out of WinHTTP, the text of its headers, and
// what WinHTTP's errors mean to the station attempt.

#include <windows.h>
#include <winhttp.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "hls/http_fetcher.h"
#include "playback/stream_failure.h"

namespace lumio::win {

using hls::HttpFetch;
using hls::HttpFetcher;
using hls::HttpFetchOptions;
using hls::HttpHead;

// An address or header the player sends (ASCII), widened byte for byte.
std::wstring WidenAscii(std::string_view ascii);
// A header value as the player reads it: ASCII, every other character '?'.
std::string NarrowToAscii(std::wstring_view wide);
// Any text as UTF-8 (a Location may hold any character; the player escapes what an address
// cannot hold).
std::string Utf8OfWide(std::wstring_view wide);
// A Content-Length's value: digits only, within 64 bits; nullopt for anything else.
std::optional<uint64_t> ContentLengthOfHeader(std::string_view value);

// What the head `request` received says (status, content type, icy-metaint, Location), and in
// `length` the body length it announces.
HttpHead ReadHttpHead(HINTERNET request, std::optional<uint64_t>* length);

// How a request failed with the WinHTTP error `error`; `answered`: after the response's head.
TransportError TransportErrorOfWinHttp(DWORD error, bool answered);

}  // namespace lumio::win
