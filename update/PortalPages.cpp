#include "update/PortalPages.h"
#include "framework/Text.h"
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <cmath>
#include <algorithm>
#include <cstring>
#include <functional>
#include <future>

namespace {

// A form of the value that two equal values share whatever the bytes that
// sent them (blanks, key order, escapes): a type tag, then the content,
// texts and members with their lengths, so no two values run together.
void AppendCanonical(const QJsonValue& value, QByteArray& out)
{
    auto appendSize = [&out](qsizetype n) {
        const qint64 size = n;
        out.append(reinterpret_cast<const char*>(&size), sizeof size);
    };
    auto appendText = [&](const QString& text) {
        appendSize(text.size());
        out.append(reinterpret_cast<const char*>(text.constData()), text.size() * qsizetype(sizeof(QChar)));
    };
    switch (value.type()) {
    case QJsonValue::Null:
        out.append('n');
        break;
    case QJsonValue::Bool:
        out.append(value.toBool() ? 't' : 'f');
        break;
    case QJsonValue::Double: {
        out.append('d');
        const double number = value.toDouble();
        out.append(reinterpret_cast<const char*>(&number), sizeof number);
        break;
    }
    case QJsonValue::String:
        out.append('s');
        appendText(value.toString());
        break;
    case QJsonValue::Array: {
        const QJsonArray array = value.toArray();
        out.append('a');
        appendSize(array.size());
        for (const QJsonValue& item : array)
            AppendCanonical(item, out);
        break;
    }
    case QJsonValue::Object: {
        const QJsonObject object = value.toObject();
        out.append('o');
        appendSize(object.size());
        // The members come in the order of their keys.
        for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
            appendText(it.key());
            AppendCanonical(it.value(), out);
        }
        break;
    }
    case QJsonValue::Undefined:
        out.append('u');
        break;
    }
}

size_t ContentKey(const QJsonValue& value, QByteArray& canonical)
{
    canonical.clear();
    AppendCanonical(value, canonical);
    return qHash(canonical, 0);
}

// The keys of the entries that are objects, in order. Hashing takes about
// as long as reading the page, so a long list is hashed in parts by helper
// threads, each on a copy of its own (the copies share the data, which all
// of them only read).
std::vector<size_t> RecordKeysOf(const QJsonArray& entries)
{
    constexpr qsizetype PartSize = 2500;
    constexpr qsizetype MostParts = 4;
    auto keysOf = [](const QJsonArray list, qsizetype from, qsizetype to) {
        std::vector<size_t> keys;
        keys.reserve(size_t(to - from));
        QByteArray canonical;
        for (qsizetype i = from; i < to; ++i) {
            const QJsonValue entry = list.at(i);
            if (entry.isObject())
                keys.push_back(ContentKey(entry, canonical));
        }
        return keys;
    };
    const qsizetype n = entries.size();
    const qsizetype parts = std::clamp<qsizetype>(n / PartSize, 1, MostParts);
    std::vector<std::future<std::vector<size_t>>> others;
    for (qsizetype p = 1; p < parts; ++p)
        others.push_back(std::async(std::launch::async, keysOf, entries, n * p / parts, n * (p + 1) / parts));
    std::vector<size_t> keys = keysOf(entries, 0, n / parts);
    for (auto& other : others) {
        const std::vector<size_t> part = other.get();
        keys.insert(keys.end(), part.begin(), part.end());
    }
    return keys;
}

}

