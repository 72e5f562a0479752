// Where a file of the run goes: creating it under its host name, or under
// another with "-r", and reporting a name clash or a create that fails.
#include "placement.h"

#include <cstdio>
#include <cstring>

namespace d88 {

namespace {

// The outcome of one create that made nothing, reported; `stop` when the
// run cannot go on.
bool reportNotCreated(Run& run, host::CreateOutcome outcome, const ImageIndex& image,
                      const FileName& name, const char* hostName)
{
    switch (outcome) {
    case host::CreateOutcome::Created:
        return false;
    case host::CreateOutcome::Exists:
        run.report(problem::kExistingKept, image, name);
        return false;
    case host::CreateOutcome::NotRegular:
        run.report(problem::kNotRegularFile, image, name);
        return false;
    case host::CreateOutcome::IsInput:
    case host::CreateOutcome::Failed:
        break;
    }
    const SystemReason reason = run.sink.reason(hostName);
    if (outcome == host::CreateOutcome::Failed && host::failsEveryFile(reason.code)) {
        run.report(reason, problem::kHostFull, image, name);
        return true;
    }
    run.report(reason, problem::kCannotCreateFile, image, name);
    return false;
}

} // namespace

Placed place(Run& run, int imageIndex, const DirectoryEntry& entry, const char* hostName)
{
    const ImageIndex image{imageIndex};
    const FileName name{entry.name};
    NameRegistry& names = run.workspace.names;
    Placed placed{false, false, {}};
    std::snprintf(placed.name, sizeof placed.name, "%s", hostName);
    // The standard output takes every file; no name is ever taken there.
    if (run.sink.toStdout()) {
        placed.created = true;
        return placed;
    }
    const NameOwner* owner = names.find(hostName);
    host::CreateOutcome outcome = host::CreateOutcome::Failed;
    switch (run.options.nameClash) {
    case NameClash::Replace:
        if (owner != nullptr) {
            run.report(problem::kNameReplaced, image, name, ImageIndex{owner->image},
                       FileName{owner->stored});
        }
        outcome = run.sink.create(hostName, host::ExistingFile::Replace);
        break;
    case NameClash::Keep:
        if (owner != nullptr) {
            run.report(problem::kNameKept, image, name, ImageIndex{owner->image},
                       FileName{owner->stored});
            return placed;
        }
        outcome = run.sink.create(hostName, host::ExistingFile::Keep);
        break;
    case NameClash::Rename:
        // Every name the run can make has a free one among these: the
        // registry holds at most kCapacity names.
        for (int number = 0; number <= NameRegistry::kCapacity; ++number) {
            if (number > 0 && !suffixedName(hostName, number, placed.name)) {
                break;
            }
            if (names.find(placed.name) != nullptr) {
                continue;
            }
            // Whatever has the name, a file, a FIFO or the D88 file, is gone
            // round.
            outcome = run.sink.create(placed.name, host::ExistingFile::Keep);
            if (outcome == host::CreateOutcome::Created || outcome == host::CreateOutcome::Failed) {
                break;
            }
        }
        if (outcome == host::CreateOutcome::Created && std::strcmp(placed.name, hostName) != 0) {
            run.report(problem::kWrittenAs, image, name, Text{placed.name});
        }
        break;
    }
    placed.created = outcome == host::CreateOutcome::Created;
    if (placed.created) {
        names.add(placed.name, imageIndex, entry.name);
    } else {
        placed.stop = reportNotCreated(run, outcome, image, name, placed.name);
    }
    return placed;
}

} // namespace d88
