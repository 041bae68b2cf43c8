#include "tests/windows/support/LocalWebServer.h"

#include "tests/windows/support/TestPaths.h"
#include "tests/windows/support/TrayInstances.h"

#include <windows.h>

#include <sstream>

namespace kelvane::test {

namespace {

const char* kServer = R"(
import http.server, os, shutil, ssl, sys, threading, time
folder = sys.argv[1]
def stopped():
    return os.path.exists(os.path.join(folder, 'stop'))
class Handler(http.server.SimpleHTTPRequestHandler):
    def __init__(self, *args, **kwargs):
        super().__init__(*args, directory=folder, **kwargs)
    def do_GET(self):
        with open(os.path.join(folder, 'requests.log'), 'a') as log:
            log.write('%s\t%s\t%s\n' % (self.path, self.headers.get('User-Agent', ''),
                                        self.headers.get('Referer', '')))
        while os.path.exists(os.path.join(folder, 'silent')) and not stopped():
            time.sleep(0.05)
        raw = os.path.join(folder, self.path.lstrip('/') + '.raw')
        if os.path.isfile(raw):
            self.wfile.write(open(raw, 'rb').read())
            self.close_connection = True
            return
        super().do_GET()
    # A proxy's tunnel request, as WinINet sends one for https.
    do_CONNECT = do_GET
    def log_message(self, *args):
        pass
def serve(name, wrap=None):
    server = http.server.ThreadingHTTPServer(('127.0.0.1', 0), Handler)
    if wrap:
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

} // namespace

LocalWebServer::LocalWebServer(const std::string& certificate, const std::string& key) {
    static int servers = 0;
    folder_ = scratchPath("web-" + std::to_string(++servers) + "\\");
    CreateDirectoryA(folder_.c_str(), nullptr);
    writeBytes(folder_ + "server.py", kServer);
    std::string command =
        "/usr/bin/python3 " + unixPath(folder_ + "server.py") + " " + unixPath(folder_);
    if (!certificate.empty()) {
        command += " " + unixPath(certificate) + " " + unixPath(key);
    }
    STARTUPINFOA startup{sizeof startup};
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return;
    }
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    // Wine hands back no process to wait on: the server names its ports in
    // files once it listens, the plain one last.
    waitUntil([&] {
        return (port_ = static_cast<unsigned>(std::atoi(fileBytes(folder_ + "port").c_str()))) != 0;
    });
    securePort_ = static_cast<unsigned>(std::atoi(fileBytes(folder_ + "secure-port").c_str()));
}

// The server removes its folder once it has stopped.
LocalWebServer::~LocalWebServer() {
    writeBytes(folder_ + "stop", "stop");
}

std::string LocalWebServer::url(const std::string& name) const {
    return "http://127.0.0.1:" + std::to_string(port_) + "/" + name;
}

std::string LocalWebServer::secureUrl(const std::string& name) const {
    return "https://127.0.0.1:" + std::to_string(securePort_) + "/" + name;
}

void LocalWebServer::serveFile(const std::string& name, const std::string& bytes) {
    writeBytes(folder_ + name, bytes);
}

void LocalWebServer::serveRaw(const std::string& name, const std::string& answer) {
    writeBytes(folder_ + name + ".raw", answer);
}

void LocalWebServer::fallSilent() {
    writeBytes(folder_ + "silent", "");
}

std::vector<std::string> LocalWebServer::requestsFor(const std::string& name) const {
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

} // namespace kelvane::test
