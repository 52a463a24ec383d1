#pragma once
// Synchronous HTTP GET over libcurl: the client and request components of a
// window. No extra headers are sent; the whole body is kept in memory.
#include "framework/Exceptions.h"
#include <QByteArray>
#include <QString>
#include <functional>

class TNetHTTPRequest;

// Shared client settings of a window's requests.
class TNetHTTPClient {
public:
    QString UserAgent;   // empty: libcurl sends none
};

class TNetHTTPRequest {
public:
    // (sender, error text); called synchronously inside Get.
    using TRequestErrorEvent = std::function<void(TNetHTTPRequest* sender, const QString& error)>;
    // (sender, content length, count written, abort flag); never fires for a GET.
    using TSendDataEvent = std::function<void(TNetHTTPRequest* sender, long long contentLength,
                                              long long written, bool& abort)>;

    explicit TNetHTTPRequest(TNetHTTPClient* client = nullptr) : Client(client) {}

    TNetHTTPClient* Client = nullptr;
    // Connection time-out in milliseconds, read when each request starts
    // (0 = libcurl's own default).
    int ConnectionTimeout = 60000;
    // A transfer that receives no data for this many seconds is ended.
    int StallTimeoutSeconds = 60;
    // The whole request, connecting included, ends after this many
    // milliseconds, however slowly data keeps arriving (0 = no limit).
    int TotalTimeoutMs = 0;
    // Largest body accepted, so a runaway answer cannot exhaust memory.
    long long MaxBodyBytes = 512LL * 1024 * 1024;
    // Text requests hand on an answer with a non-2xx status as an empty body
    // without the error event (the server said no); other requests raise.
    bool IsTextRequest = false;

    // With a handler, every failure of setting up or running the request is
    // reported to it and Get returns an empty body; without, it raises
    // ENetHTTPException.
    TRequestErrorEvent OnRequestError;
    TSendDataEvent OnSendData;

    // The body of a successful answer. A transfer that fails part-way never
    // returns what had arrived.
    QByteArray Get(const QString& url);
    void Get(const QString& url, QByteArray& response) { response = Get(url); }

    // Of the last request: the HTTP status (0 when none arrived), the final
    // address after redirects.
    int LastStatusCode() const { return lastStatus; }
    QString LastUrl() const { return lastUrl; }

private:
    QByteArray Fail(const QString& error);
    int lastStatus = 0;
    QString lastUrl;
};
