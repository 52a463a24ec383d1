#include "identify/LichenSearch.h"

#include "core/Queries.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <algorithm>
#include <vector>

namespace {

QString NamesAsJson(const QStringList& names)
{
    QJsonArray array;
    for (const QString& name : names)
        array.append(name);
    return QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Compact));
}

// The selected names with their position k and whether they hold a LIKE
// wildcard; the pairs (k, lichen) of the rows each name matches. LIKE without
// wildcards is equality ignoring ASCII case, which NOCASE compares and the
// index on Lichens(Substance COLLATE NOCASE) serves; names holding "%" or "_"
// keep their LIKE.
const QString NamesAndPairs = QStringLiteral(
    "WITH N(k, name, wild) AS MATERIALIZED ("
    "SELECT key, value, instr(value, '%') > 0 OR instr(value, '_') > 0 FROM json_each(?1)), "
    "P(k, Lichen) AS ("
    "SELECT N.k, L.Lichen FROM N JOIN Lichens L ON L.Substance = N.name COLLATE NOCASE WHERE NOT N.wild "
    "UNION ALL "
    "SELECT N.k, L.Lichen FROM N JOIN Lichens L ON L.Substance LIKE N.name WHERE N.wild), "
    "C(Lichen) AS (SELECT Lichen FROM P GROUP BY Lichen HAVING count(DISTINCT k) = ?2) ");

bool HoldsLikeWildcard(const QString& name)
{
    return name.contains(QLatin1Char('%')) || name.contains(QLatin1Char('_'));
}

// The selected names once each (names alike but for ASCII case match the
// same rows, as patterns too), with the rows spelling each (ASCII case aside,
// counted in the index on Lichens(Substance COLLATE NOCASE) without reading
// the rows), and the rowid of the table's last row (about its row count).
const QString NameRowsSql = QStringLiteral(
    "SELECT min(J.key) AS k, (SELECT count(*) FROM Lichens H WHERE H.Substance = J.value COLLATE NOCASE) AS Hits, "
    "(SELECT max(rowid) FROM Lichens) AS LastRow FROM json_each(?1) J GROUP BY J.value COLLATE NOCASE");

// The parts of a plan's statement: the checked names (?2, in their order);
// the lichens of the lightest name (?1), among those of the next one (?3),
// that have a row of every checked name.
const QString CheckedNames = QStringLiteral(
    "K(name, wild) AS MATERIALIZED ("
    "SELECT value, instr(value, '%') > 0 OR instr(value, '_') > 0 FROM json_each(?2)), ");
const QString LichensOfLightestHead = QStringLiteral(
    "C(Lichen) AS (SELECT DISTINCT L.Lichen FROM Lichens L WHERE L.Substance = ?1 COLLATE NOCASE ");
const QString AmongLichensOfNext = QStringLiteral(
    "AND L.Lichen IN (SELECT X.Lichen FROM Lichens X WHERE X.Substance = ?3 COLLATE NOCASE) ");
const QString EveryCheckedNameRow = QStringLiteral(
    "AND NOT EXISTS (SELECT 1 FROM K WHERE NOT EXISTS (SELECT 1 FROM Lichens O WHERE O.Lichen = L.Lichen "
    "AND CASE WHEN K.wild THEN O.Substance LIKE K.name ELSE O.Substance = K.name COLLATE NOCASE END))) ");

// A row of the lichen that matches none of the names.
const QString OtherSubstanceRow = QStringLiteral(
    "SELECT 1 FROM Lichens O WHERE O.Lichen = C.Lichen AND NOT ("
    "O.Substance COLLATE NOCASE IN (SELECT name FROM N WHERE NOT wild) "
    "OR EXISTS (SELECT 1 FROM N WHERE wild AND O.Substance LIKE N.name))");

const QString SingleNameSql = QStringLiteral("SELECT Lichen FROM Lichens WHERE Substance LIKE ?1");

// The database's state as far as this connection can tell: which file on
// which open connection, its own changes and those committed by other
// connections.
struct TDataState {
    const void* Handle = nullptr;
    QString File;
    long long OwnChanges = -1;
    long long DataVersion = -1;
    bool operator==(const TDataState&) const = default;
};

TDataState CurrentDataState(TSQLConnection& connection)
{
    // Its own query, closed at once: no read stays open on the file.
    TSQLQuery q(&connection);
    q.SQL = QStringLiteral("SELECT total_changes() AS OwnChanges, "
                           "(SELECT data_version FROM pragma_data_version) AS DataVersion, "
                           "(SELECT file FROM pragma_database_list WHERE name = 'main') AS File");
    q.Open();
    const TDataState state{connection.Handle(), q.FieldByName(QStringLiteral("File")).AsString(),
                           q.FieldByName(QStringLiteral("OwnChanges")).AsLargeInt(),
                           q.FieldByName(QStringLiteral("DataVersion")).AsLargeInt()};
    q.Close();
    return state;
}

struct TLastSearch {
    bool Valid = false;
    TSQLConnection* Connection = nullptr;
    TDataState State;
    QStringList Names;
    bool Exact = false;
    QStringList Lichens;
};

TLastSearch& LastSearch()
{
    static TLastSearch last;
    return last;
}

} // namespace

TLichenStatement LichensContainingAllStatement(const QStringList& names, bool exact)
{
    TLichenStatement s;
    if (names.isEmpty()) return s;
    if (names.size() == 1 && !exact) {
        s.Sql = SingleNameSql;
        s.Params = {names.first()};
        return s;
    }
    s.Params = {NamesAsJson(names), names.size()};
    s.Sql = NamesAndPairs + QStringLiteral("SELECT Lichen FROM C ");
    if (exact)
        s.Sql += QStringLiteral("WHERE NOT EXISTS (") + OtherSubstanceRow + QStringLiteral(") ");
    s.Sql += QStringLiteral("ORDER BY Lichen");
    return s;
}

