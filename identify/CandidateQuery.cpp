#include "identify/CandidateQuery.h"
#include "core/Schema.h"
#include "framework/Database.h"
#include "framework/Exceptions.h"
#include "framework/Text.h"
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <cmath>

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

QStringList WildcardNamesWithLichens(TSQLConnection& connection, const TNameFilter& genus)
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
    QStringList withLichens, others;
    for (; !q.Eof(); q.Next())
        (q.FieldByName(QStringLiteral("Spelled")).AsInteger() ? withLichens : others)
            << q.FieldByName(QStringLiteral("name")).AsString();
    q.Close();

    // The others by LIKE itself, one bound pattern each, which the engine
    // narrows to the index range of the pattern's literal start.
    for (const QString& name : others) {
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

TCandidateStatement BuildIndexedCandidateQuery(const TSubstanceRecord& spot, const QString& tolerance,
                                               const QString& rfErrorTolerance,
                                               const TNameFilter& genus, const TNameFilter& group,
                                               const QStringList& wildcardNamesWithLichens)
{
    TCandidateStatement st;
    const QString tol = EffectiveTolerance(spot, tolerance, rfErrorTolerance);
    st.Params.append(ToleranceValue(tol));

    QString sql = QStringLiteral("SELECT S.* FROM Substances S WHERE ");
    for (int i = 1; i <= 8; ++i) {
        const int value = spot.SolventValue(i);
        if (value == 0)
            continue;
        sql += RfCriterion(value, ColumnNames[i], QStringLiteral("?1"));
        sql += QStringLiteral(" AND ");
    }

    QJsonArray wildcardNames;
    for (const QString& name : wildcardNamesWithLichens)
        wildcardNames.append(name);
    st.Params.append(QString::fromUtf8(QJsonDocument(wildcardNames).toJson(QJsonDocument::Compact)));
    const QString wildcardList = QStringLiteral("?") + QString::number(st.Params.size());

    QString genusCondition;
    if (genus.Active)
        genusCondition = QStringLiteral(" AND L.Genus IN ") + BoundInList(genus, st.Params);
    // LIKE without wildcards is equality ignoring ASCII case, which is what
    // NOCASE compares, so the index answers every name but those holding a
    // wildcard, whose answer the run has settled beforehand.
    sql += QStringLiteral("CASE WHEN instr(S.name, '%') > 0 OR instr(S.name, '_') > 0 "
                          "THEN S.name IN (SELECT value FROM json_each(") +
           wildcardList +
           QStringLiteral(")) ELSE EXISTS (SELECT 1 FROM Lichens L WHERE L.Substance = S.name COLLATE NOCASE") +
           genusCondition + QStringLiteral(") END");
    if (group.Active)
        sql += QStringLiteral(" AND S.GroupName IN ") + BoundInList(group, st.Params);
    sql += QStringLiteral(" GROUP BY S.name");
    st.Sql = sql;
    return st;
}

void EnsureCandidateIndex(TSQLConnection& connection)
{
    // The data update rebuilds Lichens, which drops its indexes.
    EnsureLichenIndex(connection);
}
