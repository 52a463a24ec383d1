#pragma once
// What a test that runs the program's start-up must put back afterwards: the
// working folder and every global the start-up touches, so later tests start
// clean. The internet probe points where nothing listens, so it fails at once.
#include "core/Entry.h"
#include "core/MainWindow.h"
#include "core/Record.h"
#include "core/Settings.h"
#include "core/WebText.h"
#include "support/FakeHttpServer.h"

#include <QDir>

#include <array>

class SavedProgramState {
public:
    SavedProgramState() : dir(QDir::currentPath()), matrix(ColorMatrix)
    {
        InternetEnabled = true;
        InternetProbeAddress = FakeHttpServer::RefusedAddress();
    }
    ~SavedProgramState()
    {
        DestroyAllForms();
        QDir::setCurrent(dir);
        ResetSettings();
        InternetEnabled = true;
        SpotsSaved = true;
        SortColumn = 0;
        Spots.clear();
        ColorMatrix = matrix;
    }
    SavedProgramState(const SavedProgramState&) = delete;
    SavedProgramState& operator=(const SavedProgramState&) = delete;

private:
    QString dir;
    std::array<TColorRow, 20> matrix;
};
