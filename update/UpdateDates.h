#pragma once
// The times of the last completed lichen and substance downloads and their
// file "UpdateDates.txt" in the current directory.
#include <QByteArray>

// Decimal Unix seconds, "0" when no download is recorded in this run.
extern QByteArray SubstanceDataDate;
extern QByteArray LichenDataDate;

// The file's text for the given dates:
// "Substances\t<date>\r\nLichens\t<date>", no line end after the last.
QByteArray UpdateDatesText(const QByteArray& substanceDate, const QByteArray& lichenDate);

// Writes both dates to "UpdateDates.txt". A date still "0" in memory keeps
// the one the file already records, so one kind's update does not erase the
// other's date. The file is replaced only once the new text is fully
// written; a failure is reported ("Unable to create ...") and false returned.
bool WriteUpdateDates();

// Sets both dates from "UpdateDates.txt" ("0" and "0" without a file).
void ReadUpdateDates();

// The current time as the dates hold it: decimal Unix seconds.
QByteArray CurrentDataDate();
