#include "inventory/ReaderState.h"

#include "framework/Exception.h"

#include <new>

namespace kelvane {

namespace {

// The status line's text for a read that ended with a failure of any kind.
std::string failureText() {
    try {
        throw;
    } catch (const Plinth::Exception& e) {
        return e.getMessage();
    } catch (const std::bad_alloc&) {
        return Plinth::SDKException(14).getMessage(); // not enough memory
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return Plinth::SDKException(1359).getMessage(); // an internal error
    }
}

} // namespace

void runOneRead(ReaderState& state, const std::function<void()>& read) {
    {
        std::lock_guard<std::recursive_mutex> guard(state.lock);
        state.errorText.clear();
    }
    try {
        read();
    } catch (...) {
        std::lock_guard<std::recursive_mutex> guard(state.lock);
        try {
            state.errorText = failureText();
        } catch (...) {
            // Building the text failed too (memory): a text short enough to
            // need no allocation still tells the refresh that the read failed.
            state.errorText = "out of memory";
        }
    }
    state.busy = false;
}

} // namespace kelvane
