// Work of the hide and show operations.
#include "engine/Operations.h"
#include "hide/Drives.h"
#include "hide/HiddenConfig.h"
#include "hide/HideShowRoutines.h"
#include "l10n/TextConstants.h"
#include "platform/FileSystem.h"
#include "platform/FolderWalk.h"
#include "platform/Paths.h"
#include "platform/SystemError.h"
#include "platform/TextFormat.h"

namespace tellvane {

namespace {

// The hidden-items store lives in the data folder: when it cannot be written, no further item can
// be hidden or shown, so the run ends; a path the store refuses costs only that path.
template <class Step>
void WithStore(Step step) {
    try {
        step();
    } catch (const EFileSkipped&) {
        throw;
    } catch (const EFileError& e) {
        throw ERunCannotGoOn(e.what());
    }
}

}  // namespace

void THide::Work(const std::string& given) {
    WithStore([&] { HideOne(given); });
}

void TShow::Work(const std::string& name) {
    WithStore([&] { ShowOne(name); });
}

void THide::HideOne(const std::string& given) {
    if (given.empty()) return;
    // Recorded absolute, with the part the user named resolved, so that the recorded path holds no
    // link: showing it later walks it from "/" without following any.
    const std::string absolute = AbsolutePath(given);
    const std::string name = CanonicalNamedPath(absolute);
    const TNamedRoot fromTop(name, 1);
    if (ExcludeTrailingPathDelimiter(name) == "/") throw EFileSkipped(Format(GetConstantValue("Cannot_hide_root"), {given}));
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
    // Recorded, so it can be shown, but not counted as hidden: the worker reports it under the
    // entry of the run's list, so that the completion count leaves it out.
    if (err) throw EFileSkipped(Format(GetConstantValue("Cannot_hide"), {absolute, FormatSystemError(err)}));
}

void TShow::ShowOne(const std::string& name) {
    // The store holds link-free paths: every folder on the way is entered without following a link.
    const TNamedRoot fromTop(name, name.empty() || name[0] != '/' ? 0 : 1);
    int err = 0;
    switch (HiddenItemsStore().GetItem(ItemToShowIndex).TypeOfItem) {
        case TItemType::itFolder:
            err = ShowFolder(name, ItemToShowIndex);
            break;
        case TItemType::itDrive:
            err = ShowDrive(name, ItemToShowIndex);
            break;
        default:
            err = ShowFile(name, ItemToShowIndex);
            break;
    }
    // Still hidden, so still listed: it can be shown once what stood in the way is gone.
    if (err) throw EFileSkipped(Format(GetConstantValue("Cannot_show"), {name, FormatSystemError(err)}));
}

}  // namespace tellvane
