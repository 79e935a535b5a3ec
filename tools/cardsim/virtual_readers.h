#pragma once
// A set of named card readers, each empty or holding one virtual card, that
// cards can be put into and taken out of while other threads use them. This is
// what a PC/SC layer (the in-process fake, the daemon's reader links) talks to.
//
// Every insertion gets a new id. A connection remembers the id it saw; when the
// card was taken out (by a test or by a fault) or swapped, the connection's
// calls answer kRemoved, as PC/SC answers SCARD_W_REMOVED_CARD.
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "tools/cardsim/fault_injector.h"
#include "tools/cardsim/fault_plan.h"
#include "tools/cardsim/virtual_card.h"

namespace tavc::cardsim {

enum class ReaderStatus {
  kOk,
  kNoReader,  // no reader of that name
  kNoCard,    // the reader is empty
  kRemoved,   // the card of this insertion left the reader (or was swapped)
};

struct CardPresence {
  std::uint64_t m_insertion_id_ = 0;
  std::vector<std::uint8_t> m_atr_;
};

class VirtualReaders {
 public:
  // Readers are listed in the order they were added.
  int AddReader(const std::string& in_l_name);     // 0; 1 when the name exists
  int RemoveReader(const std::string& in_l_name);  // 0; 1 when unknown
  std::vector<std::string> ReaderNames() const;

  // Puts a card into an empty reader, powered up (Reset) and with its faults.
  // 0; 1 when the reader is unknown or occupied or the card is null.
  int InsertCard(const std::string& in_l_name, std::shared_ptr<VirtualCard> in_l_card,
                 FaultPlan in_l_faults = {});
  // Takes the card out; it is kept aside for ReinsertCard. 0; 1 when unknown or empty.
  int EjectCard(const std::string& in_l_name);
  // Puts back the card that last left this reader (ejected or removed by a
  // fault), power-cycled, with new faults. 0; 1 when there is none or the
  // reader is occupied.
  int ReinsertCard(const std::string& in_l_name, FaultPlan in_l_faults = {});

  // The card now in the reader: kOk with its insertion id and ATR, or kNoReader/kNoCard.
  ReaderStatus Presence(const std::string& in_l_name, CardPresence& out_l_presence) const;
  // One command to the card of the given insertion. kOk with the response
  // (data + SW1 SW2); kRemoved when that card is gone, including when a fault
  // removes it on this very command.
  ReaderStatus Transmit(const std::string& in_l_name, std::uint64_t in_l_insertion_id,
                        const std::vector<std::uint8_t>& in_l_apdu,
                        std::vector<std::uint8_t>& out_l_response);
  // True when the next command to this reader's card will remove it (by
  // command count). The daemon uses it to let pcscd see the card leave before
  // that command, so that the command fails as it does with a pulled card.
  bool RemovesAtNextCommand(const std::string& in_l_name) const;
  // Warm reset of the card of the given insertion (PIN states are lost).
  ReaderStatus ResetCard(const std::string& in_l_name, std::uint64_t in_l_insertion_id);

  // The card in the reader (null when empty or unknown), for a test to inspect.
  std::shared_ptr<VirtualCard> CardIn(const std::string& in_l_name) const;
  // Commands the card of the current insertion received, in order (commands
  // answered by a forced status included, a removing command excluded).
  std::vector<std::vector<std::uint8_t>> CommandLog(const std::string& in_l_name) const;

  // Grows on every reader or card change; WaitForChange blocks until it
  // differs from in_l_seen or the time-out passes, and returns the new value.
  std::uint64_t ChangeCounter() const;
  std::uint64_t WaitForChange(std::uint64_t in_l_seen, std::chrono::milliseconds in_l_timeout) const;

 private:
  struct Reader {
    std::string m_name_;
    std::shared_ptr<VirtualCard> m_card_;
    std::shared_ptr<VirtualCard> m_last_card_;
    std::uint64_t m_insertion_id_ = 0;
    FaultInjector m_faults_;
    std::vector<std::vector<std::uint8_t>> m_log_;
  };

  Reader* Find(const std::string& in_l_name);
  const Reader* Find(const std::string& in_l_name) const;
  void TakeOut(Reader& io_l_reader);
  void Changed();

  mutable std::mutex m_mutex_;
  mutable std::condition_variable m_changed_;
  std::vector<Reader> m_readers_;
  std::uint64_t m_next_insertion_id_ = 1;
  std::uint64_t m_change_counter_ = 0;
};

}  // namespace tavc::cardsim
