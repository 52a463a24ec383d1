#include "identify/LichenSearch.h"

#include "core/Queries.h"

TLichenStatement LichensContainingAllStatement(const QStringList& names, bool exact)
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
    QStringList lichens;
    const TLichenStatement s = LichensContainingAllStatement(names, exact);
    if (s.Sql.isEmpty()) return lichens;
    RunQuery(s.Sql, s.Params);
    TSQLQuery& q = MainQuery();
    while (!q.Eof()) {
        lichens << q.FieldByName(QStringLiteral("Lichen")).AsString();
        q.Next();
    }
    return lichens;
}

int CountLichensContaining(const QString& name)
{
    const TLichenStatement s = LichenCountStatement(name);
    RunQuery(s.Sql, s.Params);
    return MainQuery().FieldByName(QStringLiteral("Column0")).AsInteger();
}
