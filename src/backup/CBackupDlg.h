#pragma once

#include <string>
#include <vector>

#include "data/BackupCatalog.h"
#include "platform/ui/CDialog.h"
#include "platform/ui/report/CReportCtrl.h"

// 备份与恢复: lists the book's backups with what each holds, takes one now, and puts the
// selected one in the book's place after showing what would change.
class CBackupDlg : public CDialog {
    Q_OBJECT

public:
    // `bookPath` empty: the book every dialog opens.
    explicit CBackupDlg(std::string bookPath = {}, QWidget* parent = nullptr);

    CReportCtrl m_listBackups;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    bool OnInitDialog() override;
    const MessageMap& GetMessageMap() const override;

private:
    void OnBackupNow();
    void OnRestore();
    void FillList();

    std::string m_strBook;
    std::vector<BackupFile> m_backups;
};
