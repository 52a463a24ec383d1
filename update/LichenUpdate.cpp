#include "update/LichenUpdate.h"
#include "update/UpdateDates.h"
#include "update/UpdateSql.h"
#include "framework/Database.h"
#include "framework/Dialogs.h"
#include "framework/RegEx.h"
#include "framework/Text.h"

const std::array<const char*, 23> MorphologyAttributeIds = {
    "235", "236", "237", "238", "253", "254", "255", "256", "257", "258", "259", "260",
    "262", "263", "264", "265", "266", "267", "268", "269", "270", "271", "272"};

namespace {
const char* const DownloadFailedMessage = "Data download failed. Database unchanged.";
const char* const CorruptMessage = "Downloaded data corrupt.  Please try again.";

// A complete answer is one JSON value; a body cut off in transfer is not.
bool LooksComplete(const QByteArray& answer)
{
    const QByteArray trimmed = TrimAnsi(answer);
    return !trimmed.isEmpty() && (trimmed.endsWith('}') || trimmed.endsWith(']'));
}

QByteArray FirstAsciiWord(const QByteArray& text)
{
    int i = 0;
    const int n = int(text.size());
    auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    while (i < n && !letter(text[i]))
        ++i;
    const int start = i;
    while (i < n && letter(text[i]))
        ++i;
    return text.mid(start, i - start);
}

TUpdateOutcome StopWith(IUpdateProgress& progress, const QString& message, TUpdateOutcome outcome)
{
    progress.Hide();
    ShowMessage(message);
    return outcome;
}
}

QString MorphologyAttributeAddress(const QString& portalRoot, const QString& id)
{
    return portalRoot + "/portal/api/v2/morphology/" + UrlEncode(id)
           + "/attribute?limit=10000&offset=0";
}

TMorphologyParse ParseMorphologyAnswer(const QByteArray& answer, std::vector<TLichenRow>& rows,
                                       QByteArray& currentGenus)
{
    static const TRegEx substancePattern(R"RE(("charStateName":")([(-)-]?[^"(]+))RE");
    static const TRegEx lichenPattern(R"RE(("sciname":")([^("]+))RE");
    const TMatchCollection substances = substancePattern.Matches(answer);
    if (substances.Count() == 0)
        return TMorphologyParse::NoSubstance;
    const TMatchCollection lichens = lichenPattern.Matches(answer);
    if (lichens.Count() != substances.Count())
        return TMorphologyParse::Corrupt;
    rows.reserve(rows.size() + substances.Count());
    for (int i = 0; i < substances.Count(); ++i) {
        const QByteArray substance = substances[i].Group(2);
        const QByteArray lichen = lichens[i].Group(2);
        currentGenus = FirstAsciiWord(lichen);
        rows.push_back({QString::fromUtf8(lichen), QString::fromUtf8(substance),
                        QString::fromUtf8(currentGenus)});
    }
    return TMorphologyParse::Ok;
}

qint64 LichenValuesLength(const std::vector<TLichenRow>& rows)
{
    if (rows.empty())
        return 0;
    qint64 length = 0;
    for (const TLichenRow& row : rows)
        length += 11 + row.Lichen.toUtf8().size() + row.Substance.toUtf8().size()
                  + row.Genus.toUtf8().size();
    return length - 1;   // no comma after the last row
}

TUpdateOutcome ReplaceLichenRows(TUpdateContext& context, const std::vector<TLichenRow>& rows)
{
    TSQLConnection& db = context.Connection;
    IUpdateProgress& progress = context.Progress;
    progress.SetLabel("Importing data...");
    progress.ProcessMessages();

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

    // Emptying and refilling are one transaction: a failure rolls the table
    // back to its old rows, and only when the rollback itself fails are the
    // rows copied back from the backup.
    bool rolledBack = false;
    try {
        db.StartTransaction();
        try {
            db.ExecuteDirect("DELETE FROM Lichens");
            QVariantList values;
            values.reserve(qsizetype(rows.size()) * 3);
            for (const TLichenRow& row : rows)
                values << row.Lichen << row.Substance << row.Genus;
            InsertRows(db, "INSERT INTO Lichens(Lichen,Substance,Genus) Values ", 3, values);
            db.Commit();
        } catch (...) {
            rolledBack = RollbackQuietly(db);
            throw;
        }
    } catch (const std::exception&) {
        progress.Hide();
        ShowMessage("Unable to update Lichen database.  Backup will be restored.");
        if (!rolledBack) {
            try {
                ExecuteInTransaction(db, {
                    "DELETE FROM Lichens",
                    "INSERT INTO Lichens(Lichen, Substance, Genus) SELECT * FROM LichensBackup"});
            } catch (const std::exception& e) {
                ShowMessage("Unable to restore the backup: " + QString::fromUtf8(e.what())
                            + "\r\nThe previous lichen data are kept in LichensBackup.");
                return TUpdateOutcome::RestoreFailed;
            }
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
        std::vector<TLichenRow> rows;

        progress.SetCaption("Lichen update");
        progress.SetLabel("Downloading data...");
        progress.ProcessMessages();

        for (const char* id : MorphologyAttributeIds) {
            const QByteArray answer = context.Fetch(MorphologyAttributeAddress(context.PortalRoot, id));
            // "Error" (internet switched off) and a cut-off body are failed
            // downloads like an empty answer.
            if (answer.isEmpty() || answer == "Error" || !LooksComplete(answer))
                return StopWith(progress, DownloadFailedMessage, TUpdateOutcome::DownloadFailed);
            switch (ParseMorphologyAnswer(answer, rows, currentGenus)) {
            case TMorphologyParse::Ok:
                break;
            case TMorphologyParse::NoSubstance:
                return StopWith(progress, DownloadFailedMessage, TUpdateOutcome::DownloadFailed);
            case TMorphologyParse::Corrupt:
                return StopWith(progress, CorruptMessage, TUpdateOutcome::DataCorrupt);
            }
            progress.SetPosition(progressStep * 100 / 25);
            ++progressStep;
        }
        if (LichenValuesLength(rows) < MinimumLichenValuesLength)
            return StopWith(progress, DownloadFailedMessage, TUpdateOutcome::DownloadFailed);

        const TUpdateOutcome replaced = ReplaceLichenRows(context, rows);
        if (replaced != TUpdateOutcome::Complete)
            return replaced;
        progress.SetPosition(progressStep * 100 / 25);
        ++progressStep;
        progress.ProcessMessages();
        rows.clear();
        rows.shrink_to_fit();

        progress.SetLabel("Reconciling data...");
        progress.ProcessMessages();
        try {
            const std::vector<TLichenRow> named =
                ReconcileLichenNames(ReadSubstanceLichens(context.Connection), currentGenus);
            InsertMissingLichenRows(context.Connection, named);
        } catch (const std::exception& e) {
            return StopWith(progress,
                            "Unable to add the lichens named in the substance records: "
                                + QString::fromUtf8(e.what()),
                            TUpdateOutcome::FinishFailed);
        }

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
