#include "wizard/DriveTreeModel.h"

#include "hide/DotHiddenFile.h"
#include "hide/HiddenConfig.h"
#include "hide/HiddenVolumes.h"
#include "platform/AppFolders.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "wizard/NameOrder.h"

#include <algorithm>

namespace tellvane {

void TDriveTreeModel::SetState(TTreeNode* node, int state) {
    if (node->StateIndex == state) return;
    if (node->StateIndex == nsChecked) --someFilesSelected_;
    if (state == nsChecked) ++someFilesSelected_;
    node->StateIndex = state;
}

TTreeNode* TDriveTreeModel::AddNode(TTreeNode* parent, std::string text, int image, int state) {
    if (state == nsChecked) ++someFilesSelected_;
    return parent->AddChild(std::move(text), image, state);
}

void TDriveTreeModel::ForgetCheckedBelow(const TTreeNode* node) {
    for (const auto& child : node->Children) {
        if (child->StateIndex == nsChecked) --someFilesSelected_;
        ForgetCheckedBelow(child.get());
    }
}

void TDriveTreeModel::BuildDrivesTree(const std::vector<TDrive>& drives,
                                      const std::function<bool(const TDrive&)>& isHidden, const std::string& home) {
    someFilesSelected_ = 0;
    // Last to first, as the view drops its rows.
    while (!tree_.DrivesInTree.empty()) tree_.DrivesInTree.pop_back();
    // Most of what a user protects lies under the home folder: one expansion away, not five.
    if (!home.empty()) {
        TTreeNode* root = tree_.AddDrive(ExcludeTrailingPathDelimiter(home), niFolder);
        root->StateIndex = nsUnchecked;
        root->AddPlaceholder(nsUnchecked);
    }
    for (const TDrive& drive : drives) {
        if (isHidden && isHidden(drive)) continue;
        TTreeNode* root = tree_.AddDrive(drive.MountPoint, drive.ImageIndex);
        root->StateIndex = nsUnchecked;
        // ListDrives offers only volumes that answer, so every root can be expanded.
        root->AddPlaceholder(nsUnchecked);
    }
}

void TDriveTreeModel::BuildDrivesTree() {
    const std::vector<std::string> hiddenVolumes = ReadHiddenVolumes();
    THiddenConfig* store = HiddenConfigCreated() ? &HiddenItemsStore() : nullptr;
    BuildDrivesTree(ListDrives(), [&](const TDrive& drive) {
        for (const auto& volume : hiddenVolumes)
            if (volume == drive.MountPoint) return true;
        if (!store) return false;
        // A hidden drive is recorded under its root, the mount point with a trailing "/".
        for (int i = 0; i < store->Count(); ++i) {
            const THiddenItem& item = store->GetItem(i);
            if (item.TypeOfItem == TItemType::itDrive && item.FilePath == drive.Root()) return true;
        }
        return false;
    }, HomeFolder());
}

bool TDriveTreeModel::Expand(TTreeNode* node) {
    if (!node || !node->HasOnlyDummyChild()) return false;
    ForgetCheckedBelow(node);
    node->Children.clear();
    FillFolderNode(IncludeTrailingPathDelimiter(GetFullPathByTree(node)), node);
    return true;
}

void TDriveTreeModel::FillFolderNode(const std::string& folder, TTreeNode* node) {
    std::vector<DirEntry> entries;
    try {
        entries = ListDirectory(folder);
    } catch (const EFileError&) {
        return;  // a folder that cannot be listed simply shows empty
    }
    const std::set<std::string> hiddenNames = ReadHiddenNames(folder);
    const int state = node->StateIndex == nsChecked ? nsChecked : nsUnchecked;
    // Linux lists a folder in no particular order; show it as the file managers do.
    std::sort(entries.begin(), entries.end(), [](const DirEntry& x, const DirEntry& y) {
        if (x.isDirectory != y.isDirectory) return x.isDirectory;
        return NameOrderLess(x.name, y.name);
    });
    for (const DirEntry& e : entries) {
        if (hiddenNames.count(e.name)) continue;
        if (e.isDirectory) {
            TTreeNode* child = AddNode(node, e.name, niFolder, state);
            // A link to a folder is offered as itself but never entered: walks do not follow links.
            if (!e.isSymlink) {
                if (state == nsChecked) ++someFilesSelected_;
                child->AddPlaceholder(state);
            }
        } else if (PassesEncFilter(e.name)) {
            AddNode(node, e.name, FileImage(e.name), state);
        }
    }
}

bool TDriveTreeModel::PassesEncFilter(const std::string& name) const {
    return !FilterNonCryptedFiles || FileImage(name) == niPadlock;
}

int TDriveTreeModel::FileImage(const std::string& name) {
    const size_t dot = name.rfind('.');
    return dot != std::string::npos && name.compare(dot, std::string::npos, ".enc") == 0 ? niPadlock : niDocument;
}

void TDriveTreeModel::ToggleNode(TTreeNode* node) {
    if (!node) return;
    const int state = node->StateIndex;
    if (state == nsUnchecked)
        SetNodeChecked(node, true);
    else if (state == nsChecked || state == nsPartlyChecked)
        SetNodeChecked(node, false);
    else
        return;
    UpdateParentStates(node);
}

void TDriveTreeModel::SetNodeChecked(TTreeNode* node, bool checked) {
    SetState(node, checked ? nsChecked : nsUnchecked);
    for (const auto& child : node->Children) SetNodeChecked(child.get(), checked);
}

void TDriveTreeModel::UpdateParentStates(TTreeNode* node) {
    for (TTreeNode* parent = node ? node->Parent : nullptr; parent; parent = parent->Parent) {
        size_t checked = 0, marked = 0;
        for (const auto& child : parent->Children) {
            if (child->StateIndex == nsChecked) ++checked;
            if (child->StateIndex == nsChecked || child->StateIndex == nsPartlyChecked) ++marked;
        }
        // Checked means everything below is chosen: a run that takes folders and drives whole
        // (hide) would otherwise take a whole drive for one file in its only folder.
        if (checked == parent->Children.size())
            SetState(parent, nsChecked);
        else if (marked > 0)
            SetState(parent, nsPartlyChecked);
        else
            SetState(parent, nsUnchecked);
    }
}

}  // namespace tellvane
