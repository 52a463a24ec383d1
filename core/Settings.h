#pragma once
// Addresses of the outside web sites the program talks to. Plain globals
// with public defaults; tests point them at a local server.
#include <QString>

// Scheme and host of the outside lichen data portal, no trailing slash.
extern QString PortalBaseAddress;
// Scheme and host of the help site, no trailing slash. By default the help
// pages shipped with the program (ShippedHelpSite).
extern QString HelpSiteAddress;
// The page fetched at start-up to find out whether the internet is reachable.
extern QString InternetProbeAddress;
// Scheme and host of the natural-products atlas, no trailing slash.
extern QString NPAtlasBaseAddress;
// The makers' page whose text is the newest program version.
extern QString VersionPageAddress;

// The folder that holds the shipped help pages ("Quillaspore/Contents.html"
// and the rest): the first of data/help beside the program file, one and two
// folders above it (build/quillaspore and the test programs in build/tests
// of a source tree), and data/help of the current folder that has the
// contents page; the second when none has.
QString FindHelpFolder(const QString& programDir, const QString& currentDir);
// The shipped help folder as a file address, no trailing slash.
QString ShippedHelpSite();

// Puts every address back to its default.
void ResetSettings();
