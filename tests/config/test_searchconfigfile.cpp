// The .scfg text: exact bytes, reading back, refused and partial loads, the
// save checks, and the ColorMatrix hand-over.
#include "config/SearchConfigFile.h"
#include "support/FileBytes.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const std::array<QString, ConfigColorCount> Names = {
    "No Result", "White", "Brown", "P.Brown", "Purple", "Lilac", "Yellow", "P. Yellow", "Orange",
    "Pink",      "Red",   "P.Red", "D. Red",  "B. Blue", "D. Blue", "Green", "Gray", "Black"};

const QString Zeros = "0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0";

TSearchConfig NamedConfig()
{
    TSearchConfig c;
    c.ColorNames = Names;
    return c;
}

// A valid text whose matrix lines are given; the key lines follow.
QString TextWithLines(const QStringList& matrixLines, const QString& keys)
{
    return matrixLines.join("\r\n") + "\r\n" + keys;
}

QStringList ZeroLines()
{
    QStringList lines;
    for (const QString& n : Names)
        lines << n + ": " + Zeros;
    return lines;
}

} // namespace

TEST(SearchConfigText, WritesExactBytesAndMakesTheMatrixSymmetric)
{
    TSearchConfig c = NamedConfig();
    c.Similarity[2][5] = "30"; // above the diagonal: wins
    c.Similarity[5][2] = "70";
    c.UseTLCSpotColors = true;
    c.UseThallus = false;
    c.UseUVVisible = true;
    c.RFError = "2";
    c.Correlation = "7";
    c.MatchingMethod = 1;
    c.ThallusColors = {"Yellow", "No Result", "No Result", "Red", "White", "No Result"};

    const QString text = SearchConfigText(c);

    QString expected;
    for (int i = 0; i < 18; ++i) {
        if (i == 2)
            expected += "Brown: 0,0,0,0,0,30,0,0,0,0,0,0,0,0,0,0,0,0\r\n";
        else if (i == 5)
            expected += "Lilac: 0,0,30,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0\r\n";
        else
            expected += Names[i] + ": " + Zeros + "\r\n";
    }
    expected += "UseTLCSpotColors: 1\r\n"
                "UseThallus: 0\r\n"
                "UseUVVisible: 1\r\n"
                "RFError: 2\r\n"
                "Correlation: 7\r\n"
                "MatchingMethod: 1\r\n"
                "ThallusColors: Yellow,No Result,No Result,Red,White,No Result,";
    EXPECT_EQ(text, expected);
    EXPECT_EQ(text.count("\r\n"), 24); // 25 lines, none after the last
    EXPECT_EQ(c.Similarity[5][2], "30");
    EXPECT_EQ(c.Similarity[2][5], "30");
}

TEST(SearchConfigText, ReadsBackWhatItWrote)
{
    TSearchConfig c = NamedConfig();
    for (int i = 0; i < 18; ++i)
        for (int j = 0; j < 18; ++j)
            c.Similarity[i][j] = QString::number((i * 7 + j * 3) % 101);
    for (int i = 0; i < 18; ++i)
        c.Similarity[i][i] = "100";
    c.UseThallus = true;
    c.RFError = "1.5";
    c.Correlation = "12";
    c.ThallusColors = {"Gelb–orange", "", "Red", "", "White", "Grün"};
    const QString text = SearchConfigText(c); // c is now symmetric

    TSearchConfig other; // every field differs from c
    other.UseTLCSpotColors = true;
    other.UseUVVisible = true;
    other.MatchingMethod = c.MatchingMethod; // never read back
    const TSearchConfigLoad load = ParseSearchConfigText(text, other);
    ASSERT_TRUE(load.Ok());
    EXPECT_TRUE(load.Warnings.isEmpty());
    EXPECT_EQ(load.Config, c);

    TSearchConfig again = load.Config;
    EXPECT_EQ(SearchConfigText(again), text);
}

TEST(SearchConfigFile, WritesUtf8BytesAndReadsThemBack)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Mine.scfg");
    TSearchConfig c = NamedConfig();
    c.ColorNames[16] = "Grau–grün";
    c.Similarity[16][17] = "60";
    const TConfigSave save = WriteSearchConfigFile(path, c);
    ASSERT_TRUE(save.Ok) << save.Message.toStdString();
    EXPECT_EQ(FileBytes(path, "<unreadable>"), SearchConfigText(c).toUtf8());
    EXPECT_EQ(c.Similarity[17][16], "60");

    const TSearchConfigLoad load = ReadSearchConfigFile(path, TSearchConfig());
    ASSERT_TRUE(load.Ok());
    EXPECT_EQ(load.Config, c);
}

