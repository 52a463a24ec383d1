#include "update/LichenUpdate.h"
#include "update/UpdateDates.h"
#include "update/UpdateSql.h"
#include "framework/Database.h"
#include "framework/Dialogs.h"
#include "framework/RegEx.h"
#include "framework/Text.h"
#include <algorithm>

const std::array<const char*, 23> MorphologyAttributeIds = {
    "235", "236", "237", "238", "253", "254", "255", "256", "257", "258", "259", "260",
    "262", "263", "264", "265", "266", "267", "268", "269", "270", "271", "272"};

namespace {
const char* const DownloadFailedMessage = "Data download failed. Database unchanged.";
const char* const CorruptMessage = "Downloaded data corrupt.  Please try again.";

QByteArrayView FirstAsciiWord(QByteArrayView text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    while (i < n && !letter(text[i]))
        ++i;
    const qsizetype start = i;
    while (i < n && letter(text[i]))
        ++i;
    return text.sliced(start, i - start);
}

TUpdateOutcome StopWith(IUpdateProgress& progress, const QString& message, TUpdateOutcome outcome)
{
    progress.Hide();
    ShowMessage(message);
    return outcome;
}
}

TMorphologyPage ReadMorphologyPage(QByteArrayView answer)
{
    // A scan of the brackets outside strings. The text fetch has removed
    // the commas before quotes, so the answer is no longer JSON for a
    // parser; its brackets and strings are intact.
    TMorphologyPage page;
    int depth = 0;
    int resultsDepth = -1;   // the depth inside the "results" list
    QByteArrayView lastKey;  // the last string at depth 1
    const qsizetype n = answer.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char c = answer[i];
        if (c == '"') {
            const qsizetype start = i + 1;
            for (++i; i < n && answer[i] != '"'; ++i)
                if (answer[i] == '\\')
                    ++i;
            if (depth == 1)
                lastKey = answer.sliced(start, std::min(i, n) - start);
        } else if (c == '{' || c == '[') {
            ++depth;
            if (c == '[' && depth == 2 && resultsDepth < 0 && lastKey == "results") {
                resultsDepth = depth;
                page.Records = 0;
            } else if (depth == resultsDepth + 1 && resultsDepth > 0) {
                ++page.Records;
            }
        } else if (c == '}' || c == ']') {
            if (depth == resultsDepth)
                resultsDepth = 0;   // the list has ended; later lists are not records
            --depth;
        } else if (depth == 1 && c >= '0' && c <= '9' && lastKey == "count" && page.Count < 0) {
            qint64 value = 0;
            for (; i < n && answer[i] >= '0' && answer[i] <= '9' && value < (qint64(1) << 50); ++i)
                value = value * 10 + (answer[i] - '0');
            page.Count = value;
            --i;
        }
    }
    return page;
}

QString MorphologyAttributeAddress(const QString& portalRoot, const QString& id, int offset)
{
    return portalRoot + "/portal/api/v2/morphology/" + UrlEncode(id)
           + "/attribute?limit=" + QString::number(MorphologyPageLimit) + "&offset=" + QString::number(offset);
}

