#include "presentation/artwork.h"

#include <cstring>

#include "presentation/pixel_order.h"

std::unique_ptr<Gdiplus::Bitmap> face;

namespace {

// Releases a COM stream when it goes out of scope.
struct StreamOwner {
    IStream* stream = nullptr;
    StreamOwner() = default;
    StreamOwner(const StreamOwner&) = delete;
    StreamOwner& operator=(const StreamOwner&) = delete;
    ~StreamOwner() {
        if (stream) stream->Release();
    }
};

// A movable global block holding a copy of `size` bytes; null on failure.
HGLOBAL CopyToGlobal(const void* bytes, DWORD size) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!block) return nullptr;
    void* target = GlobalLock(block);
    if (!target) {
        GlobalFree(block);
        return nullptr;
    }
    std::memcpy(target, bytes, size);
    GlobalUnlock(block);
    return block;
}

} // namespace

std::unique_ptr<Gdiplus::Bitmap> LoadPng(HMODULE module, int id) {
    HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(id & 0xFFFF), RT_RCDATA);
    if (!resource) return nullptr;
    const DWORD size = SizeofResource(module, resource);
    HGLOBAL loaded = LoadResource(module, resource);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes || size == 0) return nullptr;

    HGLOBAL block = CopyToGlobal(bytes, size);
    if (!block) return nullptr;
    StreamOwner owner;
    // The stream frees the block when it is released.
    if (CreateStreamOnHGlobal(block, TRUE, &owner.stream) < 0) {
        GlobalFree(block);
        return nullptr;
    }

    // A bitmap decoded from a stream reads from it for its whole life: only a
    // premultiplied copy, which holds its own pixels, leaves this function.
    std::unique_ptr<Gdiplus::Bitmap> decoded(new Gdiplus::Bitmap(owner.stream));
    if (decoded->GetLastStatus() != Gdiplus::Ok) return nullptr;
    const INT height = static_cast<INT>(decoded->GetHeight());
    const INT width = static_cast<INT>(decoded->GetWidth());
    std::unique_ptr<Gdiplus::Bitmap> copy(decoded->Clone(0, 0, width, height, PixelFormat32bppPARGB));
    if (!copy || copy->GetLastStatus() != Gdiplus::Ok) return nullptr;
    return copy;
}

velmor::Image ReadPixels(Gdiplus::Bitmap* bitmap) {
    if (!bitmap) return {};
    const INT height = static_cast<INT>(bitmap->GetHeight());
    const INT width = static_cast<INT>(bitmap->GetWidth());
    const Gdiplus::Rect area(0, 0, width, height);
    Gdiplus::BitmapData locked{};
    if (bitmap->LockBits(&area, Gdiplus::ImageLockModeRead, PixelFormat32bppPARGB, &locked) != Gdiplus::Ok)
        return {};
    // The stride is signed: rows stored bottom-up still come out top row first.
    velmor::Image image =
        ImageFromBgraRows(static_cast<const std::uint8_t*>(locked.Scan0), locked.Stride,
                          static_cast<std::int32_t>(locked.Width), static_cast<std::int32_t>(locked.Height));
    bitmap->UnlockBits(&locked);
    return image;
}