TEST(SearchConfigFile, RefusedAndFailedLoadsChangeNothing)
{
    QTemporaryDir dir;
    TSearchConfig current = NamedConfig();
    current.Similarity[3][4] = "44";
    current.RFError = "3";
    current.ThallusColors[0] = "Yellow";

    auto write = [&](const QString& name, const QByteArray& bytes) {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return dir.filePath(name);
    };
    struct Case {
        const char* what;
        QString path;
        TConfigLoadError error;
    };
    const Case cases[] = {
        {"no Red line", write("a.scfg", "White: 1,2\r\nBrown: 3\r\nRFError: 2"),
         TConfigLoadError::Outdated},
        {"Red only as the first line", write("b.scfg", "Red: 1,2\r\nRFError: 2"),
         TConfigLoadError::Outdated},
        {"red in lower case", write("c.scfg", "White: 1\r\nred: 1\r\nRFError: 2"),
         TConfigLoadError::Outdated},
        {"empty file", write("d.scfg", ""), TConfigLoadError::Outdated},
        {"missing file", dir.filePath("none.scfg"), TConfigLoadError::Unreadable},
        {"a folder", dir.path(), TConfigLoadError::Unreadable},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const TSearchConfigLoad load = ReadSearchConfigFile(c.path, current);
        EXPECT_EQ(load.Error, c.error);
        EXPECT_FALSE(load.Ok());
        EXPECT_EQ(load.Config, current);
        if (c.error == TConfigLoadError::Outdated)
            EXPECT_EQ(load.Message, "Search Configuration File format is outdated and cannot be loaded");
        else
            EXPECT_EQ(load.Message, "Unable to open file: " + c.path);
    }
}

