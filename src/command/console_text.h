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
// -l: list only, create nothing.
inline constexpr ConsoleText kUsageListOnly = {
    "       -l  : "
    "\x88\xea\x97\x97\x82\xf0\x95\x5c\x8e\xa6\x82\xb7\x82\xe9\x82\xbe\x82\xaf\x82\xc5\x89\xbd\x82"
    "\xe0\x8d\xec\x90\xac\x82\xb5\x82\xc8\x82\xa2\n",
    "       -l  : 一覧を表示するだけで何も作成しない\n",
    "       -l  : list only; create nothing\n"};
// -o DIR: write into DIR.
inline constexpr ConsoleText kUsageOutputDirectory = {
    "       -o DIR  : DIR\x82\xcc\x92\x86\x82\xc9\x8f\x91\x82\xab\x8f\x6f\x82\xb7\n",
    "       -o DIR  : DIRの中に書き出す\n", "       -o DIR  : write into DIR\n"};
// -t: give files the directory entry's date and time.
inline constexpr ConsoleText kUsageKeepTimes = {
    "       -t  : "
    "\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xcc\x8d\x58\x90\x56\x93\xfa\x8e\x9e\x82\xf0\x83\x66\x83"
    "\x42\x83\x8c\x83\x4e\x83\x67\x83\x8a\x82\xcc\x93\xfa\x8e\x9e\x82\xc9\x82\xb7\x82\xe9\n",
    "       -t  : ファイルの更新日時をディレクトリの日時にする\n",
    "       -t  : give files the date and time of their directory entry\n"};
// -n PATTERN: only files whose name matches PATTERN (may be repeated).
inline constexpr ConsoleText kUsageNamePattern = {
    "       -n PATTERN  : "
    "\x96\xbc\x91\x4f\x82\xaaPATTERN\x82\xc9\x8d\x87\x82\xa4\x83\x74\x83\x40\x83\x43\x83\x8b\x82"
    "\xbe\x82\xaf(\x95\xa1\x90\x94\x89\xc2)\n",
    "       -n PATTERN  : 名前がPATTERNに合うファイルだけ(複数可)\n",
    "       -n PATTERN  : only files whose name matches PATTERN (repeatable)\n"};
// -i N: only image N (may be repeated).
inline constexpr ConsoleText kUsageImageIndex = {
    "       -i N  : "
    "N\x94\xd4\x82\xcc\x83\x43\x83\x81\x81\x5b\x83\x57\x82\xbe\x82\xaf(\x95\xa1\x90\x94\x89\xc2)\n",
    "       -i N  : N番のイメージだけ(複数可)\n", "       -i N  : only image N (repeatable)\n"};
// -h, --help: show this text.
inline constexpr ConsoleText kUsageHelp = {
    "       -h, --help  : "
    "\x82\xb1\x82\xcc\x90\xe0\x96\xbe\x82\xf0\x95\x5c\x8e\xa6\x82\xb7\x82\xe9\n",
    "       -h, --help  : この説明を表示する\n", "       -h, --help  : show this text\n"};
// --version: show the version.
inline constexpr ConsoleText kUsageVersion = {
    "       --version  : "
    "\x83\x6f\x81\x5b\x83\x57\x83\x87\x83\x93\x82\xf0\x95\x5c\x8e\xa6\x82\xb7\x82\xe9\n",
    "       --version  : バージョンを表示する\n", "       --version  : show the version\n"};
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

// ---- Losses, name collisions and safe writes ----
// -k, --keep-existing: never replace an existing file.
inline constexpr ConsoleText kUsageKeepExisting = {
    "       -k  : "
    "\x8a\xf9\x82\xc9\x82\xa0\x82\xe9\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xf0\x92\x75\x82\xab\x8a"
    "\xb7\x82\xa6\x82\xc8\x82\xa2\n",
    "       -k  : 既にあるファイルを置き換えない\n",
    "       -k  : never replace an existing file\n"};
// -r, --rename: write a file whose name is taken as NAME~1, NAME~2, ...
inline constexpr ConsoleText kUsageRename = {
    "       -r  : "
    "\x96\xbc\x91\x4f\x82\xaa\x8a\xf9\x82\xc9\x82\xa0\x82\xea\x82\xceNAME~"
    "1\x82\xc8\x82\xc7\x82\xcc\x96\xbc\x91\x4f\x82\xc5\x8f\x91\x82\xab\x8f\x6f\x82\xb7\n",
    "       -r  : 名前が既にあればNAME~1などの名前で書き出す\n",
    "       -r  : write a file whose name is taken as NAME~1, NAME~2, ...\n"};
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
// Image, file: cannot write the file, which is removed; stopping.
inline constexpr ConsoleText kFileWriteFailed = {
    "\x83\x43\x83\x81\x81\x5b\x83\x57%03d: %s: "
    "\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xc9\x8f\x91\x82\xab\x8d\x9e\x82\xdf\x82\xdc\x82\xb9\x82"
    "\xf1\x82\xcc\x82\xc5\x92\x86\x92\x66\x82\xb5\x82\xdc\x82\xb7.\n",
    "イメージ%03d: %s: ファイルに書き込めませんので中断します.\n",
    "image %d: %s: cannot write the file; stopping\n"};
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
                                                          &kUsageListOnly,
                                                          &kUsageOutputDirectory,
                                                          &kUsageKeepTimes,
                                                          &kUsageNamePattern,
                                                          &kUsageImageIndex,
                                                          &kUsageHelp,
                                                          &kUsageVersion,
                                                          &kVersionLine,
                                                          &kOptionNeedsValue,
                                                          &kBadImageIndex,
                                                          &kTooManyPatterns,
                                                          &kCannotEnterOutput,
                                                          &kCannotSetTime,
                                                          &kUsageKeepExisting,
                                                          &kUsageRename,
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
                                                          &kFileWriteFailed,
                                                          &kHostFull,
                                                          &kHostFullSubdirectory};

} // namespace d88
