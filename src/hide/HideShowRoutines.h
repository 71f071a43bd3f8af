#pragma once
// Hiding and showing files, folders and drives, each recorded in or dropped from the store.
//
// An item is hidden by listing its name in its parent folder's ".hidden" file (the convention the
// Linux file managers honour) and, for a file, by taking away every write permission bit; showing
// removes the name again and gives a file its owner's write permission back. A drive is a mount
// point: it is added to the per-user list of hidden volumes (HiddenVolumes.h) and listed in its
// parent's ".hidden".
#include <cstdint>
#include <functional>
#include <string>

namespace tellvane {

// Make PATH hidden and, when it is a file, read-only. A failure is logged ("CoreHide") and its
// errno value returned (0 when hidden).
// The item is opened once without following a link and its mode changed through that descriptor,
// so a link at PATH, there from the start or swapped in meanwhile, never has its target changed.
int CoreHide(const std::string& path);
// Make PATH visible again and, when it is a file, writable by its owner. A failure is logged
// ("CoreUnhide"); its errno value is returned only when the item is still hidden (its name could
// not leave ".hidden", or a link stood where its folder was), else 0.
int CoreUnhide(const std::string& path);

// Each records PATH in the store (itFile, itFolder, itDrive), then hides it, and returns CoreHide's
// result: an item that could not be hidden stays recorded, and can be shown. A path the store
// cannot hold unchanged raises EHiddenConfigError, and a failed save its error, before anything
// is hidden.
int HideFile(const std::string& path);
int HideFolder(const std::string& path);
// PATH: the mount point with a trailing "/". A failed write of the list of hidden volumes raises
// ERegistryError before the store changes.
int HideDrive(const std::string& path);

// Each shows PATH (the item's own path) and deletes store item INDEX. When the deletion cannot be
// saved, the item is hidden again and the error passed on: it stays hidden and listed. An item
// CoreUnhide leaves hidden stays in the store; its errno value is returned (else 0).
int ShowFile(const std::string& path, int index);
int ShowFolder(const std::string& path, int index);
// A failed write of the list of hidden volumes raises ERegistryError before the store changes.
int ShowDrive(const std::string& path, int index);

// Called with the item's path between opening the item and changing its mode (tests make a race
// there deterministic); empty to remove.
void SetBeforeModeChangeHook(std::function<void(const std::string& itemPath)> hook);

// The drive's bit in the Windows drive mask: 2 to the power (letter - 'A'); a lower-case letter
// counts as its upper case, anything else that is not a letter A..Z has no bit (0).
uint32_t DriveBit(const std::string& path);
// The mask after hiding, and after showing, the drive of PATH; other drives' bits are kept.
uint32_t NoDrivesAfterHide(uint32_t noDrives, const std::string& path);
uint32_t NoDrivesAfterShow(uint32_t noDrives, const std::string& path);

}  // namespace tellvane
