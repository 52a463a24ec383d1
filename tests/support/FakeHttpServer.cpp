#include "support/FakeHttpServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <stdexcept>

FakeResponse FakeResponse::Ok(const QByteArray& body, const QByteArray& contentType)
{
    FakeResponse r;
    r.body = body;
    r.contentType = contentType;
    return r;
}

FakeResponse FakeResponse::Status(int status, const QByteArray& body)
{
    FakeResponse r;
    r.status = status;
    r.body = body;
    return r;
}

FakeResponse FakeResponse::Empty() { return FakeResponse(); }

FakeResponse FakeResponse::Cut(const QByteArray& body, int cutAfter)
{
    FakeResponse r;
    r.kind = Kind::Cut;
    r.body = body;
    r.cutAfter = cutAfter;
    return r;
}

FakeResponse FakeResponse::Drop()
{
    FakeResponse r;
    r.kind = Kind::Drop;
    return r;
}

FakeResponse FakeResponse::Stall()
{
    FakeResponse r;
    r.kind = Kind::Stall;
    return r;
}

FakeResponse FakeResponse::Redirect(const QByteArray& location, int status)
{
    FakeResponse r;
    r.status = status;
    r.headers.push_back({"Location", location});
    return r;
}

FakeResponse FakeResponse::Deflated(const QByteArray& body, const QByteArray& contentType)
{
    FakeResponse r;
    // qCompress gives a 4-byte length and then a zlib stream, which is what
    // "deflate" means in HTTP.
    r.body = qCompress(body).mid(4);
    r.contentType = contentType;
    r.headers.push_back({"Content-Encoding", "deflate"});
    return r;
}

namespace {

const char* ReasonPhrase(int status)
{
    switch (status) {
    case 200: return "OK";
    case 204: return "No Content";
    case 301: return "Moved Permanently";
    case 302: return "Found";
    case 303: return "See Other";
    case 307: return "Temporary Redirect";
    case 400: return "Bad Request";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    case 503: return "Service Unavailable";
    default: return "Status";
    }
}

void SendAll(int fd, const char* data, size_t n)
{
    while (n > 0) {
        const ssize_t w = ::send(fd, data, n, MSG_NOSIGNAL);
        if (w <= 0) {
            if (w < 0 && errno == EINTR) continue;
            return;   // the client went away; nothing more to do
        }
        data += w;
        n -= size_t(w);
    }
}

} // namespace

FakeHttpServer::FakeHttpServer()
{
    fallback = FakeResponse::Status(404, "Not found");
    listenFd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listenFd < 0) throw std::runtime_error("socket failed");
    int one = 1;
    ::setsockopt(listenFd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    if (::bind(listenFd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(listenFd, 16) != 0) {
        ::close(listenFd);
        throw std::runtime_error("bind/listen failed");
    }
    socklen_t len = sizeof addr;
    ::getsockname(listenFd, reinterpret_cast<sockaddr*>(&addr), &len);
    port = ntohs(addr.sin_port);
    if (::pipe2(wakePipe, O_CLOEXEC) != 0) {
        ::close(listenFd);
        throw std::runtime_error("pipe failed");
    }
    thread = std::thread([this] { Run(); });
}

FakeHttpServer::~FakeHttpServer() { Stop(); }

void FakeHttpServer::Stop()
{
    if (thread.joinable()) {
        stopping = true;
        const char c = 'x';
        (void)!::write(wakePipe[1], &c, 1);
        thread.join();
    }
    if (listenFd >= 0) { ::close(listenFd); listenFd = -1; }
    for (int& fd : wakePipe)
        if (fd >= 0) { ::close(fd); fd = -1; }
}

void FakeHttpServer::Route(const QString& target, const FakeResponse& response)
{
    std::lock_guard g(lock);
    routes[target] = response;
}

void FakeHttpServer::RoutePrefix(const QString& prefix, Handler handler)
{
    std::lock_guard g(lock);
    for (auto& [known, existing] : prefixRoutes)
        if (known == prefix) {
            existing = std::move(handler);
            return;
        }
    prefixRoutes.emplace_back(prefix, std::move(handler));
}

void FakeHttpServer::SetDefault(const FakeResponse& response)
{
    std::lock_guard g(lock);
    fallback = response;
}

QString FakeHttpServer::BaseAddress() const { return QStringLiteral("http://127.0.0.1:%1").arg(port); }

QStringList FakeHttpServer::Requests() const
{
    std::lock_guard g(lock);
    return targets;
}

QList<QByteArray> FakeHttpServer::RawRequests() const
{
    std::lock_guard g(lock);
    return raw;
}

void FakeHttpServer::ClearRequests()
{
    std::lock_guard g(lock);
    targets.clear();
    raw.clear();
}

int FakeHttpServer::RefusedPort()
{
    // Bound but never listening: the kernel refuses connections to it while
    // the socket holds the port, and afterwards nobody is likely to take it.
    static int refused = [] {
        int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
        socklen_t len = sizeof addr;
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
        return int(ntohs(addr.sin_port));   // fd deliberately kept for the run
    }();
    return refused;
}

FakeResponse FakeHttpServer::Lookup(const QString& target)
{
    std::lock_guard g(lock);
    auto it = routes.find(target);
    if (it != routes.end()) return it->second;
    const Handler* best = nullptr;
    qsizetype bestLen = -1;
    for (const auto& [prefix, handler] : prefixRoutes)
        if (target.startsWith(prefix) && prefix.size() > bestLen) {
            best = &handler;
            bestLen = prefix.size();
        }
    if (best) {
        Handler h = *best;
        lock.unlock();
        FakeResponse r = h(target);
        lock.lock();
        return r;
    }
    return fallback;
}

bool FakeHttpServer::WaitReadable(int fd)
{
    pollfd p[2] = {{fd, POLLIN, 0}, {wakePipe[0], POLLIN, 0}};
    for (;;) {
        const int n = ::poll(p, 2, -1);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (p[1].revents) return false;   // stopping
        return true;
    }
}

void FakeHttpServer::Run()
{
    while (!stopping) {
        if (!WaitReadable(listenFd)) break;
        const int fd = ::accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) continue;
        Serve(fd);
        ::close(fd);
    }
}

