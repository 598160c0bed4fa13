// UniqueHandle: sole ownership of one native handle, closed by `Closer` when the owner
// lets it go. The one owner for every kind of handle: the closers below cover the kinds
// the program keeps. A function that takes over a handle takes a UniqueHandle&&, so the
// hand-over shows at the call. Stock objects and shared cursors and icons (LR_SHARED,
// LoadCursor/LoadIcon) are never put into an owner.
#pragma once

#include <windows.h>

#include <utility>

template <class Handle, class Closer>
class UniqueHandle {
  public:
    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : handle_(handle) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }
    ~UniqueHandle() { Reset(); }

    Handle Get() const { return handle_; }
    explicit operator bool() const { return handle_ != Handle{}; }

    // Gives the handle up without closing it.
    Handle Release() { return std::exchange(handle_, Handle{}); }
    // Closes the held handle (if any) and takes `handle`.
    void Reset(Handle handle = Handle{}) {
        const Handle old = std::exchange(handle_, handle);
        if (old != Handle{} && old != handle)
            Closer{}(old);
    }

  private:
    Handle handle_{};
};

struct GdiObjectCloser {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
struct IconCloser {
    void operator()(HICON icon) const { DestroyIcon(icon); }
};
struct CursorCloser {
    void operator()(HCURSOR cursor) const { DestroyCursor(cursor); }
};
struct KernelHandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
struct MemoryDcCloser {
    void operator()(HDC dc) const { DeleteDC(dc); }
};
struct MenuCloser {
    void operator()(HMENU menu) const { DestroyMenu(menu); }
};
struct FindCloser {
    void operator()(HANDLE search) const { FindClose(search); }
};
struct HookCloser {
    void operator()(HHOOK hook) const { UnhookWindowsHookEx(hook); }
};

using UniqueBrush = UniqueHandle<HBRUSH, GdiObjectCloser>;
using UniqueBitmap = UniqueHandle<HBITMAP, GdiObjectCloser>;
using UniqueRegion = UniqueHandle<HRGN, GdiObjectCloser>;
using UniqueIcon = UniqueHandle<HICON, IconCloser>;
using UniqueCursor = UniqueHandle<HCURSOR, CursorCloser>;
// Threads, events, files: handles closed with CloseHandle (never INVALID_HANDLE_VALUE).
using UniqueKernelHandle = UniqueHandle<HANDLE, KernelHandleCloser>;
using UniqueMemoryDc = UniqueHandle<HDC, MemoryDcCloser>;
// A menu not (yet) given to a window or to another menu; destroyed with its submenus.
using UniqueMenu = UniqueHandle<HMENU, MenuCloser>;
// A FindFirstFileExW search (never INVALID_HANDLE_VALUE).
using UniqueFind = UniqueHandle<HANDLE, FindCloser>;
using UniqueHook = UniqueHandle<HHOOK, HookCloser>;
