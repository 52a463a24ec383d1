#include "lichens/PortalMedia.h"

#include "core/Settings.h"
#include "framework/Controls.h"
#include "framework/Jpeg.h"
#include "framework/NetHTTP.h"
#include "framework/RegEx.h"
#include "framework/Text.h"

namespace {

const QByteArray TaxonIdPattern = QByteArrayLiteral("\"tid\":([0-9]+)");
const QByteArray MediaPattern = QByteArrayLiteral(
    "\"url\":\"?(null|[^\"]*)(.*?)thumbnailUrl\":\"?(null|[^\"]*)(.*?)originalUrl\":\"?(null|[^\"]*)");

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
    const TMatchCollection matches = TRegEx::Matches(answer, MediaPattern);
    for (const TMatch& m : matches.Items) {
        const QString url = QString::fromUtf8(m.Group(1));
        const QString thumb = QString::fromUtf8(m.Group(3));
        QString orig = QString::fromUtf8(m.Group(5));
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
