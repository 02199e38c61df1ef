#include "platform/ui/CDialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QTreeWidget>
#include <utility>

#include "platform/ui/CComboBox.h"
#include "platform/ui/CDateTimeCtrl.h"
#include "platform/ui/CListModel.h"
#include "platform/ui/CMenu.h"
#include "platform/ui/DialogUnits.h"
#include "platform/ui/EditControls.h"
#include "platform/ui/ErrorBarrier.h"
#include "platform/ui/LinkLabel.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/WindowText.h"

namespace {
ModalRunner& Runner() {
    static ModalRunner runner;
    return runner;
}

const char* const kControlIdProperty = "controlId";

Qt::WindowFlags FrameFlags(unsigned s) {
    Qt::WindowFlags flags = (s & style::AppWindow) ? Qt::Window : Qt::Dialog;
    flags |= Qt::CustomizeWindowHint;
    if (s & style::Caption)
        flags |= Qt::WindowTitleHint;
    if (s & style::SysMenu)
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (s & style::MinimizeBox)
        flags |= Qt::WindowMinimizeButtonHint;
    if (s & style::MaximizeBox)
        flags |= Qt::WindowMaximizeButtonHint;
    return flags;
}

Qt::Alignment TextAlignment(unsigned s) {
    if (s & style::Center)
        return Qt::AlignHCenter | Qt::AlignTop;
    if (s & style::Right)
        return Qt::AlignRight | Qt::AlignTop;
    return Qt::AlignLeft | Qt::AlignTop;
}

// Controls without a caption are named after the static text just before them, as the
// platform's dialog manager named them for assistive technologies.
bool TakesNameFromLabel(ControlKind kind) {
    switch (kind) {
        case ControlKind::Edit:
        case ControlKind::ComboBox:
        case ControlKind::DateTimePicker:
        case ControlKind::ListView:
        case ControlKind::TreeView:
        case ControlKind::Custom:
            return true;
        default:
            return false;
    }
}

QWidget* MakeWidget(const ControlTemplate& c, QWidget* parent) {
    const QString caption = QString::fromStdString(c.caption);
    switch (c.kind) {
        case ControlKind::Static: {
            auto* label = new QLabel(caption, parent);
            label->setTextFormat(Qt::PlainText);
            label->setWordWrap(true);
            label->setAlignment(TextAlignment(c.style));
            return label;
        }
        case ControlKind::LinkLabel:
            return new LinkLabel(caption, parent);
        case ControlKind::Icon: {
            auto* label = new QLabel(parent);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            return label;
        }
        case ControlKind::Edit:
            return CreateEdit(c.style, parent);
        case ControlKind::PushButton:
        case ControlKind::DefPushButton: {
            auto* button = new QPushButton(caption, parent);
            button->setAutoDefault(false);
            button->setDefault(c.kind == ControlKind::DefPushButton);
            return button;
        }
        case ControlKind::RadioButton:
            return new QRadioButton(caption, parent);
        case ControlKind::CheckBox:
            return new QCheckBox(caption, parent);
        case ControlKind::GroupBox:
            return new QGroupBox(caption, parent);
        case ControlKind::TreeView: {
            auto* tree = new QTreeWidget(parent);
            tree->setHeaderHidden(true);
            tree->setRootIsDecorated(c.style & (style::LinesAtRoot | style::HasButtons));
            tree->setHorizontalScrollBarPolicy((c.style & style::HScroll) ? Qt::ScrollBarAsNeeded
                                                                          : Qt::ScrollBarAlwaysOff);
            return tree;
        }
        case ControlKind::ListView: {
            QTreeView* view = nullptr;
            if (c.style & style::OwnerData) {
                view = new QTreeView(parent);
                view->setModel(new CListModel(view));
            } else {
                view = new QTreeWidget(parent);
            }
            view->setRootIsDecorated(false);
            view->setUniformRowHeights(true);
            view->setAllColumnsShowFocus(true);
            view->setItemsExpandable(false);
            view->header()->setStretchLastSection(false);
            view->header()->setSectionsClickable(true);
            view->setSelectionMode((c.style & style::SingleSel)
                                       ? QAbstractItemView::SingleSelection
                                       : QAbstractItemView::ExtendedSelection);
            return view;
        }
        case ControlKind::ComboBox:
            return CreateComboBox(c.style, parent);
        case ControlKind::DateTimePicker:
            return new DateTimePicker(c.style, parent);
        case ControlKind::Custom:
            break;
    }
    return new QWidget(parent);
}
}  // namespace

