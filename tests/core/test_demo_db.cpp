// The demonstration database script builds a database in the program's
// layout with plausible content.
#include <QFile>
#include "support/QtPrinters.h"
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sqlite3.h>

// Readable failure output for texts.

namespace {

const QStringList SpotColors = {"No Result", "White", "Brown", "P.Brown", "Purple", "Lilac", "Yellow",
    "P. Yellow", "Orange", "Pink", "Red", "P.Red", "D. Red", "B. Blue", "D. Blue", "Green", "Gray",
    "Black"};

class DemoDb : public ::testing::Test {
protected:
    void SetUp() override
    {
        QFile script(QStringLiteral(QS_SOURCE_DIR "/data/demo.sql"));
        ASSERT_TRUE(script.open(QIODevice::ReadOnly));
        const QByteArray sql = script.readAll();
        ASSERT_TRUE(dir.isValid());
        const QByteArray path = (dir.path() + "/Quillaspore.db").toUtf8();
        ASSERT_EQ(sqlite3_open(path.constData(), &db), SQLITE_OK);
        char* error = nullptr;
        ASSERT_EQ(sqlite3_exec(db, sql.constData(), nullptr, nullptr, &error), SQLITE_OK)
            << (error ? error : "");
    }
    void TearDown() override { sqlite3_close(db); }

