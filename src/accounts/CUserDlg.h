#pragma once

#include <string>

#include "platform/ui/CDialog.h"

// The login dialog: accepts a user name and password that tbUser holds.
class CUserDlg : public CDialog {
    Q_OBJECT

public:
    explicit CUserDlg(QWidget* parent = nullptr);

    std::string m_strUser;
    std::string m_strPassword;

protected:
    bool OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    const MessageMap& GetMessageMap() const override;
    // Waits for a password check under way, then closes.
    void OnCancel() override;

private:
    void OnBnClickedLogin();
    void OnBnClickedAdd();

    bool m_bChecking = false;
    bool m_bCancelWaiting = false;
};
