// The tool bars of the search configuration and cune windows show a picture
// per button, side by side, with the hint as the only text, whether or not
// the main window (whose image list they borrow) is there.
#include "test_searchconfigwindow_kit.h"

#include <QToolButton>

namespace {

using ConfigToolBars = ConfigWindows;

struct Expected {
    const char* name;
    QString hint;
};

// Every picture button: an icon, no visible caption, inside the bar, and no
// two buttons on the same pixels.
void ExpectPictureButtons(TToolBar* bar, const std::vector<Expected>& expected)
{
    std::vector<TToolButton*> pictures;
    for (int i = 0; i < bar->ButtonCount(); ++i)
        if (bar->Buttons(i)->Style() == tbsButton)
            pictures.push_back(bar->Buttons(i));
    ASSERT_EQ(pictures.size(), expected.size());
    for (size_t i = 0; i < pictures.size(); ++i) {
        TToolButton* b = pictures[i];
        SCOPED_TRACE(expected[i].name);
        EXPECT_EQ(b->Name, QString::fromUtf8(expected[i].name));
        EXPECT_EQ(b->Hint(), expected[i].hint);
        EXPECT_FALSE(b->Button()->icon().isNull());
        EXPECT_TRUE(b->Button()->text().isEmpty() ||
                    b->Button()->toolButtonStyle() == Qt::ToolButtonIconOnly);
        EXPECT_TRUE(QRect(0, 0, bar->Width(), bar->Height()).contains(b->BoundsRect()));
        for (size_t j = 0; j < i; ++j)
            EXPECT_FALSE(b->BoundsRect().intersects(pictures[j]->BoundsRect()))
                << "overlaps " << pictures[j]->Name.toStdString();
    }
    // The pictures differ, so the buttons can be told apart.
    for (size_t i = 1; i < pictures.size(); ++i)
        EXPECT_NE(pictures[i]->Button()->icon().pixmap(16).toImage(),
                  pictures[i - 1]->Button()->icon().pixmap(16).toImage());
}

const std::vector<Expected> ConfigButtons = {
    {"LoadDefaultIcon", "Load Default Search Configuration"},
    {"LoadIcon", "Load Search Configuration From File"},
    {"SaveIcon", "Save"},
    {"SaveAsIcon", "Save as..."},
};
const std::vector<Expected> CuneButtons = {
    {"LoadCuneIcon", "Open Cune File"},
    {"SaveCuneIcon", "Save Cune File"},
    {"AddCuneIcon", "Add New Control"},
    {"DeleteCuneIcon", "Delete Selected Control"},
};

TEST_F(ConfigToolBars, PicturesFromTheMainWindow)
{
    CreateCuneWindows();
    SearchConfigForm->Show();
    CuneForm->Show();
    ExpectPictureButtons(SearchConfigForm->ToolBar1, ConfigButtons);
    ExpectPictureButtons(CuneForm->ToolBar1, CuneButtons);
    SaveScreenshot(SearchConfigForm, "search_configuration");
    SaveScreenshot(CuneForm, "cune_values");
}

TEST_F(ConfigToolBars, PicturesWithoutTheMainWindow)
{
    WriteFile("Default.scfg", DefaultScfg());
    Application->CreateForm(SearchConfigForm);
    Application->CreateForm(CuneForm);
    ASSERT_EQ(SearchConfigFileName, "Default.scfg");
    ExpectPictureButtons(SearchConfigForm->ToolBar1, ConfigButtons);
    ExpectPictureButtons(CuneForm->ToolBar1, CuneButtons);
}

} // namespace
