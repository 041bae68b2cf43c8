#pragma once
// Python's http.server on 127.0.0.1 as the maker's web server, over http and,
// given a certificate and its key, also over https: files in its folder are
// served as they are; a file "<name>.raw" is sent instead as the whole
// answer, so a test can announce a length the body does not have or
// redirect. Every request, a proxy's CONNECT too, is logged as
// "path<TAB>agent<TAB>referrer".
#include "tests/windows/support/TestPaths.h"

#include <windows.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace kelvane::test {

inline const char* const localWebServerScript = R"(
import functools, http.server, os, shutil, ssl, sys, threading, time
folder = sys.argv[1]
stopped = lambda: os.path.exists(os.path.join(folder, 'stop'))
class Handler(http.server.SimpleHTTPRequestHandler):
    def do_GET(self):
        with open(os.path.join(folder, 'requests.log'), 'a') as log:
            log.write('\t'.join([self.path, self.headers.get('User-Agent', ''),
                                 self.headers.get('Referer', '')]) + '\n')
        while os.path.exists(os.path.join(folder, 'silent')) and not stopped():
            time.sleep(0.05)
        raw = os.path.join(folder, self.path.lstrip('/') + '.raw')
        if not os.path.isfile(raw):
            return super().do_GET()
        self.wfile.write(open(raw, 'rb').read())
        self.close_connection = True
    # A proxy's tunnel request, as WinINet sends one for https.
    do_CONNECT = do_GET
    log_message = lambda *args: None
def serve(name, wrap=lambda s: s):
    server = http.server.ThreadingHTTPServer(('127.0.0.1', 0),
                                             functools.partial(Handler, directory=folder))
    server.socket = wrap(server.socket)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    port = os.path.join(folder, name)
    open(port + '.tmp', 'w').write(str(server.server_address[1]))
    os.replace(port + '.tmp', port)
    return server
servers = []
if len(sys.argv) > 3 and os.path.isfile(sys.argv[2]):
    tls = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    tls.load_cert_chain(sys.argv[2], sys.argv[3])
    servers.append(serve('secure-port', lambda s: tls.wrap_socket(s, server_side=True)))
servers.append(serve('port'))
deadline = time.time() + 600
while not stopped() and time.time() < deadline:
    time.sleep(0.05)
for server in servers:
    server.shutdown()
shutil.rmtree(folder, ignore_errors=True)
)";

class LocalWebServer {
public:
    // certificate, key: the PEM files for https.
    explicit LocalWebServer(const std::string& certificate = "", const std::string& key = "") {
        static int servers = 0;
        folder_ = scratchPath("web-" + std::to_string(++servers) + "\\");
        CreateDirectoryA(folder_.c_str(), nullptr);
        writeBytes(folder_ + "server.py", localWebServerScript);
        // Without a certificate the server skips https.
        startProgram("/usr/bin/python3 " + unixPath(folder_ + "server.py") + " " +
                     unixPath(folder_) + " " + unixPath(certificate) + " " + unixPath(key));
        // Wine hands back no process to wait on: the server names its ports in
        // files once it listens, the plain one last.
        waitUntil([&] {
            return (port_ =
                        static_cast<unsigned>(std::atoi(fileBytes(folder_ + "port").c_str()))) != 0;
        });
        securePort_ = static_cast<unsigned>(std::atoi(fileBytes(folder_ + "secure-port").c_str()));
    }
    // The server removes its folder once it has stopped.
    ~LocalWebServer() { writeBytes(folder_ + "stop", "stop"); }
    LocalWebServer(const LocalWebServer&) = delete;
    LocalWebServer& operator=(const LocalWebServer&) = delete;

    bool ready() const { return port_ != 0; }
    bool secureReady() const { return securePort_ != 0; }
    unsigned port() const { return port_; }
    std::string url(const std::string& name) const {
        return "http://127.0.0.1:" + std::to_string(port_) + "/" + name;
    }
    std::string secureUrl(const std::string& name) const {
        return "https://127.0.0.1:" + std::to_string(securePort_) + "/" + name;
    }
    void serveFile(const std::string& name, const std::string& bytes) {
        writeBytes(folder_ + name, bytes);
    }
    void serveRaw(const std::string& name, const std::string& answer) {
        writeBytes(folder_ + name + ".raw", answer);
    }
    // From now on every request is accepted, logged and never answered.
    void fallSilent() { writeBytes(folder_ + "silent", ""); }
    // The logged requests for /name; every one for an empty name.
    std::vector<std::string> requestsFor(const std::string& name) const {
        std::vector<std::string> found;
        std::istringstream log(fileBytes(folder_ + "requests.log"));
        std::string line;
        while (std::getline(log, line)) {
            if (name.empty() || line.rfind("/" + name + "\t", 0) == 0) {
                found.push_back(line);
            }
        }
        return found;
    }

private:
    std::string folder_;
    unsigned port_ = 0;
    unsigned securePort_ = 0;
};

} // namespace kelvane::test
