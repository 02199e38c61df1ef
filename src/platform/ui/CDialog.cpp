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
#include <algorithm>
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

// Controls without a caption are named after a label, as the platform's dialog manager named
// them for assistive technologies.
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

bool IsLabel(ControlKind kind) {
    return kind == ControlKind::Static || kind == ControlKind::CheckBox;
}

// The label that names a caption-less control: the static text or check box standing at its
// left on the same line (the nearest one), else the static text just before it in the
// template. Templates put a label after its edit as often as before it, so order alone
// would name the wrong edit. Returns an index into `controls`, or -1.
int NamingLabel(const std::vector<ControlTemplate>& controls, size_t index) {
    const ControlTemplate& c = controls[index];
    int best = -1;
    for (size_t i = 0; i < controls.size(); ++i) {
        const ControlTemplate& l = controls[i];
        if (i == index || !IsLabel(l.kind))
            continue;
        // A combo's height includes its drop-down and a list's its rows: the line a label
        // stands on is the control's first line of text.
        const int labelMiddle = l.y + l.cy / 2;
        const bool sameLine = labelMiddle >= c.y && labelMiddle <= c.y + std::min(c.cy, 14);
        const bool atLeft = l.x < c.x && l.x + l.cx / 2 < c.x;
        if (sameLine && atLeft && (best < 0 || l.x + l.cx > controls[best].x + controls[best].cx))
            best = static_cast<int>(i);
    }
    if (best < 0 && index > 0 && controls[index - 1].kind == ControlKind::Static)
        best = static_cast<int>(index - 1);
    return best;
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
    std::vector<QWidget*> widgets;
    for (const ControlTemplate& c : m_template.controls) {
        QWidget* widget = MakeWidget(c, this);
        widgets.push_back(widget);
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

        if (c.id != IDC_STATIC)
            m_controls.insert(c.id, widget);
        Connect(widget, c);
    }
    for (size_t i = 0; i < widgets.size(); ++i) {
        if (!TakesNameFromLabel(m_template.controls[i].kind))
            continue;
        const int label = NamingLabel(m_template.controls, i);
        if (label < 0)
            continue;
        widgets[i]->setAccessibleName(WindowText(widgets[label]).remove(QLatin1Char('&')));
        if (auto* text = qobject_cast<QLabel*>(widgets[label]))
            text->setBuddy(widgets[i]);
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
    const int id = watched->property(kControlIdProperty).toInt();
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            // A list or tree that maps Enter opens its item with it; any other gets the
            // dialog's own Enter handling, never the view's.
            if (GetMessageMap().Find(Event::Return, id)) {
                Notification n{id, Event::Return};
                Dispatch(n);
            } else {
                PressDefaultButton();
            }
            return true;
        }
    }
    if (event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        m_bSecondClick = false;
    }
    // Mouse events reach the view's viewport; one the viewport leaves unhandled would come
    // back through the view itself and must not count twice.
    const bool viewport = !qobject_cast<QAbstractItemView*>(watched);
    if (event->type() == QEvent::MouseButtonRelease && viewport && !m_bInRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton && !m_bSecondClick) {
        // The click is reported once the view has settled its selection, as the platform's
        // list reported it after the button came up: deliver the release first.
        m_bInRelease = true;
        QCoreApplication::sendEvent(watched, event);
        m_bInRelease = false;
        Notification n{id, Event::Click};
        Dispatch(n);
        return true;
    }
    // Only the left and right buttons double-click; the middle one is not a double-click.
    const Qt::MouseButton button = event->type() == QEvent::MouseButtonDblClick
                                       ? static_cast<QMouseEvent*>(event)->button()
                                       : Qt::NoButton;
    if (button == Qt::LeftButton || button == Qt::RightButton) {
        m_bSecondClick = true;  // the double-click is its own notification
        const Event kind = button == Qt::RightButton ? Event::RightDoubleClick : Event::DoubleClick;
        Notification n{id, kind};
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
    PressDefaultButton();
}

void CDialog::PressDefaultButton() {
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
