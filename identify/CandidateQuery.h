#pragma once
// The candidate query of one spot: substances whose Rf values lie within the
// tolerance of the spot's (a missing value never excludes), that some lichen
// row names, optionally only in chosen lichen genera or substance groups,
// one row per substance name.
#include "core/Record.h"
#include "identify/Scoring.h"
#include <QString>
#include <QStringList>
#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QVariantList>
#include <vector>

class TSQLConnection;
class TSQLQuery;

// A genus or group filter. Active when its checkbox is checked and its label
// is not empty; then only the names listed count (an empty list keeps
// nothing).
struct TNameFilter {
    bool Active = false;
    QStringList Names;
};

struct TCandidateStatement {
    QString Sql;
    QVariantList Params;
};

// True when the spot has a value in at least one of the fields 1..8; only
// then is a query run.
bool SpotHasRfValue(const TSubstanceRecord& spot);

// True for a whole or decimal number ("2", "1.5", "-1", ".5"); such a text
// may stand in a statement as a number.
bool IsNumberText(const QString& text);

// The up-down position that shows a threshold text: the whole-number part of
// a number ("1.5" gives 1, "5" gives 5). Raises EConvertError for a text that
// is no number at all, as a whole-number conversion does.
int ThresholdPositionOf(const QString& text);

// The tolerance a query uses: `tolerance`, or `rfErrorTolerance` when it is
// empty. Raises EDatabaseError, as a rejected statement does, when the spot
// has an Rf value and the tolerance is not a number.
QString EffectiveTolerance(const TSubstanceRecord& spot, const QString& tolerance,
                           const QString& rfErrorTolerance);

// The statement as text: the LIKE join of Substances with Lichens, literal
// values, names in single quotes with their quotes doubled. Kept as the
// reference the indexed statement must agree with.
QString BuildCandidateSql(const TSubstanceRecord& spot, const QString& tolerance,
                          const QString& rfErrorTolerance, const TNameFilter& genus,
                          const TNameFilter& group);

// The stored names of Substances holding "%" or "_" that some lichen row
// matches by LIKE (in one of the genera when the genus filter is active).
// Whether a substance has lichen rows does not depend on the spot, so a run
// settles these once, where the statement of every spot would otherwise scan
// the lichen rows for each of them.
QList<QByteArray> WildcardNamesWithLichens(TSQLConnection& connection, const TNameFilter& genus);

// The names that lichen rows name (LIKE, in the genera of the filter): the
// lichen condition of the candidate statement. It depends on the name alone,
// so a run settles each name once, for all its spots: the names holding a
// wildcard at the start, the others as spots bring them, each batch in one
// statement whose NOCASE lookups the index on Lichens(Substance COLLATE
// NOCASE) serves (LIKE without wildcards is equality ignoring ASCII case).
// The names travel as stored (the bytes of their text, which need not be
// valid UTF-8 when another program wrote the database) and are compared
// inside the database, so a name is found as it is written: byte for byte,
// ASCII case aside (LIKE would read every malformed byte as one and the same
// character, taking a name for any other that differs only there).
// The names of a JSON array (JsonArrayOfTexts; none holding a wildcard)
// that lichen rows name.
TCandidateStatement LichenNamesStatement(const QByteArray& namesJson, const TNameFilter& genus);

// A JSON array of the texts, each written with its bytes as they are (the
// database's JSON reader takes any bytes in a string but quotes, backslashes
// and control characters, which are escaped).
QByteArray JsonArrayOfTexts(const QList<QByteArray>& texts);

class TLichenNameSet {
public:
    TLichenNameSet(TSQLConnection& connection, const TNameFilter& genus);
    // Settles the names (as stored) not settled yet, running one statement
    // on `query`.
    void Settle(const QList<QByteArray>& names, TSQLQuery& query);
    // For a settled name (as stored): whether lichen rows name it.
    bool Contains(const QByteArray& name) const;

private:
    TNameFilter genus;
    QSet<QByteArray> wildcardNames;        // those with lichen rows
    QHash<QByteArray, bool> settled;       // the others
};

// The statement the engine runs for a spot: `columns` (all when empty) of
// the rows meeting the Rf criteria and the group filter, one row per name,
// with the tolerance and names bound; the lichen
// condition is left to TLichenNameSet. Filtering the grouped rows by name
// keeps the rows of BuildCandidateSql, as the condition depends on the name
// alone.
TCandidateStatement BuildIndexedCandidateQuery(const TSubstanceRecord& spot, const QString& tolerance,
                                               const QString& rfErrorTolerance, const TNameFilter& group,
                                               const QStringList& columns = {});

// The candidate rows of a spot: the rows of BuildCandidateSql in its order,
// each as the texts of `columns` (NULL as ""), read through `query`; the
// names are settled in `lichenNames`. Raises the database layer's exception.
std::vector<QStringList> CandidateRows(const TSubstanceRecord& spot, const QString& tolerance,
                                       const QString& rfErrorTolerance, const TNameFilter& group,
                                       const QStringList& columns, TLichenNameSet& lichenNames,
                                       TSQLQuery& query);

// One candidate as the engine scores it: the record (the trimmed name and
// fields 1..20, NULL as empty text) and its Rf values read once.
struct TCandidate {
    TSubstanceRecord Record;
    TRfValues Rf;
};

// The rows of CandidateRows over the name and fields 1..20, read straight
// into records, in the same order. Up to `pickedByRowidAtMost` rows are
// read each by its rowid; more in one pass over the table, which is then
// cheaper (the rows are the same either way).
std::vector<TCandidate> CandidateRecords(const TSubstanceRecord& spot, const QString& tolerance,
                                         const QString& rfErrorTolerance, const TNameFilter& group,
                                         TLichenNameSet& lichenNames, TSQLQuery& query,
                                         size_t pickedByRowidAtMost = 1000);

