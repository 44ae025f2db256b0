#include "core/serialization/JsonFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "core/serialization/DurableFile.h"

namespace ztengine {

namespace {

// Writes every byte to the descriptor, retrying short writes and interruptions.
bool WriteAll(int fd, std::string_view bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t wrote = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (wrote < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += static_cast<size_t>(wrote);
    }
    return true;
}

std::string FolderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

}  // namespace

bool ReadWholeFile(const std::string& path, std::string& out)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return false;
    out.clear();
    char chunk[4096];
    size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof(chunk), file)) > 0)
        out.append(chunk, got);
    const bool ok = std::ferror(file) == 0;
    std::fclose(file);
    return ok;
}

bool WriteDurableFile(const std::string& path, std::string_view bytes)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    bool ok = WriteAll(fd, bytes);
    ok = ok && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    return ok;
}

bool SyncFolderOf(const std::string& path)
{
    const int fd = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

bool ReplaceFileContents(const std::string& path, std::string_view bytes)
{
    const std::string temporary = path + ".tmp";
    // The new content must be on the disk before the rename makes it the file: otherwise a power
    // loss right after the rename can leave an empty file where the old one was.
    bool ok = WriteDurableFile(temporary, bytes);

    std::error_code error;
    if (ok) {
        std::filesystem::rename(temporary, path, error);
        ok = !error;
    }
    if (!ok) {
        std::filesystem::remove(temporary, error);
        return false;
    }
    // The rename itself lives in the folder; flushing it makes the replacement last.
    SyncFolderOf(path);
    return true;
}

}  // namespace ztengine
