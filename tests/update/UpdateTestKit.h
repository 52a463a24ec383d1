#pragma once
// Doubles and fixture shared by the data-update tests: a wait window that
// records what the update does with it, and a real database file in a temporary folder that is also the
// current directory (for "UpdateDates.txt").
#include "CaseNames.h"
#include "support/FileBytes.h"
#include "support/FixtureDb.h"
#include "support/ScriptedDialogs.h"
#include "framework/Database.h"
#include "framework/Dialogs.h"
#include "framework/Text.h"
#include "update/UpdateDates.h"
#include "update/UpdateProgress.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <functional>
#include <memory>

// The rows of a query as "a|b|c" texts, NULL as "<null>".
inline QStringList QueryRows(FixtureDb& db, const QString& sql)
{
    QStringList out;
    for (const auto& row : db.Rows(sql)) {
        QStringList cells;
        for (const QVariant& v : row)
            cells << (v.isNull() ? QStringLiteral("<null>") : v.toString());
        out << cells.join('|');
    }
    return out;
}

class RecordingProgress : public IUpdateProgress {
public:
    void SetCaption(const QString& text) override { Events << "caption:" + text; Caption = text; }
    void SetLabel(const QString& text) override { Events << "label:" + text; Label = text; }
    void SetPosition(int position) override { Positions << position; Position = position; }
    void Show() override { Events << "show"; Visible = true; }
    void Hide() override { Events << "hide"; Visible = false; }
    void ProcessMessages() override
    {
        Events << "process";
        if (OnProcessMessages)
            OnProcessMessages();
    }
    QStringList Events;
    QList<int> Positions;
    QString Caption, Label;
    int Position = 0;
    bool Visible = true;   // the menu command shows the window before the update
    std::function<void()> OnProcessMessages;
};

// Database, doubles, a fixed clock and the current directory of one test.
class UpdateTest : public ::testing::Test {
protected:
    static constexpr long long FixedNow = 1700000000;

    void SetUp() override
    {
        previousDir = QDir::currentPath();
        QDir::setCurrent(db.Dir());
        SetUnixNowForTesting(FixedNow);
        SubstanceDataDate = "0";
        LichenDataDate = "0";
        connection.Params = db.ConnectionParams();
        connection.Open();
    }

    void TearDown() override
    {
        connection.Close();
        SetUnixNowForTesting(0);
        QDir::setCurrent(previousDir);
    }

    QStringList Messages() const { return TestDialogs().Messages(); }

    QByteArray DatesFile() const { return FileBytes(db.Dir() + "/UpdateDates.txt", "<none>"); }

    QStringList TableRows(const QString& sql) { return QueryRows(db, sql); }

    FixtureDb db;
    TSQLConnection connection;
    RecordingProgress progress;

private:
    QString previousDir;
};

#include "framework/NetHTTP.h"
#include "support/FakePortal.h"
#include <map>
#include <utility>
#include <vector>

// A fetch over HTTP as the program's fetch hands the body to the update: as
// it came, the empty text after any failure.
inline QByteArray FetchLikeProgram(const QString& address)
{
    TNetHTTPRequest request;
    request.IsTextRequest = true;
    request.OnRequestError = [](TNetHTTPRequest*, const QString&) {};
    return request.Get(address);
}

// The portal's list paths; the requests add "?limit=..&offset=..".
inline QString AttributePath(const char* id)
{
    return QString("/portal/api/v2/morphology/") + id + "/attribute";
}
const QString MetabolitePath = "/portal/api/v2/metabolite";

// Metabolite records as the portal lists them; each is its fields after
// the id ("\"name\":\"X\",\"A\":1").
inline std::vector<QByteArray> MetaboliteRecords(const QList<QByteArray>& fields)
{
    std::vector<QByteArray> records;
    for (int i = 0; i < fields.size(); ++i)
        records.push_back("{\"id\":" + QByteArray::number(i + 1) + "," + fields[i] + "}");
    return records;
}

// The records of one morphology attribute, one per pair of substance and
// lichen, numbered from `firstId`. A pair of two empty texts is a record
// with neither a substance nor a lichen (both null).
inline std::vector<QByteArray> MorphologyRecords(const std::vector<std::pair<QString, QString>>& substanceAndLichen,
                                                 int firstId = 1)
{
    std::vector<QByteArray> records;
    int id = firstId;
    auto quoted = [](const QString& value) -> QByteArray { return value.isEmpty() ? "null" : '"' + value.toUtf8() + '"'; };
    for (const auto& [substance, lichen] : substanceAndLichen) {
        records.push_back("{\"id\":" + QByteArray::number(id) + ",\"charStateName\":" + quoted(substance)
                          + ",\"taxon\":{\"tid\":" + QByteArray::number(id + 1000) + ",\"sciname\":" + quoted(lichen)
                          + ",\"author\":\"(L.) Ach.\"}}");
        ++id;
    }
    return records;
}
