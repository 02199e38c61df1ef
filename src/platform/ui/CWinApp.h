#pragma once

#include <string>

class CDialog;

// The process's one application object: Run makes the Qt application, calls InitInstance,
// enters the event loop only when InitInstance returns true, and returns ExitInstance's code.
class CWinApp {
public:
    CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;
    virtual ~CWinApp();

    int Run(int argc, char** argv);

    virtual bool InitInstance() { return true; }
    virtual int ExitInstance() { return 0; }

    // Names the per-user settings root; nothing in the program reads or writes settings.
    void SetRegistryKey(const std::string& key);

    CDialog* m_pMainWnd = nullptr;
};

CWinApp* AfxGetApp();
