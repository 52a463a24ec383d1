#include "config/CuneFile.h"
#include "config/SearchConfigFile.h"
#include "core/RecordText.h"
#include <QFile>
#include <QFileInfo>

QString CuneFileText(const std::vector<TSubstanceRecord>& controls)
{
    return RecordsToText(controls);
}

std::vector<TSubstanceRecord> ParseCuneFileText(const QString& text)
{
    // Pairs are formed by position; stray blank lines must not add empty
    // records, which would shift every following pair.
    return ParseRecordBlocks(text);
}

TCuneLoad ReadCuneFile(const QString& path)
{
    TCuneLoad load;
    {
        QFile probe(path);
        if (!QFileInfo(path).isFile() || !probe.open(QIODevice::ReadOnly)) {
            load.Message = QStringLiteral("Unable to open file: ") + path;
            return load;
        }
    }
    load.Controls = ParseCuneFileText(ReadUtf8File(path));
    load.Ok = true;
    return load;
}

bool WriteCuneFile(const QString& path, const std::vector<TSubstanceRecord>& controls)
{
    return WriteUtf8File(path, CuneFileText(controls).toUtf8(), true);
}

bool IsCompleteCuneList(const std::vector<TSubstanceRecord>& controls)
{
    return !controls.empty() && controls.size() % 2 == 0;
}

QString CuneDisplayName(const QString& path)
{
    return FileNamePart(path).remove(QStringLiteral(".cune"), Qt::CaseInsensitive);
}
