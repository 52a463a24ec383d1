#include "identify/LichenSearch.h"

#include "core/Queries.h"
#include "core/Schema.h"
#include "framework/Text.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QHash>
#include <QSet>

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

// The rows spelling each name (ASCII case aside), counted in the index on
// Lichens(Substance COLLATE NOCASE, Lichen) without reading the rows.
const QString NameRowsSql = QStringLiteral(
    "SELECT J.key AS k, (SELECT count(*) FROM Lichens H WHERE H.Substance = J.value COLLATE NOCASE) AS Hits "
    "FROM json_each(?1) J");

// A plan names each of its names by a parameter of its own, so the engine
// sees every comparison on its own and seeks it in an index; beyond this
// many names the statement over the array of names is used.
constexpr int MaxPlannedNames = 64;

// The rows of the name of parameter p: LIKE without wildcards is equality
// ignoring ASCII case, which NOCASE compares and the indexes serve; a name
// holding "%" or "_" keeps its LIKE.
QString NameCondition(const QString& column, const QString& name, int p)
{
    return column + (HoldsLikeWildcard(name) ? QStringLiteral(" LIKE ?%1") : QStringLiteral(" = ?%1 COLLATE NOCASE")).arg(p);
}

// A row of the lichen that matches none of the names.
const QString OtherSubstanceRow = QStringLiteral(
    "SELECT 1 FROM Lichens O WHERE O.Lichen = C.Lichen AND NOT ("
    "O.Substance COLLATE NOCASE IN (SELECT name FROM N WHERE NOT wild) "
    "OR EXISTS (SELECT 1 FROM N WHERE wild AND O.Substance LIKE N.name))");

// Every matching row's lichen (a lichen may come twice), in the order the
// statement delivered them with the older index on the substance alone,
// which it read for a name with a literal start: by the substance (ASCII
// case aside), then as stored. A name starting with a wildcard, or empty,
// was read from the table in stored order.
QString SingleNameSql(const QString& name)
{
    const bool literalStart = !name.isEmpty() && !HoldsLikeWildcard(name.left(1));
    return QStringLiteral("SELECT Lichen FROM Lichens WHERE Substance LIKE ?1 ORDER BY ") +
           (literalStart ? QStringLiteral("Substance COLLATE NOCASE, rowid") : QStringLiteral("rowid"));
}

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

// Far more names than a user selects in a session; beyond it the counts
// start afresh.
constexpr int MaxCountedNames = 10000;

// What is kept while the database is unchanged: the rows of each plain name
// counted so far (the names join a selection one at a time, so each
// selection counts only the name that joined it) and the last search.
struct TKept {
    TSQLConnection* Connection = nullptr;
    TDataState State;
    QHash<QString, long long> Rows;   // by AsciiLower of the name
    bool HasSearch = false;
    QStringList Names;
    bool Exact = false;
    QStringList Lichens;
};

// What is kept for the main connection as it is now; nothing after a change.
TKept& Kept()
{
    static TKept kept;
    TSQLConnection* connection = &MainConnection();
    const TDataState state = CurrentDataState(*connection);
    if (kept.Connection != connection || !(kept.State == state) || kept.Rows.size() > MaxCountedNames) {
        kept = TKept();
        kept.Connection = connection;
        kept.State = state;
    }
    return kept;
}

// Counts the rows of the plain names of `names` (indexes into it) not yet
// in `rows`, in one statement.
void CountNameRows(const QStringList& names, const QList<int>& plain, QHash<QString, long long>& rows)
{
    QStringList missing;
    QSet<QString> asked;
    for (int k : plain) {
        const QString folded = AsciiLower(names[k]);
        if (!rows.contains(folded) && !asked.contains(folded)) {
            asked.insert(folded);
            missing << names[k];
        }
    }
    if (missing.isEmpty())
        return;
    RunQuery(NameRowsSql, {NamesAsJson(missing)});
    for (TSQLQuery& q = MainQuery(); !q.Eof(); q.Next())
        rows.insert(AsciiLower(missing[q.FieldByName(QStringLiteral("k")).AsInteger()]),
                    q.FieldByName(QStringLiteral("Hits")).AsLargeInt());
}