TLichenSearchPlan PlanLichenSearch(const QStringList& names)
{
    TLichenSearchPlan plan;
    if (names.size() < 2 || std::all_of(names.begin(), names.end(), HoldsLikeWildcard))
        return plan;
    struct TNameRows {
        int Index;
        long long Rows;
    };
    std::vector<TNameRows> plain;
    QList<int> wild;
    long long lastRow = 0;
    RunQuery(NameRowsSql, {NamesAsJson(names)});
    for (TSQLQuery& q = MainQuery(); !q.Eof(); q.Next()) {
        const int k = q.FieldByName(QStringLiteral("k")).AsInteger();
        if (HoldsLikeWildcard(names[k]))
            wild << k;
        else
            plain.push_back({k, q.FieldByName(QStringLiteral("Hits")).AsLargeInt()});
        lastRow = q.FieldByName(QStringLiteral("LastRow")).AsLargeInt();
    }
    if (plain.empty())
        return plan;
    std::stable_sort(plain.begin(), plain.end(),
                     [](const TNameRows& a, const TNameRows& b) { return a.Rows < b.Rows; });

    // Reading every name's rows costs by their sum; a wildcard name's rows
    // are found by reading the whole table, about as dear as one row in
    // twenty by the index. Starting from the lightest costs about six of its
    // rows per lichen (a lichen's rows through the index on Lichens(Lichen)),
    // so it pays only when the others are much heavier.
    long long reading = wild.size() * (lastRow / 20);
    for (const TNameRows& n : plain)
        reading += n.Rows;
    const long long lightest = plain.front().Rows;
    if (reading <= 6 * lightest)
        return plan;
    plan.Lightest = plain.front().Index;
    size_t checkedFrom = 1;
    // The next one read as a set when that costs less than looking into
    // every lichen of the lightest for it.
    if (plain.size() > 1 && plain[1].Rows <= 8 * lightest) {
        plan.Next = plain[1].Index;
        checkedFrom = 2;
    }
    for (size_t i = checkedFrom; i < plain.size(); ++i)
        plan.Checked << plain[i].Index;
    plan.Checked << wild;
    return plan;
}

TLichenStatement LichensContainingAllStatement(const QStringList& names, bool exact,
                                               const TLichenSearchPlan& plan)
{
    // One name, not exact, is one SELECT whatever the plan.
    if (plan.Lightest < 0 || (names.size() == 1 && !exact))
        return LichensContainingAllStatement(names, exact);
    QStringList checked;
    for (int i : plan.Checked)
        checked << names[i];
    TLichenStatement s;
    s.Params = {names[plan.Lightest], NamesAsJson(checked)};
    s.Sql = QStringLiteral("WITH ") + CheckedNames;
    if (exact) {
        s.Sql += QStringLiteral("N(name, wild) AS (SELECT ?1, 0 ");
        if (plan.Next >= 0)
            s.Sql += QStringLiteral("UNION ALL SELECT ?3, 0 ");
        s.Sql += QStringLiteral("UNION ALL SELECT name, wild FROM K), ");
    }
    s.Sql += LichensOfLightestHead;
    if (plan.Next >= 0) {
        s.Sql += AmongLichensOfNext;
        s.Params << names[plan.Next];
    }
    s.Sql += EveryCheckedNameRow + QStringLiteral("SELECT Lichen FROM C ");
    if (exact)
        s.Sql += QStringLiteral("WHERE NOT EXISTS (") + OtherSubstanceRow + QStringLiteral(") ");
    s.Sql += QStringLiteral("ORDER BY Lichen");
    return s;
}

TLichenStatement CompoundLichensStatement(const QStringList& names, bool exact)
{
    TLichenStatement s;
    QStringList selects, exclusions;
    for (int i = 0; i < names.size(); ++i) {
        const QString p = QStringLiteral("?%1").arg(i + 1);
        selects << QStringLiteral("SELECT Lichen FROM Lichens WHERE Substance LIKE ") + p;
        exclusions << QStringLiteral("Substance NOT LIKE ") + p;
        s.Params << names[i];
    }
    if (names.isEmpty()) return s;
    s.Sql = selects.join(QStringLiteral(" INTERSECT "));
    if (exact)
        s.Sql += QStringLiteral(" EXCEPT SELECT Lichen FROM Lichens WHERE ") + exclusions.join(QStringLiteral(" AND "));
    return s;
}

TLichenStatement LichenCountStatement(const QString& name)
{
    return {QStringLiteral("SELECT Count(*) FROM Lichens WHERE Substance LIKE ?1"), {name}};
}

QStringList FindLichensContainingAll(const QStringList& names, bool exact)
{
    if (names.isEmpty()) return {};
    TLastSearch& last = LastSearch();
    TSQLConnection* connection = &MainConnection();
    const TDataState state = CurrentDataState(*connection);
    if (last.Valid && last.Connection == connection && last.State == state && last.Exact == exact &&
        last.Names == names)
        return last.Lichens;

    last.Valid = false;
    const TLichenStatement s = LichensContainingAllStatement(names, exact, PlanLichenSearch(names));
    QStringList lichens;
    RunQuery(s.Sql, s.Params);
    TSQLQuery& q = MainQuery();
    while (!q.Eof()) {
        lichens << q.FieldByName(QStringLiteral("Lichen")).AsString();
        q.Next();
    }
    last = {true, connection, state, names, exact, lichens};
    return lichens;
}

int CountLichensContaining(const QString& name)
{
    const TLichenStatement s = LichenCountStatement(name);
    RunLookup(s.Sql, s.Params);
    return MainQuery().FieldByName(QStringLiteral("Column0")).AsInteger();
}
