#pragma once

#include <string>

#include "data/ADODatabase.h"
#include "data/Fen.h"
#include "platform/ui/CComboBox.h"
#include "platform/ui/CDateTimeCtrl.h"
#include "platform/ui/CDialog.h"

struct EntryChange;
struct EntryForm;

// Daily expenses: each press of 添加 stores one entry on the expense side of the book.
class CNormalPayDlg : public CDialog {
    Q_OBJECT

public:
    explicit CNormalPayDlg(QWidget* parent = nullptr);

    CADODatabase m_db;
    Fen m_fenAmount;
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
