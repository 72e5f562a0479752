// Scaffolding for the end-to-end tests: the built d88unpack runs as a
// separate process in a fresh directory; its streams, exit status and every
// file it leaves are compared with what the test's own images hold. The
// command is D88UNPACK_COMMAND when set (shell words, so
// "wine path/to/d88unpack.exe" works), else the build's. D88UNPACK_HOST=windows
// says the command is the Windows tool: its streams then end lines in CR LF,
// and its files are named by the Windows rules, as wine gives them to Linux.
#pragma once
#include <gtest/gtest.h>
#include <iconv.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "console_text.h"
#include "d88_builder.h"
#include "host.h"

namespace e2e {

namespace fs = std::filesystem;
using d88::ConsoleEncoding;
using d88build::Bytes;
using d88build::DiskBuilder;
using d88build::ImageBuilder;
using d88build::Stamp;

// Everything under a directory: relative path -> contents; directories end in '/'.
using Tree = std::map<std::string, Bytes>;

inline std::string format(const char* pattern, ...)
{
    char text[1024];
    va_list args;
    va_start(args, pattern);
    std::vsnprintf(text, sizeof text, pattern, args);
    va_end(args);
    return text;
}

inline std::string sjis(const d88::ConsoleText& text)
{
    return text.shiftJis;
}

inline std::string quote(const std::string& word)
{
    std::string quoted = "'";
    for (char c : word) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

inline const char* customCommand()
{
    const char* command = std::getenv("D88UNPACK_COMMAND");
    return command != nullptr && command[0] != '\0' ? command : nullptr;
}

inline bool windowsHost()
{
    const char* host = std::getenv("D88UNPACK_HOST");
    return host != nullptr && std::string(host) == "windows";
}

// Wine's locale sets the tool's ANSI code page and how names reach Linux:
// a Japanese Windows (Shift_JIS, code page 932) whose names wine writes in
// UTF-8. WINEDEBUG keeps wine's own notes off the error stream.
inline const char* const kWineEnvironment = "LC_ALL=ja_JP.UTF-8 WINEDEBUG=-all";

// The Windows tool writes its streams in text mode: each line ends in CR LF,
// and a bare LF means a stream was left in binary mode.
inline std::string fromTextMode(const std::string& text)
{
    std::string plain;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            continue;
        }
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) {
            ADD_FAILURE() << "a line feed without a carriage return at byte " << i << " of:\n"
                          << text;
        }
        plain += text[i];
    }
    return plain;
}

// A name in Shift_JIS as wine writes it to Linux: in UTF-8.
inline std::string utf8FromShiftJis(const std::string& name)
{
    iconv_t cd = iconv_open("UTF-8", "CP932");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        ADD_FAILURE() << "the C library cannot convert CP932";
        return name;
    }
    std::string in(name), out(in.size() * 3, '\0');
    char* src = in.data();
    char* dst = out.data();
    std::size_t srcLeft = in.size(), dstLeft = out.size();
    const bool converted =
        iconv(cd, &src, &srcLeft, &dst, &dstLeft) != static_cast<std::size_t>(-1);
    iconv_close(cd);
    EXPECT_TRUE(converted) << "not valid Shift_JIS: " << name;
    out.resize(out.size() - dstLeft);
    return out;
}

inline std::string readText(const fs::path& path)
{
    const Bytes bytes = d88build::readFile(path.string());
    return std::string(bytes.begin(), bytes.end());
}

inline Tree listTree(const fs::path& root)
{
    Tree tree;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root)) {
        const std::string path = entry.path().lexically_relative(root).string();
        if (entry.is_directory()) {
            tree[path + "/"] = {};
        } else {
            tree[path] = d88build::readFile(entry.path().string());
        }
    }
    return tree;
}

inline void expectTree(const Tree& got, const Tree& want)
{
    for (const auto& [path, bytes] : want) {
        const auto it = got.find(path);
        EXPECT_TRUE(it != got.end()) << "missing: " << path;
        if (it != got.end() && it->second != bytes) {
            const auto diff =
                std::mismatch(bytes.begin(), bytes.end(), it->second.begin(), it->second.end());
            ADD_FAILURE() << path << ": " << it->second.size() << " bytes, expected "
                          << bytes.size() << ", first difference at " << diff.first - bytes.begin();
        }
    }
    for (const auto& [path, bytes] : got) {
        EXPECT_TRUE(want.contains(path)) << "not expected: " << path;
    }
}

