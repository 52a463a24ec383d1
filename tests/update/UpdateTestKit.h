#pragma once
// Doubles and fixture shared by the data-update tests: a wait window that
// records what the update does with it, and a real database file in a temporary folder that is also the
// current directory (for "UpdateDates.txt").
#include "CaseNames.h"
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

    QByteArray DatesFile() const
    {
        QFile file(db.Dir() + "/UpdateDates.txt");
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<none>");
    }

    QStringList TableRows(const QString& sql) { return QueryRows(db, sql); }

    FixtureDb db;
    TSQLConnection connection;
    RecordingProgress progress;

private:
    QString previousDir;
};

#include "framework/NetHTTP.h"
#include <map>
#include <utility>
#include <vector>

// A fetch over HTTP as the program's text fetch behaves towards the update:
// the body of a complete answer with the commas before double quotes
// removed, the empty text after any failure.
inline QByteArray FetchLikeProgram(const QString& address)
{
    TNetHTTPRequest request;
    request.IsTextRequest = true;
    request.OnRequestError = [](TNetHTTPRequest*, const QString&) {};
    QByteArray body = request.Get(address);
    body.replace(",\"", "\"");
    return body;
}

// A metabolite answer in the portal's shape, one record per line; each
// record is its fields after the id ("\"name\":\"X\",\"A\":1").
inline QByteArray PortalMetaboliteAnswer(const QList<QByteArray>& records)
{
    QByteArray text = "{\"count\":" + QByteArray::number(records.size()) + ",\"results\":[\n";
    for (int i = 0; i < records.size(); ++i)
        text += (i ? ",\n" : "") + ("{\"id\":" + QByteArray::number(i + 1) + "," + records[i] + "}");
    return text + "\n],\"next\":null}";
}

// A morphology-attribute answer in the portal's shape, one record per line:
// "count" is the number of all records of the attribute (left out when
// negative), "results" the records of this page. A pair of two empty texts
// is a record with neither a substance nor a lichen (both null).
inline QByteArray MorphologyAnswer(const std::vector<std::pair<QString, QString>>& substanceAndLichen,
                                   qint64 count)
{
    QByteArray text = "{";
    if (count >= 0)
        text += "\"count\":" + QByteArray::number(count) + ",";
    text += "\"results\":[\n";
    bool first = true;
    int id = 1;
    auto quoted = [](const QString& value) -> QByteArray { return value.isEmpty() ? "null" : '"' + value.toUtf8() + '"'; };
    for (const auto& [substance, lichen] : substanceAndLichen) {
        if (!first)
            text += ",\n";
        first = false;
        text += "{\"id\":" + QByteArray::number(id) + ",\"charStateName\":" + quoted(substance)
                + ",\"taxon\":{\"tid\":" + QByteArray::number(id + 1000) + ",\"sciname\":" + quoted(lichen)
                + ",\"author\":\"(L.) Ach.\"}}";
        ++id;
    }
    text += "\n]}";
    return text;
}

inline QByteArray MorphologyAnswer(const std::vector<std::pair<QString, QString>>& substanceAndLichen)
{
    return MorphologyAnswer(substanceAndLichen, qint64(substanceAndLichen.size()));
}
