#pragma once
// The drive and file tree on the file-choice page: a thin view over the core's TDriveTreeModel.
// Each row shows its check-state picture and its node picture; a press on either or on the label
// toggles the node; expanding a node fills it from its folder once.
#include <QAbstractItemModel>
#include <QPixmap>
#include <QTreeView>

#include <functional>
#include <map>
#include <unordered_set>

namespace tellvane {

class TDriveTreeModel;
struct TTreeNode;

// The ten pictures of the tree, 16 x 16: 1-3 the check states, 4-9 the node kinds.
QPixmap TreePicture(int index);

class TDriveTreeItemModel : public QAbstractItemModel {
    Q_OBJECT
public:
    // EXPAND fills a node whose only child is the placeholder; true when it did.
    TDriveTreeItemModel(TDriveTreeModel& tree, std::function<bool(TTreeNode*)> expand, QObject* parent);

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

    TTreeNode* NodeAt(const QModelIndex& index) const;
    QModelIndex IndexOf(const TTreeNode* node) const;
    // The core tree was rebuilt: every row is dropped.
    void Rebuilt();
    // Check states changed somewhere: every loaded row is repainted.
    void StatesChanged();
    // The core's expansion of NODE, reported as rows inserted.
    void FetchNode(TTreeNode* node);

private:
    // A node whose only child is the placeholder shows no rows.
    const std::vector<std::unique_ptr<TTreeNode>>* ShownChildren(const TTreeNode* node) const;
    void EmitStatesChanged(const QModelIndex& parent);
    QPixmap Decoration(int state, int image) const;

    TDriveTreeModel& tree_;
    std::function<bool(TTreeNode*)> expand_;
    // Nodes being filled: they keep showing no rows until the insertion is announced.
    std::unordered_set<const TTreeNode*> filling_;
    mutable std::map<std::pair<int, int>, QPixmap> decorations_;
};

class TFilesTreeView : public QTreeView {
    Q_OBJECT
public:
    explicit TFilesTreeView(QWidget* parent);

    TDriveTreeItemModel* ItemModel() const { return itemModel_; }
    void SetItemModel(TDriveTreeItemModel* model);
    // True when POS (viewport coordinates) lies on a row's state picture, node picture or label.
    bool HitsItem(const QPoint& pos, QModelIndex* index = nullptr) const;

signals:
    void NodeClicked(TTreeNode* node);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    TDriveTreeItemModel* itemModel_ = nullptr;
};

}  // namespace tellvane
