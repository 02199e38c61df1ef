#include "platform/skin/Skin.h"

#include <QApplication>
#include <QFile>
#include <QHash>
#include <QIcon>
#include <QMenu>
#include <QSettings>
#include <QStyle>
#include <QTreeWidgetItem>
#include <memory>

#include "platform/ui/CDialog.h"
#include "platform/ui/CMenu.h"

namespace {
const char* const kSkinProperty = "skin";
const char* const kSkinKindProperty = "skinKind";
constexpr int kDrawValueRole = Qt::UserRole + 0x100;

QString& SkinFolder() {
    static QString folder;
    return folder;
}

std::string& SkinName() {
    static std::string name;
    return name;
}

// skin.ini, read once per loaded skin.
std::unique_ptr<QSettings>& SkinSettings() {
    static std::unique_ptr<QSettings> settings;
    return settings;
}

// The skin's icons, each decoded once however many items show it.
QHash<QString, QIcon>& SkinIcons() {
    static QHash<QString, QIcon> icons;
    return icons;
}

// Per-object window options of the skin, from skin.ini: [objectName] maximizeBox=false.
bool SkinAllows(const std::string& objectName, const char* option) {
    if (SkinFolder().isEmpty())
        return true;
    return SkinSettings()->value(QString::fromStdString(objectName) + '/' + option, true).toBool();
}

void Repolish(QWidget* widget) {
    widget->style()->unpolish(widget);
    widget->style()->polish(widget);
    widget->update();
}
}  // namespace

bool dsLoadSkin(const std::string& skinName, int) {
    const QString folder = QStringLiteral(":/skins/%1/").arg(QString::fromStdString(skinName));
    QFile sheet(folder + QStringLiteral("skin.qss"));
    if (!sheet.open(QIODevice::ReadOnly))
        return false;
    SkinFolder() = folder;
    SkinName() = skinName;
    SkinSettings() =
        std::make_unique<QSettings>(folder + QStringLiteral("skin.ini"), QSettings::IniFormat);
    SkinIcons().clear();
    qApp->setStyleSheet(QString::fromUtf8(sheet.readAll()));
    return true;
}

void dsExitSkin() {
    if (SkinFolder().isEmpty())
        return;
    SkinFolder().clear();
    SkinName().clear();
    SkinSettings().reset();
    SkinIcons().clear();
    qApp->setStyleSheet(QString());
}

void dsSkinWindow(QWidget* window, int kind, const std::string& objectName, int wholeDialog) {
    if (!window)
        return;
    window->setProperty(kSkinProperty, QString::fromStdString(objectName));
    window->setProperty(kSkinKindProperty, kind);
    if (wholeDialog && window->isWindow() && !SkinAllows(objectName, "maximizeBox"))
        window->setWindowFlag(Qt::WindowMaximizeButtonHint, false);
    Repolish(window);
}

void dsSetDrawItemValueEx(QWidget*, QTreeWidgetItem* item, int, const std::string& key,
                          const std::string& value, int) {
    if (!item)
        return;
    QVariantMap values = item->data(0, kDrawValueRole).toMap();
    values.insert(QString::fromStdString(key), QString::fromStdString(value));
    item->setData(0, kDrawValueRole, values);
    if (SkinFolder().isEmpty())
        return;
    const QString icon =
        SkinFolder() + QStringLiteral("icons/%1.svg").arg(QString::fromStdString(value));
    auto found = SkinIcons().constFind(icon);
    if (found == SkinIcons().constEnd())
        found = SkinIcons().insert(icon, QFile::exists(icon) ? QIcon(icon) : QIcon());
    if (!found->isNull())
        item->setIcon(0, *found);
}

void dsTrackPopupMenu(QMenu* menu, int, int x, int y, QWidget* owner, int) {
    if (!menu)
        return;
    const int id = CommandIdOf(menu->exec(QPoint(x, y)));
    if (auto* dialog = qobject_cast<CDialog*>(owner); dialog && id != 0)
        dialog->SendCommand(id);
}

std::string SkinOption(const std::string& objectName, const std::string& key,
                       const std::string& fallback) {
    if (SkinFolder().isEmpty())
        return fallback;
    const QVariant value = SkinSettings()->value(QString::fromStdString(objectName) + '/' +
                                                 QString::fromStdString(key));
    if (!value.isValid())
        return fallback;
    // A list of colours arrives split at its commas.
    return (value.typeId() == QMetaType::QStringList ? value.toStringList().join(',')
                                                     : value.toString())
        .toStdString();
}

std::string SkinObjectOf(const QWidget* window) {
    return window ? window->property(kSkinProperty).toString().toStdString() : std::string();
}

std::string DrawItemValueOf(const QTreeWidgetItem* item, const std::string& key) {
    if (!item)
        return {};
    return item->data(0, kDrawValueRole)
        .toMap()
        .value(QString::fromStdString(key))
        .toString()
        .toStdString();
}

std::string LoadedSkinName() {
    return SkinName();
}
