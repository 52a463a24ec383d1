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

// Creates the index "LichensSubstanceNoCase" on Lichens(Substance COLLATE
// NOCASE) when the table exists and the index does not. Returns true when the
// index exists afterwards; a database that cannot be written just goes
// without it.
bool EnsureLichenIndex(TSQLConnection& connection);

// Reads every page of the database once (the engine's quick check), before
// anything is written to it. A file that is not a database, is cut short or
// holds a damaged page raises EDatabaseError with the file's name and the
// engine's own message, so it is never taken for an outdated database and
// never migrated.
void CheckDatabaseReadable(TSQLConnection& connection, const QString& fileName);

// Migrates both tables and makes sure of the index.
void MigrateDatabase(TSQLConnection& connection);

// True when the main query cannot read Substances.GroupName (no table, or an
// older layout without the column); the caller then shows
// OutdatedDatabaseMessage and ends the program.
bool DatabaseOutdated();
