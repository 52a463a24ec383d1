#include "framework/NetHTTP.h"
#include "support/FakeHttpServer.h"

#include <gtest/gtest.h>

namespace {

// A request with an error handler that records what it was told.
struct Recorder {
    int calls = 0;
    QString lastError;
    TNetHTTPRequest* lastSender = nullptr;
    void Attach(TNetHTTPRequest& r)
    {
        r.OnRequestError = [this](TNetHTTPRequest* sender, const QString& error) {
            ++calls;
            lastError = error;
            lastSender = sender;
        };
    }
};

class HttpTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        text.IsTextRequest = true;
        text.ConnectionTimeout = 5000;
        image.ConnectionTimeout = 5000;
    }
    FakeHttpServer server;
    TNetHTTPClient client;
    TNetHTTPRequest text{&client};    // the main window's text requests, with an error handler
    TNetHTTPRequest image{&client};   // an image window's request, without one
    Recorder rec;
};

TEST_F(HttpTest, GetReturnsTheWholeBodyAndSendsAPlainGet)
{
    QByteArray big(300000, 'x');
    big[0] = '{';
    server.Route("/api/v1?name=Usnic%20acid&x=1", FakeResponse::Ok(big, "application/json"));
    rec.Attach(text);
    bool sent = false;
    text.OnSendData = [&](TNetHTTPRequest*, long long, long long, bool&) { sent = true; };
    EXPECT_EQ(text.Get(server.Url("/api/v1?name=Usnic%20acid&x=1")), big);
    EXPECT_EQ(text.LastStatusCode(), 200);
    EXPECT_EQ(rec.calls, 0);
    EXPECT_FALSE(sent);
    EXPECT_EQ(server.Requests(), QStringList{"/api/v1?name=Usnic%20acid&x=1"});
    const QByteArray raw = server.RawRequests().value(0);
    EXPECT_TRUE(raw.startsWith("GET /api/v1?name=Usnic%20acid&x=1 HTTP/1.1\r\n")) << raw.constData();
    EXPECT_FALSE(raw.contains("Authorization"));
}

TEST_F(HttpTest, EmptyBodyIsNotAnError)
{
    server.Route("/empty", FakeResponse::Empty());
    rec.Attach(text);
    EXPECT_TRUE(text.Get(server.Url("/empty")).isEmpty());
    EXPECT_EQ(rec.calls, 0);
    EXPECT_TRUE(image.Get(server.Url("/empty")).isEmpty());
}

TEST_F(HttpTest, RedirectsAreFollowedAndCompressionUndone)
{
    const QByteArray body = QByteArray("{\"name\":\"Atranorin\"}").repeated(200);
    server.Route("/old", FakeResponse::Redirect("/new"));
    server.Route("/new", FakeResponse::Deflated(body, "application/json"));
    EXPECT_EQ(text.Get(server.Url("/old")), body);
    EXPECT_EQ(server.Requests(), (QStringList{"/old", "/new"}));
    EXPECT_EQ(text.LastUrl(), server.Url("/new"));
    EXPECT_TRUE(server.RawRequests().value(0).toLower().contains("accept-encoding"));
}

TEST_F(HttpTest, RedirectToAnotherProtocolIsRefused)
{
    server.Route("/ftp", FakeResponse::Redirect("ftp://127.0.0.1/file"));
    EXPECT_THROW(image.Get(server.Url("/ftp")), ENetHTTPException);
}

TEST_F(HttpTest, ErrorStatusIsEmptyForTextAndRaisesForImages)
{
    server.Route("/missing", FakeResponse::Status(404, "<html>not here</html>"));
    server.Route("/broken", FakeResponse::Status(500, "oops"));
    rec.Attach(text);
    EXPECT_TRUE(text.Get(server.Url("/missing")).isEmpty());
    EXPECT_TRUE(text.Get(server.Url("/broken")).isEmpty());
    EXPECT_EQ(text.LastStatusCode(), 500);
    EXPECT_EQ(rec.calls, 0);   // the network works; the server said no
    EXPECT_THROW(image.Get(server.Url("/missing")), ENetHTTPException);
    EXPECT_THROW(image.Get(server.Url("/unrouted")), ENetHTTPException);
}

// Every failure of the transfer: reported to the handler (Get returns an
// empty body) or raised without one. A partial body is never returned.
struct FailureCase {
    const char* name;
    std::function<QString(FakeHttpServer&)> url;
};

// Shown by the test runner in place of the object's bytes.
void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }

class HttpFailureTest : public HttpTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(HttpFailureTest, WithHandlerReportsAndReturnsEmpty)
{
    rec.Attach(text);
    text.StallTimeoutSeconds = 1;
    const QByteArray body = text.Get(GetParam().url(server));
    EXPECT_TRUE(body.isEmpty()) << body.size();
    EXPECT_EQ(rec.calls, 1);
    EXPECT_EQ(rec.lastSender, &text);
    EXPECT_FALSE(rec.lastError.isEmpty());
}

TEST_P(HttpFailureTest, WithoutHandlerRaises)
{
    image.StallTimeoutSeconds = 1;
    EXPECT_THROW(image.Get(GetParam().url(server)), ENetHTTPException);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, HttpFailureTest,
    ::testing::Values(
        FailureCase{"Refused", [](FakeHttpServer&) { return FakeHttpServer::RefusedAddress(); }},
        FailureCase{"Dropped", [](FakeHttpServer& s) { s.Route("/drop", FakeResponse::Drop()); return s.Url("/drop"); }},
        FailureCase{"CutBody", [](FakeHttpServer& s) {
                        s.Route("/cut", FakeResponse::Cut(QByteArray(10000, 'j'), 4000));
                        return s.Url("/cut");
                    }},
        FailureCase{"Stalled", [](FakeHttpServer& s) { s.Route("/stall", FakeResponse::Stall()); return s.Url("/stall"); }},
        FailureCase{"Unparsable", [](FakeHttpServer&) { return QString("http://[::1"); }},
        FailureCase{"EmptyAddress", [](FakeHttpServer&) { return QString(); }},
        FailureCase{"OtherProtocol", [](FakeHttpServer&) { return QString("file:///etc/passwd"); }},
        // A label longer than 63 characters fails inside the local resolver,
        // so no name server is ever asked.
        FailureCase{"UnknownHost", [](FakeHttpServer&) { return "http://" + QString(64, 'n') + ".invalid/"; }}),
    [](const ::testing::TestParamInfo<FailureCase>& i) { return std::string(i.param.name); });

TEST_F(HttpTest, ServerAnswersAgainAfterAStalledRequest)
{
    server.Route("/stall", FakeResponse::Stall());
    server.Route("/ok", FakeResponse::Ok("fine"));
    image.StallTimeoutSeconds = 1;
    EXPECT_THROW(image.Get(server.Url("/stall")), ENetHTTPException);
    EXPECT_EQ(image.Get(server.Url("/ok")), "fine");
}

TEST_F(HttpTest, PrefixHandlerServesManySimilarRequests)
{
    server.RoutePrefix("/img/", [](const QString& target) {
        return FakeResponse::Ok(target.mid(5).toUtf8(), "image/jpeg");
    });
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(image.Get(server.Url(QString("/img/%1.jpg").arg(i))), QString("%1.jpg").arg(i).toUtf8());
    EXPECT_EQ(server.Requests(), (QStringList{"/img/0.jpg", "/img/1.jpg", "/img/2.jpg"}));
}

} // namespace
