#include "support/FakePortal.h"

#include <QUrlQuery>
#include <algorithm>
#include <memory>

PortalQuery ReadPortalQuery(const QString& target)
{
    PortalQuery query;
    const qsizetype mark = target.indexOf('?');
    if (mark < 0)
        return query;
    const QUrlQuery items(target.mid(mark + 1));
    bool ok = false;
    const qint64 limit = items.queryItemValue("limit").toLongLong(&ok);
    if (ok && limit >= 0)
        query.Limit = limit;
    const qint64 offset = items.queryItemValue("offset").toLongLong(&ok);
    if (ok && offset >= 0)
        query.Offset = offset;
    return query;
}

QByteArray PortalEnvelope(PortalQuery echo, qint64 count, const std::vector<QByteArray>& records, qint64 first,
                          qint64 last)
{
    QByteArray text = "{\"offset\":" + QByteArray::number(echo.Offset);
    if (echo.Limit >= 0)
        text += ",\"limit\":" + QByteArray::number(echo.Limit);
    if (count >= 0)
        text += ",\"count\":" + QByteArray::number(count);
    text += ",\"results\":[";
    first = std::clamp<qint64>(first, 0, qint64(records.size()));
    last = std::clamp<qint64>(last, first, qint64(records.size()));
    for (qint64 i = first; i < last; ++i) {
        text += i > first ? ",\n" : "\n";
        text += records[size_t(i)];
    }
    return text + "\n]}";
}

QByteArray PortalListAnswer(const std::vector<QByteArray>& records, const QString& target)
{
    const PortalQuery query = ReadPortalQuery(target);
    const qint64 total = qint64(records.size());
    const qint64 last = query.Limit < 0 ? total : std::min(total, query.Offset + query.Limit);
    return PortalEnvelope(query, total, records, query.Offset, last);
}

std::vector<QByteArray> MovedList(const std::vector<QByteArray>& records, qint64 lostAtFront,
                                  const std::vector<QByteArray>& gainedAtEnd)
{
    const auto from = records.begin() + std::clamp<qint64>(lostAtFront, 0, qint64(records.size()));
    std::vector<QByteArray> moved(from, records.end());
    moved.insert(moved.end(), gainedAtEnd.begin(), gainedAtEnd.end());
    return moved;
}

void ServePortalList(FakeHttpServer& server, const QString& path, std::vector<QByteArray> records)
{
    auto shared = std::make_shared<const std::vector<QByteArray>>(std::move(records));
    server.RoutePrefix(path + "?", [shared](const QString& target) {
        return FakeResponse::Ok(PortalListAnswer(*shared, target), "application/json");
    });
}

const std::vector<StrayPlace> StrayPlaces = {
    {"in a nested results list before the list", R"("meta":{"results":[%1]})", true},
    {"in an object under another key before the list", R"("meta":{"x":%1})", true},
    {"in a list under another key before the list", R"("other":[%1])", true},
    {"in a nested results list after the list", R"("meta":{"results":[%1]})", false},
    {"in an object under another key after the list", R"("meta":{"x":%1})", false},
    {"in a list under another key after the list", R"("other":[%1])", false},
};

QByteArray WithStray(const QByteArray& page, const QByteArray& record, const StrayPlace& place)
{
    const QByteArray member = QByteArray(place.Member).replace("%1", record);
    // The envelope opens with its offset and closes with the list.
    if (place.BeforeList)
        return "{" + member + "," + page.mid(1);
    return page.chopped(1) + "," + member + "}";
}
