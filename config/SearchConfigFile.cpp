#include "config/SearchConfigFile.h"
#include "core/RecordText.h"
#include "framework/Text.h"
#include <QFile>
#include <QFileInfo>
#include <algorithm>

const QString DefaultConfigFileName = QStringLiteral("Default.scfg");
const QString OldDefaultConfigFileName = QStringLiteral("SearchConfigDefault.scfg");
const QString CurrentSearchFileName = QStringLiteral("CurrentSearch.cfg");
const QString OutdatedConfigMessage =
    QStringLiteral("Search Configuration File format is outdated and cannot be loaded");
const QString DefaultOverwriteMessage =
    QStringLiteral("Cannot overwrite the default file: Default.scfg\r\nChoose \"Save as\" and rename");
const QString NoConfigFoundMessage =
    QStringLiteral("Search configuration file not found. Please load one.");

namespace {

const QString CrLf = QStringLiteral("\r\n");

const std::array<QString, ThallusColorCount> ThallusLabels = {
    QStringLiteral("K"),  QStringLiteral("C"),         QStringLiteral("KC"),
    QStringLiteral("PD"), QStringLiteral("UV-cortex"), QStringLiteral("UV-medulla")};

bool AllDigits(const QString& text)
{
    if (text.isEmpty())
        return false;
    for (QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}

// Digits only, value from `low` to `high` (leading zeros allowed).
bool WholeInRange(const QString& text, int low, int high)
{
    if (!AllDigits(text))
        return false;
    QString digits = text;
    while (digits.size() > 1 && digits.startsWith(QLatin1Char('0')))
        digits.remove(0, 1);
    if (digits.size() > 3)
        return false;
    const int v = digits.toInt();
    return v >= low && v <= high;
}

QString Quoted(const QString& s) { return QLatin1Char('"') + s + QLatin1Char('"'); }

} // namespace

TSearchConfig::TSearchConfig()
{
    for (auto& row : Similarity)
        row.fill(QStringLiteral("0"));
}

void TSearchConfig::MakeSymmetric()
{
    for (int i = 0; i < ConfigColorCount; ++i)
        for (int j = 0; j <= i; ++j)
            Similarity[i][j] = Similarity[j][i];
}

void ApplySearchConfigToColorMatrix(const TSearchConfig& config, std::array<TColorRow, 20>& matrix)
{
    for (int i = 0; i < ConfigColorCount; ++i) {
        TColorRow& row = matrix[i];
        row.ColorName = config.ColorNames[i];
        for (int j = 0; j < ConfigColorCount; ++j)
            row.Similarity[j] = config.Similarity[i][j];
        // The file carries 18 cells; the two spare cells carry no data.
        for (int j = ConfigColorCount; j < int(row.Similarity.size()); ++j)
            row.Similarity[j] = QStringLiteral("0");
    }
}

void ColorMatrixToSearchConfig(const std::array<TColorRow, 20>& matrix, TSearchConfig& config)
{
    for (int i = 0; i < ConfigColorCount; ++i) {
        config.ColorNames[i] = matrix[i].ColorName;
        for (int j = 0; j < ConfigColorCount; ++j)
            config.Similarity[i][j] = matrix[i].Similarity[j];
    }
}

void MakeColorMatrixSymmetric(std::array<TColorRow, 20>& matrix)
{
    for (int i = 0; i < ConfigColorCount; ++i)
        for (int j = 0; j <= i; ++j)
            matrix[i].Similarity[j] = matrix[j].Similarity[i];
}

bool IsValidSimilarity(const QString& text) { return WholeInRange(text, 0, 100); }

bool IsValidRFError(const QString& text)
{
    // The query takes the text as it stands, so only a plain SQL number will do.
    const qsizetype dot = text.indexOf(QLatin1Char('.'));
    if (dot < 0)
        return WholeInRange(text, 0, 100);
    const QString whole = text.left(dot);
    const QString fraction = text.mid(dot + 1);
    if (!WholeInRange(whole, 0, 100) || !AllDigits(fraction))
        return false;
    return text.toDouble() <= 100.0;
}

// 0 would divide by zero in the Correlation score; the factor's edit holds
// two characters, so a longer value would be cut on the way into it.
bool IsValidCorrelation(const QString& text) { return text.size() <= 2 && WholeInRange(text, 1, 99); }

bool IsValidThallusText(const QString& text)
{
    return !text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('\r')) &&
           !text.contains(QLatin1Char('\n'));
}

