// Every text the command writes to the console: the first texts of the
// tool here, the others by area in the headers it includes, and the list
// of them all.
#pragma once

#include "console_archival_text.h"
#include "console_help_text.h"
#include "console_loss_text.h"
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
// The D88 file cannot be opened.
inline constexpr ConsoleText kCannotOpen = {
    "\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xf0\x83\x49\x81\x5b\x83\x76\x83\x93\x82\xc5\x82\xab\x82"
    "\xdc\x82\xb9\x82\xf1.\n",
    "ファイルをオープンできません.\n", "d88unpack: cannot open the D88 file\n"};
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
// Cannot write the file, stopping.
inline constexpr ConsoleText kWriteFailed = {
    "\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xc9\x8f\x91\x82\xab\x8d\x9e\x82\xdf\x82\xdc\x82\xb9\x82"
    "\xf1\x82\xcc\x82\xc5\x92\x86\x92\x66\x82\xb5\x82\xdc\x82\xb7.\n",
    "ファイルに書き込めませんので中断します.\n", "d88unpack: cannot write a file; stopping\n"};
// Image, file: cannot create the file.
inline constexpr ConsoleText kCannotCreateFile = {
    "\x83\x43\x83\x81\x81\x5b\x83\x57%03d: %s: "
    "\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xf0\x8d\xec\x90\xac\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82"
    "\xf1.\n",
    "イメージ%03d: %s: ファイルを作成できません.\n", "image %d: %s: cannot create the file\n"};
// Image: cannot enter subdirectory, so nothing is written.
inline constexpr ConsoleText kCannotEnterSubdirectory = {
    "\x83\x43\x83\x81\x81\x5b\x83\x57%03d: "
    "\x83\x54\x83\x75\x83\x66\x83\x42\x83\x8c\x83\x4e\x83\x67\x83\x8a%"
    "s\x82\xc9\x88\xda\x93\xae\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1\x82\xcc\x82\xc5\x8f\x91\x82"
    "\xab\x8f\x6f\x82\xb5\x82\xdc\x82\xb9\x82\xf1.\n",
    "イメージ%03d: サブディレクトリ%sに移動できませんので書き出しません.\n",
    "image %d: cannot enter subdirectory %s; its files are not written\n"};
// Cannot return to the starting directory, stopping.
inline constexpr ConsoleText kCannotReturn = {
    "\x8a\x4a\x8e\x6e\x83\x66\x83\x42\x83\x8c\x83\x4e\x83\x67\x83\x8a\x82\xc9\x96\xdf\x82\xea\x82"
    "\xdc\x82\xb9\x82\xf1\x82\xcc\x82\xc5\x92\x86\x92\x66\x82\xb5\x82\xdc\x82\xb7.\n",
    "開始ディレクトリに戻れませんので中断します.\n",
    "d88unpack: cannot return to the starting directory; stopping\n"};
// Image: its header cannot be read.
inline constexpr ConsoleText kImageUnreadable = {
    "\x83\x43\x83\x81\x81\x5b\x83\x57%03d: "
    "\x83\x77\x83\x62\x83\x5f\x82\xaa\x93\xc7\x82\xdf\x82\xdc\x82\xb9\x82\xf1.\n",
    "イメージ%03d: ヘッダが読めません.\n", "image %d: cannot read its header\n"};
// Image: N directory sectors cannot be read.
inline constexpr ConsoleText kDirectoryDamaged = {
    "\x83\x43\x83\x81\x81\x5b\x83\x57%03d: "
    "\x83\x66\x83\x42\x83\x8c\x83\x4e\x83\x67\x83\x8a\x82\xcc\x83\x5a\x83\x4e\x83\x5e\x82\xaa%"
    "d\x8c\xc2\x93\xc7\x82\xdf\x82\xdc\x82\xb9\x82\xf1.\n",
    "イメージ%03d: ディレクトリのセクタが%d個読めません.\n",
    "image %d: %d directory sectors cannot be read\n"};
// Image: the cluster table cannot be read, so nothing is written.
inline constexpr ConsoleText kTableUnreadable = {
    "\x83\x43\x83\x81\x81\x5b\x83\x57%03d: "
    "\x83\x4e\x83\x89\x83\x58\x83\x5e\x83\x65\x81\x5b\x83\x75\x83\x8b\x82\xaa\x93\xc7\x82\xdf\x82"
    "\xdc\x82\xb9\x82\xf1\x82\xcc\x82\xc5\x8f\x91\x82\xab\x8f\x6f\x82\xb5\x82\xdc\x82\xb9\x82\xf1."
    "\n",
    "イメージ%03d: クラスタテーブルが読めませんので書き出しません.\n",
    "image %d: cannot read the cluster table; its files are not written\n"};
