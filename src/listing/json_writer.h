// The text of one JSON record, built in fixed storage and written whole to
// the standard output: numbers, lowercase hexadecimal, escaped strings.
#pragma once

#include <cstdint>

namespace d88 {

// Room for one record: its problems and, for the largest, a file's fields
// (a chain of 162 clusters, 64 sector notes, a name escaped, a path: under
// 5 KiB) with room to spare.
constexpr int kJsonRecordBytes = 32 * 1024;

class JsonWriter {
public:
    void put(const char* text);
    void put(const char* text, int length);
    void putNumber(std::uint64_t value);
    void putSigned(std::int64_t value);
    void putHex(const std::uint8_t* bytes, int count);
    // `bytes` as a hexadecimal JSON string; null for no bytes (a digest that
    // could not be made).
    void putHexString(const std::uint8_t* bytes, int count);
    // A JSON string of `bytes` decoded as Shift_JIS (or cleaned as UTF-8).
    void putString(const std::uint8_t* bytes, int length, bool shiftJis);
    // A terminated string of the host's (a path), kept where it is UTF-8.
    void putText(const char* text, bool shiftJis = false);
    void putName(const char* name);
    void putKey(const char* key);
    // Writes the record with its line end and starts the next; a record
    // past its room keeps only its type and says it was truncated.
    void write();

    // The record so far, and whether something did not fit in it.
    const char* text() const { return text_; }
    int length() const { return length_; }
    bool cut() const { return cut_; }
    // Drops what was put after the record's first `length` bytes.
    void truncate(int length)
    {
        length_ = length;
        cut_ = false;
    }

private:
    char text_[kJsonRecordBytes] = {};
    int length_ = 0;
    bool cut_ = false;
};

} // namespace d88
