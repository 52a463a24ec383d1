#pragma once
// Fetching a web page as text, with the program-wide internet switch.
//
// Every request goes through one registered request component: the main
// window registers its HTTP1 (with OnRequestError = its request-error
// handler and IsTextRequest set) through SetWebTextRequest at start-up;
// tests register their own. Without a registered request a private one
// without an error handler is used (failures then raise inside the fetch and
// are answered by its own prompt).
#include <QByteArray>
#include <QString>
#include <utility>
#include <vector>

class TNetHTTPRequest;

// True until the user agrees to disable the internet; defined by the main
// window unit, never set back to true during a run.
extern bool InternetEnabled;

void SetWebTextRequest(TNetHTTPRequest* request);
TNetHTTPRequest* WebTextRequest();

// The question asked after a failed request.
extern const QString DisableInternetQuestion;   // "Error connecting to website.  Disable internet?"

// GETs the address and returns the body as UTF-8 text after the escape
// table. "Error": the switch is off, or the request raised (then the user
// was asked whether to disable the internet). Empty: the request failed
// (reported through the request's error event), the server answered with a
// non-2xx status, or the body was empty. The address is sent as given
// (callers percent-encode the values they put into it).
QByteArray HttpGetText(const QString& address);
// The same request, with the body as it came, before any decoding
// (HttpGetText is DecodeWebBodyToUtf8 of it): for callers that read the
// answer's structure before its text is decoded.
QByteArray HttpGetBody(const QString& address);

// The decoding of a body: UTF-8 when the bytes are valid UTF-8, otherwise
// Windows-1252; then the escape table and the comma rule.
QString DecodeWebBody(const QByteArray& body);
// The same text as UTF-8 (DecodeWebBody(body).toUtf8()), without the round
// trip through UTF-16 for a body that is UTF-8 already.
QByteArray DecodeWebBodyToUtf8(const QByteArray& body);

struct TEscapeReplacement {
    QString Escape;        // six characters, backslash, "u", four hex digits
    bool ExactCase;        // false: letter case ignored
    QString Replacement;   // one character
};
// The escape replacements in the order they are applied.
const std::vector<TEscapeReplacement>& EscapeReplacementTable();
// The table in order, then every comma directly before a double quote
// removed; done in one pass with the same result.
QString ApplyEscapeReplacements(const QString& text);
// The same on UTF-8 text.
QByteArray ApplyEscapeReplacementsUtf8(const QByteArray& text);

// Disables the main window's two data-update menu items
// ("UpdateLichenData1", "DownloadSubstanceData1") when they exist.
void DisableUpdateMenuItems();
// Asks the disable-internet question; unless the answer is Cancel, switches
// the internet off and disables the update menu items. Returns true when
// the internet was switched off.
bool AskDisableInternet();
