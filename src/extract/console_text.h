// Every text the command writes to the console.
//
// Each text is kept twice: as the Shift_JIS bytes (code page 932) that are
// written by default, and as UTF-8 for a console whose locale asks for it.
// The Shift_JIS side is written with escapes so that no editor or compiler
// setting can change its bytes; the UTF-8 side is the readable one.
#pragma once

namespace d88 {

struct ConsoleText {
    const char *shiftJis;
    const char *utf8;
};

enum class ConsoleEncoding { ShiftJis, Utf8 };

inline const char *textFor(const ConsoleText &text, ConsoleEncoding encoding)
{
    return encoding == ConsoleEncoding::Utf8 ? text.utf8 : text.shiftJis;
}

// Usage line; %s is the program path.
inline constexpr ConsoleText kUsageLine = {"Usage: %s [d88file] [-d] [-b]\n",
                                           "Usage: %s [d88file] [-d] [-b]\n"};
// -d: do not create subdirectories.
inline constexpr ConsoleText kUsageNoSubdirectories = {
    "       -d  : \x83T\x83u\x83"
    "f\x83"
    "B\x83\x8c\x83N\x83g\x83\x8a\x82\xf0\x8d\xec\x90\xac\x82\xb5\x82\xc8\x82\xa2\n",
    "       -d  : サブディレクトリを作成しない\n"};
// -b: cut off the 6-byte header.
inline constexpr ConsoleText kUsageCutHeader = {
    "       -b  : 6byte\x82\xcc\x83w\x83"
    "b\x83_\x82\xf0\x90\xd8\x82\xe8\x97\x8e\x82\xc6\x82\xb7\n",
    "       -b  : 6byteのヘッダを切り落とす\n"};
// The D88 file cannot be opened.
inline constexpr ConsoleText kCannotOpen = {
    "\x83t\x83@\x83"
    "C\x83\x8b\x82\xf0\x83I\x81[\x83v\x83\x93\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1.\n",
    "ファイルをオープンできません.\n"};
// Cutting off the 6-byte header.
inline constexpr ConsoleText kCuttingHeader = {
    "6byte\x82\xcc\x83w\x83"
    "b\x83_\x82\xf0\x90\xd8\x82\xe8\x97\x8e\x82\xc6\x82\xb5\x82\xdc\x82\xb7.\n",
    "6byteのヘッダを切り落とします.\n"};
// Image name -> subdirectory.
inline constexpr ConsoleText kImageLine = {"\n[%s] -> %s\n", "\n[%s] -> %s\n"};
// Column header.
inline constexpr ConsoleText kColumnHeader = {"\nfilename  addr size exec date     time\n",
                                              "\nfilename  addr size exec date     time\n"};
// One line per file.
inline constexpr ConsoleText kListingLine = {"%-9s %04x %04x %04x %02d/%02d/%02d %02d:%02d\n",
                                             "%-9s %04x %04x %04x %02d/%02d/%02d %02d:%02d\n"};
// Cannot write the file, stopping.
inline constexpr ConsoleText kWriteFailed = {"\x83t\x83@\x83"
                                             "C\x83\x8b\x82\xc9\x8f\x91\x82\xab\x8d\x9e\x82\xdf\x82"
                                             "\xdc\x82\xb9\x82\xf1\x82\xcc\x82\xc5\x92\x86\x92"
                                             "f\x82\xb5\x82\xdc\x82\xb7.\n",
                                             "ファイルに書き込めませんので中断します.\n"};
// Image, file: cannot create the file.
inline constexpr ConsoleText kCannotCreateFile = {
    "\x83"
    "C\x83\x81\x81[\x83W%03d: %s: \x83t\x83@\x83"
    "C\x83\x8b\x82\xf0\x8d\xec\x90\xac\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1.\n",
    "イメージ%03d: %s: ファイルを作成できません.\n"};
// Image: cannot enter subdirectory, so nothing is written.
inline constexpr ConsoleText kCannotEnterSubdirectory = {
    "\x83"
    "C\x83\x81\x81[\x83W%03d: \x83T\x83u\x83"
    "f\x83"
    "B\x83\x8c\x83N\x83g\x83\x8a%"
    "s\x82\xc9\x88\xda\x93\xae\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1\x82\xcc\x82\xc5\x8f\x91\x82"
    "\xab\x8fo\x82\xb5\x82\xdc\x82\xb9\x82\xf1.\n",
    "イメージ%03d: サブディレクトリ%sに移動できませんので書き出しません.\n"};
// Cannot return to the starting directory, stopping.
inline constexpr ConsoleText kCannotReturn = {"\x8aJ\x8en\x83"
                                              "f\x83"
                                              "B\x83\x8c\x83N\x83g\x83\x8a\x82\xc9\x96\xdf\x82\xea"
                                              "\x82\xdc\x82\xb9\x82\xf1\x82\xcc\x82\xc5\x92\x86\x92"
                                              "f\x82\xb5\x82\xdc\x82\xb7.\n",
                                              "開始ディレクトリに戻れませんので中断します.\n"};
// Image: its header cannot be read.
inline constexpr ConsoleText kImageUnreadable = {
    "\x83"
    "C\x83\x81\x81[\x83W%03d: \x83w\x83"
    "b\x83_\x82\xaa\x93\xc7\x82\xdf\x82\xdc\x82\xb9\x82\xf1.\n",
    "イメージ%03d: ヘッダが読めません.\n"};
// Image: N directory sectors cannot be read.
inline constexpr ConsoleText kDirectoryDamaged = {
    "\x83"
    "C\x83\x81\x81[\x83W%03d: \x83"
    "f\x83"
    "B\x83\x8c\x83N\x83g\x83\x8a\x82\xcc\x83Z\x83N\x83^\x82\xaa%"
    "d\x8c\xc2\x93\xc7\x82\xdf\x82\xdc\x82\xb9\x82\xf1.\n",
    "イメージ%03d: ディレクトリのセクタが%d個読めません.\n"};
// Image: the cluster table cannot be read, so nothing is written.
inline constexpr ConsoleText kTableUnreadable = {
    "\x83"
    "C\x83\x81\x81[\x83W%03d: \x83N\x83\x89\x83X\x83^\x83"
    "e\x81["
    "\x83u\x83\x8b\x82\xaa\x93\xc7\x82\xdf\x82\xdc\x82\xb9\x82\xf1\x82\xcc\x82\xc5\x8f\x91\x82\xab"
    "\x8fo\x82\xb5\x82\xdc\x82\xb9\x82\xf1.\n",
    "イメージ%03d: クラスタテーブルが読めませんので書き出しません.\n"};
// Image, file: N sectors cannot be read.
inline constexpr ConsoleText kFileSectorsLost = {
    "\x83"
    "C\x83\x81\x81[\x83W%03d: %s: "
    "\x83Z\x83N\x83^\x82\xaa%d\x8c\xc2\x93\xc7\x82\xdf\x82\xdc\x82\xb9\x82\xf1.\n",
    "イメージ%03d: %s: セクタが%d個読めません.\n"};
// Image, file: the cluster chain is too long, cut short.
inline constexpr ConsoleText kChainCut = {
    "\x83"
    "C\x83\x81\x81[\x83W%03d: %s: \x83N\x83\x89\x83X\x83^\x83`\x83"
    "F\x81["
    "\x83\x93\x82\xaa\x92\xb7\x82\xb7\x82\xac\x82\xdc\x82\xb7\x82\xcc\x82\xc5\x90\xd8\x82\xe8\x8bl"
    "\x82\xdf\x82\xdc\x82\xb7.\n",
    "イメージ%03d: %s: クラスタチェーンが長すぎますので切り詰めます.\n"};
// Image, file: the data is shorter than the header's size.
inline constexpr ConsoleText kFileShort = {
    "\x83"
    "C\x83\x81\x81[\x83W%03d: %s: \x83"
    "f\x81[\x83^\x82\xaa\x83w\x83"
    "b\x83_\x82\xcc\x83T\x83"
    "C\x83Y\x82\xe6\x82\xe8\x92Z\x82\xa2\x82\xc5\x82\xb7.\n",
    "イメージ%03d: %s: データがヘッダのサイズより短いです.\n"};

// Every text above, so that each pair can be checked against the other.
inline constexpr const ConsoleText *kAllConsoleTexts[] = {&kUsageLine,
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
                                                          &kFileShort};

} // namespace d88
