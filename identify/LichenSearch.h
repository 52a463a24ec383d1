#pragma once
// The lichen searches over the substances selected in the spot list: the
// lichens containing all of them (possibly with others, or with no other
// substance), the lichen count of one substance, and the pairs of "All
// Matches". Names are bound as parameters and compared with LIKE (ASCII case
// ignored; "%" and "_" in a name act as wildcards).
#include <QString>
#include <QStringList>
#include <QVariantList>

struct TLichenStatement {
    QString Sql;
    QVariantList Params;
};

// The lichens containing every name; exact: only those with no substance
// besides the names. Empty names: an empty statement.
TLichenStatement LichensContainingAllStatement(const QStringList& names, bool exact);
// "SELECT Count(*) ..." of one name; the count is the field "Column0".
TLichenStatement LichenCountStatement(const QString& name);

// Run through the main query (RunQuery); they raise the database layer's
// exception.
QStringList FindLichensContainingAll(const QStringList& names, bool exact);
int CountLichensContaining(const QString& name);
