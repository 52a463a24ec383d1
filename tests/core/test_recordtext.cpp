#include "core/RecordText.h"
#include "support/FileBytes.h"
#include "support/QtPrinters.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include "support/ScriptedDialogs.h"
#include <gtest/gtest.h>
#include <csignal>
#include <sys/resource.h>

// Readable failure output for texts.

namespace {

class RecordTextFiles : public ::testing::Test {
protected:
    QString PathOf(const QString& name) const { return dir.filePath(name); }
    QByteArray Bytes(const QString& name) const { return FileBytes(PathOf(name), "<missing>"); }
    void Put(const QString& name, const QByteArray& bytes) const
    {
        QFile f(PathOf(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QStringList Entries() const
    {
        QStringList names = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
        names.sort();
        return names;
    }

    QTemporaryDir dir;
    const QStringList& messages = TestDialogs().Messages();
};

TSubstanceRecord Spot(const QString& name)
{
    TSubstanceRecord r;
    r.name = name;
    return r;
}

} // namespace

TEST(SplitOff, CutsAtTheFirstSeparator)
{
    struct Case { QString text, separator; bool trim; QString piece, rest; } cases[] = {
        {"a: b", ": ", true, "a", "b"},
        {"  key : value", ": ", true, "key", "value"},
        {"  key : value", ": ", false, "  key ", "value"},
        {"no separator ", ": ", true, "no separator", ""},
        {"", "\r\n", true, "", ""},
        {"abc", "", true, "abc", ""},
        {"one\r\ntwo\r\n", "\r\n", true, "one", "two\r\n"},
        {"one\ntwo\nthree", "\r\n", true, "one", "two\nthree"},
        {"one\ntwo\r\nthree", "\r\n", true, "one\ntwo", "three"},
        {"a\n\nb", "\r\n\r\n", true, "a\n\nb", ""},
        {"a\r\n\r\nb\r\n\r\n", "\r\n\r\n", true, "a", "b\r\n\r\n"},
        {"\t x \x01", "|", true, "x", ""},
    };
    for (const Case& c : cases) {
        QString text = c.text;
        EXPECT_EQ(SplitOff(text, c.separator, c.trim), c.piece) << c.text.toStdString();
        EXPECT_EQ(text, c.rest) << c.text.toStdString();
    }
}

TEST(SplitOff, AnsiTwinCountsBytes)
{
    struct Case { QByteArray text, separator, piece, rest; } cases[] = {
        {"k=v\r\nnext", "\r\n", "k=v", "next"},
        {"first\nsecond", "\r\n", "first", "second"},
        {" \xC3\xA9 ,x", ",", "\xC3\xA9", "x"},
        {"whole", ";", "whole", ""},
    };
    for (const Case& c : cases) {
        QByteArray text = c.text;
        EXPECT_EQ(SplitOffAnsi(text, c.separator, true), c.piece) << c.text.constData();
        EXPECT_EQ(text, c.rest);
    }
}

TEST(RecordText, WriterWritesExactBytes)
{
    TSubstanceRecord a = Spot("Spot 1");
    a.A = "45";
    a.Bprime = "30";
    a.BefUVS = "+";
    a.AftUV = "Yellow";
    a.KResult = "Red";      // thallus tests and later fields are never written
    a.Notes = "note";
    a.Class = "Depside";
    TSubstanceRecord b = Spot("");
    EXPECT_EQ(RecordsToText({a, b}),
              "Name: Spot 1\r\nA: 45\r\nBprime: 30\r\nBefUVS: +\r\nAftUV: Yellow\r\n\r\n"
              "Name: \r\n\r\n");
    EXPECT_EQ(RecordsToText({}), "");
    EXPECT_EQ(RecordsToText({Spot("Atranorin")}), "Name: Atranorin\r\n\r\n");
}

TEST(RecordText, RoundTripThroughBlocks)
{
    std::vector<TSubstanceRecord> records(3);
    for (int r = 0; r < 3; ++r) {
        records[r].name = QString("Spot %1").arg(r + 1);
        for (int i = 1; i <= 14; ++i)
            if ((i + r) % 3 != 0)
                records[r].SetByIndex(i, QString("v%1 x: y").arg(i * 10 + r));
    }
    const std::vector<TSubstanceRecord> back = ParseRecordBlocks(RecordsToText(records));
    ASSERT_EQ(back.size(), records.size());
    for (size_t r = 0; r < records.size(); ++r)
        for (int i = 0; i < FieldCount; ++i)
            EXPECT_EQ(back[r].Field(i), records[r].Field(i)) << r << " " << i;
}

TEST(RecordText, KeySpellingsAreReadButValuesStayAsWritten)
{
    struct Case { QString key; int field; } cases[] = {
        {"Name", 0}, {"NAME", 0}, {"name", 0}, {"B'", 3}, {"b'", 3}, {"B`", 3}, {"Bprime", 3},
        {"KResult", 15}, {"Notes", 25},
    };
    for (const Case& c : cases) {
        TSubstanceRecord r;
        ParseRecordText(c.key + ": My Name is B' 12", r);
        EXPECT_EQ(r.Field(c.field), "My Name is B' 12") << c.key.toStdString();
    }
}

TEST(RecordText, ReaderSkipsUnknownKeysAndLinesWithoutSeparator)
{
    TSubstanceRecord r;
    r.Related = "old";
    r.MatchScore = 4;
    ParseRecordText("Name: Spot 2\r\nA:55\r\nB: 20\r\nRelated: x\r\nSynonyms: y\r\nClass: z\r\n"
                    "Path: p\r\nGroupName: g\r\nWhatever: w\r\n  C  :\t 33 \r\nC: 34\r\nE: 7",
                    r);
    EXPECT_EQ(r.name, "Spot 2");
    EXPECT_TRUE(r.A.isEmpty());      // "A:55" has no ": " and is passed over on its own
    EXPECT_EQ(r.B, "20");            // ... without taking the next line with it
    EXPECT_EQ(r.C, "34");            // a later line with the same key wins
    EXPECT_EQ(r.E, "7");             // the last line needs no line end
    for (int i : {26, 27, 28, 29, 30})
        EXPECT_TRUE(r.Field(i).isEmpty()) << i;
    EXPECT_EQ(r.MatchScore, 0.0f);
}

TEST(RecordText, BlocksWithBareLineFeedsReadLikeCrLf)
{
    const QString crlf = "Name: Spot 1\r\nA: 10\r\n\r\nName: Spot 2\r\nG: 20\r\n\r\n";
    QString lf = crlf;
    lf.replace("\r\n", "\n");
    for (const QString& text : {crlf, lf, lf + "\n\n \n", QString("\n\n") + crlf}) {
        const auto records = ParseRecordBlocks(text);
        ASSERT_EQ(records.size(), 2u);
        EXPECT_EQ(records[0].name, "Spot 1");
        EXPECT_EQ(records[0].A, "10");
        EXPECT_EQ(records[1].name, "Spot 2");
        EXPECT_EQ(records[1].G, "20");
    }
    EXPECT_TRUE(ParseRecordBlocks("").empty());
    EXPECT_TRUE(ParseRecordBlocks(" \r\n\r\n\t\r\n").empty());
}

TEST_F(RecordTextFiles, ReadUtf8FileDecodesAndDropsAByteOrderMark)
{
    Put("plain.txt", "Name: \xC3\xA9t\xC3\xA9\r\nA: 5\r\n");
    EXPECT_EQ(ReadUtf8File(PathOf("plain.txt")), QString::fromUtf8("Name: été\r\nA: 5\r\n"));
    Put("bom.spot", "\xEF\xBB\xBFName: Spot 1\r\nA: 5\r\n\r\n");
    const QString text = ReadUtf8File(PathOf("bom.spot"));
    EXPECT_EQ(text, "Name: Spot 1\r\nA: 5\r\n\r\n");
    const auto records = ParseRecordBlocks(text);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].name, "Spot 1");
    Put("bad.txt", QByteArray("a\xFF" "b\0tail", 8));
    EXPECT_EQ(ReadUtf8File(PathOf("bad.txt")), QString("a") + QChar(0xFFFD) + "b");
    Put("empty.txt", "");
    EXPECT_EQ(ReadUtf8File(PathOf("empty.txt")), "");
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(RecordTextFiles, ReadUtf8FileOfAMissingFileSaysSo)
{
    const QString name = PathOf("missing.cune");
    EXPECT_EQ(ReadUtf8File(name), "");
    EXPECT_EQ(messages, QStringList({"Unable to open file: " + name}));
    EXPECT_FALSE(QFile::exists(name));
}

TEST_F(RecordTextFiles, WritersCreateReplaceAndAppend)
{
    const QString name = PathOf("out.spot");
    EXPECT_TRUE(WriteUtf8File(name, "first\r\n", true));
    EXPECT_EQ(Bytes("out.spot"), "first\r\n");
    EXPECT_TRUE(WriteUtf8File(name, "second", true));
    EXPECT_EQ(Bytes("out.spot"), "second");
    EXPECT_TRUE(WriteUtf8File(name, "+more", false));
    EXPECT_EQ(Bytes("out.spot"), "second+more");
    EXPECT_TRUE(WriteUtf8File(PathOf("new.txt"), "x", false));
    EXPECT_EQ(Bytes("new.txt"), "x");

    EXPECT_TRUE(WriteUnicodeFile(PathOf("full.ful"), QString::fromUtf8("Name: ä\r\n")));
    EXPECT_EQ(Bytes("full.ful"), "Name: \xC3\xA4\r\n");
    EXPECT_TRUE(WriteAnsiFile(PathOf("UpdateDates.txt"), "Mar 5, 2024\r\n\xE9"));
    EXPECT_EQ(Bytes("UpdateDates.txt"), "Mar 5, 2024\r\n\xE9");
    EXPECT_TRUE(WriteAnsiFile(PathOf("UpdateDates.txt"), "short"));
    EXPECT_EQ(Bytes("UpdateDates.txt"), "short");
    EXPECT_TRUE(messages.isEmpty());
    // Nothing but the files themselves is left behind.
    EXPECT_EQ(Entries(), QStringList({"UpdateDates.txt", "full.ful", "new.txt", "out.spot"}));
}

TEST_F(RecordTextFiles, WritersThatCannotCreateReportIt)
{
    const QString name = PathOf("no/such/dir/file.txt");
    EXPECT_FALSE(WriteUtf8File(name, "data\xC3\xA9", true));
    EXPECT_FALSE(WriteUtf8File(name, "data", false));
    EXPECT_FALSE(WriteUnicodeFile(name, "text"));
    EXPECT_FALSE(WriteAnsiFile(name, "bytes"));
    EXPECT_EQ(messages, QStringList({
        "Unable to create or open file " + name + " to write:\r\n data" + QChar(0xE9),
        "Unable to create or open file " + name + " to write:\r\n data",
        "Unable to create " + name + "\r\nFile Creation Failed.",
        "Unable to create " + name + "\r\nFile Creation Failed.",
    }));
}

TEST_F(RecordTextFiles, AFailingWriteKeepsTheOldFile)
{
    // A file-size limit makes the write itself fail part-way.
    Put("keep.spot", "old content");
    const QByteArray big(64 * 1024, 'x');
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool utf8 = WriteUtf8File(PathOf("keep.spot"), big, true);
    const bool unicode = WriteUnicodeFile(PathOf("keep.spot"), QString(big));
    const bool ansi = WriteAnsiFile(PathOf("keep.spot"), big);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(utf8);
    EXPECT_FALSE(unicode);
    EXPECT_FALSE(ansi);
    EXPECT_EQ(Bytes("keep.spot"), "old content");
    EXPECT_EQ(Entries(), QStringList({"keep.spot"}));
    ASSERT_EQ(messages.size(), 3);
    EXPECT_TRUE(messages[0].startsWith("Unable to create or open file " + PathOf("keep.spot") + " to write:\r\n xxx"));
    EXPECT_EQ(messages[1], "Unable to create " + PathOf("keep.spot") + "\r\nFile Creation Failed.");
    EXPECT_EQ(messages[2], messages[1]);
}
