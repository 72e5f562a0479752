// The directory tree the files are written into, and the way back out of it.
#include "output_sink.h"

namespace d88 {

bool OutputSink::open(const char* outputDirectory, Reporter& report)
{
    if (!writes()) {
        return true;
    }
    // With "-o", DIR stands in for the starting directory until the end of
    // the run, and the run then goes back to where it really started.
    if (outputDirectory != nullptr) {
        if (!home_.remember()) {
            report(problem::kCannotKeepStartForOutput);
            return false;
        }
        homeUsed_ = true;
        // An existing directory is used as it is.
        host::makeDirectory(outputDirectory);
        if (!host::enterDirectory(outputDirectory)) {
            report(problem::kCannotEnterOutput, Text{outputDirectory});
            return false;
        }
    }
    return true;
}

void OutputSink::holdOutputDirectory(Reporter& report)
{
    if (writes() && subdirectories_ && !start_.remember()) {
        report(problem::kCannotKeepStart);
    }
}

bool OutputSink::close(Reporter& report)
{
    if (homeUsed_ && !home_.returnTo()) {
        report(problem::kCannotReturn);
        return false;
    }
    return true;
}

bool OutputSink::enterImage(const char* subdirectory)
{
    entered_ = false;
    if (!writes() || !subdirectories_) {
        return true;
    }
    // An existing directory of that name is reused.
    host::makeDirectory(subdirectory);
    // Entering is only safe when the way back is known.
    entered_ = start_.remembered() && host::enterDirectory(subdirectory);
    return entered_;
}

bool OutputSink::leaveImage()
{
    const bool back = !entered_ || start_.returnTo();
    entered_ = false;
    return back;
}

bool OutputSink::create(const char* hostName)
{
    // A stored name that leads to the D88 file itself would truncate it
    // while it is being read: such a file cannot be created.
    return writes() && file_.create(hostName, input_);
}

bool OutputSink::writeAndClose(const std::uint8_t* bytes, std::size_t length)
{
    return file_.writeAndClose(bytes, length);
}

bool OutputSink::setTime(const char* hostName, const EntryTime& time)
{
    return host::setModificationTime(hostName, time.year, time.month, time.day, time.hour,
                                     time.minute);
}

} // namespace d88