// The plan, with the counts kept in `kept` (read for the current state
// when none is given and counts are needed).
TLichenSearchPlan Plan(const QStringList& names, TKept* kept)
{
    TLichenSearchPlan plan;
    if (names.size() == 1) {
        if (!HoldsLikeWildcard(names.first()))
            plan.Lightest = 0;
        return plan;
    }
    if (names.isEmpty() || std::all_of(names.begin(), names.end(), HoldsLikeWildcard))
        return plan;
    // The names once each: a name alike but for ASCII case to one before it
    // matches the same rows (a pattern too).
    QList<int> plain, wild;
    QSet<QString> seen;
    for (int k = 0; k < names.size(); ++k) {
        const QString folded = AsciiLower(names[k]);
        if (seen.contains(folded))
            continue;
        seen.insert(folded);
        (HoldsLikeWildcard(names[k]) ? wild : plain) << k;
    }
    if (plain.size() + wild.size() > MaxPlannedNames)
        return plan;
    QHash<QString, long long>& rows = (kept ? *kept : Kept()).Rows;
    CountNameRows(names, plain, rows);
    auto rowsOf = [&](int k) { return rows.value(AsciiLower(names[k])); };
    // Starting from the rarest name costs its rows plus one seek per lichen
    // and other name (the lichens checked shrink with each name), never more
    // than reading every name's rows.
    std::stable_sort(plain.begin(), plain.end(), [&](int a, int b) { return rowsOf(a) < rowsOf(b); });
    plan.Lightest = plain.front();
    plan.Checked = plain.mid(1) + wild;
    return plan;
}

} // namespace

TLichenStatement LichensContainingAllStatement(const QStringList& names, bool exact)
{
    TLichenStatement s;
    if (names.isEmpty()) return s;
    if (names.size() == 1 && !exact) {
        s.Sql = SingleNameSql(names.first());
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
    return Plan(names, nullptr);
}

TLichenStatement LichensContainingAllStatement(const QStringList& names, bool exact,
                                               const TLichenSearchPlan& plan)
{
    // One name, not exact, is one SELECT whatever the plan.
    if (plan.Lightest < 0 || (names.size() == 1 && !exact))
        return LichensContainingAllStatement(names, exact);
    TLichenStatement s;
    QStringList conditions, spelled;
    s.Params << names[plan.Lightest];
    spelled << NameCondition(QStringLiteral("O.Substance"), names[plan.Lightest], 1);
    for (int i : plan.Checked) {
        s.Params << names[i];
        const QString row = NameCondition(QStringLiteral("O.Substance"), names[i], int(s.Params.size()));
        spelled << row;
        // A plain name by one seek into Lichens(Substance COLLATE NOCASE,
        // Lichen), a wildcard one by LIKE over the lichen's own rows.
        conditions << (HoldsLikeWildcard(names[i])
                           ? QStringLiteral("EXISTS (SELECT 1 FROM Lichens O WHERE O.Lichen = C.Lichen AND ") + row
                           : QStringLiteral("EXISTS (SELECT 1 FROM Lichens O WHERE ") + row +
                                 QStringLiteral(" AND O.Lichen = C.Lichen")) +
                          QStringLiteral(")");
    }
    // The other rows of a lichen: one that spells none of the names.
    if (exact)
        conditions << QStringLiteral("NOT EXISTS (SELECT 1 FROM Lichens O WHERE O.Lichen = C.Lichen AND NOT (") +
                          spelled.join(QStringLiteral(" OR ")) + QStringLiteral("))");
    // The lichens of the lightest name once each, in order, read from the
    // index before they are checked, so a lichen listing the name many times
    // is checked once.
    s.Sql = QStringLiteral("WITH C(Lichen) AS (SELECT DISTINCT Lichen FROM Lichens WHERE ") +
            NameCondition(QStringLiteral("Substance"), names[plan.Lightest], 1) +
            QStringLiteral(") SELECT Lichen FROM C ");
    if (!conditions.isEmpty())
        s.Sql += QStringLiteral("WHERE ") + conditions.join(QStringLiteral(" AND ")) + QStringLiteral(" ");
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
    TKept& kept = Kept();
    if (kept.HasSearch && kept.Exact == exact && kept.Names == names)
        return kept.Lichens;

    kept.HasSearch = false;
    const TLichenStatement s = LichensContainingAllStatement(names, exact, Plan(names, &kept));
    QStringList lichens;
    RunQuery(s.Sql, s.Params);
    TSQLQuery& q = MainQuery();
    while (!q.Eof()) {
        lichens << q.FieldByName(QStringLiteral("Lichen")).AsString();
        q.Next();
    }
    kept.HasSearch = true;
    kept.Names = names;
    kept.Exact = exact;
    kept.Lichens = lichens;
    return lichens;
}

int CountLichensContaining(const QString& name)
{
    const TLichenStatement s = LichenCountStatement(name);
    RunLookup(s.Sql, s.Params);
    return MainQuery().FieldByName(QStringLiteral("Column0")).AsInteger();
}
