#pragma once

#include <string>

#include "data/ADODatabase.h"
#include "platform/ui/CComboBox.h"
#include "platform/ui/CDateTimeCtrl.h"
#include "platform/ui/CDialog.h"

struct EntryChange;
struct EntryForm;

// Daily expenses: each press of 添加 stores one row in normalPay.
class CNormalPayDlg : public CDialog {
    Q_OBJECT

public:
    explicit CNormalPayDlg(QWidget* parent = nullptr);

    CADODatabase m_db;
    double m_dAmount = 0;
    CComboBox m_comboMember;
    CDateTimeCtrl m_dateCtrl;
    std::string m_strRemark;
    CComboBox m_comboItem;

    // Opens the dialog on a recorded entry, for changing it instead of adding one.
    void SetChange(EntryChange* pChange) { m_pChange = pChange; }

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    bool OnInitDialog() override;
    const MessageMap& GetMessageMap() const override;

private:
    EntryForm Form();
    EntryChange* m_pChange = nullptr;
    void OnBnClickedAdd();
    void OnBnClickedOk();
};
