#pragma once
// A real SQLite database file with the program's schema in a temporary
// folder, filled by the test. Uses sqlite3 directly, not the layer under test.
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>

#include <map>
#include <vector>

struct sqlite3;

class FixtureDb {
public:
    // Creates "<dir>/Quillaspore.db"; with withSchema, also the tables
    // Substances and Lichens.
    explicit FixtureDb(bool withSchema = true, const QString& fileName = QStringLiteral("Quillaspore.db"));
    ~FixtureDb();
    FixtureDb(const FixtureDb&) = delete;
    FixtureDb& operator=(const FixtureDb&) = delete;

    QString Path() const { return path; }
    QString Dir() const { return dir.path(); }
    // "Database=<path>" and "FailIfMissing=True", as the program configures it.
    QStringList ConnectionParams() const;

    // Runs one or more statements; throws std::runtime_error with the
    // engine's message on failure.
    void Exec(const QString& sql);
    // Rows of a query, each value as text (NULL as an empty QVariant).
    std::vector<std::vector<QVariant>> Rows(const QString& sql);
    // The first column of the first row as text ("" when none or NULL).
    QString Scalar(const QString& sql);
    long long Count(const QString& table);

    // Inserts one substance; columns not given stay NULL. Names must be
    // columns of Substances.
    void InsertSubstance(const std::map<QString, QVariant>& values);
    void InsertLichen(const QString& lichen, const QString& substance, const QString& genus);

    // Closes the fixture's own handle (reopened on the next call).
    void CloseHandle();

    static const QString& SubstancesColumnsSql();   // "(name TEXT (100), ... GLossID TEXT default null)"
    static const QStringList& SubstanceColumns();    // the 33 names in order
    static const QString& LichensColumnsSql();      // "(Lichen TEXT NOT NULL, ...)"

private:
    sqlite3* Handle();
    QTemporaryDir dir;
    QString path;
    sqlite3* db = nullptr;
};
