#include "core/WebText.h"
#include "support/QtPrinters.h"
#include "framework/Forms.h"
#include "framework/NetHTTP.h"
#include "framework/Text.h"
#include "support/FakeHttpServer.h"
#include "support/ScriptedDialogs.h"
#include <gtest/gtest.h>

#include <memory>
#include <random>


namespace {

const QString Question = "Error connecting to website.  Disable internet?";

// The main window's part of a fetch: its request with the error handler and
// its two update menu items.
class WebText : public ::testing::Test {
protected:
    void SetUp() override
    {
        InternetEnabled = true;
        Application->CreateForm(mainForm);
        mainWindow.reset(mainForm);
        auto* menu = new TMainMenu(mainForm);
        updateLichens = new TMenuItem(mainForm, menu);
        updateLichens->Name = "UpdateLichenData1";
        updateSubstances = new TMenuItem(mainForm, menu);
        updateSubstances->Name = "DownloadSubstanceData1";
        request.IsTextRequest = true;
        request.ConnectionTimeout = 3000;
        request.OnRequestError = [this](TNetHTTPRequest*, const QString&) {
            ++errorEvents;
            AskDisableInternet();
        };
        SetWebTextRequest(&request);
    }
    void TearDown() override
    {
        SetWebTextRequest(nullptr);
        InternetEnabled = true;
    }
    bool MenuItemsEnabled() const { return updateLichens->Enabled() && updateSubstances->Enabled(); }
    bool MenuItemsDisabled() const { return !updateLichens->Enabled() && !updateSubstances->Enabled(); }
    QString Fetch(const QByteArray& body)
    {
        server.Route("/page", FakeResponse::Ok(body));
        return QString::fromUtf8(HttpGetText(server.Url("/page")));
    }

