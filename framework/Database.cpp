#include "framework/Database.h"

#include <QLocale>
#include <sqlite3.h>

#include <algorithm>

namespace {

QString EngineMessage(sqlite3* db)
{
    return db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("out of memory");
}

// The failure of a statement as an exception: a lock held by another
// connection gets its own class, so that callers can say what happened.
[[noreturn]] void Raise(sqlite3* db, int rc)
{
    const int primary = rc & 0xff;
    if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED) throw EDatabaseLocked(EngineMessage(db));
    throw EDatabaseError(EngineMessage(db));
}

bool EqualsIgnoringAsciiCase(const QString& a, const QString& b)
{
    if (a.size() != b.size()) return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        char16_t x = a.at(i).unicode(), y = b.at(i).unicode();
        if (x >= u'A' && x <= u'Z') x = char16_t(x + 32);
        if (y >= u'A' && y <= u'Z') y = char16_t(y + 32);
        if (x != y) return false;
    }
    return true;
}

void Bind(sqlite3* db, sqlite3_stmt* st, const QVariantList& params)
{
    const int expected = sqlite3_bind_parameter_count(st);
    if (expected != params.size())
        throw EDatabaseError(QStringLiteral("Wrong number of parameters: %1 given, %2 expected")
                                 .arg(params.size()).arg(expected));
    for (int i = 0; i < params.size(); ++i) {
        const QVariant& v = params.at(i);
        int rc;
        switch (v.typeId()) {
        case QMetaType::UnknownType:
        case QMetaType::Nullptr:
            rc = sqlite3_bind_null(st, i + 1);
            break;
        case QMetaType::Bool:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::Long:
            rc = sqlite3_bind_int64(st, i + 1, v.toLongLong());
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            rc = sqlite3_bind_double(st, i + 1, v.toDouble());
            break;
        case QMetaType::QByteArray: {
            // 8-bit text of the program is UTF-8; store it as text so that it
            // compares equal to the same text bound as QString.
            const QByteArray b = v.toByteArray();
            rc = sqlite3_bind_text64(st, i + 1, b.constData(), sqlite3_uint64(b.size()), SQLITE_TRANSIENT, SQLITE_UTF8);
            break;
        }
        default: {
            if (v.isNull()) { rc = sqlite3_bind_null(st, i + 1); break; }
            const QByteArray b = v.toString().toUtf8();
            rc = sqlite3_bind_text64(st, i + 1, b.constData(), sqlite3_uint64(b.size()), SQLITE_TRANSIENT, SQLITE_UTF8);
            break;
        }
        }
        if (rc != SQLITE_OK) throw EDatabaseError(EngineMessage(db));
    }
}

// Prepares the first statement of sql; anything but blanks and comments
// after it is refused, so that one call never runs more than one statement.
sqlite3_stmt* PrepareOne(sqlite3* db, const QString& sql)
{
    const QByteArray text = sql.toUtf8();
    sqlite3_stmt* st = nullptr;
    const char* tail = nullptr;
    const int prepared = sqlite3_prepare_v2(db, text.constData(), int(text.size()), &st, &tail);
    if (prepared != SQLITE_OK) Raise(db, prepared);
    const char* end = text.constData() + text.size();
    while (tail && tail < end) {
        sqlite3_stmt* extra = nullptr;
        const char* next = nullptr;
        const int rc = sqlite3_prepare_v2(db, tail, int(end - tail), &extra, &next);
        if (rc != SQLITE_OK || extra) {
            sqlite3_finalize(extra);
            sqlite3_finalize(st);
            throw EDatabaseError(QStringLiteral("Only one SQL statement can be executed at a time"));
        }
        if (next == tail) break;
        tail = next;
    }
    if (!st) throw EDatabaseError(QStringLiteral("The SQL statement is empty"));
    return st;
}

} // namespace

// ---------------------------------------------------------------- connection

TSQLConnection::TSQLConnection() = default;

TSQLConnection::~TSQLConnection()
{
    Close();
    for (TSQLQuery* q : queries) q->attached = nullptr;
}

bool TSQLConnection::Connected() const { return db != nullptr; }

void TSQLConnection::SetConnected(bool on)
{
    if (on) Open(); else Close();
}

