#pragma once
// The lichen data update: the portal's lichen-substance pairs of 23
// morphology attributes replace the Lichens rows (through LichensBackup),
// then the lichens named in Substances are added and the date is recorded.
#include "update/Reconcile.h"
#include "update/UpdateProgress.h"
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <array>
#include <functional>
#include <vector>

// The portal's morphology attributes whose character states name substances,
// in the order they are requested.
extern const std::array<const char*, 23> MorphologyAttributeIds;

// The most records one attribute request asks for; a page that holds
// this many is followed by a request for the next page, unless the
// answer's count says there is no more.
constexpr int MorphologyPageLimit = 10000;

// No attribute of the portal comes near this many pages (half a million
// records); a portal that keeps sending full pages is not trusted further.
constexpr int MorphologyPageCap = 50;

// What one attribute answer says of its page: how many records its
// "results" list holds (-1 when it has none) and the "count" of all records
// it gives (-1 when absent). Read from the answer's structure, not from the
// pairs the patterns find, so a record without a substance still counts.
struct TMorphologyPage {
    qint64 Records = -1;
    qint64 Count = -1;
};
TMorphologyPage ReadMorphologyPage(QByteArrayView answer);

// PortalRoot + "/portal/api/v2/morphology/<id>/attribute?limit=10000&offset=<offset>"
QString MorphologyAttributeAddress(const QString& portalRoot, const QString& id, int offset = 0);

// One downloaded pair as its row of Lichens, UTF-8 as the portal sent it:
// views into the answer it came from, which must outlive it.
struct TDownloadedLichen {
    QByteArrayView Lichen;
    QByteArrayView Substance;
    QByteArrayView Genus;   // the first run of ASCII letters of Lichen
};

enum class TMorphologyParse {
    Ok,            // every pair appended
    NoSubstance,   // the answer names no substance (error page, "Error")
    Corrupt        // substance and lichen values do not pair up
};

// Appends one row per pair of substance and lichen value of one answer and
// sets `currentGenus` to the genus of the last row. Nothing is appended
// unless the answer is Ok. The rows point into `answer`: keep it unchanged
// while they are used.
TMorphologyParse ParseMorphologyAnswer(const QByteArray& answer, std::vector<TDownloadedLichen>& rows,
                                       QByteArray& currentGenus);

// The length in bytes of the VALUES list the rows make,
// ("lichen","substance","genus") joined by commas.
qint64 LichenValuesLength(const std::vector<TDownloadedLichen>& rows);

// The downloaded data must make at least this many bytes of VALUES list.
constexpr qint64 MinimumLichenValuesLength = 1000;

// Runs the whole update; the wait window is expected on screen. Reports
// every end through the wait window and a message.
TUpdateOutcome RunLichenUpdate(TUpdateContext& context);

// Replacement of the Lichens rows by `rows` with the backup in LichensBackup
// (the phase after the download). Shows the messages of a failure.
// `addNamed`, when given, runs in the same transaction once the rows are in
// and before the table's indexes are made again (the reconciliation: its
// few inserts are then as cheap as the downloaded ones). When it raises, its
// own changes are undone, the downloaded rows still replace the table and
// its message comes back in `addNamedError`.
TUpdateOutcome ReplaceLichenRows(TUpdateContext& context, const std::vector<TDownloadedLichen>& rows,
                                 const std::function<void()>& addNamed = {}, QString* addNamedError = nullptr);
