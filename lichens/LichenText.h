#pragma once
// Texts made from a lichen's substance list.
#include <QByteArray>
#include <QString>
#include <QStringList>

// The list item of a substance: first letter upper-cased (ASCII a-z only),
// at most 1000 further characters.
QString LichenSubstanceItem(const QString& substance);
// The file of the list: "<lichen>.txt" with path separators in the name
// turned into "_".
QString LichenSubstancesFileName(const QString& lichen);
// The file's bytes: every item followed by "\r\n", as UTF-8.
QByteArray LichenSubstancesFileBytes(const QStringList& items);
// The clipboard text: the items joined by ", ".
QString LichenSubstancesCopyText(const QStringList& items);

// SQL with one bound parameter (the name, or "%text%") each.
extern const QString LichenSubstancesSql;
extern const QString AllLichensSql;
extern const QString LichenSearchSql;
// Whether a line of the lichen-matches list names a lichen.
extern const QString LichenRowsSql;