namespace {

bool IsJsonBlank(char c) { return c == ' ' || c == '\n' || c == '\r' || c == '\t'; }

qsizetype SkipBlanks(const QByteArray& text, qsizetype i)
{
    while (i < text.size() && IsJsonBlank(text[i]))
        ++i;
    return i;
}

// The end of the string whose opening quote is at `i`.
qsizetype SkipString(const QByteArray& text, qsizetype i)
{
    const char* s = text.constData();
    const qsizetype n = text.size();
    for (++i; i < n; ++i) {
        if (s[i] == '\\')
            ++i;
        else if (s[i] == '"')
            return i + 1;
    }
    return n;
}

// The end of the value that starts at `i`: a string, an object or list with
// everything inside it, or a bare word (the decoding may have dropped the
// comma after it, so a quote ends it as well).
qsizetype SkipValue(const QByteArray& text, qsizetype i)
{
    const char* s = text.constData();
    const qsizetype n = text.size();
    if (i >= n)
        return n;
    if (s[i] == '"')
        return SkipString(text, i);
    if (s[i] == '{' || s[i] == '[') {
        int depth = 0;
        while (i < n) {
            const char c = s[i];
            if (c == '"') {
                i = SkipString(text, i);
                continue;
            }
            if (c == '{' || c == '[')
                ++depth;
            else if ((c == '}' || c == ']') && --depth == 0)
                return i + 1;
            ++i;
        }
        return n;
    }
    while (i < n && !IsJsonBlank(s[i]) && s[i] != ',' && s[i] != '}' && s[i] != ']' && s[i] != '"')
        ++i;
    return i;
}

// Whether a key (its quotes included) reads `name` as the JSON reader reads
// it, escapes decoded: the reader itself reads a key with escapes.
bool ReadsKey(QByteArrayView key, QLatin1StringView name)
{
    if (key.size() == name.size() + 2 && key.front() == '"' && key.back() == '"'
        && key.sliced(1, name.size()) == QByteArrayView(name.data(), name.size()))
        return true;
    if (!key.contains('\\'))
        return false;
    const QJsonDocument read = QJsonDocument::fromJson("[" + key.toByteArray() + "]");
    return read.isArray() && read.array().at(0).toString() == name;
}

// Walks the members of the object the text holds, in order: `member` gets
// each key as written (quotes included) and where its value begins and
// ends, and may stop the walk by returning false. False when stopped, or
// when the text is no object as far as the walk can tell (cut off, another
// value, a key without its colon). A UTF-8 byte order mark before it is
// passed over, as the JSON reader passes it.
bool ForEachMember(const QByteArray& text,
                   const std::function<bool(QByteArrayView key, qsizetype valueAt, qsizetype valueEnd)>& member)
{
    qsizetype i = SkipBlanks(text, text.startsWith("\xEF\xBB\xBF") ? 3 : 0);
    if (i >= text.size() || text[i] != '{')
        return false;
    ++i;
    while (true) {
        i = SkipBlanks(text, i);
        if (i >= text.size())
            return false;
        if (text[i] == '}')
            return true;
        if (text[i] == ',') {
            ++i;
            continue;
        }
        if (text[i] != '"')
            return false;
        const qsizetype keyAt = i;
        i = SkipString(text, i);
        const QByteArrayView key = QByteArrayView(text).sliced(keyAt, i - keyAt);
        i = SkipBlanks(text, i);
        if (i >= text.size() || text[i] != ':')
            return false;
        const qsizetype valueAt = SkipBlanks(text, i + 1);
        i = SkipValue(text, valueAt);
        if (!member(key, valueAt, i))
            return false;
    }
}

}

TPortalPage ReadPortalPage(const QByteArray& body)
{
    TPortalPage page;
    // The JSON reader needs UTF-8; a body in Windows-1252 is read as the
    // text decoding reads it. The structure itself is ASCII either way.
    const QByteArray json = IsValidUtf8(body) ? body : DecodeWindows1252(body).toUtf8();
    const QJsonDocument document = QJsonDocument::fromJson(json);
    if (!document.isObject())
        return page;
    const QJsonObject answer = document.object();
    const QJsonValue results = answer.value(QLatin1String("results"));
    if (!results.isArray())
        return page;
    // The reader keeps the last of two members of one name; a second count
    // is found in the text only.
    int counts = 0;
    ForEachMember(json, [&counts](QByteArrayView key, qsizetype, qsizetype) {
        counts += ReadsKey(key, QLatin1StringView("count")) ? 1 : 0;
        return counts < 2;
    });
    if (counts > 1)
        return page;
    page.IsList = true;
    const QJsonValue count = answer.value(QLatin1String("count"));
    if (count.isDouble()) {
        const double number = count.toDouble();
        if (number >= 0 && number < 9.0e15 && std::floor(number) == number)
            page.Count = qint64(number);
    }
    const QJsonArray entries = results.toArray();
    page.Entries = entries.size();
    page.RecordKeys = RecordKeysOf(entries);
    if (!entries.isEmpty()) {
        QByteArray canonical;
        const QJsonValue first = entries.first();
        page.FirstIsRecord = first.isObject();
        page.FirstKey = page.FirstIsRecord ? page.RecordKeys.front() : ContentKey(first, canonical);
        const QJsonValue last = entries.last();
        page.LastKey = last.isObject() ? page.RecordKeys.back() : ContentKey(last, canonical);
    }
    return page;
}

