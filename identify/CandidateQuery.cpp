#include "identify/CandidateQuery.h"
#include "core/Schema.h"
#include "framework/Database.h"
#include "framework/Exceptions.h"
#include "framework/Text.h"
#include <QRegularExpression>
#include <array>
#include <cmath>
#include <unordered_map>

namespace {

const QString JoinedSubstances =
    QStringLiteral("Substances S INNER JOIN Lichens L on L.Substance LIKE name");

// The eight solvent columns are fixed names, so they may stand in the text.
QString RfCriterion(int value, const QString& column, const QString& tolerance)
{
    // A stored 0 means "no value", like NULL, so it must not exclude the
    // substance either.
    return QStringLiteral("(") + column + QStringLiteral(" IS NULL OR ") + column +
           QStringLiteral(" = 0 OR abs(") + QString::number(value) + QStringLiteral("-") + column +
           QStringLiteral(") <= ") + tolerance + QStringLiteral(")");
}

void AppendRfCondition(int value, const QString& column, QString& statement, const QString& tolerance)
{
    if (value == 0)
        return;
    if (statement.size() > 35)
        statement += QStringLiteral(" AND ");
    statement += RfCriterion(value, column, tolerance);
}

QString QuotedName(const QString& name)
{
    QString doubled = name;
    doubled.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QStringLiteral("'") + doubled + QStringLiteral("'");
}

QString LiteralInList(const QString& head, const TNameFilter& filter)
{
    if (!filter.Active)
        return QString();
    QString part = head;
    for (qsizetype i = 0; i < filter.Names.size(); ++i) {
        if (i > 0)
            part += QStringLiteral(",");
        part += QuotedName(filter.Names[i]);
    }
    return part + QStringLiteral(") ");
}

// "(?2,?3)" for the names, appending their values to the parameters.
QString BoundInList(const TNameFilter& filter, QVariantList& params)
{
    QString list = QStringLiteral("(");
    for (qsizetype i = 0; i < filter.Names.size(); ++i) {
        if (i > 0)
            list += QStringLiteral(",");
        params.append(filter.Names[i]);
        list += QStringLiteral("?") + QString::number(params.size());
    }
    return list + QStringLiteral(")");
}

QVariant ToleranceValue(const QString& tolerance)
{
    bool ok = false;
    const qlonglong whole = tolerance.toLongLong(&ok);
    if (ok)
        return QVariant(whole);
    return QVariant(tolerance.toDouble());
}

} // namespace

bool SpotHasRfValue(const TSubstanceRecord& spot)
{
    for (int i = 1; i <= 8; ++i)
        if (spot.SolventValue(i) != 0)
            return true;
    return false;
}

bool IsNumberText(const QString& text)
{
    static const QRegularExpression number(QStringLiteral("^[+-]?([0-9]+(\\.[0-9]*)?|\\.[0-9]+)$"));
    return number.match(text).hasMatch();
}

int ThresholdPositionOf(const QString& text)
{
    const QString t = Trim(text);
    // A decimal tolerance is valid for the matching, so it must not stop a
    // change of method; the up-down can only show its whole part.
    if (!IsNumberText(t))
        return StrToInt(text);
    const double v = std::floor(t.toDouble());
    return v > 1e9 ? 1000000000 : v < -1e9 ? -1000000000 : int(v);
}

QString EffectiveTolerance(const TSubstanceRecord& spot, const QString& tolerance,
                           const QString& rfErrorTolerance)
{
    const QString text = Trim(tolerance.isEmpty() ? rfErrorTolerance : tolerance);
    // The tolerance stands in the statement as a number; any other text would
    // change the statement itself.
    if (SpotHasRfValue(spot) && !IsNumberText(text))
        throw EDatabaseError(QStringLiteral("'%1' is not a valid tolerance").arg(text));
    return text;
}

QString BuildCandidateSql(const TSubstanceRecord& spot, const QString& tolerance,
                          const QString& rfErrorTolerance, const TNameFilter& genus,
                          const TNameFilter& group)
{
    const QString tol = EffectiveTolerance(spot, tolerance, rfErrorTolerance);
    QString statement = QStringLiteral("select * from Substances where ");
    for (int i = 1; i <= 8; ++i)
        AppendRfCondition(spot.SolventValue(i), ColumnNames[i], statement, tol);
    const QString genusPart = LiteralInList(QStringLiteral(" AND L.Genus IN ("), genus);
    const QString groupPart = LiteralInList(QStringLiteral(" AND S.GroupName IN ("), group);
    statement = ReplaceText(statement, QStringLiteral("Substances"), JoinedSubstances);
    return statement + genusPart + groupPart + QStringLiteral("GROUP BY name");
}

