// Where a file of the run goes: creating it under its host name, or under
// another with "-r", reporting a name clash or a create that fails, and
// putting it in place once written.
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

// True when `outcome` only says the name is not this file's to take.
bool nameTaken(host::CreateOutcome outcome)
{
    return outcome == host::CreateOutcome::Exists || outcome == host::CreateOutcome::NotRegular ||
           outcome == host::CreateOutcome::IsInput;
}

// "-r": tries `attempt` on the names from `placed.number` on (its own name
// for 0, else NAME~N), skipping those the run gave its own files, until one
// is not taken; whatever has a name, a file, a FIFO or the D88 file, is gone
// round. `placed` gets the name and number last tried.
template <typename Attempt>
host::CreateOutcome goRound(Run& run, const char* hostName, Placed& placed, Attempt attempt)
{
    NameRegistry& names = run.workspace.names;
    host::CreateOutcome outcome = host::CreateOutcome::Failed;
    // Every name the run can make has a free one among these: the registry
    // holds at most kCapacity names.
    for (int tried = 0; tried <= NameRegistry::kCapacity; ++tried, ++placed.number) {
        if (placed.number == 0) {
            std::snprintf(placed.name, sizeof placed.name, "%s", hostName);
        } else if (!suffixedName(hostName, placed.number, placed.name)) {
            break;
        }
        if (names.find(placed.name) != nullptr) {
            continue;
        }
        outcome = attempt(placed.name);
        if (!nameTaken(outcome)) {
            break;
        }
    }
    if (outcome == host::CreateOutcome::Created && placed.number > 0) {
        names.suffixTaken(hostName, placed.number);
    }
    return outcome;
}

} // namespace

Placed place(Run& run, int imageIndex, const DirectoryEntry& entry, const char* hostName)
{
    const ImageIndex image{imageIndex};
    const FileName name{entry.name};
    NameRegistry& names = run.workspace.names;
    Placed placed{false, false, 0, {}};
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
        outcome = run.sink.create(hostName, host::ExistingFile::Replace, owner == nullptr);
        break;
    case NameClash::Keep:
        if (owner != nullptr) {
            run.report(problem::kNameKept, image, name, ImageIndex{owner->image},
                       FileName{owner->stored});
            return placed;
        }
        outcome = run.sink.create(hostName, host::ExistingFile::Keep, true);
        break;
    case NameClash::Rename:
        // A name seen taken before is gone round from where its last file
        // went, not from its beginning.
        placed.number = names.nextSuffix(hostName);
        if (placed.number == 0 && owner != nullptr) {
            placed.number = 1;
        }
        outcome = goRound(run, hostName, placed, [&](const char* candidate) {
            return run.sink.create(candidate, host::ExistingFile::Keep, true);
        });
        if (outcome == host::CreateOutcome::Created && placed.number > 0) {
            run.report(problem::kWrittenAs, image, name, Text{placed.name});
        }
        break;
    }
    placed.created = outcome == host::CreateOutcome::Created;
    if (!placed.created) {
        placed.stop = reportNotCreated(run, outcome, image, name, placed.name);
    }
    return placed;
}

Settled settle(Run& run, int imageIndex, const DirectoryEntry& entry, const char* hostName,
               Placed& placed)
{
    const ImageIndex image{imageIndex};
    const FileName name{entry.name};
    host::CreateOutcome outcome = run.sink.finish();
    if (run.options.nameClash == NameClash::Rename && nameTaken(outcome)) {
        ++placed.number;
        outcome = goRound(run, hostName, placed,
                          [&](const char* candidate) { return run.sink.finishAs(candidate); });
        if (outcome == host::CreateOutcome::Created) {
            run.report(problem::kWrittenAs, image, name, Text{placed.name});
        }
    }
    if (outcome == host::CreateOutcome::Failed) {
        return Settled::Failed;
    }
    if (outcome != host::CreateOutcome::Created) {
        run.sink.abandon();
        reportNotCreated(run, outcome, image, name, placed.name);
        return Settled::NotPlaced;
    }
    // The standard output takes every file; no name is ever taken there.
    if (!run.sink.toStdout()) {
        run.workspace.names.add(placed.name, imageIndex, entry.name);
    }
    return Settled::InPlace;
}

} // namespace d88
