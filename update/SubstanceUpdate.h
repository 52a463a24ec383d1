#pragma once
// The substance data update: the portal's metabolite records replace the
// Substances rows (through SubstancesBackup), then the glossary identifiers
// are set and the date is recorded.
#include "update/PortalPages.h"
#include "update/UpdateProgress.h"
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <vector>

// The most records the metabolite request asks for.
constexpr int MetabolitePageLimit = 2000;

// PortalRoot + "/portal/api/v2/metabolite?limit=2000", followed by
// "&offset=<offset>" for a later page.
QString MetaboliteAddress(const QString& portalRoot, qint64 offset = 0);

// One key/value pair of the metabolite answer.
struct TSubstancePair {
    QByteArray Key;
    QByteArray Value;   // quoted values keep their quotes
    qsizetype At = 0;   // where the pair starts in the answer
};

// Every pair of the answer, in order.
std::vector<TSubstancePair> FindSubstancePairs(const QByteArray& answer);

struct TSubstanceRecords {
    QStringList Columns;                // the keys of every record, in order
    std::vector<QVariantList> Records;  // one value per column
    int PairCount = 0;                  // pairs in the whole answer
};

// Takes the records apart and checks them: a record runs from a "name" pair
// up to the next "initialTimestamp" pair; there must be one at least, each
// with the same keys in the same order, every key a column in
// `tableColumns` (compared without ASCII case) and once only; bare values
// only numbers, null, true or false. Values become bound parameters: quoted
// text without its quotes, "" as NULL. False when the answer fails a check.
// A record that starts inside `repeated` (a later page's first record, which
// the page before brought) is checked as any other but left out of Records.
bool ParseSubstanceRecords(const QByteArray& answer, const QStringList& tableColumns,
                           TSubstanceRecords& result, TTextSpan repeated = {});

// The columns of Substances as the backup and the restore name them.
extern const char* const SubstanceColumnList;

// Runs the whole update; the wait window is expected on screen.
TUpdateOutcome RunSubstanceUpdate(TUpdateContext& context);

// Replacement of the Substances rows with the backup in SubstancesBackup.
TUpdateOutcome ReplaceSubstanceRows(TUpdateContext& context, const TSubstanceRecords& records);
