#include "identify/CandidateQuery.h"
#include "core/Schema.h"
#include "framework/Database.h"
#include "framework/Exceptions.h"
#include "framework/Text.h"
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

TCandidateStatement BuildIndexedCandidateQuery(const TSubstanceRecord& spot, const QString& tolerance,
                                               const QString& rfErrorTolerance,
                                               const TNameFilter& genus, const TNameFilter& group)
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

    QString genusCondition;
    if (genus.Active)
        genusCondition = QStringLiteral(" AND L.Genus IN ") + BoundInList(genus, st.Params);
    // LIKE without wildcards is equality ignoring ASCII case, which is what
    // NOCASE compares, so the index answers every name but those holding a
    // wildcard, which keep their LIKE.
    sql += QStringLiteral("CASE WHEN instr(S.name, '%') > 0 OR instr(S.name, '_') > 0 "
                          "THEN EXISTS (SELECT 1 FROM Lichens L WHERE L.Substance LIKE S.name") +
           genusCondition +
           QStringLiteral(") ELSE EXISTS (SELECT 1 FROM Lichens L WHERE L.Substance = S.name COLLATE NOCASE") +
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
