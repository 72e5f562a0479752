// Every text the command writes to the console.
//
// Each text is kept three times: in Japanese as the Shift_JIS bytes (code
// page 932) that are written by default and as UTF-8 for a console whose
// locale asks for it, and in English, for users whose language is not
// Japanese. The Shift_JIS side is written with escapes so that no editor or
// compiler setting can change its bytes; the UTF-8 side is the readable one.
#pragma once

#include "host.h"

namespace d88 {

struct ConsoleText {
    const char* shiftJis;
    const char* utf8;
    const char* english; // ASCII: the same in either encoding
};

// The Japanese text in `encoding`.
inline const char* textFor(const ConsoleText& text, ConsoleEncoding encoding)
{
    return encoding == ConsoleEncoding::Utf8 ? text.utf8 : text.shiftJis;
}

// How the console is spoken to: the language of the messages and the
// encoding of the Japanese ones.
struct ConsoleStyle {
    Language language;
    ConsoleEncoding encoding;
};

inline const char* textFor(const ConsoleText& text, ConsoleStyle style)
{
    return style.language == Language::English ? text.english : textFor(text, style.encoding);
}

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

// The help and the command line.
// The first line of the help; %s is the program path.
inline constexpr ConsoleText kHelpUsage = {"Usage: %s [OPTION]... D88FILE\n",
                                           "Usage: %s [OPTION]... D88FILE\n",
                                           "Usage: %s [OPTION]... D88FILE\n"};
// What the tool does, after the first line of the help.
inline constexpr ConsoleText kHelpSummary = {
    "D88FILE\x82\xcc\x91\x53\x83\x66\x83\x42\x83\x58\x83\x4e\x83\x43\x83\x81\x81\x5b\x83\x57\x82"
    "\xcc\x91\x53\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xf0\x8f\x91\x82\xab\x8f\x6f\x82\xb5\x82\xdc"
    "\x82\xb7.\n\n",
    "D88FILEの全ディスクイメージの全ファイルを書き出します.\n\n",
    "Copies every file of every disk image in D88FILE to the host.\n\n"};
// The pattern syntax, near the end of the help.
inline constexpr ConsoleText kHelpPatterns = {
    "\nPATTERN: * \x94\x43\x88\xd3\x82\xcc\x83\x6f\x83\x43\x83\x67\x97\xf1, ? "
    "\x94\x43\x88\xd3\x82\xcc"
    "1\x83\x6f\x83\x43\x83\x67, [...] \x8f\x57\x8d\x87\x82\xcc"
    "1\x83\x6f\x83\x43\x83\x67, [!...] \x8f\x57\x8d\x87\x82\xc9\x82\xc8\x82\xa2"
    "1\x83\x6f\x83\x43\x83\x67\n",
    "\nPATTERN: * 任意のバイト列, ? 任意の1バイト, [...] 集合の1バイト, [!...] 集合にない1バイト\n",
    "\nPATTERN: * any bytes, ? any one byte, [...] one byte of a set, [!...] one byte not in it\n"};
// The exit statuses, last in the help.
inline constexpr ConsoleText kHelpExitStatus = {
    "\x8f\x49\x97\xb9\x83\x58\x83\x65\x81\x5b\x83\x5e\x83\x58: 0 "
    "\x82\xb7\x82\xd7\x82\xc4\x8f\x91\x82\xab\x8f\x6f\x82\xb5\x82\xbd, 1 "
    "\x92\x86\x92\x66\x82\xb5\x82\xbd("
    "\x8e\x67\x82\xa2\x95\xfb\x81\x45\x83\x49\x81\x5b\x83\x76\x83\x93\x81\x45\x8f\x91\x82\xab\x8d"
    "\x9e\x82\xdd\x82\xcc\x8c\xeb\x82\xe8), 2 "
    "\x89\xf3\x82\xea\x82\xc4\x82\xa2\x82\xbd\x82\xa9\x8f\x91\x82\xab\x8f\x6f\x82\xb9\x82\xc8\x82"
    "\xa9\x82\xc1\x82\xbd\x82\xe0\x82\xcc\x82\xaa\x82\xa0\x82\xe9\n",
    "終了ステータス: 0 すべて書き出した, 1 中断した(使い方・オープン・書き込みの誤り), 2 "
    "壊れていたか書き出せなかったものがある\n",
    "Exit status: 0 all written; 1 stopped (usage, open or write failure); 2 something damaged or "
    "left out\n"};
// -d, --flat
inline constexpr ConsoleText kOptionFlat = {
    "\x83\x54\x83\x75\x83\x66\x83\x42\x83\x8c\x83\x4e\x83\x67\x83\x8a\x82\xf0\x8d\xec\x90\xac\x82"
    "\xb5\x82\xc8\x82\xa2\n",
    "サブディレクトリを作成しない\n",
    "do not create subdirectories: every file in the output directory\n"};
// -b, --no-header
inline constexpr ConsoleText kOptionNoHeader = {
    "6byte\x82\xcc\x83\x77\x83\x62\x83\x5f\x82\xf0\x90\xd8\x82\xe8\x97\x8e\x82\xc6\x82\xb7\n",
    "6byteのヘッダを切り落とす\n", "leave out each file's 6-byte header\n"};
// -l, --list
inline constexpr ConsoleText kOptionList = {
    "\x88\xea\x97\x97\x82\xf0\x95\x5c\x8e\xa6\x82\xb7\x82\xe9\x82\xbe\x82\xaf\x82\xc5\x89\xbd\x82"
    "\xe0\x8d\xec\x90\xac\x82\xb5\x82\xc8\x82\xa2\n",
    "一覧を表示するだけで何も作成しない\n", "list only; create nothing\n"};
// -t, --times
inline constexpr ConsoleText kOptionTimes = {
    "\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xcc\x8d\x58\x90\x56\x93\xfa\x8e\x9e\x82\xf0\x83\x66\x83"
    "\x42\x83\x8c\x83\x4e\x83\x67\x83\x8a\x82\xcc\x93\xfa\x8e\x9e\x82\xc9\x82\xb7\x82\xe9\n",
    "ファイルの更新日時をディレクトリの日時にする\n",
    "give files the date and time of their directory entry\n"};
// -o, --output=DIR
inline constexpr ConsoleText kOptionOutput = {
    "DIR\x82\xcc\x92\x86\x82\xc9\x8f\x91\x82\xab\x8f\x6f\x82\xb7\n", "DIRの中に書き出す\n",
    "write under DIR\n"};
// -n, --name=PATTERN
inline constexpr ConsoleText kOptionName = {
    "\x96\xbc\x91\x4f\x82\xaaPATTERN\x82\xc9\x8d\x87\x82\xa4\x83\x74\x83\x40\x83\x43\x83\x8b\x82"
    "\xbe\x82\xaf(\x95\xa1\x90\x94\x89\xc2)\n",
    "名前がPATTERNに合うファイルだけ(複数可)\n",
    "only files whose name matches PATTERN (repeatable)\n"};
// -i, --image=N
inline constexpr ConsoleText kOptionImage = {
    "N\x94\xd4\x82\xcc\x83\x43\x83\x81\x81\x5b\x83\x57\x82\xbe\x82\xaf(\x95\xa1\x90\x94\x89\xc2)\n",
    "N番のイメージだけ(複数可)\n", "only image N (repeatable)\n"};
// -p, --stdout
inline constexpr ConsoleText kOptionStdout = {
    "\x91\x49\x82\xf1\x82\xbe\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xcc\x92\x86\x90\x67\x82\xbe\x82"
    "\xaf\x82\xf0\x95\x57\x8f\x80\x8f\x6f\x97\xcd\x82\xc9\x8f\x91\x82\xab\x8f\x6f\x82\xb7\n",
    "選んだファイルの中身だけを標準出力に書き出す\n",
    "write the chosen files' bytes to the standard output, and nothing else\n"};
// -h, --help
inline constexpr ConsoleText kOptionHelp = {
    "\x82\xb1\x82\xcc\x90\xe0\x96\xbe\x82\xf0\x95\x5c\x8e\xa6\x82\xb7\x82\xe9\n",
    "この説明を表示する\n", "show this help\n"};
// --version
inline constexpr ConsoleText kOptionVersion = {
    "\x83\x6f\x81\x5b\x83\x57\x83\x87\x83\x93\x82\xf0\x95\x5c\x8e\xa6\x82\xb7\x82\xe9\n",
    "バージョンを表示する\n", "show the version\n"};
// An option the tool does not have; %s is it.
inline constexpr ConsoleText kUnknownOption = {
    "\x83\x49\x83\x76\x83\x56\x83\x87\x83\x93%s\x82\xcd\x82\xa0\x82\xe8\x82\xdc\x82\xb9\x82\xf1.\n",
    "オプション%sはありません.\n", "d88unpack: unknown option %s\n"};
// A value given to an option that takes none; %s is the argument.
inline constexpr ConsoleText kOptionTakesNoValue = {
    "\x83\x49\x83\x76\x83\x56\x83\x87\x83\x93%"
    "s\x82\xcd\x92\x6c\x82\xf0\x82\xc6\x82\xe8\x82\xdc\x82\xb9\x82\xf1.\n",
    "オプション%sは値をとりません.\n", "d88unpack: option %s takes no value\n"};
// A second file or directory named; %s is it.
inline constexpr ConsoleText kExtraOperand = {
    "\x97\x5d\x95\xaa\x82\xc8\x88\xf8\x90\x94%s\x82\xaa\x82\xa0\x82\xe8\x82\xdc\x82\xb7.\n",
    "余分な引数%sがあります.\n", "d88unpack: unexpected argument %s (one D88 file only)\n"};
// Options but no D88 file.
inline constexpr ConsoleText kNoD88File = {
    "D88\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xaa\x8e\x77\x92\xe8\x82\xb3\x82\xea\x82\xc4\x82\xa2"
    "\x82\xdc\x82\xb9\x82\xf1.\n",
    "D88ファイルが指定されていません.\n", "d88unpack: no D88 file given\n"};
// Two options that exclude each other; %s and %s are they.
inline constexpr ConsoleText kOptionsConflict = {
    "\x83\x49\x83\x76\x83\x56\x83\x87\x83\x93%s\x82\xc6%"
    "s\x82\xcd\x93\xaf\x8e\x9e\x82\xc9\x8e\x67\x82\xa6\x82\xdc\x82\xb9\x82\xf1.\n",
    "オプション%sと%sは同時に使えません.\n",
    "d88unpack: options %s and %s cannot be used together\n"};
// -p: the standard output failed, stopping.
inline constexpr ConsoleText kStdoutFailed = {
    "\x95\x57\x8f\x80\x8f\x6f\x97\xcd\x82\xc9\x8f\x91\x82\xab\x8d\x9e\x82\xdf\x82\xdc\x82\xb9\x82"
    "\xf1\x82\xcc\x82\xc5\x92\x86\x92\x66\x82\xb5\x82\xdc\x82\xb7.\n",
    "標準出力に書き込めませんので中断します.\n",
    "d88unpack: cannot write to the standard output; stopping\n"};

// The archival view: sector status, chain consistency, the check and the JSON listing.
// Image, file: N sectors read with an error status (its name, then their places).
inline constexpr ConsoleText kFileSectorStatus = {
    "\x83\x43\x83\x81\x81\x5b\x83\x57%03d: %s: "
    "%d\x8c\xc2\x82\xcc\x83\x5a\x83\x4e\x83\x5e\x82\xf0%"
    "s\x82\xcc\x82\xdc\x82\xdc\x93\xc7\x82\xdd\x82\xdc\x82\xb5\x82\xbd (%s).\n",
    "イメージ%03d: %s: %d個のセクタを%sのまま読みました (%s).\n",
    "image %d: %s: %d sectors read with %s (%s)\n"};
// Image: N directory sectors read with an error status.
inline constexpr ConsoleText kDirectorySectorStatus = {
    "\x83\x43\x83\x81\x81\x5b\x83\x57%03d: "
    "\x83\x66\x83\x42\x83\x8c\x83\x4e\x83\x67\x83\x8a\x82\xcc%"
    "d\x8c\xc2\x82\xcc\x83\x5a\x83\x4e\x83\x5e\x82\xf0%"
    "s\x82\xcc\x82\xdc\x82\xdc\x93\xc7\x82\xdd\x82\xdc\x82\xb5\x82\xbd (%s).\n",
    "イメージ%03d: ディレクトリの%d個のセクタを%sのまま読みました (%s).\n",
    "image %d: directory: %d sectors read with %s (%s)\n"};
// Image: the cluster table read with an error status.
inline constexpr ConsoleText kTableSectorStatus = {
    "\x83\x43\x83\x81\x81\x5b\x83\x57%03d: "
    "\x83\x4e\x83\x89\x83\x58\x83\x5e\x83\x65\x81\x5b\x83\x75\x83\x8b\x82\xcc%"
    "d\x8c\xc2\x82\xcc\x83\x5a\x83\x4e\x83\x5e\x82\xf0%"
    "s\x82\xcc\x82\xdc\x82\xdc\x93\xc7\x82\xdd\x82\xdc\x82\xb5\x82\xbd (%s).\n",
    "イメージ%03d: クラスタテーブルの%d個のセクタを%sのまま読みました (%s).\n",
    "image %d: cluster table: %d sectors read with %s (%s)\n"};
// Status 0xA0.
inline constexpr ConsoleText kStatusIdCrcError = {"ID\x82\xcc"
                                                  "CRC\x83\x47\x83\x89\x81\x5b",
                                                  "IDのCRCエラー", "an ID CRC error"};
// Status 0xB0.
inline constexpr ConsoleText kStatusDataCrcError = {"\x83\x66\x81\x5b\x83\x5e\x82\xcc"
                                                    "CRC\x83\x47\x83\x89\x81\x5b",
                                                    "データのCRCエラー", "a data CRC error"};
// Status 0xE0.
inline constexpr ConsoleText kStatusNoAddressMark = {
    "\x83\x41\x83\x68\x83\x8c\x83\x58\x83\x7d\x81\x5b\x83\x4e\x82\xc8\x82\xb5",
    "アドレスマークなし", "no address mark"};
// Status 0xF0.
inline constexpr ConsoleText kStatusNoDataMark = {
    "\x83\x66\x81\x5b\x83\x5e\x83\x7d\x81\x5b\x83\x4e\x82\xc8\x82\xb5", "データマークなし",
    "no data mark"};
// Any other error status; %02X is its value.
inline constexpr ConsoleText kStatusUnknown = {
    "\x95\x73\x96\xbe\x82\xc8\x83\x58\x83\x65\x81\x5b\x83\x5e\x83\x58"
    "0x%02X",
    "不明なステータス0x%02X", "unknown error status 0x%02X"};
// Image, file: the last cluster claims more than its 8 sectors and runs on into the next cluster.
inline constexpr ConsoleText kRunOn = {
    "\x83\x43\x83\x81\x81\x5b\x83\x57%03d: %s: "
    "\x8d\xc5\x8c\xe3\x82\xcc\x83\x4e\x83\x89\x83\x58\x83\x5e\x82\xaa%"
    "d\x83\x5a\x83\x4e\x83\x5e\x82\xf0\x8e\x77\x82\xb7\x82\xcc\x82\xc5\x8e\x9f\x82\xcc\x83\x4e\x83"
    "\x89\x83\x58\x83\x5e%d\x82\xdc\x82\xc5\x93\xc7\x82\xdd\x82\xdc\x82\xb7.\n",
    "イメージ%03d: %s: 最後のクラスタが%dセクタを指すので次のクラスタ%dまで読みます.\n",
    "image %d: %s: last cluster claims %d sectors, running on into cluster %d\n"};
// Image, file: a cluster is also in an earlier file's chain.
inline constexpr ConsoleText kCrossLinked = {
    "\x83\x43\x83\x81\x81\x5b\x83\x57%03d: %s: "
    "\x83\x4e\x83\x89\x83\x58\x83\x5e%d\x82\xcd%"
    "s\x82\xcc\x83\x60\x83\x46\x81\x5b\x83\x93\x82\xc9\x82\xe0\x82\xa0\x82\xe8\x82\xdc\x82\xb7.\n",
    "イメージ%03d: %s: クラスタ%dは%sのチェーンにもあります.\n",
    "image %d: %s: cluster %d is also in the chain of %s\n"};
// Image, file: the chain runs through a cluster of the directory track.
inline constexpr ConsoleText kChainThroughDirectory = {
    "\x83\x43\x83\x81\x81\x5b\x83\x57%03d: %s: "
    "\x83\x60\x83\x46\x81\x5b\x83\x93\x82\xaa\x83\x66\x83\x42\x83\x8c\x83\x4e\x83\x67\x83\x8a\x83"
    "\x67\x83\x89\x83\x62\x83\x4e\x82\xcc\x83\x4e\x83\x89\x83\x58\x83\x5e%"
    "d\x82\xf0\x92\xca\x82\xe8\x82\xdc\x82\xb7.\n",
    "イメージ%03d: %s: チェーンがディレクトリトラックのクラスタ%dを通ります.\n",
    "image %d: %s: chain runs through cluster %d on the directory track\n"};
// -c, --check
inline constexpr ConsoleText kOptionCheck = {
    "\x8a\x65\x83\x43\x83\x81\x81\x5b\x83\x57\x82\xcc\x90\xae\x8d\x87\x90\xab\x82\xf0\x92\xb2\x82"
    "\xd7\x82"
    "\xe9\x82\xbe\x82\xaf\x82\xc5\x89\xbd\x82\xe0\x8d\xec\x90\xac\x82\xb5\x82\xc8\x82\xa2\n",
    "各イメージの整合性を調べるだけで何も作成しない\n",
    "check each image's consistency; create nothing\n"};
// -j, --json
inline constexpr ConsoleText kOptionJson = {
    "\x88\xea\x97\x97\x82\xf0JSON "
    "Lines\x82\xc5\x95\x57\x8f\x80\x8f\x6f\x97\xcd\x82\xc9\x8f\x91\x82\xad\n",
    "一覧をJSON Linesで標準出力に書く\n",
    "list as JSON Lines on the standard output, with each file's hashes\n"};
// Image, file: the chain comes back to one of its own clusters.
inline constexpr ConsoleText kChainLoops = {
    "\x83\x43\x83\x81\x81\x5b\x83\x57%03d: %s: "
    "\x83\x4e\x83\x89\x83\x58\x83\x5e\x83\x60\x83\x46\x81\x5b\x83\x93\x82\xaa\x83\x8b\x81\x5b\x83"
    "\x76\x82\xb5\x82\xc4\x82\xa2\x82\xdc\x82\xb7.\n",
    "イメージ%03d: %s: クラスタチェーンがループしています.\n",
    "image %d: %s: cluster chain loops\n"};
// Image, file: the chain names a cluster on a track the image does not have.
inline constexpr ConsoleText kChainBeyondDisk = {
    "\x83\x43\x83\x81\x81\x5b\x83\x57%03d: %s: "
    "\x83\x60\x83\x46\x81\x5b\x83\x93\x82\xaa\x83\x66\x83\x42\x83\x58\x83\x4e\x82\xc9\x82\xc8\x82"
    "\xa2\x83\x4e\x83\x89\x83\x58\x83\x5e%"
    "d\x82\xf0\x8e\x77\x82\xb5\x82\xc4\x82\xa2\x82\xdc\x82\xb7.\n",
    "イメージ%03d: %s: チェーンがディスクにないクラスタ%dを指しています.\n",
    "image %d: %s: chain names cluster %d, beyond the disk\n"};
// Image, file: the chain holds whole clusters more than the header's size needs.
inline constexpr ConsoleText kChainTooLong = {
    "\x83\x43\x83\x81\x81\x5b\x83\x57%03d: %s: "
    "\x83\x60\x83\x46\x81\x5b\x83\x93\x82\xaa\x83\x77\x83\x62\x83\x5f\x82\xcc\x83\x54\x83\x43\x83"
    "\x59\x82\xe6\x82\xe8%d\x83\x4e\x83\x89\x83\x58\x83\x5e\x92\xb7\x82\xa2\x82\xc5\x82\xb7.\n",
    "イメージ%03d: %s: チェーンがヘッダのサイズより%dクラスタ長いです.\n",
    "image %d: %s: chain is %d clusters longer than its size needs\n"};
// Image: a cluster-table byte names a cluster on a track the image does not have.
inline constexpr ConsoleText kTableBeyondDisk = {
    "\x83\x43\x83\x81\x81\x5b\x83\x57%03d: "
    "\x83\x4e\x83\x89\x83\x58\x83\x5e%"
    "d\x82\xcc\x83\x65\x81\x5b\x83\x75\x83\x8b\x92\x6c\x82\xaa\x83\x66\x83\x42\x83\x58\x83\x4e\x82"
    "\xc9\x82\xc8\x82\xa2\x83\x4e\x83\x89\x83\x58\x83\x5e%"
    "d\x82\xf0\x8e\x77\x82\xb5\x82\xc4\x82\xa2\x82\xdc\x82\xb7.\n",
    "イメージ%03d: クラスタ%dのテーブル値がディスクにないクラスタ%dを指しています.\n",
    "image %d: cluster table byte of cluster %d names cluster %d, beyond the disk\n"};
// Image, file: an earlier entry has the same name.
inline constexpr ConsoleText kSameName = {
    "\x83\x43\x83\x81\x81\x5b\x83\x57%03d: %s: "
    "\x83\x47\x83\x93\x83\x67\x83\x8a%d\x82\xc6\x93\xaf\x82\xb6\x96\xbc\x91\x4f\x82\xc5\x82\xb7.\n",
    "イメージ%03d: %s: エントリ%dと同じ名前です.\n", "image %d: %s: same name as entry %d\n"};
// Image, file: written under the same host name as an earlier file.
inline constexpr ConsoleText kHostNameCollision = {
    "\x83\x43\x83\x81\x81\x5b\x83\x57%03d: %s: "
    "%s\x82\xc6\x93\xaf\x82\xb6\x96\xbc\x91\x4f\x82\xc5\x8f\x91\x82\xab\x8f\x6f\x82\xb3\x82\xea\x82"
    "\xdc\x82\xb7.\n",
    "イメージ%03d: %s: %sと同じ名前で書き出されます.\n",
    "image %d: %s: would be written under the same name as %s\n"};
// Image, file (or the directory or table): sectors marked as deleted data.
inline constexpr ConsoleText kDeletedSectors = {
    "\x83\x43\x83\x81\x81\x5b\x83\x57%03d: %s: "
    "%d\x8c\xc2\x82\xcc\x83\x5a\x83\x4e\x83\x5e\x82\xc9\x8d\xed\x8f\x9c\x83\x7d\x81\x5b\x83\x4e\x82"
    "\xaa\x82\xa0\x82\xe8\x82\xdc\x82\xb7 (%s).\n",
    "イメージ%03d: %s: %d個のセクタに削除マークがあります (%s).\n",
    "image %d: %s: %d sectors marked as deleted data (%s)\n"};
// The directory, named where a file name stands.
inline constexpr ConsoleText kDirectoryPlace = {"\x83\x66\x83\x42\x83\x8c\x83\x4e\x83\x67\x83\x8a",
                                                "ディレクトリ", "directory"};
// The cluster table, named where a file name stands.
inline constexpr ConsoleText kTablePlace = {
    "\x83\x4e\x83\x89\x83\x58\x83\x5e\x83\x65\x81\x5b\x83\x75\x83\x8b", "クラスタテーブル",
    "cluster table"};
// Image: an entry after the end-of-directory mark looks like a file.
inline constexpr ConsoleText kEntryAfterEnd = {
    "\x83\x43\x83\x81\x81\x5b\x83\x57%03d: "
    "\x8f\x49\x92\x5b\x83\x7d\x81\x5b\x83\x4e\x82\xcc\x8c\xe3\x82\xcc\x83\x47\x83\x93\x83\x67\x83"
    "\x8a%d (%s) "
    "\x82\xaa\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xcc\x82\xe6\x82\xa4\x82\xc9\x8c\xa9\x82\xa6\x82"
    "\xdc\x82\xb7.\n",
    "イメージ%03d: 終端マークの後のエントリ%d (%s) がファイルのように見えます.\n",
    "image %d: entry %d (%s) after the end-of-directory mark looks like a file\n"};
// Image: its size field disagrees with the bytes the file holds for it.
inline constexpr ConsoleText kImageSizeDisagrees = {
    "\x83\x43\x83\x81\x81\x5b\x83\x57%03d: "
    "\x83\x54\x83\x43\x83\x59\x97\x93\x82\xcd%"
    "s\x83\x6f\x83\x43\x83\x67\x82\xc5\x82\xb7\x82\xaa\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xc9\x82"
    "\xcd%s\x83\x6f\x83\x43\x83\x67\x82\xa0\x82\xe8\x82\xdc\x82\xb7.\n",
    "イメージ%03d: サイズ欄は%sバイトですがファイルには%sバイトあります.\n",
    "image %d: size field says %s bytes, but the file holds %s for it\n"};
// ---- Losses, name collisions and safe writes ----
// -k, --keep-existing: never replace an existing file.
inline constexpr ConsoleText kOptionKeepExisting = {
    "\x8a\xf9\x82\xc9\x82\xa0\x82\xe9\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xf0\x92\x75\x82\xab\x8a"
    "\xb7\x82\xa6\x82\xc8\x82\xa2\n",
    "既にあるファイルを置き換えない\n",
    "never replace an existing file: leave the later one unwritten\n"};
// -r, --rename: write a file whose name is taken as NAME~1, NAME~2, ...
inline constexpr ConsoleText kOptionRename = {
    "\x96\xbc\x91\x4f\x82\xaa\x8a\xf9\x82\xc9\x82\xa0\x82\xea\x82\xceNAME~"
    "1\x82\xc8\x82\xc7\x82\xcc\x96\xbc\x91\x4f\x82\xc5\x8f\x91\x82\xab\x8f\x6f\x82\xb7\n",
    "名前が既にあればNAME~1などの名前で書き出す\n",
    "write a file whose name is taken as NAME~1, NAME~2, ...\n"};
// The file holds no complete image header.
inline constexpr ConsoleText kNoImage = {
    "\x82\xb1\x82\xcc\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xc9\x82\xcd\x83\x66\x83\x42\x83\x58\x83"
    "\x4e\x83\x43\x83\x81\x81\x5b\x83\x57\x82\xaa\x82\xa0\x82\xe8\x82\xdc\x82\xb9\x82\xf1.\n",
    "このファイルにはディスクイメージがありません.\n", "d88unpack: no disk image in this file\n"};
// Bytes after the last image, too few for a header.
inline constexpr ConsoleText kTrailingBytes = {
    "\x8d\xc5\x8c\xe3\x82\xcc\x83\x43\x83\x81\x81\x5b\x83\x57\x82\xcc\x8c\xe3\x82\xcc%"
    "d\x83\x6f\x83\x43\x83\x67\x82\xcd\x83\x77\x83\x62\x83\x5f\x82\xc9\x91\xab\x82\xe8\x82\xdc\x82"
    "\xb9\x82\xf1\x82\xcc\x82\xc5\x93\xc7\x82\xdd\x82\xdc\x82\xb9\x82\xf1.\n",
    "最後のイメージの後の%dバイトはヘッダに足りませんので読みません.\n",
    "d88unpack: %d bytes after the last image are too few for an image header; not read\n"};
// Images past the last one kept; %d is how many are read.
inline constexpr ConsoleText kImagesBeyondLimit = {
    "\x83\x43\x83\x81\x81\x5b\x83\x57\x82\xcd%"
    "d\x8c\xc2\x82\xdc\x82\xc5\x82\xc5\x82\xb7\x82\xcc\x82\xc5, "
    "\x82\xbb\x82\xea\x82\xe6\x82\xe8\x8c\xe3\x82\xcd\x93\xc7\x82\xdd\x82\xdc\x82\xb9\x82\xf1.\n",
    "イメージは%d個までですので, それより後は読みません.\n",
    "d88unpack: images after the first %d are not read\n"};
// Image: its size runs past the end of the file.
inline constexpr ConsoleText kImageCutShort = {
    "\x83\x43\x83\x81\x81\x5b\x83\x57%03d: "
    "\x83\x54\x83\x43\x83\x59\x82\xcd%lld\x83\x6f\x83\x43\x83\x67\x82\xc5\x82\xb7\x82\xaa, "
    "\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xc9\x82\xcd%"
    "lld\x83\x6f\x83\x43\x83\x67\x82\xb5\x82\xa9\x82\xa0\x82\xe8\x82\xdc\x82\xb9\x82\xf1\x82\xcc"
    "\x82\xc5, \x82\xa0\x82\xe9\x82\xbe\x82\xaf\x93\xc7\x82\xdd\x82\xdc\x82\xb7.\n",
    "イメージ%03d: サイズは%lldバイトですが, ファイルには%lldバイトしかありませんので, "
    "あるだけ読みます.\n",
    "image %d: cut short: its size says %lld bytes, the file holds %lld; read as far as the file "
    "goes\n"};
// Image: its size is below its header's, and bytes follow it.
inline constexpr ConsoleText kImageSizeTooSmall = {
    "\x83\x43\x83\x81\x81\x5b\x83\x57%03d: "
    "\x83\x54\x83\x43\x83\x59%"
    "lld\x83\x6f\x83\x43\x83\x67\x82\xcd\x83\x77\x83\x62\x83\x5f\x82\xe6\x82\xe8\x8f\xac\x82\xb3"
    "\x82\xa2\x82\xcc\x82\xc5, "
    "\x8c\xe3\x82\xcc%lld\x83\x6f\x83\x43\x83\x67\x82\xcd\x93\xc7\x82\xdd\x82\xdc\x82\xb9\x82\xf1."
    "\n",
    "イメージ%03d: サイズ%lldバイトはヘッダより小さいので, 後の%lldバイトは読みません.\n",
    "image %d: its size of %lld bytes is less than its header; the %lld bytes after it are not "
    "read\n"};
// Image: neither directory nor cluster table on the directory track.
inline constexpr ConsoleText kNoLayout = {
    "\x83\x43\x83\x81\x81\x5b\x83\x57%03d: \x83\x67\x83\x89\x83\x62\x83\x4e"
    "37\x82\xc9\x83\x66\x83\x42\x83\x8c\x83\x4e\x83\x67\x83\x8a\x82\xe0\x83\x4e\x83\x89\x83\x58\x83"
    "\x5e\x83\x65\x81\x5b\x83\x75\x83\x8b\x82\xe0\x82\xa0\x82\xe8\x82\xdc\x82\xb9\x82\xf1. "
    "\x82\xb1\x82\xcc\x83\x8c\x83\x43\x83\x41\x83\x45\x83\x67\x82\xcc\x83\x66\x83\x42\x83\x58\x83"
    "\x4e\x82\xc5\x82\xcd\x82\xa0\x82\xe8\x82\xdc\x82\xb9\x82\xf1\x82\xa9?\n",
    "イメージ%03d: トラック37にディレクトリもクラスタテーブルもありません. "
    "このレイアウトのディスクではありませんか?\n",
    "image %d: no directory or cluster table on track 37 - not a disk of this layout?\n"};
// Image, file: an earlier file of this run had its name; it is replaced.
inline constexpr ConsoleText kNameReplaced = {
    "\x83\x43\x83\x81\x81\x5b\x83\x57%03d: %s: "
    "\x83\x43\x83\x81\x81\x5b\x83\x57%03d\x82\xcc%"
    "s\x82\xc6\x93\xaf\x82\xb6\x96\xbc\x91\x4f\x82\xc5\x82\xb7\x82\xcc\x82\xc5, "
    "\x92\x75\x82\xab\x8a\xb7\x82\xa6\x82\xdc\x82\xb7.\n",
    "イメージ%03d: %s: イメージ%03dの%sと同じ名前ですので, 置き換えます.\n",
    "image %d: %s: replaces image %d's %s, which had the same name\n"};
// Image, file: an earlier file of this run has its name; not written (-k).
inline constexpr ConsoleText kNameKept = {
    "\x83\x43\x83\x81\x81\x5b\x83\x57%03d: %s: "
    "\x83\x43\x83\x81\x81\x5b\x83\x57%03d\x82\xcc%"
    "s\x82\xc6\x93\xaf\x82\xb6\x96\xbc\x91\x4f\x82\xc5\x82\xb7\x82\xcc\x82\xc5, "
    "\x8f\x91\x82\xab\x8f\x6f\x82\xb5\x82\xdc\x82\xb9\x82\xf1.\n",
    "イメージ%03d: %s: イメージ%03dの%sと同じ名前ですので, 書き出しません.\n",
    "image %d: %s: not written: image %d's %s has the same name\n"};
// Image, file: a file of its name was there before the run; not written (-k).
inline constexpr ConsoleText kExistingKept = {
    "\x83\x43\x83\x81\x81\x5b\x83\x57%03d: %s: "
    "\x93\xaf\x82\xb6\x96\xbc\x91\x4f\x82\xcc\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xaa\x8a\xf9\x82"
    "\xc9\x82\xa0\x82\xe8\x82\xdc\x82\xb7\x82\xcc\x82\xc5, "
    "\x8f\x91\x82\xab\x8f\x6f\x82\xb5\x82\xdc\x82\xb9\x82\xf1.\n",
    "イメージ%03d: %s: 同じ名前のファイルが既にありますので, 書き出しません.\n",
    "image %d: %s: not written: a file of that name exists\n"};
// Image, file: its name was taken; written under another (-r).
inline constexpr ConsoleText kWrittenAs = {
    "\x83\x43\x83\x81\x81\x5b\x83\x57%03d: %s: "
    "\x96\xbc\x91\x4f\x82\xaa\x8a\xf9\x82\xc9\x82\xa0\x82\xe8\x82\xdc\x82\xb7\x82\xcc\x82\xc5, "
    "%s\x82\xc6\x82\xb5\x82\xc4\x8f\x91\x82\xab\x8f\x6f\x82\xb5\x82\xdc\x82\xb5\x82\xbd.\n",
    "イメージ%03d: %s: 名前が既にありますので, %sとして書き出しました.\n",
    "image %d: %s: name taken; written as %s\n"};
// Image, file: something that is not a regular file has its name.
inline constexpr ConsoleText kNotRegularFile = {
    "\x83\x43\x83\x81\x81\x5b\x83\x57%03d: %s: "
    "\x93\xaf\x82\xb6\x96\xbc\x91\x4f\x82\xc5\x92\xca\x8f\xed\x82\xcc\x83\x74\x83\x40\x83\x43\x83"
    "\x8b\x82\xc5\x82\xc8\x82\xa2\x82\xe0\x82\xcc\x82\xaa\x82\xa0\x82\xe8\x82\xdc\x82\xb7\x82\xcc"
    "\x82\xc5, \x8f\x91\x82\xab\x8f\x6f\x82\xb5\x82\xdc\x82\xb9\x82\xf1.\n",
    "イメージ%03d: %s: 同じ名前で通常のファイルでないものがありますので, 書き出しません.\n",
    "image %d: %s: not written: something that is not a regular file has that name\n"};
// Image, file: a create failed in a way every later file would meet too; stopping.
inline constexpr ConsoleText kHostFull = {
    "\x83\x43\x83\x81\x81\x5b\x83\x57%03d: %s: "
    "\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xf0\x8d\xec\x90\xac\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82"
    "\xf1. "
    "\x8c\xe3\x82\xcc\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xe0\x8d\xec\x90\xac\x82\xc5\x82\xab\x82"
    "\xdc\x82\xb9\x82\xf1\x82\xcc\x82\xc5\x92\x86\x92\x66\x82\xb5\x82\xdc\x82\xb7.\n",
    "イメージ%03d: %s: ファイルを作成できません. 後のファイルも作成できませんので中断します.\n",
    "image %d: %s: cannot create the file, nor any after it; stopping\n"};
// Image: its subdirectory cannot be made or entered, nor anything after it; stopping.
inline constexpr ConsoleText kHostFullSubdirectory = {
    "\x83\x43\x83\x81\x81\x5b\x83\x57%03d: "
    "\x83\x54\x83\x75\x83\x66\x83\x42\x83\x8c\x83\x4e\x83\x67\x83\x8a%"
    "s\x82\xf0\x8d\xec\x90\xac\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1. "
    "\x8c\xe3\x82\xcc\x82\xe0\x82\xcc\x82\xe0\x8d\xec\x90\xac\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82"
    "\xf1\x82\xcc\x82\xc5\x92\x86\x92\x66\x82\xb5\x82\xdc\x82\xb7.\n",
    "イメージ%03d: サブディレクトリ%sを作成できません. 後のものも作成できませんので中断します.\n",
    "image %d: cannot make subdirectory %s, nor anything after it; stopping\n"};

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
                                                          &kHostFullSubdirectory};

} // namespace d88