    // Every row of a query, each value as text ("" for NULL).
    std::vector<QStringList> Rows(const char* sql)
    {
        std::vector<QStringList> rows;
        sqlite3_stmt* st = nullptr;
        EXPECT_EQ(sqlite3_prepare_v2(db, sql, -1, &st, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
        while (st && sqlite3_step(st) == SQLITE_ROW) {
            QStringList row;
            for (int i = 0; i < sqlite3_column_count(st); ++i) {
                const auto* t = sqlite3_column_text(st, i);
                row << (t ? QString::fromUtf8(reinterpret_cast<const char*>(t)) : QString());
            }
            rows.push_back(row);
        }
        sqlite3_finalize(st);
        return rows;
    }
    QStringList Column(const char* sql)
    {
        QStringList values;
        for (const QStringList& row : Rows(sql))
            values << row.value(0);
        return values;
    }

    QTemporaryDir dir;
    sqlite3* db = nullptr;
};

} // namespace

TEST_F(DemoDb, TablesHaveTheProgramsLayout)
{
    const QStringList substances = {"name", "A", "B", "Bprime", "C", "E", "F", "G", "HPLC", "BefVis",
        "BefUVS", "BefUVL", "Archers", "AftVis", "AftUV", "M", "F1", "F2", "F3", "KResult", "CResult",
        "KCResult", "PDResult", "Cortex", "Medulla", "Notes", "Related", "Lichens", "Synonyms", "Path",
        "GroupName", "Class", "GLossID"};
    EXPECT_EQ(Column("SELECT name FROM pragma_table_info('Substances')"), substances);
    EXPECT_EQ(Column("SELECT name FROM pragma_table_info('Lichens')"),
              QStringList({"Lichen", "Substance", "Genus"}));
    EXPECT_EQ(Column("SELECT count(*) FROM sqlite_schema WHERE sql LIKE '%UNIQUE%'"), QStringList({"0"}));
    // The outdated-database check of the start-up must pass.
    EXPECT_TRUE(Rows("Select GroupName from Substances WHERE GroupName LIKE 'Void'").empty());
}

TEST_F(DemoDb, RowCountsAreInRange)
{
    const int substances = Column("SELECT count(*) FROM Substances").value(0).toInt();
    EXPECT_GE(substances, 30);
    EXPECT_LE(substances, 60);
    const int lichens = Column("SELECT count(*) FROM Lichens").value(0).toInt();
    EXPECT_GE(lichens, 200);
    EXPECT_LE(lichens, 1000);
    EXPECT_EQ(Column("SELECT count(*) FROM (SELECT name FROM Substances GROUP BY name HAVING count(*) > 1)"),
              QStringList({"0"}));
    EXPECT_EQ(Column("SELECT count(*) FROM (SELECT DISTINCT Lichen, Substance, Genus FROM Lichens)"),
              QStringList({QString::number(lichens)}));
}

TEST_F(DemoDb, WellKnownSubstancesCarryTheirValues)
{
    const auto rows = Rows("SELECT name, A, Bprime, C, BefVis, Class, GroupName FROM Substances "
                           "WHERE name IN ('Atranorin', 'Norstictic acid', 'Usnic acid', 'Parietin')");
    ASSERT_EQ(rows.size(), 4u);
    for (const QStringList& row : rows) {
        for (int i = 1; i <= 3; ++i) {
            const int rf = row[i].toInt();
            EXPECT_GT(rf, 0) << row[0].toStdString();
            EXPECT_LT(rf, 100) << row[0].toStdString();
        }
        EXPECT_FALSE(row[5].isEmpty());
        EXPECT_FALSE(row[6].isEmpty());
    }
    // Every Rf column is a whole number between 0 and 100 where given.
    for (const char* col : {"A", "B", "Bprime", "C", "E", "F", "G"}) {
        const QString sql = QString("SELECT count(*) FROM Substances WHERE %1 IS NOT NULL AND "
                                    "(typeof(%1) <> 'integer' OR %1 < 0 OR %1 > 100)").arg(col);
        EXPECT_EQ(Column(sql.toUtf8().constData()), QStringList({"0"})) << col;
    }
}

TEST_F(DemoDb, ColoursComeFromTheVocabulary)
{
    for (const char* col : {"BefUVL", "Archers", "AftVis", "AftUV", "KResult", "CResult", "KCResult",
                            "PDResult", "Cortex", "Medulla"}) {
        const QString sql = QString("SELECT DISTINCT %1 FROM Substances").arg(col);
        for (const QString& value : Column(sql.toUtf8().constData()))
            EXPECT_TRUE(value.isEmpty() || SpotColors.contains(value)) << col << ": " << value.toStdString();
    }
    for (const char* col : {"BefVis", "BefUVS"}) {
        const QString sql = QString("SELECT DISTINCT %1 FROM Substances").arg(col);
        for (const QString& value : Column(sql.toUtf8().constData()))
            EXPECT_TRUE(value.isEmpty() || value == "+") << col << ": " << value.toStdString();
    }
}

TEST_F(DemoDb, LichensAndListsAgreeWithTheSubstances)
{
    EXPECT_TRUE(Column("SELECT DISTINCT Substance FROM Lichens WHERE Substance NOT IN "
                       "(SELECT name FROM Substances)").isEmpty());
    EXPECT_TRUE(Column("SELECT Lichen FROM Lichens WHERE Lichen NOT LIKE Genus || ' %'").isEmpty());
    // The Lichens list of each substance names exactly its rows in Lichens.
    for (const QStringList& row : Rows("SELECT name, Lichens FROM Substances")) {
        QSet<QString> listed;
        for (const QString& l : row[1].split(", ", Qt::SkipEmptyParts))
            listed.insert(l);
        QSet<QString> inTable;
        const QString sql = QString("SELECT Lichen FROM Lichens WHERE Substance = '%1'")
                                .arg(QString(row[0]).replace("'", "''"));
        for (const QString& l : Column(sql.toUtf8().constData()))
            inTable.insert(l);
        EXPECT_EQ(listed, inTable) << row[0].toStdString();
    }
    // Synonym lists are ", "-separated names without empty items.
    for (const QString& synonyms : Column("SELECT Synonyms FROM Substances WHERE Synonyms IS NOT NULL"))
        for (const QString& item : synonyms.split(", "))
            EXPECT_FALSE(item.trimmed().isEmpty()) << synonyms.toStdString();
}
