#pragma once

#include <optional>
#include <string>

#include "bills/BillImport.h"
#include "bills/BillRecord.h"
#include "data/ADODatabase.h"
#include "platform/ui/CComboBox.h"
#include "platform/ui/CDialog.h"
#include "platform/ui/report/CReportCtrl.h"

// "账单导入": an Alipay or WeChat Pay statement shown row by row with what the book will make
// of it, the item of each platform category, and the rows to book checked.
class CBillImportDlg : public CDialog {
    Q_OBJECT

public:
    explicit CBillImportDlg(QWidget* parent = nullptr);
    ~CBillImportDlg() override;

    CADODatabase m_db;
    CComboBox m_comboMember;
    CComboBox m_comboCategory;
    CComboBox m_comboItem;
    CReportCtrl m_listPreview;
    std::string m_strFile;
    std::optional<BillStatement> m_statement;
    BillImportPlan m_plan;

    // Columns of the preview.
    enum Column {
        ColTime,
        ColDirection,
        ColAmount,
        ColCounterparty,
        ColDescription,
        ColMethod,
        ColStatus,
        ColItem,
        ColNote,
        ColCount
    };

protected:
    bool OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    const MessageMap& GetMessageMap() const override;

private:
    void OnBrowse();
    void OnImport();
    void OnSelChangeCategory(Notification& n);
    void OnSelChangeItem(Notification& n);

    void LoadFile(const std::string& path);
    void Plan();
    void FillPreview();
    void ShowItems();
    void ShowSummary();
    void FillItemChoices();
    CategoryKey SelectedCategory() const;
};
