// Cune files: exact bytes, reading back by position, failures, and the check
// that only whole pairs can be accepted or saved.
#include "config/CuneFile.h"
#include "support/FileBytes.h"
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TSubstanceRecord Rec(const QString& name, const QString& a, const QString& c, const QString& hplc = {})
{
    TSubstanceRecord r;
    r.name = name;
    r.A = a;
    r.C = c;
    r.HPLC = hplc;
    return r;
}

void WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

TEST(CuneFile, RoundTripWithExactBytes)
{
    TSubstanceRecord published = Rec("Atranorin", "75", "79", "62");
    published.BefUVL = "Yellow";
    published.KResult = "Yellow"; // never written
    const std::vector<TSubstanceRecord> controls = {
        published, Rec("Atranorin", "73", "80"),
        Rec("Norstictic acid", "40", "30"), Rec("Norstictic acid", "42", "31")};

    QTemporaryDir dir;
    const QString path = dir.filePath("Plate 3.cune");
    ASSERT_TRUE(WriteCuneFile(path, controls));
    const QByteArray expected =
        "Name: Atranorin\r\nA: 75\r\nC: 79\r\nHPLC: 62\r\nBefUVL: Yellow\r\n\r\n"
        "Name: Atranorin\r\nA: 73\r\nC: 80\r\n\r\n"
        "Name: Norstictic acid\r\nA: 40\r\nC: 30\r\n\r\n"
        "Name: Norstictic acid\r\nA: 42\r\nC: 31\r\n\r\n";
    EXPECT_EQ(FileBytes(path, "<unreadable>"), expected);

    const TCuneLoad load = ReadCuneFile(path);
    ASSERT_TRUE(load.Ok);
    ASSERT_EQ(load.Controls.size(), 4u);
    EXPECT_EQ(load.Controls[0].name, "Atranorin");
    EXPECT_EQ(load.Controls[0].HPLC, "62");
    EXPECT_EQ(load.Controls[0].BefUVL, "Yellow");
    EXPECT_EQ(load.Controls[0].KResult, "");
    EXPECT_EQ(load.Controls[1].A, "73");
    EXPECT_EQ(load.Controls[3].name, "Norstictic acid");
    EXPECT_EQ(load.Controls[3].C, "31");
    EXPECT_EQ(CuneFileText(load.Controls).toUtf8(), expected);
    EXPECT_EQ(CuneDisplayName(path), "Plate 3");
}

TEST(CuneFile, ReadsByPositionAndSkipsBlankLines)
{
    struct Case {
        const char* what;
        QByteArray bytes;
        std::vector<QString> names;
    };
    const Case cases[] = {
        {"extra line ends at the end", "Name: X\r\nA: 1\r\n\r\nName: Y\r\nA: 2\r\n\r\n\r\n\r\n\r\n", {"X", "Y"}},
        {"no line end after the last", "Name: X\r\n\r\nName: Y", {"X", "Y"}},
        {"bare line feeds", "Name: X\nA: 1\n\nName: Y\n", {"X", "Y"}},
        {"names are not matched up", "Name: Y\r\n\r\nName: X\r\n\r\nName: Z\r\n\r\n", {"Y", "X", "Z"}},
        {"empty file", "", {}},
    };
    QTemporaryDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString path = dir.filePath("c.cune");
        WriteBytes(path, c.bytes);
        const TCuneLoad load = ReadCuneFile(path);
        ASSERT_TRUE(load.Ok);
        std::vector<QString> names;
        for (const auto& r : load.Controls)
            names.push_back(r.name);
        EXPECT_EQ(names, c.names);
    }
}

TEST(CuneFile, UnreadableFileGivesNoList)
{
    QTemporaryDir dir;
    for (const QString& path : {dir.filePath("missing.cune"), dir.path()}) {
        SCOPED_TRACE(path.toStdString());
        const TCuneLoad load = ReadCuneFile(path);
        EXPECT_FALSE(load.Ok);
        EXPECT_TRUE(load.Controls.empty());
        EXPECT_EQ(load.Message, "Unable to open file: " + path);
    }
}

TEST(CuneFile, OnlyWholePairsCanBeAcceptedOrSaved)
{
    const TSubstanceRecord r = Rec("X", "1", "2");
    const std::pair<size_t, bool> cases[] = {{0, false}, {1, false}, {2, true}, {3, false}, {4, true}, {20, true}};
    for (const auto& [count, complete] : cases) {
        SCOPED_TRACE(count);
        EXPECT_EQ(IsCompleteCuneList(std::vector<TSubstanceRecord>(count, r)), complete);
    }
}

TEST(CuneFile, DisplayName)
{
    EXPECT_EQ(CuneDisplayName("C:\\Plates\\May.CUNE"), "May");
    EXPECT_EQ(CuneDisplayName("/p/a.cune.Cune"), "a");
    EXPECT_EQ(CuneDisplayName("plain"), "plain");
}