// Image, file: N sectors cannot be read.
inline constexpr ConsoleText kFileSectorsLost = {
    "\x83\x43\x83\x81\x81\x5b\x83\x57%03d: %s: "
    "\x83\x5a\x83\x4e\x83\x5e\x82\xaa%d\x8c\xc2\x93\xc7\x82\xdf\x82\xdc\x82\xb9\x82\xf1.\n",
    "イメージ%03d: %s: セクタが%d個読めません.\n", "image %d: %s: %d sectors cannot be read\n"};
// Image, file: the cluster chain is too long, cut short.
inline constexpr ConsoleText kChainCut = {
    "\x83\x43\x83\x81\x81\x5b\x83\x57%03d: %s: "
    "\x83\x4e\x83\x89\x83\x58\x83\x5e\x83\x60\x83\x46\x81\x5b\x83\x93\x82\xaa\x92\xb7\x82\xb7\x82"
    "\xac\x82\xdc\x82\xb7\x82\xcc\x82\xc5\x90\xd8\x82\xe8\x8b\x6c\x82\xdf\x82\xdc\x82\xb7.\n",
    "イメージ%03d: %s: クラスタチェーンが長すぎますので切り詰めます.\n",
    "image %d: %s: cluster chain too long; cut short\n"};
// Image, file: the data is shorter than the header's size.
inline constexpr ConsoleText kFileShort = {
    "\x83\x43\x83\x81\x81\x5b\x83\x57%03d: %s: "
    "\x83\x66\x81\x5b\x83\x5e\x82\xaa\x83\x77\x83\x62\x83\x5f\x82\xcc\x83\x54\x83\x43\x83\x59\x82"
    "\xe6\x82\xe8\x92\x5a\x82\xa2\x82\xc5\x82\xb7.\n",
    "イメージ%03d: %s: データがヘッダのサイズより短いです.\n",
    "image %d: %s: data shorter than its header says\n"};
// The starting directory cannot be held on to, so nothing is written into subdirectories.
inline constexpr ConsoleText kCannotKeepStart = {
    "\x8a\x4a\x8e\x6e\x83\x66\x83\x42\x83\x8c\x83\x4e\x83\x67\x83\x8a\x82\xf0\x8a\x4a\x82\xaf\x82"
    "\xdc\x82\xb9\x82\xf1\x82\xcc\x82\xc5\x83\x54\x83\x75\x83\x66\x83\x42\x83\x8c\x83\x4e\x83\x67"
    "\x83\x8a\x82\xc9\x8f\x91\x82\xab\x8f\x6f\x82\xb5\x82\xdc\x82\xb9\x82\xf1.\n",
    "開始ディレクトリを開けませんのでサブディレクトリに書き出しません.\n",
    "d88unpack: cannot hold on to the starting directory; nothing is written into "
    "subdirectories\n"};
// The listing could not be written to the standard output.
inline constexpr ConsoleText kConsoleLost = {"\x95\x57\x8f\x80\x8f\x6f\x97\xcd\x82\xc9\x8f\x91\x82"
                                             "\xab\x8d\x9e\x82\xdf\x82\xdc\x82\xb9\x82\xf1.\n",
                                             "標準出力に書き込めません.\n",
                                             "d88unpack: cannot write to the standard output\n"};
// The version; %s is the version number.
inline constexpr ConsoleText kVersionLine = {"d88unpack %s\n", "d88unpack %s\n", "d88unpack %s\n"};
// Option %s has no value.
inline constexpr ConsoleText kOptionNeedsValue = {
    "\x83\x49\x83\x76\x83\x56\x83\x87\x83\x93%"
    "s\x82\xc9\x92\x6c\x82\xaa\x82\xa0\x82\xe8\x82\xdc\x82\xb9\x82\xf1.\n",
    "オプション%sに値がありません.\n", "d88unpack: option %s needs a value\n"};
// -i with a value that is not an image index; %d is the highest index.
inline constexpr ConsoleText kBadImageIndex = {
    "-i %s: \x83\x43\x83\x81\x81\x5b\x83\x57\x94\xd4\x8d\x86\x82\xcd"
    "0\x82\xa9\x82\xe7%d\x82\xcc\x90\x94\x8e\x9a\x82\xc5\x82\xb7.\n",
    "-i %s: イメージ番号は0から%dの数字です.\n",
    "-i %s: an image index is a number from 0 to %d\n"};
