// Host calls that are the same on every host, built on host_calls.h: the
// output file and the reading of locale names.
#include <cctype>
#include <cerrno>

#include "host.h"
#include "host_calls.h"

namespace d88::host {

namespace {

// True when `path` names the file `identity` stands for, under any name.
bool isFile(const char* path, const FileIdentity& identity)
{
    const FileIdentity other = identify(path);
    return identity.known && other.known && other.device == identity.device &&
           other.inode == identity.inode;
}

} // namespace

OutputFile::~OutputFile()
{
    if (handle_ >= 0) {
        calls::closeFile(handle_);
    }
}

bool OutputFile::create(const char* name, const FileIdentity& input)
{
    if (handle_ >= 0) {
        calls::closeFile(handle_);
    }
    // A file made new here cannot be the input.
    handle_ = calls::openFile(name, true);
    if (handle_ < 0 && errno == EEXIST && !isFile(name, input)) {
        handle_ = calls::openFile(name, false);
    }
    if (handle_ < 0) {
        failure_ = lastError();
        return false;
    }
    return true;
}

bool OutputFile::writeAndClose(const void* bytes, std::size_t length)
{
    if (handle_ < 0) {
        return false;
    }
    const char* next = static_cast<const char*>(bytes);
    bool written = true;
    // A write may take only part of the data (a file size limit, a signal);
    // the next one then takes the rest or says why it cannot.
    while (length > 0) {
        const long count = calls::writeSome(handle_, next, length);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            failure_ = lastError();
            written = false;
            break;
        }
        next += count;
        length -= static_cast<std::size_t>(count);
    }
    const bool closed = calls::closeFile(handle_);
    if (!closed && written) {
        failure_ = lastError();
    }
    handle_ = -1;
    return written && closed;
}

bool localeNamesUtf8(const char* locale)
{
    // Match "utf-8" or "utf8" in any case, anywhere in the name.
    for (const char* p = locale; *p != '\0'; ++p) {
        if (std::tolower(static_cast<unsigned char>(p[0])) != 'u' ||
            std::tolower(static_cast<unsigned char>(p[1])) != 't' ||
            std::tolower(static_cast<unsigned char>(p[2])) != 'f') {
            continue;
        }
        const char* digit = p[3] == '-' ? p + 4 : p + 3;
        if (digit[0] == '8') {
            return true;
        }
    }
    return false;
}

Language languageOfLocale(const char* locale)
{
    // A LANGUAGE list names its first choice first.
    auto ends = [](char c) { return c == '\0' || c == ':' || c == '_' || c == '.' || c == '@'; };
    const auto is = [&](const char* name) {
        std::size_t i = 0;
        for (; name[i] != '\0'; ++i) {
            if (locale[i] != name[i]) {
                return false;
            }
        }
        return ends(locale[i]);
    };
    return is("ja") || is("C") || is("POSIX") ? Language::Japanese : Language::English;
}

} // namespace d88::host
