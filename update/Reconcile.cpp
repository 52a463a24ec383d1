#include "update/Reconcile.h"
#include "update/UpdateSql.h"
#include "core/RecordText.h"
#include "framework/Database.h"
#include "framework/Text.h"
#include <QSet>

namespace {

bool IsAsciiLetterByte(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// The runs of ASCII letters of a token, at most the first two.
int FirstWords(const QByteArray& token, QByteArray& first, QByteArray& second)
{
    int found = 0;
    int i = 0;
    const int n = int(token.size());
    while (i < n && found < 2) {
        while (i < n && !IsAsciiLetterByte(token[i]))
            ++i;
        const int start = i;
        while (i < n && IsAsciiLetterByte(token[i]))
            ++i;
        if (i > start) {
            (found == 0 ? first : second) = token.mid(start, i - start);
            ++found;
        }
    }
    return found;
}

// Cuts the token at the first occurrence of a qualifier; `keep` bytes of the
// match stay.
void CutAt(QByteArray& token, const char* qualifier, int keep = 0)
{
    const qsizetype p = token.indexOf(qualifier);
    if (p >= 0)
        token.truncate(p + keep);
}

QString PairKey(const QString& lichen, const QString& substance)
{
    return AsciiLower(lichen) + QChar(u'\x1f') + AsciiLower(substance);
}

bool HasLikeWildcard(const QString& s)
{
    return s.contains('%') || s.contains('_');
}

}

std::vector<TLichenRow> ReconcileLichenNames(const std::vector<TSubstanceLichens>& substances,
                                             QByteArray& currentGenus)
{
    std::vector<TLichenRow> rows;
    TLichenRow row;
    for (const TSubstanceLichens& substance : substances) {
        row.Substance = substance.Name;
        QString remaining = substance.Lichens;
        QByteArray previousWord;
        while (remaining.size() >= 6) {
            QByteArray token = Trim(SplitOff(remaining, ", ", true)).toUtf8();
            if (token == "," || token == "and")
                continue;
            CutAt(token, "subsp.");
            CutAt(token, "ssp.");
            CutAt(token, "sp.");
            CutAt(token, "var.");
            CutAt(token, " ssp ", 1);
            token = TrimAnsi(token);

            // A token without any letter (a lone qualifier, an empty piece,
            // digits) names no lichen: it makes no row and leaves the genus
            // carried to the next name as it was.
            QByteArray first, second;
            const int words = FirstWords(token, first, second);
            if (words == 0)
                continue;

            const qsizetype blank = token.indexOf(' ') + 1;
            if (blank == 0)
                currentGenus = token;
            else if (blank > 3 && token.size() > 10)
                currentGenus = TrimAnsi(token.left(blank));
            const bool abbreviated = (token.size() >= 2 && token[1] == '.')
                                     || (token.size() >= 3 && token[2] == '.');
            if (abbreviated && !previousWord.isEmpty())
                currentGenus = previousWord;
            row.Genus = QString::fromUtf8(currentGenus);

            currentGenus = first;
            row.Lichen = QString::fromUtf8(words == 1 ? first : first + ' ' + second);
            previousWord = first;
            rows.push_back(row);
        }
    }
    return rows;
}

std::vector<TSubstanceLichens> ReadSubstanceLichens(TSQLConnection& connection)
{
    std::vector<TSubstanceLichens> substances;
    TSQLQuery query(&connection);
    query.SQL = "SELECT name, Lichens FROM Substances";
    query.Open();
    for (; !query.Eof(); query.Next())
        substances.push_back({query.FieldByName("name").AsString(),
                              query.FieldByName("Lichens").AsString()});
    query.Close();
    return substances;
}

int InsertMissingLichenRows(TSQLConnection& connection, const std::vector<TLichenRow>& rows)
{
    connection.StartTransaction();
    int inserted = 0;
    try {
        // The pairs the table holds, keyed as LIKE compares them; a substance
        // name with a LIKE wildcard is asked of the engine itself so that it
        // matches exactly what LIKE would.
        QSet<QString> pairs;
        {
            TSQLQuery query(&connection);
            query.SQL = "SELECT Lichen, Substance FROM Lichens";
            query.Open();
            for (; !query.Eof(); query.Next())
                pairs.insert(PairKey(query.FieldByName("Lichen").AsString(),
                                     query.FieldByName("Substance").AsString()));
            query.Close();
        }
        TSQLQuery likeQuery(&connection);
        for (const TLichenRow& row : rows) {
            const QString key = PairKey(row.Lichen, row.Substance);
            bool exists = pairs.contains(key);
            if (!exists && (HasLikeWildcard(row.Lichen) || HasLikeWildcard(row.Substance))) {
                likeQuery.SQL = "SELECT Count(*) FROM Lichens WHERE Lichen LIKE ?1 AND Substance LIKE ?2";
                likeQuery.Params = {row.Lichen, row.Substance};
                likeQuery.Open();
                exists = likeQuery.FieldByName("Column0").AsInteger() > 0;
                likeQuery.Close();
            }
            if (exists)
                continue;
            connection.ExecuteDirect("INSERT INTO Lichens (Lichen,Substance,Genus) VALUES (?1,?2,?3)",
                                     {row.Lichen, row.Substance, row.Genus});
            pairs.insert(key);
            ++inserted;
        }
        connection.Commit();
    } catch (...) {
        RollbackQuietly(connection);
        throw;
    }
    return inserted;
}
