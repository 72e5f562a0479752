// The words a sector problem's text is filled with: the names of the error
// statuses, and the places that stand where a file name would.
#pragma once

#include "console_text_type.h"

namespace d88 {

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
// The directory, named where a file name stands.
inline constexpr ConsoleText kDirectoryPlace = {"\x83\x66\x83\x42\x83\x8c\x83\x4e\x83\x67\x83\x8a",
                                                "ディレクトリ", "directory"};
// The cluster table, named where a file name stands.
inline constexpr ConsoleText kTablePlace = {
    "\x83\x4e\x83\x89\x83\x58\x83\x5e\x83\x65\x81\x5b\x83\x75\x83\x8b", "クラスタテーブル",
    "cluster table"};

} // namespace d88