TEST(SearchConfigParse, InvalidValuesKeepTheCurrentValueAndWarnOnce)
{
    TSearchConfig current = NamedConfig();
    current.Similarity[10][4] = "33";
    current.RFError = "4";
    current.Correlation = "6";
    const QString keys = "UseTLCSpotColors: 1\r\nRFError: 2\r\nCorrelation: 9\r\nThallusColors: ,,,,,,";

    struct Case {
        const char* what;
        QString redLine;  // matrix line 11
        QString keyLines; // replaces `keys` when not empty
        QString rf, corr, cell; // expected RFError, Correlation, Similarity[10][4]
        int warnings;
    };
    const Case cases[] = {
        {"all valid", "Red: 0,0,0,0,55", "", "2", "9", "55", 0},
        {"cell not a number", "Red: 0,0,0,0,abc", "", "2", "9", "33", 1},
        {"cell above 100", "Red: 0,0,0,0,101", "", "2", "9", "33", 1},
        {"negative cell", "Red: 0,0,0,0,-1", "", "2", "9", "33", 1},
        {"decimal cell", "Red: 0,0,0,0,5.5", "", "2", "9", "33", 1},
        {"empty cell", "Red: 0,0,0,0,,7", "", "2", "9", "33", 1},
        {"tolerance not a number", "Red: 0,0,0,0,55", "RFError: x\r\nCorrelation: 9", "4", "9", "55", 1},
        {"decimal tolerance is kept", "Red: 0,0,0,0,55", "RFError: 1.5\r\nCorrelation: 9", "1.5", "9", "55", 0},
        {"tolerance above 100", "Red: 0,0,0,0,55", "RFError: 101\r\nCorrelation: 9", "4", "9", "55", 1},
        {"decimal correlation", "Red: 0,0,0,0,55", "RFError: 2\r\nCorrelation: 5.5", "2", "6", "55", 1},
        {"zero correlation", "Red: 0,0,0,0,55", "RFError: 2\r\nCorrelation: 0", "2", "6", "55", 1},
        {"empty correlation", "Red: 0,0,0,0,55", "RFError: 2\r\nCorrelation: ", "2", "6", "55", 1},
        {"correlation of three digits", "Red: 0,0,0,0,55", "RFError: 2\r\nCorrelation: 100", "2", "6", "55", 1},
        {"two-digit correlation is kept", "Red: 0,0,0,0,55", "RFError: 2\r\nCorrelation: 99", "2", "99", "55", 0},
        {"three faults", "Red: 0,0,0,0,x", "RFError: y\r\nCorrelation: z", "4", "6", "33", 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QStringList lines = ZeroLines();
        lines[10] = c.redLine;
        const TSearchConfigLoad load = ParseSearchConfigText(
            TextWithLines(lines, c.keyLines.isEmpty() ? keys : c.keyLines), current);
        ASSERT_TRUE(load.Ok());
        EXPECT_EQ(load.Config.RFError, c.rf);
        EXPECT_EQ(load.Config.Correlation, c.corr);
        EXPECT_EQ(load.Config.Similarity[10][4], c.cell);
        EXPECT_EQ(load.Warnings.size(), c.warnings) << load.Warnings.join(" | ").toStdString();
        EXPECT_EQ(WarningsMessage(load.Warnings).isEmpty(), c.warnings == 0);
    }
}

TEST(SearchConfigParse, ShortLinesFillZeroAndLongLinesAreCut)
{
    QStringList lines = ZeroLines();
    lines[2] = "Brown: 9,9,9,9,9,9,9,9,9,9,9,9,9,9,9,9,9,9";
    lines[3] = "P.Brown: 1,2,3";                                        // short
    lines[4] = "Purple: 1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21"; // long
    lines[5] = "Lilac: 7";                                              // one cell
    const TSearchConfigLoad load =
        ParseSearchConfigText(TextWithLines(lines, "RFError: 1"), NamedConfig());
    ASSERT_TRUE(load.Ok());
    EXPECT_TRUE(load.Warnings.isEmpty());
    const auto& m = load.Config.Similarity;
    EXPECT_EQ(m[3][0], "1");
    EXPECT_EQ(m[3][2], "3");
    for (int j = 3; j < 18; ++j)
        EXPECT_EQ(m[3][j], "0") << j; // not the 9s of the line before
    for (int j = 0; j < 18; ++j)
        EXPECT_EQ(m[4][j], QString::number(j + 1));
    EXPECT_EQ(load.Config.ColorNames[5], "Lilac");
    EXPECT_EQ(m[5][0], "7");
    for (int j = 1; j < 18; ++j)
        EXPECT_EQ(m[5][j], "0");
}

TEST(SearchConfigParse, KeyLines)
{
    TSearchConfig current = NamedConfig();
    current.UseTLCSpotColors = true;
    current.UseThallus = true;
    current.UseUVVisible = true;
    current.RFError = "3";
    current.Correlation = "8";
    current.MatchingMethod = 1;
    current.ThallusColors = {"a", "b", "c", "d", "e", "f"};

    struct Case {
        const char* what;
        QString keys;
        std::function<void(TSearchConfig&)> expect; // applied to `current`
    };
    const Case cases[] = {
        {"no key lines keep everything", "UseTLCSpotColors: 1", [](TSearchConfig&) {}},
        {"only 1 switches on", "UseTLCSpotColors: yes\r\nUseThallus: 0\r\nUseUVVisible: 11",
         [](TSearchConfig& c) { c.UseTLCSpotColors = c.UseThallus = c.UseUVVisible = false; }},
        {"MatchingMethod is not read", "MatchingMethod: 0\r\nRFError: 3", [](TSearchConfig&) {}},
        {"keys are case-sensitive", "rferror: 9\r\ncorrelation: 9", [](TSearchConfig&) {}},
        {"thallus texts", "ThallusColors: Yellow,No Result,No Result,Red,White,No Result,",
         [](TSearchConfig& c) {
             c.ThallusColors = {"Yellow", "No Result", "No Result", "Red", "White", "No Result"};
         }},
        {"fewer thallus texts empty the rest", "ThallusColors: Yellow,Red",
         [](TSearchConfig& c) { c.ThallusColors = {"Yellow", "Red", "", "", "", ""}; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const TSearchConfigLoad load = ParseSearchConfigText(TextWithLines(ZeroLines(), c.keys), current);
        ASSERT_TRUE(load.Ok());
        TSearchConfig expected = current;
        c.expect(expected);
        EXPECT_EQ(load.Config, expected);
    }
}

TEST(SearchConfigFile, MissingCorrelationGetsFive)
{
    QTemporaryDir dir;
    TSearchConfig current = NamedConfig();
    current.Correlation = "8";
    struct Case {
        const char* what;
        QString keys;
        QString correlation;
    };
    const Case cases[] = {
        {"no correlation line", "RFError: 1", "5"},
        {"lower-case key: no default, not read", "RFError: 1\r\ncorrelation: 9", "8"},
        {"correlation given", "RFError: 1\r\nCorrelation: 9", "9"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString path = dir.filePath("c.scfg");
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(TextWithLines(ZeroLines(), c.keys).toUtf8());
        f.close();
        const TSearchConfigLoad load = ReadSearchConfigFile(path, current);
        ASSERT_TRUE(load.Ok());
        EXPECT_EQ(load.Config.Correlation, c.correlation);
    }
}

TEST(SearchConfigSave, RefusesWhatWouldNotReadBack)
{
    struct Case {
        const char* what;
        std::function<void(TSearchConfig&)> change;
        QString messagePart;
    };
    const Case cases[] = {
        {"comma in a thallus text", [](TSearchConfig& c) { c.ThallusColors[3] = "Red, then Brown"; },
         "thallus reaction PD"},
        {"line break in a thallus text", [](TSearchConfig& c) { c.ThallusColors[5] = "Red\nBrown"; },
         "thallus reaction UV-medulla"},
        {"CR in a thallus text", [](TSearchConfig& c) { c.ThallusColors[0] = "Red\r"; },
         "thallus reaction K"},
        {"tolerance not a number", [](TSearchConfig& c) { c.RFError = ""; }, "RF Error tolerance"},
        {"correlation decimal", [](TSearchConfig& c) { c.Correlation = "5.5"; }, "correlation factor"},
        {"cell out of range", [](TSearchConfig& c) { c.Similarity[4][9] = "120"; },
         "similarity of Purple to Pink"},
        {"colour name with a line break", [](TSearchConfig& c) { c.ColorNames[3] = "P.\r\nBrown"; },
         "colour name"},
    };
    QTemporaryDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TSearchConfig config = NamedConfig();
        EXPECT_EQ(SearchConfigSaveError(config), "");
        c.change(config);
        EXPECT_TRUE(SearchConfigSaveError(config).contains(c.messagePart))
            << SearchConfigSaveError(config).toStdString();
        const QString path = dir.filePath("refused.scfg");
        const TConfigSave save = WriteSearchConfigFile(path, config);
        EXPECT_FALSE(save.Ok);
        EXPECT_EQ(save.Message, SearchConfigSaveError(config));
        EXPECT_FALSE(QFile::exists(path));
    }
}

TEST(SearchConfigSave, NeverOverwritesTheDefaultFile)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkdir("sub");
    const QString path = dir.filePath("sub/Default.scfg");
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("shipped");
    }
    TSearchConfig config = NamedConfig();
    const TConfigSave save = WriteSearchConfigFile(path, config);
    EXPECT_FALSE(save.Ok);
    EXPECT_EQ(save.Message, "Cannot overwrite the default file: Default.scfg\r\nChoose \"Save as\" and rename");
    EXPECT_EQ(FileBytes(path, "<unreadable>"), "shipped");

    // The name is compared exactly.
    EXPECT_TRUE(WriteSearchConfigFile(dir.filePath("default.scfg"), config).Ok);
}

TEST(SearchConfigNames, DisplayNameAndDefaultFile)
{
    struct Case {
        QString path, display;
        bool isDefault;
    };
    const Case cases[] = {
        {"Default.scfg", "Default", true},
        {"/home/u/Default.scfg", "Default", true},
        {"C:\\Data\\My Lichens.SCFG", "My Lichens", false},
        {"x.Scfg.scfg", "x", false},
        {"default.scfg", "default", false},
        {"/a.scfg/plain", "plain", false},
        {"", "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        EXPECT_EQ(SearchConfigDisplayName(c.path), c.display);
        EXPECT_EQ(IsDefaultConfigFile(c.path), c.isDefault);
    }
}

TEST(SearchConfigMatrix, AppliesToAndReadsFromColorMatrix)
{
    TSearchConfig c = NamedConfig();
    c.Similarity[0][17] = "12";
    c.Similarity[17][0] = "21";
    std::array<TColorRow, 20> matrix;
    matrix[3].Similarity[18] = "99"; // spare cells carry no data
    matrix[18].ColorName = "spare";
    ApplySearchConfigToColorMatrix(c, matrix);
    EXPECT_EQ(matrix[0].ColorName, "No Result");
    EXPECT_EQ(matrix[17].ColorName, "Black");
    EXPECT_EQ(matrix[0].Similarity[17], "12");
    EXPECT_EQ(matrix[17].Similarity[0], "21");
    EXPECT_EQ(matrix[3].Similarity[18], "0");
    EXPECT_EQ(matrix[18].ColorName, "spare");

    TSearchConfig back;
    ColorMatrixToSearchConfig(matrix, back);
    EXPECT_EQ(back.ColorNames, c.ColorNames);
    EXPECT_EQ(back.Similarity, c.Similarity);

    MakeColorMatrixSymmetric(matrix);
    EXPECT_EQ(matrix[17].Similarity[0], "12");
    EXPECT_EQ(matrix[0].Similarity[17], "12");
}
