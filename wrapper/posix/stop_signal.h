#pragma once
// A one-way signal that wakes every poll waiting on it: the way the wrapper
// ends a channel's thread without closing a descriptor under its feet.
class StopSignal {
 public:
  StopSignal();
  ~StopSignal();
  StopSignal(const StopSignal&) = delete;
  StopSignal& operator=(const StopSignal&) = delete;

  // False when the signal could not be made; it then reads as set.
  bool IsValid() const { return m_fd >= 0; }
  void Set();
  bool IsSet() const;
  // Readable once set; for poll.
  int Fd() const { return m_fd; }

 private:
  int m_fd = -1;
};
