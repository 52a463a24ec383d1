#include "update/Glossary.h"
#include "update/UpdateSql.h"
#include "framework/Database.h"
#include "framework/Dialogs.h"
#include "framework/RegEx.h"
#include "framework/Text.h"
#include <QHash>
#include <algorithm>

void EnsureGlossaryColumn(TSQLConnection& connection)
{
    // Ask the table for its columns rather than try a query: a query that
    // fails for another reason (a locked file) must not lead to ALTER TABLE.
    const QStringList columns = TableColumns(connection, "Substances");
    for (const QString& column : columns)
        if (AsciiLower(column) == "glossid")
            return;
    connection.EndRunningStatements();
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
                         const std::vector<TGlossaryEntry>& entries, bool startFromNull)
{
    const int n = int(entries.size());
    int applied = 0;
    connection.StartTransaction();
    try {
        if (startFromNull && std::any_of(entries.begin(), entries.end(), IsAppliedGlossaryEntry))
            connection.ExecuteDirect("UPDATE Substances SET GlossID = NULL");
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

int KeepBackupGlossaryIds(TSQLConnection& connection)
{
    QHash<QString, QString> byName;
    QHash<QString, QString> byFoldedName;
    {
        TSQLQuery backup(&connection);
        backup.SQL = "SELECT name, GLossID FROM SubstancesBackup WHERE GLossID IS NOT NULL ORDER BY rowid";
        backup.Open();
        for (; !backup.Eof(); backup.Next()) {
            const QString name = backup.FieldByName("name").AsString();
            const QString id = backup.FieldByName("GLossID").AsString();
            if (name.isEmpty() || id.isEmpty())
                continue;
            if (!byName.contains(name))   // the earliest namesake counts
                byName.insert(name, id);
            const QString folded = AsciiLower(name);
            if (!byFoldedName.contains(folded))
                byFoldedName.insert(folded, id);
        }
        backup.Close();
    }
    if (byFoldedName.isEmpty())
        return 0;

    std::vector<std::pair<qlonglong, QString>> rows;   // rowid and the identifier to keep
    {
        TSQLQuery table(&connection);
        table.SQL = "SELECT rowid, name FROM Substances WHERE GLossID IS NULL ORDER BY rowid";
        table.Open();
        for (; !table.Eof(); table.Next()) {
            const QString name = table.FieldByName("name").AsString();
            if (name.isEmpty())
                continue;
            QString id = byName.value(name);
            if (id.isEmpty())
                id = byFoldedName.value(AsciiLower(name));
            if (!id.isEmpty())
                rows.push_back({table.FieldByName("rowid").AsLargeInt(), id});
        }
        table.Close();
    }
    TSQLStatement update(connection, "UPDATE Substances SET GLossID = ?1 WHERE rowid = ?2");
    for (const auto& [rowid, id] : rows) {
        update.Bind({id, rowid});
        update.Execute();
    }
    return int(rows.size());
}
