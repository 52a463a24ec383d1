// Every file the program writes, saved once on a disk that refuses the write
// and once normally: a refused save keeps the old file byte for byte, leaves
// no temporary file, answers false and shows the writer's message.
#include "config/CuneFile.h"
#include "config/SearchConfigFile.h"
#include "core/RecordText.h"
#include "identify/SpotFiles.h"
#include "lichens/LichenText.h"
#include "update/UpdateDates.h"
#include "support/FileBytes.h"
#include "support/QtPrinters.h"
#include "support/RefusingDisk.h"
#include "support/ScriptedDialogs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>

namespace {

std::vector<TSubstanceRecord> TwoRecords()
{
    std::vector<TSubstanceRecord> records(2);
    records[0].name = "Spot 1";
    records[0].A = "75";
    records[0].C = "79";
    records[1].name = "Spot 2";
    records[1].BefUVL = "Yellow";
    return records;
}

struct WriterCase {
    const char* kind;
    QString fileName;
    // Saves into the folder (the current directory while it runs) and
    // answers the writer's result.
    std::function<bool(const QString& path)> save;
    QByteArray expected;    // the bytes of a successful save
    QString message;        // the failure message, %1 = the path; a trailing "*" = starts with
};

std::vector<WriterCase> Writers()
{
    static TSearchConfig config;
    const QString utf8Failure = QStringLiteral("Unable to create or open file %1 to write:\r\n *");
    const QString createFailure = QStringLiteral("Unable to create %1\r\nFile Creation Failed.");
    const std::vector<TCsvRow> rows = {{"Spot 1", {"75", "", "", "79"}}, {"Atranorin", {"75"}}};
    const QStringList lichenItems = {"Atranorin", "Usnic acid", QString::fromUtf8("Zeorin ä")};
    return {
        {"spot", "plate.spot", [](const QString& p) { return WriteSpotFile(p, TwoRecords()); },
         SpotFileText(TwoRecords()).toUtf8(), utf8Failure},
        {"full", "all.ful",
         [](const QString& p) { return WriteUnicodeFile(p, FullFileText(TwoRecords(), "RFError: 1")); },
         FullFileText(TwoRecords(), "RFError: 1").toUtf8(), createFailure},
        {"cune", "plate.cune", [](const QString& p) { return WriteCuneFile(p, TwoRecords()); },
         CuneFileText(TwoRecords()).toUtf8(), utf8Failure},
        {"scfg", "Mine.scfg", [](const QString& p) { return WriteSearchConfigFile(p, config).Ok; },
         SearchConfigText(config).toUtf8(), utf8Failure},
        {"csv", "spots.csv", [rows](const QString& p) { return WriteUtf8File(p, SpotCsvText(rows).toUtf8(), true); },
         SpotCsvText(rows).toUtf8(), utf8Failure},
        {"lichen txt", LichenSubstancesFileName("Parmelia sulcata"),
         [lichenItems](const QString& p) { return WriteUtf8File(p, LichenSubstancesFileBytes(lichenItems), true); },
         LichenSubstancesFileBytes(lichenItems), utf8Failure},
        {"CurrentSearch.cfg", CurrentSearchFileName,
         [](const QString& p) { return WriteCurrentSearchFile("Mine.scfg", 1, p); },
         CurrentSearchText("Mine.scfg", 1).toUtf8(), utf8Failure},
        {"UpdateDates.txt", "UpdateDates.txt",
         [](const QString&) {
             SubstanceDataDate = "1700000000";
             LichenDataDate = "1710000000";
             const bool ok = WriteUpdateDates();
             SubstanceDataDate = LichenDataDate = "0";
             return ok;
         },
         UpdateDatesText("1700000000", "1710000000"), createFailure},
        {"appended text", "BioRel.txt", [](const QString& p) { return WriteUtf8File(p, "Orphan acid\r\n", false); },
         "old bytes of the file, longer than the limit\r\nOrphan acid\r\n", utf8Failure},
    };
}

class FileWriters : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        savedDir = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(dir.path()));
    }
    void TearDown() override { QDir::setCurrent(savedDir); }
    QStringList Entries() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden); }

    QTemporaryDir dir;
    QString savedDir;
};

