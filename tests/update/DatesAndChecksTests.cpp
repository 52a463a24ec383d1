// The dates file, the glossary column probe and the version check.
#include "UpdateTestKit.h"
#include "update/Glossary.h"
#include "update/VersionCheck.h"

namespace {

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

using UpdateDatesTest = UpdateTest;

TEST_F(UpdateDatesTest, WritesBothDatesAndReadsThemBack)
{
    SubstanceDataDate = "1600000000";
    LichenDataDate = "1700000000";
    EXPECT_TRUE(WriteUpdateDates());
    EXPECT_EQ(DatesFile(), QByteArray("Substances\t1600000000\r\nLichens\t1700000000"));
    SubstanceDataDate = LichenDataDate = "x";
    ReadUpdateDates();
    EXPECT_EQ(SubstanceDataDate, QByteArray("1600000000"));
    EXPECT_EQ(LichenDataDate, QByteArray("1700000000"));
}

TEST_F(UpdateDatesTest, ReadsWhatTheFileHoldsAsItComes)
{
    const std::vector<std::tuple<QByteArray, QByteArray, QByteArray>> cases = {
        {"", "", ""},
        {"Lichens\t5\r\nSubstances\t6", "6", ""},
        {"Substances \t 12 \r\nLichens\t\t34\r\n", "12", "34"},
    };
    for (const auto& [text, substance, lichen] : cases) {
        WriteFile(db.Dir() + "/UpdateDates.txt", text);
        ReadUpdateDates();
        EXPECT_EQ(SubstanceDataDate, substance) << text.constData();
        EXPECT_EQ(LichenDataDate, lichen) << text.constData();
    }
    QFile::remove(db.Dir() + "/UpdateDates.txt");
    ReadUpdateDates();
    EXPECT_EQ(SubstanceDataDate, QByteArray("0"));
    EXPECT_EQ(LichenDataDate, QByteArray("0"));
}

TEST_F(UpdateDatesTest, AFileThatCannotBeWrittenIsReportedAndLeftAlone)
{
    // A folder of that name cannot be replaced by the file.
    ASSERT_TRUE(QDir(db.Dir()).mkdir("UpdateDates.txt"));
    LichenDataDate = "1700000000";
    EXPECT_FALSE(WriteUpdateDates());
    EXPECT_EQ(Messages(), QStringList({"Unable to create UpdateDates.txt\r\nFile Creation Failed."}));
    EXPECT_TRUE(QFileInfo(db.Dir() + "/UpdateDates.txt").isDir());
}

class GlossaryColumnProbe : public UpdateTest {};

TEST_F(GlossaryColumnProbe, AddsTheColumnOnlyWhenMissing)
{
    EnsureGlossaryColumn(connection);
    EXPECT_TRUE(Messages().isEmpty());

    db.Exec("CREATE TABLE S2 AS SELECT name, A FROM Substances");
    db.Exec("DROP TABLE Substances");
    db.Exec("ALTER TABLE S2 RENAME TO Substances");
    db.Exec("INSERT INTO Substances VALUES ('X', 1)");
    EnsureGlossaryColumn(connection);
    EXPECT_EQ(Messages(), QStringList({"Database format has changed.  Update Substances before continuing."}));
    EXPECT_EQ(db.Scalar("SELECT count(*) FROM Substances WHERE GlossID IS NULL"), "1");
    EnsureGlossaryColumn(connection);
    EXPECT_EQ(Messages().size(), 1);
}

struct VersionCase {
    const char* title;
    QByteArray page;
    bool internet;
    QByteArray lichenDate, substanceDate;
    QStringList messages;
};

void PrintTo(const VersionCase& c, std::ostream* os) { *os << c.title; }

class VersionCheckTest : public UpdateTest, public ::testing::WithParamInterface<VersionCase> {};

TEST_P(VersionCheckTest, ShowsTheMessagesOfItsCase)
{
    const VersionCase& c = GetParam();
    SubstanceDataDate = c.substanceDate;
    LichenDataDate = c.lichenDate;
    WriteUpdateDates();
    QList<int> timeouts;
    TVersionCheckContext context{[&](const QString&) { return c.page; }, progress,
                                 [&](int ms) { timeouts << ms; }, [&] { return c.internet; }, "1.2.2.0"};
    RunVersionCheck(context);
    EXPECT_EQ(Messages(), c.messages) << c.title;
    EXPECT_EQ(timeouts, QList<int>({3000, 60000}));
    EXPECT_FALSE(progress.Visible);
}

const QByteArray Yesterday = QByteArray::number(1700000000 - 86400);
const QByteArray Limit = QByteArray::number(1700000000 - 5184000);
const QByteArray JustOver = QByteArray::number(1700000000 - 5184001);

INSTANTIATE_TEST_SUITE_P(Cases, VersionCheckTest, ::testing::Values(
    VersionCase{"same version, recent data", "1.2.2.0", true, Yesterday, Yesterday, {}},
    VersionCase{"newer version", "1.2.3.0\r\n", true, Yesterday, Yesterday,
                {"Current Program Version: 1.2.2.0\r\nNew Version: 1.2.3.0\r\n\r\n View Help for link."}},
    VersionCase{"no page", "", true, Yesterday, Yesterday, {"Unable to check Program Update"}},
    VersionCase{"internet off", "Error", false, Yesterday, Yesterday, {}},
    VersionCase{"no lichen date", "1.2.2.0", true, "0", JustOver,
                {"Lichen database status is unknown.  Please update."}},
    VersionCase{"exactly 60 days and just over", "1.2.2.0", true, Limit, JustOver,
                {"Update Substance database. Current data is 60 days old."}},
    VersionCase{"page that is no version", "<html>", true, Yesterday, Yesterday,
                {"'<html>' is not a valid integer value"}}),
    TitleName());

}
