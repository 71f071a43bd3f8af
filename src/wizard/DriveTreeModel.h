#pragma once
// The drive and file tree as the user marks it: building it from the drives, filling folders lazily
// when they are expanded, check marks with their parents' states, and the count of checked nodes.
// The windows draw it; the worker reads its marks.
#include <functional>
#include <string>
#include <vector>

#include "engine/DriveTree.h"
#include "hide/Drives.h"

namespace tellvane {

class TDriveTreeModel {
public:
    TDriveTreeModel() = default;
    TDriveTreeModel(const TDriveTreeModel&) = delete;
    TDriveTreeModel& operator=(const TDriveTreeModel&) = delete;

    TDriveTree& Tree() { return tree_; }
    const TDriveTree& Tree() const { return tree_; }
    const std::vector<std::unique_ptr<TTreeNode>>& DrivesInTree() const { return tree_.DrivesInTree; }

    // Drops every node and adds one root per drive of DRIVES, in order, leaving out those ISHIDDEN
    // accepts; each root is unchecked and holds the placeholder. SomeFilesSelected becomes 0.
    // A HOME that is not empty comes first, above the drives: a folder root whose text is its path.
    void BuildDrivesTree(const std::vector<TDrive>& drives, const std::function<bool(const TDrive&)>& isHidden,
                         const std::string& home = {});
    // The same over the user's home folder and ListDrives, leaving out the volumes the user has
    // hidden: those in the list of hidden volumes and those recorded as a drive item in the
    // hidden-items store.
    void BuildDrivesTree();

    // The tree view's expansion of NODE: a node whose only child is the placeholder is filled from
    // its folder, once. True when the node was filled now.
    bool Expand(TTreeNode* node);
    // Adds FOLDER's entries to NODE: folders (with the placeholder), then the files the .enc filter
    // passes, each group in the file managers' name order; entries named in the folder's ".hidden"
    // are left out. A folder that cannot be listed gives no children.
    void FillFolderNode(const std::string& folder, TTreeNode* node);
    // True when the .enc filter is off, or NAME ends in ".enc" exactly (case-sensitive).
    bool PassesEncFilter(const std::string& name) const;

    // A click on NODE: unchecked becomes checked, checked or partly checked becomes unchecked,
    // with everything below it; then its ancestors follow.
    void ToggleNode(TTreeNode* node);
    // NODE and everything loaded below it (placeholders included) checked or unchecked.
    void SetNodeChecked(TTreeNode* node, bool checked);
    // Recomputes the state of every ancestor of NODE from its children: checked when every child
    // is checked, partly checked when some child is checked or partly checked, else unchecked.
    void UpdateParentStates(TTreeNode* node);

    // Number of nodes in the checked state.
    int SomeFilesSelected() const { return someFilesSelected_; }

    static std::string GetFullPathByTree(const TTreeNode* node) { return TDriveTree::GetFullPathByTree(node); }
    // The picture of a file entry: the padlock for an extension of exactly ".enc", else the document.
    static int FileImage(const std::string& name);

    // On while a decrypt path is current and its run has not started.
    bool FilterNonCryptedFiles = false;

private:
    void SetState(TTreeNode* node, int state);
    TTreeNode* AddNode(TTreeNode* parent, std::string text, int image, int state);
    void ForgetCheckedBelow(const TTreeNode* node);

    TDriveTree tree_;
    int someFilesSelected_ = 0;
};

}  // namespace tellvane
