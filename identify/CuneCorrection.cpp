#include "identify/CuneCorrection.h"
#include <cmath>
#include <cstdlib>

QString CuneCorrectValue(const TSubstanceRecord& record, int i, const TCuneControls& controls)
{
    const int x = record.SolventValue(i);
    if (x == 0)
        return QString();

    const size_t pairs = controls.size() / 2;
    std::vector<int> published(pairs), local(pairs);
    std::vector<float> weight(pairs, 0.0f);
    for (size_t j = 0; j < pairs; ++j) {
        published[j] = controls[2 * j].SolventValue(i);
        local[j] = controls[2 * j + 1].SolventValue(i);
        if (published[j] != 0 && local[j] != 0) {
            float a = static_cast<float>(std::llabs(static_cast<long long>(x) - published[j]) + 1);
            a = static_cast<float>(static_cast<double>(a) * static_cast<double>(a));
            weight[j] = static_cast<float>(1.0 / static_cast<double>(a));
        }
    }

    float sum = 0.0f;
    for (size_t j = 0; j < pairs; ++j)
        sum = static_cast<float>(static_cast<double>(sum) + static_cast<double>(weight[j]));
    if (sum == 0.0f)
        return QString::number(x);

    float ratio = 0.0f;
    for (size_t j = 0; j < pairs; ++j) {
        if (local[j] == 0)
            continue;
        const double term = static_cast<double>(weight[j]) * published[j] / local[j];
        ratio = static_cast<float>(static_cast<double>(ratio) + term);
    }
    ratio = static_cast<float>(static_cast<double>(ratio) / static_cast<double>(sum));

    const float y = static_cast<float>(static_cast<double>(x) * static_cast<double>(ratio));
    return QString::number(static_cast<long long>(std::floor(y)));
}

TSubstanceRecord CuneCorrectSpot(const TSubstanceRecord& spot, const TCuneControls& controls)
{
    TSubstanceRecord copy = spot;
    for (int i = 1; i <= 8; ++i)
        copy.Field(i) = CuneCorrectValue(copy, i, controls);
    return copy;
}
