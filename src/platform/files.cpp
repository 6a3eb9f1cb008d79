// Folders and the text streams: one byte per character, lines written with CR LF and read up to
// LF or a zero byte with every CR dropped. Streams are POSIX descriptors with our own buffers;
// atomic write streams go to a temporary file that replaces the target only when all went well.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

#include "platform/files_internal.h"
#include "platform/platform.h"

namespace plat {

namespace {

constexpr size_t kBufferBytes = 64 * 1024;

struct Stream {
    int fd = -1;
    bool writing = false;
    bool atomic = false;
    bool failed = false;        // a write (or flush) of this stream went wrong
    bool atEnd = false;         // reading: the descriptor has nothing more
    std::string target;         // atomic: the file to replace
    std::string temp;           // atomic: where the text goes meanwhile
    std::vector<char> buffer;   // reading: bytes not yet consumed from `pos`; writing: pending
    size_t pos = 0;
};

std::map<int, Stream> gStreams;  // open streams by id; ids are never reused within a run
int gNextStream = 1;
int64_t gWriteBudget = -1;  // bytes the disk still takes before the simulated fault; <0 = off

// Writes everything or reports failure, like a disk that fills up partway through.
bool WriteAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        size_t chunk = size;
        if (gWriteBudget >= 0) chunk = std::min<size_t>(chunk, static_cast<size_t>(gWriteBudget));
        if (chunk == 0) {
            errno = ENOSPC;
            return false;
        }
        const ssize_t done = ::write(fd, data, chunk);
        if (done < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (gWriteBudget >= 0) gWriteBudget -= done;
        data += done;
        size -= static_cast<size_t>(done);
    }
    return true;
}

void FlushPending(Stream& s) {
    if (s.buffer.empty()) return;
    if (!s.failed && !WriteAll(s.fd, s.buffer.data(), s.buffer.size())) s.failed = true;
    s.buffer.clear();
}

// Makes sure at least one unread byte is buffered; false at the end of the stream.
bool FillBuffer(Stream& s) {
    if (s.pos < s.buffer.size()) return true;
    s.buffer.resize(kBufferBytes);
    s.pos = 0;
    while (!s.atEnd) {
        const ssize_t got = ::read(s.fd, s.buffer.data(), kBufferBytes);
        if (got > 0) {
            s.buffer.resize(static_cast<size_t>(got));
            return true;
        }
        if (got < 0 && errno == EINTR) continue;
        s.atEnd = true;  // end of file, or a read error that ends the text here
    }
    s.buffer.clear();
    return false;
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

mode_t NewFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

void SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// Opens only plain files: a folder, a pipe or a device (endless or blocking) is never a text.
// Non-blocking while opening, so a pipe without a partner cannot hang the program.
int OpenRegularFile(const std::string& path, int flags) {
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC | O_NONBLOCK, 0666);
    if (fd < 0) return -1;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return -1;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

// A hidden name beside `path`, so that a rename onto it stays within one file system.
std::string HiddenBeside(const std::string& path, const std::string& suffix) {
    const size_t slash = path.find_last_of('/');
    const std::string folderPart = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    const std::string base = path.substr(slash == std::string::npos ? 0 : slash + 1);
    return folderPart + "." + base + suffix;
}

// A temporary file of our own beside `path`, for when the shared name is taken.
int UniqueTemporary(const std::string& path, std::string& name) {
    name = HiddenBeside(path, ".XXXXXX");
    return ::mkostemp(name.data(), O_CLOEXEC);
}

// The shared temporary file `name`, opened, locked and emptied; -1 when another writer holds it
// or it cannot be had.
int LockSharedTemporary(const std::string& name) {
    constexpr int kAttempts = 8;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        // Not truncated until locked: the holder's text is not ours to cut.
        constexpr int kFlags = O_WRONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK;
        const int fd = ::open(name.c_str(), kFlags, 0600);
        if (fd < 0) return -1;
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            ::close(fd);
            return -1;
        }
        // A writer that finished between our open and our lock has renamed the file into place
        // or removed it; then this descriptor is no longer the temporary file: try again.
        struct stat held {}, named {};
        const bool same = ::fstat(fd, &held) == 0 && S_ISREG(held.st_mode) &&
                          ::lstat(name.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
                          held.st_ino == named.st_ino;
        if (same && ::ftruncate(fd, 0) == 0) {
            ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
            return fd;
        }
        ::close(fd);
        if (same) return -1;
    }
    return -1;
}

}  // namespace

// The temporary file an atomic write of `path` goes to: one hidden name beside the target, reused
// by every write. A writer killed mid-write leaves that one file, which the next write takes
// over, instead of a new stray per kill. The writer holds a lock on it, so a second writer of the
// same file at the same moment does not write into it but into a name of its own.
int OpenTemporary(const std::string& path, std::string& name) {
    name = HiddenBeside(path, ".tmp");
    int fd = LockSharedTemporary(name);
    if (fd < 0) fd = UniqueTemporary(path, name);
    if (fd >= 0) ::fchmod(fd, NewFileMode());  // created private; it becomes the file others read
    return fd;
}

