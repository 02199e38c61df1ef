#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <QApplication>

#include "app/CCofferApp.h"
#include "app/CCofferDlg.h"
#include "platform/skin/Skin.h"
#include "support/UiTestSupport.h"

namespace {
TEST(Startup, RunsTheSkinnedMainWindowThenUnloadsTheSkin) {
    std::string skinDuringRun;
    bool mainWindowRecorded = false;
    ScopedModalRunner runner([&](CDialog& dlg) {
        skinDuringRun = LoadedSkinName();
        mainWindowRecorded = AfxGetApp()->m_pMainWnd == &dlg;
        return IDCANCEL;  // the close box
    });
    EXPECT_FALSE(theApp.InitInstance());  // no message loop of its own
    EXPECT_EQ(runner.Opened(), std::vector<std::string>{"CCofferDlg"});
    EXPECT_EQ(skinDuringRun, "ControlSkin");
    EXPECT_TRUE(mainWindowRecorded);
    EXPECT_EQ(theApp.m_pMainWnd, nullptr);

    EXPECT_EQ(QCoreApplication::applicationName(), QStringLiteral("Tillbook"));
    EXPECT_EQ(QCoreApplication::applicationVersion(), QStringLiteral("1.0.0.1"));
    EXPECT_EQ(QCoreApplication::organizationName(), QStringLiteral("Quillmoor"));
    // Qt's own texts speak the program's language.
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "OK"), QStringLiteral("确定"));

    EXPECT_EQ(theApp.ExitInstance(), 0);
    EXPECT_EQ(LoadedSkinName(), "");
}
}  // namespace
