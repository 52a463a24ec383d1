#pragma once
// The paging of the portal's list answers, {"offset":..,"limit":..,
// "count":<all records>,"results":[..]}, read with a JSON reader from the
// body as it came: the text decoding removes the commas before quotes, after
// which the answer is no longer JSON.
#include <QByteArray>
#include <QSet>
#include <optional>
#include <vector>

// What one answer's structure says of its page.
struct TPortalPage {
    // A JSON object with a "results" list and one "count" at most: an
    // answer that gives its count twice contradicts itself, and the reader
    // would believe the last one only.
    bool IsList = false;
    qint64 Entries = 0;             // every entry of "results", whatever it holds
    qint64 Count = -1;              // "count" when a whole number, -1 otherwise
    std::vector<size_t> RecordKeys; // one per entry that is an object: a hash of its content
    // The first and the last entry, whatever they hold, hashed as the
    // records are (when there are entries).
    size_t FirstKey = 0;
    size_t LastKey = 0;
    bool FirstIsRecord = false;     // the first entry is an object
};

// Reads the page from the body as it came (UTF-8, else Windows-1252 as the
// text decoding takes it). A body that is not such an object gives IsList
// false.
TPortalPage ReadPortalPage(const QByteArray& body);

// A stretch [From, To) of an answer's text.
struct TTextSpan {
    qsizetype From = 0;
    qsizetype To = 0;
    bool Contains(qsizetype at) const { return at >= From && at < To; }
};

// Where the "results" list lies in the answer's decoded text
// (DecodeWebBodyToUtf8 of the body): the list the JSON reader takes, the
// last of that name, its key read with its escapes decoded as the reader
// reads it. The decoding keeps every quote, backslash and bracket, so the
// strings and nesting are those of the body; a key's text changes only by
// the escape table (never into a letter) and where a comma before its
// closing quote is dropped. The records are read from this text alone:
// whatever else the answer holds (a list under another key, a "results"
// nested in another member) the reader ignores, and so must the text
// patterns.
struct TResultsText {
    TTextSpan List;                  // from its opening bracket to past its closing one
    std::optional<TTextSpan> First;  // its first entry, in the list's own text (List.From is 0 there)

    // The list's own text, sharing the bytes of `decoded` (which must outlive it).
    QByteArray TextIn(const QByteArray& decoded) const
    {
        return QByteArray::fromRawData(decoded.constData() + List.From, List.To - List.From);
    }
};

// None when the text holds no such list (no object, no "results" list last
// of its name, cut off), or when an earlier "results" holds more than an
// empty list: its text could be taken for the records, and it may be the
// reader's list where a later key reads "results" in the decoded text only.
std::optional<TResultsText> ResultsListText(const QByteArray& decoded);

// The pages of one list, in the order they are asked for. Offsets alone
// cannot show records that move while the pages are read, so every later
// page is asked for from the last entry received: it must begin with that
// entry, else the list has moved and is corrupt. The list goes on while the
// answers' count, when it is not below what has arrived, says there is
// more, or, without such a count, while a page was full. A later page that
// brings nothing but the repeated entry ends it (as an empty first page
// does), unless the count believed so far says more than have arrived: then
// the rest was cut off, whatever count that page gives or leaves out. An
// empty later page has lost even the repeated entry. A page that brings
// back a record an earlier page brought (other than the repeated entry), a
// page that goes beyond a count given earlier, an empty later page, a later
// page cut short so, or more pages than the cap allows make the list
// corrupt.
class TPortalPaging {
public:
    enum class TStep { Next, Done, Corrupt };

    TPortalPaging(qint64 limit, int pageCap) : limit(limit), pageCap(pageCap) {}

    TStep Take(const TPortalPage& page);
    // The offset of the next page.
    qint64 NextOffset() const { return received > 0 ? received - 1 : 0; }
    // Whether the next page's first entry is the one received last.
    bool Overlapping() const { return received > 0; }
    // How many of the next page's records the page before brought: its
    // first, when the page overlaps and that entry is a record.
    size_t RepeatedRecords(const TPortalPage& page) const { return Overlapping() && page.FirstIsRecord ? 1 : 0; }

private:
    qint64 limit;
    int pageCap;
    int pages = 0;
    qint64 received = 0;   // entries, each counted once
    qint64 count = -1;     // the last count that covered what had arrived
    size_t lastKey = 0;    // the entry received last
    QSet<size_t> seen;     // the records of the earlier pages
};
