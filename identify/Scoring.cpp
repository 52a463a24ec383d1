#include "identify/Scoring.h"
#include "framework/Exceptions.h"
#include "framework/Text.h"
#include <cmath>
#include <cstdlib>

namespace {

const QString NoResult = QStringLiteral("No Result");

// The correlation factor divides the Rf step, so only a positive whole
// number is a factor.
int CorrelationFactor(const QString& text)
{
    const int f = StrToInt(text);
    if (f <= 0)
        throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(text));
    return f;
}

// One colour or thallus factor of Correlation: h times the square root of
// the colour score over 100, each step rounded to float.
float ColorStep(float h, const QString& spotColor, const QString& candidateColor, int& count,
                const TColorMatrix& matrix)
{
    const float s = ColorSimilarityScore(spotColor, candidateColor, count, matrix);
    const float q = static_cast<float>(static_cast<double>(s) / 100.0);
    const float root = std::sqrt(q);
    return static_cast<float>(static_cast<double>(h) * static_cast<double>(root));
}

} // namespace

int ColorRowIndex(const QString& name, const TColorMatrix& matrix)
{
    if (name.isEmpty() || name == NoResult)
        return 0;
    for (int r = 1; r <= 17; ++r)
        if (matrix[r].ColorName == name)
            return r;
    return 0;
}

int ColorSimilarity(const TColorMatrix& matrix, int r, int c)
{
    return StrToInt(matrix[r].Similarity[c]);
}

int ColorMismatch(const QString& spotColor, const QString& candidateColor, const TColorMatrix& matrix)
{
    if (candidateColor.isEmpty())
        return 0;
    const int r = ColorRowIndex(spotColor, matrix);
    const int c = ColorRowIndex(candidateColor, matrix);
    return ColorSimilarity(matrix, r, c) < 50 ? 1 : 0;
}

TRfValues RfValuesOf(const TSubstanceRecord& record)
{
    TRfValues values;
    for (int i = 1; i <= 8; ++i)
        values[size_t(i - 1)] = record.SolventValue(i);
    return values;
}

int CompareRfValues(int p, int q, int& points, int tolerance)
{
    if (p == q && p != 0) {
        points += 2;
        return 0;
    }
    const long long d = std::llabs(static_cast<long long>(p) - q);
    if (d <= tolerance && p != 0 && q != 0) {
        points += 1;
        return 0;
    }
    if (p != 0 && q != 0)
        return 1;
    return 0;
}

TRfErrorOutcome RfErrorScore(const TSubstanceRecord& spot, const TSubstanceRecord& candidate,
                             int tolerance, const TCompareSwitches& switches,
                             const TColorMatrix& matrix)
{
    return RfErrorScore(spot, RfValuesOf(spot), candidate, RfValuesOf(candidate), tolerance, switches, matrix);
}

TRfErrorOutcome RfErrorScore(const TSubstanceRecord& spot, const TRfValues& spotRf,
                             const TSubstanceRecord& candidate, const TRfValues& candidateRf,
                             int tolerance, const TCompareSwitches& switches,
                             const TColorMatrix& matrix)
{
    TRfErrorOutcome out;
    for (size_t i = 0; i < 8; ++i)
        out.Mismatches += CompareRfValues(spotRf[i], candidateRf[i], out.Points, tolerance);
    if (switches.UseTLC)
        for (int k = 11; k <= 13; ++k)
            out.Mismatches += ColorMismatch(spot.Field(k), candidate.Field(k), matrix);
    if (switches.UseUV) {
        if (spot.BefVis != candidate.BefVis)
            ++out.Mismatches;
        if (spot.BefUVS != candidate.BefUVS)
            ++out.Mismatches;
    }
    if (out.Mismatches == 0 && switches.UseThallus)
        for (int k = 15; k <= 19; ++k)
            out.Mismatches += ColorMismatch(spot.Field(k), candidate.Field(k), matrix);
    out.Kept = out.Mismatches == 0 && out.Points > 0;
    return out;
}

float ColorSimilarityScore(const QString& spotColor, const QString& candidateColor, int& count,
                           const TColorMatrix& matrix)
{
    ++count;
    const int r = ColorRowIndex(spotColor, matrix);
    const int c = ColorRowIndex(candidateColor, matrix);
    const int s = ColorSimilarity(matrix, r, c);
    const float ratio = static_cast<float>(static_cast<double>(s) / 100.0);
    const float root = std::sqrt(ratio);
    return static_cast<float>(100.0 * static_cast<double>(root));
}

TCorrelationOutcome CorrelationScore(const TSubstanceRecord& spot, const TSubstanceRecord& candidate,
                                     const QString& factorText, const TCompareSwitches& switches,
                                     const TColorMatrix& matrix)
{
    return CorrelationScore(spot, RfValuesOf(spot), candidate, RfValuesOf(candidate), factorText, switches, matrix);
}

TCorrelationOutcome CorrelationScore(const TSubstanceRecord& spot, const TRfValues& spotRf,
                                     const TSubstanceRecord& candidate, const TRfValues& candidateRf,
                                     const QString& factorText, const TCompareSwitches& switches,
                                     const TColorMatrix& matrix)
{
    TCorrelationOutcome out;
    int n = 0;
    float h = 100.0f;
    int factor = 0;  // converted at the first compared Rf value
    for (size_t j = 0; j < 8; ++j) {
        const int v = spotRf[j];
        const int r = candidateRf[j];
        if (v == 0 || r == 0)
            continue;
        if (factor == 0)
            factor = CorrelationFactor(factorText);
        ++n;
        const double f = factor;
        const float f100 = static_cast<float>(f + 100.0);
        const double diff100 = 100.0 * static_cast<double>(std::llabs(static_cast<long long>(v) - r));
        const double step = static_cast<double>(f100) - diff100 / f;
        h = static_cast<float>(step * static_cast<double>(h) / 100.0);
    }
    out.Count = n;
    if (n == 0 || !(h > 0.0f))
        return out;
    if (switches.UseUV) {
        if (spot.BefVis != candidate.BefVis)
            h = static_cast<float>(static_cast<double>(h) * 0.6);
        if (spot.BefUVS != candidate.BefUVS)
            h = static_cast<float>(static_cast<double>(h) * 0.6);
    }
    if (switches.UseTLC)
        for (int k = 11; k <= 14; ++k)
            if (!spot.Field(k).isEmpty() && !candidate.Field(k).isEmpty())
                h = ColorStep(h, spot.Field(k), candidate.Field(k), n, matrix);
    if (switches.UseThallus)
        for (int k = 15; k <= 20; ++k)
            h = ColorStep(h, spot.Field(k), candidate.Field(k), n, matrix);
    const double multiplier = static_cast<double>(n - 1) / static_cast<double>(5.0f) + 1.0;
    h = static_cast<float>(multiplier * static_cast<double>(h));
    out.Count = n;
    out.Value = h;
    out.Kept = h > 50.0f;
    return out;
}
