// Stands in for TAV.exe behind the wrapper to check and time the relay alone.
// Reads the request frame in bulk, then answers with what it received: the
// body's length and FNV-1a hash, padded with blanks to the answer size named
// by the request's "pad" member (digits right after "pad":"). Writes the
// performance-counter times of the request's first and last byte and of the
// answer's write to relay_probe.times beside itself, and relay_probe.started
// as soon as it runs.
//
// Plays a faulty TAV when asked:
//   TAV_PROBE=silent   never reads its input, never answers, ends after a minute
//   TAV_PROBE=stderr   writes a line to its standard error before answering
//   TAV_PROBE=late     answers two seconds after the request arrived
//   "file_password":"result-<r>"  answers with that result, then waits until
//                      its input closes (a TAV that has answered, not yet ended)
// An answer carries "twin":"1" when another stand-in ran beside it.
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

std::wstring BesideSelf(const wchar_t* in_name) {
  wchar_t l_path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, l_path, MAX_PATH);
  const std::wstring l_self(l_path);
  return l_self.substr(0, l_self.find_last_of(L'\\') + 1) + in_name;
}

std::string Behaviour() {
  char l_value[32] = {};
  return GetEnvironmentVariableA("TAV_PROBE", l_value, sizeof(l_value)) < sizeof(l_value) ? l_value : "";
}

}  // namespace

int main() {
  CloseHandle(CreateFileW(BesideSelf(L"relay_probe.started").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                          nullptr));
  CreateMutexW(nullptr, FALSE, L"TavRelayProbe");
  const bool l_twin = GetLastError() == ERROR_ALREADY_EXISTS;
  const std::string l_behaviour = Behaviour();
  if (l_behaviour == "silent") {
    Sleep(60000);
    return 1;
  }
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
  const std::size_t l_result_at = l_text.find("\"file_password\":\"result-");
  const std::string l_result = l_result_at == std::string::npos ? "0" : l_text.substr(l_result_at + 24, 1);
  char l_json[160];
  std::snprintf(l_json, sizeof(l_json), "{\"mode\":\"02\",\"result\":\"%s\",\"received\":\"%u:%08x\"%s",
                l_result.c_str(), static_cast<unsigned>(l_size), static_cast<unsigned>(l_hash),
                l_twin ? ",\"twin\":\"1\"" : "");
  std::string l_answer = l_json;
  if (l_answer.size() + 1 < l_wanted) l_answer.append(l_wanted - l_answer.size() - 1, ' ');
  l_answer += "}";
  const std::uint32_t l_answer_size = static_cast<std::uint32_t>(l_answer.size());
  std::string l_frame(reinterpret_cast<const char*>(&l_answer_size), 4);
  l_frame += l_answer;
  l_frame.push_back('\0');

  const std::wstring l_times_path = BesideSelf(L"relay_probe.times");
  if (l_behaviour == "stderr") {
    DWORD l_noted = 0;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), "runtime note\n", 13, &l_noted, nullptr);
  }
  if (l_behaviour == "late") Sleep(2000);
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
  if (l_result_at != std::string::npos) {
    char l_byte = 0;
    while (ReadExactly(l_input, &l_byte, 1)) {
    }
  }
  return 0;
}
