// A user's first start: the unit question before any document, asked once;
// Cancel ends the program before a document opens.
#include "shell_fixture.h"

#include "settings/firstsetup.h"
#include "ui/hostwindow.h"
#include "ui/installpanel.h"

#include <QFileInfo>
#include <QTest>

namespace {

// The user's data and configuration folders point into the test's own.
class FirstStart : public ShellTest {
protected:
    QTemporaryDir home;
    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        ShellTest::SetUp();
        qputenv("XDG_DATA_HOME", home.filePath(QStringLiteral("data")).toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toLocal8Bit());
    }
    void TearDown() override
    {
        ShellTest::TearDown();
        qunsetenv("XDG_CONFIG_HOME");
    }
    // A new main window on the same store, its start-up timers left running.
    void startAgain()
    {
        w->confirmExit();
        w.reset();
        w = std::make_unique<app::TForm1>();
        w->show();
    }
    ui::TInstall* setupPanel() const { return dynamic_cast<ui::TInstall*>(w->TFormX()->hostedPanel()); }
};

} // namespace

TEST_F(FirstStart, TheUnitIsAskedBeforeAnyDocumentAndNeverAgain)
{
    startAgain();
    EXPECT_TRUE(w->setupPanelTimer().isActive());
    EXPECT_FALSE(w->untitledTimer().isActive());
    w->setupPanelTimer().stop();
    w->showSetupPanel();
    ASSERT_NE(setupPanel(), nullptr);
    EXPECT_EQ(w->TFormX()->hostedCode(), ui::hostedFirstTimeSetup);
    EXPECT_EQ(w->TFormX()->windowTitle(), QStringLiteral("First-time Setup"));
    // No other floating panel replaces it while it shows.
    EXPECT_FALSE(w->openPageSetup(nullptr));
    EXPECT_EQ(w->TFormX()->hostedCode(), ui::hostedFirstTimeSetup);

    setupPanel()->inchesBox->click();
    w->TFormX()->leftClicked();  // Proceed
    EXPECT_FALSE(w->TFormX()->isVisible());
    EXPECT_TRUE(w->untitledTimer().isActive());
    EXPECT_TRUE(w->documents().empty());
    EXPECT_EQ(w->params()->newFile.units, 3);
    EXPECT_EQ(settings::setupState(*w->params()->store()), settings::setupDone);
    // The file type was registered for this (test) user.
    EXPECT_TRUE(QFileInfo::exists(home.filePath(QStringLiteral("data/applications/com.velantis.Lumora.desktop"))));
    int32_t code = -1;
    EXPECT_TRUE(w->params()->store()->readInt(settings::keyCustomSettings, settings::registrationValue, code));
    EXPECT_EQ(code, 0);

    startAgain();
    EXPECT_FALSE(w->setupPanelTimer().isActive());
    EXPECT_TRUE(w->untitledTimer().isActive());
    EXPECT_EQ(w->params()->newFile.units, 3);
    w->untitledTimer().stop();
}

TEST_F(FirstStart, CancelEndsTheProgramBeforeAnyDocumentOpens)
{
    startAgain();
    int ended = 0;
    w->setOnSetupCancelled([&] { ++ended; });
    w->setupPanelTimer().stop();
    w->showSetupPanel();
    ASSERT_NE(setupPanel(), nullptr);
    w->TFormX()->rightClicked();  // Cancel
    EXPECT_EQ(ended, 0);          // half a second later
    EXPECT_TRUE(QTest::qWaitFor([&] { return ended == 1; }, 2000));
    EXPECT_TRUE(w->documents().empty());
    EXPECT_FALSE(w->untitledTimer().isActive());
    EXPECT_EQ(settings::setupState(*w->params()->store()), settings::setupNotDone);
}
