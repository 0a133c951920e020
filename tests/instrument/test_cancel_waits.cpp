// A cancel heard while the module waits on the network for a command: for the instrument's reply, and for
// the connection itself. With a time-out far longer than the cancel takes, INSTRIO_CANCELLED rather than
// INSTRIO_TIMED_OUT or INSTRIO_CONNECT_FAILED shows that the wait was cut short.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <vector>

#include "module_client.h"
#include "sim_process.h"

namespace instrument_test {
namespace {

int32_t alwaysCancel(void*, uint64_t, uint64_t) { return 1; }

dot11b::instrio::ModuleReply cancelledSend(const TestConnection& c) {
  instrio_arguments a{};
  a.text = " :source:rad:arb:state off";
  a.progress = &alwaysCancel;
  const instrio_connection record = c.record();
  return module().execute(INSTRIO_SEND, record, &a);
}

// A loopback port whose queue of connections waiting to be taken is full: the system drops further
// connection requests, so a new connection waits as for a host that does not answer.
class FullListener {
 public:
  FullListener() {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    auto* a = reinterpret_cast<sockaddr*>(&address);
    if (::bind(listener_, a, length) != 0 || ::listen(listener_, 0) != 0 || ::getsockname(listener_, a, &length) != 0) return;
    port_ = ntohs(address.sin_port);
    for (int k = 0; k < 2; ++k) {  // never taken: they fill the queue
      const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
      ::connect(fd, a, length);
      fillers_.push_back(fd);
    }
  }
  ~FullListener() {
    for (const int fd : fillers_) ::close(fd);
    ::close(listener_);
  }
  FullListener(const FullListener&) = delete;
  FullListener& operator=(const FullListener&) = delete;
  int port() const { return port_; }

 private:
  int listener_ = -1;
  int port_ = -1;
  std::vector<int> fillers_;
};

TEST(CancelWaits, ASilentInstrumentsReplyWait) {
  const ScopedEnv timeout("DOT11B_INSTRIO_TIMEOUT_MS", "20000");
  SimProcess sim({"--port", "0", "--silent"});
  ASSERT_TRUE(sim.started());
  const auto reply = cancelledSend(tcpTo(sim.port()));
  EXPECT_EQ(reply.status, INSTRIO_CANCELLED) << reply.text;
  EXPECT_NE(reply.text.find("cancelled while waiting"), std::string::npos) << reply.text;
}

TEST(CancelWaits, AConnectionThatIsNotAnswered) {
  const ScopedEnv timeout("DOT11B_INSTRIO_TIMEOUT_MS", "20000");
  const FullListener listener;
  ASSERT_GT(listener.port(), 0);
  const auto reply = cancelledSend(tcpTo(listener.port()));
  EXPECT_EQ(reply.status, INSTRIO_CANCELLED) << reply.text;
  EXPECT_NE(reply.text.find("cancelled while connecting"), std::string::npos) << reply.text;
}

}  // namespace
}  // namespace instrument_test
