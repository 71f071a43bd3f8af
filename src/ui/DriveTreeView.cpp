#include "ui/DriveTreeView.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "platform/AppFolders.h"
#include "ui/QtText.h"
#include "wizard/DriveTreeModel.h"

namespace tellvane {

namespace {

constexpr int PictureSize = 16;
constexpr int PictureGap = 2;

const char* const TreePictureFiles[] = {
    "TreeUnchecked", "TreeChecked", "TreePartly", "TreeUnchecked", "TreeHardDisk",
    "TreeOptical",   "TreeRemovable", "TreeFolder", "TreeDocument", "TreePadlock",
};

}  // namespace

QPixmap TreePicture(int index) {
    static std::map<int, QPixmap> cache;
    if (index < 0 || index > 9) return {};
    auto it = cache.find(index);
    if (it == cache.end()) {
        QPixmap picture(Q(GetAppFolder() + "res/" + TreePictureFiles[index] + ".png"));
        if (picture.isNull()) {
            // A missing picture file must not leave a hole in the row's layout.
            picture = QPixmap(PictureSize, PictureSize);
            picture.fill(Qt::transparent);
        }
        it = cache.emplace(index, picture).first;
    }
    return it->second;
}

TDriveTreeItemModel::TDriveTreeItemModel(TDriveTreeModel& tree, std::function<bool(TTreeNode*)> expand,
                                         QObject* parent)
    : QAbstractItemModel(parent), tree_(tree), expand_(std::move(expand)) {}

const std::vector<std::unique_ptr<TTreeNode>>* TDriveTreeItemModel::ShownChildren(const TTreeNode* node) const {
    if (!node) return &tree_.DrivesInTree();
    if (node->HasOnlyDummyChild() || filling_.count(node)) return nullptr;
    return &node->Children;
}

TTreeNode* TDriveTreeItemModel::NodeAt(const QModelIndex& index) const {
    return index.isValid() ? static_cast<TTreeNode*>(index.internalPointer()) : nullptr;
}

QModelIndex TDriveTreeItemModel::index(int row, int column, const QModelIndex& parent) const {
    if (column != 0 || row < 0) return {};
    const auto* children = ShownChildren(NodeAt(parent));
    if (!children || row >= static_cast<int>(children->size())) return {};
    return createIndex(row, 0, (*children)[static_cast<size_t>(row)].get());
}

QModelIndex TDriveTreeItemModel::IndexOf(const TTreeNode* node) const {
    if (!node) return {};
    const auto& siblings = node->Parent ? node->Parent->Children : tree_.DrivesInTree();
    for (size_t i = 0; i < siblings.size(); ++i)
        if (siblings[i].get() == node) return createIndex(static_cast<int>(i), 0, const_cast<TTreeNode*>(node));
    return {};
}

QModelIndex TDriveTreeItemModel::parent(const QModelIndex& child) const {
    const TTreeNode* node = NodeAt(child);
    return node ? IndexOf(node->Parent) : QModelIndex();
}

int TDriveTreeItemModel::rowCount(const QModelIndex& parent) const {
    if (parent.column() > 0) return 0;
    const auto* children = ShownChildren(NodeAt(parent));
    return children ? static_cast<int>(children->size()) : 0;
}

int TDriveTreeItemModel::columnCount(const QModelIndex&) const { return 1; }

bool TDriveTreeItemModel::hasChildren(const QModelIndex& parent) const {
    const TTreeNode* node = NodeAt(parent);
    if (!node) return !tree_.DrivesInTree().empty();
    return !node->Children.empty();
}

bool TDriveTreeItemModel::canFetchMore(const QModelIndex& parent) const {
    const TTreeNode* node = NodeAt(parent);
    return node && node->HasOnlyDummyChild() && !filling_.count(node);
}

void TDriveTreeItemModel::fetchMore(const QModelIndex& parent) { FetchNode(NodeAt(parent)); }

void TDriveTreeItemModel::FetchNode(TTreeNode* node) {
    if (!node || !node->HasOnlyDummyChild()) return;
    filling_.insert(node);
    bool filled = false;
    try {
        filled = expand_ && expand_(node);
    } catch (...) {
        filling_.erase(node);
        throw;
    }
    const QModelIndex parentIndex = IndexOf(node);
    // A folder whose only entry is named like the placeholder still looks unfilled: no rows.
    const int count = node->HasOnlyDummyChild() ? 0 : static_cast<int>(node->Children.size());
    if (filled && count > 0) {
        beginInsertRows(parentIndex, 0, count - 1);
        filling_.erase(node);
        endInsertRows();
    } else {
        filling_.erase(node);
        // An empty folder loses its expand button.
        emit dataChanged(parentIndex, parentIndex);
    }
}

QPixmap TDriveTreeItemModel::Decoration(int state, int image) const {
    auto key = std::make_pair(state, image);
    auto it = decorations_.find(key);
    if (it != decorations_.end()) return it->second;
    QPixmap combined(PictureSize * 2 + PictureGap, PictureSize);
    combined.fill(Qt::transparent);
    {
        QPainter painter(&combined);
        painter.drawPixmap(0, 0, TreePicture(state));
        painter.drawPixmap(PictureSize + PictureGap, 0, TreePicture(image));
    }
    return decorations_.emplace(key, combined).first->second;
}

QVariant TDriveTreeItemModel::data(const QModelIndex& index, int role) const {
    const TTreeNode* node = NodeAt(index);
    if (!node) return {};
    switch (role) {
        case Qt::DisplayRole:
            return Q(node->Text);
        case Qt::DecorationRole:
            return Decoration(node->StateIndex, node->ImageIndex);
        case Qt::ToolTipRole:
            return Q(TDriveTree::GetFullPathByTree(node));
        default:
            return {};
    }
}

void TDriveTreeItemModel::Rebuilt() {
    beginResetModel();
    filling_.clear();
    endResetModel();
}

void TDriveTreeItemModel::EmitStatesChanged(const QModelIndex& parent) {
    const int rows = rowCount(parent);
    if (rows == 0) return;
    emit dataChanged(index(0, 0, parent), index(rows - 1, 0, parent), {Qt::DecorationRole});
    for (int row = 0; row < rows; ++row) EmitStatesChanged(index(row, 0, parent));
}

void TDriveTreeItemModel::StatesChanged() { EmitStatesChanged(QModelIndex()); }

TFilesTreeView::TFilesTreeView(QWidget* parent) : QTreeView(parent) {
    setObjectName(QStringLiteral("FilesTreeView"));
    setHeaderHidden(true);
    setIndentation(19);
    setIconSize(QSize(PictureSize * 2 + PictureGap, PictureSize));
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformRowHeights(true);
    setExpandsOnDoubleClick(false);
}

void TFilesTreeView::SetItemModel(TDriveTreeItemModel* model) {
    itemModel_ = model;
    setModel(model);
}

bool TFilesTreeView::HitsItem(const QPoint& pos, QModelIndex* hit) const {
    const QModelIndex index = indexAt(pos);
    if (!index.isValid()) return false;
    const QRect cell = visualRect(index);
    // The pictures and the label, not the rest of the row: the rest counts as empty area.
    const int labelWidth = fontMetrics().horizontalAdvance(index.data(Qt::DisplayRole).toString());
    const int right = cell.left() + iconSize().width() + 8 + labelWidth;
    if (pos.x() < cell.left() || pos.x() > right) return false;
    if (hit) *hit = index;
    return true;
}

void TFilesTreeView::mousePressEvent(QMouseEvent* event) {
    QModelIndex index;
    if (event->button() == Qt::LeftButton && HitsItem(event->position().toPoint(), &index)) {
        emit NodeClicked(itemModel_ ? itemModel_->NodeAt(index) : nullptr);
        // No node stays selected.
        setCurrentIndex(QModelIndex());
        return;
    }
    // Expand buttons, indentation and empty area: the view's own handling, which changes no mark.
    QTreeView::mousePressEvent(event);
}

void TFilesTreeView::keyPressEvent(QKeyEvent* event) {
    // Space marks the entry the keyboard has reached, as a press on its box would.
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier && currentIndex().isValid() &&
        itemModel_) {
        emit NodeClicked(itemModel_->NodeAt(currentIndex()));
        return;
    }
    QTreeView::keyPressEvent(event);
}

void TFilesTreeView::mouseDoubleClickEvent(QMouseEvent* event) {
    QModelIndex index;
    if (event->button() == Qt::LeftButton && HitsItem(event->position().toPoint(), &index)) {
        // The second press of a double click is a press like the first, and opens or closes the node.
        emit NodeClicked(itemModel_ ? itemModel_->NodeAt(index) : nullptr);
        setExpanded(index, !isExpanded(index));
        setCurrentIndex(QModelIndex());
        return;
    }
    QTreeView::mouseDoubleClickEvent(event);
}

}  // namespace tellvane
