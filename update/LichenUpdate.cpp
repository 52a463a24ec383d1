#include "update/LichenUpdate.h"
#include "core/Schema.h"
#include "update/PortalPages.h"
#include "update/UpdateDates.h"
#include "update/UpdateSql.h"
#include "core/WebText.h"
#include "framework/Database.h"
#include "framework/Dialogs.h"
#include "framework/RegEx.h"
#include "framework/Text.h"
#include <algorithm>
#include <future>

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

void TDownloadedLichens::Append(QByteArrayView lichen, QByteArrayView substance)
{
    const QByteArrayView genus = FirstAsciiWord(lichen);
    rows.push_back({text.size(), int(lichen.size()), int(substance.size()), int(genus.data() - lichen.data()),
                    int(genus.size())});
    text.append(lichen);
    text.append(substance);
}

TDownloadedLichen TDownloadedLichens::operator[](size_t i) const
{
    const TRow& row = rows[i];
    const QByteArrayView lichen(text.constData() + row.At, row.LichenLength);
    return {lichen, QByteArrayView(text.constData() + row.At + row.LichenLength, row.SubstanceLength),
            lichen.sliced(row.GenusAt, row.GenusLength)};
}

void TDownloadedLichens::Clear()
{
    text = QByteArray();
    rows = {};
}

