#include "lichens/PortalMedia.h"

#include "core/Settings.h"
#include "framework/Controls.h"
#include "framework/Jpeg.h"
#include "framework/NetHTTP.h"
#include "framework/RegEx.h"
#include "framework/Text.h"

namespace {

const QByteArray TaxonIdPattern = QByteArrayLiteral("\"tid\":([0-9]+)");
// A media record begins at its "url" key and ends where the next record's
// begins; its thumbnail and full-size addresses are looked for inside it only.
const QByteArrayView UrlKey = "\"url\":";
const QByteArrayView ThumbnailKey = "thumbnailUrl\":";
const QByteArrayView OriginalKey = "originalUrl\":";

// A value after its key: an optional double quote, then the word null when
// it comes next, else every character up to the next double quote. `from`
// is the value's start; `end` receives the position just behind it.
QByteArrayView ValueAt(QByteArrayView record, qsizetype from, qsizetype& end)
{
    if (from < record.size() && record[from] == '"') ++from;
    if (record.sliced(from).startsWith("null")) {
        end = from + 4;
        return record.sliced(from, 4);
    }
    end = from;
    while (end < record.size() && record[end] != '"') ++end;
    return record.sliced(from, end - from);
}

// The first `key` at or after `from` on the same line (the record's keys
// must follow each other without a line break between them), or -1.
qsizetype KeyOnLine(QByteArrayView record, QByteArrayView key, qsizetype from)
{
    const qsizetype at = record.indexOf(key, from);
    if (at < 0) return -1;
    const qsizetype lineBreak = record.indexOf('\n', from);
    return lineBreak >= 0 && lineBreak < at ? -1 : at;
}

struct TRawMedia {
    QByteArray Url, Thumbnail, Original;
};

// The three addresses of one record, in the order the portal writes them
// ("url", "thumbnailUrl", "originalUrl"); false when the record lacks one
// of the keys, which makes it no usable record.
bool ReadRecord(QByteArrayView record, TRawMedia& raw)
{
    qsizetype end = 0;
    raw.Url = ValueAt(record, UrlKey.size(), end).toByteArray();
    const qsizetype thumbKey = KeyOnLine(record, ThumbnailKey, end);
    if (thumbKey < 0) return false;
    raw.Thumbnail = ValueAt(record, thumbKey + ThumbnailKey.size(), end).toByteArray();
    const qsizetype originalKey = KeyOnLine(record, OriginalKey, end);
    if (originalKey < 0) return false;
    raw.Original = ValueAt(record, originalKey + OriginalKey.size(), end).toByteArray();
    return true;
}

QString WithBase(const QString& address)
{
    return address.contains(QStringLiteral("http")) ? address : PortalBaseAddress + address;
}

QString WithoutBackslashes(QString address)
{
    return address.remove(QLatin1Char('\\'));
}

} // namespace

QString PortalTaxonomyRequest(const QString& name)
{
    return PortalBaseAddress + QStringLiteral("/portal/api/v2/taxonomy?taxon=") + UrlEncode(name) +
           QStringLiteral("&type=EXACT&limit=10&offset=0");
}

QString PortalMediaRequest(const QString& taxonId)
{
    return PortalBaseAddress + QStringLiteral("/portal/api/v2/media?tid=") + taxonId +
           QStringLiteral("&includeSynonyms=1&includeChildren=0&limit=15&offset=0");
}

QString PortalTaxonPage(const QString& name)
{
    return PortalBaseAddress + QStringLiteral("/portal/taxa/index.php?taxon=") + UrlEncode(name);
}

QString ParseTaxonId(const QByteArray& answer)
{
    const TMatch m = TRegEx::Match(answer, TaxonIdPattern);
    return m.Success ? QString::fromLatin1(m.Group(1)) : QString();
}

std::vector<TPortalMedia> ParsePortalMedia(const QByteArray& answer)
{
    std::vector<TPortalMedia> media;
    // Cut the answer into records first: each record is read once, so the
    // parse takes time in proportion to the answer, and one record's
    // missing key can never be filled from the next record.
    const QByteArrayView text(answer);
    qsizetype start = text.indexOf(UrlKey);
    while (start >= 0) {
        const qsizetype next = text.indexOf(UrlKey, start + UrlKey.size());
        const QByteArrayView record = text.sliced(start, (next < 0 ? text.size() : next) - start);
        start = next;

        TRawMedia raw;
        if (!ReadRecord(record, raw)) continue;
        const QString url = QString::fromUtf8(raw.Url);
        const QString thumb = QString::fromUtf8(raw.Thumbnail);
        QString orig = QString::fromUtf8(raw.Original);
        if (thumb == QLatin1String("null")) continue;
        if (url == QLatin1String("empty") || url == QLatin1String("null")) continue;
        TPortalMedia item;
        item.Thumbnail = WithoutBackslashes(WithBase(thumb));
        // The image address is taken as the portal gives it.
        item.Url = WithoutBackslashes(url);
        if (orig == QLatin1String("null") || orig == QLatin1String("empty")) orig = item.Url;
        item.Original = WithoutBackslashes(WithBase(orig));
        media.push_back(item);
    }
    return media;
}

void PortalImageDownload(TNetHTTPRequest& request, const QString& address, TImage* target)
{
    const QImage picture = DecodeJpeg(request.Get(address));
    target->SetPicture(picture);
}

bool TryPortalImageDownload(TNetHTTPRequest& request, const QString& address, TImage* target)
{
    try {
        PortalImageDownload(request, address, target);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}