// -n given more often than the patterns kept; %d is how many are kept.
inline constexpr ConsoleText kTooManyPatterns = {
    "-n %s: \x83\x70\x83\x5e\x81\x5b\x83\x93\x82\xcd%d\x8c\xc2\x82\xdc\x82\xc5\x82\xc5\x82\xb7.\n",
    "-n %s: パターンは%d個までです.\n", "-n %s: at most %d patterns\n"};
// The -o directory can be neither created nor entered.
inline constexpr ConsoleText kCannotEnterOutput = {
    "\x8f\x6f\x97\xcd\x83\x66\x83\x42\x83\x8c\x83\x4e\x83\x67\x83\x8a%"
    "s\x82\xc9\x88\xda\x93\xae\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1.\n",
    "出力ディレクトリ%sに移動できません.\n", "d88unpack: cannot enter the output directory %s\n"};
// Image, file: the file's modification time cannot be set.
inline constexpr ConsoleText kCannotSetTime = {
    "\x83\x43\x83\x81\x81\x5b\x83\x57%03d: %s: "
    "\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xcc\x93\xfa\x8e\x9e\x82\xf0\x90\xdd\x92\xe8\x82\xc5\x82"
    "\xab\x82\xdc\x82\xb9\x82\xf1.\n",
    "イメージ%03d: %s: ファイルの日時を設定できません.\n",
    "image %d: %s: cannot set the file's time\n"};

// Every text above, so that each pair can be checked against the other.
inline constexpr const ConsoleText* kAllConsoleTexts[] = {&kUsageLine,
                                                          &kUsageNoSubdirectories,
                                                          &kUsageCutHeader,
                                                          &kCannotOpen,
                                                          &kCuttingHeader,
                                                          &kImageLine,
                                                          &kColumnHeader,
                                                          &kListingLine,
                                                          &kWriteFailed,
                                                          &kCannotCreateFile,
                                                          &kCannotEnterSubdirectory,
                                                          &kCannotReturn,
                                                          &kImageUnreadable,
                                                          &kDirectoryDamaged,
                                                          &kTableUnreadable,
                                                          &kFileSectorsLost,
                                                          &kChainCut,
                                                          &kFileShort,
                                                          &kCannotKeepStart,
                                                          &kConsoleLost,

                                                          &kVersionLine,
                                                          &kOptionNeedsValue,
                                                          &kBadImageIndex,
                                                          &kTooManyPatterns,
                                                          &kCannotEnterOutput,
                                                          &kCannotSetTime,
                                                          &kHelpUsage,
                                                          &kHelpSummary,
                                                          &kHelpPatterns,
                                                          &kHelpExitStatus,
                                                          &kOptionFlat,
                                                          &kOptionNoHeader,
                                                          &kOptionList,
                                                          &kOptionTimes,
                                                          &kOptionOutput,
                                                          &kOptionName,
                                                          &kOptionImage,
                                                          &kOptionStdout,
                                                          &kOptionHelp,
                                                          &kOptionVersion,
                                                          &kUnknownOption,
                                                          &kOptionTakesNoValue,
                                                          &kExtraOperand,
                                                          &kNoD88File,
                                                          &kOptionsConflict,
                                                          &kStdoutFailed,
                                                          &kFileSectorStatus,
                                                          &kDirectorySectorStatus,
                                                          &kTableSectorStatus,
                                                          &kStatusIdCrcError,
                                                          &kStatusDataCrcError,
                                                          &kStatusNoAddressMark,
                                                          &kStatusNoDataMark,
                                                          &kStatusUnknown,
                                                          &kRunOn,
                                                          &kCrossLinked,
                                                          &kChainThroughDirectory,
                                                          &kOptionCheck,
                                                          &kOptionJson,
                                                          &kChainLoops,
                                                          &kChainBeyondDisk,
                                                          &kChainTooLong,
                                                          &kTableBeyondDisk,
                                                          &kSameName,
                                                          &kHostNameCollision,
                                                          &kDeletedSectors,
                                                          &kDirectoryPlace,
                                                          &kTablePlace,
                                                          &kEntryAfterEnd,
                                                          &kImageSizeDisagrees,
                                                          &kOptionKeepExisting,
                                                          &kOptionRename,
                                                          &kNoImage,
                                                          &kTrailingBytes,
                                                          &kImagesBeyondLimit,
                                                          &kImageCutShort,
                                                          &kImageSizeTooSmall,
                                                          &kNoLayout,
                                                          &kNameReplaced,
                                                          &kNameKept,
                                                          &kExistingKept,
                                                          &kWrittenAs,
                                                          &kNotRegularFile,
                                                          &kHostFull,
                                                          &kHostFullSubdirectory,
                                                          &kCannotKeepOutput};

} // namespace d88