namespace {
const char* const SubstancePattern = R"RE("charStateName":"([(-)-]?[^"(]+))RE";
const char* const LichenPattern = R"RE("sciname":"([^("]+))RE";
}

QString MorphologyAttributeAddress(const QString& portalRoot, const QString& id, qint64 offset)
{
    return portalRoot + "/portal/api/v2/morphology/" + UrlEncode(id)
           + "/attribute?limit=" + QString::number(MorphologyPageLimit) + "&offset=" + QString::number(offset);
}

TMorphologyParse ParseMorphologyAnswer(const QByteArray& answer, TDownloadedLichens& rows,
                                       QByteArray& currentGenus, std::optional<TTextSpan> repeated)
{
    // Both values in one pass over the answer. The two keys never overlap
    // (each match starts at a quoted key and ends before the next quote), so
    // the substance values and the lichen values come out as the two
    // patterns would find them one after the other. A value cannot reach
    // past the closing quote of its string, so those of the repeated record
    // are the ones that start inside its text.
    static const TRegEx pattern(QByteArray(SubstancePattern) + "|" + LichenPattern);
    std::vector<QByteArrayView> substances;
    std::vector<QByteArrayView> lichens;
    const QByteArrayView text(answer);
    const TTextSpan skipped = repeated.value_or(TTextSpan());
    pattern.ForEachMatch(answer, [&](const qsizetype* offsets, int) {
        if (skipped.Contains(offsets[0]))
            return;
        if (offsets[2] >= 0)
            substances.push_back(text.sliced(offsets[2], offsets[3] - offsets[2]));
        else
            lichens.push_back(text.sliced(offsets[4], offsets[5] - offsets[4]));
    });
    if (substances.empty())
        return repeated && !lichens.empty() ? TMorphologyParse::Corrupt : TMorphologyParse::NoSubstance;
    if (lichens.size() != substances.size())
        return TMorphologyParse::Corrupt;
    for (size_t i = 0; i < substances.size(); ++i)
        rows.Append(lichens[i], substances[i]);
    currentGenus = rows[rows.size() - 1].Genus.toByteArray();
    return TMorphologyParse::Ok;
}

bool NamesASubstance(const QByteArray& answer)
{
    static const TRegEx pattern(SubstancePattern);
    return pattern.IsMatch(answer);
}

qint64 LichenValuesLength(const TDownloadedLichens& rows)
{
    if (rows.empty())
        return 0;
    qint64 length = 0;
    for (size_t i = 0; i < rows.size(); ++i) {
        const TDownloadedLichen row = rows[i];
        length += 11 + row.Lichen.size() + row.Substance.size() + row.Genus.size();
    }
    return length - 1;   // no comma after the last row
}

namespace {
constexpr int SortThreads = 4;
constexpr int SortRunKiB = -2048;   // a negative cache size counts KiB

// Drops the indexes of Lichens, empties it and fills it with `rows`, inside
// the caller's transaction; returns the dropped indexes for MakeIndexes,
// less those of earlier versions that the program's own replace.
// Building an index once after the last row is much cheaper than keeping
// it in order through every insert, and as all of it is one transaction a
// failure puts back the indexes with the rows.
std::vector<TIndexDefinition> FillLichens(TSQLConnection& db, const TDownloadedLichens& rows)
{
    std::vector<TIndexDefinition> indexes = TableIndexes(db, "Lichens");
    for (const TIndexDefinition& index : indexes)
        db.ExecuteDirect("DROP INDEX \"" + QString(index.Name).replace('"', "\"\"") + "\"");
    std::erase_if(indexes, [](const TIndexDefinition& index) {
        return ReplacedLichenIndexNames.contains(index.Name, Qt::CaseInsensitive);
    });

    db.ExecuteDirect("DELETE FROM Lichens");
    TSQLStatement insert(db, "INSERT INTO Lichens(Lichen,Substance,Genus) Values (?1,?2,?3)");
    for (size_t i = 0; i < rows.size(); ++i) {
        const TDownloadedLichen row = rows[i];
        insert.BindText(1, row.Lichen);
        insert.BindText(2, row.Substance);
        insert.BindText(3, row.Genus);
        insert.Execute();
    }
    return indexes;
}

// Reads a setting of the connection and sets it back to that when it goes;
// a switch as ON or OFF (cache_spill reads as a number of pages, which set
// back would change more than the switch).
class TPragmaBack {
public:
    TPragmaBack(TSQLConnection& db, const QString& name, bool isSwitch = false)
        : db(db), name(name), isSwitch(isSwitch)
    {
        TSQLQuery query(&db);
        query.SQL = "PRAGMA " + name;
        query.Open();
        before = query.FieldByName(name).AsInteger();
        query.Close();
    }
    ~TPragmaBack()
    {
        try {
            db.ExecuteDirect("PRAGMA " + name + " = "
                             + (isSwitch ? QString(before ? "ON" : "OFF") : QString::number(before)));
        } catch (const std::exception&) {
        }
    }
    int Before() const { return before; }

private:
    TSQLConnection& db;
    QString name;
    bool isSwitch;
    int before = 0;
};

// Makes `indexes` again and the program's own lichen indexes that are
// missing, so that a database of an earlier version gets them here, inside
// the update's transaction, and not while another command reads.
// The engine sorts an index's keys in runs as large as the page cache, and
// sorts several runs at once with helper threads: one run the size of the
// program's large cache is sorted by one thread, about three times slower.
// So while the indexes are made the cache is small and helper threads are
// allowed; the changed pages stay in memory meanwhile instead of being
// written out early because of the small cache. All is set back after.
void MakeIndexes(TSQLConnection& db, const std::vector<TIndexDefinition>& indexes)
{
    const TPragmaBack threads(db, "threads");
    const TPragmaBack spill(db, "cache_spill", true);
    const TPragmaBack cache(db, "cache_size");
    db.ExecuteDirect("PRAGMA threads = " + QString::number(std::max(threads.Before(), SortThreads)));
    db.ExecuteDirect("PRAGMA cache_spill = OFF");
    db.ExecuteDirect("PRAGMA cache_size = " + QString::number(SortRunKiB));
    for (const TIndexDefinition& index : indexes)
        db.ExecuteDirect(index.Create);
    for (const QString& sql : LichenIndexStatements)
        db.ExecuteDirect(sql);
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

TUpdateOutcome ReplaceLichenRows(TUpdateContext& context, const TDownloadedLichens& rows,
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
        TDownloadedLichens rows;

        progress.SetCaption("Lichen update");
        progress.SetLabel("Downloading data...");
        progress.ProcessMessages();

        for (const char* id : MorphologyAttributeIds) {
            // An attribute of more records than one request may ask for
            // comes in pages, each later one asked for from the last record
            // received; the paging says when the pages end or cannot be
            // trusted.
            TPortalPaging paging(MorphologyPageLimit, MorphologyPageCap);
            while (true) {
                const bool overlapping = paging.Overlapping();
                const QByteArray body =
                    context.Fetch(MorphologyAttributeAddress(context.PortalRoot, id, paging.NextOffset()));
                // "Error" (internet switched off) and a cut-off body are
                // failed downloads like an empty answer.
                if (!IsCompleteAnswer(body))
                    return StopWith(progress, DownloadFailedMessage, TUpdateOutcome::DownloadFailed);
                // The page's structure is read by a helper thread while
                // this one searches its text: both only read the body, and
                // the JSON reading takes as long as the rest of the page.
                std::future<TPortalPage> structure =
                    std::async(std::launch::async, [&body] { return ReadPortalPage(body); });
                const QByteArray text = DecodeWebBodyToUtf8(body);
                // The records are read from the reader's list alone. A later
                // page's first record came with the page before and is not
                // stored again; that it is that record the paging checks.
                const std::optional<TResultsText> list = ResultsListText(text);
                if (!list) {
                    // Nothing is read from such an answer; whether it names
                    // a substance at all tells an error page from a corrupt
                    // answer.
                    if (!overlapping && !NamesASubstance(text))
                        return StopWith(progress, DownloadFailedMessage, TUpdateOutcome::DownloadFailed);
                    return StopWith(progress, CorruptMessage, TUpdateOutcome::DataCorrupt);
                }
                std::optional<TTextSpan> repeated;
                if (overlapping)
                    repeated = list->First.value_or(TTextSpan());
                const size_t rowsBefore = rows.size();
                const TMorphologyParse parsed =
                    ParseMorphologyAnswer(list->TextIn(text), rows, currentGenus, repeated);
                if (parsed == TMorphologyParse::Corrupt)
                    return StopWith(progress, CorruptMessage, TUpdateOutcome::DataCorrupt);
                // A later page may name no substance (no record, or none
                // with one but the repeated one); only the first page must.
                if (parsed == TMorphologyParse::NoSubstance && !overlapping)
                    return StopWith(progress, DownloadFailedMessage, TUpdateOutcome::DownloadFailed);
                // The text's list must be the reader's, holding entries
                // where the reader found them. Each record gives one
                // pair at most, so more pairs than its new records mean the
                // text's list is another.
                const TPortalPage page = structure.get();
                const qint64 records = qint64(page.RecordKeys.size() - paging.RepeatedRecords(page));
                if (!page.IsList || (page.Entries > 0) != list->First.has_value()
                    || qint64(rows.size() - rowsBefore) > records)
                    return StopWith(progress, CorruptMessage, TUpdateOutcome::DataCorrupt);
                const TPortalPaging::TStep step = paging.Take(page);
                if (step == TPortalPaging::TStep::Corrupt)
                    return StopWith(progress, CorruptMessage, TUpdateOutcome::DataCorrupt);
                if (step == TPortalPaging::TStep::Done)
                    break;
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
        rows.Clear();
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
