#pragma once
// Compares the program's version with the makers' version page and reminds
// the user of data downloads older than 60 days.
#include "core/Settings.h"
#include "update/UpdateProgress.h"
#include <QString>
#include <functional>

struct TVersionCheckContext {
    TFetchText Fetch;
    IUpdateProgress& Progress;
    std::function<void(int milliseconds)> SetConnectionTimeout;
    std::function<bool()> InternetEnabled;
    QString ProgramVersion;
    // The makers' page whose text is the newest version, such as "1.2.3.0".
    QString VersionPageAddress = ::VersionPageAddress;
};

// Download dates older than this many seconds get a reminder.
constexpr double DataAgeLimitSeconds = 5184000.0;

// True when `published` is newer than `current`, comparing the
// "."-separated whole numbers from the left until `published` runs out.
// Raises EConvertError for a part that is not a whole number.
bool IsNewerVersion(const QString& published, const QString& current);

// Reads "UpdateDates.txt", checks the version, then shows the reminders.
void RunVersionCheck(TVersionCheckContext& context);