ModalRunner SetModalRunner(ModalRunner runner) {
    return std::exchange(Runner(), std::move(runner));
}

CDialog::CDialog(const DialogTemplate& tpl, QWidget* parent) : QDialog(parent), m_template(tpl) {}

CDialog::~CDialog() = default;

void CDialog::Create() {
    if (m_bCreated)
        return;
    m_bCreated = true;
    CreateControls();
    RunGuarded(this, [this] { OnInitDialog(); });
}

void CDialog::CreateControls() {
    setWindowTitle(QString::fromStdString(m_template.caption));
    setWindowFlags(FrameFlags(m_template.style));
    setFont(TemplateFont(m_template.fontName, m_template.pointSize));
    const DialogUnits units(font());

    QButtonGroup* radioGroup = nullptr;
    QLabel* lastLabel = nullptr;
    for (const ControlTemplate& c : m_template.controls) {
        QWidget* widget = MakeWidget(c, this);
        widget->setProperty(kControlIdProperty, c.id);
        widget->setGeometry(units.ToPixels(c.x, c.y, c.cx, c.cy));
        if (auto* combo = qobject_cast<QComboBox*>(widget))
            combo->resize(combo->width(), combo->sizeHint().height());
        if (c.kind == ControlKind::GroupBox)
            widget->lower();
        if (c.kind == ControlKind::Icon) {
            const int side = qMin(widget->width(), widget->height());
            static_cast<QLabel*>(widget)->setPixmap(
                QIcon(QString::fromStdString(c.caption)).pixmap(side, side));
        }
        widget->setEnabled(!(c.style & style::Disabled));

        if (c.kind == ControlKind::RadioButton) {
            if (!radioGroup || (c.style & style::Group))
                radioGroup = new QButtonGroup(this);
            radioGroup->addButton(static_cast<QRadioButton*>(widget));
        } else {
            radioGroup = nullptr;
        }

        if (TakesNameFromLabel(c.kind) && lastLabel) {
            widget->setAccessibleName(lastLabel->text().remove(QLatin1Char('&')));
            lastLabel->setBuddy(widget);
        }
        lastLabel = (c.kind == ControlKind::Static) ? static_cast<QLabel*>(widget) : nullptr;

        if (c.id != IDC_STATIC)
            m_controls.insert(c.id, widget);
        Connect(widget, c);
    }
    setFixedSize(units.ToPixelsX(m_template.cx), units.ToPixelsY(m_template.cy));

    auto* systemMenuKey = new QShortcut(QKeySequence(QStringLiteral("Alt+Space")), this);
    connect(systemMenuKey, &QShortcut::activated, this, [this] {
        QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(0, 0),
                                mapToGlobal(QPoint(0, 0)));
        contextMenuEvent(&event);
    });
}

void CDialog::Connect(QWidget* widget, const ControlTemplate& c) {
    const int id = c.id;
    auto notify = [this, id](Event event, int item = -1) {
        Notification n{id, event, item};
        Dispatch(n);
        return n.result;
    };
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        connect(button, &QAbstractButton::clicked, this, [notify] { notify(Event::Command); });
    } else if (auto* link = qobject_cast<LinkLabel*>(widget)) {
        connect(link, &LinkLabel::clicked, this, [notify] { notify(Event::Command); });
    } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        connect(combo, &QComboBox::activated, this, [notify] { notify(Event::SelChange); });
    } else if (auto* view = qobject_cast<QTreeView*>(widget)) {
        view->setProperty(kControlIdProperty, id);
        view->installEventFilter(this);
        view->viewport()->setProperty(kControlIdProperty, id);
        view->viewport()->installEventFilter(this);
        connect(view->header(), &QHeaderView::sectionClicked, this,
                [notify](int column) { notify(Event::ColumnClick, column); });
        if (auto* tree = qobject_cast<QTreeWidget*>(view))
            connect(tree, &QTreeWidget::itemSelectionChanged, this,
                    [notify] { notify(Event::SelChange); });
        else if (view->selectionModel())
            connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                    [notify] { notify(Event::SelChange); });
    }
}

