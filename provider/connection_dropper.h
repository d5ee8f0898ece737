// Cuts an accepted TCP connection, found by its two endpoints, so that the
// client sees the connection close without any reply. cpp-httplib does not
// hand the socket to request handlers, hence the look-up.
#ifndef PELORIN_PROVIDER_CONNECTION_DROPPER_H_
#define PELORIN_PROVIDER_CONNECTION_DROPPER_H_

#include <string>

namespace pelorin::provider {

// Shuts down (both directions) this process's socket whose local port is
// `local_port` and whose peer is `peer_addr`:`peer_port`. False when none
// is found.
bool DropConnection(int local_port, const std::string& peer_addr, int peer_port);

}  // namespace pelorin::provider

#endif  // PELORIN_PROVIDER_CONNECTION_DROPPER_H_