QList<QByteArray> WildcardNamesWithLichens(TSQLConnection& connection, const TNameFilter& genus)
{
    // A row spelling the name itself (ASCII case aside) is a LIKE match too:
    // the index finds those at once, for all such names in one statement.
    TSQLQuery q(&connection);
    q.SQL = QStringLiteral("SELECT DISTINCT S.name, EXISTS (SELECT 1 FROM Lichens L "
                           "WHERE L.Substance = S.name COLLATE NOCASE");
    if (genus.Active)
        q.SQL += QStringLiteral(" AND L.Genus IN ") + BoundInList(genus, q.Params);
    q.SQL += QStringLiteral(") AS Spelled FROM Substances S WHERE instr(S.name, '%') > 0 OR instr(S.name, '_') > 0");
    q.Open();
    QList<QByteArray> withLichens, others;
    for (; !q.Eof(); q.Next())
        (q.FieldByName(QStringLiteral("Spelled")).AsInteger() ? withLichens : others)
            << q.FieldByName(QStringLiteral("name")).AsUtf8();
    q.Close();

    // The others by LIKE itself, one pattern each, bound with its stored
    // bytes, which the engine narrows to the index range of the pattern's
    // literal start.
    for (const QByteArray& name : others) {
        q.Close();
        q.Params = {name};
        q.SQL = QStringLiteral("SELECT 1 AS Found FROM Lichens L WHERE L.Substance LIKE ?1");
        if (genus.Active)
            q.SQL += QStringLiteral(" AND L.Genus IN ") + BoundInList(genus, q.Params);
        q.SQL += QStringLiteral(" LIMIT 1");
        q.Open();
        if (!q.Eof())
            withLichens << name;
    }
    return withLichens;
}

TCandidateStatement LichenNamesStatement(const QByteArray& namesJson, const TNameFilter& genus)
{
    TCandidateStatement st;
    st.Params = {namesJson};
    st.Sql = QStringLiteral("SELECT J.value AS name FROM json_each(?1) J WHERE EXISTS (SELECT 1 FROM Lichens L "
                            "WHERE L.Substance = J.value COLLATE NOCASE");
    if (genus.Active)
        st.Sql += QStringLiteral(" AND L.Genus IN ") + BoundInList(genus, st.Params);
    st.Sql += QStringLiteral(")");
    return st;
}

QByteArray JsonArrayOfTexts(const QList<QByteArray>& texts)
{
    QByteArray json = "[";
    for (const QByteArray& text : texts) {
        if (json.size() > 1)
            json += ',';
        json += '"';
        for (const char c : text) {
            if (c == '"' || c == '\\')
                json += '\\';
            if (static_cast<unsigned char>(c) < 0x20)
                json += "\\u00" + QByteArray::number(static_cast<unsigned char>(c), 16).rightJustified(2, '0');
            else
                json += c;
        }
        json += '"';
    }
    return json + ']';
}

TLichenNameSet::TLichenNameSet(TSQLConnection& connection, const TNameFilter& genus)
    : genus(genus)
{
    for (const QByteArray& name : WildcardNamesWithLichens(connection, genus))
        wildcardNames.insert(name);
}

namespace {

// "%" and "_" are single bytes in UTF-8 and in no other character's bytes.
bool HoldsLikeWildcard(const QByteArray& name)
{
    return name.contains('%') || name.contains('_');
}

} // namespace

void TLichenNameSet::Settle(const QList<QByteArray>& names, TSQLQuery& query)
{
    QList<QByteArray> unsettled;
    for (const QByteArray& name : names)
        if (!HoldsLikeWildcard(name) && !settled.contains(name)) {
            settled.insert(name, false);
            unsettled << name;
        }
    if (unsettled.isEmpty())
        return;
    const TCandidateStatement st = LichenNamesStatement(JsonArrayOfTexts(unsettled), genus);
    query.Close();
    query.SQL = st.Sql;
    query.Params = st.Params;
    query.Open();
    for (TField& name = query.FieldByName(QStringLiteral("name")); !query.Eof(); query.Next())
        settled.insert(name.AsUtf8(), true);
    query.Close();
}

