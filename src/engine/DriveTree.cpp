#include "engine/DriveTree.h"

namespace tellvane {

TTreeNode* TTreeNode::AddChild(std::string text, int imageIndex, int stateIndex) {
    auto node = std::make_unique<TTreeNode>();
    node->Text = std::move(text);
    node->ImageIndex = imageIndex;
    node->StateIndex = stateIndex;
    node->Parent = this;
    Children.push_back(std::move(node));
    return Children.back().get();
}

TTreeNode* TTreeNode::AddPlaceholder(int stateIndex) {
    TTreeNode* node = AddChild(DummyNodeText, niFolder, stateIndex);
    node->IsPlaceholder = true;
    return node;
}

bool TTreeNode::HasOnlyDummyChild() const { return Children.size() == 1 && Children[0]->IsPlaceholder; }

TTreeNode* TDriveTree::AddDrive(std::string mountPoint, int imageIndex) {
    auto node = std::make_unique<TTreeNode>();
    node->Text = std::move(mountPoint);
    node->ImageIndex = imageIndex;
    DrivesInTree.push_back(std::move(node));
    return DrivesInTree.back().get();
}

std::string TDriveTree::GetFullPathByTree(const TTreeNode* node) {
    std::vector<const TTreeNode*> chain;
    for (const TTreeNode* n = node; n; n = n->Parent) chain.push_back(n);
    std::string path;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        if (!path.empty() && path.back() != '/') path += '/';
        path += (*it)->Text;
    }
    return path;
}

}  // namespace tellvane
