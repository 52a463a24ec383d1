#pragma once
// The database layer over sqlite3: one connection configured by parameter
// lines, direct execution of one statement, and a query object that walks
// rows and reads fields by name. Failures raise EDatabaseError with the
// engine's message.
#include "framework/Exceptions.h"
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <memory>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;
struct sqlite3_value;
class TSQLQuery;

// The engine could not get at the file because another connection holds a
// lock on it (busy or locked); nothing was changed by the failing statement.
class EDatabaseLocked : public EDatabaseError { using EDatabaseError::EDatabaseError; };

class TSQLConnection {
public:
    TSQLConnection();
    ~TSQLConnection();
    TSQLConnection(const TSQLConnection&) = delete;
    TSQLConnection& operator=(const TSQLConnection&) = delete;

    // Parameter lines: "DriverName=Sqlite", "FailIfMissing=True" (open
    // read-write, never create), "Database=<path>", "BusyTimeout=<ms>" (how
    // long a statement waits for another connection's lock, 5000 unless
    // given).
    QStringList Params;
    QString DriverName = "Sqlite";

    bool Connected() const;
    void SetConnected(bool on);   // true = Open(), false = Close()
    void Open();
    void Close();                  // also finalises the statements of its queries

    // Runs exactly one statement (a non-blank tail is an error); returns the
    // number of rows changed. Parameters are bound in order (?1, ?2 ... or ?).
    int ExecuteDirect(const QString& sql);
    int ExecuteDirect(const QString& sql, const QVariantList& params);

    void StartTransaction();
    void Commit();
    void Rollback();
    // True while a transaction is open. The engine ends one by itself on
    // some failures (a trigger's RAISE(ROLLBACK), a full disk, an I/O
    // error), so after a failure this, not the outcome of ROLLBACK, tells
    // whether uncommitted changes may still be pending.
    bool InTransaction() const;

    // How long, in milliseconds, a statement of the open connection waits
    // for another connection's lock before it fails with EDatabaseLocked
    // (0: at once). Open() takes it from the "BusyTimeout" line again.
    int BusyTimeout() const { return busyTimeout; }
    void SetBusyTimeout(int ms);

    // Ends every statement still running on the connection, keeping the row
    // each query stands on readable (EndStatement). A running statement
    // holds a read open, and while one does the engine refuses to change the
    // schema ("database table is locked"), even for this connection.
    void EndRunningStatements();

    sqlite3* Handle() const { return db; }

private:
    friend class TSQLQuery;
    friend class TSQLStatement;
    void EnsureOpen();
    sqlite3* db = nullptr;
    int busyTimeout = 5000;
    std::vector<TSQLQuery*> queries;
};

// One statement prepared once and run many times with new parameters (bulk
// inserts). Prepared on construction; finalised on destruction, which must
// come before the connection is closed.
class TSQLStatement {
public:
    TSQLStatement(TSQLConnection& connection, const QString& sql);
    ~TSQLStatement();
    TSQLStatement(const TSQLStatement&) = delete;
    TSQLStatement& operator=(const TSQLStatement&) = delete;

    // Binds UTF-8 text to parameter `index` (from 1). The bytes are not
    // copied: they must stay unchanged until Execute has returned.
    void BindText(int index, QByteArrayView utf8);
    // Binds all parameters in order, as ExecuteDirect does.
    void Bind(const QVariantList& params);
    // Runs the statement with the parameters bound, then makes it ready for
    // the next run; returns the number of rows changed.
    int Execute();

private:
    sqlite3* db = nullptr;
    sqlite3_stmt* stmt = nullptr;
};

// One field of the current row of a query.
class TField {
public:
    QString FieldName;
    QString AsString() const;   // integers as decimal digits, NULL and no row as ""
    QByteArray AsUtf8() const;  // the same text as UTF-8

    int AsInteger() const;      // NULL and no row as 0
    long long AsLargeInt() const;
    double AsFloat() const;
    bool IsNull() const;
    // For readers of many rows that share equal texts: whether the value is
    // stored as a whole number, and the bytes AsString decodes when it is
    // stored as text (valid until the next row; false for other values).
    bool IsInteger() const;
    bool TextBytes(QByteArrayView& bytes) const;
private:
    friend class TSQLQuery;
    // The value of the current row, from the running statement or from the
    // copy EndStatement kept; only called while the query has a row.
    int Type() const;
    long long Int64() const;
    double Double() const;
    QByteArrayView Text() const;
    TSQLQuery* query = nullptr;
    int column = -1;
};

class TSQLQuery {
public:
    explicit TSQLQuery(TSQLConnection* connection = nullptr);
    ~TSQLQuery();
    TSQLQuery(const TSQLQuery&) = delete;
    TSQLQuery& operator=(const TSQLQuery&) = delete;

    TSQLConnection* SQLConnection = nullptr;
    QString SQL;            // the statement text; Open() prepares it
    QVariantList Params;    // bound in order when Open() runs

    void Open();            // finalises any previous statement, prepares, steps to row 1
    void Close();
    bool Active() const;
    void SetActive(bool on) { if (on) Open(); else Close(); }
    void First();           // re-runs the statement and stands on its first row
    void Next();
    bool Eof() const;

    // Ends the running statement once the caller is done with the rows that
    // follow: the current row stays readable (its values are copied), Eof()
    // stays as it was, and a later Next() ends the walk. For look-ups that
    // read one row and for anything that must not leave a read open.
    void EndStatement();

    // Matched ignoring ASCII case; expression columns are also "Column<i>".
    // An unknown name raises EFieldNotFound.
    TField& FieldByName(const QString& name);
    int FieldCount() const;
    QString FieldNameAt(int i) const;

private:
    friend class TField;
    friend class TSQLConnection;
    void Finalize();
    void FreeHeldRow();
    void Step();
    sqlite3_stmt* stmt = nullptr;
    std::vector<sqlite3_value*> heldRow;   // the current row after EndStatement
    bool eof = true;
    bool hasRow = false;
    void Attach();
    void Detach();
    std::vector<std::unique_ptr<TField>> fields;
    TSQLConnection* attached = nullptr;   // the connection that knows this query
};
