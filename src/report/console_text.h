// Every text the command writes to the console: the first texts of the
// tool here, the help and the words of sector problems in the headers it
// includes, the problems' texts from their rows in problems.def, and the
// list of them all.
#pragma once

#include "console_archival_text.h"
#include "console_help_text.h"
#include "console_text_type.h"

namespace d88 {

// Usage line; %s is the program path.
inline constexpr ConsoleText kUsageLine = {"Usage: %s [d88file] [-d] [-b]\n",
                                           "Usage: %s [d88file] [-d] [-b]\n",
                                           "Usage: %s [d88file] [-d] [-b]\n"};
// -d: do not create subdirectories.
inline constexpr ConsoleText kUsageNoSubdirectories = {
    "       -d  : "
    "\x83\x54\x83\x75\x83\x66\x83\x42\x83\x8c\x83\x4e\x83\x67\x83\x8a\x82\xf0\x8d\xec\x90\xac\x82"
    "\xb5\x82\xc8\x82\xa2\n",
    "       -d  : サブディレクトリを作成しない\n", "       -d  : do not create subdirectories\n"};
// -b: cut off the 6-byte header.
inline constexpr ConsoleText kUsageCutHeader = {
    "       -b  : "
    "6byte\x82\xcc\x83\x77\x83\x62\x83\x5f\x82\xf0\x90\xd8\x82\xe8\x97\x8e\x82\xc6\x82\xb7\n",
    "       -b  : 6byteのヘッダを切り落とす\n", "       -b  : cut off the 6-byte header\n"};
// Cutting off the 6-byte header.
inline constexpr ConsoleText kCuttingHeader = {
    "6byte\x82\xcc\x83\x77\x83\x62\x83\x5f\x82\xf0\x90\xd8\x82\xe8\x97\x8e\x82\xc6\x82\xb5\x82\xdc"
    "\x82\xb7.\n",
    "6byteのヘッダを切り落とします.\n", "Cutting off the 6-byte header.\n"};
// Image name -> subdirectory.
inline constexpr ConsoleText kImageLine = {"\n[%s] -> %s\n", "\n[%s] -> %s\n", "\n[%s] -> %s\n"};
// Column header.
inline constexpr ConsoleText kColumnHeader = {"\nfilename  addr size exec date     time\n",
                                              "\nfilename  addr size exec date     time\n",
                                              "\nfilename  addr size exec date     time\n"};
// One line per file.
inline constexpr ConsoleText kListingLine = {"%-9s %04x %04x %04x %02d/%02d/%02d %02d:%02d\n",
                                             "%-9s %04x %04x %04x %02d/%02d/%02d %02d:%02d\n",
                                             "%-9s %04x %04x %04x %02d/%02d/%02d %02d:%02d\n"};
// -c found nothing; %d and %d are the images and files it read.
inline constexpr ConsoleText kCheckClean = {
    "%d\x8c\xc2\x82\xcc\x83\x43\x83\x81\x81\x5b\x83\x57, "
    "%d\x8c\xc2\x82\xcc\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xf0\x92\xb2\x82\xd7\x82\xdc\x82\xb5\x82"
    "\xbd: \x89\xbd\x82\xe0\x8c\xa9\x82\xc2\x82\xa9\x82\xe8\x82\xdc\x82\xb9\x82\xf1.\n",
    "%d個のイメージ, %d個のファイルを調べました: 何も見つかりません.\n",
    "checked %d images, %d files: nothing found\n"};
// The line that begins a D88 file's listing: its path and folder.
inline constexpr ConsoleText kFileLine = {"\nD88\x83\x74\x83\x40\x83\x43\x83\x8b: %s -> %s\n",
                                          "\nD88ファイル: %s -> %s\n", "\nD88 file: %s -> %s\n"};
// The summary of a run over several D88 files; the last %s lists the problems by kind.
inline constexpr ConsoleText kRunSummary = {
    "D88\x83\x74\x83\x40\x83\x43\x83\x8b: %d\x8c\xc2; "
    "\x8a\xae\x91\x53\x82\xc9\x93\xc7\x82\xdf\x82\xbd\x82\xe0\x82\xcc: %d, "
    "\x96\xe2\x91\xe8\x82\xaa\x82\xa0\x82\xc1\x82\xbd\x82\xe0\x82\xcc: %d, "
    "\x93\xc7\x82\xdf\x82\xc8\x82\xa9\x82\xc1\x82\xbd\x82\xe0\x82\xcc: %d; "
    "\x8f\x91\x82\xab\x8f\x6f\x82\xb5\x82\xbd\x83\x74\x83\x40\x83\x43\x83\x8b: %lld\x8c\xc2, "
    "%lld\x83\x6f\x83\x43\x83\x67; \x96\xe2\x91\xe8: %d\x8c\x8f%s\n",
    "D88ファイル: %d個; 完全に読めたもの: %d, 問題があったもの: %d, 読めなかったもの: %d; "
    "書き出したファイル: %lld個, %lldバイト; 問題: %d件%s\n",
    "d88unpack: D88 files: %d; read whole: %d, with problems: %d, not read: %d; files written: "
    "%lld, bytes: %lld; problems: %d%s\n"};
// The version; %s is the version number.
inline constexpr ConsoleText kVersionLine = {"d88unpack %s\n", "d88unpack %s\n", "d88unpack %s\n"};

// The text of each problem, named as the problem is.
#define D88_PROBLEM(Name, Level, Values, Kind, ShiftJis, Utf8, English)                            \
    inline constexpr ConsoleText k##Name = {ShiftJis, Utf8, English};
#include "problems.def"

// Every text of the command, so that each one's forms can be checked
// against each other.
inline constexpr const ConsoleText* kAllConsoleTexts[] = {
    &kUsageLine,           &kUsageNoSubdirectories,
    &kUsageCutHeader,      &kCuttingHeader,
    &kImageLine,           &kColumnHeader,
    &kListingLine,         &kVersionLine,
    &kHelpUsage,           &kHelpSummary,
    &kHelpPatterns,        &kHelpExitStatus,
    &kOptionFlat,          &kOptionNoHeader,
    &kOptionList,          &kOptionTimes,
    &kOptionOutput,        &kOptionName,
    &kOptionImage,         &kOptionStdout,
    &kOptionHelp,          &kOptionVersion,
    &kOptionCheck,         &kOptionJson,
    &kOptionKeepExisting,  &kOptionRename,
    &kStatusIdCrcError,    &kStatusDataCrcError,
    &kStatusNoAddressMark, &kStatusNoDataMark,
    &kStatusUnknown,       &kDirectoryPlace,
    &kTablePlace,          &kCheckClean,
    &kOptionUnicodeNames,  &kTryHelp,
    &kOptionFolders,       &kOptionQuiet,
    &kOptionJobs,          &kFileLine,
    &kRunSummary,
#define D88_PROBLEM(Name, ...) &k##Name,
#include "problems.def"
};

} // namespace d88
