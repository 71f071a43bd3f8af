#include "engine/SourceDisposal.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <optional>

#include "engine/NotCompletedReports.h"
#include "l10n/TextConstants.h"
#include "platform/FileDescriptor.h"
#include "platform/FileSystem.h"
#include "platform/FolderWalk.h"
#include "platform/SystemError.h"
#include "platform/TextFormat.h"
#include "shred/ShredAlgorithms.h"

namespace tellvane {

namespace {

[[noreturn]] void KeptChanged(const std::string& fileName) {
    throw EFileSkipped(Format(GetConstantValue("File_changed_kept"), {fileName}));
}

[[noreturn]] void KeptUnwiped(const std::string& fileName, int err) {
    throw EFileSkipped(Format(GetConstantValue("Source_not_wiped"), {fileName, FormatSystemError(err)}), err);
}

void RemoveName(const TParentFolder& parent, const std::string& fileName, const TFileIdentity& read) {
    // An editor's save renames a new file over the name, a log grows, a folder on the way became
    // a link: either way the output does not hold what the name now leads to, so it must stay.
    TFileIdentity now;
    int err = FileCallHookAnswer("unlink", fileName);
    if (err == 0) err = DeleteFileIfSameIn(parent, read, true, &now);
    if (err == ESTALE) KeptChanged(fileName);
    if (err != 0)
        throw EFileSkipped(Format(GetConstantValue("Cannot_delete_file"), {fileName, FormatSystemError(err)}));
    if (now.links > 1) NoteAboutFile(fileName, Format(GetConstantValue("File_has_hard_links"), {fileName}));
}

// The source opened read-write through PARENT, or a report of why not.
TFileDescriptor OpenForWipe(const TParentFolder& parent, const std::string& fileName) {
    try {
        return TFileDescriptor(OpenRegularFileIn(parent, fileName, O_RDWR));
    } catch (const ENotRegularFile&) {
        KeptChanged(fileName);  // a link or a pipe stands where the file was read
    } catch (const EFileError& e) {
        if (e.Code == ENOENT) KeptChanged(fileName);
        KeptUnwiped(fileName, e.Code != 0 ? e.Code : EIO);
    }
}

void WipeAndRemove(const TParentFolder& parent, const std::string& fileName, const TFileIdentity& read,
                   const TSourceWipe& wipe) {
    // The file is reached, checked, overwritten and removed through one descriptor of its folder,
    // so that nothing renamed or linked in meanwhile is overwritten in its place.
    if (const int err = FileCallHookAnswer("open", fileName)) KeptUnwiped(fileName, err);
    TFileDescriptor file = OpenForWipe(parent, fileName);
    const std::optional<TFileIdentity> now = DescriptorIdentity(file.get());
    if (!now || !SameFileUnchanged(*now, read)) KeptChanged(fileName);
    // Overwriting would destroy what the other names still show: this name alone goes.
    if (now->links > 1) {
        file.Close();
        return RemoveName(parent, fileName, read);
    }
    // No write permission bit means read-only, even for root, who could open it anyway.
    if ((now->mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) KeptUnwiped(fileName, EACCES);

    const TShredAlgorithm::TOverwrite outcome = wipe.method->Overwrite(fileName, file.get(), wipe.onHalt, {});
    // Stopped part-way: the output is complete, the source partly overwritten and still there.
    if (outcome == TShredAlgorithm::TOverwrite::Halted)
        throw EFileSkipped(Format(GetConstantValue("Not_reached"), {fileName}));
    file.Close();
    TFileIdentity wiped;
    wiped.device = now->device;
    wiped.inode = now->inode;
    int err = FileCallHookAnswer("unlink", fileName);
    if (err == 0) err = DeleteFileIfSameIn(parent, wiped, false);
    if (err == ESTALE) KeptChanged(fileName);
    if (err != 0)
        throw EFileSkipped(Format(GetConstantValue("Cannot_delete_file"), {fileName, FormatSystemError(err)}));
    if (outcome == TShredAlgorithm::TOverwrite::Changed)
        throw EFileSkipped(Format(GetConstantValue("Shred_file_changed"), {fileName}));
}

}  // namespace

void DisposeSource(const std::string& fileName, const TFileIdentity& read, const TSourceWipe& wipe) {
    TParentFolder parent;
    if (!OpenParentFolder(fileName, parent)) {
        if (errno == ELOOP || errno == ENOTDIR || errno == ENOENT) KeptChanged(fileName);
        throw EFileSkipped(Format(GetConstantValue("Cannot_delete_file"), {fileName, FormatSystemError(errno)}));
    }
    DisposeSourceIn(parent, fileName, read, wipe);
}

void DisposeSourceIn(const TParentFolder& parent, const std::string& fileName, const TFileIdentity& read,
                     const TSourceWipe& wipe) {
    if (parent.name.empty()) KeptChanged(fileName);
    if (wipe.method == nullptr) return RemoveName(parent, fileName, read);
    WipeAndRemove(parent, fileName, read, wipe);
}

}  // namespace tellvane
