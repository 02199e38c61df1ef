#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "data/ADODatabase.h"
#include "data/DateTimeValue.h"
#include "data/EntryEdits.h"
#include "platform/ui/CComboBox.h"
#include "platform/ui/CDialog.h"
#include "platform/ui/CListCtrl.h"
#include "query/InquiryStatement.h"
#include "query/QueryPeriod.h"

class QMenu;
struct EntryChange;

// Runs the entry dialog of a side on one entry, for changing it; the dialog's end code.
using ChangeFormRunner = int (*)(EntryChange& change);

// The records of one period, filtered by family member and item: the income and the expense
// query dialogs are this one dialog over two tables. Listed records can be changed, deleted,
// and those steps taken back while the dialog is open.
class CInquiryDlg : public CDialog {
    Q_OBJECT

public:
    CInquiryDlg(const DialogTemplate& tpl, const InquiryTable& table,
                ChangeFormRunner runChangeForm, QWidget* parent = nullptr);
    ~CInquiryDlg() override;

    CComboBox m_comboMember;
    CComboBox m_comboItem;
    CADODatabase m_db;
    CListCtrl m_listResult;
    DateTimeValue m_dateFrom;
    DateTimeValue m_dateTo;
    int m_bFilterMember = 0;
    int m_bFilterItem = 0;
    std::string m_strMember;
    std::string m_strItem;

    void OnQueryToday();
    void OnQueryWeek();
    void OnQueryMonth();
    void OnQueryYear();
    void OnQueryInterval();
    // The context menu's commands (also Delete and Ctrl+Z).
    void OnChangeEntry();
    void OnDeleteEntries();
    void OnUndo();

    // The list's context menu, made when the dialog initialises.
    QMenu* ContextMenu() const { return m_pContextMenu.get(); }

protected:
    bool OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    const MessageMap& GetMessageMap() const override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The range and filters of the list on show, to list again after a change.
    struct ListedQuery {
        QueryPeriod period;
        std::string member;
        std::string item;
    };
    // A change or a delete, and how to take it back: the rows as they were, and as each was
    // left (nullopt: deleted; else its fingerprint).
    struct UndoStep {
        StoredRows before;
        std::vector<std::optional<std::uint32_t>> after;
    };

    void LoadChoices();
    void StartQuery();
    void RunRangeQuery(const QueryPeriod& period);
    void ListRows(const ListedQuery& query);

    void MakeContextMenu();
    void ShowContextMenu(const QPoint& globalPos);
    QPoint KeyboardMenuPosition() const;
    std::vector<ListedEntry> SelectedEntries() const;
    std::string DeleteQuestion(const std::vector<int>& rows) const;
    // Lists the same range and filters again, keeping the scroll position and selecting the
    // rows with these numbers that are still listed.
    void ListAgain(std::vector<std::int64_t> select);
    // Makes sure the connection still reaches the book file; false when nothing is listed.
    bool ReadyToEdit();

    const InquiryTable& m_table;
    ChangeFormRunner m_runChangeForm;
    std::optional<ListedQuery> m_listed;
    std::vector<UndoStep> m_undo;
    std::unique_ptr<QMenu> m_pContextMenu;
    // Set once this visit has backed up the book before deleting many records.
    bool m_bBackedUp = false;
};
