#pragma once
// The search configuration file (.scfg), "CurrentSearch.cfg" and the choice of
// the configuration at start-up, without any window: the search configuration
// window reads its controls into a TSearchConfig, and puts a parsed one back.
#include "core/Record.h"
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <optional>
#include <vector>

constexpr int ConfigColorCount = 18;
constexpr int ThallusColorCount = 6; // K, C, KC, PD, UV cortex, UV medulla (fields 15..20)

extern const QString DefaultConfigFileName;       // "Default.scfg"
extern const QString OldDefaultConfigFileName;    // "SearchConfigDefault.scfg"
extern const QString CurrentSearchFileName;       // "CurrentSearch.cfg"
extern const QString OutdatedConfigMessage;       // "Search Configuration File format is outdated and cannot be loaded"
extern const QString DefaultOverwriteMessage;     // "Cannot overwrite the default file: Default.scfg\r\nChoose \"Save as\" and rename"
extern const QString NoConfigFoundMessage;        // "Search configuration file not found. Please load one."

// Everything a .scfg file holds, in file order.
struct TSearchConfig {
    std::array<QString, ConfigColorCount> ColorNames;
    // Similarity[row][cell]: reported spot colour `row` against substance colour
    // `cell`, whole number 0..100 as text.
    std::array<std::array<QString, ConfigColorCount>, ConfigColorCount> Similarity;
    bool UseTLCSpotColors = false;
    bool UseThallus = false;
    bool UseUVVisible = false;
    QString RFError = QStringLiteral("1");
    QString Correlation = QStringLiteral("5");
    int MatchingMethod = 0; // written, never read back from a .scfg text
    std::array<QString, ThallusColorCount> ThallusColors;

    TSearchConfig();
    // Cells above the diagonal win (row < cell); the diagonal stays.
    void MakeSymmetric();
    bool operator==(const TSearchConfig&) const = default;
};

// ColorMatrix rows 0..17 (names and cells 0..17) to and from a configuration.
void ApplySearchConfigToColorMatrix(const TSearchConfig& config,
                                    std::array<TColorRow, 20>& matrix = ColorMatrix);
void ColorMatrixToSearchConfig(const std::array<TColorRow, 20>& matrix, TSearchConfig& config);
// The same symmetry rule applied to ColorMatrix itself (rows/cells 0..17).
void MakeColorMatrixSymmetric(std::array<TColorRow, 20>& matrix = ColorMatrix);

// Value checks shared by the reader, the writer and the editors.
bool IsValidSimilarity(const QString& text);   // whole number 0..100, digits only
bool IsValidRFError(const QString& text);      // whole number 0..100; a decimal "1.5" is accepted too
bool IsValidCorrelation(const QString& text);  // whole number 1..99 (it divides the Rf step; the edit holds two digits)
bool IsValidThallusText(const QString& text);  // no comma, no line break

// Empty when the configuration can be written and read back unchanged,
// otherwise the message the window shows (and nothing is written).
QString SearchConfigSaveError(const TSearchConfig& config);

// The exact file text: 25 lines, "\r\n" between them, none after the last.
// Makes `config` symmetric first, as the matrix in memory is after a save.
QString SearchConfigText(TSearchConfig& config);

enum class TConfigLoadError { None, Outdated, Unreadable };

struct TSearchConfigLoad {
    TConfigLoadError Error = TConfigLoadError::None;
    QString Message;      // what to show on failure (Error != None)
    TSearchConfig Config; // on failure: the current configuration unchanged
    // Values the file held that are not valid; the current values were kept
    // for them. Show WarningsMessage(Warnings) once when not empty.
    QStringList Warnings;
    bool Ok() const { return Error == TConfigLoadError::None; }
};

// Reads a .scfg text over `current`: keys the text does not carry and invalid
// values keep their current value. The first 18 lines are the matrix; a short
// line fills its missing cells with "0", extra cells are ignored.
TSearchConfigLoad ParseSearchConfigText(QString text, const TSearchConfig& current);
// Reads a file (no message box of its own); a file without any "Correlation:"
// key (in any letter case) gets the correlation factor "5".
TSearchConfigLoad ReadSearchConfigFile(const QString& path, const TSearchConfig& current);
// One message for all warnings of a load (empty for none).
QString WarningsMessage(const QStringList& warnings);

struct TConfigSave {
    bool Ok = false;
    QString Message; // refusal to show; empty after a write error (already reported)
};
// Refuses "Default.scfg" (by file-name part) and configurations that
// SearchConfigSaveError rejects; otherwise makes `config` symmetric and writes it.
TConfigSave WriteSearchConfigFile(const QString& path, TSearchConfig& config);

// "CurrentSearch.cfg", always in the keyed form:
// "ConfigFile: <name>\r\nMatchingMethod: <index>" without a line end at the end.
QString CurrentSearchText(const QString& configFileName, int matchingMethod);
bool WriteCurrentSearchFile(const QString& configFileName, int matchingMethod,
                            const QString& path = CurrentSearchFileName);
struct TCurrentSearch {
    std::optional<QString> ConfigFile;
    std::optional<int> MatchingMethod; // 1 when the value is exactly "1", else 0
};
// The start-up reader: keyed lines only; a name-only file sets nothing.
TCurrentSearch ParseCurrentSearchText(QString text);

// The start-up choice. Try the steps in order: show Message (when not empty),
// load FileName; stop at the first load that succeeds. A failed load shows its
// own failure message and falls through to the next step. When no step is
// left (or there are none): show the window, NoConfigFoundMessage, then the
// Load command.
struct TStartupStep {
    QString FileName;
    QString Message;
    bool operator==(const TStartupStep&) const = default;
};
struct TStartupChoice {
    std::vector<TStartupStep> Steps;
    // The main window's method index to set, if any (none: leave it as it is).
    std::optional<int> MatchingMethod;
};
// fileExists: whether a file of that name exists; currentSearchText: the
// content of "CurrentSearch.cfg", or nothing when there is no such file.
TStartupChoice ChooseStartupConfig(const std::function<bool(const QString&)>& fileExists,
                                   const std::optional<QString>& currentSearchText);
// The same over the files of the current directory.
TStartupChoice ChooseStartupConfigInCurrentDir();

// File-name part (after the last "/" or "\"), and the display names: that
// part with every ".scfg" / ".cune" removed in any letter case.
QString FileNamePart(const QString& path);
QString SearchConfigDisplayName(const QString& path);
// True when the file-name part is exactly "Default.scfg" (never overwritten).
bool IsDefaultConfigFile(const QString& path);
