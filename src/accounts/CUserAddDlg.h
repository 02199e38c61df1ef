#pragma once

#include <string>

#include "data/ADODatabase.h"
#include "data/ADORecordset.h"
#include "data/BookConnection.h"
#include "platform/ui/CDialog.h"

// Adds users to tbUser, or changes the password of the administrator "root".
class CUserAddDlg : public CDialog {
    Q_OBJECT

public:
    explicit CUserAddDlg(QWidget* parent = nullptr);

    CADODatabase m_db;
    std::string m_strName;  // the new user's name, or the old password when changing it
    std::string m_strPassword;
    std::string m_strRepeat;

protected:
    bool OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    const MessageMap& GetMessageMap() const override;

private:
    void OnBnClickedOk();
    void OnBnClickedRadioAdd();
    void OnBnClickedRadioChange();
    void AddUser(const std::string& query);
    void ChangeRootPassword();
};