bool TLichenNameSet::Contains(const QByteArray& name) const
{
    return HoldsLikeWildcard(name) ? wildcardNames.contains(name) : settled.value(name);
}

namespace {

// The conditions of the indexed statement over Substances S, with the
// tolerance as ?1 and the group names after it.
TCandidateStatement IndexedStatement(const TSubstanceRecord& spot, const QString& tolerance,
                                     const QString& rfErrorTolerance, const TNameFilter& group,
                                     const QString& selected, const QString& tail)
{
    TCandidateStatement st;
    const QString tol = EffectiveTolerance(spot, tolerance, rfErrorTolerance);
    st.Params.append(ToleranceValue(tol));

    QStringList conditions;
    for (int i = 1; i <= 8; ++i) {
        const int value = spot.SolventValue(i);
        if (value != 0)
            conditions << RfCriterion(value, ColumnNames[i], QStringLiteral("?1"));
    }
    if (group.Active)
        conditions << QStringLiteral("S.GroupName IN ") + BoundInList(group, st.Params);
    if (conditions.isEmpty())
        conditions << QStringLiteral("1");
    st.Sql = QStringLiteral("SELECT ") + selected + QStringLiteral(" FROM Substances S WHERE ") +
             conditions.join(QStringLiteral(" AND ")) + tail;
    return st;
}

QString SelectedColumns(const QStringList& columns)
{
    QStringList list;
    for (const QString& column : columns)
        list << QStringLiteral("S.\"") + column + QStringLiteral("\"");
    return list.join(QStringLiteral(", "));
}

} // namespace

TCandidateStatement BuildIndexedCandidateQuery(const TSubstanceRecord& spot, const QString& tolerance,
                                               const QString& rfErrorTolerance, const TNameFilter& group,
                                               const QStringList& columns)
{
    // Only the columns read: the grouping sorts whole rows, and the long
    // text columns would travel through it for nothing.
    return IndexedStatement(spot, tolerance, rfErrorTolerance, group,
                            columns.isEmpty() ? QStringLiteral("S.*") : SelectedColumns(columns),
                            QStringLiteral(" GROUP BY S.name"));
}

std::vector<QStringList> CandidateRows(const TSubstanceRecord& spot, const QString& tolerance,
                                       const QString& rfErrorTolerance, const TNameFilter& group,
                                       const QStringList& columns, TLichenNameSet& lichenNames,
                                       TSQLQuery& query)
{
    QStringList selected = columns;
    if (!selected.contains(QStringLiteral("name"), Qt::CaseInsensitive))
        selected << QStringLiteral("name");
    const TCandidateStatement st = BuildIndexedCandidateQuery(spot, tolerance, rfErrorTolerance, group, selected);
    query.Close();
    query.SQL = st.Sql;
    query.Params = st.Params;
    query.Open();
    std::vector<TField*> fields;
    for (const QString& column : columns)
        fields.push_back(&query.FieldByName(column));
    TField& nameField = query.FieldByName(QStringLiteral("name"));
    std::vector<QStringList> rows;
    QList<QByteArray> names;   // as stored, for the lichen condition
    for (; !query.Eof(); query.Next()) {
        if (nameField.IsNull())
            continue;   // no lichen row names NULL
        QStringList row;
        row.reserve(qsizetype(fields.size()));
        for (TField* f : fields)
            row << f->AsString();
        names << nameField.AsUtf8();
        rows.push_back(std::move(row));
    }
    lichenNames.Settle(names, query);
    std::vector<QStringList> kept;
    kept.reserve(rows.size());
    for (size_t i = 0; i < rows.size(); ++i)
        if (lichenNames.Contains(names[qsizetype(i)]))
            kept.push_back(std::move(rows[i]));
    return kept;
}

namespace {

// The texts of the fields, as AsString makes them, shared between rows:
// the fields hold few distinct values (colours, "+", small numbers), and a
// shared text costs no allocation to make or to free.
class TFieldTexts {
public:
    QString Of(const TField& field)
    {
        if (field.IsInteger()) {
            const long long v = field.AsLargeInt();
            if (v >= 0 && v < qsizetype(numbers.size())) {
                QString& text = numbers[size_t(v)];
                if (text.isNull())
                    text = field.AsString();
                return text;
            }
            return field.AsString();
        }
        QByteArrayView bytes;
        if (!field.TextBytes(bytes) || bytes.size() > 40)
            return field.AsString();
        const auto at = texts.constFind(QByteArray::fromRawData(bytes.data(), bytes.size()));
        if (at != texts.constEnd())
            return *at;
        const QString text = field.AsString();
        texts.insert(bytes.toByteArray(), text);
        return text;
    }

private:
    std::array<QString, 1000> numbers;
    QHash<QByteArray, QString> texts;
};

} // namespace

