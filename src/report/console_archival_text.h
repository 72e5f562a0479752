// The console texts of the archival view: sector status, chain consistency,
// the check and the JSON listing.
#pragma once

#include "console_text_type.h"

namespace d88 {

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
    "一覧をJSON Linesで標準出力に書く\n", "a JSON Lines listing with each file's hashes\n"};
// -c found nothing; %d and %d are the images and files it read.
inline constexpr ConsoleText kCheckClean = {
    "%d\x8c\xc2\x82\xcc\x83\x43\x83\x81\x81\x5b\x83\x57, "
    "%d\x8c\xc2\x82\xcc\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xf0\x92\xb2\x82\xd7\x82\xdc\x82\xb5\x82"
    "\xbd: \x89\xbd\x82\xe0\x8c\xa9\x82\xc2\x82\xa9\x82\xe8\x82\xdc\x82\xb9\x82\xf1.\n",
    "%d個のイメージ, %d個のファイルを調べました: 何も見つかりません.\n",
    "checked %d images, %d files: nothing found\n"};
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

} // namespace d88
