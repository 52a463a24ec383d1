#include "support/FixtureDb.h"

#include <sqlite3.h>

#include <stdexcept>

const QString& FixtureDb::SubstancesColumnsSql()
{
    static const QString s = QStringLiteral(
        "(name TEXT (100), A INTEGER, B INTEGER, Bprime INTEGER, C INTEGER, E INTEGER, F INTEGER, G INTEGER, "
        "HPLC INTEGER, BefVis TEXT (2), BefUVS TEXT (2), BefUVL TEXT (20), Archers TEXT (20), AftVis TEXT (20), "
        "AftUV TEXT (20), M INTEGER, F1 INTEGER, F2 INTEGER, F3 INTEGER, KResult TEXT (20), CResult TEXT (20), "
        "KCResult TEXT (20), PDResult TEXT (20), Cortex TEXT (20), Medulla TEXT (20), Notes TEXT, Related TEXT, "
        "Lichens TEXT, Synonyms TEXT, Path TEXT, GroupName TEXT, Class TEXT, GLossID TEXT default null)");
    return s;
}

const QStringList& FixtureDb::SubstanceColumns()
{
    static const QStringList c = {
        "name", "A", "B", "Bprime", "C", "E", "F", "G", "HPLC", "BefVis", "BefUVS", "BefUVL", "Archers",
        "AftVis", "AftUV", "M", "F1", "F2", "F3", "KResult", "CResult", "KCResult", "PDResult", "Cortex",
        "Medulla", "Notes", "Related", "Lichens", "Synonyms", "Path", "GroupName", "Class", "GLossID"};
    return c;
}

const QString& FixtureDb::LichensColumnsSql()
{
    static const QString s = QStringLiteral("(Lichen TEXT NOT NULL, Substance TEXT NOT NULL, Genus TEXT NOT NULL)");
    return s;
}

FixtureDb::FixtureDb(bool withSchema, const QString& fileName)
{
    if (!dir.isValid()) throw std::runtime_error("cannot create a temporary folder");
    path = dir.filePath(fileName);
    Handle();
    if (withSchema) {
        Exec(QStringLiteral("CREATE TABLE Substances ") + SubstancesColumnsSql());
        Exec(QStringLiteral("CREATE TABLE Lichens ") + LichensColumnsSql());
    }
}

FixtureDb::~FixtureDb() { CloseHandle(); }

QStringList FixtureDb::ConnectionParams() const
{
    return {QStringLiteral("DriverName=Sqlite"), QStringLiteral("FailIfMissing=True"),
            QStringLiteral("Database=") + path};
}

sqlite3* FixtureDb::Handle()
{
    if (!db) {
        if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
            const std::string msg = sqlite3_errmsg(db);
            sqlite3_close(db);
            db = nullptr;
            throw std::runtime_error("cannot open fixture database: " + msg);
        }
        sqlite3_busy_timeout(db, 5000);
    }
    return db;
}

void FixtureDb::CloseHandle()
{
    if (db) sqlite3_close_v2(db);
    db = nullptr;
}

void FixtureDb::Exec(const QString& sql)
{
    char* err = nullptr;
    if (sqlite3_exec(Handle(), sql.toUtf8().constData(), nullptr, nullptr, &err) != SQLITE_OK) {
        const std::string msg = err ? err : "unknown error";
        sqlite3_free(err);
        throw std::runtime_error(msg + " in: " + sql.toStdString());
    }
}

static void BindValue(sqlite3_stmt* st, int i, const QVariant& v)
{
    if (!v.isValid() || v.isNull()) sqlite3_bind_null(st, i);
    else if (v.typeId() == QMetaType::Int || v.typeId() == QMetaType::LongLong || v.typeId() == QMetaType::Bool)
        sqlite3_bind_int64(st, i, v.toLongLong());
    else if (v.typeId() == QMetaType::Double) sqlite3_bind_double(st, i, v.toDouble());
    else {
        const QByteArray b = v.typeId() == QMetaType::QByteArray ? v.toByteArray() : v.toString().toUtf8();
        sqlite3_bind_text(st, i, b.constData(), int(b.size()), SQLITE_TRANSIENT);
    }
}

static void RunBound(sqlite3* db, const QString& sql, const std::vector<QVariant>& values)
{
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &st, nullptr) != SQLITE_OK)
        throw std::runtime_error(std::string(sqlite3_errmsg(db)) + " in: " + sql.toStdString());
    for (size_t i = 0; i < values.size(); ++i) BindValue(st, int(i) + 1, values[i]);
    const int rc = sqlite3_step(st);
    sqlite3_finalize(st);
    if (rc != SQLITE_DONE) throw std::runtime_error(std::string(sqlite3_errmsg(db)) + " in: " + sql.toStdString());
}

void FixtureDb::InsertSubstance(const std::map<QString, QVariant>& values)
{
    QStringList cols, marks;
    std::vector<QVariant> vals;
    for (const auto& [col, v] : values) {
        if (!SubstanceColumns().contains(col)) throw std::runtime_error("no such substance column: " + col.toStdString());
        cols << col;
        marks << QStringLiteral("?");
        vals.push_back(v);
    }
    if (cols.isEmpty()) {
        Exec(QStringLiteral("INSERT INTO Substances DEFAULT VALUES"));
        return;
    }
    RunBound(Handle(), QStringLiteral("INSERT INTO Substances (%1) VALUES (%2)").arg(cols.join(", "), marks.join(", ")), vals);
}

void FixtureDb::InsertLichen(const QString& lichen, const QString& substance, const QString& genus)
{
    RunBound(Handle(), QStringLiteral("INSERT INTO Lichens (Lichen, Substance, Genus) VALUES (?, ?, ?)"),
             {lichen, substance, genus});
}

std::vector<std::vector<QVariant>> FixtureDb::Rows(const QString& sql)
{
    sqlite3* h = Handle();
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(h, sql.toUtf8().constData(), -1, &st, nullptr) != SQLITE_OK)
        throw std::runtime_error(std::string(sqlite3_errmsg(h)) + " in: " + sql.toStdString());
    std::vector<std::vector<QVariant>> rows;
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        std::vector<QVariant> row;
        for (int i = 0; i < sqlite3_column_count(st); ++i) {
            if (sqlite3_column_type(st, i) == SQLITE_NULL) row.emplace_back();
            else row.emplace_back(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, i)),
                                                    sqlite3_column_bytes(st, i)));
        }
        rows.push_back(std::move(row));
    }
    sqlite3_finalize(st);
    if (rc != SQLITE_DONE) throw std::runtime_error(std::string(sqlite3_errmsg(h)) + " in: " + sql.toStdString());
    return rows;
}

QString FixtureDb::Scalar(const QString& sql)
{
    const auto rows = Rows(sql);
    if (rows.empty() || rows[0].empty()) return {};
    return rows[0][0].toString();
}

long long FixtureDb::Count(const QString& table)
{
    return Scalar(QStringLiteral("SELECT count(*) FROM ") + table).toLongLong();
}
