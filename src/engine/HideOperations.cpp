// Work of the hide and show operations.
#include "engine/NotCompletedReports.h"
#include "engine/Operations.h"
#include "hide/Drives.h"
#include "hide/HiddenConfig.h"
#include "hide/HideShowRoutines.h"
#include "l10n/TextConstants.h"
#include "platform/Paths.h"
#include "platform/SystemError.h"
#include "platform/TextFormat.h"

namespace tellvane {

void THide::Work(const std::string& given) {
    if (given.empty()) return;
    // Recorded absolute, so that the item can be shown again from any folder.
    const std::string name = AbsolutePath(given);
    if (ExcludeTrailingPathDelimiter(name) == "/") {
        ReportNotCompleted(given, Format(GetConstantValue("Cannot_hide_root"), {given}));
        return;
    }
    // A drive is a listed volume named by its mount point, with or without the trailing "/";
    // it is recorded under its root, the mount point with the "/".
    const std::vector<TDrive> drives = ListDrives();
    int err = 0;
    if (const TDrive* drive = FindDriveByName(drives, name))
        err = HideDrive(drive->Root());
    else if (name.back() == '/')
        err = HideFolder(name);
    else
        err = HideFile(name);  // folders picked in the tree arrive without a "/" and are recorded as files
    // Recorded, so it can be shown, but not counted as hidden: reported under the entry of the run's
    // list, so that the completion count leaves it out.
    if (err) ReportNotCompleted(given, Format(GetConstantValue("Cannot_hide"), {name, FormatSystemError(err)}));
}

void TShow::Work(const std::string& name) {
    switch (HiddenItemsStore().GetItem(ItemToShowIndex).TypeOfItem) {
        case TItemType::itFolder:
            ShowFolder(name, ItemToShowIndex);
            break;
        case TItemType::itDrive:
            ShowDrive(name, ItemToShowIndex);
            break;
        default:
            ShowFile(name, ItemToShowIndex);
            break;
    }
}

}  // namespace tellvane
