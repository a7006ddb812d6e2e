// The same promises without the seam, where the system itself refuses: a read-only file, a folder
// that cannot be written, a target that is no regular file, a write cut short by the file-size
// limit and a disk that is really full. Tests run as root in CI, where permission bits stop
// nothing, so each case uses a refusal that also holds for root or skips and says why.
#include "fault_fixture.h"
#include "support/temp_dir.h"

#include <cerrno>

namespace kv::faults {
namespace {
namespace fs = std::filesystem;

using kvtest::ReadBytes;
using kvtest::TempDir;
using kvtest::WriteBytes;

// These two hold on Windows too, where the read-only attribute stands for the permission bits.
TEST(RealFailure, ReadOnlyFilesAreNotReplaced) {
    // Marked read-only by its permission bits: refused also for root, who could write it.
    TempDir dir;
    ThreeFiles files(dir.Root());
    for (const FileWriter& writer : files.Writers(FileErrorText(EACCES))) {
        fs::permissions(writer.path, fs::perms(0444));
        ExpectFailureLeavesEverything(writer);
    }
}

TEST(RealFailure, AFolderThatIsAFileRefusesEveryWrite) {
    TempDir dir;
    std::string plain = dir.Path("notes.txt");
    WriteBytes(plain, "mine\r\n");
    Project project = SampleProject(2);
    project.Modified = true;
    Settings settings;
    std::string tlk = plain + "/quest.tlk";
    std::string ini = plain + "/korvanthiel.ini";
    ExpectFailureLeavesEverything({"save", tlk, [&] { SaveProject(project, tlk); },
                                   FileErrorText(ENOTDIR), [&] { return project.Modified; }});
    ExpectFailureLeavesEverything(
        {"settings", ini, [&] { WriteSettings(ini, settings); }, "Unable to write to", nullptr});
    EXPECT_EQ(ReadBytes(plain), "mine\r\n");
    EXPECT_EQ(dir.Entries(), std::set<std::string>{"notes.txt"});
}

} // namespace
} // namespace kv::faults

#ifdef __linux__

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <linux/fs.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kv::faults {
namespace {
namespace fs = std::filesystem;

using kvtest::ReadBytes;
using kvtest::TempDir;
using kvtest::WriteBytes;

// Makes a file or folder read-only for everyone, root included, while it lives: the permission
// bits for a user, the immutable flag for root. applied() is false where neither is possible.
class Unwritable {
public:
    explicit Unwritable(const fs::path& path) : path_(path) {
        if (::geteuid() != 0) {
            fs::permissions(path, fs::is_directory(path) ? fs::perms(0555) : fs::perms(0444));
            applied_ = true;
        } else {
            applied_ = SetImmutable(true);
        }
    }
    ~Unwritable() {
        if (!applied_) return;
        if (::geteuid() != 0) fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add);
        else SetImmutable(false);
    }
    Unwritable(const Unwritable&) = delete;
    Unwritable& operator=(const Unwritable&) = delete;
    bool applied() const { return applied_; }

private:
    bool SetImmutable(bool on) {
        int fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) return false;
        int flags = 0;
        bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        if (done) {
            flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
            done = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        }
        ::close(fd);
        return done;
    }

    fs::path path_;
    bool applied_ = false;
};

// Dialogs with full messages: enough new content to overrun any small limit in every file.
void Enlarge(ThreeFiles& files, int dialogs) {
    for (int i = 0; i < dialogs; ++i) {
        TDialogItem& d = *files.project.AppendDialog();
        for (int l = 0; l < 5; ++l) d.Text[static_cast<std::size_t>(l)] = std::string(250, 't');
    }
    files.settings.Maps = std::string(static_cast<std::size_t>(dialogs) * 1000, 'm');
}

TEST(RealFailure, AFolderThatCannotBeWrittenKeepsItsFiles) {
    TempDir dir;
    fs::path locked = dir.Root() / "locked";
    fs::create_directory(locked);
    ThreeFiles files(locked);
    Unwritable readOnly(locked);
    if (!readOnly.applied()) GTEST_SKIP() << "no immutable flag on this file system (root)";
    for (const FileWriter& writer : files.Writers(FileErrorText(EACCES))) ExpectFailureLeavesEverything(writer);
    std::string fresh = (locked / "new.tlk").string();
    ExpectFailureLeavesEverything({"save as", fresh, [&] { SaveProject(files.project, fresh); },
                                   FileErrorText(EACCES), [&] { return files.project.Modified; }});
}

