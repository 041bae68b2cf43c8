#include "update/win/HttpGet.h"

#include "framework/Exception.h"

#include <commctrl.h>
#include <wininet.h>

#include <cstring>
#include <vector>

namespace kelvane {

namespace {

// Internet handles close with InternetCloseHandle; the transfer closes them
// itself in order (request, connection, library) and reports a failed
// close, so this guard only covers the ways out through an exception. A
// handle given a cancel is registered with it while the transfer runs, and
// one that the cancel closed is not closed again.
class InternetHandle {
public:
    explicit InternetHandle(HINTERNET handle, HttpCancel* cancel = nullptr)
        : handle_(handle), cancel_(handle ? cancel : nullptr) {
        if (cancel_ && !cancel_->enter(handle_)) {
            InternetCloseHandle(handle_);
            handle_ = nullptr;
            throw Plinth::INetException(ERROR_INTERNET_OPERATION_CANCELLED);
        }
    }
    ~InternetHandle() {
        if (handle_ && takeBack()) {
            InternetCloseHandle(handle_);
        }
    }
    InternetHandle(const InternetHandle&) = delete;
    InternetHandle& operator=(const InternetHandle&) = delete;
    HINTERNET get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    void close() {
        HINTERNET handle = handle_;
        handle_ = nullptr;
        if (!takeBack()) {
            throw Plinth::INetException(ERROR_INTERNET_OPERATION_CANCELLED);
        }
        if (!InternetCloseHandle(handle)) {
            throw Plinth::LIE();
        }
    }

private:
    // False when the cancel has closed the handle.
    bool takeBack() {
        HttpCancel* cancel = cancel_;
        cancel_ = nullptr;
        return !cancel || cancel->release();
    }

    HINTERNET handle_;
    HttpCancel* cancel_;
};

// The address the answer finally came from, after any redirection.
bool answeredOverHttps(HINTERNET request) {
    char address[INTERNET_MAX_URL_LENGTH + 1] = {};
    DWORD size = sizeof address - 1;
    return InternetQueryOptionA(request, INTERNET_OPTION_URL, address, &size) &&
           _strnicmp(address, "https://", 8) == 0;
}

thread_local HttpCancel* openScope = nullptr;

// The waits of a request for its server, set on the request itself: Wine
// takes the answer time-outs only there. A library that refuses an option
// keeps its own.
void limitWaits(HINTERNET request) {
    DWORD connect = httpConnectTimeoutMs, receive = httpReceiveTimeoutMs;
    InternetSetOptionA(request, INTERNET_OPTION_CONNECT_TIMEOUT, &connect, sizeof connect);
    InternetSetOptionA(request, INTERNET_OPTION_SEND_TIMEOUT, &receive, sizeof receive);
    InternetSetOptionA(request, INTERNET_OPTION_RECEIVE_TIMEOUT, &receive, sizeof receive);
}

} // namespace

HttpCancel::Scope::Scope(HttpCancel& cancel) : outer_(openScope) {
    openScope = &cancel;
}

HttpCancel::Scope::~Scope() {
    openScope = outer_;
}

HttpCancel* HttpCancel::current() {
    return openScope;
}

void HttpCancel::cancel() {
    std::lock_guard<std::mutex> guard(lock_);
    cancelled_ = true;
    if (request_) {
        // Ends a call that waits on the server in the transfer's thread.
        InternetCloseHandle(request_);
        request_ = nullptr;
    }
}

bool HttpCancel::enter(void* request) {
    std::lock_guard<std::mutex> guard(lock_);
    if (cancelled_) {
        return false;
    }
    request_ = request;
    return true;
}

bool HttpCancel::release() {
    std::lock_guard<std::mutex> guard(lock_);
    const bool stillOpen = request_ != nullptr;
    request_ = nullptr;
    return stillOpen;
}

bool httpGet(const HttpRequest& request, std::string& sink) {
    return httpGet(request, [&sink](const char* data, std::size_t size) {
        sink.append(data, size);
        return true;
    });
}

bool httpGet(const HttpRequest& request, const HttpSink& sink) {
    std::vector<char> canonical(request.address.size() * 3 + 16);
    DWORD length = static_cast<DWORD>(canonical.size());
    if (!InternetCanonicalizeUrlA(request.address.c_str(), canonical.data(), &length, 0)) {
        throw Plinth::LIE();
    }
    InternetHandle library(
        InternetOpenA(request.agent.c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!library) {
        throw Plinth::LIE();
    }
    char host[INTERNET_MAX_HOST_NAME_LENGTH + 1] = {};
    std::vector<char> path(canonical.size() + 1);
    URL_COMPONENTSA parts = {};
    parts.dwStructSize = sizeof parts;
    parts.lpszHostName = host;
    parts.dwHostNameLength = sizeof host;
    parts.lpszUrlPath = path.data();
    parts.dwUrlPathLength = static_cast<DWORD>(path.size());
    if (!InternetCrackUrlA(canonical.data(), 0, 0, &parts)) {
        throw Plinth::LIE();
    }
    DWORD flags = request.flags;
    if (parts.nScheme == INTERNET_SCHEME_HTTPS) {
        flags |= INTERNET_FLAG_SECURE;
    }
    InternetHandle connection(InternetConnectA(library.get(), host, parts.nPort, nullptr, nullptr,
                                               INTERNET_SERVICE_HTTP, 0, 0));
    if (!connection) {
        throw Plinth::LIE();
    }
    InternetHandle http(
        HttpOpenRequestA(connection.get(), "GET", path.data(), nullptr,
                         request.referrer.empty() ? nullptr : request.referrer.c_str(), nullptr,
                         flags, 0),
        HttpCancel::current());
    if (!http) {
        throw Plinth::LIE();
    }
    limitWaits(http.get());
    if (!HttpSendRequestA(http.get(), nullptr, 0, nullptr, 0)) {
        throw Plinth::LIE();
    }

    // An error page is no description and no setup, however whole it came.
    DWORD status = 0, statusSize = sizeof status;
    if (!HttpQueryInfoA(http.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status,
                        &statusSize, nullptr)) {
        throw Plinth::LIE();
    }
    DWORD announced = 0, size = sizeof announced;
    const bool known = HttpQueryInfoA(
        http.get(), HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER, &announced, &size, nullptr);
    bool complete = true;
    if (status < 200 || status > 299 || (known && announced > request.maxBytes) ||
        (request.secureOnly && !answeredOverHttps(http.get()))) {
        complete = false; // refused before any of it is read
    } else {
        if (known && request.progressBar) {
            SendMessageA(request.progressBar, PBM_SETRANGE32, 0, announced / 1024);
        }
        std::size_t received = 0;
        char block[1024];
        for (;;) {
            DWORD read = 0;
            if (!InternetReadFile(http.get(), block, sizeof block, &read)) {
                throw Plinth::LIE();
            }
            if (read == 0) {
                break;
            }
            if (received + read > request.maxBytes) {
                complete = false;
                break;
            }
            if (!sink(block, read)) {
                complete = false;
                break;
            }
            received += read;
            if (request.progressBar) {
                SendMessageA(request.progressBar, PBM_SETPOS, received / 1024, 0);
            }
        }
        complete = complete && (!known || received == announced);
    }
    http.close();
    connection.close();
    library.close();
    return complete;
}

} // namespace kelvane
