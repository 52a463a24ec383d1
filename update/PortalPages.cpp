#include "update/PortalPages.h"
#include "framework/Text.h"
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <cmath>
#include <cstring>

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

}

TPortalPage ReadPortalPage(const QByteArray& body)
{
    TPortalPage page;
    // The JSON reader needs UTF-8; a body in Windows-1252 is read as the
    // text decoding reads it. The structure itself is ASCII either way.
    const QJsonDocument document =
        QJsonDocument::fromJson(IsValidUtf8(body) ? body : DecodeWindows1252(body).toUtf8());
    if (!document.isObject())
        return page;
    const QJsonObject answer = document.object();
    const QJsonValue results = answer.value(QLatin1String("results"));
    if (!results.isArray())
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
    page.RecordKeys.reserve(size_t(entries.size()));
    QByteArray canonical;
    for (const QJsonValue& entry : entries) {
        if (!entry.isObject())
            continue;
        canonical.clear();
        AppendCanonical(entry, canonical);
        page.RecordKeys.push_back(qHash(canonical, 0));
    }
    return page;
}

TPortalPaging::TStep TPortalPaging::Take(const TPortalPage& page)
{
    ++pages;
    // Records of this page are compared with the earlier pages only: the
    // same record twice within one page is the portal's own listing.
    for (size_t key : page.RecordKeys)
        if (seen.contains(key))
            return TStep::Corrupt;
    for (size_t key : page.RecordKeys)
        seen.insert(key);

    const qint64 arrived = received + page.Entries;
    if (page.Count >= arrived)
        count = page.Count;
    else if (count >= 0 && arrived > count)
        return TStep::Corrupt;   // more records than the rest of the count said before
    // A count below what has arrived is not believed; a count believed
    // earlier still stands.
    received = arrived;

    const bool more = page.Entries > 0 && (count >= 0 ? count > received : page.Entries >= limit);
    if (!more)
        return TStep::Done;
    if (pages >= pageCap)
        return TStep::Corrupt;
    return TStep::Next;
}
