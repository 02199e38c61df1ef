#include "backup/CBackupDlg.h"

#include <QTreeWidget>
#include <filesystem>
#include <stdexcept>

#include "data/BookBackup.h"
#include "data/BookRestore.h"
#include "data/DatabaseFailure.h"
#include "platform/skin/Skin.h"
#include "platform/ui/QuestionBox.h"
#include "res/ResourceIds.h"
#include "res/Resources.h"

namespace {

// A server is not backed up by this program, and may not back itself up.
constexpr const char* kServerBookText =
    "账本在数据库服务器上：请用服务器的备份，或用 tillbook-db copy 复制成账本文件。";

std::string Range(const BookSummary& s) {
    if (s.firstDate.empty())
        return "没有记录";
    return s.firstDate + " 至 " + s.lastDate;
}

std::string Count(long long n) {
    return std::to_string(n) + " 笔";
}

}  // namespace

CBackupDlg::CBackupDlg(std::string bookPath, QWidget* parent)
    : CDialog(BackupDialogTemplate(), parent),
      m_strBook(bookPath.empty() ? HouseholdBookPath() : std::move(bookPath)) {}

const MessageMap& CBackupDlg::GetMessageMap() const {
    static const MessageMap map{
        Command(IDC_BACKUP_NOW, &CBackupDlg::OnBackupNow),
        Command(IDC_BACKUP_RESTORE, &CBackupDlg::OnRestore),
    };
    return map;
}

void CBackupDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_BACKUP_LIST, m_listBackups);
}

bool CBackupDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    dsSkinWindow(this, 100, "nomaxdialog", 1);
    m_listBackups.InsertReportColumn(0, "备份时间", LVCFMT_LEFT, 130);
    m_listBackups.InsertReportColumn(1, "收入笔数", LVCFMT_RIGHT, 64);
    m_listBackups.InsertReportColumn(2, "支出笔数", LVCFMT_RIGHT, 64);
    m_listBackups.InsertReportColumn(3, "最新记录日期", LVCFMT_LEFT, 96);
    m_listBackups.InsertReportColumn(4, "大小", LVCFMT_RIGHT, 80);
    if (!BackupApplies(m_strBook)) {
        SetDlgItemText(IDC_BACKUP_FOLDER, kServerBookText);
        GetDlgItem(IDC_BACKUP_NOW)->setEnabled(false);
        GetDlgItem(IDC_BACKUP_RESTORE)->setEnabled(false);
        return true;
    }
    SetDlgItemText(IDC_BACKUP_FOLDER, "备份文件夹：" + ShownPath(BackupFolderFor(m_strBook)));
    FillList();
    return true;
}

void CBackupDlg::FillList() {
    m_listBackups.DeleteAllRows();
    m_backups = ListBackups(BackupFolderFor(m_strBook),
                            std::filesystem::path(m_strBook).filename().string());
    for (std::size_t i = 0; i < m_backups.size(); ++i) {
        const BackupFile& file = m_backups[i];
        std::vector<std::string> texts(4);
        try {
            const BookSummary summary = SummarizeBook(file.path);
            texts = {std::to_string(summary.income), std::to_string(summary.expense),
                     summary.lastDate.empty() ? "无记录" : summary.lastDate, SizeText(file.size)};
        } catch (const std::exception&) {
            texts = {"无法读取", "", "", SizeText(file.size)};
        }
        const int row = m_listBackups.InsertRow(m_listBackups.GetItemCount(), file.timeText, texts);
        m_listBackups.SetItemData(row, static_cast<std::uint32_t>(i));
    }
    // The newest is selected and current, so the arrow keys move on from it.
    if (!m_backups.empty())
        m_listBackups.List()->setCurrentItem(m_listBackups.List()->topLevelItem(0));
    GetDlgItem(IDC_BACKUP_RESTORE)->setEnabled(!m_backups.empty());
}

void CBackupDlg::OnBackupNow() {
    try {
        const BackupFile made = BackUpBook(m_strBook);
        FillList();
        MessageBox("已备份账本：" + made.timeText + "，" + SizeText(made.size) + "。");
    } catch (const BackupError& e) {
        MessageBox("没有备份成功：" + BackupFailureText(e, BackupFolderFor(m_strBook)));
    }
}

void CBackupDlg::OnRestore() {
    const int row = m_listBackups.GetFirstSelectedRow();
    if (row < 0) {
        MessageBox("请先在列表中选择要恢复的备份。");
        return;
    }
    const BackupFile chosen = m_backups.at(m_listBackups.GetItemData(row));
    BookSummary then;
    try {
        then = SummarizeBook(chosen.path);
    } catch (const std::exception&) {
        MessageBox("这个备份无法读取，不能用来恢复：" + ShownPath(chosen.path));
        return;
    }
    std::string nowText = "无法读取";
    BookSummary now;
    try {
        now = SummarizeBook(m_strBook);
        nowText = Count(now.income) + "，支出 " + Count(now.expense) + "，" + Range(now);
    } catch (const std::exception&) {
        nowText = "无法读取（可能已损坏）";
    }
    const std::string question =
        "要把账本恢复成 " + chosen.timeText + " 的备份吗？\n\n现在的账本：收入 " + nowText +
        "\n备份中的账本：收入 " + Count(then.income) + "，支出 " + Count(then.expense) + "，" +
        Range(then) + "\n\n恢复前会先把现在的账本备份一份，需要时可以再恢复回来。";
    if (!AskYesNo(this, question))
        return;
    std::string before;
    try {
        before = RestoreBook(chosen.path, m_strBook);
    } catch (const BackupError& e) {
        MessageBox(e.GetKind() == BackupError::Kind::NotABook
                       ? "这个备份不是完整可用的账本，没有恢复，账本保持原样。"
                       : "没有恢复，账本保持原样：\n" +
                             BackupFailureText(e, BackupFolderFor(m_strBook)));
        FillList();
        return;
    }
    // Read back from the book's own name: what every dialog opens from now on.
    BookSummary reopened = then;
    try {
        reopened = SummarizeBook(m_strBook);
    } catch (const std::exception&) {
        // Checked as a book before it took the book's place; what it holds is the backup's.
    }
    FillList();
    std::string text = "账本已恢复成 " + chosen.timeText + " 的备份，并已重新打开：收入 " +
                       Count(reopened.income) + "，支出 " + Count(reopened.expense) + "。";
    if (!before.empty())
        text +=
            "\n恢复前的账本已备份为 " + std::filesystem::path(before).filename().string() + "。";
    MessageBox(text);
}
