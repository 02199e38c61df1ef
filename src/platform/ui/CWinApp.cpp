#include "platform/ui/CWinApp.h"

#include <QApplication>
#include <string>

namespace {
CWinApp* g_theApp = nullptr;
}

CWinApp::CWinApp() {
    g_theApp = this;
}

CWinApp::~CWinApp() {
    if (g_theApp == this)
        g_theApp = nullptr;
}

CWinApp* AfxGetApp() {
    return g_theApp;
}

int CWinApp::Run(int argc, char** argv) {
    // The program takes no arguments, and Qt would act on its own (-platform, -reverse, -style,
    // ...): it gets the program's name alone. The platform still follows QT_QPA_PLATFORM.
    static std::string name;
    name = argc > 0 && argv[0] ? argv[0] : "tillbook";
    static char* qtArgv[] = {name.data(), nullptr};
    static int qtArgc = 1;
    QApplication application(qtArgc, qtArgv);
    if (InitInstance())
        application.exec();
    return ExitInstance();
}

void CWinApp::SetRegistryKey(const std::string& key) {
    QCoreApplication::setOrganizationName(QString::fromStdString(key));
}
