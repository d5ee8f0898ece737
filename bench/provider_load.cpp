// Load generator for pelorin-provider: two client threads upload packets of
// records to the Compose page, each thread its own run, and the figures are
// printed as packets/s and records/s. Not a test: it checks only that every
// packet was accepted.
//
// Usage: provider_load_bench HOST:PORT UID [PACKETS] [RECORDS] [THREADS]
#include <httplib.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

namespace {

// The add-in's form-field encoding: letters and digits kept, space as '+',
// every other byte as %XX.
std::string FormEncode(const std::string& text) {
  static const char* kHex = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size() * 2);
  for (unsigned char c : text) {
    if (std::isalnum(c)) {
      out.push_back(static_cast<char>(c));
    } else if (c == ' ') {
      out.push_back('+');
    } else {
      out.push_back('%');
      out.push_back(kHex[c >> 4]);
      out.push_back(kHex[c & 15]);
    }
  }
  return out;
}

std::string PacketBody(int thread, int packet, int records) {
  std::string text;
  for (int i = 0; i < records; ++i) {
    text += "9198" + std::to_string(10000000 + thread * 1000000 + i) + "|*^Dear member " +
            std::to_string(packet) + "/" + std::to_string(i) + ", your order has shipped.~?*";
  }
  return "variable1=" + FormEncode(text) + "&variable2=&variable3=N";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s HOST:PORT UID [PACKETS] [RECORDS] [THREADS]\n", argv[0]);
    return 2;
  }
  std::string host_port = argv[1];
  std::string uid = argv[2];
  int packets = argc > 3 ? std::stoi(argv[3]) : 2000;
  int records = argc > 4 ? std::stoi(argv[4]) : 1000;
  int threads = argc > 5 ? std::stoi(argv[5]) : 2;
  std::string host = host_port.substr(0, host_port.rfind(':'));
  int port = std::stoi(host_port.substr(host_port.rfind(':') + 1));

  std::atomic<int> failures{0};
  auto start = std::chrono::steady_clock::now();
  std::vector<std::thread> clients;
  for (int t = 0; t < threads; ++t) {
    clients.emplace_back([&, t] {
      httplib::Client client(host, port);
      client.set_keep_alive(true);
      // As libcurl does: without it each request's body waits on the
      // server's delayed ACK, and that stall is what would be measured.
      client.set_tcp_nodelay(true);
      client.set_read_timeout(std::chrono::seconds(60));
      int mine = packets / threads + (t < packets % threads ? 1 : 0);
      std::string body = PacketBody(t, 0, records);
      for (int p = 0; p < mine; ++p) {
        std::string state = p + 1 == mine ? "END" : "START";
        std::string path = "/PelorinExcelplugin02022012/Compose.aspx?uid=" + uid +
                           "&ip=127.0.0.1&sid=BENCH&state=" + state + "&filename=" + uid +
                           "_bench" + std::to_string(t) + "&catid=50";
        auto result = client.Post(path.c_str(), body, "application/x-www-form-urlencoded");
        if (!result || result->body != "Error : 0 - SUCCESS.") {
          if (failures++ < 5) {
            std::fprintf(stderr, "packet %d of client %d failed: %s\n", p, t,
                         result ? result->body.c_str() : httplib::to_string(result.error()).c_str());
          }
        }
      }
    });
  }
  for (std::thread& client : clients) client.join();
  double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("clients=%d packets=%d records_per_packet=%d seconds=%.2f\n", threads, packets,
              records, seconds);
  std::printf("packets/s=%.1f records/s=%.0f failures=%d\n", packets / seconds,
              static_cast<double>(packets) * records / seconds, failures.load());
  return failures == 0 ? 0 : 1;
}
