// The one test program main: creates the one QApplication (offscreen unless
// a platform is set), installs the scripted dialog double for the whole run
// and intercepts Halt; both are reset before every test.
#include "ScriptedDialogs.h"
#include "framework/Forms.h"

#include <QApplication>
#include <gtest/gtest.h>
#include <cstdlib>

namespace {
ScriptedDialogs* testDialogs = nullptr;
int lastHalt = -1;

class ResetBetweenTests : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override
    {
        testDialogs->Reset();
        lastHalt = -1;
        Application->ResetForTests();
    }
    void OnTestEnd(const ::testing::TestInfo&) override
    {
        Application->FreeReleased();
    }
};
} // namespace

ScriptedDialogs& TestDialogs() { return *testDialogs; }
int LastHaltStatus() { return lastHalt; }

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    auto dialogs = std::make_unique<ScriptedDialogs>();
    testDialogs = dialogs.get();
    SetDialogs(std::move(dialogs));
    SetHaltHook([](int status) { lastHalt = status; });
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new ResetBetweenTests);
    return RUN_ALL_TESTS();
}