QString SearchConfigSaveError(const TSearchConfig& config)
{
    for (int k = 0; k < ThallusColorCount; ++k)
        if (!IsValidThallusText(config.ThallusColors[k]))
            return QStringLiteral("The thallus reaction %1 (%2) holds a comma or a line break and "
                                  "cannot be saved. Please change it.")
                .arg(ThallusLabels[k], Quoted(config.ThallusColors[k]));
    if (!IsValidRFError(config.RFError))
        return QStringLiteral("The RF Error tolerance must be a number from 0 to 100: ") +
               Quoted(config.RFError);
    if (!IsValidCorrelation(config.Correlation))
        return QStringLiteral("The correlation factor must be a whole number from 1 to 99: ") +
               Quoted(config.Correlation);
    for (int i = 0; i < ConfigColorCount; ++i) {
        const QString& name = config.ColorNames[i];
        if (name.contains(QLatin1Char('\r')) || name.contains(QLatin1Char('\n')) ||
            name.contains(QStringLiteral(": ")))
            return QStringLiteral("The colour name %1 cannot be saved.").arg(Quoted(name));
        for (int j = 0; j < ConfigColorCount; ++j)
            if (!IsValidSimilarity(config.Similarity[i][j]) ||
                !IsValidSimilarity(config.Similarity[j][i]))
                return QStringLiteral("The similarity of %1 to %2 must be a whole number from 0 "
                                      "to 100: %3")
                    .arg(name, config.ColorNames[j],
                         Quoted(IsValidSimilarity(config.Similarity[i][j])
                                    ? config.Similarity[j][i]
                                    : config.Similarity[i][j]));
    }
    return {};
}

QString SearchConfigText(TSearchConfig& config)
{
    config.MakeSymmetric();
    QString text;
    for (int i = 0; i < ConfigColorCount; ++i) {
        text += config.ColorNames[i] + QStringLiteral(": ");
        for (int j = 0; j < ConfigColorCount; ++j) {
            text += config.Similarity[i][j];
            if (j < ConfigColorCount - 1)
                text += QLatin1Char(',');
        }
        text += CrLf;
    }
    auto flag = [](bool b) { return b ? QStringLiteral("1") : QStringLiteral("0"); };
    text += QStringLiteral("UseTLCSpotColors: ") + flag(config.UseTLCSpotColors) + CrLf;
    text += QStringLiteral("UseThallus: ") + flag(config.UseThallus) + CrLf;
    text += QStringLiteral("UseUVVisible: ") + flag(config.UseUVVisible) + CrLf;
    text += QStringLiteral("RFError: ") + config.RFError + CrLf;
    text += QStringLiteral("Correlation: ") + config.Correlation + CrLf;
    text += QStringLiteral("MatchingMethod: ") + QString::number(config.MatchingMethod) + CrLf;
    text += QStringLiteral("ThallusColors: ");
    for (const QString& t : config.ThallusColors)
        text += t + QLatin1Char(',');
    return text;
}

TSearchConfigLoad ParseSearchConfigText(QString text, const TSearchConfig& current)
{
    TSearchConfigLoad load;
    load.Config = current;
    if (!text.contains(QStringLiteral("\r\nRed:"))) {
        load.Error = TConfigLoadError::Outdated;
        load.Message = OutdatedConfigMessage;
        return load;
    }
    TSearchConfig& cfg = load.Config;

    for (int i = 0; i < ConfigColorCount; ++i) {
        QString line = SplitOff(text, CrLf, true);
        cfg.ColorNames[i] = SplitOff(line, QStringLiteral(": "), true);
        int j = 0;
        while (!line.isEmpty()) {
            const QString value = SplitOff(line, QStringLiteral(","), true);
            if (j < ConfigColorCount) {
                if (IsValidSimilarity(value))
                    cfg.Similarity[i][j] = value;
                else
                    load.Warnings << QStringLiteral("%1, value %2: %3")
                                         .arg(cfg.ColorNames[i])
                                         .arg(j + 1)
                                         .arg(Quoted(value));
            }
            ++j;
        }
        // A short line leaves nothing of the line before it behind.
        for (; j < ConfigColorCount; ++j)
            cfg.Similarity[i][j] = QStringLiteral("0");
    }

    auto setWhen = [&](QString& field, const QString& key, const QString& value, bool valid) {
        if (valid)
            field = value;
        else
            load.Warnings << key + QStringLiteral(": ") + Quoted(value);
    };
    do {
        const QString key = SplitOff(text, QStringLiteral(":"), true);
        QString value = SplitOff(text, CrLf, true);
        if (key == QLatin1String("UseTLCSpotColors"))
            cfg.UseTLCSpotColors = value == QLatin1String("1");
        else if (key == QLatin1String("UseThallus"))
            cfg.UseThallus = value == QLatin1String("1");
        else if (key == QLatin1String("UseUVVisible"))
            cfg.UseUVVisible = value == QLatin1String("1");
        else if (key == QLatin1String("RFError"))
            setWhen(cfg.RFError, key, value, IsValidRFError(value));
        else if (key == QLatin1String("Correlation"))
            setWhen(cfg.Correlation, key, value, IsValidCorrelation(value));
        else if (key == QLatin1String("ThallusColors"))
            for (int k = 0; k < ThallusColorCount; ++k) {
                const QString token = SplitOff(value, QStringLiteral(","), true);
                setWhen(cfg.ThallusColors[k], key + QLatin1Char(' ') + ThallusLabels[k], token,
                        IsValidThallusText(token));
            }
        // Any other key, MatchingMethod included, is not read back.
    } while (text.size() > 5);
    return load;
}

