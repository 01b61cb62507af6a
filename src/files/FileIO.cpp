#include "files/FileIO.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <new>
#include <stdexcept>
#include <system_error>

#include "platform/FileCalls.h"
#include "text/TextEncoding.h"

namespace qen {

namespace fs = std::filesystem;

namespace {

constexpr std::uintmax_t kLargeRead = std::uintmax_t{4} << 20;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

bool Fail(FileError* error, FileError::Kind kind, int code = 0) {
    if (error) *error = FileError{kind, code};
    return false;
}

std::optional<std::string> ReadRegularFile(const Path& path, FileError* error) {
    std::error_code ec;
    const fs::file_status status = fs::status(path.Bytes(), ec);
    if (status.type() == fs::file_type::not_found) {
        Fail(error, FileError::Kind::NotFound, ENOENT);
        return std::nullopt;
    }
    if (ec) {
        Fail(error, FileError::Kind::System, ec.value());
        return std::nullopt;
    }
    if (!fs::is_regular_file(status)) {
        Fail(error, FileError::Kind::NotAFile);
        return std::nullopt;
    }
    const std::uintmax_t size = fs::file_size(path.Bytes(), ec);
    if (ec) {
        Fail(error, FileError::Kind::System, ec.value());
        return std::nullopt;
    }
    if (size > kMaxReadableFileSize) {
        Fail(error, FileError::Kind::TooLarge);
        return std::nullopt;
    }
    FilePtr file(std::fopen(path.CStr(), "rb"));
    if (!file) {
        Fail(error, FileError::Kind::System, errno);
        return std::nullopt;
    }
    std::string data;
    data.reserve(static_cast<std::size_t>(size));
    // Still untouched, a large file's memory can take large pages: a 10 MB package then
    // costs a few page faults rather than thousands, on the way to the first page.
    if (size >= kLargeRead) filecalls::AdviseLargePages(data.data(), data.capacity());
    data.resize(static_cast<std::size_t>(size));
    // A file that shrank while it was read is as unreadable as a missing one.
    if (size > 0 && std::fread(data.data(), 1, data.size(), file.get()) != data.size()) {
        Fail(error, FileError::Kind::System, EIO);
        return std::nullopt;
    }
    return data;
}

// Where a save really goes: the file a symbolic link names, however many links deep.
Path SaveTarget(const Path& path) {
    fs::path target = path.Bytes();
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(target, ec))) break;
        const fs::path next = fs::read_symlink(target, ec);
        if (ec) break;
        target = next.is_absolute() ? next : target.parent_path() / next;
    }
    return Path(target.string());
}

void RemoveQuietly(const Path& path) {
    std::error_code ignored;
    fs::remove(path.Bytes(), ignored);
}

}  // namespace

std::string FileError::Reason() const {
    switch (kind) {
        case Kind::None: return "no error";
        case Kind::NotFound: return "the file does not exist";
        case Kind::NotAFile: return "it is not a file";
        case Kind::TooLarge: return "the file is too large";
        case Kind::OutOfMemory: return "there is not enough memory";
        case Kind::System: break;
    }
    switch (code) {
        case ENOENT: return "the file or its folder does not exist";
        case EACCES:
        case EPERM: return "permission was denied";
        case EROFS: return "the disk is read-only";
        case ENOSPC:
        case EDQUOT: return "the disk is full";
        case EFBIG: return "the file is larger than this system allows";
        case EISDIR: return "it is a folder";
        case ENOTDIR: return "a part of the path is not a folder";
        case ELOOP: return "it is a symbolic link";
        case EEXIST: return "a file of that name is in the way";
        case EIO: return "the disk could not be read or written";
        case ENAMETOOLONG: return "the name is too long";
        default: return "system error " + std::to_string(code);
    }
}

