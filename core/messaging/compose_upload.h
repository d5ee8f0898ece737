// One upload to the service's Compose page (UploadPacket): the packet's
// records with the run's file name and the packet state in the URL.
#pragma once

#include <string>
#include <string_view>

#include "core/addin/addin_context.h"
#include "core/messaging/send_request.h"

namespace pelorin {

class ComposeUpload {
 public:
  ComposeUpload(AddinContext& context, const SendRequest& request, std::string file_name)
      : context_(context), request_(request), file_name_(std::move(file_name)) {}

  const std::string& file_name() const { return file_name_; }

  // A body whose first field is still to be appended, already encoded.
  static std::string StartBody();

  // Sends `body` (StartBody plus the encoded records) with `state`; answers
  // the service's reply, or "ERROR" when the request could not be made.
  std::string Send(std::string body, std::string_view state);

 private:
  std::string Url(std::string_view state) const;

  AddinContext& context_;
  const SendRequest& request_;
  std::string file_name_;
};

}  // namespace pelorin
