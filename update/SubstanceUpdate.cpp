#include "update/SubstanceUpdate.h"
#include "update/Glossary.h"
#include "update/PortalPages.h"
#include "update/UpdateDates.h"
#include "update/UpdateSql.h"
#include "core/Schema.h"
#include "core/WebText.h"
#include "framework/Database.h"
#include "framework/Dialogs.h"
#include "framework/RegEx.h"
#include "framework/Text.h"
#include <QHash>
#include <QSet>

const char* const SubstanceColumnList =
    "name, A, B, Bprime, C, E, F, G, HPLC, BefVis, BefUVS, BefUVL, Archers, AftVis, AftUV , M, "
    "F1, F2, F3, KResult, CResult, KCResult, PDResult , Cortex , Medulla , Notes, Related, "
    "Lichens, Synonyms, Path, GroupName, Class, GLossID";

namespace {
const char* const CorruptMessage = "Downloaded data corrupt.  Please try again.";

// As for the lichen pages: far more pages than the portal has substances for.
constexpr int MetabolitePageCap = 50;

// A bare value as a bound parameter; false for anything but a JSON number,
// null, true or false.
bool BareValue(const QByteArray& text, QVariant& value)
{
    if (text == "null") {
        value = QVariant();
        return true;
    }
    if (text == "true" || text == "false") {
        value = qlonglong(text == "true" ? 1 : 0);
        return true;
    }
    static const TRegEx number(R"RE(^-?(0|[1-9][0-9]*)(\.[0-9]+)?([eE][+-]?[0-9]+)?$)RE");
    const TMatch match = number.Match(text);
    if (!match.Success || match.Length != text.size())
        return false;
    bool ok = false;
    if (match.Group(2).isEmpty() && match.Group(3).isEmpty()) {
        const qlonglong whole = text.toLongLong(&ok);
        if (ok) {
            value = whole;
            return true;
        }
    }
    const double real = text.toDouble(&ok);
    if (!ok)
        return false;
    value = real;
    return true;
}

bool ParameterValue(const QByteArray& text, QVariant& value)
{
    if (text == "\"\"") {
        value = QVariant();
        return true;
    }
    if (text.size() >= 2 && text.startsWith('"') && text.endsWith('"')) {
        value = QString::fromUtf8(text.mid(1, text.size() - 2));
        return true;
    }
    return BareValue(text, value);
}

TUpdateOutcome StopWith(IUpdateProgress& progress, const QString& message, TUpdateOutcome outcome)
{
    progress.Hide();
    ShowMessage(message);
    return outcome;
}

// Another program holds the database: nothing has been changed.
QString LockedMessage(const EDatabaseLocked& e)
{
    return "Substance update failed: " + e.Message + ".  Database unchanged.";
}
}

QString MetaboliteAddress(const QString& portalRoot, qint64 offset)
{
    const QString first = portalRoot + "/portal/api/v2/metabolite?limit=" + QString::number(MetabolitePageLimit);
    return offset == 0 ? first : first + "&offset=" + QString::number(offset);
}

