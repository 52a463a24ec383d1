#include "identify/MatchEngine.h"
#include "framework/Database.h"
#include "framework/Exceptions.h"
#include "framework/Text.h"
#include <algorithm>
#include <optional>

namespace {

// The record order reads the global SortColumn; a run sorts under the
// column it was given and leaves the global as it found it.
class TSortColumnScope {
public:
    explicit TSortColumnScope(int column) : saved(SortColumn) { SortColumn = column; }
    ~TSortColumnScope() { SortColumn = saved; }
private:
    int saved;
};

// The candidates of the spot (CandidateRecords); none when the spot has no
// Rf value (no statement is run then).
std::vector<TCandidate> Candidates(const TSubstanceRecord& spot, const QString& tolerance,
                                   const TMatchSettings& settings, TSQLQuery& query,
                                   TLichenNameSet* lichenNames)
{
    if (!SpotHasRfValue(spot))
        return {};
    // The tolerance is checked before the database is read.
    EffectiveTolerance(spot, tolerance, settings.ToleranceText);
    std::optional<TLichenNameSet> own;
    if (!lichenNames) {
        if (!query.SQLConnection)
            throw EDatabaseError(QStringLiteral("No connection assigned to the query"));
        own.emplace(*query.SQLConnection, settings.Genus);
        lichenNames = &*own;
    }
    return CandidateRecords(spot, tolerance, settings.ToleranceText, settings.Group, *lichenNames, query);
}

std::vector<TMatchRow> SortedRows(std::vector<TSubstanceRecord>& kept, int sortColumn)
{
    {
        TSortColumnScope scope(sortColumn);
        std::sort(kept.begin(), kept.end(),
                  [](const TSubstanceRecord& a, const TSubstanceRecord& b) { return a < b; });
    }
    std::vector<TMatchRow> rows;
    rows.reserve(kept.size());
    for (TSubstanceRecord& r : kept) {
        TMatchRow row;
        row.Caption = r.name;
        row.Kind = TRowKind::Substance;
        row.Score = -r.MatchScore;
        row.Record = std::move(r);
        rows.push_back(std::move(row));
    }
    return rows;
}

TMatchRow SpotRow(const TSubstanceRecord& record, TRowKind kind)
{
    TMatchRow row;
    row.Caption = record.name;
    row.Record = record;
    row.Kind = kind;
    return row;
}

} // namespace

TSubstanceRecord WithThallusReactions(const TSubstanceRecord& spot, const TMatchSettings& settings)
{
    TSubstanceRecord work = spot;
    if (settings.UseThallus)
        for (int k = 0; k < 6; ++k)
            work.Field(15 + k) = settings.ThallusTexts[k];
    return work;
}

std::vector<TMatchRow> MatchByRfError(const TSubstanceRecord& spot, const TMatchSettings& settings,
                                      const TColorMatrix& matrix, TSQLQuery& query, int sortColumn,
                                      TLichenNameSet* lichenNames)
{
    std::vector<TCandidate> candidates = Candidates(spot, QString(), settings, query, lichenNames);
    const int tolerance = StrToIntDef(settings.ToleranceText, 0);
    const TCompareSwitches switches = settings.Switches();
    const TRfValues spotRf = RfValuesOf(spot);
    std::vector<TSubstanceRecord> kept;
    for (TCandidate& candidate : candidates) {
        // Very short names are abbreviations, not substances to rank.
        if (candidate.Record.name.size() < 4)
            continue;
        const TRfErrorOutcome out =
            RfErrorScore(spot, spotRf, candidate.Record, candidate.Rf, tolerance, switches, matrix);
        if (!out.Kept)
            continue;
        candidate.Record.MatchScore = -static_cast<float>(out.Points);
        kept.push_back(std::move(candidate.Record));
    }
    return SortedRows(kept, sortColumn);
}

std::vector<TMatchRow> MatchByCorrelation(const TSubstanceRecord& spot, const TMatchSettings& settings,
                                          const TColorMatrix& matrix, TSQLQuery& query, int sortColumn,
                                          TLichenNameSet* lichenNames)
{
    const QString factorText = settings.CorrelationFactorText;
    std::vector<TCandidate> candidates = Candidates(spot, factorText, settings, query, lichenNames);
    const TCompareSwitches switches = settings.Switches();
    const TRfValues spotRf = RfValuesOf(spot);
    std::vector<TSubstanceRecord> kept;
    for (TCandidate& candidate : candidates) {
        const TCorrelationOutcome out =
            CorrelationScore(spot, spotRf, candidate.Record, candidate.Rf, factorText, switches, matrix);
        if (!out.Kept)
            continue;
        candidate.Record.MatchScore = -out.Value;
        kept.push_back(std::move(candidate.Record));
    }
    return SortedRows(kept, sortColumn);
}

TMatchResult MatchAllSpots(const std::vector<TSubstanceRecord>& spots, const TMatchSettings& settings,
                           const TColorMatrix& matrix, TSQLQuery& query, int sortColumn)
{
    TMatchResult result;
    if (spots.empty())
        return result;
    try {
        // Settled once for all spots of the run, on the first spot that
        // runs a statement, so a failure comes in the same order as before.
        std::optional<TLichenNameSet> lichenNames;
        auto settledLichenNames = [&]() -> TLichenNameSet* {
            if (!lichenNames && query.SQLConnection)
                lichenNames.emplace(*query.SQLConnection, settings.Genus);
            return lichenNames ? &*lichenNames : nullptr;
        };
        // The statements read with whatever indexes there are: changing
        // them would wait for another program's write lock at every run.
        for (const TSubstanceRecord& spot : spots) {
            TSubstanceRecord work = spot;
            result.Rows.push_back(SpotRow(work, TRowKind::Spot));
            if (settings.ApplyCune) {
                work = CuneCorrectSpot(work, settings.CuneControls);
                work.name += QStringLiteral(" - Cune");
                result.Rows.push_back(SpotRow(work, TRowKind::CuneSpot));
            }
            work = WithThallusReactions(work, settings);
            const QString tolerance =
                settings.MatchingMethod == RfErrorMethod ? QString() : settings.CorrelationFactorText;
            TLichenNameSet* names = nullptr;
            if (SpotHasRfValue(work)) {
                EffectiveTolerance(work, tolerance, settings.ToleranceText);
                names = settledLichenNames();
            }
            std::vector<TMatchRow> rows =
                settings.MatchingMethod == RfErrorMethod
                    ? MatchByRfError(work, settings, matrix, query, sortColumn, names)
                    : MatchByCorrelation(work, settings, matrix, query, sortColumn, names);
            for (TMatchRow& r : rows)
                result.Rows.push_back(std::move(r));
        }
    } catch (const Exception& e) {
        result.Failed = true;
        result.Error = e.Message;
    }
    return result;
}
