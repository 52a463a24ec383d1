#include "core/Settings.h"

namespace {
const char* const DefaultPortal = "https://lichenportal.org";
const char* const DefaultHelpSite = "https://quillaspore.org";
const char* const DefaultProbe = "https://www.wikipedia.org/";
const char* const DefaultAtlas = "https://www.npatlas.org";
const char* const DefaultVersionPage = "https://quillaspore.org/Lichen/Version.html";
} // namespace

QString PortalBaseAddress = QString::fromLatin1(DefaultPortal);
QString HelpSiteAddress = QString::fromLatin1(DefaultHelpSite);
QString InternetProbeAddress = QString::fromLatin1(DefaultProbe);
QString NPAtlasBaseAddress = QString::fromLatin1(DefaultAtlas);
QString VersionPageAddress = QString::fromLatin1(DefaultVersionPage);

void ResetSettings()
{
    PortalBaseAddress = QString::fromLatin1(DefaultPortal);
    HelpSiteAddress = QString::fromLatin1(DefaultHelpSite);
    InternetProbeAddress = QString::fromLatin1(DefaultProbe);
    NPAtlasBaseAddress = QString::fromLatin1(DefaultAtlas);
    VersionPageAddress = QString::fromLatin1(DefaultVersionPage);
}
