// The console texts of runs over several D88 files: the folders, the
// files that are not D88 files, what a selection found, the workers and the
// summary.
#pragma once

#include "console_text_type.h"

namespace d88 {

// -f, --folders
inline constexpr ConsoleText kOptionFolders = {
    "D88\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xb2\x82\xc6\x82\xcc\x83\x74\x83\x48\x83\x8b\x83\x5f"
    "\x82\xc9\x8f\x91\x82\xab\x8f\x6f\x82\xb7(1\x8c\xc2\x82\xc5\x82\xe0)\n",
    "D88ファイルごとのフォルダに書き出す(1個でも)\n",
    "each D88 file into a folder of its own, also when only one is given\n"};

// -q, --quiet
inline constexpr ConsoleText kOptionQuiet = {
    "\x88\xea\x97\x97\x82\xf0\x95\x5c\x8e\xa6\x82\xb9\x82\xb8, "
    "\x96\xe2\x91\xe8\x82\xc6\x8f\x57\x8c\x76\x82\xbe\x82\xaf\x82\xf0\x95\x5c\x8e\xa6\x82\xb7\x82"
    "\xe9\n",
    "一覧を表示せず, 問題と集計だけを表示する\n",
    "no listing: only the problems and the summary\n"};

// -J, --jobs=N
inline constexpr ConsoleText kOptionJobs = {
    "D88\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xf0N\x8c\xc2\x82\xdc\x82\xc5\x93\xaf\x8e\x9e\x82\xc9"
    "\x8f\x91\x82\xab\x8f\x6f\x82\xb7("
    "2\x8c\xc2\x88\xc8\x8f\xe3\x82\xc5\x82\xcd\x8a\xf9\x92\xe8\x82\xc5\x8e\x67\x82\xa6\x82\xe9\x83"
    "\x76\x83\x8d\x83\x5a\x83\x62\x83\x54\x82\xcc\x90\x94)\n",
    "D88ファイルをN個まで同時に書き出す(2個以上では既定で使えるプロセッサの数)\n",
    "extract up to N D88 files at once (default with two or more, the online processors)\n"};

// A file that is not a D88 file; %s is its path.
inline constexpr ConsoleText kNotD88File = {"%s: "
                                            "D88\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xc5\x82\xcd"
                                            "\x82\xa0\x82\xe8\x82\xdc\x82\xb9\x82\xf1.\n",
                                            "%s: D88ファイルではありません.\n",
                                            "%s: not a D88 file\n"};

// A D88 file's folder was taken by an earlier one of the run: path, folder, the one used.
inline constexpr ConsoleText kFolderTaken = {
    "%s: "
    "\x83\x74\x83\x48\x83\x8b\x83\x5f%"
    "s\x82\xcd\x82\xb1\x82\xcc\x8e\xc0\x8d\x73\x82\xcc\x91\x4f\x82\xcc"
    "D88\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xaa\x8e\x67\x82\xc1\x82\xc4\x82\xa2\x82\xdc\x82\xb7"
    "\x82\xcc\x82\xc5, %s\x82\xc9\x93\xfc\x82\xea\x82\xdc\x82\xb7.\n",
    "%s: フォルダ%sはこの実行の前のD88ファイルが使っていますので, %sに入れます.\n",
    "%s: folder %s is taken by an earlier D88 file of this run; its files go into %s\n"};

// The D88 file's folder can be neither made nor entered.
inline constexpr ConsoleText kCannotEnterFolder = {
    "\x83\x74\x83\x48\x83\x8b\x83\x5f%"
    "s\x82\xc9\x88\xda\x93\xae\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1\x82\xcc\x82\xc5, "
    "\x82\xb1\x82\xcc"
    "D88\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xcd\x8f\x91\x82\xab\x8f\x6f\x82\xb5\x82\xdc\x82\xb9"
    "\x82\xf1.\n",
    "フォルダ%sに移動できませんので, このD88ファイルは書き出しません.\n",
    "d88unpack: cannot enter folder %s; nothing of this D88 file is written\n"};

// A -n pattern that matched no file of any chosen image.
inline constexpr ConsoleText kNothingMatched = {
    "-n %s: "
    "\x8d\x87\x82\xa4\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xaa\x82\xa0\x82\xe8\x82\xdc\x82\xb9\x82"
    "\xf1\x82\xc5\x82\xb5\x82\xbd.\n",
    "-n %s: 合うファイルがありませんでした.\n", "-n %s: no file matched\n"};

// A -i index that named no image of any D88 file.
inline constexpr ConsoleText kNoSuchImage = {
    "-i %d: "
    "\x82\xb1\x82\xcc\x94\xd4\x8d\x86\x82\xcc\x83\x43\x83\x81\x81\x5b\x83\x57\x82\xcd\x82\xa0\x82"
    "\xe8\x82\xdc\x82\xb9\x82\xf1\x82\xc5\x82\xb5\x82\xbd.\n",
    "-i %d: この番号のイメージはありませんでした.\n",
    "-i %d: no D88 file has an image of this index\n"};

// -J with a value that is not a number of jobs; %d is the most.
inline constexpr ConsoleText kBadJobs = {
    "-J %s: \x83\x57\x83\x87\x83\x75\x90\x94\x82\xcd"
    "1\x82\xa9\x82\xe7%d\x82\xcc\x90\x94\x8e\x9a\x82\xc5\x82\xb7.\n",
    "-J %s: ジョブ数は1から%dの数字です.\n", "-J %s: a number of jobs is from 1 to %d\n"};

// More D88 files than one run keeps; %d is how many it keeps.
inline constexpr ConsoleText kTooManyFiles = {
    "D88\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xcd"
    "1\x89\xf1\x82\xc9%d\x8c\xc2\x82\xdc\x82\xc5\x82\xc5\x82\xb7.\n",
    "D88ファイルは1回に%d個までです.\n", "d88unpack: at most %d D88 files in one run\n"};

// A worker process ended before it finished its D88 file.
inline constexpr ConsoleText kWorkerLost = {
    "\x82\xb1\x82\xcc"
    "D88\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xcc\x8d\xec\x8b\xc6\x83\x76\x83\x8d\x83\x5a\x83\x58"
    "\x82\xaa\x93\x72\x92\x86\x82\xc5\x8f\x49\x82\xed\x82\xe8\x82\xdc\x82\xb5\x82\xbd.\n",
    "このD88ファイルの作業プロセスが途中で終わりました.\n",
    "d88unpack: the process working on this D88 file ended before it was done\n"};

// The line that begins a D88 file's listing: its path and folder.
inline constexpr ConsoleText kFileLine = {"\nD88\x83\x74\x83\x40\x83\x43\x83\x8b: %s -> %s\n",
                                          "\nD88ファイル: %s -> %s\n", "\nD88 file: %s -> %s\n"};

// The summary of a run over several D88 files; the last %s lists the problems by kind.
inline constexpr ConsoleText kRunSummary = {
    "D88\x83\x74\x83\x40\x83\x43\x83\x8b%d\x8c\xc2: "
    "\x8a\xae\x91\x53\x82\xc9\x93\xc7\x82\xdf\x82\xbd\x82\xe0\x82\xcc%d, "
    "\x96\xe2\x91\xe8\x82\xaa\x82\xa0\x82\xc1\x82\xbd\x82\xe0\x82\xcc%d, "
    "\x93\xc7\x82\xdf\x82\xc8\x82\xa9\x82\xc1\x82\xbd\x82\xe0\x82\xcc%d; "
    "\x8f\x91\x82\xab\x8f\x6f\x82\xb5\x82\xbd\x83\x74\x83\x40\x83\x43\x83\x8b%lld\x8c\xc2, "
    "%lld\x83\x6f\x83\x43\x83\x67; \x96\xe2\x91\xe8%d\x8c\x8f%s\n",
    "D88ファイル%d個: 完全に読めたもの%d, 問題があったもの%d, 読めなかったもの%d; "
    "書き出したファイル%lld個, %lldバイト; 問題%d件%s\n",
    "d88unpack: %d D88 files: %d read whole, %d with problems, %d not read; %lld files written, "
    "%lld bytes; %d problems%s\n"};

} // namespace d88
