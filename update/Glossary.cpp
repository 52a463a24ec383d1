#include "update/Glossary.h"
#include "update/UpdateSql.h"
#include "framework/Database.h"
#include "framework/Dialogs.h"
#include "framework/RegEx.h"

void EnsureGlossaryColumn(TSQLConnection& connection)
{
    // Ask the table for its columns rather than try a query: a query that
    // fails for another reason (a locked file) must not lead to ALTER TABLE.
    const QStringList columns = TableColumns(connection, "Substances");
    for (const QString& column : columns)
        if (AsciiLower(column) == "glossid")
            return;
    connection.ExecuteDirect("ALTER TABLE Substances ADD COLUMN GLossID TEXT default null");
    ShowMessage("Database format has changed.  Update Substances before continuing.");
}

QString GlossaryIndexAddress(const QString& portalRoot)
{
    return portalRoot + "/portal/glossary/index.php";
}

std::vector<TGlossaryEntry> ParseGlossaryIndex(const QByteArray& page)
{
    static const TRegEx pattern(R"RE(Popup\(([0-9]+)[^>]+>([^<]+))RE");
    const TMatchCollection matches = pattern.Matches(page);
    std::vector<TGlossaryEntry> entries;
    entries.reserve(matches.Count());
    for (const TMatch& match : matches.Items)
        entries.push_back({QString::fromUtf8(match.Group(1)), QString::fromUtf8(match.Group(2))});
    return entries;
}

bool IsAppliedGlossaryEntry(const TGlossaryEntry& entry)
{
    return entry.Id != "1124" && entry.Term != "name";
}

int ApplyGlossaryEntries(TSQLConnection& connection, IUpdateProgress& progress,
                         const std::vector<TGlossaryEntry>& entries)
{
    const int n = int(entries.size());
    int applied = 0;
    connection.StartTransaction();
    try {
        for (int i = 0; i < n; ++i) {
            progress.SetPosition(int(qint64(i) * 120 / n));
            progress.ProcessMessages();
            const TGlossaryEntry& entry = entries[size_t(i)];
            if (!IsAppliedGlossaryEntry(entry))
                continue;
            connection.ExecuteDirect("UPDATE Substances SET GlossID = ?1 WHERE name LIKE ?2",
                                     {entry.Id, entry.Term});
            ++applied;
        }
        connection.Commit();
    } catch (...) {
        RollbackQuietly(connection);
        throw;
    }
    return applied;
}
