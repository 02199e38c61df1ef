#pragma once

#include <QIcon>

#include "app/CTreeResponse.h"
#include "platform/ui/CDialog.h"
#include "platform/ui/CMenu.h"
#include "platform/ui/CTreeCtrl.h"

// The main window: the login area, the navigation tree and the settings and About buttons.
class CCofferDlg : public CDialog {
    Q_OBJECT

public:
    explicit CCofferDlg(QWidget* parent = nullptr);

protected:
    bool OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnSysCommand(int id) override;
    const MessageMap& GetMessageMap() const override;

    void mouseMoveEvent(QMouseEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    void OnLogin();
    void OnLogout();
    void OnDblclkTreeNav(Notification& n);
    void OnRdblclkTreeNav(Notification& n);
    void OnSetting();
    void OnAbout();
    void OnMenuUser();
    void OnMenuSetting();
    void OnMenuExit();
    long OnUserMessage();
    void FillNavTree();

    // Edge docking hooks; the docking behaviour itself is not built yet.
    void OnMouseMove();
    void OnTimer(int id);

    // The window manager draws the minimised window and its drag image from this icon, so no
    // paint or drag-icon handler of our own is needed.
    QIcon m_hIcon;
    CTreeResponse m_treeResponse;
    int m_nScreenWidth = 0;
    int m_nDockLeft = 0;
    int m_nDockTop = 0;
    int m_nDockWidth = 0;
    int m_nDockHeight = 0;
    CTreeCtrl m_treeNav;
    CMenu m_menuPopup;
    int m_bHidden = 0;
    int m_bTimerOn = 0;
};
