#pragma once
// The matching engine: for every entered spot, the spot row, optionally its
// cune-corrected row, and the substances of the database ranked by RF Error
// or Correlation. Windowless: the main window gathers the settings from its
// controls, runs MatchAllSpots and shows the rows.
#include "core/Record.h"
#include "identify/CandidateQuery.h"
#include "identify/CuneCorrection.h"
#include "identify/Scoring.h"
#include <array>
#include <vector>

class TSQLQuery;

// Item index of MatchingMethodRadioGroup: 0 = RF Error, any other = Correlation.
constexpr int RfErrorMethod = 0;
constexpr int CorrelationMethod = 1;

struct TMatchSettings {
    int MatchingMethod = RfErrorMethod;
    QString ToleranceText;           // RFErrorEdit
    QString CorrelationFactorText;   // CorrelationFactorEdit
    bool UseTLC = false;             // UseTLCCheckbox
    bool UseUV = false;              // UseUVCheckbox
    bool UseThallus = false;         // UseThallusCheckbox
    // KCombo, CCombo, KCCombo, PDCombo, CortexCombo, MedullaCombo: the
    // reactions that stand in for fields 15..20 of a spot while UseThallus is on.
    std::array<QString, 6> ThallusTexts;
    bool ApplyCune = false;          // ApplyCuneCheckBox
    TCuneControls CuneControls;
    // FilterGenusCheckBox checked and GenusLabel not empty: Active, with the
    // selected items of GenusListBox in list order. The same for groups.
    TNameFilter Genus;
    TNameFilter Group;

    TCompareSwitches Switches() const { return {UseTLC, UseUV, UseThallus}; }
};

enum class TRowKind { Spot, CuneSpot, Substance };

struct TMatchRow {
    QString Caption;          // the record's name: "Spot n", "Spot n - Cune" or the substance
    TSubstanceRecord Record;  // columns 1..19 show fields 1..19; MatchScore is minus Score
    TRowKind Kind = TRowKind::Spot;
    float Score = 0.0f;       // RF Error points or the Correlation value; 0 for spot rows
};

struct TMatchResult {
    std::vector<TMatchRow> Rows;  // the rows made before a failure stay
    bool Failed = false;
    QString Error;                // the message of the failure, for the user
};

// Rebuilds the whole list. A failure (a tolerance that is not a number, a
// correlation factor that is not a positive whole number, a rejected
// statement, a similarity cell that is not a number) stops the run at that
// spot: the rows so far are returned with Failed set and the message.
// `query` is the query object all reads go through; its connection gets the
// lichen index when missing. `sortColumn` orders each spot's substances as
// SortColumn does.
TMatchResult MatchAllSpots(const std::vector<TSubstanceRecord>& spots, const TMatchSettings& settings,
                           const TColorMatrix& matrix, TSQLQuery& query, int sortColumn);

// The two scoring methods for one working spot (already cune-corrected and
// with the thallus reactions set, as MatchAllSpots prepares it): the kept
// substance rows, sorted. They raise the failures above (Exception).
// `lichenNames`: the names settled so far for the settings' genus filter
// when the caller matches several spots; null to settle them for this spot.
std::vector<TMatchRow> MatchByRfError(const TSubstanceRecord& spot, const TMatchSettings& settings,
                                      const TColorMatrix& matrix, TSQLQuery& query, int sortColumn,
                                      TLichenNameSet* lichenNames = nullptr);
std::vector<TMatchRow> MatchByCorrelation(const TSubstanceRecord& spot, const TMatchSettings& settings,
                                          const TColorMatrix& matrix, TSQLQuery& query, int sortColumn,
                                          TLichenNameSet* lichenNames = nullptr);

// The working copy of a spot as it is matched: thallus fields 15..20 from the
// settings when UseThallus is on (the cune correction is applied by the caller).
TSubstanceRecord WithThallusReactions(const TSubstanceRecord& spot, const TMatchSettings& settings);
