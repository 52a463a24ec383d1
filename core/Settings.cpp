#include "core/Settings.h"

QString PortalBaseAddress = QStringLiteral("https://lichenportal.org");
QString HelpSiteAddress = QStringLiteral("https://quillaspore.org");
QString InternetProbeAddress = QStringLiteral("https://www.wikipedia.org/");
QString NPAtlasBaseAddress = QStringLiteral("https://www.npatlas.org");
QString VersionPageAddress = QStringLiteral("https://www.quillaspore.org/Lichen/Version.html");

void ResetSettings()
{
    PortalBaseAddress = QStringLiteral("https://lichenportal.org");
    HelpSiteAddress = QStringLiteral("https://quillaspore.org");
    InternetProbeAddress = QStringLiteral("https://www.wikipedia.org/");
    NPAtlasBaseAddress = QStringLiteral("https://www.npatlas.org");
    VersionPageAddress = QStringLiteral("https://www.quillaspore.org/Lichen/Version.html");
}
