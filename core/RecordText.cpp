#include "core/RecordText.h"
#include "framework/Dialogs.h"
#include "framework/Text.h"
#include "framework/SafeFile.h"
#include <QFile>
#include <QFileInfo>

namespace {

template <typename T>
qsizetype FindSeparator(const T& text, const T& separator, const T& crlf, qsizetype& sepLength)
{
    sepLength = separator.size();
    if (separator.isEmpty())
        return -1;
    qsizetype p = text.indexOf(separator);
    if (p < 0 && separator == crlf) {
        // Bare line feeds count as line ends when the text has no CR LF.
        p = text.indexOf(crlf.right(1));
        sepLength = 1;
    }
    return p;
}

// The key of a record-text line, with the spellings "B'", B + grave accent
// and "Name" in any case brought to the column names.
QString NormalizeKey(QString key)
{
    key = ReplaceText(key, QStringLiteral("B'"), QStringLiteral("Bprime"));
    key = ReplaceText(key, QStringLiteral("B`"), QStringLiteral("Bprime"));
    key = ReplaceText(key, QStringLiteral("Name"), QStringLiteral("name"));
    return key;
}

// The data as the failure message quotes it: a large file still gives a box
// that fits on the screen.
QString QuotedData(const QByteArray& data)
{
    constexpr qsizetype shown = 500;
    const QString text = DecodeUtf8(data);
    if (text.size() <= shown)
        return text;
    // Never cut a character in two.
    const qsizetype cut = text.at(shown - 1).isHighSurrogate() ? shown - 1 : shown;
    return text.left(cut) + QChar(0x2026);
}

} // namespace

QString SplitOff(QString& text, const QString& separator, bool trim)
{
    qsizetype sepLength = 0;
    const qsizetype p = FindSeparator(text, separator, QStringLiteral("\r\n"), sepLength);
    QString result;
    if (p < 0) {
        result = text;
        text.clear();
    } else {
        result = text.left(p);
        text.remove(0, p + sepLength);
    }
    return trim ? Trim(result) : result;
}

QByteArray SplitOffAnsi(QByteArray& text, const QByteArray& separator, bool trim)
{
    qsizetype sepLength = 0;
    const qsizetype p = FindSeparator(text, separator, QByteArray("\r\n"), sepLength);
    QByteArray result;
    if (p < 0) {
        result = text;
        text.clear();
    } else {
        result = text.left(p);
        text.remove(0, p + sepLength);
    }
    return trim ? TrimAnsi(result) : result;
}

void ParseRecordText(QString block, TSubstanceRecord& record)
{
    record.Clear();
    // Line by line: a line without ": " carries no field and is skipped on
    // its own, so it cannot take the next line with it.
    const QStringList lines = block.split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        const qsizetype p = line.indexOf(QStringLiteral(": "));
        if (p < 0)
            continue;
        const QString key = NormalizeKey(Trim(line.left(p)));
        const QString value = Trim(line.mid(p + 2));
        for (int i = 0; i <= 25; ++i) {
            if (key == ColumnNames[i]) {
                record.SetByIndex(i, value);
                break;
            }
        }
    }
}

QString RecordsToText(const std::vector<TSubstanceRecord>& records)
{
    QString text;
    for (const TSubstanceRecord& r : records) {
        text += QStringLiteral("Name: ") + r.name + QStringLiteral("\r\n");
        for (int i = 1; i <= 14; ++i) {
            const QString value = r.GetByIndex(i);
            if (!value.isEmpty())
                text += ColumnNames[i] + QStringLiteral(": ") + value + QStringLiteral("\r\n");
        }
        text += QStringLiteral("\r\n");
    }
    return text;
}

std::vector<TSubstanceRecord> ParseRecordBlocks(const QString& text)
{
    std::vector<TSubstanceRecord> records;
    QString block;
    auto flush = [&] {
        if (!Trim(block).isEmpty()) {
            TSubstanceRecord r;
            ParseRecordText(block, r);
            records.push_back(std::move(r));
        }
        block.clear();
    };
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        if (Trim(line).isEmpty())
            flush();
        else
            block += line + QLatin1Char('\n');
    }
    flush();
    return records;
}

QString ReadUtf8File(const QString& fileName)
{
    QFile file(fileName);
    if (QFileInfo(fileName).isDir() || !file.open(QIODevice::ReadOnly)) {
        ShowMessage(QStringLiteral("Unable to open file: ") + fileName);
        return {};
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        ShowMessage(QStringLiteral("Unable to open file: ") + fileName);
        return {};
    }
    file.close();
    const qsizetype zero = bytes.indexOf('\0');
    if (zero >= 0)
        bytes.truncate(zero);
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    return DecodeUtf8(bytes);
}

bool WriteUtf8File(const QString& fileName, const QByteArray& data, bool overwrite)
{
    // The old file stays as it was unless every byte reached the disk.
    const bool ok = overwrite ? ReplaceFileContents(fileName, data) : AppendFileContents(fileName, data);
    if (!ok)
        ShowMessage(QStringLiteral("Unable to create or open file ") + fileName +
                    QStringLiteral(" to write:\r\n ") + QuotedData(data));
    return ok;
}

bool WriteUnicodeFile(const QString& fileName, const QString& text)
{
    if (!ReplaceFileContents(fileName, text.toUtf8())) {
        ShowMessage(QStringLiteral("Unable to create ") + fileName +
                    QStringLiteral("\r\nFile Creation Failed."));
        return false;
    }
    return true;
}

bool WriteAnsiFile(const QString& fileName, const QByteArray& data)
{
    if (!ReplaceFileContents(fileName, data)) {
        ShowMessage(QStringLiteral("Unable to create ") + fileName +
                    QStringLiteral("\r\nFile Creation Failed."));
        return false;
    }
    return true;
}