TMorphologyParse ParseMorphologyAnswer(const QByteArray& answer, std::vector<TDownloadedLichen>& rows,
                                       QByteArray& currentGenus)
{
    // Both values in one pass over the answer. The two keys never overlap
    // (each match starts at a quoted key and ends before the next quote), so
    // the substance values and the lichen values come out as the two
    // patterns would find them one after the other.
    static const TRegEx pattern(R"RE("charStateName":"([(-)-]?[^"(]+)|"sciname":"([^("]+))RE");
    std::vector<QByteArrayView> substances;
    std::vector<QByteArrayView> lichens;
    const QByteArrayView text(answer);
    pattern.ForEachMatch(answer, [&](const qsizetype* offsets, int) {
        if (offsets[2] >= 0)
            substances.push_back(text.sliced(offsets[2], offsets[3] - offsets[2]));
        else
            lichens.push_back(text.sliced(offsets[4], offsets[5] - offsets[4]));
    });
    if (substances.empty())
        return TMorphologyParse::NoSubstance;
    if (lichens.size() != substances.size())
        return TMorphologyParse::Corrupt;
    // Grown by doubling: reserving the exact size for each answer would copy
    // all rows gathered so far once per answer.
    const size_t needed = rows.size() + substances.size();
    if (needed > rows.capacity())
        rows.reserve(std::max(needed, 2 * rows.capacity()));
    for (size_t i = 0; i < substances.size(); ++i)
        rows.push_back({lichens[i], substances[i], FirstAsciiWord(lichens[i])});
    currentGenus = rows.back().Genus.toByteArray();
    return TMorphologyParse::Ok;
}

qint64 LichenValuesLength(const std::vector<TDownloadedLichen>& rows)
{
    if (rows.empty())
        return 0;
    qint64 length = 0;
    for (const TDownloadedLichen& row : rows)
        length += 11 + row.Lichen.size() + row.Substance.size() + row.Genus.size();
    return length - 1;   // no comma after the last row
}

namespace {
constexpr int SortThreads = 4;

// Drops the indexes of Lichens, empties it and fills it with `rows`, inside
// the caller's transaction; returns the dropped indexes for MakeIndexes.
// Building an index once after the last row is much cheaper than keeping
// it in order through every insert, and as all of it is one transaction a
// failure puts back the indexes with the rows.
std::vector<TIndexDefinition> FillLichens(TSQLConnection& db, const std::vector<TDownloadedLichen>& rows)
{
    const std::vector<TIndexDefinition> indexes = TableIndexes(db, "Lichens");
    for (const TIndexDefinition& index : indexes)
        db.ExecuteDirect("DROP INDEX \"" + QString(index.Name).replace('"', "\"\"") + "\"");

    db.ExecuteDirect("DELETE FROM Lichens");
    TSQLStatement insert(db, "INSERT INTO Lichens(Lichen,Substance,Genus) Values (?1,?2,?3)");
    for (const TDownloadedLichen& row : rows) {
        insert.BindText(1, row.Lichen);
        insert.BindText(2, row.Substance);
        insert.BindText(3, row.Genus);
        insert.Execute();
    }
    return indexes;
}

// The engine may sort an index's keys with helper threads; allowed only
// while the indexes are made, then set back.
void MakeIndexes(TSQLConnection& db, const std::vector<TIndexDefinition>& indexes)
{
    if (indexes.empty())
        return;
    TSQLQuery threads(&db);
    threads.SQL = "PRAGMA threads";
    threads.Open();
    const int before = threads.FieldByName("threads").AsInteger();
    threads.Close();
    struct TThreadsBack {
        TSQLConnection& db;
        int before;
        ~TThreadsBack()
        {
            try {
                db.ExecuteDirect("PRAGMA threads = " + QString::number(before));
            } catch (const std::exception&) {
            }
        }
    } threadsBack{db, before};
    db.ExecuteDirect("PRAGMA threads = " + QString::number(std::max(before, SortThreads)));
    for (const TIndexDefinition& index : indexes)
        db.ExecuteDirect(index.Create);
}

// Runs `step` under a savepoint of the open transaction: when it raises, its
// own changes are undone and its message returned. When the engine has
// ended the whole transaction, the error passes on.
QString RunUndoable(TSQLConnection& db, const std::function<void()>& step)
{
    db.ExecuteDirect("SAVEPOINT AddNamedLichens");
    try {
        step();
        db.ExecuteDirect("RELEASE AddNamedLichens");
        return {};
    } catch (const std::exception& e) {
        if (!db.InTransaction())
            throw;
        db.ExecuteDirect("ROLLBACK TO AddNamedLichens");
        db.ExecuteDirect("RELEASE AddNamedLichens");
        const QString message = QString::fromUtf8(e.what());
        return message.isEmpty() ? QStringLiteral("failed") : message;
    }
}
}

TUpdateOutcome ReplaceLichenRows(TUpdateContext& context, const std::vector<TDownloadedLichen>& rows,
                                 const std::function<void()>& addNamed, QString* addNamedError)
{
    TSQLConnection& db = context.Connection;
    IUpdateProgress& progress = context.Progress;
    progress.SetLabel("Importing data...");
    progress.ProcessMessages();
    // Whatever a window left reading (also while the messages above ran)
    // must not keep the indexes from being dropped.
    db.EndRunningStatements();

    // The copy is one transaction, so a failed copy leaves the last good
    // backup as it was.
    try {
        ExecuteInTransaction(db, {
            "CREATE TABLE IF NOT EXISTS LichensBackup (Lichen TEXT NOT NULL, Substance TEXT NOT NULL, Genus TEXT NOT NULL)",
            "DELETE FROM LichensBackup",
            "INSERT INTO LichensBackup(Lichen, Substance, Genus) SELECT * FROM Lichens"});
    } catch (const std::exception&) {
        return StopWith(progress, "Unable to create backup.  Update cancelled", TUpdateOutcome::BackupFailed);
    }

    // Emptying and refilling are one transaction: a failure leaves the table
    // with its old rows once the transaction has ended, whether the engine
    // ended it or the rollback here; only a transaction that stays open is
    // made good from the backup. No window messages run while it is open,
    // so that no other command's statement can land inside it.
    try {
        db.StartTransaction();
        const std::vector<TIndexDefinition> indexes = FillLichens(db, rows);
        if (addNamed) {
            const QString error = RunUndoable(db, addNamed);
            if (addNamedError)
                *addNamedError = error;
        }
        MakeIndexes(db, indexes);
        db.Commit();
    } catch (const std::exception&) {
        progress.Hide();
        ShowMessage("Unable to update Lichen database.  Backup will be restored.");
        QString error;
        if (!PutBackOldRows(db, {"DELETE FROM Lichens",
                                 "INSERT INTO Lichens(Lichen, Substance, Genus) SELECT * FROM LichensBackup"},
                            error)) {
            ShowMessage("Unable to restore the backup: " + error
                        + "\r\nThe previous lichen data are kept in LichensBackup.");
            return TUpdateOutcome::RestoreFailed;
        }
        ShowMessage("Backup restored");
        return TUpdateOutcome::TableRestored;
    }
    return TUpdateOutcome::Complete;
}

TUpdateOutcome RunLichenUpdate(TUpdateContext& context)
{
    TUpdateRunGuard guard;
    if (!guard.Acquired())
        return TUpdateOutcome::AlreadyRunning;
    IUpdateProgress& progress = context.Progress;
    try {
        int progressStep = 1;
        QByteArray currentGenus;
        std::vector<TDownloadedLichen> rows;
        std::vector<QByteArray> answers;   // the texts the rows point into

        progress.SetCaption("Lichen update");
        progress.SetLabel("Downloading data...");
        progress.ProcessMessages();

        for (const char* id : MorphologyAttributeIds) {
            // An attribute of more records than one request may ask for
            // comes in pages. The pages end with one that is not full, or
            // where the answer's count says; a page equal to the one before
            // (the portal ignored the offset) or more pages than any
            // attribute has mean the answers cannot be trusted.
            for (int page = 0;; ++page) {
                const int offset = page * MorphologyPageLimit;
                answers.push_back(context.Fetch(MorphologyAttributeAddress(context.PortalRoot, id, offset)));
                const QByteArray& answer = answers.back();
                // "Error" (internet switched off) and a cut-off body are
                // failed downloads like an empty answer.
                if (!IsCompleteAnswer(answer))
                    return StopWith(progress, DownloadFailedMessage, TUpdateOutcome::DownloadFailed);
                if (page > 0 && answer == answers[answers.size() - 2])
                    return StopWith(progress, CorruptMessage, TUpdateOutcome::DataCorrupt);
                const TMorphologyParse parsed = ParseMorphologyAnswer(answer, rows, currentGenus);
                if (parsed == TMorphologyParse::Corrupt)
                    return StopWith(progress, CorruptMessage, TUpdateOutcome::DataCorrupt);
                // A later page may name no substance (no record, or none
                // with one); only the first page must.
                if (parsed == TMorphologyParse::NoSubstance && page == 0)
                    return StopWith(progress, DownloadFailedMessage, TUpdateOutcome::DownloadFailed);
                const TMorphologyPage read = ReadMorphologyPage(answer);
                const qint64 next = qint64(offset) + MorphologyPageLimit;
                if (read.Records < MorphologyPageLimit || (read.Count >= 0 && next >= read.Count))
                    break;
                if (page + 1 >= MorphologyPageCap)
                    return StopWith(progress, CorruptMessage, TUpdateOutcome::DataCorrupt);
            }
            progress.SetPosition(progressStep * 100 / 25);
            ++progressStep;
        }
        if (LichenValuesLength(rows) < MinimumLichenValuesLength)
            return StopWith(progress, DownloadFailedMessage, TUpdateOutcome::DownloadFailed);

        // The lichens the substance records name are added in the same
        // transaction, once the downloaded rows are in.
        TSQLConnection& db = context.Connection;
        auto addNamed = [&] {
            progress.SetPosition(progressStep * 100 / 25);
            ++progressStep;
            progress.SetLabel("Reconciling data...");
            InsertMissingLichenRows(db, ReconcileLichenNames(ReadSubstanceLichens(db), currentGenus));
        };
        QString addNamedError;
        const TUpdateOutcome replaced = ReplaceLichenRows(context, rows, addNamed, &addNamedError);
        if (replaced != TUpdateOutcome::Complete)
            return replaced;
        progress.ProcessMessages();
        rows.clear();
        rows.shrink_to_fit();
        answers.clear();
        if (!addNamedError.isEmpty())
            return StopWith(progress, "Unable to add the lichens named in the substance records: " + addNamedError,
                            TUpdateOutcome::FinishFailed);

        LichenDataDate = CurrentDataDate();
        WriteUpdateDates();
        progress.Hide();
        ShowMessage("Complete");
        return TUpdateOutcome::Complete;
    } catch (const std::exception& e) {
        // Anything unforeseen still ends with the wait window hidden.
        return StopWith(progress, QString::fromUtf8(e.what()), TUpdateOutcome::DownloadFailed);
    }
}
