#pragma once
// The drive and file tree the user marks: nodes with a text, a check state and a picture. The
// windows show it; the worker reads the marks from it.
#include <memory>
#include <string>
#include <vector>

namespace tellvane {

// Check states (the tree's state pictures).
enum TNodeState : int { nsChecked = 1, nsPartlyChecked = 2, nsUnchecked = 3 };

// Node pictures; 8 and above are files.
enum TNodeImage : int {
    niHardDisk = 4,
    niOpticalDisc = 5,
    niRemovable = 6,
    niFolder = 7,
    niDocument = 8,
    niPadlock = 9,
};

// Text of the placeholder child of a folder whose contents were never listed. Only the node's
// flag makes it a placeholder: a real entry of this name is an entry like any other.
inline constexpr const char* DummyNodeText = "scaner_dummy";

struct TTreeNode {
    std::string Text;  // a drive node: its mount point; others: the entry's name
    int StateIndex = nsUnchecked;
    int ImageIndex = niFolder;
    TTreeNode* Parent = nullptr;
    std::vector<std::unique_ptr<TTreeNode>> Children;
    bool IsPlaceholder = false;  // stands for contents never listed

    TTreeNode* AddChild(std::string text, int imageIndex, int stateIndex = nsUnchecked);
    // Adds the placeholder child of a folder not yet listed.
    TTreeNode* AddPlaceholder(int stateIndex = nsUnchecked);
    // True when the only child is the never-listed placeholder.
    bool HasOnlyDummyChild() const;
};

class TDriveTree {
public:
    std::vector<std::unique_ptr<TTreeNode>> DrivesInTree;

    TTreeNode* AddDrive(std::string mountPoint, int imageIndex);
    // The texts of NODE and its ancestors joined by "/", root first, with no doubled separator
    // after a root that already ends in "/".
    static std::string GetFullPathByTree(const TTreeNode* node);
};

}  // namespace tellvane
