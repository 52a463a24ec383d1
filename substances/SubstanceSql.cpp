#include "substances/SubstanceSql.h"

#include "core/Queries.h"
#include "core/Record.h"
#include "core/RecordText.h"
#include "core/Settings.h"
#include "framework/Database.h"
#include "framework/Text.h"

#include <QHash>

#include <algorithm>
#include <utility>
#include <vector>

QStringList SynonymLines(const QString& synonyms)
{
    QStringList lines;
    QString rest = synonyms;
    while (!rest.isEmpty()) {
        const QString synonym = SplitOff(rest, QStringLiteral(", "), true);
        if (!synonym.isEmpty())
            lines << QStringLiteral("  (") + synonym + QStringLiteral(")");
    }
    return lines;
}

namespace {

// LIKE compares ASCII letters without case and every other character as it
// is; with no "%" or "_" in the pattern that is all it does.
QString AsciiFolded(const QString& s)
{
    QString r = s;
    for (QChar& c : r)
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            c = QChar(c.unicode() + 32);
    return r;
}

} // namespace

QStringList SubstanceListLines(const QString& searchText)
{
    // One statement reads every row, in table order: whether the search
    // lists it, its name and its synonyms. A listed name shows the synonyms
    // of the first row of that name, ASCII case aside (another row when two
    // names differ only in ASCII case), as opening it reads them.
    QString sql = QStringLiteral("SELECT name, Synonyms, ");
    QVariantList params;
    if (searchText.isEmpty()) {
        sql += QStringLiteral("1 AS Listed FROM Substances");
    } else {
        sql += QStringLiteral("(name like ?1 OR Synonyms like ?1) AS Listed FROM Substances");
        params = {QStringLiteral("%") + searchText + QStringLiteral("%")};
    }
    RunQuery(sql, params);
    QStringList names;
    QHash<QString, QString> firstSynonyms;   // by the name folded as LIKE compares it
    TSQLQuery& q = MainQuery();
    TField& nameField = q.FieldByName(QStringLiteral("name"));
    TField& synonymsField = q.FieldByName(QStringLiteral("Synonyms"));
    TField& listedField = q.FieldByName(QStringLiteral("Listed"));
    for (; !q.Eof(); q.Next()) {
        const QString name = nameField.AsString();
        if (listedField.AsInteger() != 0)
            names << name;
        if (nameField.IsNull())
            continue;   // LIKE matches no NULL
        const QString key = AsciiFolded(name);
        if (!firstSynonyms.contains(key))
            firstSynonyms.insert(key, synonymsField.AsString());
    }
    // NameLess order, each name's key made once.
    std::vector<std::pair<QString, QString>> keyed;
    keyed.reserve(std::size_t(names.size()));
    for (const QString& name : names)
        keyed.emplace_back(NameKey(name), name);
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });

    QStringList lines;
    for (const auto& [key, name] : keyed) {
        lines << name;
        lines << SynonymLines(firstSynonyms.value(AsciiFolded(name)));
    }
    return lines;
}

QString GlossIdOfSubstance(const QString& name)
{
    RunLookup(QStringLiteral("SELECT GlossID FROM Substances WHERE name LIKE ?1 ESCAPE '\\' LIMIT 1"),
              {LiteralLikePattern(name)});
    return GetFieldString(QStringLiteral("GlossID"));
}

QStringList LichensOfSubstance(const QString& name)
{
    RunQuery(QStringLiteral("Select Lichen FROM Lichens WHERE Substance LIKE ?1 ORDER BY Lichen"), {name});
    QStringList lichens;
    TSQLQuery& q = MainQuery();
    while (!q.Eof()) {
        lichens << GetFieldString(QStringLiteral("Lichen"));
        q.Next();
    }
    return lichens;
}

int CountSubstancesNamed(const QString& name)
{
    RunLookup(QStringLiteral("SELECT Count(*) FROM Substances WHERE name LIKE ?1 ESCAPE '\\'"),
              {LiteralLikePattern(name)});
    return MainQuery().FieldByName(QStringLiteral("Column0")).AsInteger();
}

QStringList SaveColumns(const std::vector<TRecordValue>& values)
{
    QStringList columns{QStringLiteral("name")};
    for (const TRecordValue& v : values)
        columns << ColumnNames.at(std::size_t(v.Tag));
    return columns;
}

QString InsertSubstanceSql(const std::vector<TRecordValue>& values)
{
    const QStringList columns = SaveColumns(values);
    QStringList marks;
    for (int i = 1; i <= columns.size(); ++i)
        marks << QStringLiteral("?%1").arg(i);
    return QStringLiteral("INSERT INTO Substances (") + columns.join(QLatin1Char(',')) +
           QStringLiteral(") VALUES (") + marks.join(QLatin1Char(',')) + QStringLiteral(")");
}

namespace {

QVariantList SaveParams(const QString& name, const std::vector<TRecordValue>& values)
{
    QVariantList params{name};
    for (const TRecordValue& v : values)
        params << v.Value;
    return params;
}

// "UPDATE Substances SET name=?1,KResult=?2,... WHERE rowid=?<n+1>".
QString UpdateSubstanceSql(const std::vector<TRecordValue>& values)
{
    const QStringList columns = SaveColumns(values);
    QStringList sets;
    for (int i = 0; i < columns.size(); ++i)
        sets << columns[i] + QStringLiteral("=?%1").arg(i + 1);
    return QStringLiteral("UPDATE Substances SET ") + sets.join(QLatin1Char(',')) +
           QStringLiteral(" WHERE rowid=?%1").arg(columns.size() + 1);
}

} // namespace

TSaveOutcome SaveSubstance(TSQLConnection& connection, const QString& name,
                           const std::vector<TRecordValue>& values, bool replace)
{
    const QVariantList params = SaveParams(name, values);
    const bool ownTransaction = !connection.InTransaction();
    if (ownTransaction)
        connection.StartTransaction();
    try {
        TSaveOutcome outcome = TSaveOutcome::Inserted;
        bool updated = false;
        if (replace) {
            // The row that was counted gives way to the edited record in
            // place, so the table never holds the name twice and the row
            // keeps its Lichens and GlossID.
            TSQLQuery find(&connection);
            find.SQL = QStringLiteral(
                "SELECT rowid AS RowNumber FROM Substances WHERE name LIKE ?1 ESCAPE '\\' LIMIT 1");
            find.Params = {LiteralLikePattern(name)};
            find.Open();
            if (!find.Eof()) {
                const long long rowid = find.FieldByName(QStringLiteral("RowNumber")).AsLargeInt();
                find.Close();
                QVariantList updateParams = params;
                updateParams << rowid;
                updated = connection.ExecuteDirect(UpdateSubstanceSql(values), updateParams) > 0;
            }
        }
        if (updated) {
            outcome = TSaveOutcome::Updated;
        } else {
            connection.ExecuteDirect(InsertSubstanceSql(values), params);
        }
        if (ownTransaction)
            connection.Commit();
        return outcome;
    } catch (...) {
        if (ownTransaction && connection.InTransaction()) {
            try {
                connection.Rollback();
            } catch (...) {
            }
        }
        throw;
    }
}

QString GlossaryPageAddress(const QString& glossId)
{
    return PortalBaseAddress + QStringLiteral("/portal/glossary/individual.php?glossid=") + UrlEncode(glossId);
}

QString AtlasSearchAddress(const QString& name)
{
    return NPAtlasBaseAddress + QStringLiteral("/search/basic?name=") + UrlEncode(name);
}
