#pragma once
// Cune files (.cune): the control list as record text, published record then
// local record for each control, in list order.
#include "core/Record.h"
#include <QString>
#include <vector>

// The exact file text (RecordsToText of the list).
QString CuneFileText(const std::vector<TSubstanceRecord>& controls);
// Records in file order; blank lines between or after blocks give no records.
std::vector<TSubstanceRecord> ParseCuneFileText(const QString& text);

struct TCuneLoad {
    bool Ok = false;
    QString Message; // what to show when the file could not be read
    std::vector<TSubstanceRecord> Controls;
};
// Reads a file without a message box of its own; on failure Controls is
// empty and the caller keeps its list as it was.
TCuneLoad ReadCuneFile(const QString& path);
// Writes the list (overwrite); false after a write error, which
// WriteUtf8File has already reported.
bool WriteCuneFile(const QString& path, const std::vector<TSubstanceRecord>& controls);

// A whole number of published/local pairs, at least one: only then can the
// list be accepted or saved.
bool IsCompleteCuneList(const std::vector<TSubstanceRecord>& controls);

// File-name part with every ".cune" removed in any letter case.
QString CuneDisplayName(const QString& path);
