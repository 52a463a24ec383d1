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
// letting messages run once per entry. Returns the number applied.
int ApplyGlossaryEntries(TSQLConnection& connection, IUpdateProgress& progress,
                         const std::vector<TGlossaryEntry>& entries);