TEST_F(FileWriters, ARefusedWriteKeepsTheOldFileAndAGoodOneReplacesIt)
{
    const QByteArray old = "old bytes of the file, longer than the limit\r\n";
    for (const WriterCase& c : Writers()) {
        SCOPED_TRACE(c.kind);
        const QString path = c.fileName == "UpdateDates.txt" ? c.fileName : dir.filePath(c.fileName);
        {
            QFile f(dir.filePath(c.fileName));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(old);
        }

        // Bytes past the tenth cannot be written: even a small file fails
        // while it is being written, not only when it is created.
        const TChildRun refused = RunOnRefusingDisk(10, [&] { return c.save(path) ? 1 : 0; });
        EXPECT_EQ(refused.ExitCode, 0);
        EXPECT_EQ(FileBytes(dir.filePath(c.fileName), "<missing>"), old);
        EXPECT_EQ(Entries(), QStringList({c.fileName}));   // no temporary file left
        ASSERT_EQ(refused.Shown.size(), 1) << refused.Shown.join("|").toStdString();
        const QString message = c.message.arg(path);
        if (message.endsWith('*'))
            EXPECT_TRUE(refused.Shown[0].startsWith(message.chopped(1))) << refused.Shown[0].toStdString();
        else
            EXPECT_EQ(refused.Shown[0], message);

        TestDialogs().Reset();
        EXPECT_TRUE(c.save(path));
        EXPECT_EQ(FileBytes(dir.filePath(c.fileName), "<missing>"), c.expected);
        EXPECT_EQ(Entries(), QStringList({c.fileName}));
        EXPECT_TRUE(TestDialogs().Shown().isEmpty());
        QFile::remove(dir.filePath(c.fileName));
    }
}

TEST_F(FileWriters, ASavedSpotFileReadsBackAsTheSameSpots)
{
    ASSERT_TRUE(WriteSpotFile(dir.filePath("a.spot"), TwoRecords()));
    const std::vector<TSubstanceRecord> back = ParseSpotFileText(ReadUtf8File(dir.filePath("a.spot")));
    ASSERT_EQ(back.size(), 2u);
    EXPECT_EQ(back[0].name, "Spot 1");
    EXPECT_EQ(back[0].C, "79");
    EXPECT_EQ(back[1].BefUVL, "Yellow");
}

TEST_F(FileWriters, ASaveThroughALinkReplacesTheFileItPointsTo)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir("real"));
    {
        QFile f(dir.filePath("real/plate.spot"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("old");
    }
    ASSERT_TRUE(QFile::link(dir.filePath("real/plate.spot"), dir.filePath("link.spot")));
    EXPECT_TRUE(WriteSpotFile(dir.filePath("link.spot"), TwoRecords()));
    EXPECT_TRUE(QFileInfo(dir.filePath("link.spot")).isSymLink());
    EXPECT_EQ(FileBytes(dir.filePath("real/plate.spot"), "<missing>"), SpotFileText(TwoRecords()).toUtf8());
    EXPECT_EQ(QDir(dir.filePath("real")).entryList(QDir::Files | QDir::Hidden), QStringList({"plate.spot"}));
}

TEST_F(FileWriters, TheFailureMessageQuotesAtMostFiveHundredCharacters)
{
    const QString path = dir.filePath("no/such/folder/big.spot");
    const QByteArray big = QByteArray(499, 'x') + "\xF0\x9F\x98\x80" + QByteArray(20000, 'y');
    const QString head = "Unable to create or open file " + path + " to write:\r\n ";
    EXPECT_FALSE(WriteUtf8File(path, big, true));
    EXPECT_FALSE(WriteUtf8File(path, "short", true));
    // The 500th character would be half of an emoji: it is left out whole.
    EXPECT_EQ(TestDialogs().Messages(),
              QStringList({head + QString(499, 'x') + QChar(0x2026), head + "short"}));
    TestDialogs().Reset();
    EXPECT_FALSE(WriteUtf8File(path, QByteArray(500, 'z'), true));
    EXPECT_FALSE(WriteUtf8File(path, QByteArray(501, 'z'), true));
    EXPECT_EQ(TestDialogs().Messages(),
              QStringList({head + QString(500, 'z'), head + QString(500, 'z') + QChar(0x2026)}));
}

} // namespace