TSearchConfigLoad ReadSearchConfigFile(const QString& path, const TSearchConfig& current)
{
    {
        QFile probe(path);
        if (!QFileInfo(path).isFile() || !probe.open(QIODevice::ReadOnly)) {
            TSearchConfigLoad load;
            load.Config = current;
            load.Error = TConfigLoadError::Unreadable;
            load.Message = QStringLiteral("Unable to open file: ") + path;
            return load;
        }
    }
    QString text = ReadUtf8File(path);
    if (!text.contains(QStringLiteral("Correlation:"), Qt::CaseInsensitive))
        text += QStringLiteral("\r\nCorrelation: 5");
    return ParseSearchConfigText(text, current);
}

QString WarningsMessage(const QStringList& warnings)
{
    if (warnings.isEmpty())
        return {};
    constexpr int shown = 10;
    QString text = QStringLiteral(
        "These values of the file are not valid; the current values were kept:");
    for (int i = 0; i < warnings.size() && i < shown; ++i)
        text += CrLf + warnings[i];
    if (warnings.size() > shown)
        text += CrLf + QStringLiteral("... and %1 more").arg(warnings.size() - shown);
    return text;
}

TConfigSave WriteSearchConfigFile(const QString& path, TSearchConfig& config)
{
    TConfigSave save;
    if (IsDefaultConfigFile(path)) {
        save.Message = DefaultOverwriteMessage;
        return save;
    }
    save.Message = SearchConfigSaveError(config);
    if (!save.Message.isEmpty())
        return save;
    save.Ok = WriteUtf8File(path, SearchConfigText(config).toUtf8(), true);
    return save;
}

QString CurrentSearchText(const QString& configFileName, int matchingMethod)
{
    return QStringLiteral("ConfigFile: ") + configFileName + CrLf +
           QStringLiteral("MatchingMethod: ") + QString::number(matchingMethod);
}

bool WriteCurrentSearchFile(const QString& configFileName, int matchingMethod, const QString& path)
{
    return WriteUtf8File(path, CurrentSearchText(configFileName, matchingMethod).toUtf8(), true);
}

TCurrentSearch ParseCurrentSearchText(QString text)
{
    TCurrentSearch result;
    do {
        // Split at the first colon only, so a drive letter stays in the value.
        const QString key = SplitOff(text, QStringLiteral(":"), true);
        const QString value = SplitOff(text, CrLf, true);
        if (key == QLatin1String("ConfigFile"))
            result.ConfigFile = value;
        else if (key == QLatin1String("MatchingMethod"))
            result.MatchingMethod = value == QLatin1String("1") ? 1 : 0;
    } while (text.size() > 1);
    return result;
}

TStartupChoice ChooseStartupConfig(const std::function<bool(const QString&)>& fileExists,
                                   const std::optional<QString>& currentSearchText)
{
    TStartupChoice choice;
    const bool defaultExists = fileExists(DefaultConfigFileName);
    const bool oldDefaultExists = fileExists(OldDefaultConfigFileName);

    QString named;
    if (defaultExists)
        named = DefaultConfigFileName;
    if (currentSearchText) {
        const TCurrentSearch current = ParseCurrentSearchText(*currentSearchText);
        if (current.ConfigFile)
            named = *current.ConfigFile;
        choice.MatchingMethod = current.MatchingMethod;
    } else {
        choice.MatchingMethod = 0;
    }
    if (named == OldDefaultConfigFileName && defaultExists)
        named = DefaultConfigFileName;

    const bool namedExists = !named.isEmpty() && fileExists(named);
    if (namedExists)
        choice.Steps.push_back({named, {}});
    // The fall-backs also serve when the named file exists but cannot be
    // loaded; its own failure message has then been shown already.
    if (defaultExists && !(namedExists && named == DefaultConfigFileName))
        choice.Steps.push_back(
            {DefaultConfigFileName,
             namedExists ? QString() : named + QStringLiteral(" not found.  Loading default file.")});
    if (oldDefaultExists && !(namedExists && named == OldDefaultConfigFileName))
        choice.Steps.push_back(
            {OldDefaultConfigFileName,
             namedExists || defaultExists
                 ? QString()
                 : named + QStringLiteral(" not found.  Loading old default file.")});
    return choice;
}

TStartupChoice ChooseStartupConfigInCurrentDir()
{
    auto exists = [](const QString& name) { return QFileInfo(name).isFile(); };
    std::optional<QString> current;
    if (exists(CurrentSearchFileName))
        current = ReadUtf8File(CurrentSearchFileName);
    return ChooseStartupConfig(exists, current);
}

QString FileNamePart(const QString& path)
{
    const qsizetype slash = std::max(path.lastIndexOf(QLatin1Char('/')),
                                     path.lastIndexOf(QLatin1Char('\\')));
    return path.mid(slash + 1);
}

QString SearchConfigDisplayName(const QString& path)
{
    return FileNamePart(path).remove(QStringLiteral(".scfg"), Qt::CaseInsensitive);
}

bool IsDefaultConfigFile(const QString& path) { return FileNamePart(path) == DefaultConfigFileName; }
