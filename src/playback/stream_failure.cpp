#include "playback/stream_failure.h"

#include "text/literal.h"

namespace lumio {

bool IsPermanentFailure(StreamFailure failure) {
  switch (failure) {
    case StreamFailure::kGone:
    case StreamFailure::kForbidden:
    case StreamFailure::kNotAudio:
    case StreamFailure::kBadCertificate:
      return true;
    case StreamFailure::kNone:
    case StreamFailure::kUnreachable:
    case StreamFailure::kNoAnswer:
      return false;
  }
  return false;
}

const std::string& StreamFailureText(StreamFailure failure) {
  static const std::string kNothing;
  static const Literal kUnreachable("无法连接电台服务器");
  static const Literal kGone("电台地址已失效 (404)");
  static const Literal kForbidden("电台拒绝访问 (403)");
  static const Literal kNoAnswer("电台服务器无响应");
  static const Literal kNotAudio("不支持的音频格式");
  static const Literal kBadCertificate("安全证书无效");
  switch (failure) {
    case StreamFailure::kUnreachable:
      return kUnreachable;
    case StreamFailure::kGone:
      return kGone;
    case StreamFailure::kForbidden:
      return kForbidden;
    case StreamFailure::kNoAnswer:
      return kNoAnswer;
    case StreamFailure::kNotAudio:
      return kNotAudio;
    case StreamFailure::kBadCertificate:
      return kBadCertificate;
    case StreamFailure::kNone:
      break;
  }
  return kNothing;
}

StreamFailure FailureOfTransportError(TransportError error) {
  switch (error) {
    case TransportError::kRefused:
    case TransportError::kHostUnknown:
    case TransportError::kNotAllowed:
      return StreamFailure::kUnreachable;
    case TransportError::kTimedOut:
    case TransportError::kConnectionLost:
      return StreamFailure::kNoAnswer;
    case TransportError::kBadCertificate:
      return StreamFailure::kBadCertificate;
    case TransportError::kNotHttp:
    case TransportError::kUndecodable:
      return StreamFailure::kNotAudio;
  }
  return StreamFailure::kUnreachable;
}

StreamFailure FailureForHttpStatus(int status) {
  if (status < 400) return StreamFailure::kNone;
  switch (status) {
    case 401:
    case 403:
    case 407:
    case 451:
      return StreamFailure::kForbidden;
    case 408:
      return StreamFailure::kNoAnswer;
    case 429:
      return StreamFailure::kUnreachable;
    default:
      return status < 500 ? StreamFailure::kGone : StreamFailure::kUnreachable;
  }
}

}  // namespace lumio