struct Result {
    int status;
    std::string out, err;
    // The lines "  PATH: REASON" that follow a message about a failed system
    // call, taken out of `err` so that its messages compare as they are.
    std::vector<std::string> details;
};

// Takes the detail lines out of `result.err`.
inline void separateDetails(Result& result)
{
    std::string messages;
    std::size_t start = 0;
    while (start < result.err.size()) {
        std::size_t end = result.err.find('\n', start);
        end = end == std::string::npos ? result.err.size() : end + 1;
        const std::string line = result.err.substr(start, end - start);
        const bool detail = line.size() > 3 && line.compare(0, 2, "  ") == 0 && line[2] != ' ' &&
                            line.find(": ") != std::string::npos;
        if (detail) {
            result.details.push_back(line.substr(2, line.size() - 3));
        } else {
            messages += line;
        }
        start = end;
    }
    result.err = messages;
}

// A fresh directory per test. The input file and the captured streams lie
// next to "out", the tool's working directory, so "out" holds only what the
// tool made (and what a test put there first).
class Scratch {
public:
    // `base`: where the directory is made; a memory file system for tests
    // that make thousands of files.
    explicit Scratch(const std::string& base = "/tmp")
    {
        std::string pattern = base + "/d88unpack-test-XXXXXX";
        char* name = pattern.data();
        if (::mkdtemp(name) == nullptr) {
            throw std::runtime_error("mkdtemp failed");
        }
        root_ = name;
        fs::create_directory(out());
    }
    ~Scratch()
    {
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }
    fs::path out() const { return root_ / "out"; }
    void input(const Bytes& bytes) const { d88build::writeFile(root_ / "in.d88", bytes); }

    // `locale`: the variables exported after LC_ALL, LC_CTYPE and LANG are
    // unset (the Windows tool, which takes no locale, gets wine's instead);
    // `setup`: shell commands run just before the tool. No console input:
    // the tool reads none, and wine would make a terminal its console.
    // `binaryOut`: the standard output carries files ("-p"), in binary mode
    // on Windows too.
    Result run(const std::vector<std::string>& args, const std::string& locale,
               const std::string& setup = "", bool binaryOut = false) const
    {
        std::string line = "cd " + quote(out()) +
                           " && (unset LANGUAGE LC_ALL LC_MESSAGES LC_CTYPE LANG; export " +
                           (windowsHost() ? kWineEnvironment : locale) + "; " + setup +
                           (customCommand() ? customCommand() : quote(D88UNPACK_BINARY));
        for (const std::string& arg : args) {
            line += " " + quote(arg);
        }
        line += ") </dev/null >" + quote(root_ / "stdout") + " 2>" + quote(root_ / "stderr");
        const int raw = std::system(line.c_str());
        Result result{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1,
                      readText(root_ / "stdout"),
                      readText(root_ / "stderr"),
                      {}};
        if (windowsHost()) {
            result.out = binaryOut ? result.out : fromTextMode(result.out);
            result.err = fromTextMode(result.err);
        }
        separateDetails(result);
        return result;
    }

private:
    fs::path root_;
};

inline const Stamp kStamp = {0x24, 0x03, 0x15, 0x09, 0x30};
inline const char* const kGame = "GAME     ";

// One file as the test lays it on a disk and as the tool should give it back.
struct FileModel {
    int entry;
    std::string stored;        // name bytes on the disk
    std::string host;          // name of the file on the host
    std::string windowsHost;   // the Windows tool's name for it, when not `host`
    unsigned load, size, exec; // as the listing line shows them
    std::vector<int> chain;
    Stamp stamp;
    Bytes data; // header and body: what is written without "-b"
};

inline FileModel file(int entry, const std::string& stored, const std::string& host, unsigned load,
                      unsigned exec, std::size_t bodySize, std::vector<int> chain,
                      Stamp stamp = kStamp)
{
    FileModel f{entry, stored, host.empty() ? stored : host, "", load, 0, exec, std::move(chain),
                stamp, {}};
    f.size = static_cast<unsigned>(bodySize);
    f.data = d88build::withHeader(load, exec, d88build::pattern(bodySize, entry * 977 + load));
    return f;
}

