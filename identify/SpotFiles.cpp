#include "identify/SpotFiles.h"

#include "core/RecordText.h"
#include "framework/Text.h"

namespace {
const QString Crlf = QStringLiteral("\r\n");
const QString FullFileHead = QStringLiteral("Full file from Quillaspore\r\n***** TLC Spot Tests *****\r\n");
const QString ConfigMarker = QStringLiteral("\r\n***** Search Configuration *****\r\n");
const QString ThallusMarker = QStringLiteral("\r\n***** Thallus test configuration *****\r\n");
} // namespace

const QString SpotCsvHeader = QStringLiteral(
    ",A,B,Bprime,C,E,F,G,HPLC,Before Char Vis,Before Char UV,Long Wave UV,Archers,After Char Vis,"
    "After Char UV,KResult,CResult,KCResult,PDResult,Cortex\r\n");

QString SpotFileText(const std::vector<TSubstanceRecord>& spots)
{
    return RecordsToText(spots);
}

std::vector<TSubstanceRecord> ParseSpotFileText(const QString& text)
{
    return ParseRecordBlocks(text);
}

bool WriteSpotFile(const QString& fileName, const std::vector<TSubstanceRecord>& spots)
{
    return WriteUtf8File(fileName, SpotFileText(spots).toUtf8(), true);
}

QString FullFileText(const std::vector<TSubstanceRecord>& spots, const QString& searchConfigText)
{
    return FullFileHead + RecordsToText(spots) + ConfigMarker + searchConfigText + ThallusMarker;
}

TFullFileParts SplitFullFileText(QString text)
{
    TFullFileParts parts;
    SplitOff(text, Crlf, false);   // title line
    SplitOff(text, Crlf, false);   // spot marker line
    parts.SpotText = SplitOff(text, QStringLiteral("*****"), true);
    SplitOff(text, Crlf, false);   // rest of the configuration marker line
    parts.SearchConfigText = SplitOff(text, QStringLiteral("*****"), true);
    return parts;
}

QString CsvField(const QString& text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\r'))
        && !text.contains(QLatin1Char('\n')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString SpotCsvText(const std::vector<TCsvRow>& rows)
{
    QString text = SpotCsvHeader;
    for (size_t i = 0; i < rows.size(); ++i) {
        const TCsvRow& row = rows[i];
        const bool spotRow = row.Caption.contains(QLatin1String("Spot "))
                             && !row.Caption.contains(QLatin1String(" - Cune"));
        if (i > 0 && spotRow) text += Crlf;
        QString caption = row.Caption;
        caption.replace(QLatin1String("\""), QLatin1String("\"\""));
        text += QLatin1Char('"') + caption + QLatin1Char('"');
        for (int k = 0; k < 19; ++k)
            text += QLatin1Char(',') + CsvField(k < row.Cells.size() ? row.Cells[k] : QString());
        text += Crlf;
    }
    return text;
}
