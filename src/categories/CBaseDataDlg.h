#pragma once

#include <string>

#include "data/ADODatabase.h"
#include "platform/ui/CDialog.h"
#include "platform/ui/CListCtrl.h"
#include "platform/ui/report/CReportCtrl.h"

class CADORecordset;

// Keeps the category tables named in baseData (family members, income items, expense items):
// add, delete and change entries, and set the order in which the other dialogs list them.
class CBaseDataDlg : public CDialog {
    Q_OBJECT

public:
    explicit CBaseDataDlg(QWidget* parent = nullptr);

    CListCtrl m_listKind;
    CReportCtrl m_listEntry;
    CADODatabase m_db;
    std::string m_strType;
    std::string m_strRemark;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    bool OnInitDialog() override;
    const MessageMap& GetMessageMap() const override;

private:
    void OnClickListKind(Notification& n);
    void OnSelChangeListKind(Notification& n);
    void OnClickListEntry(Notification& n);
    void OnMoveUp();
    void OnAdd();
    void OnDelete();
    void OnChange();
    void OnMoveDown();
    void OnClose();

    // The text of the lowest-indexed selected kind; "" when there is none.
    std::string SelectedKind() const;
    // Reads the edits and opens the selected kind's rows whose 类型 is the typed one. Says
    // so and leaves `rs` closed when there is no such row.
    bool OpenTypedEntry(CADORecordset& rs);
    void ReloadEntries();
    void EmptyEntries();
    // Writes the kind's table afresh in the order the entry list shows.
    void StoreShownOrder();

    // The kind whose rows the entry list shows; "" when it shows none. The rows written back
    // by a move must be that kind's and no other's.
    std::string m_strShownKind;
    // Set when a selection change has just read the kind, so the click that made it does not
    // read it again.
    bool m_bKindJustRead = false;
    // Set once this visit has backed up the book before rewriting a table's order.
    bool m_bBackedUp = false;
};
