#include "platform/windows/window/main_window_logo.h"

#include <objbase.h>
#include <ocidl.h>
#include <olectl.h>

#include <cstring>

#include "platform/windows/resources.h"

namespace platform::windows {
namespace {

// The resource's bytes, or an empty view.
bool FindLogo(HINSTANCE instance, const void*& data, DWORD& size) {
  HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(LUMBREL_LOGO), MAKEINTRESOURCEW(10));
  if (found == nullptr) return false;
  HGLOBAL loaded = LoadResource(instance, found);
  size = SizeofResource(instance, found);
  data = loaded != nullptr ? LockResource(loaded) : nullptr;
  return data != nullptr && size > 0;
}

// An IStream over a copy of the bytes (the stream frees it).
IStream* StreamOver(const void* data, DWORD size) {
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
  if (memory == nullptr) return nullptr;
  void* target = GlobalLock(memory);
  if (target != nullptr) std::memcpy(target, data, size);
  GlobalUnlock(memory);
  IStream* stream = nullptr;
  if (target == nullptr || FAILED(CreateStreamOnHGlobal(memory, TRUE, &stream))) {
    GlobalFree(memory);
    return nullptr;
  }
  return stream;
}

}  // namespace

HBITMAP LoadLogo(HINSTANCE instance) {
  const void* data = nullptr;
  DWORD size = 0;
  if (!FindLogo(instance, data, size)) return nullptr;
  IStream* stream = StreamOver(data, size);
  if (stream == nullptr) return nullptr;
  IPicture* picture = nullptr;
  HBITMAP copy = nullptr;
  if (SUCCEEDED(OleLoadPicture(stream, static_cast<LONG>(size), FALSE, IID_IPicture,
                               reinterpret_cast<void**>(&picture)))) {
    OLE_HANDLE handle = 0;
    SHORT type = PICTYPE_UNINITIALIZED;
    if (SUCCEEDED(picture->get_Type(&type)) && type == PICTYPE_BITMAP &&
        SUCCEEDED(picture->get_Handle(&handle))) {
      // The picture owns its bitmap; keep a copy that outlives it.
      copy = static_cast<HBITMAP>(CopyImage(reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(handle)),
                                            IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    }
    picture->Release();
  }
  stream->Release();
  return copy;
}

}  // namespace platform::windows
