// What the Qt file dialog is given for a request: a wildcard name with no
// filter becomes the filter (and leaves the name box empty); every other
// request keeps its filters and its name.
#include "support/QtPrinters.h"
#include "framework/Dialogs.h"

#include <gtest/gtest.h>

namespace {

struct NamesCase {
    const char* name;
    bool save;
    QString filter;
    QString fileName;
    QStringList filters;     // expected
    QString initialName;     // expected
};

void PrintTo(const NamesCase& c, std::ostream* os) { *os << c.name; }

class FileDialogNames : public ::testing::TestWithParam<NamesCase> {};

TEST_P(FileDialogNames, FiltersAndInitialName)
{
    const NamesCase& c = GetParam();
    TFileDialogRequest request;
    request.Save = c.save;
    request.Filter = c.filter;
    request.FileName = c.fileName;
    request.DefaultExt = QStringLiteral("scfg");
    const TQtFileDialogNames names = QtFileDialogNames(request);
    EXPECT_EQ(names.Filters, c.filters);
    EXPECT_EQ(names.FileName, c.initialName);
}

INSTANTIATE_TEST_SUITE_P(
    Requests, FileDialogNames,
    ::testing::Values(
        // The search configuration's Load.
        NamesCase{"WildcardWithoutFilter", false, "", "*.scfg", {"*.scfg"}, ""},
        NamesCase{"QuestionMarkWithoutFilter", false, "", "Plate?.jpg", {"Plate?.jpg"}, ""},
        NamesCase{"WildcardWithoutFilterOnSave", true, "", "*.scfg", {"*.scfg"}, ""},
        // With a filter the wildcard name stays as it was given.
        NamesCase{"WildcardWithFilter", false, "Spot files (*.spot)|*.spot", "*.spot", {"Spot files (*.spot)"},
                  "*.spot"},
        NamesCase{"PlainNameWithoutFilter", false, "", "Default.scfg", {}, "Default.scfg"},
        NamesCase{"NothingGiven", false, "", "", {}, ""},
        NamesCase{"SaveWithFilterAndName", true, ".SCFG files (*.scfg)|*.scfg", "Mine.scfg",
                  {".SCFG files (*.scfg)"}, "Mine.scfg"},
        NamesCase{"TwoFilters", false, "Spot files (*.spot)|*.spot|All files (*.*)|*.*", "",
                  {"Spot files (*.spot)", "All files (*.*)"}, ""},
        NamesCase{"PatternsOutsideTheDescription", false, "Cune files|*.cune;*.txt", "", {"Cune files (*.cune *.txt)"},
                  ""}),
    [](const ::testing::TestParamInfo<NamesCase>& info) { return std::string(info.param.name); });

} // namespace