bool FinishTemporary(int fd, const std::string& tempName, const std::string& target, bool commit) {
    const bool synced = commit && ::fsync(fd) == 0;
    // Renamed or removed while the descriptor, and with it the lock, is still held: once it is
    // let go another writer may take the temporary name over.
    const bool renamed = synced && ::rename(tempName.c_str(), target.c_str()) == 0;
    if (!renamed) ::unlink(tempName.c_str());
    ::close(fd);  // after a successful fsync the bytes are on disk whatever close says
    if (renamed) SyncFolder(FolderOf(target));
    return renamed;
}

namespace {

int AddStream(Stream s) {
    const int id = gNextStream++;
    gStreams.emplace(id, std::move(s));
    return id;
}

Stream* Find(int id) {
    auto it = gStreams.find(id);
    return it == gStreams.end() ? nullptr : &it->second;
}

// Finishes a stream's file; true when every byte written to it is safely where it belongs.
bool Finish(Stream& s, bool commit) {
    if (!s.writing) {
        ::close(s.fd);
        return true;
    }
    FlushPending(s);
    bool ok = !s.failed;
    if (s.atomic) return plat::FinishTemporary(s.fd, s.temp, s.target, ok && commit);
    if (::close(s.fd) != 0) ok = false;
    return ok;
}

}  // namespace

void SetFileWriteFault(int64_t bytesBeforeFailure) {
    gWriteBudget = bytesBeforeFailure < 0 ? -1 : bytesBeforeFailure;
}

void CloseAllStreams() {
    for (auto& [id, s] : gStreams) Finish(s, false);
    gStreams.clear();
}

}  // namespace plat

using plat::Stream;

int PathKind(const std::string& path) {
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0) return 0;
    if (S_ISDIR(st.st_mode)) return 2;
    if (S_ISREG(st.st_mode)) return 1;
    return 0;
}

bool ChangeFolder(const std::string& path) { return !path.empty() && ::chdir(path.c_str()) == 0; }

std::string CurrentFolder() {
    std::string buffer(4096, '\0');
    while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE) return {};
        buffer.resize(buffer.size() * 2);
    }
    buffer.resize(std::strlen(buffer.c_str()));
    if (buffer.empty() || buffer.back() != '/') buffer += '/';
    return buffer;
}

bool DeleteFile(const std::string& path) {
    return PathKind(path) == 1 && ::unlink(path.c_str()) == 0;
}

bool MakeFolder(const std::string& path) {
    if (path.empty()) return false;
    if (::mkdir(path.c_str(), 0777) == 0) return true;
    return errno == EEXIST && PathKind(path) == 2;
}

int OpenForReading(const std::string& path) {
    using plat::OpenRegularFile;
    if (path.empty()) return 0;
    const int fd = OpenRegularFile(path, O_RDONLY);
    if (fd < 0) return 0;
    Stream s;
    s.fd = fd;
    return plat::AddStream(std::move(s));
}

int OpenForWriting(const std::string& path, bool atomic) {
    if (path.empty() || PathKind(path) == 2) return 0;
    Stream s;
    s.writing = true;
    s.atomic = atomic;
    if (atomic) {
        std::string name;
        s.fd = plat::OpenTemporary(path, name);
        if (s.fd < 0) return 0;
        s.target = path;
        s.temp = name;
    } else {
        s.fd = plat::OpenRegularFile(path, O_WRONLY | O_CREAT);
        if (s.fd < 0) return 0;
        if (::ftruncate(s.fd, 0) != 0) {
            ::close(s.fd);
            return 0;
        }
    }
    return plat::AddStream(std::move(s));
}

bool CloseStream(int stream) {
    auto it = plat::gStreams.find(stream);
    if (it == plat::gStreams.end()) return false;
    const bool ok = plat::Finish(it->second, true);
    plat::gStreams.erase(it);
    return ok;
}

std::string ReadTextLine(int stream) {
    std::string line;
    Stream* s = plat::Find(stream);
    if (!s || s->writing) return line;
    while (plat::FillBuffer(*s)) {
        const char* begin = s->buffer.data() + s->pos;
        const char* end = s->buffer.data() + s->buffer.size();
        const char* p = begin;
        while (p != end && *p != '\n' && *p != '\0') ++p;
        // Copy the runs between CRs whole; the CRs themselves are dropped.
        for (const char* q = begin; q != p;) {
            const void* cr = std::memchr(q, '\r', static_cast<size_t>(p - q));
            const char* runEnd = cr ? static_cast<const char*>(cr) : p;
            line.append(q, runEnd);
            q = cr ? runEnd + 1 : p;
        }
        s->pos = static_cast<size_t>(p - s->buffer.data());
        if (p != end) {
            ++s->pos;  // the line's terminator
            break;
        }
    }
    return line;
}

bool WriteTextLine(int stream, const std::string& line) {
    Stream* s = plat::Find(stream);
    if (!s || !s->writing) return false;
    s->buffer.insert(s->buffer.end(), line.begin(), line.end());
    s->buffer.push_back('\r');
    s->buffer.push_back('\n');
    // Plain streams (the log) reach the file at every line so a crash keeps them; atomic ones
    // are invisible until closed, so they may gather a full buffer first.
    if (!s->atomic || s->buffer.size() >= plat::kBufferBytes) plat::FlushPending(*s);
    return !s->failed;
}

bool AtEndOfStream(int stream) {
    Stream* s = plat::Find(stream);
    if (!s) return true;
    if (s->writing) return false;
    return !plat::FillBuffer(*s);
}