void FakeHttpServer::Serve(int fd)
{
    QByteArray req;
    while (!req.contains("\r\n\r\n")) {
        if (!WaitReadable(fd)) return;
        char buf[4096];
        const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
        if (n <= 0) return;
        req.append(buf, qsizetype(n));
        if (req.size() > 1 << 20) return;
    }
    req.truncate(req.indexOf("\r\n\r\n"));
    const QByteArray requestLine = req.left(req.indexOf("\r\n") < 0 ? req.size() : req.indexOf("\r\n"));
    const QList<QByteArray> parts = requestLine.split(' ');
    const QString target = parts.size() >= 2 ? QString::fromUtf8(parts[1]) : QString();
    {
        std::lock_guard g(lock);
        targets.append(target);
        raw.append(req);
    }
    const FakeResponse r = Lookup(target);

    if (r.kind == FakeResponse::Kind::Drop) return;
    if (r.kind == FakeResponse::Kind::Stall) {
        // Silent until the server stops or the client gives up, so a later
        // request to the same server is served again.
        pollfd p[2] = {{fd, POLLIN, 0}, {wakePipe[0], POLLIN, 0}};
        char sink[1024];
        for (;;) {
            const int n = ::poll(p, 2, -1);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0 || p[1].revents) return;
            if (::recv(fd, sink, sizeof sink, 0) <= 0) return;
        }
    }
    QByteArray head = "HTTP/1.1 " + QByteArray::number(r.status) + ' ' + ReasonPhrase(r.status) + "\r\n";
    head += "Content-Type: " + r.contentType + "\r\n";
    head += "Content-Length: " + QByteArray::number(r.body.size()) + "\r\n";
    head += "Connection: close\r\n";
    for (const auto& [name, value] : r.headers) head += name + ": " + value + "\r\n";
    head += "\r\n";
    SendAll(fd, head.constData(), size_t(head.size()));
    const qsizetype n = r.kind == FakeResponse::Kind::Cut ? qMin<qsizetype>(r.cutAfter, r.body.size()) : r.body.size();
    SendAll(fd, r.body.constData(), size_t(n));
    ::shutdown(fd, SHUT_WR);
    // Let the client read everything before the socket goes away.
    pollfd p[2] = {{fd, POLLIN, 0}, {wakePipe[0], POLLIN, 0}};
    char sink[1024];
    while (::poll(p, 2, 2000) > 0 && !p[1].revents && ::recv(fd, sink, sizeof sink, 0) > 0) {}
}
