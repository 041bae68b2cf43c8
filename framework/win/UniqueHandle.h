#pragma once
// One owner for every kind of platform handle: the close function and the
// value meaning "none" are template arguments, so each handle kind is a
// one-line alias instead of a hand-written class.
#include <windows.h>
#include <winsvc.h>

#include <utility>

namespace Plinth {

template <typename T, auto Close, auto Invalid = T{}> class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(T handle) : handle_(handle) {}
    ~UniqueHandle() { reset(); }

    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) {
            reset(other.release());
        }
        return *this;
    }

    T get() const { return handle_; }
    explicit operator bool() const { return handle_ != invalid(); }

    // For out-parameters: releases what is held and hands out the slot.
    T* put() {
        reset();
        return &handle_;
    }

    T release() { return std::exchange(handle_, invalid()); }

    void reset(T handle = invalid()) {
        T old = std::exchange(handle_, handle);
        if (old != invalid()) {
            Close(old);
        }
    }

private:
    static T invalid() { return (T)(Invalid); }
    T handle_ = invalid();
};

namespace detail {
inline void closeHandle(HANDLE h) { ::CloseHandle(h); }
inline void closeServiceHandle(SC_HANDLE h) { ::CloseServiceHandle(h); }
inline void closeKey(HKEY h) { ::RegCloseKey(h); }
inline void deleteObject(HGDIOBJ h) { ::DeleteObject(h); }
inline void destroyIcon(HICON h) { ::DestroyIcon(h); }
inline void destroyMenu(HMENU h) { ::DestroyMenu(h); }
inline void freeLibrary(HMODULE h) { ::FreeLibrary(h); }
inline void findClose(HANDLE h) { ::FindClose(h); }
inline void destroyWindow(HWND h) { ::DestroyWindow(h); }
inline constexpr intptr_t invalidHandleValue = -1;
} // namespace detail

using UniqueHandleObject = UniqueHandle<HANDLE, detail::closeHandle>;
using UniqueFileHandle = UniqueHandle<HANDLE, detail::closeHandle, detail::invalidHandleValue>;
using UniqueFindHandle = UniqueHandle<HANDLE, detail::findClose, detail::invalidHandleValue>;
using UniqueServiceHandle = UniqueHandle<SC_HANDLE, detail::closeServiceHandle>;
using UniqueKey = UniqueHandle<HKEY, detail::closeKey>;
using UniqueGdiObject = UniqueHandle<HGDIOBJ, detail::deleteObject>;
using UniqueFont = UniqueHandle<HFONT, detail::deleteObject>;
using UniqueBitmap = UniqueHandle<HBITMAP, detail::deleteObject>;
using UniqueBrush = UniqueHandle<HBRUSH, detail::deleteObject>;
using UniqueIcon = UniqueHandle<HICON, detail::destroyIcon>;
using UniqueMenu = UniqueHandle<HMENU, detail::destroyMenu>;
using UniqueModule = UniqueHandle<HMODULE, detail::freeLibrary>;
using UniqueWindow = UniqueHandle<HWND, detail::destroyWindow>;

} // namespace Plinth