std::optional<TResultsText> ResultsListText(const QByteArray& decoded)
{
    std::optional<TResultsText> list;
    bool heldSomething = false;   // a "results" so far holds more than an empty list
    const bool walked = ForEachMember(decoded, [&](QByteArrayView key, qsizetype valueAt, qsizetype valueEnd) {
        if (!ReadsKey(key, QLatin1StringView("results")))
            return true;
        // A later "results" replaces an earlier one in the JSON reader, but
        // the text of the earlier one stays; and a key that lost the comma
        // before its closing quote reads "results" here only. Either way the
        // text cannot show which list is the reader's, unless every earlier
        // one is an empty list.
        if (heldSomething)
            return false;
        list.reset();
        if (valueAt >= decoded.size() || decoded[valueAt] != '[') {
            heldSomething = true;
            return true;
        }
        TResultsText found{{valueAt, valueEnd}, std::nullopt};
        const qsizetype entryAt = SkipBlanks(decoded, valueAt + 1);
        if (entryAt < valueEnd && decoded[entryAt] != ']') {
            heldSomething = true;
            found.First = TTextSpan{entryAt - valueAt, SkipValue(decoded, entryAt) - valueAt};
        }
        list = found;
        return true;
    });
    return walked ? list : std::nullopt;
}

TPortalPaging::TStep TPortalPaging::Take(const TPortalPage& page)
{
    ++pages;
    const bool overlapping = Overlapping();
    // A later page begins with the entry received last; anything else there
    // means records moved below or above the offset since the page before.
    if (overlapping && page.Entries > 0 && page.FirstKey != lastKey)
        return TStep::Corrupt;
    const qint64 fresh = overlapping && page.Entries > 0 ? page.Entries - 1 : page.Entries;

    // Records of this page are compared with the earlier pages only: the
    // same record twice within one page is the portal's own listing.
    const size_t firstFresh = RepeatedRecords(page);
    for (size_t k = firstFresh; k < page.RecordKeys.size(); ++k)
        if (seen.contains(page.RecordKeys[k]))
            return TStep::Corrupt;
    for (size_t k = firstFresh; k < page.RecordKeys.size(); ++k)
        seen.insert(page.RecordKeys[k]);

    const qint64 arrived = received + fresh;
    if (page.Count >= arrived)
        count = page.Count;
    else if (count >= 0 && arrived > count)
        return TStep::Corrupt;   // more records than the rest of the count said before
    // A count below what has arrived is not believed; a count believed
    // earlier still stands.
    received = arrived;
    if (page.Entries > 0)
        lastKey = page.LastKey;

    // Not even the repeated entry came back: the list lost it, or the
    // portal failed to send the rest it spoke of (by its count, or by a
    // full page before).
    if (overlapping && page.Entries == 0)
        return TStep::Corrupt;
    // Nothing past the repeated entry while the count believed so far says
    // more than have arrived: the portal stopped short of the rest, whether
    // this page repeats that count, drops it or gives a lower one.
    if (overlapping && fresh == 0 && count > received)
        return TStep::Corrupt;
    const bool more = fresh > 0 && (count >= 0 ? count > received : page.Entries >= limit);
    if (!more)
        return TStep::Done;
    if (pages >= pageCap)
        return TStep::Corrupt;
    return TStep::Next;
}
