#pragma once

#include <string>

#include "data/ADODatabase.h"
#include "data/Fen.h"
#include "platform/ui/CComboBox.h"
#include "platform/ui/CDateTimeCtrl.h"
#include "platform/ui/CDialog.h"

struct EntryChange;
struct EntryForm;

// Daily income: each press of 添加 stores one entry on the income side of the book.
class CNormalIncomeDlg : public CDialog {
    Q_OBJECT

public:
    explicit CNormalIncomeDlg(QWidget* parent = nullptr);

    CComboBox m_comboMember;
    CComboBox m_comboItem;
    Fen m_fenAmount;
    CADODatabase m_db;
    std::string m_strRemark;
    CDateTimeCtrl m_dateCtrl;

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
    void OnBnClickedClose();
};