inline FileModel onWindows(FileModel f, const std::string& windowsHost)
{
    f.windowsHost = windowsHost;
    return f;
}

// The name the file has on Linux after the run. The Windows tool's name
// loses its trailing blanks and dots to Windows itself, and wine writes it
// in UTF-8.
inline std::string onDisk(const FileModel& f)
{
    if (!windowsHost()) {
        return f.host;
    }
    std::string name = f.windowsHost.empty() ? f.host : f.windowsHost;
    name.erase(name.find_last_not_of(". ") + 1);
    return utf8FromShiftJis(name);
}

struct DiskModel {
    std::string name;  // the 17-byte name field
    std::string shown; // the name in the image line
    std::vector<FileModel> files;
    int index = -1; // its index in the D88 file; -1: its place in the list
};

// The directory holds the files, empty entries between them, the end mark,
// and after it a complete entry that must never be extracted.
inline Bytes build(const DiskModel& model, void (*diskHook)(DiskBuilder&) = nullptr,
                   void (*imageHook)(ImageBuilder&) = nullptr)
{
    DiskBuilder disk(model.name);
    // Files are listed in entry order.
    const int end = model.files.empty() ? 0 : model.files.back().entry + 1;
    for (int i = 0; i < end; ++i) {
        disk.setRawEntry(i, {});
    }
    for (const FileModel& f : model.files) {
        disk.addFile(f.entry, f.stored, f.chain, f.data, f.stamp);
    }
    disk.addFile(end + 1, "GHOST", {150}, d88build::withHeader(1, 2, Bytes(10, 0x47)));
    disk.endDirectory(end);
    if (diskHook != nullptr) {
        diskHook(disk);
    }
    ImageBuilder image = disk.image();
    if (imageHook != nullptr) {
        imageHook(image);
    }
    return image.build();
}

// What a run over `disks` prints, and the output tree it leaves on top of
// `before`.
inline std::pair<std::string, Tree> expected(const std::vector<DiskModel>& disks,
                                             bool subdirectories, bool cut, Tree before,
                                             ConsoleEncoding encoding = ConsoleEncoding::ShiftJis)
{
    const auto bcd = [](std::uint8_t value) { return (value >> 4) * 10 + (value & 0x0F); };
    std::pair<std::string, Tree> e{cut ? d88::textFor(d88::kCuttingHeader, encoding) : "",
                                   std::move(before)};
    for (std::size_t i = 0; i < disks.size(); ++i) {
        std::string dir;
        if (subdirectories) {
            dir = disks[i].index >= 0 ? format("%03d", disks[i].index) : format("%03zu", i);
            e.first += format(d88::kImageLine.shiftJis, disks[i].shown.c_str(), dir.c_str());
            if (!e.second.contains(dir)) { // a file of that name stays a file
                e.second[dir + "/"] = {};
            }
            dir += "/";
        }
        e.first += d88::kColumnHeader.shiftJis;
        for (const FileModel& f : disks[i].files) {
            const Stamp& s = f.stamp;
            e.first += format(d88::kListingLine.shiftJis, f.stored.c_str(), f.load, f.size, f.exec,
                              bcd(s[0]), bcd(s[1]), bcd(s[2]), bcd(s[3]), bcd(s[4]));
            const std::size_t skip = std::min<std::size_t>(cut ? 6 : 0, f.data.size());
            e.second[dir + onDisk(f)] =
                Bytes(f.data.begin() + static_cast<long>(skip), f.data.end());
        }
    }
    return e;
}

// Files in both directory sectors, one and several clusters, chains that
// jump across the disk, last sectors only partly used by the data.
inline DiskModel diskA()
{
    return {"DISK A",
            "DISK A",
            {file(0, kGame, "", 0x6000, 0x6000, 0x1234, {10, 11, 40}),
             file(2, "DATA.BIN", "", 0xab00, 0x00fe, 300, {5}, {0x99, 0x12, 0x31, 0x23, 0x59}),
             file(16, "LATE", "", 0x0100, 0xffff, 5000, {7, 60, 9}, {0, 1, 1, 0, 0})}};
}

