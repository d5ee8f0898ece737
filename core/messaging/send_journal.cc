#include "core/messaging/send_journal.h"

#include <exception>

#include "core/host/application.h"
#include "core/messaging/packet_size.h"
#include "core/settings/settings_store.h"

namespace pelorin {

JournalRun DescribeRun(const AddinContext& context, const SendRequest& request,
                       std::string file_name, const LocalDateTime& started) {
  JournalRun run;
  run.file_name = std::move(file_name);
  run.user = context.settings.SessionUserId();
  run.started = started;
  if (context.application != nullptr) {
    run.workbook = context.application->ActiveWorkbookName();
    run.sheet = context.application->ActiveSheetName();
  }
  run.mobile_column = request.mobile_column;
  run.multiple_range = request.multiple_range;
  run.ranges = request.ranges;
  try {
    run.packet_size = ReadPacketSize(context.settings);
  } catch (const std::exception&) {
    run.packet_size = 0;  // the run itself stops on it before sending
  }
  run.message_template = request.message_template;
  run.template_hash = JournalHash(request.message_template);
  run.sender_id = request.sender_id;
  run.schedule = request.schedule;
  run.flash = request.flash;
  return run;
}

std::string JournaledUpload(JournalWriter* journal, ComposeUpload& upload, std::string body,
                            std::string_view state, RowRange rows, std::int64_t records) {
  if (journal == nullptr) return upload.Send(std::move(body), state);
  JournalPacket packet;
  packet.rows = rows;
  packet.state = std::string(state);
  packet.records = records;
  packet.hash = JournalHash(body);
  journal->Sending(std::move(packet));
  std::string reply = upload.Send(std::move(body), state);
  journal->Answered(reply);
  return reply;
}

}  // namespace pelorin
