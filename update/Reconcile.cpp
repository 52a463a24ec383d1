#include "update/Reconcile.h"
#include "update/UpdateSql.h"
#include "core/RecordText.h"
#include "framework/Database.h"
#include "framework/Text.h"
#include <QHash>
#include <QSet>

const QString LichenPairsSql = QStringLiteral("SELECT Lichen, Substance FROM Lichens NOT INDEXED");

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

// A text as UTF-8 with its ASCII letters in lower case, as LIKE compares
// them. Text the database holds as invalid UTF-8 is taken as reading it as
// text gives it.
QByteArray FoldedUtf8(QByteArray out)
{
    bool ascii = true;
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z')
            c = char(c + 32);
        else if (uchar(c) >= 0x80)
            ascii = false;
    }
    if (!ascii)
        out = QString::fromUtf8(out).toUtf8();
    return out;
}

QByteArray PairKey(const QByteArray& foldedLichen, const QByteArray& foldedSubstance)
{
    return foldedLichen + '\x1f' + foldedSubstance;
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
    const bool ownTransaction = !connection.InTransaction();
    if (ownTransaction)
        connection.StartTransaction();
    int inserted = 0;
    try {
        // The lichens asked about, folded as LIKE compares them; only the
        // table's pairs of these lichens can match.
        std::vector<QByteArray> foldedLichens;
        foldedLichens.reserve(rows.size());
        QSet<QByteArray> wanted;
        for (const TLichenRow& row : rows) {
            foldedLichens.push_back(FoldedUtf8(row.Lichen.toUtf8()));
            wanted.insert(foldedLichens.back());
        }

        // The pairs the table holds for them, keyed as LIKE compares; and
        // for each such lichen the substances as stored, for the names with
        // a LIKE wildcard.
        QSet<QByteArray> pairs;
        QHash<QByteArray, QStringList> substancesByLichen;
        {
            TSQLQuery query(&connection);
            query.SQL = LichenPairsSql;
            query.Open();
            TField& lichenField = query.FieldByName("Lichen");
            TField& substanceField = query.FieldByName("Substance");
            for (; !query.Eof(); query.Next()) {
                const QByteArray lichen = FoldedUtf8(lichenField.AsUtf8());
                if (!wanted.contains(lichen))
                    continue;
                const QByteArray substance = substanceField.AsUtf8();
                pairs.insert(PairKey(lichen, FoldedUtf8(substance)));
                substancesByLichen[lichen] << QString::fromUtf8(substance);
            }
            query.Close();
        }

        // A name with a LIKE wildcard is matched by the engine itself so that
        // it matches exactly what LIKE would: against the substances of its
        // lichen when the lichen is a plain name (as the names taken apart
        // here always are), otherwise against the whole table.
        TSQLQuery likeQuery(&connection);
        auto likeMatches = [&likeQuery](const QString& sql, const QVariantList& params) {
            likeQuery.SQL = sql;
            likeQuery.Params = params;
            likeQuery.Open();
            const bool matches = likeQuery.FieldByName("Column0").AsInteger() > 0;
            likeQuery.Close();
            return matches;
        };
        TSQLStatement insert(connection, "INSERT INTO Lichens (Lichen,Substance,Genus) VALUES (?1,?2,?3)");
        for (size_t r = 0; r < rows.size(); ++r) {
            const TLichenRow& row = rows[r];
            const QByteArray& lichen = foldedLichens[r];
            const QByteArray key = PairKey(lichen, FoldedUtf8(row.Substance.toUtf8()));
            bool exists = pairs.contains(key);
            if (!exists && HasLikeWildcard(row.Lichen)) {
                exists = likeMatches("SELECT Count(*) FROM Lichens WHERE Lichen LIKE ?1 AND Substance LIKE ?2",
                                     {row.Lichen, row.Substance});
            } else if (!exists && HasLikeWildcard(row.Substance)) {
                for (const QString& substance : substancesByLichen.value(lichen)) {
                    if (likeMatches("SELECT ?1 LIKE ?2", {substance, row.Substance})) {
                        exists = true;
                        break;
                    }
                }
            }
            if (exists)
                continue;
            insert.Bind({row.Lichen, row.Substance, row.Genus});
            insert.Execute();
            pairs.insert(key);
            substancesByLichen[lichen] << row.Substance;
            ++inserted;
        }
        if (ownTransaction)
            connection.Commit();
    } catch (...) {
        if (ownTransaction)
            RollbackQuietly(connection);
        throw;
    }
    return inserted;
}
