#pragma once
// Addresses of the outside web sites the program talks to. Plain globals
// with public defaults; tests point them at a local server.
#include <QString>

// Scheme and host of the outside lichen data portal, no trailing slash.
extern QString PortalBaseAddress;
// Scheme and host of the help site, no trailing slash.
extern QString HelpSiteAddress;
// The page fetched at start-up to find out whether the internet is reachable.
extern QString InternetProbeAddress;
// Scheme and host of the natural-products atlas, no trailing slash.
extern QString NPAtlasBaseAddress;
// The makers' page whose text is the newest program version.
extern QString VersionPageAddress;

// Puts every address back to its default.
void ResetSettings();
