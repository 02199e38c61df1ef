#pragma once

#include <QIcon>

#include "app/CTreeResponse.h"
#include "app/EdgeDock.h"
#include "platform/ui/CDialog.h"
#include "platform/ui/CMenu.h"
#include "platform/ui/CTreeCtrl.h"

// The main window: the login area, the navigation tree and the settings and About buttons.
class CCofferDlg : public CDialog {
    Q_OBJECT

public:
    explicit CCofferDlg(QWidget* parent = nullptr);

    // Edge docking, open to tests that drive it.
    CEdgeDock& Docking() { return m_dock; }

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
    void OnMenuBackup();
    void OnMenuExit();
    long OnUserMessage();
    void FillNavTree();

    // Edge docking handlers.
    void OnMouseMove();
    void OnTimer(int id);

    // The window manager draws the minimised window and its drag image from this icon, so no
    // paint or drag-icon handler of our own is needed.
    QIcon m_hIcon;
    CTreeResponse m_treeResponse;
    CEdgeDock m_dock{*this};  // the screen width, the docked place and the two flags
    CTreeCtrl m_treeNav;
    CMenu m_menuPopup;
};
