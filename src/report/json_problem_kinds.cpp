// The stable identifier of each kind of problem, as the JSON records name
// it; kept apart from the records so that the list reads as one table.
#include "report.h"

namespace d88 {

const char* problemKindName(ProblemId id)
{
    switch (id) {
    case ProblemId::UsageNeedsValue:
        return "usage_needs_value";
    case ProblemId::UsageBadImageIndex:
        return "usage_bad_image_index";
    case ProblemId::UsageTooManyPatterns:
        return "usage_too_many_patterns";
    case ProblemId::UsageUnknownOption:
        return "usage_unknown_option";
    case ProblemId::UsageUnexpectedValue:
        return "usage_unexpected_value";
    case ProblemId::UsageExtraOperand:
        return "usage_extra_operand";
    case ProblemId::UsageNoD88File:
        return "usage_no_d88_file";
    case ProblemId::UsageConflict:
        return "usage_conflict";
    case ProblemId::StdoutFailed:
        return "stdout_failed";
    case ProblemId::CannotOpen:
        return "cannot_open";
    case ProblemId::CannotKeepStartForOutput:
        return "cannot_keep_start_for_output";
    case ProblemId::CannotEnterOutput:
        return "cannot_enter_output";
    case ProblemId::CannotKeepStart:
        return "cannot_keep_start";
    case ProblemId::ImageUnreadable:
        return "image_unreadable";
    case ProblemId::CannotEnterSubdirectory:
        return "cannot_enter_subdirectory";
    case ProblemId::DirectoryDamaged:
        return "directory_sector_missing";
    case ProblemId::TableUnreadable:
        return "table_unreadable";
    case ProblemId::CannotCreateFile:
        return "cannot_create";
    case ProblemId::FileSectorsLost:
        return "sector_missing";
    case ProblemId::ChainCut:
        return "chain_cut";
    case ProblemId::FileShort:
        return "file_short";
    case ProblemId::WriteFailed:
        return "write_failed";
    case ProblemId::CannotSetTime:
        return "cannot_set_time";
    case ProblemId::CannotReturn:
        return "cannot_return";
    case ProblemId::ConsoleLost:
        return "console_lost";
    case ProblemId::NoImage:
        return "no_image";
    case ProblemId::TrailingBytes:
        return "trailing_bytes";
    case ProblemId::ImagesBeyondLimit:
        return "images_beyond_limit";
    case ProblemId::ImageCutShort:
        return "image_cut_short";
    case ProblemId::ImageSizeTooSmall:
        return "image_size_below_header";
    case ProblemId::NoLayout:
        return "no_layout";
    case ProblemId::NameReplaced:
        return "name_replaced";
    case ProblemId::NameKept:
        return "name_kept";
    case ProblemId::ExistingKept:
        return "existing_kept";
    case ProblemId::WrittenAs:
        return "written_as";
    case ProblemId::NotRegularFile:
        return "not_regular_file";
    case ProblemId::HostFull:
        return "host_full";
    case ProblemId::HostFullSubdirectory:
        return "host_full_subdirectory";
    case ProblemId::CannotKeepOutput:
        return "cannot_keep_output";
    case ProblemId::FileSectorStatus:
        return "sector_error_status";
    case ProblemId::DirectorySectorStatus:
        return "directory_sector_error_status";
    case ProblemId::TableSectorStatus:
        return "table_sector_error_status";
    case ProblemId::RunOn:
        return "last_cluster_run_on";
    case ProblemId::CrossLinked:
        return "cross_linked";
    case ProblemId::ChainThroughDirectory:
        return "chain_through_directory";
    case ProblemId::ChainLoops:
        return "chain_loop";
    case ProblemId::ChainBeyondDisk:
        return "chain_beyond_disk";
    case ProblemId::ChainTooLong:
        return "chain_too_long";
    case ProblemId::TableBeyondDisk:
        return "table_beyond_disk";
    case ProblemId::SameName:
        return "same_name";
    case ProblemId::HostNameCollision:
        return "name_collision";
    case ProblemId::DeletedSectors:
        return "sector_deleted";
    case ProblemId::EntryAfterEnd:
        return "entry_after_end";
    case ProblemId::ImageSizeDisagrees:
        return "image_size_mismatch";
    }
    return "unknown";
}

} // namespace d88
