#pragma once
// The candidate query of one spot: substances whose Rf values lie within the
// tolerance of the spot's (a missing value never excludes), that some lichen
// row names, optionally only in chosen lichen genera or substance groups,
// one row per substance name.
#include "core/Record.h"
#include <QString>
#include <QStringList>
#include <QVariantList>

class TSQLConnection;

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

// The names of Substances holding "%" or "_" that some lichen row matches by
// LIKE (in one of the genera when the genus filter is active). Whether a
// substance has lichen rows does not depend on the spot, so a run settles
// these once, in one statement, where the statement of every spot would
// otherwise scan the lichen rows for each of them.
QStringList WildcardNamesWithLichens(TSQLConnection& connection, const TNameFilter& genus);

// The statement the engine runs: the same rows as BuildCandidateSql, with the
// lichen lookup as an EXISTS under NOCASE that the index on
// Lichens(Substance COLLATE NOCASE) serves, a name holding "%" or "_" looked
// up in `wildcardNamesWithLichens` (WildcardNamesWithLichens for the same
// genus filter), and the tolerance and names bound.
TCandidateStatement BuildIndexedCandidateQuery(const TSubstanceRecord& spot, const QString& tolerance,
                                               const QString& rfErrorTolerance,
                                               const TNameFilter& genus, const TNameFilter& group,
                                               const QStringList& wildcardNamesWithLichens);

// Creates the lichen indexes when they are missing (EnsureLichenIndex). A
// database that refuses (read-only, locked) is left as it is: the query
// gives the same rows without the index, only slower.
void EnsureCandidateIndex(TSQLConnection& connection);
