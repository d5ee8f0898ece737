// How a send run keeps its journal: the run's description when it starts,
// and every upload entered before it goes out and answered after the reply.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/addin/addin_context.h"
#include "core/messaging/compose_upload.h"
#include "core/messaging/run_journal.h"

namespace pelorin {

// The journal's description of a run about to send `request` from the
// active worksheet; no packets yet.
JournalRun DescribeRun(const AddinContext& context, const SendRequest& request,
                       std::string file_name, const LocalDateTime& started);

// Uploads `body` (ComposeUpload::StartBody plus `records` encoded records of
// `rows`; {0, 0} for a closing packet) with `state`. With a journal, the
// packet's entry is saved before the request and its outcome after the
// reply; a journal that cannot be written stops the upload by throwing.
std::string JournaledUpload(JournalWriter* journal, ComposeUpload& upload, std::string body,
                            std::string_view state, RowRange rows, std::int64_t records);

}  // namespace pelorin
