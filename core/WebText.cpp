#include "core/WebText.h"

#include "framework/Dialogs.h"
#include "framework/Forms.h"
#include "framework/NetHTTP.h"
#include "framework/Text.h"

namespace {
TNetHTTPRequest* registeredRequest = nullptr;

TNetHTTPRequest& FallbackRequest()
{
    static TNetHTTPRequest request;
    request.IsTextRequest = true;
    return request;
}

TEscapeReplacement Entry(const char* hex, bool exact, char16_t replacement)
{
    return {QStringLiteral("\\u") + QLatin1String(hex), exact, QString(QChar(replacement))};
}
} // namespace

const QString DisableInternetQuestion = QStringLiteral("Error connecting to website.  Disable internet?");

void SetWebTextRequest(TNetHTTPRequest* request) { registeredRequest = request; }
TNetHTTPRequest* WebTextRequest() { return registeredRequest; }

const std::vector<TEscapeReplacement>& EscapeReplacementTable()
{
    // Several targets are not the escape's own character (the portal's
    // answers double-encode some letters); they are kept as the data needs.
    static const std::vector<TEscapeReplacement> table = {
        Entry("009a", true, 0x0161),  Entry("00fc", true, 0x00FC),  Entry("0088", false, 0x02C6),
        Entry("009e", false, 0x017E), Entry("00a0", false, 0x0020), Entry("00a8", false, 0x00C3),
        Entry("00a9", false, 0x00A9), Entry("00b6", false, 0x00C3), Entry("00ba", false, 0x00BA),
        Entry("00bc", false, 0x00BC), Entry("00c1", false, 0x00C3), Entry("00c2", false, 0x00C2),
        Entry("00c3", false, 0x00C3), Entry("00c5", false, 0x00C5), Entry("00c7", false, 0x00C3),
        Entry("00c9", false, 0x00C9), Entry("00d1", false, 0x00F1), Entry("00d6", false, 0x00D6),
        Entry("00d7", false, 0x00C3), Entry("00d8", false, 0x00D8), Entry("00dd", false, 0x00ED),
        Entry("00e0", false, 0x00E0), Entry("00e1", false, 0x00E1), Entry("00e2", false, 0x00E2),
        Entry("00e4", false, 0x00E4), Entry("00e5", false, 0x00E5), Entry("00e6", false, 0x00E6),
        Entry("00e7", false, 0x00E7), Entry("00e8", false, 0x00E8), Entry("00e9", false, 0x00E9),
        Entry("00ea", false, 0x00EA), Entry("00eb", false, 0x00EB), Entry("00ed", false, 0x00ED),
        Entry("00ef", false, 0x00EF), Entry("00f0", false, 0x00F0), Entry("00f1", false, 0x00F1),
        Entry("00f3", false, 0x00F3), Entry("00f4", false, 0x00F4), Entry("00f6", false, 0x00F6),
        Entry("00f8", false, 0x00F8), Entry("00fa", false, 0x00FA), Entry("0105", false, 0x0105),
        Entry("010d", false, 0x010D), Entry("011b", false, 0x011B), Entry("0144", false, 0x0144),
        Entry("0148", false, 0x0148), Entry("015f", false, 0x00C3), Entry("0161", false, 0x0161),
        Entry("03b1", false, 0x03B1), Entry("03b2", false, 0x03B2),
    };
    return table;
}

QString ApplyEscapeReplacements(const QString& text)
{
    QString result = text;
    for (const TEscapeReplacement& step : EscapeReplacementTable()) {
        if (!result.contains(QLatin1String("\\"))) break;   // no escape can match any more
        result = step.ExactCase ? ReplaceAll(result, step.Escape, step.Replacement)
                                : ReplaceText(result, step.Escape, step.Replacement);
    }
    return ReplaceAll(result, QStringLiteral(",\""), QStringLiteral("\""));
}

QString DecodeWebBody(const QByteArray& body)
{
    QString text = IsValidUtf8(body) ? DecodeUtf8(body) : DecodeWindows1252(body);
    return ApplyEscapeReplacements(text);
}

void DisableUpdateMenuItems()
{
    TForm* main = Application ? Application->MainForm() : nullptr;
    if (!main) return;
    for (const char* name : {"UpdateLichenData1", "DownloadSubstanceData1"})
        if (auto* item = dynamic_cast<TMenuItem*>(main->FindComponent(QLatin1String(name)))) item->SetEnabled(false);
}

bool AskDisableInternet()
{
    if (MessageDlg(DisableInternetQuestion, TMsgDlgType::mtInformation, mbOK | mbCancel) == mrCancel) return false;
    InternetEnabled = false;
    DisableUpdateMenuItems();
    return true;
}

QByteArray HttpGetText(const QString& address)
{
    if (!InternetEnabled) return QByteArrayLiteral("Error");
    TNetHTTPRequest& request = registeredRequest ? *registeredRequest : FallbackRequest();
    QByteArray body;
    try {
        body = request.Get(address);
    } catch (const Exception&) {
        AskDisableInternet();
        return QByteArrayLiteral("Error");
    }
    return DecodeWebBody(body).toUtf8();
}
