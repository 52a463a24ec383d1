// The search configuration window's Load, clicked as the user does, opens
// Qt's own file dialog (not the test run's scripted one): on the working
// folder it lists only the search configurations, besides the folders, its
// "Files of type" reads their pattern and its name box is left empty.
#include "test_searchconfigwindow_kit.h"
#include "support/RealFileDialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTest>

namespace {

using SearchConfigLoadDialog = ConfigWindows;

// The names the dialog's file list shows, in order.
QStringList Listed(QListView* list)
{
    QStringList names;
    const QAbstractItemModel* model = list->model();
    for (int row = 0; row < model->rowCount(list->rootIndex()); ++row)
        names << model->index(row, 0, list->rootIndex()).data().toString();
    names.sort();
    return names;
}

TEST_F(SearchConfigLoadDialog, ListsOnlyTheSearchConfigurationsOfTheFolder)
{
    RealFileDialogs real;
    CreateWithDefault();
    // Beside the database and Default.scfg: another configuration, a spot
    // file, its export, a text file and a folder.
    for (const char* name : {"Lichens of 2023.scfg", "Spots.spot", "Spots.csv", "Notes.txt"})
        WriteFile(InDir(name), "x");
    ASSERT_TRUE(QDir(db.Dir()).mkdir("Older"));
    const QStringList expected = {"Default.scfg", "Lichens of 2023.scfg", "Older"};

    TSearchConfigForm* f = SearchConfigForm;
    f->Show();
    QWidget* window = f->Widget();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    const QString loadedBefore = SearchConfigFileName;

    QPushButton* load = qobject_cast<QPushButton*>(f->LoadButton->Widget());
    ASSERT_TRUE(load && load->isVisible() && load->isEnabled());
    auto clickLoad = [&] {
        QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, load->mapTo(window, load->rect().center()));
    };
    EXPECT_TRUE(WithFileDialog(clickLoad, [&](QFileDialog* dialog) {
        auto* list = dialog->findChild<QListView*>(QStringLiteral("listView"));
        auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (list && types && name) {
            // The user goes to the folder (Qt opens the first dialog of a
            // run on the working folder, a later one where the last was).
            dialog->setDirectory(db.Dir());
            // The folder is read in the background.
            EXPECT_TRUE(QTest::qWaitFor([&] { return Listed(list) == expected; }, 5000))
                << qPrintable(Listed(list).join(", "));
            EXPECT_EQ(types->count(), 1);
            EXPECT_EQ(types->currentText(), "*.scfg");
            EXPECT_EQ(name->text(), "");
        } else {
            ADD_FAILURE() << "not the widget-based dialog";
        }
        dialog->reject();
    }));
    // Cancelled: the configuration loaded before stays.
    EXPECT_EQ(SearchConfigFileName, loadedBefore);
}

} // namespace
