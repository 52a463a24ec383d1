#pragma once
// A small HTTP/1.1 server on 127.0.0.1 for tests. It runs in its own thread
// (the client under test blocks the test's thread), answers each connection
// once and closes it, and records the request targets in order.
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

struct FakeResponse {
    enum class Kind {
        Normal,   // status line, headers, whole body
        Cut,      // full Content-Length announced, only cutAfter bytes sent, then closed
        Drop,     // request read, connection closed without an answer
        Stall     // request read, nothing sent until the client gives up or the server stops
    };
    Kind kind = Kind::Normal;
    int status = 200;
    QByteArray body;
    QByteArray contentType = "text/plain";
    std::vector<std::pair<QByteArray, QByteArray>> headers;   // extra header lines
    int cutAfter = 0;

    static FakeResponse Ok(const QByteArray& body, const QByteArray& contentType = "text/plain");
    static FakeResponse Status(int status, const QByteArray& body = {});
    static FakeResponse Empty();
    static FakeResponse Cut(const QByteArray& body, int cutAfter);
    static FakeResponse Drop();
    static FakeResponse Stall();
    static FakeResponse Redirect(const QByteArray& location, int status = 302);
    // The body sent deflate-compressed with "Content-Encoding: deflate".
    static FakeResponse Deflated(const QByteArray& body, const QByteArray& contentType = "text/plain");
};

class FakeHttpServer {
public:
    using Handler = std::function<FakeResponse(const QString& target)>;

    FakeHttpServer();    // listens at once on an ephemeral port
    ~FakeHttpServer();   // Stop()
    FakeHttpServer(const FakeHttpServer&) = delete;
    FakeHttpServer& operator=(const FakeHttpServer&) = delete;

    // Exact match of path and query ("/path?query").
    void Route(const QString& target, const FakeResponse& response);
    // Every target starting with prefix (longest prefix wins; exact routes
    // first); a later handler for the same prefix replaces the earlier.
    void RoutePrefix(const QString& prefix, Handler handler);
    // The answer for targets without a route (404 "Not found" at first).
    void SetDefault(const FakeResponse& response);

    int Port() const { return port; }
    QString BaseAddress() const;                      // "http://127.0.0.1:<port>"
    QString Url(const QString& target) const { return BaseAddress() + target; }

    QStringList Requests() const;                     // targets in arrival order
    QList<QByteArray> RawRequests() const;            // request line and headers
    void ClearRequests();

    void Stop();                                      // ends stalls, joins the thread

    // A port on 127.0.0.1 with no listener: connecting is refused.
    static int RefusedPort();
    static QString RefusedAddress() { return QStringLiteral("http://127.0.0.1:%1/").arg(RefusedPort()); }

private:
    void Run();
    void Serve(int fd);
    FakeResponse Lookup(const QString& target);
    bool WaitReadable(int fd);

    int listenFd = -1;
    int wakePipe[2] = {-1, -1};
    int port = 0;
    std::atomic<bool> stopping{false};
    std::thread thread;

    mutable std::mutex lock;
    std::map<QString, FakeResponse> routes;
    std::vector<std::pair<QString, Handler>> prefixRoutes;
    FakeResponse fallback;
    QStringList targets;
    QList<QByteArray> raw;
};
