#include "identify/LichenSearch.h"

#include "core/Queries.h"

#include <QJsonArray>
#include <QJsonDocument>

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
    const TLichenStatement s = LichensContainingAllStatement(names, exact);
    if (s.Sql.isEmpty()) return {};
    TLastSearch& last = LastSearch();
    TSQLConnection* connection = &MainConnection();
    const TDataState state = CurrentDataState(*connection);
    if (last.Valid && last.Connection == connection && last.State == state && last.Exact == exact &&
        last.Names == names)
        return last.Lichens;

    last.Valid = false;
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