TEST(RealFailure, ATargetThatIsNoRegularFileIsNeverReplaced) {
    // A pipe, and (where the machine lets us make one) a device node like /dev/full: putting a
    // file in their place would destroy them, so the write is refused and they stay what they are.
    TempDir dir;
    std::vector<fs::path> specials{dir.Root() / "pipe"};
    ASSERT_EQ(::mkfifo(specials[0].c_str(), 0666), 0);
    fs::path full = dir.Root() / "full";
    if (::mknod(full.c_str(), S_IFCHR | 0666, makedev(1, 7)) == 0) specials.push_back(full);
    Project project = SampleProject(1);
    project.Modified = true;
    for (const fs::path& special : specials) {
        std::string path = special.string();
        auto type = fs::status(special).type();
        ExpectFailureLeavesEverything({"save", path, [&] { SaveProject(project, path); },
                                       "Not a regular file", [&] { return project.Modified; }});
        EXPECT_EQ(fs::symlink_status(special).type(), type) << path;
    }
    if (specials.size() == 1) std::cout << "[ note ] no device node: mknod not permitted here\n";
}

TEST(RealFailure, AWriteCutShortByTheFileSizeLimit) {
    // The kernel stops the write part-way (EFBIG): the temporary file holds a torn copy, which
    // must go, and the old file must stay whole.
    TempDir dir;
    ThreeFiles files(dir.Root());
    Enlarge(files, 20);

    // SIGXFSZ keeps its default, which would end this process: the write must not let it.
    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit small = old;
    small.rlim_cur = 8192;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    for (const FileWriter& writer : files.Writers(FileErrorText(EFBIG))) ExpectFailureLeavesEverything(writer);
    ::setrlimit(RLIMIT_FSIZE, &old);
}

TEST(RealFailure, ASignalOrTheTemporaryFilesNameOrRightsLeaveNothingBehind) {
    // The program ended by a signal while its new file is half written: the old file stays and
    // the temporary file goes. Seen at the write, the temporary file has the final rights.
    TempDir dir;
    const std::string path = dir.Path("p.tlk");
    WriteBytes(path, "old");
    fs::permissions(path, fs::perms(0600));
    for (int signalNumber : {0, SIGINT, SIGTERM, SIGHUP}) {
        const pid_t child = ::fork();
        if (child == 0) {
            RemoveTemporaryFileOnSignals();
            SetReplaceFaultHook([&](ReplaceStep step) {
                for (const std::string& name : dir.Entries()) {
                    if (step == ReplaceStep::Write && name != "p.tlk" &&
                        fs::status(dir.Path(name)).permissions() != fs::perms(0600))
                        ::_exit(3);
                }
                if (step == ReplaceStep::Flush && signalNumber != 0) ::raise(signalNumber);
                return false;
            });
            ReplaceFileSafely(path, "old"); // the same bytes: only the leftovers tell
            ::_exit(0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_EQ(signalNumber == 0 ? WIFEXITED(status) && WEXITSTATUS(status) == 0
                                    : WIFSIGNALED(status) && WTERMSIG(status) == signalNumber,
                  true) << signalNumber << " " << status;
        EXPECT_EQ(dir.Entries(), std::set<std::string>{"p.tlk"});
    }
    // A name at the longest a folder allows still leaves room for its temporary file.
    const std::string longest = dir.Path(std::string(251, 'n') + ".tlk");
    ReplaceFileSafely(longest, "new");
    EXPECT_EQ(ReadBytes(longest), "new");
}

// A 64 KiB file system of the test's own, in a mount namespace of its own so that nothing
// outside this process sees it. Needs the right to mount (root in CI); otherwise the test skips.
class TinyDisk {
public:
    explicit TinyDisk(const fs::path& where) : where_(where) {
        static const bool privateMounts = ::unshare(CLONE_NEWNS) == 0 &&
                                          ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
        mounted_ = privateMounts && ::mount("tmpfs", where.c_str(), "tmpfs", 0, "size=64k") == 0;
    }
    ~TinyDisk() {
        if (mounted_) ::umount2(where_.c_str(), MNT_DETACH);
    }
    bool mounted() const { return mounted_; }

private:
    fs::path where_;
    bool mounted_ = false;
};

TEST(RealFailure, AFullDiskKeepsTheOldFiles) {
    TempDir dir;
    fs::path disk = dir.Root() / "disk";
    fs::create_directory(disk);
    TinyDisk tiny(disk);
    if (!tiny.mounted()) GTEST_SKIP() << "mounting a small file system is not permitted here";

    ThreeFiles files(disk);
    Enlarge(files, 100); // each new content is larger than the whole disk
    for (const FileWriter& writer : files.Writers(FileErrorText(ENOSPC))) ExpectFailureLeavesEverything(writer);

    // And once there is room again, the same save goes through.
    Project small = SampleProject(2);
    small.Modified = true;
    SaveProject(small, files.tlk);
    EXPECT_FALSE(small.Modified);
    EXPECT_EQ(ReadBytes(files.tlk), SerializeProject(small));
}

} // namespace
} // namespace kv::faults

#endif
