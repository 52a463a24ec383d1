#include "core/WebText.h"

#include "framework/Dialogs.h"
#include "framework/Forms.h"
#include "framework/NetHTTP.h"
#include "framework/Text.h"

#include <array>
#include <type_traits>

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

namespace {

// The table by the code of its escape (all below 0x400): entry index + 1,
// 0 for a code the table does not hold.
constexpr int EscapeCodeLimit = 0x400;

const std::array<quint8, EscapeCodeLimit>& EscapeEntryByCode()
{
    static const std::array<quint8, EscapeCodeLimit> byCode = [] {
        std::array<quint8, EscapeCodeLimit> codes{};
        const auto& table = EscapeReplacementTable();
        for (size_t i = 0; i < table.size(); ++i)
            codes[size_t(table[i].Escape.mid(2).toInt(nullptr, 16))] = quint8(i + 1);
        return codes;
    }();
    return byCode;
}

// The replacements as UTF-8, in table order.
const std::vector<QByteArray>& Utf8Replacements()
{
    static const std::vector<QByteArray> replacements = [] {
        std::vector<QByteArray> out;
        for (const TEscapeReplacement& entry : EscapeReplacementTable())
            out.push_back(entry.Replacement.toUtf8());
        return out;
    }();
    return replacements;
}

int HexDigit(unsigned c)
{
    if (c >= '0' && c <= '9') return int(c - '0');
    if (c >= 'a' && c <= 'f') return int(c - 'a' + 10);
    if (c >= 'A' && c <= 'F') return int(c - 'A' + 10);
    return -1;
}

// The table entry of the escape that starts at s (n characters left), or -1.
// Escapes cannot overlap (each starts with the only backslash in its six
// characters) and no replacement is a backslash, so finding them in one
// pass gives what applying the table step by step gives.
template <typename Char>
int EscapeAt(const Char* s, qsizetype n)
{
    if (n < 6 || (s[1] != Char('u') && s[1] != Char('U')))
        return -1;
    int code = 0;
    for (int k = 2; k < 6; ++k) {
        const int digit = HexDigit(unsigned(std::make_unsigned_t<Char>(s[k])));
        if (digit < 0)
            return -1;
        code = code * 16 + digit;
    }
    if (code >= EscapeCodeLimit)
        return -1;
    const int entry = int(EscapeEntryByCode()[size_t(code)]) - 1;
    if (entry < 0)
        return -1;
    const TEscapeReplacement& step = EscapeReplacementTable()[size_t(entry)];
    if (step.ExactCase)
        for (int k = 1; k < 6; ++k)
            if (unsigned(std::make_unsigned_t<Char>(s[k])) != step.Escape.at(k).unicode())
                return -1;
    return entry;
}

// One pass over the text: escapes replaced, commas before a double quote
// dropped (no replacement is a comma or a double quote, so doing both at
// once changes nothing). `append` adds a run of the input or a replacement.
template <typename Char, typename Out, typename AppendRun, typename AppendReplacement>
void DecodeInOnePass(const Char* s, qsizetype n, Out& out, AppendRun appendRun,
                     AppendReplacement appendReplacement)
{
    qsizetype last = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const Char c = s[i];
        if (c == Char('\\')) {
            const int entry = EscapeAt(s + i, n - i);
            if (entry < 0)
                continue;
            appendRun(out, s + last, i - last);
            appendReplacement(out, entry);
            i += 5;
            last = i + 1;
        } else if (c == Char(',') && i + 1 < n && s[i + 1] == Char('"')) {
            appendRun(out, s + last, i - last);
            last = i + 1;
        }
    }
    appendRun(out, s + last, n - last);
}

} // namespace

QString ApplyEscapeReplacements(const QString& text)
{
    QString out;
    out.reserve(text.size());
    DecodeInOnePass(
        reinterpret_cast<const char16_t*>(text.constData()), text.size(), out,
        [](QString& o, const char16_t* run, qsizetype length) {
            o.append(reinterpret_cast<const QChar*>(run), length);
        },
        [](QString& o, int entry) { o.append(EscapeReplacementTable()[size_t(entry)].Replacement); });
    return out;
}

QByteArray ApplyEscapeReplacementsUtf8(const QByteArray& text)
{
    QByteArray out;
    out.reserve(text.size());
    DecodeInOnePass(
        text.constData(), text.size(), out,
        [](QByteArray& o, const char* run, qsizetype length) { o.append(run, length); },
        [](QByteArray& o, int entry) { o.append(Utf8Replacements()[size_t(entry)]); });
    return out;
}

QString DecodeWebBody(const QByteArray& body)
{
    QString text = IsValidUtf8(body) ? DecodeUtf8(body) : DecodeWindows1252(body);
    return ApplyEscapeReplacements(text);
}

QByteArray DecodeWebBodyToUtf8(const QByteArray& body)
{
    // Valid UTF-8 stays in its bytes: the escapes and commas are ASCII, which
    // UTF-8 never uses inside a longer character.
    // The UTF-8 decoding drops a byte-order mark at the start.
    if (IsValidUtf8(body))
        return ApplyEscapeReplacementsUtf8(body.startsWith("\xEF\xBB\xBF") ? body.mid(3) : body);
    return ApplyEscapeReplacements(DecodeWindows1252(body)).toUtf8();
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

QByteArray HttpGetBody(const QString& address)
{
    if (!InternetEnabled) return QByteArrayLiteral("Error");
    TNetHTTPRequest& request = registeredRequest ? *registeredRequest : FallbackRequest();
    try {
        return request.Get(address);
    } catch (const Exception&) {
        AskDisableInternet();
        return QByteArrayLiteral("Error");
    }
}

QByteArray HttpGetText(const QString& address)
{
    return DecodeWebBodyToUtf8(HttpGetBody(address));
}
