#include "core/Settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace {
const char* const DefaultPortal = "https://lichenportal.org";
const char* const DefaultProbe = "https://www.wikipedia.org/";
const char* const DefaultAtlas = "https://www.npatlas.org";
const char* const DefaultVersionPage = "https://quillaspore.org/Lichen/Version.html";

QString ProgramDir()
{
    if (QCoreApplication::instance()) return QCoreApplication::applicationDirPath();
    // The settings take their defaults before the application object exists.
    const QString self = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    return self.isEmpty() ? QDir::currentPath() : QFileInfo(self).absolutePath();
}
} // namespace

QString FindHelpFolder(const QString& programDir, const QString& currentDir)
{
    const QDir program(programDir);
    const QStringList candidates = {
        program.filePath(QStringLiteral("data/help")),
        program.filePath(QStringLiteral("../data/help")),
        program.filePath(QStringLiteral("../../data/help")),
        QDir(currentDir).filePath(QStringLiteral("data/help")),
    };
    for (const QString& folder : candidates)
        if (QFileInfo::exists(folder + QStringLiteral("/Quillaspore/Contents.html"))) return QDir::cleanPath(folder);
    return QDir::cleanPath(candidates[1]);
}

QString ShippedHelpSite()
{
    return QUrl::fromLocalFile(QFileInfo(FindHelpFolder(ProgramDir(), QDir::currentPath())).absoluteFilePath()).toString();
}

QString PortalBaseAddress = QString::fromLatin1(DefaultPortal);
QString HelpSiteAddress = ShippedHelpSite();
QString InternetProbeAddress = QString::fromLatin1(DefaultProbe);
QString NPAtlasBaseAddress = QString::fromLatin1(DefaultAtlas);
QString VersionPageAddress = QString::fromLatin1(DefaultVersionPage);

void ResetSettings()
{
    PortalBaseAddress = QString::fromLatin1(DefaultPortal);
    HelpSiteAddress = ShippedHelpSite();
    InternetProbeAddress = QString::fromLatin1(DefaultProbe);
    NPAtlasBaseAddress = QString::fromLatin1(DefaultAtlas);
    VersionPageAddress = QString::fromLatin1(DefaultVersionPage);
}
