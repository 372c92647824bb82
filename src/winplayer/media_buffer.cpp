#include "winplayer/media_buffer.h"

#include <atomic>
#include <cstring>
#include <vector>

namespace lumio::win {
namespace {

// COM objects are destroyed by their own Release, never through a pointer to the interface,
// which is why COM's interfaces have no virtual destructor.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class MemoryBuffer final : public IMediaBuffer {
 public:
  explicit MemoryBuffer(DWORD capacity) : bytes_(capacity) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IMediaBuffer)) {
      *out = static_cast<IMediaBuffer*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }
  HRESULT STDMETHODCALLTYPE SetLength(DWORD length) override {
    if (length > bytes_.size()) return E_INVALIDARG;
    length_ = length;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetMaxLength(DWORD* capacity) override {
    if (capacity == nullptr) return E_POINTER;
    *capacity = static_cast<DWORD>(bytes_.size());
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetBufferAndLength(BYTE** buffer, DWORD* length) override {
    if (buffer == nullptr && length == nullptr) return E_POINTER;
    if (buffer != nullptr) *buffer = bytes_.data();
    if (length != nullptr) *length = length_;
    return S_OK;
  }

 private:
  std::atomic<ULONG> references_{0};
  std::vector<BYTE> bytes_;
  DWORD length_ = 0;
};
#pragma GCC diagnostic pop

}  // namespace

ComPtr<IMediaBuffer> MakeMediaBuffer(DWORD capacity) {
  ComPtr<IMediaBuffer> buffer;
  (new MemoryBuffer(capacity))->QueryInterface(IID_IMediaBuffer, buffer.put_void());
  return buffer;
}

ComPtr<IMediaBuffer> MakeMediaBuffer(std::string_view bytes) {
  ComPtr<IMediaBuffer> buffer = MakeMediaBuffer(static_cast<DWORD>(bytes.size()));
  BYTE* data = nullptr;
  buffer->GetBufferAndLength(&data, nullptr);
  if (!bytes.empty()) std::memcpy(data, bytes.data(), bytes.size());
  buffer->SetLength(static_cast<DWORD>(bytes.size()));
  return buffer;
}

}  // namespace lumio::win
