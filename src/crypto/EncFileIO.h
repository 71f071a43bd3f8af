#pragma once
// The two files of one encryption or decryption pass: the input, read by offset, and the output,
// written to a temporary file beside its final name and renamed into place only when complete, so
// that a cancelled, declined or failed pass leaves no partial file and an existing file of that
// name untouched. The output takes its input's permission bits (and, where the process may, its
// owner and group) before any content is written.
#include <cstdint>
#include <string>

#include "platform/ByteSource.h"
#include "platform/FileSystem.h"
#include "platform/FolderWalk.h"

namespace tellvane {

class TOutputFile;

class TInputFile final : public TByteSource {
public:
    // Throws ENotRegularFile for anything but a regular file, EFileError "Cannot open file "%s". %s".
    // PATH is reached through its parent folder's descriptor, which the input keeps for the
    // output beside it.
    explicit TInputFile(const std::string& path);
    // Reads back what WRITTEN holds so far, through its own descriptor, never by its name.
    explicit TInputFile(const TOutputFile& written);
    ~TInputFile() override;
    TInputFile(const TInputFile&) = delete;
    TInputFile& operator=(const TInputFile&) = delete;

    const std::string& Path() const { return path_; }
    int Fd() const { return fd_; }
    int64_t Size() const override;
    // Reads exactly COUNT bytes at OFFSET; throws EFileError "Stream read error" when fewer exist.
    void ReadAt(int64_t offset, void* buffer, size_t count) const override;
    // Reads up to COUNT bytes at OFFSET; returns how many were read.
    size_t ReadSomeAt(int64_t offset, void* buffer, size_t count) const;
    // True when NAME in the input's folder leads to this very file (same device and inode).
    bool IsSameFileIn(const std::string& name) const;
    // The folder the input was opened in.
    const TFolderRef& Folder() const { return folder_; }
    // The file as it was when opened.
    const TFileIdentity& Identity() const { return identity_; }

private:
    std::string path_;
    TFolderRef folder_;
    int fd_ = -1;
    TFileIdentity identity_;
};

class TOutputFile {
public:
    // Creates a temporary file in FINALPATH's folder, mode 0600, then gives it LIKE's permission
    // bits (and owner and group where allowed). Throws EFileError "Cannot create file "%s". %s"
    // naming FINALPATH when the folder cannot take it or FINALPATH is a read-only file.
    TOutputFile(std::string finalPath, const TFileIdentity& like);
    // The same in FOLDER, the open folder of FINALPATH: no path is resolved again.
    TOutputFile(TFolderRef folder, std::string finalPath, const TFileIdentity& like);
    // An output of mode 0600 owned by the process.
    explicit TOutputFile(std::string finalPath);
    // Removes the temporary file unless Commit succeeded.
    ~TOutputFile();
    TOutputFile(const TOutputFile&) = delete;
    TOutputFile& operator=(const TOutputFile&) = delete;

    const std::string& FinalPath() const { return finalPath_; }
    const std::string& TempPath() const { return tempPath_; }
    const TFolderRef& Folder() const { return folder_; }
    // True when something stands under the final name in the output's folder.
    bool FinalExists() const;
    int Fd() const { return fd_; }
    // Writes all of DATA at the current end; throws EFileError on failure.
    void Write(const void* data, size_t count);
    // Closes the temporary file and renames it to FINALPATH. DURABLE flushes the data before the
    // rename and the folder after it, so that a source deleted next cannot outlive its output on
    // a power cut. Without MAYREPLACE an existing FINALPATH is never replaced (EFileError).
    void Commit(bool durable = false, bool mayReplace = true);
    // Closes and removes the temporary file now.
    void Discard();

private:
    void Create(const TFileIdentity& like);

    TFolderRef folder_;
    std::string finalPath_;
    std::string finalName_;
    std::string tempPath_;
    std::string tempName_;
    int fd_ = -1;
    bool committed_ = false;
};

// The message of a failed write to PATH's temporary file ("Cannot create file "%s". %s").
std::string WriteFailureMessage(const std::string& path, int err);

}  // namespace tellvane
