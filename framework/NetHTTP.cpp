#include "framework/NetHTTP.h"

#include <curl/curl.h>

#include <mutex>

namespace {

void GlobalInitOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct Sink {
    QByteArray body;
    long long limit = 0;
    bool tooLarge = false;
};

size_t WriteBody(char* data, size_t size, size_t count, void* user)
{
    auto* sink = static_cast<Sink*>(user);
    const size_t n = size * count;
    if ((long long)sink->body.size() + (long long)n > sink->limit) {
        sink->tooLarge = true;
        return 0;   // makes libcurl end the transfer with an error
    }
    sink->body.append(data, qsizetype(n));
    return n;
}

struct EasyHandle {
    CURL* h = curl_easy_init();
    ~EasyHandle() { if (h) curl_easy_cleanup(h); }
};

} // namespace

QByteArray TNetHTTPRequest::Fail(const QString& error)
{
    if (OnRequestError) {
        OnRequestError(this, error);
        return {};
    }
    throw ENetHTTPException(error);
}

QByteArray TNetHTTPRequest::Get(const QString& url)
{
    GlobalInitOnce();
    lastStatus = 0;
    lastUrl = url;

    EasyHandle easy;
    if (!easy.h) return Fail(QStringLiteral("Cannot create a web request"));
    CURL* h = easy.h;

    char errbuf[CURL_ERROR_SIZE] = {0};
    Sink sink;
    sink.limit = MaxBodyBytes;
    const QByteArray u = url.toUtf8();

    bool ok = curl_easy_setopt(h, CURLOPT_ERRORBUFFER, errbuf) == CURLE_OK;
    ok = ok && curl_easy_setopt(h, CURLOPT_URL, u.constData()) == CURLE_OK;
    ok = ok && curl_easy_setopt(h, CURLOPT_HTTPGET, 1L) == CURLE_OK;
    ok = ok && curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L) == CURLE_OK;
    ok = ok && curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https") == CURLE_OK;
    ok = ok && curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "http,https") == CURLE_OK;
    ok = ok && curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L) == CURLE_OK;
    ok = ok && curl_easy_setopt(h, CURLOPT_MAXREDIRS, 20L) == CURLE_OK;
    ok = ok && curl_easy_setopt(h, CURLOPT_ACCEPT_ENCODING, "") == CURLE_OK;
    ok = ok && curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, long(ConnectionTimeout > 0 ? ConnectionTimeout : 0)) == CURLE_OK;
    // A server that stops sending ends the request instead of freezing the window.
    ok = ok && curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L) == CURLE_OK;
    ok = ok && curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, long(StallTimeoutSeconds > 0 ? StallTimeoutSeconds : 60)) == CURLE_OK;
    ok = ok && curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, long(TotalTimeoutMs > 0 ? TotalTimeoutMs : 0)) == CURLE_OK;
    ok = ok && curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, WriteBody) == CURLE_OK;
    ok = ok && curl_easy_setopt(h, CURLOPT_WRITEDATA, &sink) == CURLE_OK;
    if (ok && Client && !Client->UserAgent.isEmpty()) {
        const QByteArray ua = Client->UserAgent.toUtf8();
        ok = curl_easy_setopt(h, CURLOPT_USERAGENT, ua.constData()) == CURLE_OK;   // libcurl copies it
    }
    if (!ok) return Fail(QStringLiteral("Cannot set up the web request: %1").arg(QString::fromUtf8(errbuf)));

    const CURLcode rc = curl_easy_perform(h);
    long status = 0;
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &status);
    lastStatus = int(status);
    char* effective = nullptr;
    if (curl_easy_getinfo(h, CURLINFO_EFFECTIVE_URL, &effective) == CURLE_OK && effective)
        lastUrl = QString::fromUtf8(effective);

    if (rc != CURLE_OK) {
        QString msg = sink.tooLarge ? QStringLiteral("The answer is too large")
                                    : QString::fromUtf8(errbuf[0] ? errbuf : curl_easy_strerror(rc));
        return Fail(QStringLiteral("Error getting %1: %2").arg(url, msg));
    }
    if (status < 200 || status > 299) {
        if (IsTextRequest) return {};
        throw ENetHTTPException(QStringLiteral("Error getting %1: the server answered with status %2").arg(url).arg(status));
    }
    return sink.body;
}
