#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <QApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include "app/CCofferApp.h"
#include "app/CCofferDlg.h"
#include "data/BackupCatalog.h"
#include "platform/skin/Skin.h"
#include "res/ResourceIds.h"
#include "support/TempBook.h"
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
// A book without a backup of the last day gets one beside the window; the settings pop-up's
// 备份与恢复… opens the window that lists it.
TEST(Startup, BacksUpADueBookBesideTheMainWindow) {
    TempBook book;
    ScopedModalRunner runner([](CDialog& dlg) {
        if (dynamic_cast<CCofferDlg*>(&dlg) != nullptr)
            dlg.SendCommand(ID_MENU_BACKUP);
        return IDCANCEL;
    });
    EXPECT_FALSE(theApp.InitInstance());
    theApp.ExitInstance();
    EXPECT_EQ(runner.Opened(), (std::vector<std::string>{"CCofferDlg", "CBackupDlg"}));
    EXPECT_EQ(ListBackups("backups", "data.mdb").size(), 1u);
}

TEST(Startup, CommandLineArgumentsChangeNothing) {
    // Qt would abort on an unknown platform named on the command line; the environment's
    // platform is the one used.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory(dir.path());
    program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    program.start(QStringLiteral(TILLBOOK_PROGRAM),
                  {QStringLiteral("-platform"), QStringLiteral("nosuch"),
                   QStringLiteral("-reverse"), QStringLiteral("-style"), QStringLiteral("nosuch")});
    ASSERT_TRUE(program.waitForStarted(10000));
    // Still showing its main window after a while: it did not stop over the arguments.
    EXPECT_FALSE(program.waitForFinished(3000))
        << "exit code " << program.exitCode() << ", status " << program.exitStatus();
    program.kill();
    program.waitForFinished(10000);
}
}  // namespace