void TSQLConnection::Open()
{
    if (db) return;
    QString path;
    bool failIfMissing = false;
    int timeout = 5000;
    for (const QString& line : Params) {
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0) continue;
        const QString key = line.left(eq).trimmed();
        const QString value = line.mid(eq + 1);
        if (EqualsIgnoringAsciiCase(key, QStringLiteral("Database"))) path = value;
        else if (EqualsIgnoringAsciiCase(key, QStringLiteral("FailIfMissing")))
            failIfMissing = EqualsIgnoringAsciiCase(value.trimmed(), QStringLiteral("True"));
        else if (EqualsIgnoringAsciiCase(key, QStringLiteral("BusyTimeout"))) {
            bool ok = false;
            const int ms = value.trimmed().toInt(&ok);
            if (ok && ms >= 0) timeout = ms;
        }
    }
    if (path.isEmpty()) throw EDatabaseError(QStringLiteral("No database file name given"));

    const int flags = SQLITE_OPEN_READWRITE | (failIfMissing ? 0 : SQLITE_OPEN_CREATE) | SQLITE_OPEN_NOMUTEX;
    sqlite3* h = nullptr;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &h, flags, nullptr);
    if (rc != SQLITE_OK) {
        const QString msg = EngineMessage(h);
        sqlite3_close_v2(h);
        throw EDatabaseError(msg);
    }
    sqlite3_extended_result_codes(h, 1);
    sqlite3_busy_timeout(h, timeout);
    busyTimeout = timeout;
    // The program's statements use double-quoted string literals.
    sqlite3_db_config(h, SQLITE_DBCONFIG_DQS_DML, 1, nullptr);
    sqlite3_db_config(h, SQLITE_DBCONFIG_DQS_DDL, 1, nullptr);
    // The engine's default page cache (2 MiB) is far smaller than a full
    // lichen index, so every statement would read its pages from the file
    // again. An upper bound only: pages are taken as they are read.
    sqlite3_exec(h, "PRAGMA cache_size = -65536", nullptr, nullptr, nullptr);
    db = h;
}

void TSQLConnection::Close()
{
    if (!db) return;
    for (TSQLQuery* q : queries) q->Finalize();
    sqlite3_close_v2(db);   // an open transaction is rolled back
    db = nullptr;
}

void TSQLConnection::EnsureOpen()
{
    if (!db) Open();
}

int TSQLConnection::ExecuteDirect(const QString& sql) { return ExecuteDirect(sql, {}); }

int TSQLConnection::ExecuteDirect(const QString& sql, const QVariantList& params)
{
    // One run of a statement prepared for it (finalised when it goes).
    TSQLStatement statement(*this, sql);
    statement.Bind(params);
    return statement.Execute();
}

void TSQLConnection::StartTransaction() { ExecuteDirect(QStringLiteral("BEGIN")); }
void TSQLConnection::Commit() { ExecuteDirect(QStringLiteral("COMMIT")); }
void TSQLConnection::Rollback() { ExecuteDirect(QStringLiteral("ROLLBACK")); }
bool TSQLConnection::InTransaction() const { return db && !sqlite3_get_autocommit(db); }

void TSQLConnection::SetBusyTimeout(int ms)
{
    busyTimeout = std::max(0, ms);
    if (db) sqlite3_busy_timeout(db, busyTimeout);
}

void TSQLConnection::EndRunningStatements()
{
    if (!db) return;
    for (TSQLQuery* q : queries) q->EndStatement();
    // Statements outside the queries are reset after every run; any other
    // still running is ended all the same.
    for (sqlite3_stmt* st = sqlite3_next_stmt(db, nullptr); st; st = sqlite3_next_stmt(db, st))
        if (sqlite3_stmt_busy(st)) sqlite3_reset(st);
}

// ----------------------------------------------------------------- statement

TSQLStatement::TSQLStatement(TSQLConnection& connection, const QString& sql)
{
    connection.EnsureOpen();
    db = connection.db;
    stmt = PrepareOne(db, sql);
}

TSQLStatement::~TSQLStatement() { sqlite3_finalize(stmt); }

