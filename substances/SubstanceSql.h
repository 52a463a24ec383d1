#pragma once
// The substance browser's statements and addresses, without windows. Every
// value is bound as a parameter; comparisons by name keep LIKE (ASCII
// letters compared without case).
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <vector>

class TSQLConnection;

// The lines of the substance list for a search text ("" = all): each name
// (NameLess order), followed by its synonym lines "  (synonym)". Runs its
// statements on the main query.
QStringList SubstanceListLines(const QString& searchText);
// "  (" + synonym + ")" for every non-empty synonym of a ", "-separated text.
QStringList SynonymLines(const QString& synonyms);

// The GlossID of the first substance named so ("" when none). Main query.
QString GlossIdOfSubstance(const QString& name);
// The lichens that contain the substance, sorted. Main query.
QStringList LichensOfSubstance(const QString& name);
// How many substances carry the name (LIKE, with "%" and "_" taken
// literally). Main query.
int CountSubstancesNamed(const QString& name);

// One record control's value for the save: its Tag (1..30) and text.
struct TRecordValue {
    int Tag = 0;
    QString Value;
};

// "name" followed by the columns of the values' Tags, in the given order.
QStringList SaveColumns(const std::vector<TRecordValue>& values);
// "INSERT INTO Substances (name,...) VALUES (?1,...)" for the values.
QString InsertSubstanceSql(const std::vector<TRecordValue>& values);

enum class TSaveOutcome { Inserted, Updated };
// Writes the record in one transaction. With replace, the first row of that
// name (LIKE, "%" and "_" literal) is updated in place, keeping its Lichens and GlossID; when no
// such row exists any more, or without replace, a new row is inserted.
// Raises the database error (nothing written) on failure.
TSaveOutcome SaveSubstance(TSQLConnection& connection, const QString& name,
                           const std::vector<TRecordValue>& values, bool replace);

// The portal's glossary page of a glossary identifier (value percent-encoded).
QString GlossaryPageAddress(const QString& glossId);
// The natural-products atlas search page for a name (value percent-encoded).
QString AtlasSearchAddress(const QString& name);
