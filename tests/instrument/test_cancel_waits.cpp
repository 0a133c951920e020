// SPDX-License-Identifier: GPL-3.0-or-later
// A cancel heard while the module waits on the network for a command: for the instrument's reply, and for
// the connection itself. With a time-out far longer than the cancel takes, INSTRIO_CANCELLED rather than
// INSTRIO_TIMED_OUT or INSTRIO_CONNECT_FAILED shows that the wait was cut short.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

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
struct FullListener {
  FullListener() {
    sockaddr_in address{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
    auto* a = reinterpret_cast<sockaddr*>(&address);
    socklen_t length = sizeof address;
    if (::bind(fds[0], a, length) != 0 || ::listen(fds[0], 0) != 0 || ::getsockname(fds[0], a, &length) != 0) return;
    port = ntohs(address.sin_port);
    for (const int filler : {fds[1], fds[2]}) ::connect(filler, a, length);  // never taken
  }
  ~FullListener() {
    for (const int fd : fds) ::close(fd);
  }
  int fds[3] = {::socket(AF_INET, SOCK_STREAM, 0), ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0),
                ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0)};
  int port = -1;
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
  ASSERT_GT(listener.port, 0);
  const auto reply = cancelledSend(tcpTo(listener.port));
  EXPECT_EQ(reply.status, INSTRIO_CANCELLED) << reply.text;
  EXPECT_NE(reply.text.find("cancelled while connecting"), std::string::npos) << reply.text;
}

}  // namespace
}  // namespace instrument_test
