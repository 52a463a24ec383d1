#pragma once
// The lichen data update: the portal's lichen-substance pairs of 23
// morphology attributes replace the Lichens rows (through LichensBackup),
// then the lichens named in Substances are added and the date is recorded.
#include "update/PortalPages.h"
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

// The most records one attribute request asks for.
constexpr int MorphologyPageLimit = 10000;

// No attribute of the portal comes near this many pages (half a million
// records); a portal that keeps sending more is not trusted further.
constexpr int MorphologyPageCap = 50;

// PortalRoot + "/portal/api/v2/morphology/<id>/attribute?limit=10000&offset=<offset>"
QString MorphologyAttributeAddress(const QString& portalRoot, const QString& id, qint64 offset = 0);

// One downloaded pair as its row of Lichens, UTF-8 as the portal sent it.
struct TDownloadedLichen {
    QByteArrayView Lichen;
    QByteArrayView Substance;
    QByteArrayView Genus;   // the first run of ASCII letters of Lichen
};

// The downloaded pairs, their values one after the other in one buffer: what
// is kept while the pages come in grows with the pairs, not with the answers
// they came in. The rows it hands out point into the buffer and hold until
// the next Append.
class TDownloadedLichens {
public:
    void Append(QByteArrayView lichen, QByteArrayView substance);
    size_t size() const { return rows.size(); }
    bool empty() const { return rows.empty(); }
    TDownloadedLichen operator[](size_t i) const;
    void Clear();

private:
    struct TRow {
        qsizetype At;          // the lichen, then the substance
        int LichenLength;
        int SubstanceLength;
        int GenusAt;           // within the lichen
        int GenusLength;
    };
    QByteArray text;
    std::vector<TRow> rows;
};

enum class TMorphologyParse {
    Ok,            // every pair appended
    NoSubstance,   // the answer names no substance (error page, "Error")
    Corrupt        // substance and lichen values do not pair up
};

// Appends one row per pair of substance and lichen value of one answer (the
// decoded text) and sets `currentGenus` to the genus of the last row.
// Nothing is appended unless the answer is Ok. On a later page the values
// inside `repeated`, the record the page before ended with, are left out
// and the rest must pair up by themselves; lichen values without any
// substance value are then Corrupt, not an error page.
TMorphologyParse ParseMorphologyAnswer(const QByteArray& answer, TDownloadedLichens& rows,
                                       QByteArray& currentGenus,
                                       std::optional<TTextSpan> repeated = std::nullopt);

// Whether the answer (the decoded text) names a substance anywhere: an
// answer in which no list of records can be found is then corrupt, else one
// of no data (an error page, "Error"). Only the message depends on it.
bool NamesASubstance(const QByteArray& answer);

// The length in bytes of the VALUES list the rows make,
// ("lichen","substance","genus") joined by commas.
qint64 LichenValuesLength(const TDownloadedLichens& rows);

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
TUpdateOutcome ReplaceLichenRows(TUpdateContext& context, const TDownloadedLichens& rows,
                                 const std::function<void()>& addNamed = {}, QString* addNamedError = nullptr);
