#pragma once
// Lichen name reconciliation: every lichen that a substance record names in
// its Lichens text becomes a row of Lichens unless the table holds the pair.
#include <QByteArray>
#include <QString>
#include <vector>

class TSQLConnection;

struct TLichenRow {
    QString Lichen;
    QString Substance;
    QString Genus;
    bool operator==(const TLichenRow&) const = default;
};

// One substance as the reconciliation reads it.
struct TSubstanceLichens {
    QString Name;      // Substances.name, untrimmed
    QString Lichens;   // Substances.Lichens, "" for NULL
};

// Takes the lichen names of every substance apart, in order, continuing the
// genus from `currentGenus` (the genus of the last downloaded row), which is
// left as the last name set it.
std::vector<TLichenRow> ReconcileLichenNames(const std::vector<TSubstanceLichens>& substances,
                                             QByteArray& currentGenus);

// Reads name and Lichens of every substance.
std::vector<TSubstanceLichens> ReadSubstanceLichens(TSQLConnection& connection);

// Inserts the rows whose pair of Lichen and Substance the table lacks,
// compared as LIKE does (ASCII letters without case); in one transaction,
// rolled back and rethrown on failure, or inside the caller's transaction
// when one is open. Returns the number inserted.
int InsertMissingLichenRows(TSQLConnection& connection, const std::vector<TLichenRow>& rows);

// Every lichen-substance pair of Lichens, from the table itself in stored
// order (the reconciliation's read).
extern const QString LichenPairsSql;
