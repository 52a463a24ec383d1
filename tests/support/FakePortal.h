#pragma once
// The outside portal's list answers as the real portal gives them:
// {"offset":<as asked>,"limit":<as asked>,"count":<all records>,
//  "results":[<at most limit records from the offset>]}.
#include "support/FakeHttpServer.h"

#include <QByteArray>
#include <QString>
#include <vector>

// The "limit" and "offset" of a request target ("/path?limit=10&offset=20");
// -1 for a limit that is not asked for, 0 for an offset.
struct PortalQuery {
    qint64 Limit = -1;
    qint64 Offset = 0;
};
PortalQuery ReadPortalQuery(const QString& target);

// The envelope around the entries `first` to `last` - 1 of `records` (each
// the JSON text of one entry), echoing `echo`, with `count` as the count
// (left out when negative): the pieces of a portal's answer, right or not.
QByteArray PortalEnvelope(PortalQuery echo, qint64 count, const std::vector<QByteArray>& records, qint64 first,
                          qint64 last);

// The page `target` asks for, with the count of all records; without a
// limit, every record from the offset.
QByteArray PortalListAnswer(const std::vector<QByteArray>& records, const QString& target);

// The list as it stands once it has lost its first `lostAtFront` records and
// gained `gainedAtEnd`: for a portal whose list changes between two pages.
std::vector<QByteArray> MovedList(const std::vector<QByteArray>& records, qint64 lostAtFront,
                                  const std::vector<QByteArray>& gainedAtEnd = {});

// Serves `records` under every "<path>?..." target, as the portal pages them.
// A later call for the same path replaces the records.
void ServePortalList(FakeHttpServer& server, const QString& path, std::vector<QByteArray> records);

// Where a broken portal, or anything between it and the program, may put a
// record the list does not hold: a member beside "results" that nests it in
// a "results" of its own, in an object, or in a list, before the list or
// after it.
struct StrayPlace {
    const char* Title;
    const char* Member;   // the member with "%1" where the record goes
    bool BeforeList;
};
extern const std::vector<StrayPlace> StrayPlaces;

// A page `PortalEnvelope` made, with `record` put in at `place`.
QByteArray WithStray(const QByteArray& page, const QByteArray& record, const StrayPlace& place);
