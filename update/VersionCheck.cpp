#include "update/VersionCheck.h"
#include "update/UpdateDates.h"
#include "core/RecordText.h"
#include "framework/Dialogs.h"
#include "framework/Exceptions.h"
#include "framework/Text.h"
#include <cmath>

bool IsNewerVersion(const QString& published, const QString& current)
{
    QString r = published;
    QString l = current;
    while (!r.isEmpty()) {
        const int rPart = StrToInt(SplitOff(r, ".", true));
        const int lPart = StrToInt(SplitOff(l, ".", true));
        if (rPart > lPart)
            return true;
        if (rPart < lPart)
            return false;
    }
    return false;
}

namespace {
void RemindOfAge(const QByteArray& date, const QString& kind)
{
    const double age = double(UnixNow() - StrToInt(QString::fromLatin1(date)));
    const long long days = static_cast<long long>(std::trunc(age / 86400.0));
    if (age > DataAgeLimitSeconds)
        ShowMessage("Update " + kind + " database. Current data is " + QString::number(days)
                    + " days old.");
}
}

void RunVersionCheck(TVersionCheckContext& context)
{
    IUpdateProgress& progress = context.Progress;
    ReadUpdateDates();
    progress.SetCaption("Checking for updates...");
    progress.Show();

    context.SetConnectionTimeout(3000);
    QByteArray answer;
    try {
        answer = context.Fetch(context.VersionPageAddress);
    } catch (...) {
        context.SetConnectionTimeout(60000);
        throw;
    }
    context.SetConnectionTimeout(60000);

    const bool internetEnabled = context.InternetEnabled();
    if (internetEnabled && answer.isEmpty()) {
        ShowMessage("Unable to check Program Update");
        progress.Hide();
        return;
    }
    if (!internetEnabled || answer == "Error") {
        progress.Hide();
        return;
    }

    try {
        const QString page = ReplaceAll(QString::fromUtf8(answer), "\r\n", "");
        if (IsNewerVersion(page, context.ProgramVersion)) {
            progress.Hide();
            ShowMessage("Current Program Version: " + context.ProgramVersion + "\r\nNew Version: "
                        + page + "\r\n\r\n View Help for link.");
        }
        progress.Hide();

        if (LichenDataDate == "0") {
            ShowMessage("Lichen database status is unknown.  Please update.");
            return;
        }
        RemindOfAge(LichenDataDate, "Lichen");
        RemindOfAge(SubstanceDataDate, "Substance");
    } catch (const Exception& e) {
        // A page or date that is not a number ends the check; the wait
        // window does not stay behind.
        progress.Hide();
        ShowMessage(e.Message);
    }
}