std::vector<TSubstancePair> FindSubstancePairs(const QByteArray& answer)
{
    static const TRegEx pattern(R"RE("([a-zA-Z1-9]+)":[ ]*(("[^"]+")|([^",]+)|("")))RE");
    const TMatchCollection matches = pattern.Matches(answer);
    std::vector<TSubstancePair> pairs;
    pairs.reserve(matches.Count());
    for (const TMatch& match : matches.Items)
        pairs.push_back({match.Group(1), match.Group(2), qsizetype(match.Index) - 1});
    return pairs;
}

bool ParseSubstanceRecords(const QByteArray& answer, const QStringList& tableColumns,
                           TSubstanceRecords& result, TTextSpan repeated)
{
    result = {};
    QHash<QString, QString> columnByLowerName;
    for (const QString& column : tableColumns)
        columnByLowerName.insert(AsciiLower(column), column);

    const std::vector<TSubstancePair> pairs = FindSubstancePairs(answer);
    result.PairCount = int(pairs.size());
    std::vector<QByteArray> firstKeys;
    bool inRecord = false;
    bool isRepeated = false;
    size_t keyIndex = 0;
    QVariantList values;
    for (const TSubstancePair& pair : pairs) {
        if (!inRecord) {
            // Pairs between records belong to none.
            if (pair.Key != "name")
                continue;
            inRecord = true;
            isRepeated = repeated.Contains(pair.At);
            keyIndex = 0;
            values.clear();
        } else if (pair.Key == "initialTimestamp") {
            if (result.Columns.isEmpty()) {
                // The first record fixes the columns.
                QSet<QString> seen;
                for (const QByteArray& key : firstKeys) {
                    const QString lower = AsciiLower(QString::fromUtf8(key));
                    const auto column = columnByLowerName.constFind(lower);
                    if (column == columnByLowerName.constEnd() || seen.contains(lower))
                        return false;
                    seen.insert(lower);
                    result.Columns << column.value();
                }
            } else if (keyIndex != firstKeys.size()) {
                return false;
            }
            if (!isRepeated)
                result.Records.push_back(values);
            inRecord = false;
            continue;
        } else if (pair.Key == "name") {
            return false;   // a record that never ended
        }

        if (result.Columns.isEmpty()) {
            firstKeys.push_back(pair.Key);
        } else if (keyIndex >= firstKeys.size() || firstKeys[keyIndex] != pair.Key) {
            return false;
        }
        ++keyIndex;
        QVariant value;
        if (!ParameterValue(pair.Value, value))
            return false;
        values << value;
    }
    // A record still open at the end was cut off.
    return !inRecord && !result.Columns.isEmpty();
}

TUpdateOutcome ReplaceSubstanceRows(TUpdateContext& context, const TSubstanceRecords& records)
{
    TSQLConnection& db = context.Connection;
    IUpdateProgress& progress = context.Progress;
    const QString columns = SubstanceColumnList;
    // Whatever a window left reading must not keep the backup table from
    // being dropped.
    db.EndRunningStatements();

    // The backup is one transaction: a failed copy keeps the previous backup.
    try {
        ExecuteInTransaction(db, {
            "DROP TABLE IF EXISTS SubstancesBackup",
            SubstancesBackupCreateStatement,
            "INSERT INTO SubstancesBackup(" + columns + ") SELECT * FROM Substances"});
    } catch (const EDatabaseLocked& e) {
        return StopWith(progress, LockedMessage(e), TUpdateOutcome::DatabaseLocked);
    } catch (const std::exception&) {
        return StopWith(progress, "Unable to create backup of database", TUpdateOutcome::BackupFailed);
    }

    progress.SetLabel("Inserting data");
    progress.Show();
    progress.ProcessMessages();

    // Until the glossary page has been read, each new row has the glossary
    // identifier its namesake had, unless the portal sends identifiers of
    // its own; committed with the rows, so no later failure loses them.
    const bool keepGlossaryIds = !records.Columns.contains("GLossID", Qt::CaseInsensitive);
    try {
        db.StartTransaction();
        db.ExecuteDirect("DELETE FROM Substances");
        QVariantList values;
        values.reserve(qsizetype(records.Records.size()) * records.Columns.size());
        for (const QVariantList& record : records.Records)
            values += record;
        InsertRows(db, "INSERT INTO Substances(" + records.Columns.join(',') + ") Values ",
                   int(records.Columns.size()), values);
        if (keepGlossaryIds)
            KeepBackupGlossaryIds(db);
        db.Commit();
    } catch (const std::exception& e) {
        progress.Hide();
        // The old rows are back once the transaction has ended (the engine
        // may have ended it itself); only a transaction that stays open is
        // made good from the backup.
        QString error;
        if (!PutBackOldRows(db, {"DELETE FROM Substances",
                                 "INSERT INTO Substances(" + columns + ") SELECT * FROM SubstancesBackup"},
                            error)) {
            ShowMessage("Error updating substances.  Unable to restore the backup: " + error
                        + "\r\nThe previous substance data are kept in SubstancesBackup.");
            return TUpdateOutcome::RestoreFailed;
        }
        if (const auto* locked = dynamic_cast<const EDatabaseLocked*>(&e)) {
            ShowMessage(LockedMessage(*locked));
            return TUpdateOutcome::DatabaseLocked;
        }
        // Said only once the old rows are back.
        ShowMessage("Error updating substances.  Backup restored.");
        return TUpdateOutcome::TableRestored;
    }
    return TUpdateOutcome::Complete;
}

TUpdateOutcome RunSubstanceUpdate(TUpdateContext& context)
{
    TUpdateRunGuard guard;
    if (!guard.Acquired())
        return TUpdateOutcome::AlreadyRunning;
    IUpdateProgress& progress = context.Progress;
    try {
        progress.SetCaption("Updating substances");
        progress.SetLabel("Downloading data");
        progress.Show();
        progress.ProcessMessages();

        // The one request brings every record unless its count says there
        // are more; those come page by page, guarded as the lichen pages.
        TPortalPaging paging(MetabolitePageLimit, MetabolitePageCap);
        QStringList tableColumns;
        TSubstanceRecords records;
        while (true) {
            const bool overlapping = paging.Overlapping();
            const QByteArray body = context.Fetch(MetaboliteAddress(context.PortalRoot, paging.NextOffset()));
            // "Error" (internet switched off) and a cut-off body are failed
            // downloads like an empty answer.
            if (!IsCompleteAnswer(body)) {
                ShowMessage("Error connecting to internet");
                progress.Hide();
                return TUpdateOutcome::DownloadFailed;
            }
            if (!overlapping) {
                try {
                    tableColumns = TableColumns(context.Connection, "Substances");
                } catch (const EDatabaseLocked& e) {
                    return StopWith(progress, LockedMessage(e), TUpdateOutcome::DatabaseLocked);
                }
            }
            const TPortalPage page = ReadPortalPage(body);
            if (!page.IsList)
                return StopWith(progress, CorruptMessage, TUpdateOutcome::DataCorrupt);
            // A later page without entries ends the list or is corrupt, as
            // the paging says, and has no record to parse; every other page
            // must hold records that fit the first, read from the reader's
            // list alone. A later page's first record came with the page
            // before and is not taken again; that it is that record the
            // paging checks.
            if (!overlapping || page.Entries > 0) {
                const QByteArray text = DecodeWebBodyToUtf8(body);
                const std::optional<TResultsText> list = ResultsListText(text);
                const qint64 newRecords = qint64(page.RecordKeys.size() - paging.RepeatedRecords(page));
                TSubstanceRecords pageRecords;
                if (!list || (page.Entries > 0) != list->First.has_value()
                    || !ParseSubstanceRecords(list->TextIn(text), tableColumns, pageRecords,
                                              overlapping ? *list->First : TTextSpan())
                    || qint64(pageRecords.Records.size()) > newRecords
                    || (overlapping && pageRecords.Columns != records.Columns))
                    return StopWith(progress, CorruptMessage, TUpdateOutcome::DataCorrupt);
                if (!overlapping)
                    records = std::move(pageRecords);
                else {
                    records.Records.insert(records.Records.end(), pageRecords.Records.begin(),
                                           pageRecords.Records.end());
                    records.PairCount += pageRecords.PairCount;
                }
            }
            const TPortalPaging::TStep step = paging.Take(page);
            if (step == TPortalPaging::TStep::Corrupt)
                return StopWith(progress, CorruptMessage, TUpdateOutcome::DataCorrupt);
            if (step == TPortalPaging::TStep::Done)
                break;
        }
        for (int r = 0; r < int(records.Records.size()); ++r)
            progress.SetPosition(int(qint64(r) * 100 / records.PairCount));

        const TUpdateOutcome replaced = ReplaceSubstanceRows(context, records);
        if (replaced != TUpdateOutcome::Complete)
            return replaced;

        const QByteArray page = DecodeWebBodyToUtf8(context.Fetch(GlossaryIndexAddress(context.PortalRoot)));
        if (page.isEmpty() || page == "Error") {
            progress.Hide();
            ShowMessage("Unable to update Substance images");
            ShowMessage("Original Substance images are still available.");
            return TUpdateOutcome::ImagesFailed;
        }
        try {
            ApplyGlossaryEntries(context.Connection, progress, ParseGlossaryIndex(page),
                                 !records.Columns.contains("GLossID", Qt::CaseInsensitive));
        } catch (const std::exception& e) {
            return StopWith(progress,
                            "Unable to set the substance glossary identifiers: "
                                + QString::fromUtf8(e.what()),
                            TUpdateOutcome::FinishFailed);
        }

        SubstanceDataDate = CurrentDataDate();
        WriteUpdateDates();
        progress.Hide();
        ShowMessage("Complete");
        return TUpdateOutcome::Complete;
    } catch (const std::exception& e) {
        return StopWith(progress, QString::fromUtf8(e.what()), TUpdateOutcome::DataCorrupt);
    }
}
