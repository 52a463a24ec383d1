#pragma once
// Correction of entered Rf values against control substances run on the
// same plate: each value is scaled by a weighted mean of the controls'
// published-to-local ratios, the controls nearest to the value weighing most.
#include "core/Record.h"
#include <vector>

// Controls in pairs: element 2j the published record of control j, element
// 2j + 1 its locally measured record. Any number of pairs; an unpaired last
// element is ignored.
using TCuneControls = std::vector<TSubstanceRecord>;

// The corrected value of field i (1..8) of the record as decimal text; an
// empty text when the record has no value there.
QString CuneCorrectValue(const TSubstanceRecord& record, int i, const TCuneControls& controls);

// A copy of the spot with fields 1..8 corrected; every other field, the name
// included, unchanged.
TSubstanceRecord CuneCorrectSpot(const TSubstanceRecord& spot, const TCuneControls& controls);