std::vector<TCandidate> CandidateRecords(const TSubstanceRecord& spot, const QString& tolerance,
                                         const QString& rfErrorTolerance, const TNameFilter& group,
                                         TLichenNameSet& lichenNames, TSQLQuery& query,
                                         size_t pickedByRowidAtMost)
{
    // The grouping sorts its rows, and it costs by the width of what it
    // sorts: it picks each name's row by rowid alone, and a second statement
    // reads the fields of the picked rows that pass the lichen condition.
    // The row of a name is the grouping's own choice, so the records are
    // those of the grouped statement over all columns.
    TCandidateStatement st = IndexedStatement(spot, tolerance, rfErrorTolerance, group,
                                              QStringLiteral("S.rowid, S.\"name\""), QStringLiteral(" GROUP BY S.name"));
    query.Close();
    query.SQL = st.Sql;
    query.Params = st.Params;
    query.Open();
    std::vector<long long> rowids;
    QList<QByteArray> names;   // as stored, for the lichen condition
    {
        TField& rowid = query.FieldByName(QStringLiteral("Column0"));
        TField& name = query.FieldByName(QStringLiteral("Column1"));
        for (; !query.Eof(); query.Next()) {
            if (name.IsNull())
                continue;   // no lichen row names NULL
            rowids.push_back(rowid.AsLargeInt());
            names << name.AsUtf8();
        }
    }
    lichenNames.Settle(names, query);
    std::unordered_map<long long, size_t> position;   // rowid -> index among the kept
    position.reserve(rowids.size());
    for (size_t i = 0; i < rowids.size(); ++i)
        if (lichenNames.Contains(names[qsizetype(i)]))
            position.emplace(rowids[i], position.size());
    query.Close();
    if (position.empty())
        return {};

    static const QStringList columns = [] {
        QStringList c;
        for (int i = 0; i <= 20; ++i)
            c << ColumnNames[i];
        return c;
    }();
    if (position.size() <= pickedByRowidAtMost) {
        // A few rows: each found by its rowid.
        QByteArray picked = "[";
        for (const auto& [id, at] : position) {
            if (picked.size() > 1)
                picked += ',';
            picked += QByteArray::number(id);
        }
        picked += ']';
        query.SQL = QStringLiteral("SELECT S.rowid, ") + SelectedColumns(columns) +
                    QStringLiteral(" FROM Substances S WHERE S.rowid IN (SELECT value FROM json_each(?1))");
        query.Params = {QString::fromLatin1(picked)};
    } else {
        // Many: one pass over the table with the same conditions.
        st = IndexedStatement(spot, tolerance, rfErrorTolerance, group,
                              QStringLiteral("S.rowid, ") + SelectedColumns(columns), QString());
        query.SQL = st.Sql;
        query.Params = st.Params;
    }
    query.Open();
    // Column i + 1 is field i; looked up once, not per row.
    TField& rowid = query.FieldByName(QStringLiteral("Column0"));
    std::array<TField*, 21> fields;
    for (int i = 0; i <= 20; ++i)
        fields[size_t(i)] = &query.FieldByName(QStringLiteral("Column%1").arg(i + 1));
    std::vector<TCandidate> records(position.size());
    std::vector<bool> read(position.size(), false);
    TFieldTexts texts;
    for (; !query.Eof(); query.Next()) {
        const auto at = position.find(rowid.AsLargeInt());
        if (at == position.end())
            continue;
        TCandidate& c = records[at->second];
        c.Record.name = Trim(fields[0]->AsString());
        for (int i = 1; i <= 20; ++i)
            c.Record.Field(i) = texts.Of(*fields[size_t(i)]);
        c.Rf = RfValuesOf(c.Record);
        read[at->second] = true;
    }
    query.Close();
    // A row deleted by another program between the two statements is gone.
    size_t kept = 0;
    for (size_t i = 0; i < records.size(); ++i)
        if (read[i]) {
            if (kept != i)
                records[kept] = std::move(records[i]);
            ++kept;
        }
    records.erase(records.begin() + qsizetype(kept), records.end());
    return records;
}
