#pragma once
// The scoring of one candidate substance against one spot: the points and
// mismatches of RF Error and the percentage of Correlation, with the
// colour tests both share. Pure functions over records and a colour matrix;
// the database is not touched here.
#include "core/Record.h"
#include <array>

using TColorMatrix = std::array<TColorRow, 20>;

// The Rf values (fields 1..8) of a record as whole numbers, as SolventValue
// gives them: read once where a record is compared with many others.
using TRfValues = std::array<int, 8>;
TRfValues RfValuesOf(const TSubstanceRecord& record);

// The three comparison switches of the main window.
struct TCompareSwitches {
    bool UseTLC = false;      // spot colours
    bool UseUV = false;       // visibility in daylight and short-wave UV before charring
    bool UseThallus = false;  // thallus spot tests
};

// Matrix row (and column) of a colour name, 0..17. An empty name, "No Result"
// and any name no row 1..17 bears exactly give 0.
int ColorRowIndex(const QString& name, const TColorMatrix& matrix);

// Similarity cell of spot colour row r and substance colour column c as a
// whole number. Raises EConvertError for a cell that is not a whole number.
int ColorSimilarity(const TColorMatrix& matrix, int r, int c);

// 1 when the candidate's colour disagrees with the spot's (similarity below
// 50), else 0. An empty candidate colour never disagrees.
int ColorMismatch(const QString& spotColor, const QString& candidateColor, const TColorMatrix& matrix);

// RF Error comparison of one Rf value: 2 points for an exact agreement, 1
// within the tolerance, a mismatch (returns 1) when both values are given and
// farther apart; a missing value is neutral.
int CompareRfValues(int p, int q, int& points, int tolerance);

struct TRfErrorOutcome {
    bool Kept = false;   // no mismatch and at least one point
    int Points = 0;
    int Mismatches = 0;
};

// RF Error of one candidate; `tolerance` is the whole-number value of the
// tolerance text (0 when it is not a whole number). The four-character rule
// on names belongs to the caller.
TRfErrorOutcome RfErrorScore(const TSubstanceRecord& spot, const TSubstanceRecord& candidate,
                             int tolerance, const TCompareSwitches& switches,
                             const TColorMatrix& matrix);
// The same with the Rf values of both already read (RfValuesOf).
TRfErrorOutcome RfErrorScore(const TSubstanceRecord& spot, const TRfValues& spotRf,
                             const TSubstanceRecord& candidate, const TRfValues& candidateRf,
                             int tolerance, const TCompareSwitches& switches,
                             const TColorMatrix& matrix);

// Correlation colour factor: counts one compared value in `count` and returns
// 100 times the square root of similarity/100, in float steps.
float ColorSimilarityScore(const QString& spotColor, const QString& candidateColor, int& count,
                           const TColorMatrix& matrix);

struct TCorrelationOutcome {
    bool Kept = false;   // some value compared and the final value above 50
    float Value = 0.0f;  // the final h (0 when dropped before the final step)
    int Count = 0;       // compared values
};

// Correlation of one candidate. The factor text is converted as a whole
// number at the first Rf value both sides have; a text that is not a whole
// number, or a factor of 0 or below, raises EConvertError there.
TCorrelationOutcome CorrelationScore(const TSubstanceRecord& spot, const TSubstanceRecord& candidate,
                                     const QString& factorText, const TCompareSwitches& switches,
                                     const TColorMatrix& matrix);
// The same with the Rf values of both already read (RfValuesOf).
TCorrelationOutcome CorrelationScore(const TSubstanceRecord& spot, const TRfValues& spotRf,
                                     const TSubstanceRecord& candidate, const TRfValues& candidateRf,
                                     const QString& factorText, const TCompareSwitches& switches,
                                     const TColorMatrix& matrix);
