#pragma once
// One received frame of the wrapper: its declared size and its JSON as wide text.
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

class ReceiveData {
 public:
  void SetDataSize(std::uint32_t in_size) { m_dataSize = in_size; }
  std::uint32_t GetSize() const { return m_dataSize; }
  // The bytes as UTF-8 up to the first zero byte; invalid UTF-8 gives the empty text.
  void SetData(const std::uint8_t* in_data, std::size_t in_size);
  void SetData(const std::wstring& in_text) { m_dataBody = in_text; }
  // Takes the text over without a copy (an edited request holds a password).
  void SetData(std::wstring&& in_text) { m_dataBody = std::move(in_text); }
  const std::wstring& GetData() const { return m_dataBody; }
  // Overwrites the text (it may hold a file password) and the size.
  void Clear();

 private:
  std::uint32_t m_dataSize = 0;
  std::wstring m_dataBody;
};
