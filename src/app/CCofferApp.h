#pragma once

#include "platform/ui/CWinApp.h"

class CCofferApp : public CWinApp {
public:
    bool InitInstance() override;
    int ExitInstance() override;
};

extern CCofferApp theApp;