bool CDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            // Kept from the dialog, where Enter would press the default button instead.
            Notification n{watched->property(kControlIdProperty).toInt(), Event::Return};
            Dispatch(n);
            return true;
        }
    }
    // Only the left and right buttons double-click; the middle one is not a double-click.
    const Qt::MouseButton button = event->type() == QEvent::MouseButtonDblClick
                                       ? static_cast<QMouseEvent*>(event)->button()
                                       : Qt::NoButton;
    if (button == Qt::LeftButton || button == Qt::RightButton) {
        const Event kind = button == Qt::RightButton ? Event::RightDoubleClick : Event::DoubleClick;
        Notification n{watched->property(kControlIdProperty).toInt(), kind};
        Dispatch(n);
        if (n.result != 0)
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

int CDialog::DoModal() {
    Create();
    m_nEndCode = 0;
    if (Runner()) {
        ModalRunner runner = Runner();
        return runner(*this);
    }
    if (!parentWidget()) {
        QWidget* owner = QApplication::activeWindow();
        if (owner && owner != this)
            setParent(owner, windowFlags());
    }
    return exec();
}

void CDialog::EndDialog(int result) {
    m_nEndCode = result;
    done(result);
}

QWidget* CDialog::GetDlgItem(int id) const {
    return m_controls.value(id, nullptr);
}

std::string CDialog::GetDlgItemText(int id) const {
    return WindowText(GetDlgItem(id)).toStdString();
}

void CDialog::SetDlgItemText(int id, const std::string& text) {
    SetWindowText(GetDlgItem(id), QString::fromStdString(text));
}

bool CDialog::IsDlgButtonChecked(int id) const {
    auto* button = GetDlgItemAs<QAbstractButton>(id);
    return button && button->isChecked();
}

void CDialog::CheckDlgButton(int id, bool checked) {
    if (auto* button = GetDlgItemAs<QAbstractButton>(id))
        button->setChecked(checked);
}

bool CDialog::UpdateData(bool saveAndValidate) {
    CDataExchange dx(this, saveAndValidate);
    try {
        DoDataExchange(&dx);
        return true;
    } catch (const DataExchangeFailed&) {
        return false;
    }
}

int CDialog::MessageBox(const std::string& text) {
    return ShowMessageBox(this, text);
}

void CDialog::Dispatch(Notification& n) {
    const MessageMap::Handler* handler = GetMessageMap().Find(n.event, n.id);
    RunGuarded(this, [&] {
        if (handler)
            (*handler)(*this, n);
        else if (n.event == Event::Command && n.id == IDOK)
            OnOK();
        else if (n.event == Event::Command && n.id == IDCANCEL)
            OnCancel();
    });
}

void CDialog::SendCommand(int id) {
    Notification n{id, Event::Command};
    Dispatch(n);
}

long CDialog::SendMessage(int message) {
    Notification n{message, Event::Message};
    Dispatch(n);
    return n.result;
}

void CDialog::SendSysCommand(int id) {
    RunGuarded(this, [&] { OnSysCommand(id); });
}

QMenu* CDialog::GetSystemMenu() {
    if (!m_systemMenu) {
        m_systemMenu = std::make_unique<QMenu>();
        connect(m_systemMenu.get(), &QMenu::triggered, this,
                [this](QAction* action) { SendSysCommand(CommandIdOf(action)); });
    }
    return m_systemMenu.get();
}

bool CDialog::OnInitDialog() {
    UpdateData(false);
    return true;
}

void CDialog::DoDataExchange(CDataExchange*) {}

void CDialog::OnOK() {
    if (UpdateData(true))
        EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void CDialog::OnSysCommand(int) {}

const MessageMap& CDialog::GetMessageMap() const {
    static const MessageMap empty;
    return empty;
}

void CDialog::reject() {
    OnCancel();
}

void CDialog::keyPressEvent(QKeyEvent* event) {
    // Enter presses the focused push button, else the default one, else it means OK: the
    // dialog manager's rule, which Qt's auto-default buttons do not follow.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (!enter || event->modifiers() != Qt::NoModifier) {
        QDialog::keyPressEvent(event);
        return;
    }
    if (auto* focused = qobject_cast<QPushButton*>(focusWidget())) {
        focused->click();
        return;
    }
    const auto buttons = findChildren<QPushButton*>();
    auto defaultButton =
        std::find_if(buttons.begin(), buttons.end(), [](QPushButton* b) { return b->isDefault(); });
    if (defaultButton != buttons.end()) {
        if ((*defaultButton)->isEnabled())
            (*defaultButton)->click();
        return;
    }
    SendCommand(IDOK);
}

void CDialog::contextMenuEvent(QContextMenuEvent* event) {
    if (m_systemMenu && !m_systemMenu->isEmpty())
        m_systemMenu->popup(event->globalPos());
}
