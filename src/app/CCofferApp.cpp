#include "CCofferApp.h"

#include <QApplication>

#include "CCofferDlg.h"
#include "DatabaseFailure.h"
#include "ErrorBarrier.h"
#include "Resources.h"
#include "Skin.h"
#include "Version.h"

CCofferApp theApp;

bool CCofferApp::InitInstance() {
    // Qt's widgets need no common-controls initialisation.
    QCoreApplication::setApplicationName(version::ProductName);
    QCoreApplication::setApplicationVersion(version::ProductVersion);
    QApplication::setWindowIcon(LoadProgramIcon());
    SetFailureDescriber(&DescribeDatabaseFailure);

    SetRegistryKey("Quillmoor");
    dsLoadSkin("ControlSkin", 0);

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
