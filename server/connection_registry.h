// Counts the open connections, in all and per client, and knows which of them wait for a request:
// at the global cap a new connection costs the one that has waited longest.
#pragma once

#include <cstddef>
#include <functional>
#include <list>
#include <mutex>
#include <string>
#include <unordered_map>

// A connection as the registry sees it; owned by the connection, which registers it while open.
struct ConnectionSlot {
  std::string clientKey;
  bool capped = true;           // Counted against the per-client cap (not a trusted proxy).
  std::function<void()> close;  // Asks the connection to close, from any thread.
  bool admitted = false;
  bool waiting = false;
  std::list<ConnectionSlot*>::iterator waitingAt;
};

enum class Admission { Admitted, ClientFull, ServerFull };

class ConnectionRegistry {
 public:
  ConnectionRegistry(size_t maxConnections, size_t maxPerClient)
      : maxConnections_(maxConnections), maxPerClient_(maxPerClient) {}

  // Counts `slot` in, or says why not. At the global cap the connection that has waited longest
  // for a request is asked to close to make room; with none waiting, ServerFull.
  Admission Admit(ConnectionSlot& slot);
  // Between requests (and before the first): the connection may be closed to make room.
  void Waiting(ConnectionSlot& slot);
  // A request began arriving.
  void Busy(ConnectionSlot& slot);
  // The connection closed.
  void Release(ConnectionSlot& slot);
  // Asks every connection that waits for a request to close (the server stops).
  void CloseWaiting();

  size_t Open() const;

 private:
  void Unwait(ConnectionSlot& slot);

  const size_t maxConnections_;
  const size_t maxPerClient_;
  mutable std::mutex mutex_;
  size_t open_ = 0;
  std::unordered_map<std::string, size_t> perClient_;
  std::list<ConnectionSlot*> waiting_;  // Longest waiting first.
};