std::optional<std::string> ReadFileBytes(const Path& path, FileError* error) {
    try {
        return ReadRegularFile(path, error);
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
    Fail(error, FileError::Kind::OutOfMemory);
    return std::nullopt;
}

std::optional<std::string> ReadWholeFile(const Path& path, FileError* error) {
    std::optional<std::string> data = ReadFileBytes(path, error);
    if (!data) return std::nullopt;
    const std::string extension = path.Extension();
    if (extension != ".html" && extension != ".txt") return data;
    try {
        std::string text = ConvertMarkedText(std::move(*data));
        const std::size_t end = text.find('\0');
        if (end != std::string::npos) text.resize(end);
        return text;
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
    Fail(error, FileError::Kind::OutOfMemory);
    return std::nullopt;
}

std::shared_ptr<const ReadableFile> ReadableFile::Open(const Path& path, FileError* error) {
    int descriptor = -1;
    std::uint64_t size = 0;
    const int code = filecalls::OpenForReading(path.Bytes(), descriptor, size);
    if (code == ENOENT) Fail(error, FileError::Kind::NotFound, code);
    else if (code == EINVAL) Fail(error, FileError::Kind::NotAFile);
    else if (code != 0) Fail(error, FileError::Kind::System, code);
    if (code != 0) return nullptr;
    return std::shared_ptr<const ReadableFile>(new ReadableFile(descriptor, size));
}

ReadableFile::~ReadableFile() { filecalls::CloseFile(descriptor_, false); }

bool ReadableFile::ReadAt(std::uint64_t offset, char* into, std::size_t count) const {
    return filecalls::ReadAt(descriptor_, offset, into, count) == 0;
}

bool WriteWholeFile(const Path& path, std::string_view data, FileError* error) {
    const int code = filecalls::WriteFile(path.Bytes(), data, filecalls::Create::Truncate, 0666, false, false);
    if (code != 0) return Fail(error, FileError::Kind::System, code);
    return true;
}

bool WriteNewFile(const Path& path, std::string_view data, FileError* error) {
    const int code = filecalls::WriteNewFile(path.Bytes(), data, 0666);
    if (code != 0) return Fail(error, FileError::Kind::System, code);
    return true;
}

bool RemoveFile(const Path& path) {
    std::error_code ec;
    if (std::filesystem::is_directory(std::filesystem::symlink_status(path.Bytes(), ec))) return false;
    return std::filesystem::remove(path.Bytes(), ec);
}

bool SetFileMode(const Path& path, unsigned mode) {
    std::error_code ec;
    std::filesystem::permissions(path.Bytes(), static_cast<std::filesystem::perms>(mode & 07777),
                                 std::filesystem::perm_options::replace, ec);
    return !ec;
}

bool RenameFile(const Path& from, const Path& to, FileError* error) {
    const int code = filecalls::Rename(from.Bytes(), to.Bytes());
    if (code != 0) return Fail(error, FileError::Kind::System, code);
    return true;
}

bool CopyFileSafely(const Path& source, const Path& target, FileError* error) {
    std::optional<std::string> bytes = ReadFileBytes(source, error);
    if (!bytes) return false;
    // A new copy is no more open to others than the file it was made from.
    std::error_code ec;
    const auto mode = static_cast<unsigned>(fs::status(source.Bytes(), ec).permissions()) & 0777;
    return SaveFileSafely(target, *bytes, error, ec ? SaveOptions{} : SaveOptions{mode, true});
}

Path SavingPathFor(const Path& target) { return Path(target.Bytes() + ".saving"); }

std::unique_ptr<FileSave> FileSave::Begin(const Path& path, FileError* error, SaveOptions options) {
    Path target = SaveTarget(path);
    unsigned mode = options.newFileMode;
    bool exact = options.exactNewMode;
    std::error_code ec;
    const fs::file_status status = fs::status(target.Bytes(), ec);
    if (fs::exists(status)) {
        if (!fs::is_regular_file(status)) {
            Fail(error, FileError::Kind::NotAFile);
            return nullptr;
        }
        if (!options.modeOverExisting) {
            mode = static_cast<unsigned>(status.permissions()) & 07777;
            exact = true;
        }
    }

    Path saving = SavingPathFor(target);
    // A copy left by a save that was cut short must not stand in the way of this one.
    RemoveQuietly(saving);
    int descriptor = -1;
    if (const int code = filecalls::OpenNewFile(saving.Bytes(), mode, exact, descriptor); code != 0) {
        Fail(error, FileError::Kind::System, code);
        return nullptr;
    }
    return std::unique_ptr<FileSave>(new FileSave(std::move(target), std::move(saving), descriptor));
}

FileSave::~FileSave() {
    if (descriptor_ >= 0) Drop(nullptr, 0);
}

bool FileSave::Drop(FileError* error, int code) {
    if (descriptor_ >= 0) {
        filecalls::CloseFile(descriptor_, false);
        descriptor_ = -1;
        RemoveQuietly(saving_);
    }
    if (code != 0 && failure_ == 0) failure_ = code;
    return Fail(error, FileError::Kind::System, failure_ != 0 ? failure_ : EBADF);
}

bool FileSave::Append(std::string_view data, FileError* error) {
    if (descriptor_ < 0) return Drop(error, 0);
    if (const int code = filecalls::WriteToFile(descriptor_, data); code != 0) return Drop(error, code);
    size_ += data.size();
    return true;
}

bool FileSave::Commit(FileError* error) {
    if (descriptor_ < 0) return Drop(error, 0);
    const int descriptor = descriptor_;
    descriptor_ = -1;
    int code = filecalls::CloseFile(descriptor, true);
    if (code == 0) code = filecalls::Rename(saving_.Bytes(), target_.Bytes());
    if (code != 0) {
        RemoveQuietly(saving_);
        failure_ = code;
        return Fail(error, FileError::Kind::System, code);
    }
    // The rename itself must survive a power cut too; the data is already safe if it does not.
    filecalls::SyncFolder(target_.Folder().Bytes());
    return true;
}

bool SaveFileSafely(const Path& path, std::string_view data, FileError* error, SaveOptions options) {
    std::unique_ptr<FileSave> save = FileSave::Begin(path, error, options);
    return save && save->Append(data, error) && save->Commit(error);
}

}  // namespace qen
