#pragma once
// The Rf value in hundredths from a spot distance and a solvent-front
// distance, as the calculator window shows it. Window-free.
#include <QString>

// Both distances are decimal numbers in the user's locale; an empty or
// unreadable text counts as 0. A front of 0 gives "0". Otherwise the value is
// spot / front * 100 in 32-bit floats, written as a whole number (halves away
// from zero, 10 significant digits; more whole digits give scientific form).
QString RfValueText(const QString& spotText, const QString& frontText);
