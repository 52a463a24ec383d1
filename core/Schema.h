#pragma once
// The tables of "Quillaspore.db": their create statements, the start-up
// rebuild of older layouts and the check for a database too old to use.
#include "framework/Database.h"
#include <QString>
#include <QStringList>

// The program's definitions of its two tables, under their backup names.
extern const QString SubstancesBackupCreateStatement;
extern const QString LichensBackupCreateStatement;
// The 33 columns of Substances and the 3 of Lichens, in table order.
extern const QStringList SubstancesColumns;
extern const QStringList LichensColumns;

extern const QString OutdatedDatabaseMessage; // "Outdated database Quillaspore.db\r\nPlease update."

// Rebuilds Substances (Lichens) with the program's layout when its stored
// definition contains "UNIQUE": shows the update message, copies the rows by
// column name (columns the old table lacks stay NULL; for Lichens empty) and
// replaces the table in one transaction, so a failure leaves the old table.
// Returns true when the table was rebuilt. Raises EDatabaseError on failure.
bool MigrateSubstances(TSQLConnection& connection);
bool MigrateLichens(TSQLConnection& connection);

// The indexes the program adds to Lichens, as "CREATE INDEX IF NOT EXISTS"
// statements: "LichensSubstanceLichen" on Lichens(Substance COLLATE NOCASE,
// Lichen) for the lookups by substance name (LIKE and NOCASE equality) and
// the lichen search (a substance's lichens in order, and whether a lichen
// has a row of a substance, by one seek, without reading the rows), and
// "LichensLichen" on Lichens(Lichen) for the sorted lichen list and the
// lookups by lichen. The statements whose order of rows the engine would
// otherwise take from them read as they did with the older indexes.
extern const QStringList LichenIndexStatements;

// The names of the indexes of earlier versions that those replace.
extern const QStringList ReplacedLichenIndexNames;

// Creates the lichen indexes that are missing, and drops the one of earlier
// versions they replace, in one transaction (or in the caller's open
// transaction), when the table exists. Returns true when
// they exist afterwards; a database that cannot be written just goes
// without them. Only the start-up calls it (and the lichen update does the
// same inside its own transaction). It does not wait for another program's
// lock: while one is held it changes nothing and returns false at once,
// with the connection's busy time-out as it was.
bool EnsureLichenIndex(TSQLConnection& connection);

// Reads the file's header, its schema and every page of the substance table
// (the engine's quick check of that table), before anything is written to
// it. A file that is not a database, is cut short or holds a damaged page
// raises EDatabaseError with the file's name and the engine's own message,
// so it is never taken for an outdated database and never migrated.
void CheckDatabaseReadable(TSQLConnection& connection, const QString& fileName);

// Migrates both tables and makes sure of the indexes. A database that is
// outdated (see DatabaseOutdated) once Substances is migrated is left as it
// was: Lichens and its indexes are not touched.
void MigrateDatabase(TSQLConnection& connection);

// True when the main query cannot read Substances.GroupName (no table, or an
// older layout without the column); the caller then shows
// OutdatedDatabaseMessage and ends the program.
bool DatabaseOutdated();