    FakeHttpServer server;
    TForm* mainForm = nullptr;
    std::unique_ptr<TForm> mainWindow;
    TMenuItem* updateLichens = nullptr;
    TMenuItem* updateSubstances = nullptr;
    TNetHTTPRequest request;
    int errorEvents = 0;
};

TEST_F(WebText, SwitchOffSendsNothingAndAsksNothing)
{
    InternetEnabled = false;
    EXPECT_EQ(HttpGetText(server.Url("/page")), "Error");
    EXPECT_TRUE(server.Requests().isEmpty());
    EXPECT_TRUE(TestDialogs().Shown().isEmpty());
}

TEST_F(WebText, FailedRequestAnsweredOkSwitchesTheInternetOff)
{
    EXPECT_EQ(HttpGetText(FakeHttpServer::RefusedAddress()), "");
    EXPECT_EQ(errorEvents, 1);
    EXPECT_EQ(TestDialogs().Shown(), QStringList({Question}));
    ASSERT_EQ(TestDialogs().Questions().size(), 1u);
    EXPECT_EQ(TestDialogs().Questions()[0].Type, TMsgDlgType::mtInformation);
    EXPECT_EQ(TestDialogs().Questions()[0].Buttons, mbOK | mbCancel);
    EXPECT_FALSE(InternetEnabled);
    EXPECT_TRUE(MenuItemsDisabled());

    EXPECT_EQ(HttpGetText(server.Url("/page")), "Error");
    EXPECT_TRUE(server.Requests().isEmpty());
    EXPECT_EQ(TestDialogs().Shown().size(), 1);
}

TEST_F(WebText, FailedRequestAnsweredCancelKeepsEverythingOn)
{
    TestDialogs().AnswerNext(mrCancel);
    TestDialogs().AnswerNext(mrCancel);
    EXPECT_EQ(HttpGetText(FakeHttpServer::RefusedAddress()), "");
    EXPECT_TRUE(InternetEnabled);
    EXPECT_TRUE(MenuItemsEnabled());
    EXPECT_EQ(HttpGetText(FakeHttpServer::RefusedAddress()), "");
    EXPECT_EQ(errorEvents, 2);
    EXPECT_EQ(TestDialogs().Shown(), QStringList({Question, Question}));
    EXPECT_TRUE(InternetEnabled);
}

TEST_F(WebText, RaisingRequestIsAskedAboutByTheFetchItself)
{
    TNetHTTPRequest raising;   // no error handler: failures raise
    raising.ConnectionTimeout = 3000;
    SetWebTextRequest(&raising);
    TestDialogs().AnswerNext(mrCancel);
    EXPECT_EQ(HttpGetText(FakeHttpServer::RefusedAddress()), "Error");
    EXPECT_TRUE(InternetEnabled);
    EXPECT_TRUE(MenuItemsEnabled());

    EXPECT_EQ(HttpGetText(FakeHttpServer::RefusedAddress()), "Error");
    EXPECT_EQ(TestDialogs().Shown(), QStringList({Question, Question}));
    EXPECT_FALSE(InternetEnabled);
    EXPECT_TRUE(MenuItemsDisabled());
}

TEST_F(WebText, ErrorStatusAndEmptyBodyGiveTheEmptyText)
{
    server.Route("/missing", FakeResponse::Status(500, "server trouble"));
    server.Route("/empty", FakeResponse::Empty());
    EXPECT_EQ(HttpGetText(server.Url("/missing")), "");
    EXPECT_EQ(HttpGetText(server.Url("/empty")), "");
    EXPECT_EQ(errorEvents, 0);
    EXPECT_TRUE(TestDialogs().Shown().isEmpty());
    EXPECT_TRUE(InternetEnabled);
}

TEST_F(WebText, SendsAPercentEncodedAddressAsGiven)
{
    QString target = "/portal/api/v2/taxonomy?taxon=" + UrlEncode("Cladonia rangiferina") + "&type=EXACT";
    server.Route(target, FakeResponse::Ok("{\"tid\":42}"));
    EXPECT_EQ(HttpGetText(server.Url(target)), "{\"tid\":42}");
    EXPECT_EQ(server.Requests(), QStringList({"/portal/api/v2/taxonomy?taxon=Cladonia%20rangiferina&type=EXACT"}));
}

TEST_F(WebText, DecodesUtf8AndOtherwiseWindows1252)
{
    EXPECT_EQ(Fetch("Caf\xC3\xA9 \xC5\xA1"), QString::fromUtf8("Café š"));
    EXPECT_EQ(Fetch("Caf\xE9 \x9A\x81"), QString::fromUtf8("Café š") + QChar(0x81));
    EXPECT_EQ(Fetch("{\"name\":\"Z\\u00e9orin\",\"a\":1}"), QString::fromUtf8("{\"name\":\"Zéorin\"\"a\":1}"));
}

TEST(WebTextEscapes, TableStepsAndTheCommaRule)
{
    struct Case { QString in, out; };
    const Case cases[] = {
        {"\\u00fc", QString::fromUtf8("ü")},          // exact steps match only as written
        {"\\u00FC", "\\u00FC"},
        {"\\u009a", QString::fromUtf8("š")},
        {"\\u009A", "\\u009A"},
        {"\\u00e9", QString::fromUtf8("é")},          // the others ignore case
        {"\\u00E9", QString::fromUtf8("é")},
        {"\\U00e9", QString::fromUtf8("é")},
        {"\\u00d1", QString::fromUtf8("ñ")},
        {"\\u00dd", QString::fromUtf8("í")},
        {"\\u015F", QString::fromUtf8("Ã")},
        {"\\u00a0", " "},
        {"\\u03B2", QString::fromUtf8("β")},
        {"\\u00e3", "\\u00e3"},                       // not in the table
        {"\\\\u00e9", QString::fromUtf8("\\é")},      // the table does not parse JSON
        {"\\u00e", "\\u00e"},
        {QString::fromUtf8("Ã©"), QString::fromUtf8("Ã©")},
        {"{\"a\":\"x,\",\"b\":[1,\"c\",\"d\"]}", "{\"a\":\"x\"\"b\":[1\"c\"\"d\"]}"},
        {"a, \"b\"", "a, \"b\""},
    };
    for (const Case& c : cases) EXPECT_EQ(ApplyEscapeReplacements(c.in), c.out) << c.in.toStdString();

    const auto& table = EscapeReplacementTable();
    ASSERT_EQ(table.size(), 50u);
    for (size_t i = 0; i < table.size(); ++i) {
        EXPECT_EQ(table[i].ExactCase, i < 2) << i;
        EXPECT_EQ(table[i].Escape.size(), 6) << i;
        EXPECT_EQ(table[i].Replacement.size(), 1) << i;
    }
}

// The table applied as it was first written: one replacement pass per
// entry in table order, then the comma rule. The one-pass decoding must give
// exactly this.
QString StepByStep(const QString& text)
{
    QString result = text;
    for (const TEscapeReplacement& step : EscapeReplacementTable())
        result = step.ExactCase ? ReplaceAll(result, step.Escape, step.Replacement)
                                : ReplaceText(result, step.Escape, step.Replacement);
    return ReplaceAll(result, QStringLiteral(",\""), QStringLiteral("\""));
}

TEST(WebTextEscapes, OnePassGivesWhatTheTableStepByStepGives)
{
    // Every escape as written, upper-cased, with an upper-case U, back to
    // back, inside a longer run of hex digits, behind a backslash or an
    // unfinished escape, and around commas and quotes.
    QString all;
    for (const TEscapeReplacement& step : EscapeReplacementTable()) {
        const QString e = step.Escape;
        const QString upper = e.left(2) + e.mid(2).toUpper();
        const QString bigU = "\\U" + e.mid(2);
        all += e + upper + bigU + "," + e + "\"" + "\\" + e + "\\u00" + e + e + "0f" + ",\"" + e + ",";
    }
    all += "\\u\\u00e9\\\\u00e9,,\",\\u00e\\u00E9\\";
    EXPECT_EQ(ApplyEscapeReplacements(all), StepByStep(all));
    EXPECT_EQ(ApplyEscapeReplacementsUtf8(all.toUtf8()), StepByStep(all).toUtf8());

    // Random texts over the characters that matter.
    const QString alphabet = QString::fromUtf8("\\uU0019aAbBcCdDeEfF,\"x\u00e9\u0161 ");
    std::mt19937 random(13);
    for (int round = 0; round < 20000; ++round) {
        QString text;
        const int length = int(random() % 40);
        for (int k = 0; k < length; ++k) {
            if (random() % 6 == 0) {
                text += EscapeReplacementTable()[random() % EscapeReplacementTable().size()].Escape;
                continue;
            }
            text += alphabet[int(random() % alphabet.size())];
        }
        ASSERT_EQ(ApplyEscapeReplacements(text), StepByStep(text)) << text.toStdString();
        ASSERT_EQ(ApplyEscapeReplacementsUtf8(text.toUtf8()), StepByStep(text).toUtf8()) << text.toStdString();
    }
}

TEST(WebTextEscapes, BodyDecodedToUtf8AsThroughUtf16)
{
    const QByteArray bodies[] = {
        "",
        "{\"name\":\"Z\\u00e9orin\",\"a\":1}",
        "\xEF\xBB\xBF{\"a\":\"\\u00fc\"}",              // byte-order mark
        "\xEF\xBB\xBF",
        "{\"a\":\"\xEF\xBB\xBF\"}",                       // one that is not at the start
        "Caf\xC3\xA9 \xC5\xA1,\"\\u00E4\"",             // UTF-8
        "Caf\xE9 \x9A\x81,\"\\u00e4\"",                  // Windows-1252
        "\xC3\x28\\u00e9",                                // broken UTF-8
        "\xED\xA0\x80 \\u03b2",                           // an encoded surrogate
        QByteArray("a\0b,\"\\u00a0", 11),                   // a NUL byte
    };
    for (const QByteArray& body : bodies)
        EXPECT_EQ(DecodeWebBodyToUtf8(body), DecodeWebBody(body).toUtf8()) << body.toStdString();
}

} // namespace
