#include "platform/ui/CWinApp.h"

#include <QApplication>

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
    QApplication application(argc, argv);
    if (InitInstance())
        application.exec();
    return ExitInstance();
}

void CWinApp::SetRegistryKey(const std::string& key) {
    QCoreApplication::setOrganizationName(QString::fromStdString(key));
}
