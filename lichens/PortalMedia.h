#pragma once
// The portal's lichen addresses and the reading of its taxonomy and media
// answers, without any window.
#include <QByteArray>
#include <QString>
#include <vector>

class TNetHTTPRequest;
class TImage;

// PortalBaseAddress + the taxonomy query for the name (percent-encoded).
QString PortalTaxonomyRequest(const QString& name);
// PortalBaseAddress + the media query of the taxon number.
QString PortalMediaRequest(const QString& taxonId);
// PortalBaseAddress + the taxon page of the name (percent-encoded).
QString PortalTaxonPage(const QString& name);

// The digits of the first "tid" in a taxonomy answer, or "" when none.
QString ParseTaxonId(const QByteArray& answer);

// One usable media record, its addresses cleaned: Url as the record gives it
// (backslashes removed), Thumbnail and Original with PortalBaseAddress in
// front unless they hold "http"; Original falls back to Url.
struct TPortalMedia {
    QString Url;
    QString Thumbnail;
    QString Original;
};
// Every usable media record of the answer, in answer order (records without
// a thumbnail or without an image address are left out). Each record's
// addresses are taken from that record only, from its "url" key up to the
// next record's; the time taken grows in proportion to the answer.
std::vector<TPortalMedia> ParsePortalMedia(const QByteArray& answer);

// GET of the address with the request and decoding as JPEG into the target.
// Raises on a failed request or bytes that are not a whole JPEG; the target's
// picture is changed only on success.
void PortalImageDownload(TNetHTTPRequest& request, const QString& address, TImage* target);
// The same, returning whether it worked.
bool TryPortalImageDownload(TNetHTTPRequest& request, const QString& address, TImage* target);
