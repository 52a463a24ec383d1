#pragma once
// What the data update needs of the wait window and of the web, so that the
// update runs the same with the real window and fetch as with test doubles.
#include <QByteArray>
#include <QString>
#include <functional>

class TSQLConnection;

// The wait window as the update drives it: caption, one label line, a bar
// from 0 to 100, showing, hiding and letting pending window messages run.
class IUpdateProgress {
public:
    virtual ~IUpdateProgress() = default;
    virtual void SetCaption(const QString& text) = 0;
    virtual void SetLabel(const QString& text) = 0;
    virtual void SetPosition(int position) = 0;
    virtual void Show() = 0;
    virtual void Hide() = 0;
    virtual void ProcessMessages() = 0;
};

// Fetches one web page as UTF-8 text: the empty text after a failed or
// incomplete request, "Error" while internet access is switched off.
using TFetchText = std::function<QByteArray(const QString& address)>;

// Fetches one web page with its body as it came, before the text decoding
// (HttpGetBody): the updates read the portal's JSON from these bytes and
// decode them for their patterns. The same failure values as TFetchText.
using TFetchBody = std::function<QByteArray(const QString& address)>;

// Whether a fetched answer is a whole JSON value: not empty, not "Error" and
// not a body cut off in transfer.
bool IsCompleteAnswer(const QByteArray& answer);

// Everything one update works with.
struct TUpdateContext {
    TSQLConnection& Connection;
    TFetchBody Fetch;
    IUpdateProgress& Progress;
    QString PortalRoot;   // scheme and host of the portal, no trailing slash
};

// How an update ended; the user has been told in each case.
enum class TUpdateOutcome {
    Complete,          // tables refreshed, date recorded, "Complete" shown
    AlreadyRunning,    // another update was still running; nothing done
    DownloadFailed,    // nothing changed
    DataCorrupt,       // nothing changed
    BackupFailed,      // nothing changed
    DatabaseLocked,    // another program held a lock on the database; nothing changed
    TableRestored,     // the replacement failed; the table holds its old rows
    RestoreFailed,     // the replacement failed and the old rows could not be put back
    FinishFailed,      // table replaced; reconciliation or glossary step rolled back, no date
    ImagesFailed       // substances replaced; glossary page not fetched, no date
};

// True while a lichen or substance update is running.
bool UpdateIsRunning();