// A full name field with no NUL; names the host must not take as they stand.
inline DiskModel diskC()
{
    return {"ABCDEFGHIJKLMNOPQ",
            "ABCDEFGHIJKLMNOP",
            {file(0, kGame, "", 0x7000, 0x7003, 100, {20}), file(1, "TWICE", "", 1, 1, 50, {21}),
             file(2, "TWICE", "", 2, 2, 70, {22}), file(3, "A/B", "A_B", 3, 3, 10, {23}),
             file(4, ".", "_", 4, 4, 10, {24}), file(5, "..", "__", 5, 5, 10, {25}),
             file(6, "EMPTY", "", 0x1234, 0x5678, 0, {26}),
             file(7, "\xb1\xb2\xb3 X", "", 7, 7, 20, {27}),
             onWindows(file(8, "NUL.TXT", "", 8, 8, 10, {28}), "_NUL.TXT"),
             onWindows(file(9, "A*B?.", "", 9, 9, 10, {29}), "A_B_.")}};
}

// ---- Name collisions ---------------------------------------------------------

// A host name as the host tells names apart: on Windows without case and
// without trailing dots and blanks.
inline std::string nameKey(const FileModel& f)
{
    if (!windowsHost()) {
        return f.host;
    }
    std::string name = f.windowsHost.empty() ? f.host : f.windowsHost;
    name.erase(name.find_last_not_of(". ") + 1);
    for (char& c : name) {
        c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    }
    return name;
}

// What a run reports by default for each file whose host name an earlier
// file in the same directory took (every image's under "-d"): the later
// replaces the earlier, naming both.
inline std::string replacedLines(const std::vector<DiskModel>& disks, bool subdirectories,
                                 ConsoleEncoding encoding = ConsoleEncoding::ShiftJis)
{
    std::string lines;
    std::map<std::string, std::pair<int, std::string>> owners;
    for (std::size_t i = 0; i < disks.size(); ++i) {
        if (subdirectories) {
            owners.clear();
        }
        const int index = disks[i].index >= 0 ? disks[i].index : static_cast<int>(i);
        for (const FileModel& f : disks[i].files) {
            const auto it = owners.find(nameKey(f));
            if (it != owners.end()) {
                lines += format(d88::textFor(d88::kNameReplaced, encoding), index, f.stored.c_str(),
                                it->second.first, it->second.second.c_str());
            }
            owners[nameKey(f)] = {index, f.stored};
        }
    }
    return lines;
}

// ---- Runs the tests put together themselves ---------------------------------

// The tool as a shell word, for commands the tests put together themselves.
inline std::string tool()
{
    return customCommand() ? customCommand() : quote(D88UNPACK_BINARY);
}

// Permission bits bind only an unprivileged user: as root the tool is run as
// nobody through setpriv (util-linux).
inline std::string unprivileged()
{
    return ::geteuid() == 0 ? "setpriv --reuid=65534 --regid=65534 --clear-groups " : "";
}

// A disk of many small files, `load` setting their bytes: a few of them
// make an extraction long enough to be interrupted at many moments.
inline DiskModel manyFiles(unsigned load)
{
    DiskModel disk{"MANY", "MANY", {}};
    for (int i = 0; i < 60; ++i) {
        disk.files.push_back(file(i, format("F%02d", i), "", load, load, 1500 + 7 * i, {i}));
    }
    return disk;
}

// Where tests that make thousands of files make them.
inline std::string manyFilesBase()
{
    return fs::is_directory("/dev/shm") ? "/dev/shm" : "/tmp";
}

// Every file left is whole, of one of `versions`, and has a name the run
// makes; no temporary file is left. Returns a description of the first fault.
inline std::string checkTree(const fs::path& out, const std::vector<Tree>& versions)
{
    for (const auto& [path, bytes] : listTree(out)) {
        if (path.find(d88::host::kTemporaryPrefix) != std::string::npos) {
            return "a temporary file left: " + path;
        }
        bool known = path.ends_with("/");
        for (const Tree& version : versions) {
            known = known || (version.contains(path) && version.at(path) == bytes);
        }
        if (!known) {
            return "not whole, or not one run's: " + path;
        }
    }
    return "";
}

} // namespace e2e
