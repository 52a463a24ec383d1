#pragma once
// The spot file (.spot), the full file (.ful) and the CSV export of the spot
// list, as texts and bytes, without any window.
#include "core/Record.h"
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

// Spot file: the record blocks of the spots ("Name: ..." and the non-empty
// fields A..AftUV, each block closed by an empty line), UTF-8, CR LF.
QString SpotFileText(const std::vector<TSubstanceRecord>& spots);
// The spots of a spot-file text in file order. Blocks that are empty after
// trimming are not spots (a trailing line end makes none); bare line feeds
// are read like CR LF.
std::vector<TSubstanceRecord> ParseSpotFileText(const QString& text);
// Writes the spot file; false (after the write helper's message) on failure.
bool WriteSpotFile(const QString& fileName, const std::vector<TSubstanceRecord>& spots);

// Full file: the title and spot marker lines, the spot blocks, the search
// configuration marker, the configuration text and the thallus marker.
QString FullFileText(const std::vector<TSubstanceRecord>& spots, const QString& searchConfigText);
struct TFullFileParts {
    QString SpotText;           // the spot blocks
    QString SearchConfigText;   // the configuration section, trimmed
};
TFullFileParts SplitFullFileText(QString text);

// One row of the spot list as the export sees it.
struct TCsvRow {
    QString Caption;
    QStringList Cells;   // the texts under the columns A..UVCort (19)
};
extern const QString SpotCsvHeader;
// One CSV field: quoted (inner quotes doubled) only when it holds a comma,
// a double quote or a line break.
QString CsvField(const QString& text);
// The whole export: the header, then one line per row; an empty line before
// every spot row but the first row of the list. The caption is always
// quoted.
QString SpotCsvText(const std::vector<TCsvRow>& rows);
