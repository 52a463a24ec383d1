#pragma once
// Glossary image identifiers of the substances and the start-up probe of
// their column.
#include "update/UpdateProgress.h"
#include <QByteArray>
#include <QString>
#include <vector>

class TSQLConnection;

// Adds the column GLossID to Substances when the table lacks it and says so
// ("Database format has changed.  Update Substances before continuing.").
// Raises the database layer's exception when the column cannot be added.
void EnsureGlossaryColumn(TSQLConnection& connection);

// PortalRoot + "/portal/glossary/index.php"
QString GlossaryIndexAddress(const QString& portalRoot);

struct TGlossaryEntry {
    QString Id;     // the digits after "Popup("
    QString Term;   // the text up to the next "<", untrimmed
};

// Every entry of the glossary index page, in page order.
std::vector<TGlossaryEntry> ParseGlossaryIndex(const QByteArray& page);

// Whether an entry is applied: never the identifier "1124" nor the term "name".
bool IsAppliedGlossaryEntry(const TGlossaryEntry& entry);

// Sets GlossID of the substances whose name is LIKE each applied term, in
// one transaction (rolled back and rethrown on failure), moving the bar and
// letting messages run once per entry. With `startFromNull`, every GlossID
// is first set to NULL, so that only the page's entries give one (the
// identifiers kept from the backup stand in only until the page is read);
// not done when the page has no applied entry. Returns the number applied.
int ApplyGlossaryEntries(TSQLConnection& connection, IUpdateProgress& progress,
                         const std::vector<TGlossaryEntry>& entries, bool startFromNull = false);

// Gives every substance whose GlossID is NULL the identifier of the row of
// the same name in SubstancesBackup, names compared as the glossary's LIKE
// compares them (ASCII letters without case; a row of exactly that name
// first, then the earliest). So the images stay available when the glossary
// page cannot be read after the rows were replaced. Runs inside the
// caller's transaction; returns the number of rows given an identifier.
int KeepBackupGlossaryIds(TSQLConnection& connection);