void TSQLStatement::BindText(int index, QByteArrayView utf8)
{
    // A view of no bytes may have no address; the engine would bind NULL.
    static const char empty = 0;
    if (sqlite3_bind_text64(stmt, index, utf8.isEmpty() ? &empty : utf8.data(), sqlite3_uint64(utf8.size()), SQLITE_STATIC,
                            SQLITE_UTF8) != SQLITE_OK)
        throw EDatabaseError(EngineMessage(db));
}

void TSQLStatement::Bind(const QVariantList& params) { ::Bind(db, stmt, params); }

int TSQLStatement::Execute()
{
    const sqlite3_int64 before = sqlite3_total_changes64(db);
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {}
    if (rc != SQLITE_DONE) {
        try {
            Raise(db, rc);
        } catch (...) {
            sqlite3_reset(stmt);
            throw;
        }
    }
    sqlite3_reset(stmt);
    return sqlite3_total_changes64(db) != before ? sqlite3_changes(db) : 0;
}

// --------------------------------------------------------------------- field

int TField::Type() const
{
    if (!query->heldRow.empty()) return sqlite3_value_type(query->heldRow[size_t(column)]);
    return sqlite3_column_type(query->stmt, column);
}

long long TField::Int64() const
{
    if (!query->heldRow.empty()) return sqlite3_value_int64(query->heldRow[size_t(column)]);
    return sqlite3_column_int64(query->stmt, column);
}

double TField::Double() const
{
    if (!query->heldRow.empty()) return sqlite3_value_double(query->heldRow[size_t(column)]);
    return sqlite3_column_double(query->stmt, column);
}

QByteArrayView TField::Text() const
{
    const char* p;
    int n;
    if (!query->heldRow.empty()) {
        sqlite3_value* v = query->heldRow[size_t(column)];
        p = reinterpret_cast<const char*>(sqlite3_value_text(v));
        n = sqlite3_value_bytes(v);
    } else {
        p = reinterpret_cast<const char*>(sqlite3_column_text(query->stmt, column));
        n = sqlite3_column_bytes(query->stmt, column);
    }
    return QByteArrayView(p, n);
}

QString TField::AsString() const
{
    if (!query || !query->hasRow) return {};
    switch (Type()) {
    case SQLITE_NULL: return {};
    case SQLITE_INTEGER: return QString::number(Int64());
    case SQLITE_FLOAT: return QString::number(Double(), 'g', QLocale::FloatingPointShortest);
    default: return QString::fromUtf8(Text());
    }
}

QByteArray TField::AsUtf8() const
{
    if (!query || !query->hasRow) return {};
    switch (Type()) {
    case SQLITE_NULL: return {};
    case SQLITE_TEXT:
    case SQLITE_BLOB: return Text().toByteArray();
    default: return AsString().toUtf8();
    }
}

long long TField::AsLargeInt() const
{
    if (!query || !query->hasRow) return 0;
    return Int64();
}

int TField::AsInteger() const
{
    const long long v = AsLargeInt();
    return int(std::clamp<long long>(v, INT32_MIN, INT32_MAX));
}

double TField::AsFloat() const
{
    if (!query || !query->hasRow) return 0.0;
    return Double();
}

bool TField::IsNull() const
{
    if (!query || !query->hasRow) return true;
    return Type() == SQLITE_NULL;
}

bool TField::IsInteger() const
{
    if (!query || !query->hasRow) return false;
    return Type() == SQLITE_INTEGER;
}

bool TField::TextBytes(QByteArrayView& bytes) const
{
    if (!query || !query->hasRow) return false;
    const int type = Type();
    if (type == SQLITE_NULL || type == SQLITE_INTEGER || type == SQLITE_FLOAT) return false;
    bytes = Text();
    return true;
}

// --------------------------------------------------------------------- query

TSQLQuery::TSQLQuery(TSQLConnection* connection) : SQLConnection(connection) {}

TSQLQuery::~TSQLQuery()
{
    Finalize();
    Detach();
}

void TSQLQuery::Attach()
{
    if (attached == SQLConnection) return;
    Detach();
    if (SQLConnection) {
        SQLConnection->queries.push_back(this);
        attached = SQLConnection;
    }
}

void TSQLQuery::Detach()
{
    if (!attached) return;
    auto& v = attached->queries;
    v.erase(std::remove(v.begin(), v.end(), this), v.end());
    attached = nullptr;
}

