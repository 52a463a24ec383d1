#pragma once
// The lichen searches over the substances selected in the spot list: the
// lichens containing all of them (possibly with others, or with no other
// substance), the lichen count of one substance, and the pairs of "All
// Matches". Names are bound as parameters and compared with LIKE (ASCII case
// ignored; "%" and "_" in a name act as wildcards).
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantList>

struct TLichenStatement {
    QString Sql;
    QVariantList Params;
};

// The lichens containing every name; exact: only those with no substance
// besides the names. Empty names: an empty statement.
//
// One name, not exact: one SELECT, every matching row's lichen in the order
// the engine delivers them (a lichen may come twice). Otherwise the lichens
// once each, in ascending order, as the compound statement below gives them;
// the names travel as one bound JSON array, so any number of them makes one
// statement of the same size (the compound one hits the engine's limits on
// compound terms and expression depth beyond about 500 names).
TLichenStatement LichensContainingAllStatement(const QStringList& names, bool exact);
// The same lichens by one SELECT per name joined by INTERSECT (and, exact,
// EXCEPT the lichens having a row that no name matches). Kept as the
// reference the statement above must agree with.
TLichenStatement CompoundLichensStatement(const QStringList& names, bool exact);
// "SELECT Count(*) ..." of one name; the count is the field "Column0".
TLichenStatement LichenCountStatement(const QString& name);

// Another way to the lichens of LichensContainingAllStatement: start from
// the lichens of one name, once each, and keep those that have a row of
// every `Checked` name: a plain name by one seek into the index on
// Lichens(Substance COLLATE NOCASE, Lichen), so the cost does not grow with
// the lichens' other rows; a wildcard name by LIKE over the lichen's rows. Indexes into the names; `Checked`
// holds every name but `Lightest` (one alike but for ASCII case to a name
// already there may be left out), the likeliest to be missing first.
struct TLichenSearchPlan {
    int Lightest = -1;   // -1: read every name's rows, as LichensContainingAllStatement does
    QList<int> Checked;
};
// The plan for the names on the current database: it starts from the plain
// name (no "%" or "_") with the fewest rows (counted in the index without
// reading the rows), checks the other plain names, fewest rows first, then
// the wildcard names. No plan when every name is a wildcard one or for
// very many names. With several names it counts, in one statement through
// the main query, the rows of the names it has not counted before while the
// database is unchanged.
TLichenSearchPlan PlanLichenSearch(const QStringList& names);
// The statement of a plan: the lichens of LichensContainingAllStatement, in
// its order.
TLichenStatement LichensContainingAllStatement(const QStringList& names, bool exact,
                                               const TLichenSearchPlan& plan);

// Run through the main query (RunQuery); they raise the database layer's
// exception. The last search is kept: the same names asked again while the
// database is unchanged (the count on selection, then the click) give its
// lichens without running it again.
QStringList FindLichensContainingAll(const QStringList& names, bool exact);
int CountLichensContaining(const QString& name);
