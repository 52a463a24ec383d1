#pragma once
// The record text (blocks of "Key: value" lines) and the whole-file helpers.
#include "core/Record.h"
#include <QByteArray>
#include <QString>
#include <vector>

QString SplitOff(QString& text, const QString& separator, bool trim);
QByteArray SplitOffAnsi(QByteArray& text, const QByteArray& separator, bool trim);

void ParseRecordText(QString block, TSubstanceRecord& record);
QString RecordsToText(const std::vector<TSubstanceRecord>& records);
// Cuts a whole file's text into blocks at empty lines (CR LF or bare LF) and
// parses each non-empty block.
std::vector<TSubstanceRecord> ParseRecordBlocks(const QString& text);

QString ReadUtf8File(const QString& fileName);
// The writers count a file as written only once every byte reached the disk
// (ReplaceFileContents); on any failure the old file stays as it was, the
// message is shown and the result is false.
bool WriteUtf8File(const QString& fileName, const QByteArray& data, bool overwrite);
bool WriteUnicodeFile(const QString& fileName, const QString& text);
bool WriteAnsiFile(const QString& fileName, const QByteArray& data);
