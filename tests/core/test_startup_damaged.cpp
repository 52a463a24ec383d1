// Starting on a database file that cannot be read: the file's name and the
// engine's message are shown (not "Outdated database"), the file keeps every
// byte, and the start fails.
#include "core/Entry.h"
#include "program_state_kit.h"
#include "core/MainWindow.h"
#include "core/Record.h"
#include "core/Schema.h"
#include "core/Settings.h"
#include "core/WebText.h"
#include "framework/Framework.h"
#include "support/FakeHttpServer.h"
#include "support/FileBytes.h"
#include "support/FixtureDb.h"
#include "support/QtPrinters.h"
#include "support/ScriptedDialogs.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <array>
#include <functional>

namespace {

void Overwrite(const QString& path, qint64 offset, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.seek(offset));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

// A database of several pages: enough substances with long notes.
void Fill(FixtureDb& db)
{
    db.Exec("BEGIN");
    for (int i = 0; i < 200; ++i)
        db.InsertSubstance({{"name", QStringLiteral("Substance %1").arg(i)}, {"A", i % 100},
                            {"GroupName", "Depsides"}, {"Notes", QString(300, QChar('n'))}});
    db.InsertLichen("Parmelia sulcata", "Substance 1", "Parmelia");
    db.Exec("COMMIT");
}

struct DamageCase {
    const char* name;
    const char* engineWords;   // words of the engine's message
    std::function<void(FixtureDb&)> damage;
};

class DamagedDatabase : public ::testing::TestWithParam<DamageCase> {
protected:
    SavedProgramState saved;
};

TEST_P(DamagedDatabase, IsNamedWithTheEnginesMessageAndLeftAsItWas)
{
    FixtureDb db;
    Fill(db);
    GetParam().damage(db);
    db.CloseHandle();
    ASSERT_TRUE(QFile::copy(QStringLiteral(QS_SOURCE_DIR "/data/Default.scfg"), db.Dir() + "/Default.scfg"));
    ASSERT_TRUE(QDir::setCurrent(db.Dir()));
    const QByteArray before = FileBytes(db.Path());
    const QStringList entries = QDir(db.Dir()).entryList(QDir::Files | QDir::Hidden);

    const int status = RunProgram();

    EXPECT_NE(status, 0);
    ASSERT_EQ(TestDialogs().Shown().size(), 1) << TestDialogs().Shown().join("|").toStdString();
    const QString shown = TestDialogs().Shown()[0];
    const QString path = QDir::currentPath() + "/Quillaspore.db";
    const QString head = "Unable to read the database " + path + "\r\n";
    EXPECT_TRUE(shown.startsWith(head)) << shown.toStdString();
    EXPECT_GT(shown.size(), head.size());   // the engine's own words follow
    EXPECT_TRUE(shown.contains(GetParam().engineWords)) << shown.toStdString();
    EXPECT_FALSE(shown.contains("Outdated"));
    EXPECT_EQ(Application->ComponentCount(), 0);
    EXPECT_EQ(FileBytes(db.Path()), before);
    EXPECT_EQ(QDir(db.Dir()).entryList(QDir::Files | QDir::Hidden), entries);
}

INSTANTIATE_TEST_SUITE_P(
    Files, DamagedDatabase,
    ::testing::Values(
        DamageCase{"Garbage", "file is not a database",
                   [](FixtureDb& db) {
                       db.CloseHandle();
                       QFile f(db.Path());
                       ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
                       f.write(QByteArray(8192, '\x5A'));
                   }},
        DamageCase{"Truncated", "malformed",
                   [](FixtureDb& db) {
                       db.CloseHandle();
                       QFile f(db.Path());
                       ASSERT_TRUE(f.resize(f.size() / 2));
                   }},
        DamageCase{"CorruptSubstancesPage", "malformed",
                   [](FixtureDb& db) {
                       // The root page of the table's b-tree gets junk.
                       const qint64 root = db.Scalar("SELECT rootpage FROM sqlite_schema WHERE name = 'Substances'").toLongLong();
                       const qint64 pageSize = db.Scalar("PRAGMA page_size").toLongLong();
                       ASSERT_GT(root, 1);
                       db.CloseHandle();
                       Overwrite(db.Path(), (root - 1) * pageSize, QByteArray(int(pageSize), '\xEE'));
                   }}),
    [](const ::testing::TestParamInfo<DamageCase>& info) { return std::string(info.param.name); });

} // namespace
