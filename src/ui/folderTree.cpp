#include "folderTree.h"

#include <QCollator>
#include <QDir>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QLocale>
#include <QMouseEvent>
#include <QStandardPaths>
#include <QStorageInfo>

#include <algorithm>

namespace {

enum ItemRole { PathRole = Qt::UserRole, ListedRole };

const QString kComputerName = QStringLiteral("computer:///");
const QString kNetworkName = QStringLiteral("network:///");

QIcon iconFor(QAbstractFileIconProvider::IconType type) {
    static QFileIconProvider provider;
    return provider.icon(type);
}

bool isRealVolume(const QStorageInfo& volume) {
    return volume.isValid() && volume.isReady() && !volume.isRoot() &&
           volume.device().startsWith("/dev/");
}

} // namespace

FolderTree::FolderTree(QWidget* parent) : QTreeWidget(parent) {
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(false);
    setIndentation(19);
    connect(this, &QTreeWidget::itemExpanded, this, &FolderTree::expandItem);
    fill();
}

QString FolderTree::DesktopFolder() {
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    if (!desktop.isEmpty() && QFileInfo(desktop).isDir())
        return QDir(desktop).absolutePath();
    return QDir::homePath();
}

QString FolderTree::SelectedPath() const {
    const QTreeWidgetItem* item = currentItem();
    return item ? item->data(0, PathRole).toString() : QString();
}

QTreeWidgetItem* FolderTree::FindItem(const QString& fullPath) const {
    QTreeWidgetItemIterator it(const_cast<FolderTree*>(this));
    for (; *it; ++it) {
        if ((*it)->data(0, PathRole).toString() == fullPath)
            return *it;
    }
    return nullptr;
}

void FolderTree::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        if (QTreeWidgetItem* item = itemAt(event->position().toPoint()))
            setCurrentItem(item);
        event->accept();
        return;
    }
    QTreeWidget::mousePressEvent(event);
}

void FolderTree::fill() {
    const QString desktop = DesktopFolder();
    auto* root = new QTreeWidgetItem(this, {QStringLiteral("Desktop")});
    root->setIcon(0, iconFor(QAbstractFileIconProvider::Desktop));
    root->setData(0, PathRole, desktop);
    root->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    setCurrentItem(root);
    root->setExpanded(true); // lists its children through expandItem
}

void FolderTree::expandItem(QTreeWidgetItem* item) {
    if (item->data(0, ListedRole).toBool())
        return;
    item->setData(0, ListedRole, true);
    const QString path = item->data(0, PathRole).toString();

    if (item->parent() == nullptr) {
        const QString home = QDir::homePath();
        if (QDir(home) != QDir(path))
            addFolder(item, QStringLiteral("Home"), home)
                ->setIcon(0, iconFor(QAbstractFileIconProvider::Folder));
        auto* computer = addFolder(item, QStringLiteral("Computer"), kComputerName);
        computer->setIcon(0, iconFor(QAbstractFileIconProvider::Computer));
        auto* network = addFolder(item, QStringLiteral("Network"), kNetworkName);
        network->setIcon(0, iconFor(QAbstractFileIconProvider::Network));
        network->setData(0, ListedRole, true);
        network->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicator);
        addSubFolders(item, path);
    } else if (path == kComputerName) {
        addFolder(item, QStringLiteral("File System"), QStringLiteral("/"))
            ->setIcon(0, iconFor(QAbstractFileIconProvider::Drive));
        for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
            if (isRealVolume(volume))
                addFolder(item, volume.displayName(), volume.rootPath())
                    ->setIcon(0, iconFor(QAbstractFileIconProvider::Drive));
        }
    } else {
        addSubFolders(item, path);
    }
    item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
}

void FolderTree::addSubFolders(QTreeWidgetItem* parent, const QString& folder) {
    QStringList names = QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    // The C locale collates by code point and ignores numeric mode; a file
    // manager still puts "a9" before "a10" there.
    const QLocale locale =
        QLocale().language() == QLocale::C ? QLocale(QLocale::English) : QLocale();
    QCollator collator(locale);
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::sort(names.begin(), names.end(), collator);
    const QDir base(folder);
    for (const QString& name : names)
        addFolder(parent, name, base.absoluteFilePath(name));
}

QTreeWidgetItem* FolderTree::addFolder(QTreeWidgetItem* parent, const QString& caption,
                                       const QString& path) {
    auto* item = new QTreeWidgetItem(parent, {caption});
    item->setIcon(0, iconFor(QAbstractFileIconProvider::Folder));
    item->setData(0, PathRole, path);
    item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    return item;
}
