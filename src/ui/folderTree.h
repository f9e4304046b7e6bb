#pragma once

#include <QTreeWidget>

// A tree of the system's folders, rooted at the user's desktop: "Home",
// "Computer" with the file system and mounted volumes, "Network", then the
// desktop's own folders. Real folders list their sub-folders when first
// expanded; the tree does not follow later changes on disk.
class FolderTree : public QTreeWidget {
    Q_OBJECT
public:
    explicit FolderTree(QWidget* parent = nullptr);

    // The full path of the selected item: an absolute path for a real folder,
    // a non-path name such as "computer:///" for a virtual one.
    QString SelectedPath() const;

    // The item standing for a path among those already in the tree.
    QTreeWidgetItem* FindItem(const QString& fullPath) const;

    static QString DesktopFolder();

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    void fill();
    void expandItem(QTreeWidgetItem* item);
    void addSubFolders(QTreeWidgetItem* parent, const QString& folder);
    QTreeWidgetItem* addFolder(QTreeWidgetItem* parent, const QString& caption,
                               const QString& path);
};
