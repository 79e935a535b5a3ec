// Stands in for TAV.exe behind the wrapper to check and time the relay alone.
// Reads the request frame in bulk, then answers with what it received: the
// body's length and FNV-1a hash, padded with blanks to the answer size named
// by the request's "pad" member (digits right after "pad":"). Writes the
// performance-counter times of the request's first and last byte and of the
// answer's write to relay_probe.times beside itself.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

bool ReadExactly(HANDLE in_input, char* out_data, DWORD in_size) {
  DWORD l_total = 0;
  while (l_total < in_size) {
    DWORD l_read = 0;
    if (!ReadFile(in_input, out_data + l_total, in_size - l_total, &l_read, nullptr) || l_read == 0) return false;
    l_total += l_read;
  }
  return true;
}

long long Now() {
  LARGE_INTEGER l_now;
  QueryPerformanceCounter(&l_now);
  return l_now.QuadPart;
}

}  // namespace

int main() {
  const HANDLE l_input = GetStdHandle(STD_INPUT_HANDLE);
  std::uint32_t l_size = 0;
  if (!ReadExactly(l_input, reinterpret_cast<char*>(&l_size), 4)) return 1;
  const long long l_first = Now();
  std::vector<char> l_body(l_size);
  if (!ReadExactly(l_input, l_body.data(), l_size)) return 1;
  const long long l_last = Now();

  std::uint32_t l_hash = 2166136261U;
  for (const char l_c : l_body) l_hash = (l_hash ^ static_cast<unsigned char>(l_c)) * 16777619U;
  const std::string l_text(l_body.begin(), l_body.end());
  const std::size_t l_pad = l_text.find("\"pad\":\"");
  const std::size_t l_wanted = l_pad == std::string::npos ? 0 : std::strtoul(l_text.c_str() + l_pad + 7, nullptr, 10);
  char l_json[128];
  std::snprintf(l_json, sizeof(l_json), "{\"mode\":\"02\",\"result\":\"0\",\"received\":\"%u:%08x\"",
                static_cast<unsigned>(l_size), static_cast<unsigned>(l_hash));
  std::string l_answer = l_json;
  if (l_answer.size() + 1 < l_wanted) l_answer.append(l_wanted - l_answer.size() - 1, ' ');
  l_answer += "}";
  const std::uint32_t l_answer_size = static_cast<std::uint32_t>(l_answer.size());
  std::string l_frame(reinterpret_cast<const char*>(&l_answer_size), 4);
  l_frame += l_answer;
  l_frame.push_back('\0');

  wchar_t l_path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, l_path, MAX_PATH);
  std::wstring l_times_path(l_path);
  l_times_path = l_times_path.substr(0, l_times_path.find_last_of(L'\\') + 1) + L"relay_probe.times";
  const long long l_write = Now();
  DWORD l_written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), l_frame.data(), static_cast<DWORD>(l_frame.size()), &l_written, nullptr);
  LARGE_INTEGER l_frequency;
  QueryPerformanceFrequency(&l_frequency);
  FILE* l_times = _wfopen(l_times_path.c_str(), L"w");
  if (l_times != nullptr) {
    std::fprintf(l_times, "%lld %lld %lld %lld\n", l_first, l_last, l_write, static_cast<long long>(l_frequency.QuadPart));
    std::fclose(l_times);
  }
  return 0;
}
