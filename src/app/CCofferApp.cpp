#include "app/CCofferApp.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "app/CCofferDlg.h"
#include "data/BookBackup.h"
#include "data/DatabaseFailure.h"
#include "platform/skin/Skin.h"
#include "platform/ui/ErrorBarrier.h"
#include "platform/ui/MessageBox.h"
#include "res/Resources.h"
#include "res/Version.h"

CCofferApp theApp;

namespace {
// The program speaks Simplified Chinese whatever the desktop's language, so Qt's own texts
// (message box buttons, edit menus, calendar) and date formats do too.
void UseChineseForQtTexts() {
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    auto* translator = new QTranslator(qApp);
    if (translator->load(QStringLiteral("qtbase_zh_CN"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
}
}  // namespace

bool CCofferApp::InitInstance() {
    // Qt's widgets need no common-controls initialisation.
    QCoreApplication::setApplicationName(version::ProductName);
    QCoreApplication::setApplicationVersion(version::ProductVersion);
    QApplication::setWindowIcon(LoadProgramIcon());
    SetFailureDescriber(&DescribeDatabaseFailure);
    UseChineseForQtTexts();

    SetRegistryKey("Quillmoor");
    dsLoadSkin("ControlSkin", 0);

    // A failed automatic backup is told once a day, by the window the user is looking at.
    SetBackupNoticeSink([](const std::string& message) {
        QMetaObject::invokeMethod(
            qApp, [message] { ShowMessageBox(QApplication::activeWindow(), message); },
            Qt::QueuedConnection);
    });
    // Runs beside the window, which never waits for it; ends before the program does.
    CStartupBackup backup(HouseholdBookPath());

    CCofferDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    return false;
}

int CCofferApp::ExitInstance() {
    dsExitSkin();
    return CWinApp::ExitInstance();
}