void TSQLQuery::FreeHeldRow()
{
    for (sqlite3_value* v : heldRow) sqlite3_value_free(v);
    heldRow.clear();
}

void TSQLQuery::EndStatement()
{
    if (!stmt || !sqlite3_stmt_busy(stmt)) return;
    if (hasRow && heldRow.empty()) {
        const int n = sqlite3_column_count(stmt);
        heldRow.reserve(size_t(n));
        for (int i = 0; i < n; ++i) {
            sqlite3_value* v = sqlite3_value_dup(sqlite3_column_value(stmt, i));
            if (!v) {
                FreeHeldRow();
                throw EDatabaseError(QStringLiteral("out of memory"));
            }
            heldRow.push_back(v);
        }
    }
    sqlite3_reset(stmt);
}

void TSQLQuery::Finalize()
{
    FreeHeldRow();
    if (stmt) sqlite3_finalize(stmt);
    stmt = nullptr;
    eof = true;
    hasRow = false;
    fields.clear();
}

void TSQLQuery::Open()
{
    Finalize();
    if (!SQLConnection) throw EDatabaseError(QStringLiteral("No connection assigned to the query"));
    SQLConnection->EnsureOpen();
    Attach();
    sqlite3* db = SQLConnection->db;
    sqlite3_stmt* st = PrepareOne(db, SQL);
    try {
        Bind(db, st, Params);
    } catch (...) {
        sqlite3_finalize(st);
        throw;
    }
    stmt = st;
    const int n = sqlite3_column_count(st);
    for (int i = 0; i < n; ++i) {
        auto f = std::make_unique<TField>();
        const char* name = sqlite3_column_name(st, i);
        f->FieldName = name ? QString::fromUtf8(name) : QStringLiteral("Column%1").arg(i);
        f->query = this;
        f->column = i;
        fields.push_back(std::move(f));
    }
    try {
        Step();
    } catch (...) {
        Finalize();
        throw;
    }
}

void TSQLQuery::Close() { Finalize(); }

bool TSQLQuery::Active() const { return stmt != nullptr; }

void TSQLQuery::Step()
{
    const int rc = sqlite3_step(stmt);
    if (rc == SQLITE_ROW) {
        hasRow = true;
        eof = false;
    } else if (rc == SQLITE_DONE) {
        hasRow = false;
        eof = true;
    } else {
        hasRow = false;
        eof = true;
        Raise(SQLConnection ? SQLConnection->db : nullptr, rc);
    }
}

void TSQLQuery::First()
{
    if (!stmt) { Open(); return; }
    FreeHeldRow();
    sqlite3_reset(stmt);
    try {
        Step();
    } catch (...) {
        Finalize();
        throw;
    }
}

void TSQLQuery::Next()
{
    if (!stmt || eof) return;
    if (!heldRow.empty() || !sqlite3_stmt_busy(stmt)) {
        // The statement was ended on this row: the walk ends here.
        FreeHeldRow();
        hasRow = false;
        eof = true;
        return;
    }
    try {
        Step();
    } catch (...) {
        Finalize();
        throw;
    }
}

bool TSQLQuery::Eof() const { return !stmt || eof; }

TField& TSQLQuery::FieldByName(const QString& name)
{
    for (auto& f : fields)
        if (EqualsIgnoringAsciiCase(f->FieldName, name)) return *f;
    // Every column is also reachable by position, so an expression such as
    // Count(*) is "Column0".
    if (name.size() > 6 && EqualsIgnoringAsciiCase(name.left(6), QStringLiteral("Column"))) {
        bool ok = false;
        const QString digits = name.mid(6);
        const int i = digits.toInt(&ok);
        if (ok && i >= 0 && i < int(fields.size()) && digits == QString::number(i)) return *fields[size_t(i)];
    }
    throw EFieldNotFound(QStringLiteral("Field '%1' not found").arg(name));
}

int TSQLQuery::FieldCount() const { return int(fields.size()); }

QString TSQLQuery::FieldNameAt(int i) const
{
    if (i < 0 || i >= int(fields.size())) return {};
    return fields[size_t(i)]->FieldName;
}
