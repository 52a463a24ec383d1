#include "lichens/LichenText.h"

// Read from the table itself, so the substances come in the order they are
// stored, not in an index's order.
const QString LichenSubstancesSql =
    QStringLiteral("SELECT DISTINCT Substance FROM Lichens NOT INDEXED WHERE Lichen LIKE ?1");
const QString LichenRowsSql = QStringLiteral("SELECT Substance FROM Lichens NOT INDEXED WHERE Lichen LIKE ?1");
const QString AllLichensSql = QStringLiteral("select DISTINCT Lichen from Lichens ORDER BY Lichen");
const QString LichenSearchSql =
    QStringLiteral("select DISTINCT Lichen from Lichens WHERE Lichen like ?1 ORDER BY Lichen");

QString LichenSubstanceItem(const QString& substance)
{
    if (substance.isEmpty()) return QString();
    QChar first = substance.at(0);
    if (first >= QLatin1Char('a') && first <= QLatin1Char('z'))
        first = QChar(first.unicode() - 32);
    return QString(first) + substance.mid(1, 1000);
}

QString LichenSubstancesFileName(const QString& lichen)
{
    QString name = lichen;
    // The name is used as a file in the current directory, never as a path.
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    name.replace(QLatin1Char('\\'), QLatin1Char('_'));
    return name + QStringLiteral(".txt");
}

QByteArray LichenSubstancesFileBytes(const QStringList& items)
{
    QByteArray bytes;
    for (const QString& item : items)
        bytes += item.toUtf8() + "\r\n";
    return bytes;
}

QString LichenSubstancesCopyText(const QStringList& items)
{
    return items.join(QStringLiteral(", "));
}
