// Changing, deleting and taking back the records a query dialog lists.
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QScrollBar>
#include <QShortcut>
#include <QTreeView>
#include <algorithm>
#include <charconv>
#include <future>
#include <utility>

#include "data/BookBackup.h"
#include "data/BookReopen.h"
#include "entry/EntryChange.h"
#include "platform/ui/CMenu.h"
#include "platform/ui/QuestionBox.h"
#include "query/CInquiryDlg.h"
#include "res/ResourceIds.h"

namespace {
constexpr const char* kStaleMessage = "该记录已被删除或更改，请重新查询。";

std::int64_t NumberOf(const std::string& text) {
    std::int64_t number = 0;
    std::from_chars(text.data(), text.data() + text.size(), number);
    return number;
}

std::vector<std::int64_t> NumbersOf(const StoredRows& rows) {
    std::vector<std::int64_t> numbers;
    for (const StoredRows::Row& row : rows.rows)
        numbers.push_back(row.number);
    return numbers;
}
}  // namespace

void CInquiryDlg::MakeContextMenu() {
    m_pContextMenu = std::make_unique<QMenu>(this);
    m_pContextMenu->setAccessibleName(QStringLiteral("记录操作"));
    AddMenuCommand(m_pContextMenu.get(), ID_INQ_CHANGE, "修改…");
    QAction* remove = AddMenuCommand(m_pContextMenu.get(), ID_INQ_DELETE, "删除");
    m_pContextMenu->addSeparator();
    QAction* undo = AddMenuCommand(m_pContextMenu.get(), ID_INQ_UNDO, "撤销");
    // The keys are shown beside the commands; the list and the dialog handle them.
    remove->setShortcut(QKeySequence::Delete);
    undo->setShortcut(QKeySequence::Undo);
    for (QAction* action : {remove, undo})
        action->setShortcutContext(Qt::WidgetShortcut);
    connect(m_pContextMenu.get(), &QMenu::triggered, this,
            [this](QAction* action) { SendCommand(CommandIdOf(action)); });

    // Ctrl+Z anywhere in the dialog but in an edit field, which takes back its own typing.
    auto* undoKey = new QShortcut(QKeySequence::Undo, this);
    undoKey->setContext(Qt::WidgetWithChildrenShortcut);
    connect(undoKey, &QShortcut::activated, this, [this] { SendCommand(ID_INQ_UNDO); });
}

bool CInquiryDlg::eventFilter(QObject* watched, QEvent* event) {
    QTreeView* view = m_listResult.List();
    if (view && (watched == view || watched == view->viewport())) {
        if (event->type() == QEvent::ContextMenu) {
            auto* menuEvent = static_cast<QContextMenuEvent*>(event);
            ShowContextMenu(menuEvent->reason() == QContextMenuEvent::Mouse
                                ? menuEvent->globalPos()
                                : KeyboardMenuPosition());
            return true;
        }
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Delete && key->modifiers() == Qt::NoModifier) {
                SendCommand(ID_INQ_DELETE);
                return true;
            }
            const bool sideways = key->key() == Qt::Key_Left || key->key() == Qt::Key_Right;
            if (sideways && key->modifiers() == Qt::NoModifier) {
                // Only the number can be selected: the arrows scroll sideways instead of
                // moving to a cell that would drop the selection.
                view->horizontalScrollBar()->triggerAction(
                    key->key() == Qt::Key_Left ? QAbstractSlider::SliderSingleStepSub
                                               : QAbstractSlider::SliderSingleStepAdd);
                return true;
            }
            const bool menuKey = key->key() == Qt::Key_Menu && key->modifiers() == Qt::NoModifier;
            if (menuKey || (key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier)) {
                ShowContextMenu(KeyboardMenuPosition());
                return true;
            }
        }
    }
    return CDialog::eventFilter(watched, event);
}

QPoint CInquiryDlg::KeyboardMenuPosition() const {
    QTreeView* view = m_listResult.List();
    const QModelIndex current = view->currentIndex();
    const QRect cell = current.isValid() ? view->visualRect(current.siblingAtColumn(0)) : QRect();
    const QPoint at = cell.isValid() ? cell.bottomLeft() : QPoint(0, 0);
    return view->viewport()->mapToGlobal(at);
}

