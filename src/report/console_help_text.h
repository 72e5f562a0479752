// The console texts of the help: its frame and the line of each option.
#pragma once

#include "console_text_type.h"

namespace d88 {

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
    "1\x83\x6f\x83\x43\x83\x67,\n  [!...] \x8f\x57\x8d\x87\x82\xc9\x82\xc8\x82\xa2"
    "1\x83\x6f\x83\x43\x83\x67 (-u\x82\xc5\x82\xcd "
    "\x83\x6f\x83\x43\x83\x67\x82\xc5\x82\xc8\x82\xad\x95\xb6\x8e\x9a)\n",
    "\nPATTERN: * 任意のバイト列, ? 任意の1バイト, [...] 集合の1バイト,\n"
    "  [!...] 集合にない1バイト (-uでは バイトでなく文字)\n",
    "\nPATTERN: * any run of bytes, ? any one byte, [...] one byte of a set,\n"
    "  [!...] one byte not in it; with -u, characters instead of bytes\n"};
// The exit statuses, last in the help.
inline constexpr ConsoleText kHelpExitStatus = {
    "\x8f\x49\x97\xb9\x83\x58\x83\x65\x81\x5b\x83\x5e\x83\x58: 0 "
    "\x82\xb7\x82\xd7\x82\xc4\x8f\x91\x82\xab\x8f\x6f\x82\xb5\x82\xbd\n"
    "                1 \x92\x86\x92\x66\x82\xb5\x82\xbd("
    "\x8e\x67\x82\xa2\x95\xfb\x81\x45\x83\x49\x81\x5b\x83\x76\x83\x93\x81\x45\x8f\x91\x82\xab\x8d"
    "\x9e\x82\xdd\x82\xcc\x8c\xeb\x82\xe8)\n"
    "                2 "
    "\x89\xf3\x82\xea\x82\xc4\x82\xa2\x82\xbd\x82\xa9\x8f\x91\x82\xab\x8f\x6f\x82\xb9\x82\xc8\x82"
    "\xa9\x82\xc1\x82\xbd\x82\xe0\x82\xcc\x82\xaa\x82\xa0\x82\xe9\n",
    "終了ステータス: 0 すべて書き出した\n"
    "                1 中断した(使い方・オープン・書き込みの誤り)\n"
    "                2 壊れていたか書き出せなかったものがある\n",
    "Exit status: 0  all written\n"
    "             1  stopped (usage, open or write failure)\n"
    "             2  something damaged or left out\n"};
// -d, --flat
inline constexpr ConsoleText kOptionFlat = {
    "\x83\x54\x83\x75\x83\x66\x83\x42\x83\x8c\x83\x4e\x83\x67\x83\x8a\x82\xf0\x8d\xec\x90\xac\x82"
    "\xb5\x82\xc8\x82\xa2\n",
    "サブディレクトリを作成しない\n", "no subdirectories: every file in the output directory\n"};
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
    "only the chosen files' bytes, on the standard output\n"};
// -u, --unicode-names
inline constexpr ConsoleText kOptionUnicodeNames = {
    "\x83\x66\x83\x42\x83\x58\x83\x4e\x8f\xe3\x82\xcc\x96\xbc\x91\x4f\x82\xf0\x93\xc7\x82\xdf\x82"
    "\xe9\x95\xb6\x8e\x9a(UTF-8)"
    "\x82\xc5\x8f\x91\x82\xab\x8f\x6f\x82\xb5\x95\x5c\x8e\xa6\x82\xb7\x82\xe9\n",
    "ディスク上の名前を読める文字(UTF-8)で書き出し表示する\n",
    "write and list names as they read on the disk (UTF-8)\n"};
// -h, --help
inline constexpr ConsoleText kOptionHelp = {
    "\x82\xb1\x82\xcc\x90\xe0\x96\xbe\x82\xf0\x95\x5c\x8e\xa6\x82\xb7\x82\xe9\n",
    "この説明を表示する\n", "show this help\n"};
// --version
inline constexpr ConsoleText kOptionVersion = {
    "\x83\x6f\x81\x5b\x83\x57\x83\x87\x83\x93\x82\xf0\x95\x5c\x8e\xa6\x82\xb7\x82\xe9\n",
    "バージョンを表示する\n", "show the version\n"};
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
    "一覧をJSON Linesで標準出力に書く\n", "a JSON Lines listing with each file's hashes\n"};
// -k, --keep-existing: never replace an existing file.
inline constexpr ConsoleText kOptionKeepExisting = {
    "\x8a\xf9\x82\xc9\x82\xa0\x82\xe9\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xf0\x92\x75\x82\xab\x8a"
    "\xb7\x82\xa6\x82\xc8\x82\xa2\n",
    "既にあるファイルを置き換えない\n", "never replace an existing file; skip the later one\n"};
// -r, --rename: write a file whose name is taken as NAME~1, NAME~2, ...
inline constexpr ConsoleText kOptionRename = {
    "\x96\xbc\x91\x4f\x82\xaa\x8a\xf9\x82\xc9\x82\xa0\x82\xea\x82\xceNAME~"
    "1\x82\xc8\x82\xc7\x82\xcc\x96\xbc\x91\x4f\x82\xc5\x8f\x91\x82\xab\x8f\x6f\x82\xb7\n",
    "名前が既にあればNAME~1などの名前で書き出す\n",
    "write a file whose name is taken as NAME~1, NAME~2, ...\n"};

// After a usage error, where to read more; %s is the program path.
inline constexpr ConsoleText kTryHelp = {
    "\x8f\xda\x82\xb5\x82\xad\x82\xcd'%s --help'"
    "\x82\xf0\x8e\xc0\x8d\x73\x82\xb5\x82\xc4\x82\xad\x82\xbe\x82\xb3\x82\xa2.\n",
    "詳しくは'%s --help'を実行してください.\n", "Try '%s --help' for more information.\n"};

} // namespace d88
