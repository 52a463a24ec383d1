#pragma once
// The paging of the portal's list answers, {"offset":..,"limit":..,
// "count":<all records>,"results":[..]}, read with a JSON reader from the
// body as it came: the text decoding removes the commas before quotes, after
// which the answer is no longer JSON.
#include <QByteArray>
#include <QSet>
#include <vector>

// What one answer's structure says of its page.
struct TPortalPage {
    bool IsList = false;            // a JSON object with a "results" list
    qint64 Entries = 0;             // every entry of "results", whatever it holds
    qint64 Count = -1;              // "count" when a whole number, -1 otherwise
    std::vector<size_t> RecordKeys; // one per entry that is an object: a hash of its content
};

// Reads the page from the body as it came (UTF-8, else Windows-1252 as the
// text decoding takes it). A body that is not such an object gives IsList
// false.
TPortalPage ReadPortalPage(const QByteArray& body);

// The pages of one list, in the order they are asked for. The next offset
// is the number of entries received so far. The list goes on while the
// answers' count, when it is not below what has arrived, says there is
// more, or, without such a count, while a page was full; an empty page ends
// it. A page that brings back a record an earlier page brought, a page that
// goes beyond a count given earlier, or more pages than the cap allows make
// the list corrupt.
class TPortalPaging {
public:
    enum class TStep { Next, Done, Corrupt };

    TPortalPaging(qint64 limit, int pageCap) : limit(limit), pageCap(pageCap) {}

    TStep Take(const TPortalPage& page);
    qint64 Received() const { return received; }

private:
    qint64 limit;
    int pageCap;
    int pages = 0;
    qint64 received = 0;
    qint64 count = -1;     // the last count that covered what had arrived
    QSet<size_t> seen;     // the records of the earlier pages
};