void CInquiryDlg::ShowContextMenu(const QPoint& globalPos) {
    const int selected = m_listResult.GetSelectedCount();
    const QList<QAction*> actions = m_pContextMenu->actions();
    for (QAction* action : actions) {
        switch (CommandIdOf(action)) {
            case ID_INQ_CHANGE:
                action->setEnabled(selected == 1);
                break;
            case ID_INQ_DELETE:
                action->setEnabled(selected > 0);
                break;
            case ID_INQ_UNDO:
                action->setEnabled(!m_undo.empty());
                break;
            default:
                break;
        }
    }
    m_pContextMenu->popup(globalPos);
}

std::vector<ListedEntry> CInquiryDlg::SelectedEntries() const {
    std::vector<ListedEntry> entries;
    for (int row : m_listResult.GetSelectedItems())
        entries.push_back(
            {NumberOf(m_listResult.GetItemText(row, 0)), m_listResult.GetItemData(row)});
    return entries;
}

bool CInquiryDlg::ReadyToEdit() {
    if (!m_listed)
        return false;
    ReopenIfBookGone(m_db);
    return m_db.IsOpen();
}

std::string CInquiryDlg::DeleteQuestion(const std::vector<int>& rows) const {
    if (rows.size() > 1)
        return "删除选中的 " + std::to_string(rows.size()) + " 笔" + m_table.side.name + "记录？";
    const int row = rows.front();
    auto cell = [this, row](int column) { return m_listResult.GetItemText(row, column); };
    return std::string("删除这笔") + m_table.side.name + "记录？\n" + cell(3) + "  " + cell(2) +
           "  " + cell(4) + "  " + cell(1);
}

void CInquiryDlg::OnDeleteEntries() {
    const std::vector<int> rows = m_listResult.GetSelectedItems();
    if (rows.empty() || !ReadyToEdit())
        return;
    const std::vector<ListedEntry> listed = SelectedEntries();
    // Asking about rows that are no longer what the list shows would mislead.
    if (!ReadListedEntries(m_db, m_table.side, listed)) {
        MessageBox(kStaleMessage);
        return;
    }
    // Many records at once: the book as it was is kept beyond this window's steps back too.
    // The backup is taken while the question is read, so that 是 seldom waits for it.
    std::future<bool> backup;
    if (listed.size() > 1 && !std::exchange(m_bBackedUp, true))
        backup = std::async(std::launch::async, BackUpBeforeBulkChange,
                            m_db.GetActiveConnection()->FilePath());
    const bool yes = AskYesNo(this, DeleteQuestion(rows));
    if (backup.valid())
        backup.wait();
    if (!yes)
        return;
    UndoStep step;
    if (DeleteEntries(m_db, m_table.side, listed, step.before) != EditOutcome::Done) {
        MessageBox(kStaleMessage);
        return;
    }
    step.after.assign(step.before.rows.size(), std::nullopt);
    m_undo.push_back(std::move(step));
    ListAgain({});
}

void CInquiryDlg::OnChangeEntry() {
    if (m_listResult.GetSelectedCount() != 1 || !ReadyToEdit())
        return;
    EntryChange change;
    change.listed = SelectedEntries().front();
    const std::optional<StoredRows> stored = ReadListedEntries(m_db, m_table.side, {change.listed});
    if (!stored) {
        MessageBox(kStaleMessage);
        return;
    }
    change.stored = stored->Fields(0);
    m_runChangeForm(change);
    if (change.outcome != EditOutcome::Done)
        return;
    m_undo.push_back({std::move(change.before), {change.fingerprint}});
    ListAgain({change.listed.number});
}

void CInquiryDlg::OnUndo() {
    if (m_undo.empty() || !ReadyToEdit())
        return;
    const UndoStep& step = m_undo.back();
    const EditOutcome outcome = RestoreEntries(m_db, m_table.side, step.before, step.after);
    // A step that meets rows changed elsewhere can never be taken back; the older ones still can.
    const std::vector<std::int64_t> restored = NumbersOf(step.before);
    m_undo.pop_back();
    if (outcome != EditOutcome::Done) {
        MessageBox(kStaleMessage);
        return;
    }
    ListAgain(restored);
}

void CInquiryDlg::ListAgain(std::vector<std::int64_t> select) {
    const int scroll = m_listResult.GetScrollPos();
    m_listResult.DeleteAllItems();
    ListRows(*m_listed);
    std::sort(select.begin(), select.end());
    std::vector<int> rows;
    for (int row = 0; row < m_listResult.GetItemCount(); ++row) {
        if (std::binary_search(select.begin(), select.end(),
                               NumberOf(m_listResult.GetItemText(row, 0))))
            rows.push_back(row);
    }
    m_listResult.SetSelectedItems(rows);
    m_listResult.SetScrollPos(scroll);
}
