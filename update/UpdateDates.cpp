#include "update/UpdateDates.h"
#include "core/RecordText.h"
#include "framework/Text.h"
#include <QFile>
#include <cstdint>

QByteArray SubstanceDataDate = "0";
QByteArray LichenDataDate = "0";

namespace {
const char* const DatesFileName = "UpdateDates.txt";

// The two values of a dates file, as ReadUpdateDates takes them apart.
void ParseDates(QByteArray text, QByteArray& substanceDate, QByteArray& lichenDate)
{
    SplitOffAnsi(text, "Substances", true);
    substanceDate = TrimAnsi(SplitOffAnsi(text, "\r\n", true));
    SplitOffAnsi(text, "Lichens", true);
    lichenDate = TrimAnsi(SplitOffAnsi(text, "\r\n", true));
}

bool IsRecordedDate(const QByteArray& date)
{
    if (date.isEmpty() || date == "0")
        return false;
    for (char c : date)
        if (c < '0' || c > '9')
            return false;
    return true;
}

// The dates the file holds now, read without any message.
void RecordedDates(QByteArray& substanceDate, QByteArray& lichenDate)
{
    QFile file(DatesFileName);
    if (!file.open(QIODevice::ReadOnly))
        return;
    ParseDates(file.readAll(), substanceDate, lichenDate);
}
}

QByteArray UpdateDatesText(const QByteArray& substanceDate, const QByteArray& lichenDate)
{
    return "Substances\t" + substanceDate + "\r\nLichens\t" + lichenDate;
}

bool WriteUpdateDates()
{
    QByteArray substanceDate = SubstanceDataDate;
    QByteArray lichenDate = LichenDataDate;
    if (substanceDate == "0" || lichenDate == "0") {
        QByteArray fileSubstance, fileLichen;
        RecordedDates(fileSubstance, fileLichen);
        if (substanceDate == "0" && IsRecordedDate(fileSubstance))
            substanceDate = fileSubstance;
        if (lichenDate == "0" && IsRecordedDate(fileLichen))
            lichenDate = fileLichen;
    }

    // Reports "Unable to create ..." itself and keeps the old file on failure.
    return WriteAnsiFile(DatesFileName, UpdateDatesText(substanceDate, lichenDate));
}

void ReadUpdateDates()
{
    SubstanceDataDate = "0";
    LichenDataDate = "0";
    if (!QFile::exists(DatesFileName))
        return;
    const QByteArray text = ReadUtf8File(DatesFileName).toUtf8();
    ParseDates(text, SubstanceDataDate, LichenDataDate);
}

QByteArray CurrentDataDate()
{
    return QByteArray::number(qint64(int32_t(UnixNow())));
}
